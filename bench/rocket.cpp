// Rocket performance of one O/F with every station (chamber, throat,
// pressure ratios 5, 50, 500, area ratios 4, 25, 150) for both the shifting
// and the chamber-frozen expansion: cold, warm from a neighbouring O/F
// (0.05 away, as in a sweep), the same with both models in one call, and a
// whole sweep of 101 O/F from 2 to 12 whose
// counter "per_of" is the time of one O/F with both models.
//
// BM_SweepFiniteCombustor: the same sweep, shifting only, with an infinite
// or a finite-area combustor.
//
// BM_RocketCommandCsv: `zuna4c rocket --csv FILE` as a process, from start to
// exit, at Pc 68.046 atm for 64 O/F from 2 to 16 with the same exits and
// both models (1024 rows). Target: at most 5 ms of task clock per run, the
// process's start included (BM_EmptyProcess gives that floor). Counters of
// one run: task_clock_ms, what `perf stat -e task-clock` reports, from the
// exec to the exit; child_cpu_ms, the children's rusage, which also holds
// the child's time before its exec (the fork's side and the exec itself up
// to the new program's mapping), some tenths of a millisecond more.
#include <benchmark/benchmark.h>

#include <vector>

#include "process-run.h"
#include "rocket/rocket.h"

namespace zuna::rocket {
namespace {

RocketInput problem(Model model, double of) {
  RocketInput p;
  p.pc_atm = 68.046;
  p.of = of;
  p.pi_p = {5, 50, 500};
  p.ae_at = {4, 25, 150};
  p.model = model;
  return p;
}

void BM_OneOfColdBothModels(benchmark::State& state) {
  const engine::ThermoData& data = engine::builtin_nasa9_data();
  for (auto _ : state) {
    RocketResult eq = rocket_performance(data, problem(Model::equilibrium, 6.0));
    RocketResult fr = rocket_performance(data, problem(Model::frozen_chamber, 6.0));
    benchmark::DoNotOptimize(eq);
    benchmark::DoNotOptimize(fr);
  }
}
BENCHMARK(BM_OneOfColdBothModels)->Unit(benchmark::kMicrosecond);

// Both models in one call, cold: one chamber for the two.
void BM_OneOfColdBothModelsAtOnce(benchmark::State& state) {
  const engine::ThermoData& data = engine::builtin_nasa9_data();
  const Model models[] = {Model::equilibrium, Model::frozen_chamber};
  for (auto _ : state) {
    std::vector<RocketResult> r = rocket_performance(data, problem(Model::equilibrium, 6.0), models);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_OneOfColdBothModelsAtOnce)->Unit(benchmark::kMicrosecond);

void BM_OneOfWarmBothModels(benchmark::State& state) {
  const engine::ThermoData& data = engine::builtin_nasa9_data();
  const RocketResult eq_near = rocket_performance(data, problem(Model::equilibrium, 5.95));
  const RocketResult fr_near = rocket_performance(data, problem(Model::frozen_chamber, 5.95));
  for (auto _ : state) {
    RocketResult eq = rocket_performance(data, problem(Model::equilibrium, 6.0), &eq_near);
    RocketResult fr = rocket_performance(data, problem(Model::frozen_chamber, 6.0), &fr_near);
    benchmark::DoNotOptimize(eq);
    benchmark::DoNotOptimize(fr);
  }
}
BENCHMARK(BM_OneOfWarmBothModels)->Unit(benchmark::kMicrosecond);

// Both models in one call: one chamber for the two.
void BM_OneOfWarmBothModelsAtOnce(benchmark::State& state) {
  const engine::ThermoData& data = engine::builtin_nasa9_data();
  const Model models[] = {Model::equilibrium, Model::frozen_chamber};
  const std::vector<RocketResult> near =
      rocket_performance(data, problem(Model::equilibrium, 5.95), models);
  for (auto _ : state) {
    std::vector<RocketResult> r =
        rocket_performance(data, problem(Model::equilibrium, 6.0), models, near);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_OneOfWarmBothModelsAtOnce)->Unit(benchmark::kMicrosecond);

void BM_SweepBothModels(benchmark::State& state) {
  const engine::ThermoData& data = engine::builtin_nasa9_data();
  std::vector<double> of;
  for (int i = 0; i <= 100; ++i) {
    of.push_back(2.0 + 0.1 * i);
  }
  for (auto _ : state) {
    auto eq = rocket_sweep(data, problem(Model::equilibrium, 0.0), of);
    auto fr = rocket_sweep(data, problem(Model::frozen_chamber, 0.0), of);
    benchmark::DoNotOptimize(eq);
    benchmark::DoNotOptimize(fr);
  }
  state.counters["per_of"] =
      benchmark::Counter(double(of.size()), benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
}
BENCHMARK(BM_SweepBothModels)->Unit(benchmark::kMillisecond);

void BM_SweepBothModelsAtOnce(benchmark::State& state) {
  const engine::ThermoData& data = engine::builtin_nasa9_data();
  const Model models[] = {Model::equilibrium, Model::frozen_chamber};
  std::vector<double> of;
  for (int i = 0; i <= 100; ++i) {
    of.push_back(2.0 + 0.1 * i);
  }
  for (auto _ : state) {
    auto r = rocket_sweep(data, problem(Model::equilibrium, 0.0), of, models);
    benchmark::DoNotOptimize(r);
  }
  state.counters["per_of"] =
      benchmark::Counter(double(of.size()), benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
}
BENCHMARK(BM_SweepBothModelsAtOnce)->Unit(benchmark::kMillisecond);

// The shifting expansion over the same 101 O/F, the combustor infinite
// (argument 0) or of the contraction ratio argument / 100. Target: the
// finite-area combustor at most 3 times the infinite-area "per_of".
void BM_SweepFiniteCombustor(benchmark::State& state) {
  const engine::ThermoData& data = engine::builtin_nasa9_data();
  std::vector<double> of;
  for (int i = 0; i <= 100; ++i) {
    of.push_back(2.0 + 0.1 * i);
  }
  RocketInput p = problem(Model::equilibrium, 0.0);
  p.contraction = static_cast<double>(state.range(0)) / 100.0;
  for (auto _ : state) {
    auto r = rocket_sweep(data, p, of);
    benchmark::DoNotOptimize(r);
  }
  state.counters["per_of"] =
      benchmark::Counter(double(of.size()), benchmark::Counter::kIsIterationInvariantRate |
                                                benchmark::Counter::kInvert);
}
BENCHMARK(BM_SweepFiniteCombustor)
    ->Arg(0)
    ->Arg(105)
    ->Arg(158)
    ->Arg(400)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond);

void BM_BestIsp(benchmark::State& state) {
  const engine::ThermoData& data = engine::builtin_nasa9_data();
  for (auto _ : state) {
    auto best = best_isp(data, problem(Model::equilibrium, 0.0));
    benchmark::DoNotOptimize(best);
  }
}
BENCHMARK(BM_BestIsp)->Unit(benchmark::kMillisecond);

void BM_RocketCommandCsv(benchmark::State& state) {
  bench::ScratchFolder folder("zuna-bench-rocket");
  const std::vector<std::string> arguments = {
      "rocket",          "--pc=68.046",      "--of=2:16:64",
      "--pi-p=5,50,500", "--ae-at=4,25,150", "--model=equilibrium,frozen_chamber",
      "--csv=out.csv"};
  const double cpu_before = bench::children_cpu_seconds();
  double task_clock_s = 0.0;
  for (auto _ : state) {
    double run_s = 0.0;
    if (bench::run_process_task_clock(folder, ZUNA4C_PATH, arguments, run_s) != 0) {
      state.SkipWithError("the rocket run did not end with exit code 0");
      break;
    }
    task_clock_s += run_s;
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["task_clock_ms"] = task_clock_s / runs * 1e3;
  state.counters["child_cpu_ms"] = (bench::children_cpu_seconds() - cpu_before) / runs * 1e3;
}
BENCHMARK(BM_RocketCommandCsv)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

BENCHMARK(bench::BM_EmptyProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace zuna::rocket

BENCHMARK_MAIN();
