// Hydrogen burning in air, every product the built-in records hold for H,
// O, N, C and Ar (the carbon and argon of Air): 1,000 adiabatic flames (HP)
// at phi 0.3 to 3 (40 values) and 1 to 40 atm (25 values), H2 at 298.15 K
// and Air at 300 K. One iteration is the whole grid, each mixture made from
// the named reactants and solved: warm (each point from the one before, as
// a sweep over phi runs) and cold. Also the mixture alone.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/set-solver.h"
#include "reactants/mixture.h"

namespace zuna::reactants {
namespace {

constexpr int kPhiCount = 40, kPressureCount = 25;

MixtureRequest hydrogen_air(double phi) {
  MixtureRequest request;
  request.items = {parse_reactant(Role::fuel, "H2").value(),
                parse_reactant(Role::oxidant, "Air").value()};
  request.phi = phi;
  return request;
}

double phi_at(int k) { return 0.3 + (3.0 - 0.3) * k / (kPhiCount - 1); }
double p_atm_at(int k) { return 1.0 + (40.0 - 1.0) * k / (kPressureCount - 1); }

const engine::ProductSet& every_product() {
  static const engine::ProductSet set = [] {
    const Mixture m = make_mixture(hydrogen_air(1.0), engine::builtin_species()).value();
    return engine::select_products(engine::builtin_species(), m.elements);
  }();
  return set;
}

void air_flames(benchmark::State& state, bool cold) {
  const engine::ProductSet& set = every_product();
  engine::SetSolver solver(set);
  engine::SetPoint p = solver.make_point();
  int failed = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPressureCount; ++i) {
      for (int k = 0; k < kPhiCount; ++k) {
        const Mixture m = make_mixture(hydrogen_air(phi_at(k)), engine::builtin_species()).value();
        engine::SetCondition c;
        c.problem = engine::SetProblem::hp;
        c.p_bar = p_atm_at(i) * engine::kAtmBar;
        c.h_kJ_kg = m.h_kJ_kg;
        solver.solve(m.b_for(set), c, p, cold);
        failed += p.has_values() ? 0 : 1;
        benchmark::DoNotOptimize(p);
      }
    }
  }
  state.counters["species"] = set.size();
  state.counters["failed"] = failed;
  state.counters["points/s"] =
      benchmark::Counter(kPhiCount * kPressureCount, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_HydrogenAirHp1000Warm(benchmark::State& state) { air_flames(state, false); }
BENCHMARK(BM_HydrogenAirHp1000Warm)->Unit(benchmark::kMillisecond);

void BM_HydrogenAirHp1000Cold(benchmark::State& state) { air_flames(state, true); }
BENCHMARK(BM_HydrogenAirHp1000Cold)->Unit(benchmark::kMillisecond);

void BM_HydrogenAirMixture(benchmark::State& state) {
  const MixtureRequest request = hydrogen_air(0.8);
  for (auto _ : state) {
    Result<Mixture> m = make_mixture(request, engine::builtin_species());
    benchmark::DoNotOptimize(m);
  }
}
BENCHMARK(BM_HydrogenAirMixture);

}  // namespace
}  // namespace zuna::reactants

BENCHMARK_MAIN();
