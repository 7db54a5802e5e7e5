// Every wave is a solution of the laws it stands for: mass, momentum and
// energy across each front, the Chapman-Jouguet condition u2 = a2 of a
// detonation, and the equilibrium of the gas behind, checked with a solver
// of its own started cold, over a grid of mixtures, argon dilutions, T1,
// P1 and shock speeds, warm from point to point as a sweep runs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "waves/waves.h"

namespace zuna::waves {
namespace {

using engine::SetPoint;

constexpr double kLaw = 1e-8;  // relative residual of a conservation law

// The products of H2/O2 with `argon` of the moles (and of argon alone).
const engine::ProductSet& products(double argon) {
  static const engine::ProductSet h_o = engine::select_products(engine::builtin_species(), {{"H", "O"}});
  static const engine::ProductSet h_o_ar =
      engine::select_products(engine::builtin_species(), {{"H", "O", "Ar"}});
  static const engine::ProductSet ar = engine::select_products(engine::builtin_species(), {{"Ar"}});
  return argon == 0.0 ? h_o : argon == 1.0 ? ar : h_o_ar;
}

// H2/O2 at equivalence ratio phi with `argon` of the moles.
Mixture h2_o2_ar(double phi, double argon) {
  const double h2 = 2.0 * phi / (2.0 * phi + 1.0) * (1.0 - argon);
  std::vector<ReactantMoles> r;
  if (argon < 1.0) r = {{"H2", h2}, {"O2", 1.0 - argon - h2}};
  if (argon > 0.0) r.push_back({"Ar", argon});
  return mixture_of(products(argon), r);
}

// The three laws across a front: gas a enters at w_a, gas b leaves at w_b.
void expect_front(const SetPoint& a, double w_a, const SetPoint& b, double w_b,
                  const std::string& where) {
  const double flux_a = a.rho_kg_m3 * w_a, flux_b = b.rho_kg_m3 * w_b;
  EXPECT_NEAR(flux_b / flux_a, 1.0, kLaw) << "mass, " << where;
  const double dynamic = flux_a * w_a;
  EXPECT_NEAR((a.P_bar * 1e5 + flux_a * w_a - b.P_bar * 1e5 - flux_b * w_b) / dynamic, 0.0, kLaw)
      << "momentum, " << where;
  const double energy = w_a * w_a / 2.0;
  EXPECT_NEAR((1000.0 * (a.h_kJ_kg - b.h_kJ_kg) + (w_a * w_a - w_b * w_b) / 2.0) / energy, 0.0, kLaw)
      << "energy, " << where;
}

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
          const double D = d.det_vel_m_s, u2 = D / d.rho_ratio;
          expect_front(d.unburned, D, d.burned, u2, where);
          EXPECT_NEAR(u2 / d.burned.sound_speed_m_s, 1.0, kLaw) << "Chapman-Jouguet, " << where;
          EXPECT_NEAR(d.det_mach, D / d.unburned.sound_speed_fr_m_s, 1e-12 * D) << where;
          EXPECT_GT(d.p_ratio, 1.0) << where;
          expect_equilibrium(d.burned, argon, mix.b_mol_kg, where);
          ++points;
        }
      }
    }
  }
  EXPECT_EQ(points, 320);
}

// The detonation is the slowest wave of the equilibrium Hugoniot: along
// it, D^2 = v1^2 (P2 - P1)/(v1 - v2) has its minimum at the
// Chapman-Jouguet state. Equilibrium shocks just faster and far faster
// than D lie on the strong branch (u2 < a2), with P2 above P_CJ.
TEST(WavesConservation, DetonationIsTheSlowestEquilibriumShock) {
  WaveSolver solver(products(0.0));
  Detonation d = solver.make_detonation();
  Shock s = solver.make_shock();
  const Mixture mix = h2_o2_ar(1.0, 0.0);
  solver.detonation(mix, {298.15, 1.0}, d);
  ASSERT_TRUE(d.has_values());
  double last_P = d.burned.P_bar;
  for (const double over : {1.0, 1.0 + 1e-6, 1.001, 1.01, 1.1, 1.5}) {
    ShockInput in;
    in.initial = {298.15, 1.0};
    in.u1_m_s = d.det_vel_m_s * over;
    solver.shock(mix, in, s);
    ASSERT_TRUE(s.has_values()) << over << ", flags " << s.flags;
    EXPECT_LE(s.u2_m_s, s.incident.sound_speed_m_s * (1.0 + 1e-8)) << over;
    EXPECT_GE(s.incident.P_bar, last_P * (1.0 - 1e-6)) << over;
    last_P = s.incident.P_bar;
    expect_front(s.unburned, s.u1_m_s, s.incident, s.u2_m_s, "over " + std::to_string(over));
  }
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
