// The equilibrium engine, one adiabatic flame (HP) at a time with the
// built-in NASA Glenn data and liquid reactants at 1 atm, on the default
// grid of 33 O/F ratios: warm, each point started from the point of the
// previous O/F (as a sweep runs), and cold. Warm also on the grid of 103 O/F
// ratios of the large run (--npmin=50 --npmax=50), whose closer steps take
// one Newton step fewer. Also one SP expansion of a chamber state to a tenth
// of its pressure, started from the chamber.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/engine.h"

namespace zuna::engine {
namespace {

// The sweep's O/F grid: `lean` steps from half the stoichiometric ratio up
// to it, `rich` steps from it up to twice.
std::vector<Mixture> of_grid(int lean, int rich) {
  const double st = stoichiometric_of(builtin_nasa9_data());
  std::vector<Mixture> grid;
  for (int k = 0; k < lean; ++k) {
    grid.push_back({(0.5 + k * 0.5 / lean) * st, {}});
  }
  grid.push_back({st, {}});
  for (int k = 1; k <= rich; ++k) {
    grid.push_back({(1.0 + static_cast<double>(k) / rich) * st, {}});
  }
  return grid;
}

std::vector<Mixture> default_grid() { return of_grid(11, 21); }

void flame_warm(benchmark::State& state, const std::vector<Mixture>& grid) {
  const ThermoData& data = builtin_nasa9_data();
  std::vector<State> previous(grid.size());
  for (std::size_t k = 0; k < grid.size(); ++k) {
    previous[k] = flame(data, grid[k], 1.0);
  }
  std::size_t k = 1;
  for (auto _ : state) {
    State p = flame(data, grid[k], 1.0, &previous[k - 1]);
    benchmark::DoNotOptimize(p);
    k = k + 1 < grid.size() ? k + 1 : 1;
  }
}

void BM_FlameWarm(benchmark::State& state) { flame_warm(state, default_grid()); }
BENCHMARK(BM_FlameWarm);

void BM_FlameWarmLargeRunGrid(benchmark::State& state) { flame_warm(state, of_grid(51, 51)); }
BENCHMARK(BM_FlameWarmLargeRunGrid);

void BM_FlameCold(benchmark::State& state) {
  const ThermoData& data = builtin_nasa9_data();
  const std::vector<Mixture> grid = default_grid();
  std::size_t k = 0;
  for (auto _ : state) {
    State p = flame(data, grid[k], 1.0);
    benchmark::DoNotOptimize(p);
    k = k + 1 < grid.size() ? k + 1 : 0;
  }
}
BENCHMARK(BM_FlameCold);

void BM_ExpansionSp(benchmark::State& state) {
  const ThermoData& data = builtin_nasa9_data();
  const State chamber = flame(data, Mixture{6.0, {}}, 68.046);
  const Feed feed = feed_of(chamber);
  Condition sp;
  sp.mode = Mode::SP;
  sp.p_atm = 6.8046;
  sp.s_kJ_kgK = chamber.S_kJ_kgK;
  for (auto _ : state) {
    State p = equilibrium(data, feed, sp, &chamber);
    benchmark::DoNotOptimize(p);
  }
}
BENCHMARK(BM_ExpansionSp);

}  // namespace
}  // namespace zuna::engine

BENCHMARK_MAIN();
