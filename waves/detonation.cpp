// The Chapman-Jouguet detonation (RP-1311 Part I, the detonation chapter):
// the burned gas in equilibrium at (P2, T2) on the Hugoniot of the
// unburned gas, leaving the front at its equilibrium sound speed.
//
// With r = rho2/rho1, a2^2 = gamma_s P2/rho2 and u2 = a2, mass and
// momentum give P2 - P1 = rho2 u2^2 (r - 1) = gamma_s P2 (r - 1), and the
// energy h2 - h1 = (D^2 - u2^2)/2 = a2^2 (r^2 - 1)/2. The two residuals,
//   F1 = gamma_s (r - 1) - 1 + P1/P2
//   F2 = [h2 - h1 - gamma_s P2 v2 (r^2 - 1)/2] / (P2 v2),
// are driven to zero by Newton steps on ln P2 and ln T2 whose derivatives
// hold gamma_s fixed, as the report does: the steps converge to the
// point where both residuals vanish, where u2 equals the equilibrium sound
// speed. Then D = r u2.
#include <cmath>

#include "waves/frozen-gas.h"
#include "waves/hugoniot.h"
#include "waves/wave-work.h"

namespace zuna::waves {
namespace {

constexpr double kNoHeat = 1e-6;  // a flame less than this much hotter than T1: no heat released

// The start of a cold search: the flame at P1 (refused when it is no
// hotter than the unburned gas) and the estimates of an ideal gas of its
// gamma_s for a strong detonation, r = (gamma + 1)/gamma and T2 = T_hp
// 2 gamma/(gamma + 1). False (flags in `flags`) when there is no start.
bool cold_start(WaveSolver::Work& w, const Mixture& mix, const engine::SetPoint& g1,
                double& ln_P, double& ln_T, unsigned& flags) {
  engine::SetCondition c;
  c.problem = engine::SetProblem::hp;
  c.p_bar = g1.P_bar;
  c.h_kJ_kg = g1.h_kJ_kg;
  w.hp.solve(mix.b_mol_kg, c, w.hp_point);
  const engine::SetPoint& f = w.hp_point;
  if (!f.has_values()) {
    flags = f.flags;
    return false;
  }
  if (!(f.T_K > g1.T_K * (1.0 + kNoHeat))) {
    flags = kNoChapmanJouguet | engine::kNoSolution;
    return false;
  }
  const double gamma = f.gamma_s, r = (gamma + 1.0) / gamma;
  const double T2 = f.T_K * 2.0 * gamma / (gamma + 1.0);
  ln_T = std::log(T2);
  ln_P = std::log(g1.P_bar * r * (T2 / g1.T_K) * (g1.M_g_mol / f.M_g_mol));
  return true;
}

}  // namespace

void WaveSolver::detonation(const Mixture& mix, const Initial& initial, Detonation& out,
                            bool cold) {
  Work& w = *work_;
  unburned(mix, initial, out.unburned);
  detail::check_point(*w.set, out.burned);
  out.iterations = 0;
  const engine::SetPoint& g1 = out.unburned;
  engine::SetPoint& g2 = out.burned;
  const double P1 = g1.P_bar;
  const double ln_P1 = std::log(P1);
  auto evaluate = [&](double ln_P, double ln_T, detail::Residuals& r) -> unsigned {
    engine::SetCondition c;
    c.problem = engine::SetProblem::tp;
    c.T_K = std::exp(ln_T);
    c.p_bar = std::exp(ln_P);
    w.cj_eq.solve(mix.b_mol_kg, c, g2);
    if (!g2.has_values()) return g2.flags;
    const double rr = g2.rho_kg_m3 / g1.rho_kg_m3, gam = g2.gamma_s;
    const double Pv = g2.P_bar * 1e5 / g2.rho_kg_m3;  // P2 v2 = n R T2 [J/kg]
    const double dVP = g2.dlnV_dlnP_T, dVT = g2.dlnV_dlnT_P, q = rr * rr - 1.0;
    r.F[0] = gam * (rr - 1.0) - 1.0 + P1 / g2.P_bar;
    r.J[0][0] = -gam * rr * dVP - P1 / g2.P_bar;
    r.J[0][1] = -gam * rr * dVT;
    r.F[1] = (1000.0 * (g2.h_kJ_kg - g1.h_kJ_kg)) / Pv - gam * q / 2.0;
    r.J[1][0] = (1.0 - dVT) - gam * ((1.0 + dVP) * q / 2.0 - rr * rr * dVP);
    r.J[1][1] = 1000.0 * g2.cp_eq_kJ_kgK * g2.T_K / Pv - gam * (dVT * q / 2.0 - rr * rr * dVT);
    return 0u;
  };
  // Warm from the previous state; a warm search that fails is done again cold.
  const bool warm_first = !cold && w.have_cj;
  unsigned failed = 0;  // why there is no detonation; its state keeps the engine's bits alone
  for (int attempt = warm_first ? 0 : 1; attempt < 2; ++attempt) {
    const bool warm = attempt == 0;
    double ln_P = 0.0, ln_T = 0.0;
    unsigned why = 0;
    if (warm) {
      ln_P = ln_P1 + w.cj_ln_p_ratio;
      ln_T = std::log(w.cj_T_K);
    } else if (!cold_start(w, mix, g1, ln_P, ln_T, why)) {
      failed = why;
      break;
    }
    const detail::NewtonResult n = detail::hugoniot_newton(evaluate, ln_P, ln_T);
    out.iterations = n.iterations;
    const double rr = g2.rho_kg_m3 / g1.rho_kg_m3;
    // A search may end on the initial state of a gas that releases no heat,
    // or on the deflagration branch: neither is a detonation.
    if (n.flags == 0 && rr > 1.0 + kNoHeat && g2.P_bar > P1) {
      out.p_ratio = g2.P_bar / P1;
      out.t_ratio = g2.T_K / g1.T_K;
      out.m_ratio = g2.M_g_mol / g1.M_g_mol;
      out.rho_ratio = rr;
      out.u2_m_s = g2.sound_speed_m_s;
      out.det_vel_m_s = rr * out.u2_m_s;
      out.det_mach = out.det_vel_m_s / g1.sound_speed_m_s;
      out.flags = g2.flags;
      w.have_cj = true;
      w.cj_ln_p_ratio = ln_P - ln_P1;
      w.cj_T_K = g2.T_K;
      return;
    }
    failed = n.flags != 0 ? n.flags : (kNoChapmanJouguet | engine::kNotConverged);
    if (!warm) break;
  }
  w.have_cj = false;
  detail::clear_point(g2, failed & ~(kNoChapmanJouguet | kShockTooSlow));
  const double nan = std::nan("");
  out.p_ratio = out.t_ratio = out.m_ratio = out.rho_ratio = nan;
  out.det_mach = out.det_vel_m_s = out.u2_m_s = nan;
  out.flags = failed | engine::kNoSolution;
}

}  // namespace zuna::waves
