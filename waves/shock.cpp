// Incident and reflected shocks (RP-1311 Part I, the shock chapter), the
// gas behind each in equilibrium or of the composition it came in with.
//
// Incident, in the shock's frame: gas 1 enters at u1, gas 2 leaves at
// u2 = u1/r, r = rho2/rho1. With m = rho1 u1^2 the residuals are
//   F1 = [P2 - P1 - m (1 - 1/r)] / m
//   F2 = [h2 - h1 - u1^2/2 (1 - 1/r^2)] / u1^2.
// Reflected, in the frame of gas 5 at rest: gas 2 enters at u5 + v2 and
// gas 5 leaves at u5, s = rho5/rho2; mass gives u5 = v2/(s - 1), momentum
// P5 - P2 = rho5 u5 v2 = rho2 v2^2 s/(s - 1) and energy h5 - h2 =
// ((u5 + v2)^2 - u5^2)/2 = v2^2 (s + 1)/(2 (s - 1)):
//   F1 = [P5 - P2 - rho2 v2^2 s/(s - 1)] / (rho2 v2^2)
//   F2 = [h5 - h2 - v2^2 (s + 1)/(2 (s - 1))] / v2^2.
// Both by Newton steps on ln P and ln T with the exact derivatives.
//
// Which shocks exist: a frozen shock moves faster than the sound speed of
// gas 1. An equilibrium shock into a gas that releases heat is a strong
// detonation: it exists from the Chapman-Jouguet speed up, and of its two
// states there the one behind is subsonic (u2 <= a2), the other (weak)
// needs a cause a shock does not have.
#include <algorithm>
#include <cmath>

#include "waves/frozen-gas.h"
#include "waves/hugoniot.h"
#include "waves/wave-work.h"

namespace zuna::waves {
namespace {

using engine::SetPoint;

// The state behind a front at (ln P, ln T) in the model's chemistry.
void state_at(engine::SetSolver& solver, const engine::ProductSet& set, const Mixture& mix,
              ShockModel model, double ln_P, double ln_T, SetPoint& out) {
  if (model == ShockModel::frozen) {
    detail::frozen_state(set, mix.n_mol_kg, std::exp(ln_T), std::exp(ln_P), out);
    return;
  }
  engine::SetCondition c;
  c.problem = engine::SetProblem::tp;
  c.T_K = std::exp(ln_T);
  c.p_bar = std::exp(ln_P);
  solver.solve(mix.b_mol_kg, c, out);
}

// Pressure and density ratios of a shock in an ideal gas of `gamma` at
// Mach number M (the start of the search): P2/P1 = 1 + 2 gamma (M^2 - 1)/
// (gamma + 1), r = (gamma + 1) M^2/((gamma - 1) M^2 + 2).
void ideal_incident(double gamma, double M, double& p, double& r) {
  p = 1.0 + 2.0 * gamma * (M * M - 1.0) / (gamma + 1.0);
  r = (gamma + 1.0) * M * M / ((gamma - 1.0) * M * M + 2.0);
}

// The reflected shock in an ideal gas of `gamma`: the pressure ratio p
// with p - 1 = gamma X s/(s - 1), X = (v2/a2)^2 and the density ratio of
// the Hugoniot s = ((gamma + 1) p + gamma - 1)/((gamma - 1) p + gamma + 1),
// by bisection on ln p (the left side rises with p, the right falls).
void ideal_reflected(double gamma, double X, double& p, double& s) {
  double lo = 0.0, hi = 20.0;
  for (int k = 0; k < 60; ++k) {
    const double mid = 0.5 * (lo + hi);
    p = std::exp(mid);
    s = ((gamma + 1.0) * p + gamma - 1.0) / ((gamma - 1.0) * p + gamma + 1.0);
    (p - 1.0 - gamma * X * s / (s - 1.0) > 0.0 ? hi : lo) = mid;
  }
}

}  // namespace

namespace {

void fill_nan(Shock& out, bool incident) {
  const double nan = std::nan("");
  if (incident) {
    out.u2_m_s = out.v2_m_s = out.p2_p1 = out.t2_t1 = out.m2_m1 = out.rho2_rho1 = nan;
  }
  out.u5_m_s = out.u5_v2_m_s = out.p5_p2 = out.t5_t2 = out.m5_m2 = out.rho5_rho2 = nan;
}

}  // namespace

namespace {

// How close to the detonation speed a shock is the detonation (relative):
// the rounding of the speed, far below the accuracy of the laws (1e-8).
constexpr double kAtDetonation = 1e-10;

// The incident shock's speeds and ratios from gas 1 and 2, r = rho2/rho1.
void fill_incident(Shock& out, double rr) {
  const SetPoint &g1 = out.unburned, &g2 = out.incident;
  out.flags = g2.flags;
  out.u2_m_s = out.u1_m_s / rr;
  out.v2_m_s = out.u1_m_s - out.u2_m_s;
  out.p2_p1 = g2.P_bar / g1.P_bar;
  out.t2_t1 = g2.T_K / g1.T_K;
  out.m2_m1 = g2.M_g_mol / g1.M_g_mol;
  out.rho2_rho1 = rr;
}

// The slowest incident shock of the model with a solution: the frozen
// sound speed of gas 1, or for an equilibrium shock the Chapman-Jouguet
// speed of a gas that can detonate (kept for the next point of the same
// gas).
double slowest_shock(WaveSolver& solver, WaveSolver::Work& w, const Mixture& mix,
                     const Initial& initial, ShockModel model, double a1) {
  if (model == ShockModel::frozen) return a1;
  if (!(w.cj_known && w.cj_T1_K == initial.T1_K && w.cj_P1_bar == initial.P1_bar &&
        std::equal(w.cj_b.begin(), w.cj_b.end(), mix.b_mol_kg.begin()))) {
    solver.detonation(mix, initial, w.cj);
    std::copy(mix.b_mol_kg.begin(), mix.b_mol_kg.end(), w.cj_b.begin());
    w.cj_T1_K = initial.T1_K;
    w.cj_P1_bar = initial.P1_bar;
    w.cj_known = true;
  }
  return w.cj.has_values() ? w.cj.det_vel_m_s : a1;
}

// The reflected shock behind the incident one of `out`, in its model.
void reflect(WaveSolver::Work& w, const Mixture& mix, Shock& out) {
  const SetPoint& g2 = out.incident;
  SetPoint& g5 = out.reflected;
  const double v2 = out.v2_m_s, P2 = g2.P_bar * 1e5, k = g2.rho_kg_m3 * v2 * v2;
  auto evaluate = [&](double ln_P, double ln_T, detail::Residuals& r) -> unsigned {
    state_at(w.reflected_eq, *w.set, mix, out.model, ln_P, ln_T, g5);
    if (!g5.has_values()) return g5.flags;
    const double s = g5.rho_kg_m3 / g2.rho_kg_m3, P5 = g5.P_bar * 1e5;
    if (!(s > 1.0)) return engine::kNotConverged;  // no compression: no shock
    const double dVP = g5.dlnV_dlnP_T, dVT = g5.dlnV_dlnT_P, Pv = P5 / g5.rho_kg_m3;
    const double c = s / ((s - 1.0) * (s - 1.0));  // d/dln s of -s/(s-1) and -(s+1)/(2(s-1))
    r.F[0] = (P5 - P2 - k * s / (s - 1.0)) / k;
    r.J[0][0] = P5 / k - c * dVP;
    r.J[0][1] = -c * dVT;
    r.F[1] = (1000.0 * (g5.h_kJ_kg - g2.h_kJ_kg) - v2 * v2 * (s + 1.0) / (2.0 * (s - 1.0))) /
             (v2 * v2);
    r.J[1][0] = Pv * (1.0 - dVT) / (v2 * v2) - c * dVP;
    r.J[1][1] = 1000.0 * g5.cp_eq_kJ_kgK * g5.T_K / (v2 * v2) - c * dVT;
    return 0u;
  };
  double p = 0.0, s = 0.0;
  const double a2 = g2.sound_speed_m_s;
  ideal_reflected(g2.gamma_s, (v2 / a2) * (v2 / a2), p, s);
  double ln_P = std::log(g2.P_bar * p), ln_T = std::log(g2.T_K * p / s);
  const detail::NewtonResult n = detail::hugoniot_newton(evaluate, ln_P, ln_T);
  const double ratio = g5.rho_kg_m3 / g2.rho_kg_m3;
  if (n.flags != 0 || !(ratio > 1.0)) {
    out.reflected_flags = (n.flags != 0 ? n.flags : engine::kNotConverged) | engine::kNoSolution;
    detail::clear_point(g5, out.reflected_flags);
    return;
  }
  out.reflected_flags = g5.flags;
  out.u5_m_s = v2 / (ratio - 1.0);
  out.u5_v2_m_s = out.u5_m_s + v2;
  out.p5_p2 = g5.P_bar / g2.P_bar;
  out.t5_t2 = g5.T_K / g2.T_K;
  out.m5_m2 = g5.M_g_mol / g2.M_g_mol;
  out.rho5_rho2 = ratio;
}

// The state behind the incident shock of `out` (gas 1 and u1 set) by the
// Hugoniot search; on the strong branch for a gas that detonates.
detail::NewtonResult incident_search(WaveSolver::Work& w, const Mixture& mix, ShockModel model,
                                     bool detonable, Shock& out) {
  const SetPoint& g1 = out.unburned;
  SetPoint& g2 = out.incident;
  const double u1 = out.u1_m_s;
  const double P1 = g1.P_bar * 1e5, m = g1.rho_kg_m3 * u1 * u1;
  auto evaluate = [&](double ln_P, double ln_T, detail::Residuals& r) -> unsigned {
    state_at(w.shock_eq, *w.set, mix, model, ln_P, ln_T, g2);
    if (!g2.has_values()) return g2.flags;
    const double rr = g2.rho_kg_m3 / g1.rho_kg_m3, P2 = g2.P_bar * 1e5;
    const double dVP = g2.dlnV_dlnP_T, dVT = g2.dlnV_dlnT_P, Pv = P2 / g2.rho_kg_m3;
    r.F[0] = (P2 - P1 - m * (1.0 - 1.0 / rr)) / m;
    r.J[0][0] = (P2 + m / rr * dVP) / m;
    r.J[0][1] = dVT / rr;
    r.F[1] = (1000.0 * (g2.h_kJ_kg - g1.h_kJ_kg) - u1 * u1 / 2.0 * (1.0 - 1.0 / (rr * rr))) /
             (u1 * u1);
    r.J[1][0] = (Pv * (1.0 - dVT) + u1 * u1 / (rr * rr) * dVP) / (u1 * u1);
    r.J[1][1] = (1000.0 * g2.cp_eq_kJ_kgK * g2.T_K + u1 * u1 / (rr * rr) * dVT) / (u1 * u1);
    return 0u;
  };
  // The start: above the Chapman-Jouguet state on the strong branch, or
  // the ideal gas of gamma1.
  double ln_P = 0.0, ln_T = 0.0;
  if (detonable) {
    const double x = std::log(u1 / w.cj.det_vel_m_s);
    ln_P = std::log(w.cj.burned.P_bar) + 2.0 * x + 0.1 + std::sqrt(x);
    ln_T = std::log(w.cj.burned.T_K) + 0.5 * x;
  } else {
    double p = 0.0, r = 0.0;
    ideal_incident(g1.gamma_s, out.mach1, p, r);
    ln_P = std::log(g1.P_bar * p);
    ln_T = std::log(g1.T_K * p / r);
  }
  detail::NewtonResult n = detail::hugoniot_newton(evaluate, ln_P, ln_T);
  double rr = g2.rho_kg_m3 / g1.rho_kg_m3;
  if (n.flags == 0 && detonable && u1 / rr > g2.sound_speed_m_s * (1.0 + 1e-9)) {
    // The weak state: again from as far above the Chapman-Jouguet pressure.
    ln_P = 2.0 * std::log(w.cj.burned.P_bar) - ln_P + 0.2;
    ln_T = std::log(w.cj.burned.T_K);
    const int before = n.iterations;
    n = detail::hugoniot_newton(evaluate, ln_P, ln_T);
    n.iterations += before;
    rr = g2.rho_kg_m3 / g1.rho_kg_m3;
    if (n.flags == 0 && u1 / rr > g2.sound_speed_m_s * (1.0 + 1e-9)) n.flags = engine::kNotConverged;
  }
  return n;
}

}  // namespace

void WaveSolver::shock(const Mixture& mix, const ShockInput& in, Shock& out, bool cold) {
  Work& w = *work_;
  unburned(mix, in.initial, out.unburned);
  detail::check_point(*w.set, out.incident);
  detail::check_point(*w.set, out.reflected);
  const SetPoint& g1 = out.unburned;
  const double a1 = g1.sound_speed_m_s;
  const double u1 = in.u1_m_s != 0.0 ? in.u1_m_s : in.mach1 * a1;
  if (!(std::isfinite(u1) && u1 > 0.0)) {
    throw engine::InputError("shock: u1 or mach1 must be a positive number");
  }
  if (cold) w.shock_eq.reset();
  out.model = in.model;
  out.u1_m_s = u1;
  out.mach1 = u1 / a1;
  out.slowest_m_s = slowest_shock(*this, w, mix, in.initial, in.model, a1);
  out.reflected_flags = engine::kNoSolution;
  detail::clear_point(out.reflected, 0);
  fill_nan(out, true);
  const bool detonable = in.model == ShockModel::equilibrium && w.cj.has_values();
  if (detonable ? u1 < out.slowest_m_s * (1.0 - kAtDetonation) : u1 <= out.slowest_m_s) {
    out.flags = kShockTooSlow | engine::kNoSolution;
    detail::clear_point(out.incident, 0);
    out.iterations = 0;
    return;
  }
  SetPoint& g2 = out.incident;
  if (detonable && u1 <= out.slowest_m_s * (1.0 + kAtDetonation)) {
    // The detonation itself, to within the rounding of its speed: the two
    // states of the shock are one, the Chapman-Jouguet state.
    g2 = w.cj.burned;
    out.iterations = 0;
    fill_incident(out, w.cj.rho_ratio);
    if (in.reflected) reflect(w, mix, out);
    return;
  }
  detail::NewtonResult n = incident_search(w, mix, in.model, detonable, out);
  const double rr = g2.rho_kg_m3 / g1.rho_kg_m3;
  // A search may also end on gas 1 itself, a solution of the same laws.
  if (n.flags == 0 && !(rr > 1.0 + 1e-9)) n.flags = engine::kNotConverged;
  out.iterations = n.iterations;
  if (n.flags != 0) {
    out.flags = n.flags | engine::kNoSolution;
    detail::clear_point(g2, out.flags);
    return;
  }
  fill_incident(out, rr);
  if (in.reflected) reflect(w, mix, out);
}

}  // namespace zuna::waves
