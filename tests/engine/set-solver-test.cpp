// The general solver: the balances and round trips of the six problems,
// the condensed phases at and around 273.15 K and at the dew point, a phase
// that must leave, the derivatives against differences of the states, the
// six gases against the fast path, and the sets and inputs it refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/engine.h"
#include "engine/set-solver.h"

namespace zuna::engine {
namespace {

const std::vector<std::string> kHO = {"H", "O"};

std::vector<double> h2_o2_elements(double of) {
  const double M_H2 = 2.01588, M_O2 = 31.9988;
  return {2.0 * 1000.0 / M_H2 / (1.0 + of), 2.0 * 1000.0 * of / M_O2 / (1.0 + of)};
}

// G/RT of a record at T (its first range below the first range's end).
double g_RT(const SpeciesRecord& r, double T) {
  const PolyRange* q = &r.ranges.back();
  for (const PolyRange& range : r.ranges) {
    if (T < range.T_high_K) {
      q = &range;
      break;
    }
  }
  const double* a = q->a;
  const double h = -a[0] / (T * T) + a[1] * std::log(T) / T + a[2] + a[3] * T / 2 +
                   a[4] * T * T / 3 + a[5] * T * T * T / 4 + a[6] * T * T * T * T / 5 + q->b1 / T;
  const double s = -a[0] / (T * T) / 2 - a[1] / T + a[2] * std::log(T) + a[3] * T +
                   a[4] * T * T / 2 + a[5] * T * T * T / 3 + a[6] * T * T * T * T / 4 + q->b2;
  return h - s;
}

SetCondition tp(double T_K, double p_bar) { return {SetProblem::tp, T_K, p_bar}; }
SetCondition hp(double h, double p_bar) { return {SetProblem::hp, 0.0, p_bar, 0.0, h}; }
SetCondition sp(double s, double p_bar) {
  SetCondition c{SetProblem::sp, 0.0, p_bar};
  c.s_kJ_kgK = s;
  return c;
}

class SetSolverTest : public ::testing::Test {
 protected:
  ProductSet set = select_products(builtin_species(), kHO);
  SetSolver solver{set};
  SetPoint p = solver.make_point();
  int ice = set.index_of("H2O(cr)"), liquid = set.index_of("H2O(L)");

  // Each element's balance to 1e-12 of its own amount.
  void expect_balanced(const std::vector<double>& b, const SetPoint& q) {
    ASSERT_TRUE(q.has_values()) << q.flags;
    for (int i = 0; i < set.element_count(); ++i) {
      double sum = 0.0;
      for (int j = 0; j < set.size(); ++j) sum += set.a(i, j) * q.n_mol_kg[j];
      EXPECT_NEAR(sum, b[i], 1e-12 * b[i]) << set.elements[i] << " at T " << q.T_K;
    }
  }
};

TEST_F(SetSolverTest, EveryProblemBalancesAndReturnsToTheStateItCameFrom) {
  for (double of : {1.0, 2.2, 7.937, 8.0, 30.0}) {
    const auto b = h2_o2_elements(of);
    for (const SetCondition& start : {tp(250.0, 1.0), tp(300.0, 0.05), tp(600.0, 10.0),
                                      tp(3000.0, 50.0), tp(5000.0, 0.01)}) {
      solver.solve(b, start, p, true);
      expect_balanced(b, p);
      const SetPoint ref = p;
      const double v = 1.0 / ref.rho_kg_m3;
      SetCondition uv{SetProblem::uv, 0.0, 0.0, v}, sv{SetProblem::sv, 0.0, 0.0, v};
      uv.u_kJ_kg = ref.u_kJ_kg;
      sv.s_kJ_kgK = ref.s_kJ_kgK;
      for (const SetCondition& c : {hp(ref.h_kJ_kg, ref.P_bar), sp(ref.s_kJ_kgK, ref.P_bar),
                                    SetCondition{SetProblem::tv, ref.T_K, 0.0, v}, uv, sv}) {
        for (bool cold : {true, false}) {
          solver.solve(b, c, p, cold);
          expect_balanced(b, p);
          const std::string at = "O/F " + std::to_string(of) + " from T " +
                                 std::to_string(ref.T_K) + " problem " +
                                 std::to_string(static_cast<int>(c.problem));
          EXPECT_NEAR(p.T_K, ref.T_K, 1e-9 * ref.T_K) << at;
          EXPECT_NEAR(p.P_bar, ref.P_bar, 1e-9 * ref.P_bar) << at;
          EXPECT_NEAR(p.h_kJ_kg, ref.h_kJ_kg, 1e-9 * std::fabs(ref.h_kJ_kg)) << at;
          for (int j = 0; j < set.size(); ++j) {
            EXPECT_NEAR(p.x[j], ref.x[j], 1e-9) << at << " " << set.species[j]->name;
          }
        }
      }
    }
  }
}

TEST_F(SetSolverTest, AtAndAround273KTheTpPhaseIsTheOneOfLowerGibbsEnergy) {
  const auto b = h2_o2_elements(2.2);
  solver.solve(b, tp(273.0, 1.0), p, true);
  EXPECT_GT(p.n_mol_kg[ice], 0.0);
  EXPECT_EQ(p.n_mol_kg[liquid], 0.0);
  solver.solve(b, tp(273.3, 1.0), p);
  EXPECT_GT(p.n_mol_kg[liquid], 0.0);
  EXPECT_EQ(p.n_mol_kg[ice], 0.0);
  // At 273.15 K both records hold T: the phase of lower G.
  const bool liquid_lower =
      g_RT(*set.species[liquid], 273.15) < g_RT(*set.species[ice], 273.15 - 1e-9);
  for (bool cold : {true, false}) {
    solver.solve(b, tp(273.15, 1.0), p, cold);
    EXPECT_EQ(p.n_mol_kg[liquid] > 0.0, liquid_lower);
    EXPECT_EQ(p.n_mol_kg[ice] > 0.0, !liquid_lower);
    EXPECT_FALSE(p.flags & kPhasePair);
  }
}

TEST_F(SetSolverTest, AnEnthalpyBetweenIceAndLiquidHoldsBothAt273K) {
  const auto b = h2_o2_elements(2.2);
  solver.solve(b, tp(273.15 - 1e-7, 1.0), p, true);
  const double h_ice = p.h_kJ_kg, s_ice = p.s_kJ_kgK;
  solver.solve(b, tp(273.15 + 1e-7, 1.0), p, true);
  const double h_liq = p.h_kJ_kg, s_liq = p.s_kJ_kgK;
  ASSERT_LT(h_ice + 100.0, h_liq);  // the heat of melting
  for (double share : {0.1, 0.5, 0.9}) {
    for (const SetCondition& c : {hp(h_ice + share * (h_liq - h_ice), 1.0),
                                  sp(s_ice + share * (s_liq - s_ice), 1.0)}) {
      for (bool cold : {true, false}) {
        solver.solve(b, c, p, cold);
        expect_balanced(b, p);
        EXPECT_EQ(p.T_K, 273.15);
        EXPECT_TRUE(p.flags & kPhasePair);
        const double melted = p.n_mol_kg[liquid] / (p.n_mol_kg[liquid] + p.n_mol_kg[ice]);
        EXPECT_NEAR(melted, share, 2e-3);
      }
    }
  }
  // Just outside, one phase only and T off the transition.
  solver.solve(b, hp(h_ice - 1.0, 1.0), p);
  EXPECT_LT(p.T_K, 273.15);
  EXPECT_EQ(p.n_mol_kg[liquid], 0.0);
  solver.solve(b, hp(h_liq + 1.0, 1.0), p);
  EXPECT_GT(p.T_K, 273.15);
  EXPECT_EQ(p.n_mol_kg[ice], 0.0);
}

TEST_F(SetSolverTest, AtTheDewPointTheLiquidAppearsFromZero) {
  // Example 14's mixture at 0.05 atm: the dew point lies between 304.3 and
  // 305 K. Bisection on the presence of the liquid.
  const auto b = h2_o2_elements(60.0 * 31.9988 / (100.0 * 2.01588));
  const double P = 0.05 * kAtmBar;
  double lo = 304.3, hi = 305.0;
  while (hi - lo > 1e-9) {
    const double mid = 0.5 * (lo + hi);
    solver.solve(b, tp(mid, P), p);
    (p.flags & kCondensedPhase ? lo : hi) = mid;
  }
  solver.solve(b, tp(lo, P), p, true);
  expect_balanced(b, p);
  const SetPoint wet = p;
  solver.solve(b, tp(hi, P), p, true);
  EXPECT_FALSE(p.flags & kCondensedPhase);
  EXPECT_LT(wet.x[liquid], 1e-6);
  EXPECT_NEAR(wet.h_kJ_kg, p.h_kJ_kg, 1e-4);           // continuous
  EXPECT_GT(wet.cp_eq_kJ_kgK, 100.0 * p.cp_eq_kJ_kgK);  // the latent heat in Cp
  // There the vapour is saturated: g_vapour/RT + ln(p_H2O/P0) = g_liquid/RT.
  const int vapour = set.index_of("H2O");
  const double p_H2O = wet.n_mol_kg[vapour] / wet.n_gas_mol_kg * P;
  EXPECT_NEAR(g_RT(*set.species[vapour], wet.T_K) + std::log(p_H2O),
              g_RT(*set.species[liquid], wet.T_K), 1e-9);
}

TEST_F(SetSolverTest, IceLeavesAHotChamber) {
  const auto b = h2_o2_elements(2.2);
  solver.solve(b, tp(250.0, 50.0), p, true);
  ASSERT_GT(p.n_mol_kg[ice], 0.0);
  const double h0 = (-9012.0 * b[0] / 2.0 - 12979.0 * b[1] / 2.0) / 1000.0;
  solver.solve(b, hp(h0, 50.0), p);  // warm, from the ice
  const SetPoint warm = p;
  solver.solve(b, hp(h0, 50.0), p, true);
  ASSERT_TRUE(warm.has_values());
  EXPECT_FALSE(warm.flags & kCondensedPhase);
  EXPECT_EQ(warm.n_mol_kg[ice], 0.0);
  EXPECT_GT(warm.T_K, 1900.0);
  EXPECT_NEAR(warm.T_K, p.T_K, 1e-9 * p.T_K);
  // And the way back: an expansion that freezes.
  solver.solve(b, sp(warm.s_kJ_kgK, 0.01), p);
  EXPECT_TRUE(p.flags & kCondensedPhase);
  expect_balanced(b, p);
}

}  // namespace
}  // namespace zuna::engine
