// The Chapman-Jouguet detonation of H2/O2 with the 11 products of H and O
// (9 gases, liquid water and ice) at 298.15 K and 1 bar.
//
// BM_DetonationWarm: one point warm from its neighbour, as in a sweep:
// the equivalence ratio alternates between 1.00 and 1.02. Target: at most
// 20 us a point. BM_DetonationSweep: 101 points from phi 0.5 to 2, each
// warm from the one before; "per_point" is one of them. BM_DetonationCold:
// one point from nothing (the flame at P1 first). Counter "steps": the
// Hugoniot steps of a point (one equilibrium each).
#include <benchmark/benchmark.h>

#include <vector>

#include "waves/waves.h"

namespace zuna::waves {
namespace {

const engine::ProductSet& products() {
  static const engine::ProductSet set =
      engine::select_products(engine::builtin_species(), {{"H", "O"}});
  return set;
}

Mixture at_phi(double phi) {
  const ReactantMoles r[] = {{"H2", 2.0 * phi}, {"O2", 1.0}};
  return mixture_of(products(), r);
}

void BM_DetonationWarm(benchmark::State& state) {
  WaveSolver solver(products());
  Detonation d = solver.make_detonation();
  const Mixture mixes[] = {at_phi(1.0), at_phi(1.02)};
  solver.detonation(mixes[1], {298.15, 1.0}, d);
  int k = 0;
  double steps = 0.0;
  for (auto _ : state) {
    solver.detonation(mixes[k], {298.15, 1.0}, d);
    steps += d.iterations;
    k ^= 1;
    benchmark::DoNotOptimize(d.det_vel_m_s);
  }
  state.counters["steps"] = benchmark::Counter(steps, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_DetonationWarm)->Unit(benchmark::kMicrosecond);

void BM_DetonationCold(benchmark::State& state) {
  WaveSolver solver(products());
  Detonation d = solver.make_detonation();
  const Mixture mix = at_phi(1.0);
  for (auto _ : state) {
    solver.reset();
    solver.detonation(mix, {298.15, 1.0}, d);
    benchmark::DoNotOptimize(d.det_vel_m_s);
  }
}
BENCHMARK(BM_DetonationCold)->Unit(benchmark::kMicrosecond);

void BM_DetonationSweep(benchmark::State& state) {
  std::vector<Mixture> mixes;
  for (int k = 0; k <= 100; ++k) mixes.push_back(at_phi(0.5 + 1.5 * k / 100.0));
  WaveSolver solver(products());
  Detonation d = solver.make_detonation();
  for (auto _ : state) {
    solver.reset();
    for (const Mixture& mix : mixes) {
      solver.detonation(mix, {298.15, 1.0}, d);
      benchmark::DoNotOptimize(d.det_vel_m_s);
    }
  }
  state.counters["per_point"] = benchmark::Counter(
      static_cast<double>(mixes.size()), benchmark::Counter::kIsIterationInvariantRate |
                                             benchmark::Counter::kInvert);
}
BENCHMARK(BM_DetonationSweep)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuna::waves

BENCHMARK_MAIN();
