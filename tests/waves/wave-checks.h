// What the waves' suites share: the product sets of H2/O2/Ar mixtures and
// the conservation laws across a front, each to 1e-8 relative.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "waves/waves.h"

namespace zuna::waves::testing {

using engine::SetPoint;

inline constexpr double kLaw = 1e-8;  // relative residual of a conservation law

// The products of H2/O2 with `argon` of the moles (and of argon alone).
inline const engine::ProductSet& products(double argon) {
  static const engine::ProductSet h_o = engine::select_products(engine::builtin_species(), {{"H", "O"}});
  static const engine::ProductSet h_o_ar =
      engine::select_products(engine::builtin_species(), {{"H", "O", "Ar"}});
  static const engine::ProductSet ar = engine::select_products(engine::builtin_species(), {{"Ar"}});
  return argon == 0.0 ? h_o : argon == 1.0 ? ar : h_o_ar;
}

// H2/O2 at equivalence ratio phi with `argon` of the moles.
inline Mixture h2_o2_ar(double phi, double argon) {
  const double h2 = 2.0 * phi / (2.0 * phi + 1.0) * (1.0 - argon);
  std::vector<ReactantMoles> r;
  if (argon < 1.0) r = {{"H2", h2}, {"O2", 1.0 - argon - h2}};
  if (argon > 0.0) r.push_back({"Ar", argon});
  return mixture_of(products(argon), r);
}

// The three laws across a front: gas a enters at w_a, gas b leaves at w_b.
inline void expect_front(const SetPoint& a, double w_a, const SetPoint& b, double w_b,
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

// A detonation: the laws across its front and u2 = a2, the burned gas's
// equilibrium sound speed.
inline void expect_detonation(const Detonation& d, const std::string& where) {
  const double D = d.det_vel_m_s, u2 = D / d.rho_ratio;
  expect_front(d.unburned, D, d.burned, u2, where);
  EXPECT_NEAR(u2 / d.burned.sound_speed_m_s, 1.0, kLaw) << "Chapman-Jouguet, " << where;
  EXPECT_NEAR(d.det_mach, D / d.unburned.sound_speed_fr_m_s, 1e-12 * D) << where;
}

}  // namespace zuna::waves::testing
