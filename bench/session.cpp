// The whole default session of the console program as a process, from start
// to exit, driven by its script: Enter for the presentation, OK in the
// parameter dialog, Enter after the processing time, "Encerrar o Programa",
// OK. Targets: under 3 ms wall time (median) and under 10 MB peak resident
// memory (the largest child so far). BM_EmptyProcess measures what starting
// any process costs on the machine at hand, which the wall time includes.
#include <sys/resource.h>

#include <fstream>

#include "process-run.h"

namespace {

using namespace zuna::bench;

// Counters: peak_rss_MB, and child_cpu_ms, the processor time of one session
// (user and system), which a busy machine does not inflate as it does the
// wall time.
void BM_DefaultSession(benchmark::State& state) {
  ScratchFolder folder("zuna-bench-session");
  std::ofstream(folder.dir() / "script") << "\n\n\n1034\n\n";
  const double cpu_before = children_cpu_seconds();
  for (auto _ : state) {
    if (run_process(folder, ZUNA4C_PATH, {}, "script") != 0) {
      state.SkipWithError("the session did not end with exit code 0");
      break;
    }
  }
  state.counters["child_cpu_ms"] =
      (children_cpu_seconds() - cpu_before) * 1e3 / static_cast<double>(state.iterations());
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_DefaultSession)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_EmptyProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
