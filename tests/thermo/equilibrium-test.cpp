// Dissociation equilibrium: the caps and switches, the first Newton step, the
// signs of the extents and the four equilibrium relations at convergence.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>

#include "tests/support/shipped-data.h"
#include "thermo/thermo.h"

namespace zuna {
namespace {

struct Composition {
  double nh2o, no2, nh2;
};
constexpr Composition kStoich{1.0, 0.0, 0.0}, kLean{1.0, 0.5, 0.0}, kRich{0.5, 0.0, 0.5};

struct Constants {
  double k[4];
};

Constants constants_at(double t) {
  static const CoefBlock coef = testing::load_shipped_data().coef;
  Constants c{};
  kp_diss(t, coef, c.k[0], c.k[1], c.k[2], c.k[3]);
  return c;
}

DissociationEquilibrium solve(const Constants& c, const Composition& p, double ptot = 1.0,
                              int itmaxn = 200, double toln = 1e-10,
                              const double (&act)[4] = {1, 1, 1, 1}) {
  DissociationSettings s;
  s.ptot = ptot, s.itmaxn = itmaxn, s.toln = toln;
  for (int j = 0; j < 4; ++j) {
    s.act[j] = act[j];
  }
  return equil_diss(c.k, {p.nh2o, p.no2, p.nh2}, s);
}

void expect_undissociated(const DissociationEquilibrium& e, const Composition& p) {
  EXPECT_EQ(e.nd[0], p.nh2o);
  EXPECT_EQ(e.nd[1], p.no2);
  EXPECT_EQ(e.nd[2], p.nh2);
  for (int k = 3; k < 6; ++k) {
    EXPECT_EQ(e.nd[k], 0.0);
  }
}

TEST(DissociationEquilibrium, NoPassWithoutIterations) {
  for (const int itmaxn : {0, -7}) {
    const DissociationEquilibrium e = solve(constants_at(3500.0), kLean, 1.0, itmaxn);
    expect_undissociated(e, kLean);
    EXPECT_EQ(e.ntd, 1.5);
    for (const double x : e.x) {
      EXPECT_EQ(x, 0.0);
    }
  }
}

// The switches scale the solved extents afterwards; the total stays that of
// the solved equilibrium.
// A switched-off reaction takes no part: its extent stays 0, the moles are
// never negative, they add up to ntd (so the mole fractions add up to 1),
// and the reactions left on meet their relations.
TEST(DissociationEquilibrium, SwitchedOffReactionsTakeNoPart) {
  const double t = 3000.0;
  const Constants c = constants_at(t);
  for (const Composition& p : {kLean, kStoich, kRich}) {
    for (int off = 0; off < 4; ++off) {
      SCOPED_TRACE(::testing::Message()
                   << "R" << off + 1 << " off, nh2o " << p.nh2o << " no2 " << p.no2);
      double act[4] = {1, 1, 1, 1};
      act[off] = 0.0;
      const DissociationEquilibrium e = solve(c, p, 1.0, 20000, 1e-14, act);
      EXPECT_FALSE(e.capped);
      EXPECT_EQ(e.x[off], 0.0);
      double sum = 0.0;
      for (const double n : e.nd) {
        EXPECT_GE(n, 0.0);
        sum += n;
      }
      EXPECT_NEAR(sum, e.ntd, 1e-14);
      const double* n = e.nd;
      const double lhs[4] = {n[3] * n[5], n[3] * n[3], n[4] * n[4], n[4] * n[3]};
      const double rhs[4] = {c.k[0] * e.ntd * n[0], c.k[1] * e.ntd * n[2], c.k[2] * e.ntd * n[1],
                             c.k[3] * e.ntd * n[5]};
      for (int j = 0; j < 4; ++j) {
        if (j != off && rhs[j] != 0.0) {
          EXPECT_NEAR(lhs[j] / rhs[j], 1.0, 1e-6) << "R" << j + 1;
        }
      }
    }
  }
}

// All four off: the products without dissociation, and ntd is their total.
TEST(DissociationEquilibrium, AllSwitchesOffLeaveTheProducts) {
  for (const Composition& p : {kLean, kStoich, kRich}) {
    const DissociationEquilibrium off =
        solve(constants_at(3500.0), p, 1.0, 200, 1e-10, {0, 0, 0, 0});
    expect_undissociated(off, p);
    EXPECT_EQ(off.ntd, p.nh2o + p.no2 + p.nh2);
    for (const double x : off.x) {
      EXPECT_EQ(x, 0.0);
    }
  }
}

TEST(DissociationEquilibrium, CapIsReportedOnlyWhenTheTotalDidNotSettle) {
  const Constants c = constants_at(2500.0);  // slow passes near stoichiometric
  EXPECT_TRUE(solve(c, kStoich, 1.0, 5, 1e-10).capped);
  EXPECT_FALSE(solve(c, kStoich, 1.0, 20000, 1e-10).capped);
}

TEST(DissociationEquilibrium, FirstStepFromZeroGivesAllTheWater) {
  const DissociationEquilibrium e = solve(constants_at(3000.0), kRich, 1.0, 1);
  EXPECT_NEAR(e.x[0], kRich.nh2o, 1e-15);
}

// Constants that vanish (or underflow) give a stationary first step: no
// dissociation, nothing that is not finite, and no division by zero that
// the run-time would report.
TEST(DissociationEquilibrium, VanishingConstantsLeaveTheProducts) {
  std::feclearexcept(FE_ALL_EXCEPT);
  const DissociationEquilibrium zero = solve(Constants{{0, 0, 0, 0}}, kStoich);
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
  expect_undissociated(zero, kStoich);
  EXPECT_EQ(zero.ntd, 1.0);
  const DissociationEquilibrium cold = solve(constants_at(1000.0), kLean);
  for (const double x : cold.x) {
    EXPECT_LT(std::fabs(x), 1e-6);
  }
}

TEST(DissociationEquilibrium, ExcessSpeciesExtentSigns) {
  const DissociationEquilibrium lean = solve(constants_at(3000.0), kLean);
  EXPECT_LT(lean.x[1], 0.0);
  EXPECT_EQ(lean.nd[2], -lean.x[1]);
  const DissociationEquilibrium rich = solve(constants_at(3000.0), kRich);
  EXPECT_LT(rich.x[2], 0.0);
  EXPECT_EQ(rich.nd[1], -rich.x[2]);
}

// At convergence the element balances hold, the moles add up to ntd and the
// four relations P H OH = K1 N H2O, P H^2 = K2 N H2, P O^2 = K3 N O2,
// P O H = K4 N OH are met. The passes converge linearly and slowly near
// 2500 K, hence the generous cap.
TEST(DissociationEquilibrium, ConvergedSolutionMeetsTheRelations) {
  for (const double t : {2500.0, 3500.0, 4500.0}) {
    for (const Composition& p : {kStoich, kLean, kRich}) {
      for (const double ptot : {0.5, 1.0, 20.0}) {
        SCOPED_TRACE(::testing::Message()
                     << "T " << t << " nh2o " << p.nh2o << " no2 " << p.no2 << " P " << ptot);
        const Constants c = constants_at(t);
        const DissociationEquilibrium e = solve(c, p, ptot, 20000, 1e-14);
        const double* n = e.nd;
        const double h = 2 * n[0] + 2 * n[2] + n[3] + n[5];
        const double o = n[0] + 2 * n[1] + n[4] + n[5];
        EXPECT_NEAR(h, 2 * p.nh2o + 2 * p.nh2, 1e-12 * h);
        EXPECT_NEAR(o, p.nh2o + 2 * p.no2, 1e-12 * o);
        EXPECT_NEAR(n[0] + n[1] + n[2] + n[3] + n[4] + n[5], e.ntd, 1e-12);
        const double lhs[4] = {ptot * n[3] * n[5], ptot * n[3] * n[3], ptot * n[4] * n[4],
                               ptot * n[4] * n[3]};
        const double rhs[4] = {c.k[0] * e.ntd * n[0], c.k[1] * e.ntd * n[2], c.k[2] * e.ntd * n[1],
                               c.k[3] * e.ntd * n[5]};
        for (int j = 0; j < 4; ++j) {
          EXPECT_NEAR(lhs[j] / rhs[j], 1.0, 1e-6) << "R" << j + 1;
        }
      }
    }
  }
}

}  // namespace
}  // namespace zuna
