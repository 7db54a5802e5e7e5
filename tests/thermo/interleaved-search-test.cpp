// The searches and equilibria of several lanes at once against the plain
// reference (reference.h) one set of products at a time: every lane must
// come out bit for bit as its own plain run, however differently its neighbours behave (other
// compositions, other numbers of passes and steps, searches that never turn).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <iterator>

#include "tests/support/shipped-data.h"
#include "thermo/dissociation-lanes.h"
#include "thermo/reference.h"

namespace zuna {
namespace {

constexpr int L = kSearchLanes;

bool same_bits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

struct Products {
  double nh2o, no2, nh2, hreac;
};

// Rich, stoichiometric and lean products with their reactant enthalpies, and
// two whose enthalpy balance has no root: f >= 0 at every trial temperature
// (hreac far below) and f < 0 at every one (far above).
const Products kProducts[] = {{0.5, 0.0, 0.5, -12262.0}, {1.0, 0.0, 0.0, -15508.0},
                              {1.0, 0.5, 0.0, -22000.0}, {0.2, 0.0, 0.8, -10314.4},
                              {1.0, 3.0, 0.0, -60952.0}, {1.0, 0.0, 0.0, -1e30},
                              {0.9, 0.0, 0.1, 1e30},     {1.0, 1.2, 0.0, -40177.6}};

struct Result {  // 42 marks storage that the search did not write
  double tad = 42, x[4] = {42, 42, 42, 42}, nd[6] = {42, 42, 42, 42, 42, 42}, ntd = 42;
  unsigned flags = 0;
};

Result one_lane(const Products& p, const DissociationSettings& c, const CoefBlock& coef) {
  const FlameTemperature f =
      reference_flame_temperature({p.hreac, {p.nh2o, p.no2, p.nh2}}, c, ThermoConstants{}, coef);
  Result r;
  r.tad = f.tad;
  r.flags = f.flags;
  if (f.solved) {
    std::copy(std::begin(f.eq.x), std::end(f.eq.x), r.x);
    std::copy(std::begin(f.eq.nd), std::end(f.eq.nd), r.nd);
    r.ntd = f.eq.ntd;
  }
  return r;
}

// Lane l of the batch takes products `first + l` (cyclically), so that every
// products set meets other neighbours from one batch to the next.
void expect_lanes_match(const DissociationSettings& c, const CoefBlock& coef, int first) {
  DissociationLanes<L> d;
  const int n = static_cast<int>(std::size(kProducts));
  for (int l = 0; l < L; ++l) {
    const Products& p = kProducts[(first + l) % n];
    d.hreac.set(l, p.hreac);
    d.nh2o.set(l, p.nh2o);
    d.no2.set(l, p.no2);
    d.nh2.set(l, p.nh2);
    for (int k = 0; k < 4; ++k) {
      d.x[k].set(l, 42);
    }
    for (int k = 0; k < 6; ++k) {
      d.nd[k].set(l, 42);
    }
    d.ntd.set(l, 42);
  }
  tad_diss_lanes(d, c, ThermoConstants{}, coef, ConstantFailures::report);
  for (int l = 0; l < L; ++l) {
    SCOPED_TRACE(::testing::Message() << "lane " << l << " products " << (first + l) % n);
    const Result want = one_lane(kProducts[(first + l) % n], c, coef);
    EXPECT_TRUE(same_bits(d.tad[l], want.tad)) << d.tad[l] << " " << want.tad;
    EXPECT_EQ(d.solved[l], c.itmaxh >= 1);
    EXPECT_EQ(d.flags[l], want.flags);
    for (int k = 0; k < 4; ++k) {
      EXPECT_TRUE(same_bits(d.x[k][l], want.x[k])) << "x" << k + 1;
    }
    for (int k = 0; k < 6; ++k) {
      EXPECT_TRUE(same_bits(d.nd[k][l], want.nd[k])) << "nd" << k + 1;
    }
    EXPECT_TRUE(same_bits(d.ntd[l], want.ntd));
  }
}

DissociationSettings defaults() { return {1.0, 100, 1e-3, 200, 1e-10, {1, 1, 1, 1}}; }

TEST(InterleavedSearch, EachLaneIsItsOneLaneSearch) {
  const CoefBlock coef = testing::load_shipped_data().coef;
  struct Case {
    const char* what;
    DissociationSettings c;
  };
  const Case cases[] = {
      {"defaults", defaults()},
      {"inner solves and passes capped", {1.0, 100, 1e-3, 2, 1e-10, {1, 1, 1, 1}}},
      {"only caps end the equilibrium", {1.0, 12, 1e-3, 9, 0.0, {1, 1, 1, 1}}},
      {"coarse tolerances", {1.0, 100, 2500.0, 200, 1e-3, {1, 1, 1, 1}}},
      {"bisection capped", {1.0, 4, 0.0, 200, 1e-10, {1, 1, 1, 1}}},
      {"no trial temperature", {1.0, 0, 1e-3, 200, 1e-10, {1, 1, 1, 1}}},
      {"no pass", {1.0, 100, 1e-3, 0, 1e-10, {1, 1, 1, 1}}},
      {"switches", {1.0, 100, 1e-3, 200, 1e-10, {0, 1, 0, 1}}},
      {"low pressure", {0.01, 100, 1e-3, 200, 1e-12, {1, 1, 1, 1}}},
      {"high pressure", {80.0, 100, 1e-3, 200, 1e-10, {1, 0, 1, 1}}}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.what);
    for (int first = 0; first < 3; ++first) {
      expect_lanes_match(k.c, coef, first);
    }
  }
}

// Constants of 0 make a lane's first step stationary (q' = 0): it must stop
// there, untouched by neighbours that go on, and a lane left out of `solve`
// must keep what it held.
TEST(InterleavedSearch, EquilibriumLanesStopAndStayApart) {
  const CoefBlock coef = testing::load_shipped_data().coef;
  const double temperatures[] = {0.0, 1000.0, 2500.0, 3100.0, 3700.0, 4600.0, 6000.0, 5200.0};
  static_assert(L <= std::size(temperatures) && L <= std::size(kProducts));
  DissociationLanes<L> d;
  Lanes<L> k[4];
  for (int l = 0; l < L; ++l) {
    const Products& p = kProducts[l];
    d.nh2o.set(l, p.nh2o);
    d.no2.set(l, p.no2);
    d.nh2.set(l, p.nh2);
    d.ntd.set(l, 42);
    double kl[4] = {0, 0, 0, 0};
    if (temperatures[l] > 0) {
      kp_diss(temperatures[l], coef, kl[0], kl[1], kl[2], kl[3]);
    }
    for (int j = 0; j < 4; ++j) {
      k[j].set(l, kl[j]);
    }
  }
  const LaneMask<L> solve = !(d.nh2o == 0.2);  // the products {0.2, 0, 0.8} sit out
  const DissociationSettings c = defaults();
  equil_lanes(k, solve, d, c);
  for (int l = 0; l < L; ++l) {
    SCOPED_TRACE(::testing::Message() << "lane " << l << " at " << temperatures[l] << " K");
    if (!solve[l]) {
      EXPECT_EQ(d.ntd[l], 42.0);
      continue;
    }
    const double kl[4] = {k[0][l], k[1][l], k[2][l], k[3][l]};
    const DissociationEquilibrium e =
        reference_dissociation_equilibrium(kl, {d.nh2o[l], d.no2[l], d.nh2[l]}, c);
    for (int j = 0; j < 6; ++j) {
      EXPECT_TRUE(same_bits(d.nd[j][l], e.nd[j])) << "nd" << j + 1;
    }
    for (int j = 0; j < 4; ++j) {
      EXPECT_TRUE(same_bits(d.x[j][l], e.x[j])) << "x" << j + 1;
    }
    EXPECT_TRUE(same_bits(d.ntd[l], e.ntd));
    EXPECT_EQ(d.capped[l], e.capped);
  }
  EXPECT_FALSE(solve[3]);
}

}  // namespace
}  // namespace zuna
