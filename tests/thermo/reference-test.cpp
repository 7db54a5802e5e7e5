// The fast path held to the plain reference over whole sweeps: every point's
// search with dissociation, run side by side in lanes (as the programs' sweep
// runs them) and alone, must give the reference's temperature, equilibrium
// and flags to the last bit, on the dialog's grid and on others, at several
// pressures and with reactions switched off.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "tests/support/shipped-data.h"
#include "thermo/dissociation-lanes.h"
#include "thermo/reference.h"

namespace zuna {
namespace {

constexpr int L = kSearchLanes;

bool same_bits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

struct Case {
  const char* what;
  SweepGrid grid;
  DissociationSettings c;
};

// Points 1..npts of a sweep by the plain reference.
std::vector<SweepPointValues> reference_points(const Case& k, const testing::ShippedData& data) {
  SweepCarry s;
  s.npts = k.grid.npmin + k.grid.npmax + 3;
  std::vector<SweepPointValues> points;
  for (std::int32_t i = 0; i <= s.npts; ++i) {
    SweepPointValues t;
    reference_sweep_point(i, k.grid, k.c, data.tc, data.coef, t, s);
    if (i > 0) {
      points.push_back(t);
    }
  }
  return points;
}

void expect_search_is_reference(const FlameTemperature& got, const SweepPointValues& want) {
  EXPECT_TRUE(same_bits(got.tad, want.tadcom)) << got.tad << " " << want.tadcom;
  EXPECT_EQ(got.flags, want.flags & ~(kNewtonOutside | kNewtonCap));
  ASSERT_TRUE(got.solved);
  for (int j = 0; j < 4; ++j) {
    EXPECT_TRUE(same_bits(got.eq.x[j], want.x[j])) << "x" << j + 1;
  }
  for (int j = 0; j < 6; ++j) {
    EXPECT_TRUE(same_bits(got.eq.nd[j], want.nd[j])) << "nd" << j + 1;
  }
  EXPECT_TRUE(same_bits(got.eq.ntd, want.ntd));
}

// Lane j of a batch as a search result.
FlameTemperature lane(const DissociationLanes<L>& d, int j) {
  FlameTemperature f;
  f.tad = d.tad[j];
  f.flags = d.flags[j];
  f.solved = d.solved[j];
  for (int m = 0; m < 4; ++m) {
    f.eq.x[m] = d.x[m][j];
  }
  for (int m = 0; m < 6; ++m) {
    f.eq.nd[m] = d.nd[m][j];
  }
  f.eq.ntd = d.ntd[j];
  return f;
}

TEST(Reference, LanesAndOneLaneSearchesMatchItOverWholeSweeps) {
  const testing::ShippedData data = testing::load_shipped_data();
  const DissociationSettings dialog{1.0, 100, 1e-3, 200, 1e-10, {1, 1, 1, 1}};
  const SweepGrid grid{10, 20, 0.5, 2.0};
  const Case cases[] = {
      {"dialog defaults", grid, dialog},
      {"0.01 atm", grid, {0.01, 100, 1e-3, 200, 1e-10, {1, 1, 1, 1}}},
      {"100 atm, R2 off", grid, {100.0, 100, 1e-3, 200, 1e-10, {1, 0, 1, 1}}},
      {"fine grid, R4 off", {40, 60, 0.1, 8.0}, {1.0, 100, 1e-3, 200, 1e-10, {1, 1, 1, 0}}},
      {"R1 and R3 off, 1e-4 atm", {7, 0, 0.9, 1.0}, {1e-4, 100, 1e-3, 200, 1e-12, {0, 1, 0, 1}}},
      {"caps reached", {0, 13, 1.0, 30.0}, {10.0, 9, 1e-6, 3, 1e-14, {1, 1, 1, 1}}}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    const std::vector<SweepPointValues> want = reference_points(k, data);
    const int n = static_cast<int>(want.size());
    for (int first = 0; first < n; first += L) {
      DissociationLanes<L> d;
      for (int j = 0; j < L; ++j) {
        const SweepPointValues& p = want[static_cast<std::size_t>(std::min(first + j, n - 1))];
        d.hreac.set(j, p.no2r * data.tc.ho2 + data.tc.hh2);
        d.nh2o.set(j, p.nh2o);
        d.no2.set(j, p.no2);
        d.nh2.set(j, p.nh2);
      }
      tad_diss_lanes(d, k.c, data.tc, data.coef, ConstantFailures::flags_only);
      for (int j = 0; j < L && first + j < n; ++j) {
        SCOPED_TRACE(::testing::Message() << "point " << first + j + 1);
        const SweepPointValues& p = want[static_cast<std::size_t>(first + j)];
        expect_search_is_reference(lane(d, j), p);
        const FlameTemperature alone = tad_diss(
            {p.no2r * data.tc.ho2 + data.tc.hh2, {p.nh2o, p.no2, p.nh2}}, k.c, data.tc, data.coef);
        expect_search_is_reference(alone, p);
      }
    }
  }
}

// The one O/F grid: its ends and its stoichiometric point where the sweep
// and the commands put them, evenly spaced on each side.
TEST(Reference, SweepGridRunsFromRminThroughTheStoichiometricPointToRmax) {
  const double ofst = 7.936683;
  for (const SweepGrid g :
       {SweepGrid{10, 20, 0.5, 2.0}, SweepGrid{0, 0, 0.1, 40.0}, SweepGrid{3, 96, 0.25, 3.0}}) {
    const std::int32_t last = g.npmin + g.npmax + 3;
    EXPECT_EQ(sweep_grid_of(1, g, ofst), g.rmin * ofst);
    EXPECT_EQ(sweep_grid_of(g.npmin + 2, g, ofst), ofst);
    EXPECT_NEAR(sweep_grid_of(last, g, ofst), g.rmax * ofst, 1e-12 * g.rmax * ofst);
    for (std::int32_t i = 2; i <= last; ++i) {
      EXPECT_GT(sweep_grid_of(i, g, ofst), sweep_grid_of(i - 1, g, ofst)) << i;
    }
    const double rich_step = sweep_grid_of(2, g, ofst) - sweep_grid_of(1, g, ofst);
    if (g.npmin > 0) {
      EXPECT_NEAR(rich_step, (1.0 - g.rmin) * ofst / (g.npmin + 1), 1e-12 * ofst);
    }
  }
}

}  // namespace
}  // namespace zuna
