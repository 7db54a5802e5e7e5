// The general equilibrium solver, one adiabatic flame (HP) at a time at
// 1 atm with liquid reactants on the default grid of 33 O/F ratios, each
// started from the previous O/F (as a sweep runs): with the 11 products of
// H and O (9 gases, liquid water, ice) and with the six gases of the fast
// path (bench_engine's BM_FlameWarm is the same problem on the fast path).
// Also an expansion to a nozzle exit where ice forms (O/F 2.2, 50 bar to
// 0.01 bar), started cold.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/engine.h"
#include "engine/set-solver.h"

namespace zuna::engine {
namespace {

std::vector<Feed> default_feeds() {
  const ThermoData& data = builtin_nasa9_data();
  const double st = stoichiometric_of(data);
  std::vector<Feed> feeds;
  for (int k = 0; k < 11; ++k) feeds.push_back(feed_of(data, {(0.5 + k * 0.5 / 11) * st, {}}));
  for (int k = 0; k <= 21; ++k) feeds.push_back(feed_of(data, {(1.0 + k / 21.0) * st, {}}));
  return feeds;
}

const std::vector<std::string> kHO = {"H", "O"};

void flame_warm(benchmark::State& state, const ProductChoice& choice) {
  const ProductSet set = select_products(builtin_species(), kHO, choice);
  SetSolver solver(set);
  SetPoint p = solver.make_point();
  std::vector<std::vector<double>> b;
  std::vector<SetCondition> c;
  for (const Feed& f : default_feeds()) {
    b.push_back({f.b_mol_kg[0], f.b_mol_kg[1]});
    c.push_back({SetProblem::hp, 0.0, kAtmBar, 0.0, f.h0_kJ_kg});
  }
  for (std::size_t k = 0; k < b.size(); ++k) solver.solve(b[k], c[k], p);
  std::size_t k = 1;
  for (auto _ : state) {
    solver.solve(b[k], c[k], p);
    benchmark::DoNotOptimize(p);
    k = k + 1 < b.size() ? k + 1 : 1;
  }
}

void BM_SetFlameWarmHO(benchmark::State& state) { flame_warm(state, {}); }
BENCHMARK(BM_SetFlameWarmHO);

void BM_SetFlameWarmSixGases(benchmark::State& state) {
  flame_warm(state, {{"H2O", "O2", "H2", "H", "O", "OH"}, {}});
}
BENCHMARK(BM_SetFlameWarmSixGases);

void BM_SetExitWithIceCold(benchmark::State& state) {
  const ProductSet set = select_products(builtin_species(), kHO);
  SetSolver solver(set);
  SetPoint chamber = solver.make_point(), p = solver.make_point();
  const Feed f = feed_of(builtin_nasa9_data(), {2.2, {}});
  const std::vector<double> b = {f.b_mol_kg[0], f.b_mol_kg[1]};
  solver.solve(b, {SetProblem::hp, 0.0, 50.0, 0.0, f.h0_kJ_kg}, chamber);
  SetCondition exit{SetProblem::sp, 0.0, 0.01};
  exit.s_kJ_kgK = chamber.s_kJ_kgK;
  for (auto _ : state) {
    solver.solve(b, exit, p, true);
    benchmark::DoNotOptimize(p);
  }
}
BENCHMARK(BM_SetExitWithIceCold);

}  // namespace
}  // namespace zuna::engine

BENCHMARK_MAIN();
