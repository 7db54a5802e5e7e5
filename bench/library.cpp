// The library's API: one cold HP solve, and 100,000 HP points in one array
// call (cold and warm), the figures the Python module's calls are held
// against (bench/library-python.py times the same calls from Python).
#include <benchmark/benchmark.h>

#include <vector>

#include "zuna4/zuna4.h"

namespace {

void BM_HpPointCold(benchmark::State& state) {
  zuna4::EquilibriumInput in;
  in.of = 6.0;
  in.p_atm = 10.0;
  for (auto _ : state) {
    zuna4::State s = zuna4::equilibrium(in);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_HpPointCold);

// 100,000 points over O/F 2..30 and p 1..100 atm, point after point.
std::vector<zuna4::EquilibriumInput> grid() {
  std::vector<zuna4::EquilibriumInput> in(100000);
  for (std::size_t i = 0; i < in.size(); ++i) {
    in[i].of = 2.0 + 28.0 * static_cast<double>(i % 1000) / 999.0;
    in[i].p_atm = 1.0 + 99.0 * static_cast<double>(i / 1000) / 99.0;
  }
  return in;
}

void BM_HpArray(benchmark::State& state) {
  const std::vector<zuna4::EquilibriumInput> in = grid();
  std::vector<zuna4::State> out(in.size());
  const bool warm = state.range(0) != 0;
  for (auto _ : state) {
    zuna4::equilibrium(in, out, warm);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(in.size()));
}
BENCHMARK(BM_HpArray)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Sweep(benchmark::State& state) {
  for (auto _ : state) {
    zuna4::SweepResult r = zuna4::sweep(zuna4::SweepParameters{});
    benchmark::DoNotOptimize(r.points.data());
  }
}
BENCHMARK(BM_Sweep)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
