// The two flame-temperature searches: start values, caps, the number of
// trial temperatures of the bisection and Newton's steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <cmath>

#include "tests/support/shipped-data.h"
#include "thermo/thermo.h"

namespace zuna {
namespace {

struct DissResult {  // 42 marks storage the search did not write
  double tad = -1, x[4] = {42, 42, 42, 42}, nd[6] = {42, 42, 42, 42, 42, 42}, ntd = 42;
  bool solved = false;
};

DissociationSettings settings(int itmaxh, double tolh) {
  return {1.0, itmaxh, tolh, 200, 1e-10, {1.0, 1.0, 1.0, 1.0}};
}

DissResult copied(const DissociationEquilibrium& e) {
  DissResult d;
  std::copy(std::begin(e.x), std::end(e.x), d.x);
  std::copy(std::begin(e.nd), std::end(e.nd), d.nd);
  d.ntd = e.ntd;
  return d;
}

// The search from 1 mol H2O; the equilibrium only when one was solved.
DissResult search(const CoefBlock& coef, double hreac, int itmaxh, double tolh) {
  const FlameTemperature r =
      tad_diss({hreac, {1.0, 0.0, 0.0}}, settings(itmaxh, tolh), ThermoConstants{}, coef);
  DissResult d = r.solved ? copied(r.eq) : DissResult{};
  d.tad = r.tad;
  d.solved = r.solved;
  return d;
}

// The equilibrium tad_diss must have left when it last solved at t.
DissResult solved_at(const CoefBlock& coef, double t) {
  double k[4];
  kp_diss(t, coef, k[0], k[1], k[2], k[3]);
  return copied(equil_diss(k, {1.0, 0.0, 0.0}, settings(0, 0.0)));
}

double nodiss(const CoefBlock& coef, const double (&n)[3], double hreac, int itmaxh, double tolh) {
  const ThermoConstants tc;
  double tad = -1;
  tad_nodiss(n[0], n[1], n[2], hreac, tad, itmaxh, tolh, tc, coef);
  return tad;
}

TEST(FlameTemperature, NoIterationsKeepStartValuesAndCallerStorage) {
  const CoefBlock coef = testing::load_shipped_data().coef;
  for (const int itmaxh : {0, -3}) {
    EXPECT_EQ(nodiss(coef, {1, 0, 0}, -12262.0, itmaxh, 1e-3), 6000.0);
    const DissResult d = search(coef, -12262.0, itmaxh, 1e-3);
    EXPECT_EQ(d.tad, 3500.0);
    EXPECT_FALSE(d.solved);
    for (int k = 0; k < 6; ++k) {
      EXPECT_EQ(d.nd[k], 42.0);
    }
    EXPECT_EQ(d.x[3], 42.0);
    EXPECT_EQ(d.ntd, 42.0);
  }
}

// H's constants hang steeply on T near 1000 K (g4 = s (T - 1000)), so the
// equilibrium left behind identifies the last trial temperature. With hreac
// far below every product enthalpy, f >= 0 at every trial and the n-th
// midpoint is 1000 + 5000 / 2^n: the result counts the trial temperatures.
TEST(FlameTemperature, BisectionCountsTrialTemperatures) {
  CoefBlock coef;
  coef(4, 2, 1) = -2.0e4;
  coef(4, 7, 1) = 1.0e7;
  struct Case {
    double tolh;
    int itmaxh, midpoints, solved;
  };
  const Case cases[] = {{3000.0, 100, 1, 1}, {2500.0, 100, 2, 2}, {1000.0, 100, 3, 3},
                        {1e-3, 100, 23, 23}, {1e-3, 22, 23, 22},  {0.0, 5, 6, 5}};
  const auto midpoint = [](int n) { return 1000.0 + 5000.0 / std::ldexp(1.0, n); };
  ASSERT_NE(solved_at(coef, midpoint(23)).nd[3], solved_at(coef, midpoint(22)).nd[3]);
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "tolh " << c.tolh << " itmaxh " << c.itmaxh);
    const DissResult got = search(coef, -1e30, c.itmaxh, c.tolh);
    const DissResult want = solved_at(coef, midpoint(c.solved));
    EXPECT_EQ(got.tad, midpoint(c.midpoints));
    for (int k = 0; k < 6; ++k) {
      EXPECT_EQ(got.nd[k], want.nd[k]) << "species " << k + 1;
    }
    EXPECT_EQ(got.ntd, want.ntd);
  }
}

// With zero coefficients h = 0, so f = -hreac: below 0 everywhere the search
// climbs to 6000 - 5000 / 2^n; f = 0 counts as above and it sinks.
TEST(FlameTemperature, BisectionClimbsWhenProductsArePoorer) {
  EXPECT_EQ(search(CoefBlock{}, 1.0, 100, 1e-3).tad, 6000.0 - 5000.0 / std::ldexp(1.0, 23));
  EXPECT_EQ(search(CoefBlock{}, 1.0, 100, 1000.0).tad, 6000.0 - 625.0);
  EXPECT_EQ(search(CoefBlock{}, 0.0, 100, 1000.0).tad, 1000.0 + 625.0);
}

// Only a1 and a6, equal in both ranges: H is linear in T and the first
// Newton step lands on T* = (hreac - R S6) / (R S1); the second confirms it.
TEST(FlameTemperature, NewtonOnLinearEnthalpy) {
  CoefBlock coef;
  const double a1[3] = {4.0, 3.5, 3.0}, a6[3] = {-30000.0, -1000.0, -900.0};
  for (int k = 1; k <= 3; ++k) {
    for (int r = 1; r <= 2; ++r) {
      coef(k, 1, r) = a1[k - 1];
      coef(k, 6, r) = a6[k - 1];
    }
  }
  const double n[3] = {0.5, 0.0, 0.5}, hreac = -12262.0, rgas = ThermoConstants{}.rgas;
  const double s1 = n[0] * a1[0] + n[1] * a1[1] + n[2] * a1[2];
  const double s6 = n[0] * a6[0] + n[1] * a6[1] + n[2] * a6[2];
  const double t_star = (hreac - rgas * s6) / (rgas * s1);
  EXPECT_NEAR(nodiss(coef, n, hreac, 1, 1e-3), t_star, 1e-9 * t_star);
  EXPECT_EQ(nodiss(coef, n, hreac, 2, 1e-3), nodiss(coef, n, hreac, 100, 1e-3));
  EXPECT_NEAR(nodiss(coef, n, hreac, 100, 1e-3), t_star, 1e-9 * t_star);
}

TEST(FlameTemperature, NewtonOnShippedData) {
  const CoefBlock coef = testing::load_shipped_data().coef;
  const double n[3] = {1.0, 0.0, 0.0}, hreac = -12984.0 * 0.5 - 9016.0;
  const double first = nodiss(coef, n, hreac, 1, 1e-3);
  EXPECT_EQ(nodiss(coef, n, hreac, 100, 1e9), first);  // tolh above the first step
  // A step exactly equal to tolh does not stop the search.
  EXPECT_NE(nodiss(coef, n, hreac, 100, std::fabs(first - 6000.0)), first);
  const double tad = nodiss(coef, n, hreac, 100, 1e-3);
  EXPECT_NE(tad, first);
  double h = 0, cp = 0;
  h_mix(n[0], n[1], n[2], 0, 0, 0, tad, h, ThermoConstants{}.rgas, coef, 1);
  cp_mix(n[0], n[1], n[2], 0, 0, 0, tad, cp, ThermoConstants{}.rgas, coef, 1);
  EXPECT_LT(std::fabs(h - hreac) / cp, 1e-3);
}

}  // namespace
}  // namespace zuna
