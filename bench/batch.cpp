// The console program's batch run as a process, from start to exit:
// `zuna4c --batch --csv FILE` over the default grid (33 points), and over
// 10 pressures x 103 points. Target for the default grid: at most 6 ms wall
// time (median). BM_EmptyProcess measures what starting any process costs on
// the machine at hand; counters give the processor time of one run and, for
// the large run, its cost per point.
#include <string>
#include <vector>

#include "process-run.h"

namespace {

using namespace zuna::bench;

void run_batch(benchmark::State& state, const std::vector<std::string>& arguments, double points) {
  ScratchFolder folder("zuna-bench-batch");
  const double cpu_before = children_cpu_seconds();
  for (auto _ : state) {
    if (run_process(folder, ZUNA4C_PATH, arguments) != 0) {
      state.SkipWithError("the batch run did not end with exit code 0");
      break;
    }
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["child_cpu_ms"] = (children_cpu_seconds() - cpu_before) * 1e3 / runs;
  // Wall time per point, the process's start included.
  state.counters["us_per_point"] = benchmark::Counter(
      runs * points * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_BatchDefaultGrid(benchmark::State& state) {
  run_batch(state, {"--batch", "--csv=out.csv"}, 33);
}
BENCHMARK(BM_BatchDefaultGrid)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// npmin + npmax = 100: 103 points per calculation.
void BM_BatchTenPressures(benchmark::State& state) {
  run_batch(state,
            {"--batch", "--npmin=50", "--npmax=50", "--pressure=1e-2:1e3:10", "--csv=out.csv"},
            10 * 103);
}
BENCHMARK(BM_BatchTenPressures)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_EmptyProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
