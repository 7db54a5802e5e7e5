// Every wave is a solution of the laws it stands for: mass, momentum and
// energy across each front, the Chapman-Jouguet condition u2 = a2 of a
// detonation, and the equilibrium of the gas behind, checked with a solver
// of its own started cold, over a grid of mixtures, argon dilutions, T1,
// P1 and shock speeds, warm from point to point as a sweep runs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "wave-checks.h"

namespace zuna::waves {
namespace {

using namespace testing;

// The gas behind is in equilibrium at its T and P: a solver of its own,
// started cold, gives the same state.
void expect_equilibrium(const SetPoint& p, double argon, const std::vector<double>& b,
                        const std::string& where) {
  engine::SetSolver solver(products(argon));
  SetPoint q = solver.make_point();
  engine::SetCondition c;
  c.T_K = p.T_K;
  c.p_bar = p.P_bar;
  solver.solve(b, c, q, true);
  ASSERT_TRUE(q.has_values()) << where;
  EXPECT_NEAR(q.h_kJ_kg, p.h_kJ_kg, 1e-9 * std::fabs(p.h_kJ_kg) + 1e-9) << where;
  EXPECT_NEAR(q.rho_kg_m3 / p.rho_kg_m3, 1.0, 1e-10) << where;
  EXPECT_NEAR(q.sound_speed_m_s / p.sound_speed_m_s, 1.0, 1e-10) << where;
}

std::string at(double phi, double argon, double T1, double P1) {
  return "phi " + std::to_string(phi) + ", argon " + std::to_string(argon) + ", T1 " +
         std::to_string(T1) + " K, P1 " + std::to_string(P1) + " bar";
}

TEST(WavesConservation, DetonationsOverAGrid) {
  int points = 0;
  for (const double argon : {0.0, 0.5, 0.7, 0.9}) {
    WaveSolver solver(products(argon));
    Detonation d = solver.make_detonation();
    for (const double phi : {0.2, 0.5, 1.0, 2.0, 4.0}) {
      const Mixture mix = h2_o2_ar(phi, argon);
      for (const double T1 : {200.0, 298.15, 500.0, 900.0}) {
        for (const double P1 : {0.01, 1.0, 20.0, 100.0}) {
          const std::string where = at(phi, argon, T1, P1);
          solver.detonation(mix, {T1, P1}, d);
          ASSERT_TRUE(d.has_values()) << where << ", flags " << d.flags;
          expect_detonation(d, where);
          EXPECT_GT(d.p_ratio, 1.0) << where;
          expect_equilibrium(d.burned, argon, mix.b_mol_kg, where);
          ++points;
        }
      }
    }
  }
  EXPECT_EQ(points, 320);
}

TEST(WavesConservation, ShocksOverAGrid) {
  int points = 0;
  for (const ShockModel model : {ShockModel::equilibrium, ShockModel::frozen}) {
    for (const double argon : {0.0, 0.5, 0.9, 1.0}) {
      WaveSolver solver(products(argon));
      Shock s = solver.make_shock();
      for (const double phi : {0.5, 1.0, 2.0}) {
        const Mixture mix = h2_o2_ar(phi, argon);
        for (const double T1 : {250.0, 300.0, 600.0}) {
          for (const double P1 : {0.01, 1.0, 10.0}) {
            for (const double mach : {1.5, 3.0, 5.0, 8.0}) {
              ShockInput in;
              in.initial = {T1, P1};
              in.mach1 = mach;
              in.model = model;
              in.reflected = true;
              solver.shock(mix, in, s);
              const std::string where = at(phi, argon, T1, P1) + ", Mach " + std::to_string(mach) +
                                        (model == ShockModel::frozen ? " frozen" : " equilibrium");
              if (!s.has_values()) {
                // Only an equilibrium shock slower than the detonation is
                // refused, and a gas 2 hotter than the data (6000 K).
                if (s.flags == (engine::kAboveRange | engine::kNoSolution)) continue;
                EXPECT_EQ(s.flags, kShockTooSlow | engine::kNoSolution) << where;
                EXPECT_TRUE(model == ShockModel::equilibrium && s.u1_m_s < s.slowest_m_s) << where;
                continue;
              }
              expect_front(s.unburned, s.u1_m_s, s.incident, s.u2_m_s, "incident, " + where);
              EXPECT_NEAR(s.v2_m_s, s.u1_m_s - s.u2_m_s, 1e-12 * s.u1_m_s);
              if (s.reflected_flags & engine::kNoSolution) {
                // Only beyond the data: gas 5 hotter than 6000 K.
                EXPECT_EQ(s.reflected_flags, engine::kAboveRange | engine::kNoSolution) << where;
                EXPECT_TRUE(std::isnan(s.u5_m_s)) << where;
                continue;
              }
              expect_front(s.incident, s.u5_v2_m_s, s.reflected, s.u5_m_s, "reflected, " + where);
              EXPECT_NEAR(s.u5_v2_m_s - s.u5_m_s, s.v2_m_s, 1e-9 * s.u5_v2_m_s) << where;
              if (model == ShockModel::equilibrium) {
                expect_equilibrium(s.incident, argon, mix.b_mol_kg, where);
                expect_equilibrium(s.reflected, argon, mix.b_mol_kg, where);
              } else {
                EXPECT_NEAR(s.m2_m1, 1.0, 1e-14) << where;
                EXPECT_NEAR(s.incident.gamma_s, s.incident.gamma_fr, 0.0) << where;
                EXPECT_GT(s.incident.gamma_s, 1.0) << where;
              }
              ++points;
            }
          }
        }
      }
    }
  }
  EXPECT_GT(points, 300);
}

}  // namespace
}  // namespace zuna::waves
