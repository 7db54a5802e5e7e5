// One whole sweep with the parameter dialog's defaults, and the heaviest sweep
// the tables admit (npmin + npmax = 100, toln = 0 so that only the caps end
// the equilibrium solves); each also point by point, every search alone, for
// comparison with the interleaved searches of run_sweep. Coefficients: the
// seven-coefficient polynomials of the shipped data (GRI-Mech 3.0), built in
// so that the benchmark needs no file. The counter "per_point" is the time of
// one reported point. run_sweep hands half of its batches to a second
// thread, whose time the CPU column does not count: its benchmarks are
// timed on the wall clock.
#include <benchmark/benchmark.h>

#include <memory>

#include "app/sweep.h"

namespace zuna {
namespace {

// a1..a7 for T >= 1000 K, then a1..a7 below, in species order.
constexpr double kCoefficients[6][2][7] = {
    {{3.03399249E+00, 2.17691804E-03, -1.64072518E-07, -9.70419870E-11, 1.68200992E-14,
      -3.00042971E+04, 4.96677010E+00},
     {4.19864056E+00, -2.03643410E-03, 6.52040211E-06, -5.48797062E-09, 1.77197817E-12,
      -3.02937267E+04, -8.49032208E-01}},
    {{3.28253784E+00, 1.48308754E-03, -7.57966669E-07, 2.09470555E-10, -2.16717794E-14,
      -1.08845772E+03, 5.45323129E+00},
     {3.78245636E+00, -2.99673416E-03, 9.84730201E-06, -9.68129509E-09, 3.24372837E-12,
      -1.06394356E+03, 3.65767573E+00}},
    {{3.33727920E+00, -4.94024731E-05, 4.99456778E-07, -1.79566394E-10, 2.00255376E-14,
      -9.50158922E+02, -3.20502331E+00},
     {2.34433112E+00, 7.98052075E-03, -1.94781510E-05, 2.01572094E-08, -7.37611761E-12,
      -9.17935173E+02, 6.83010238E-01}},
    {{2.50000001E+00, -2.30842973E-11, 1.61561948E-14, -4.73515235E-18, 4.98197357E-22,
      2.54736599E+04, -4.46682914E-01},
     {2.50000000E+00, 7.05332819E-13, -1.99591964E-15, 2.30081632E-18, -9.27732332E-22,
      2.54736599E+04, -4.46682853E-01}},
    {{2.56942078E+00, -8.59741137E-05, 4.19484589E-08, -1.00177799E-11, 1.22833691E-15,
      2.92175791E+04, 4.78433864E+00},
     {3.16826710E+00, -3.27931884E-03, 6.64306396E-06, -6.12806624E-09, 2.11265971E-12,
      2.91222592E+04, 2.05193346E+00}},
    {{3.09288767E+00, 5.48429716E-04, 1.26505228E-07, -8.79461556E-11, 1.17412376E-14,
      3.85865700E+03, 4.47669610E+00},
     {3.99201543E+00, -2.40131752E-03, 4.61793841E-06, -3.88113333E-09, 1.36411470E-12,
      3.61508056E+03, -1.03925458E-01}},
};

constexpr double kMolarMasses[6] = {18.01528, 31.9988, 2.01588, 1.00794, 15.9994, 17.00734};

struct Setup {
  ThermoConstants tc;
  CoefBlock coef;
  std::unique_ptr<SweepTable> table = std::make_unique<SweepTable>();
  SweepScalars s;

  Setup() {
    for (int k = 1; k <= 6; ++k) {
      tc.mwk(k) = kMolarMasses[k - 1];
      for (int r = 1; r <= 2; ++r) {
        for (int j = 1; j <= 7; ++j) {
          coef(k, j, r) = kCoefficients[k - 1][r - 1][j - 1];
        }
      }
    }
  }
};

RunParameters dialog_defaults() {
  RunParameters p;
  p.npmin = 10, p.npmax = 20, p.itmaxh = 100, p.itmaxn = 200;
  p.rmin = 0.5, p.rmax = 2.0, p.ptot = 1.0, p.tolh = 1e-3, p.toln = 1e-10;
  p.act1 = p.act2 = p.act3 = p.act4 = 1.0;
  return p;
}

using Sweeper = bool (*)(const RunParameters&, const ThermoConstants&, const CoefBlock&,
                        SweepTable&, SweepScalars&, SweepObserver*);

void run(benchmark::State& state, const RunParameters& p, Sweeper sweep = run_sweep) {
  Setup setup;
  for (auto _ : state) {
    const bool done = sweep(p, setup.tc, setup.coef, *setup.table, setup.s, nullptr);
    benchmark::DoNotOptimize(done);
    benchmark::ClobberMemory();
  }
  state.counters["points"] = setup.s.npts;
  state.counters["per_point"] = benchmark::Counter(
      static_cast<double>(setup.s.npts), benchmark::Counter::kIsIterationInvariantRate |
                                             benchmark::Counter::kInvert);
}

RunParameters heaviest() {
  RunParameters p = dialog_defaults();
  p.npmin = 40, p.npmax = 60, p.toln = 0.0;
  return p;
}

void BM_DefaultSweep(benchmark::State& state) {
  run(state, dialog_defaults());
}

void BM_HeaviestSweep(benchmark::State& state) {
  run(state, heaviest());
}

void BM_DefaultSweepPointByPoint(benchmark::State& state) {
  run(state, dialog_defaults(), run_sweep_point_by_point);
}

void BM_HeaviestSweepPointByPoint(benchmark::State& state) {
  run(state, heaviest(), run_sweep_point_by_point);
}

BENCHMARK(BM_DefaultSweep)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HeaviestSweep)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DefaultSweepPointByPoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeaviestSweepPointByPoint)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuna

BENCHMARK_MAIN();
