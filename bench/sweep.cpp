// One whole sweep with the parameter dialog's defaults, and the heaviest sweep
// the tables admit (npmin + npmax = 100, toln = 0 so that only the caps end
// the equilibrium solves); each also by the plain reference point by point,
// every search alone, for comparison with the interleaved searches of
// run_sweep, on the shipped data
// file. The counter "per_point" is the time of one reported point. run_sweep
// hands half of its batches to a second thread, whose time the CPU column does
// not count: its benchmarks are timed on the wall clock.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <memory>

#include "app/sweep.h"
#include "thermodata/data7.h"

namespace zuna {
namespace {

// The shipped data file, read by the species data's own reader: the
// constants and coefficients the program's sweep takes. False when the file
// cannot be read.
bool load_shipped_data(ThermoConstants& tc, CoefBlock& coef) {
  std::ifstream in(ZUNA_DATA_DIR "/zuna.dat", std::ios::binary);
  try {
    const thermodata::Data7File file = thermodata::read_data7(in);
    for (int k = 1; k <= 6; ++k) {
      const thermodata::Data7Species& sp = file.species[k - 1];
      tc.mwk(k) = sp.molar_mass;
      for (int j = 1; j <= 7; ++j) {
        coef(k, j, 1) = sp.high[j - 1];
        coef(k, j, 2) = sp.low[j - 1];
      }
    }
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// The shipped data and the tables of one benchmark.
struct Setup {
  ThermoConstants tc;
  CoefBlock coef;
  const bool loaded = load_shipped_data(tc, coef);
  std::unique_ptr<SweepTable> table = std::make_unique<SweepTable>();
  SweepScalars s;
};

using Sweeper = void (*)(const RunParameters&, const ThermoConstants&, const CoefBlock&,
                         SweepTable&, SweepScalars&, SweepObserver*);

void run(benchmark::State& state, const RunParameters& p, Sweeper sweep = run_sweep) {
  Setup setup;
  if (!setup.loaded) {
    state.SkipWithError("the shipped zuna.dat could not be read");
    return;
  }
  for (auto _ : state) {
    sweep(p, setup.tc, setup.coef, *setup.table, setup.s, nullptr);
    benchmark::DoNotOptimize(setup.table.get());
    benchmark::ClobberMemory();
  }
  state.counters["points"] = setup.s.npts;
  state.counters["per_point"] = benchmark::Counter(
      static_cast<double>(setup.s.npts),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The plain reference (thermo/reference.h), one point after the other.
void reference_sweep(const RunParameters& p, const ThermoConstants& tc, const CoefBlock& coef,
                     SweepTable& t, SweepScalars& s, SweepObserver*) {
  const SweepGrid g{p.npmin, p.npmax, p.rmin, p.rmax};
  const DissociationSettings c{p.ptot,   p.itmaxh, p.tolh,
                               p.itmaxn, p.toln,   {p.act1, p.act2, p.act3, p.act4}};
  s.npts = p.npmin + p.npmax + 3;
  for (std::int32_t i = 0; i <= s.npts; ++i) {
    reference_sweep_point(i, g, c, tc, coef, t.point[i], s);
  }
}

RunParameters heaviest() {
  RunParameters p = dialog_default_parameters();
  p.npmin = 40, p.npmax = 60, p.toln = 0.0;
  return p;
}

void BM_DefaultSweep(benchmark::State& state) { run(state, dialog_default_parameters()); }

void BM_HeaviestSweep(benchmark::State& state) { run(state, heaviest()); }

void BM_DefaultSweepPointByPoint(benchmark::State& state) {
  run(state, dialog_default_parameters(), reference_sweep);
}

void BM_HeaviestSweepPointByPoint(benchmark::State& state) {
  run(state, heaviest(), reference_sweep);
}

BENCHMARK(BM_DefaultSweep)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HeaviestSweep)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DefaultSweepPointByPoint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HeaviestSweepPointByPoint)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zuna

BENCHMARK_MAIN();
