// The engine beside the program's own sweep (thermo/'s tad_diss, block
// Gauss-Seidel equilibrium inside a bisection on T) on the same data file,
// zuna.dat, on the default grid at 0.1, 1, 10 and 100 atm. The sweep stops
// its bisection at tolh = 1e-3 K and its equilibrium passes at
// toln = 1e-10; the engine converges to the rounding of doubles. So the
// flame temperatures differ by at most tolh, and at the sweep's own
// temperature the compositions differ by what toln lets the sweep's
// equilibrium passes leave (see below).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "cea-tables.h"
#include "engine/engine.h"
#include "tests/support/shipped-data.h"
#include "thermo/thermo.h"

namespace zuna::engine {
namespace {

constexpr double kTolh = 1.0e-3;  // [K], the parameter form's defaults
constexpr double kToln = 1.0e-10;
constexpr int kItmaxh = 100;
constexpr int kItmaxn = 200;

// The default grid: r = O/F over its stoichiometric value, 10 points between
// 0.5 and 1, 20 between 1 and 2, and the three ends.
std::vector<double> default_grid() {
  std::vector<double> r;
  for (int k = 0; k <= 10; ++k) {
    r.push_back(0.5 + k * 0.5 / 11.0);
  }
  r.push_back(1.0);
  for (int k = 1; k <= 21; ++k) {
    r.push_back(1.0 + k / 21.0);
  }
  return r;
}

struct SweepPoint {
  double T_K;
  double x[kSpeciesCount];
  unsigned flags;  // SearchFlag bits of tad_diss
};

// One point of the sweep as the program computes it: products without
// dissociation for r, then tad_diss from them.
SweepPoint sweep_point(const zuna::testing::ShippedData& shipped, double r, double p_atm) {
  const ThermoConstants& tc = shipped.tc;
  double no2r = r * 0.5, nh2o = 0, no2 = 0, nh2 = 0;
  if (r < 1.0) {
    prod_rich(no2r, nh2o, no2, nh2);
  } else if (r > 1.0) {
    prod_lean(no2r, nh2o, no2, nh2);
  } else {
    prod_stoich(no2r, nh2o, no2, nh2);
  }
  const double hreac = no2r * tc.ho2 + tc.hh2;
  const DissociationSettings c{p_atm, kItmaxh, kTolh, kItmaxn, kToln, {1.0, 1.0, 1.0, 1.0}};
  const FlameTemperature search = tad_diss({hreac, {nh2o, no2, nh2}}, c, tc, shipped.coef);
  SweepPoint s;
  s.flags = search.flags;
  s.T_K = search.tad;
  for (int j = 0; j < kSpeciesCount; ++j) {
    s.x[j] = search.eq.nd[j] / search.eq.ntd;
  }
  return s;
}

TEST(EngineBesideSweep, SameDataSameFlames) {
  zuna::testing::ShippedData shipped = zuna::testing::load_shipped_data();
  ASSERT_EQ(shipped.records.size() >= 132, true);
  std::ifstream in(ZUNA_DATA_DIR "/zuna.dat", std::ios::binary);
  const ThermoData data = read_data7(in, "zuna.dat");
  const double ofst = stoichiometric_of(data);
  std::printf("  p [atm]  max|dT| [K]  max|dx| at HP  max|dx| at the sweep's T  capped\n");
  for (double p_atm : {0.1, 1.0, 10.0, 100.0}) {
    double worst_T = 0, worst_x = 0, worst_x_same_T = 0, worst_x_capped = 0;
    int capped = 0;
    const State* previous = nullptr;
    State flame_point;
    for (double r : default_grid()) {
      const SweepPoint s = sweep_point(shipped, r, p_atm);
      flame_point = flame(data, Mixture{r * ofst, {}}, p_atm, previous);
      previous = &flame_point;
      ASSERT_TRUE(flame_point.converged());
      worst_T = std::max(worst_T, std::fabs(flame_point.T_K - s.T_K));
      Condition tp;
      tp.mode = Mode::TP;
      tp.T_K = s.T_K;
      tp.p_atm = p_atm;
      const State same_T = equilibrium(data, feed_of(data, Mixture{r * ofst, {}}), tp);
      // Only the bisection's own bits: a point whose equilibrium passes ran
      // out (kEquilibriumCap, at high pressure) is further from equilibrium.
      EXPECT_EQ(s.flags & ~unsigned(kEquilibriumCap), 0u);
      capped += (s.flags & kEquilibriumCap) != 0;
      for (int j = 0; j < kSpeciesCount; ++j) {
        worst_x = std::max(worst_x, std::fabs(flame_point.x[j] - s.x[j]));
        double& w = s.flags ? worst_x_capped : worst_x_same_T;
        w = std::max(w, std::fabs(same_T.x[j] - s.x[j]));
      }
    }
    std::printf("  %7g  %11.3g  %13.3g  %22.3g  %d (max|dx| %.3g)\n", p_atm, worst_T, worst_x,
                worst_x_same_T, capped, worst_x_capped);
    EXPECT_LE(worst_T, kTolh) << p_atm << " atm";
    // toln bounds the change of the amounts over one Gauss-Seidel pass, not
    // their distance from equilibrium: the passes converge linearly, more
    // slowly as the pressure rises, and at 100 atm that distance reaches
    // about 1e-7.
    EXPECT_LE(worst_x_same_T, (p_atm <= 10.0 ? 100 : 1000) * kToln) << p_atm << " atm";
    EXPECT_LE(worst_x_capped, 1e-6) << p_atm << " atm";
  }
}

// The picture of docs/validation.md's engine section: with ZUNA_ENGINE_PLOT
// naming a file, the flame temperatures at 1 atm on the default grid are
// written there (r, NASA CEA 3.0, the engine with the built-in records minus
// CEA, the engine on zuna.dat, the sweep on zuna.dat minus the engine on
// zuna.dat) for docs/engine-validation.gnu.
TEST(EngineBesideSweep, PlotData) {
  const char* file = std::getenv("ZUNA_ENGINE_PLOT");
  if (file == nullptr) {
    GTEST_SKIP() << "ZUNA_ENGINE_PLOT names no file";
  }
  const zuna::testing::ShippedData shipped = zuna::testing::load_shipped_data();
  std::ifstream in(ZUNA_DATA_DIR "/zuna.dat", std::ios::binary);
  const ThermoData data7 = read_data7(in, "zuna.dat");
  const ThermoData& data9 = builtin_nasa9_data();
  const auto rows = testing::read_table(ZUNA_VALIDATION_REFERENCE "/cea-h2o2-hp-1atm.tsv");
  ASSERT_EQ(rows.size(), default_grid().size());
  std::FILE* out = std::fopen(file, "w");
  ASSERT_NE(out, nullptr);
  std::fprintf(out, "# r\tT_cea\tT_engine_nasa9-T_cea\tT_engine_zuna\tT_sweep-T_engine_zuna\n");
  for (const testing::TableRow& row : rows) {
    const double r = row.value("r");
    const State p9 = flame(data9, Mixture{r * stoichiometric_of(data9), {}}, 1.0);
    const State p7 = flame(data7, Mixture{r * stoichiometric_of(data7), {}}, 1.0);
    const SweepPoint s = sweep_point(shipped, r, 1.0);
    const double T_cea = row.value("T_only6");
    std::fprintf(out, "%.10g\t%.10g\t%.6e\t%.10g\t%.6e\n", r, T_cea, p9.T_K - T_cea, p7.T_K,
                 s.T_K - p7.T_K);
  }
  std::fclose(out);
}

}  // namespace
}  // namespace zuna::engine
