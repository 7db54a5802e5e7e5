// `zuna4c equilibrium --csv FILE` as a process, from start to exit: the
// default 33 O/F ratios at 1 atm, and 100 pressures from 1 to 100 atm in
// logarithmic steps x 103 O/F ratios (r 0.5 to 2, 50 points on each side).
// Target for the large run: at most 2.5 us of processor time per point, the
// process's start included. Counters: the processor time of one run, its
// cost per point and the peak resident memory of the runs so far (the small
// run is measured first, so its figure is its own).
//
// BM_CsvRow and BM_JsonRow measure the formatting alone: one row of the
// subcommand's shape (two texts, 24 numbers with full digits, two integers)
// into a buffer whose sink drops the bytes.
#include <sys/resource.h>

#include <cmath>
#include <string>
#include <vector>

#include "process-run.h"
#include "tables/csv-writer.h"
#include "tables/json-writer.h"

namespace {

using namespace zuna::bench;

double children_peak_mb() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void run_equilibrium(benchmark::State& state, const std::vector<std::string>& arguments,
                     double points) {
  ScratchFolder folder("zuna-bench-equilibrium");
  const double cpu_before = children_cpu_seconds();
  for (auto _ : state) {
    if (run_process(folder, ZUNA4C_PATH, arguments) != 0) {
      state.SkipWithError("the equilibrium run did not end with exit code 0");
      break;
    }
  }
  const double runs = static_cast<double>(state.iterations());
  const double cpu_s = (children_cpu_seconds() - cpu_before) / runs;
  state.counters["child_cpu_ms"] = cpu_s * 1e3;
  state.counters["cpu_us_per_point"] = cpu_s * 1e6 / points;
  state.counters["peak_rss_mb"] = children_peak_mb();
}

void BM_EquilibriumDefaultGrid(benchmark::State& state) {
  run_equilibrium(state, {"equilibrium", "--csv=out.csv"}, 33);
}
BENCHMARK(BM_EquilibriumDefaultGrid)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

void BM_EquilibriumHundredPressures(benchmark::State& state) {
  run_equilibrium(
      state, {"equilibrium", "--pressure=1:100:100", "--npmin=50", "--npmax=50", "--csv=out.csv"},
      100 * 103);
}
BENCHMARK(BM_EquilibriumHundredPressures)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

class NullSink final : public zuna::tables::ByteSink {
 public:
  bool write(std::string_view bytes) override {
    benchmark::DoNotOptimize(bytes.data());
    return true;
  }
};

const zuna::tables::Column kRowColumns[] = {
    {"problem", zuna::tables::CellKind::text},
    {"set", zuna::tables::CellKind::text},
    {"a"},
    {"b"},
    {"c"},
    {"d"},
    {"e"},
    {"f"},
    {"g"},
    {"h"},
    {"i"},
    {"j"},
    {"k"},
    {"l"},
    {"m"},
    {"n"},
    {"o"},
    {"p"},
    {"q"},
    {"r"},
    {"s"},
    {"t"},
    {"u"},
    {"v"},
    {"w"},
    {"x"},
    {"iterations", zuna::tables::CellKind::integer},
    {"flags", zuna::tables::CellKind::integer},
};

template <typename Writer>
void write_rows(benchmark::State& state, Writer& w) {
  double v = 3075.1234567890123;
  for (auto _ : state) {
    w.text("hp");
    w.text("liquid");
    for (int k = 0; k < 24; ++k) {
      w.number(v);
      v = std::nextafter(v * 1.0000001, 1e300);
    }
    w.integer(9);
    w.integer(0);
    w.end_row();
  }
  w.finish();
}

void BM_CsvRow(benchmark::State& state) {
  NullSink sink;
  zuna::tables::OutputBuffer out(sink);
  zuna::tables::CsvWriter w(out, kRowColumns);
  write_rows(state, w);
}
BENCHMARK(BM_CsvRow);

void BM_JsonRow(benchmark::State& state) {
  NullSink sink;
  zuna::tables::OutputBuffer out(sink);
  const zuna::tables::JsonMember members[] = {{"program", "zuna4c"}};
  zuna::tables::JsonWriter w(out, members, kRowColumns);
  write_rows(state, w);
}
BENCHMARK(BM_JsonRow);

BENCHMARK(BM_EmptyProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
