// Transport properties of an H2/O2 chamber with the 11 products of H and O
// (O/F 6, 50 bar, gaseous reactants at 298.15 K): the hp equilibrium alone
// (warm, as a sweep runs), the same with the transport block of each point,
// and the transport block alone on the solved point. The cost of transport
// is the difference of the first two, or the third.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/set-solver.h"
#include "transport/transport.h"

namespace zuna::transport {
namespace {

struct Chamber {
  engine::ProductSet set;
  engine::SetFeed feed;
  engine::SetCondition condition;

  Chamber() {
    const std::vector<std::string> elements = {"H", "O"};
    set = engine::select_products(engine::builtin_species(), elements);
    const double of = 6.0;
    const engine::SpeciesRecord& h2 = *engine::builtin_species().find("H2");
    const engine::SpeciesRecord& o2 = *engine::builtin_species().find("O2");
    const engine::ReactantShare shares[] = {{h2.formula, h2.M_g_mol, 1.0 / (1.0 + of), 0.0},
                                            {o2.formula, o2.M_g_mol, of / (1.0 + of), 0.0}};
    feed = engine::feed_of(set, shares);
    condition.problem = engine::SetProblem::hp;
    condition.p_bar = 50.0;
    condition.h_kJ_kg = feed.h0_kJ_kg;
  }
};

void BM_ChamberEquilibrium(benchmark::State& state) {
  Chamber c;
  engine::SetSolver solver(c.set);
  engine::SetPoint p = solver.make_point();
  for (auto _ : state) {
    solver.solve(c.feed.b_mol_kg, c.condition, p);
    benchmark::DoNotOptimize(p.T_K);
  }
}
BENCHMARK(BM_ChamberEquilibrium);

void BM_ChamberEquilibriumWithTransport(benchmark::State& state) {
  Chamber c;
  engine::SetSolver solver(c.set);
  engine::SetPoint p = solver.make_point();
  TransportModel model(c.set);
  for (auto _ : state) {
    solver.solve(c.feed.b_mol_kg, c.condition, p);
    const TransportProperties t = model.compute(p);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_ChamberEquilibriumWithTransport);

void BM_ChamberTransport(benchmark::State& state) {
  Chamber c;
  engine::SetSolver solver(c.set);
  engine::SetPoint p = solver.make_point();
  solver.solve(c.feed.b_mol_kg, c.condition, p);
  TransportModel model(c.set);
  for (auto _ : state) {
    const TransportProperties t = model.compute(p);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_ChamberTransport);

}  // namespace
}  // namespace zuna::transport

BENCHMARK_MAIN();
