#include "rocket/expansion.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zuna::rocket {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kMaxEvaluations = 60;

bool state_ok(const engine::State& p) {
  constexpr unsigned kBad = engine::kNotConverged | engine::kBelowRange | engine::kAboveRange |
                            engine::kFloatingPoint | engine::kSingular | engine::kNoSolution;
  return (p.flags & kBad) == 0;
}

// One trial of a search: the residual f at x = ln(Pc/P) and an estimate of
// its slope df/dx (> 0: every residual here grows along the nozzle).
struct Trial {
  bool ok = false;
  double f = 0.0;
  double dfdx = 0.0;
};

// Root of an increasing residual on (lo, x_max), with f(lo) < 0, from x.
// Newton's step with the trial's slope, or, with `secant`, the slope through
// the last two trials once there are two; a step that leaves the bracket
// halves it instead. A trial without a valid gas bounds the bracket from
// above like a positive residual. Ends when a step is below `tolerance`:
// the last trial (the residual's own record of it) is then the root.
template <class Residual>
bool bracketed_root(Residual residual, double lo, double x_max, double x, double tolerance,
                    bool secant, int& evaluations) {
  double hi = x_max;
  bool sign_change = false;
  double x_prev = kNaN, f_prev = kNaN;
  for (int i = 0; i < kMaxEvaluations; ++i) {
    if (!(x > lo && x < hi)) {
      x = 0.5 * (lo + hi);
    }
    const Trial t = residual(x);
    ++evaluations;
    if (!t.ok) {
      hi = x;
      x_prev = kNaN;
      x = 0.5 * (lo + hi);
      if (hi - lo <= tolerance) {
        return false;
      }
      continue;
    }
    if (t.f == 0.0) {
      return true;
    }
    if (t.f < 0.0) {
      lo = x;
    } else {
      hi = x;
      sign_change = true;
    }
    double slope = t.dfdx;
    if (secant && std::isfinite(x_prev) && x != x_prev) {
      const double s = (t.f - f_prev) / (x - x_prev);
      if (s > 0.0) {
        slope = s;
      }
    }
    const double step = -t.f / slope;
    if (slope > 0.0 && std::fabs(step) <= tolerance) {
      return true;
    }
    if (hi - lo <= tolerance) {
      return sign_change;
    }
    x_prev = x;
    f_prev = t.f;
    x = slope > 0.0 && std::isfinite(step) ? x + step : kNaN;  // NaN: halve the bracket
  }
  return false;
}

}  // namespace

Flow expand_to(const Expansion& e, double p_atm, const engine::State* guess) {
  Flow flow;
  if (e.frozen) {
    const double T_guess_K = guess != nullptr && guess->has_values() ? guess->T_K : 0.0;
    flow.state = engine::frozen_sp(*e.data, e.composition, e.s_kJ_kgK, p_atm, T_guess_K);
  } else {
    engine::Condition c;
    c.mode = engine::Mode::SP;
    c.s_kJ_kgK = e.s_kJ_kgK;
    c.p_atm = p_atm;
    flow.state = engine::equilibrium(*e.data, e.feed, c, guess);
  }
  const engine::State& s = flow.state;
  // u^2 / 2 = h_c - h [J/kg]; a rounding below zero next to the chamber is rest.
  const double dh_J_kg = 1000.0 * (e.h_chamber_kJ_kg - s.H_kJ_kg);
  flow.u_m_s = std::sqrt(std::max(0.0, 2.0 * dh_J_kg));
  // A frozen point carries its frozen sound speed and gamma in these fields.
  flow.a_m_s = s.son_vel_m_s;
  flow.gamma = s.gamma_s;
  flow.rho_u = s.rho_kg_m3 * flow.u_m_s;
  flow.ok = state_ok(s) && std::isfinite(dh_J_kg) && std::isfinite(flow.a_m_s) &&
            flow.a_m_s > 0.0 && std::isfinite(flow.gamma) && std::isfinite(flow.rho_u);
  return flow;
}

// Residual M^2 - 1 with M = u / a. Its slope along x = ln(Pc/P): on the
// isentrope dh = dp / rho, so d(u^2)/dx = 2 p / rho = 2 a^2 / gamma, and for
// a gas of nearly constant gamma d ln(a^2)/dx = -(gamma - 1) / gamma; hence
//   d(M^2)/dx = (2 + (gamma - 1) M^2) / gamma.
// Exact for a frozen ideal gas, close for a shifting one; the secant takes
// over from the second trial.
SearchResult find_throat(const Expansion& e, const Flow& chamber, double x_guess,
                         const engine::State* guess) {
  SearchResult r;
  const engine::State* const first = guess != nullptr ? guess : &chamber.state;
  const engine::State* start = first;
  auto residual = [&](double x) {
    r.flow = expand_to(e, e.pc_atm / std::exp(x), start);
    Trial t;
    t.ok = r.flow.ok && r.flow.u_m_s > 0.0;
    if (t.ok) {
      const double m = r.flow.u_m_s / r.flow.a_m_s;
      t.f = m * m - 1.0;
      t.dfdx = (2.0 + (r.flow.gamma - 1.0) * m * m) / r.flow.gamma;
      start = &r.flow.state;  // read by the next solve before r.flow is replaced
    } else {
      start = first;
    }
    return t;
  };
  const double x0 = x_guess > 0.0 ? x_guess : ideal_throat_x(chamber.gamma);
  const double x_max = std::log(e.pc_atm / engine::kPMinAtm);
  r.found = bracketed_root(residual, 0.0, x_max, x0, kThroatTolerance, true, r.evaluations);
  return r;
}

// Residual ln((rho u)_t / (rho u)) - ln(Ae/At). With d ln rho / d ln p =
// 1 / gamma_s on the isentrope and d ln u / d ln p = -p / (rho u^2) =
// -1 / (gamma M^2), its slope along x = ln(Pc/P) is exactly
//   d/dx = (1 - 1/M^2) / gamma,
// positive past the throat: Newton's step with the trial's own slope.
SearchResult find_area_ratio_exit(const Expansion& e, const Flow& throat, double area_ratio,
                                  double x_guess, const engine::State* guess) {
  SearchResult r;
  if (area_ratio == 1.0) {
    r.flow = throat;
    r.found = true;
    return r;
  }
  const double ln_area = std::log(area_ratio);
  const double ln_rho_u_t = std::log(throat.rho_u);
  const engine::State* const first = guess != nullptr ? guess : &throat.state;
  const engine::State* start = first;
  auto residual = [&](double x) {
    r.flow = expand_to(e, e.pc_atm / std::exp(x), start);
    Trial t;
    t.ok = r.flow.ok && r.flow.rho_u > 0.0;
    if (t.ok) {
      const double m = r.flow.u_m_s / r.flow.a_m_s;
      t.f = ln_rho_u_t - std::log(r.flow.rho_u) - ln_area;
      t.dfdx = (1.0 - 1.0 / (m * m)) / r.flow.gamma;
      start = &r.flow.state;  // read by the next solve before r.flow is replaced
    } else {
      start = first;
    }
    return t;
  };
  const double x_t = std::log(e.pc_atm / throat.state.p_atm);
  const double x0 =
      x_guess > x_t ? x_guess
                    : x_t + ideal_exit_x(throat.gamma, area_ratio) - ideal_throat_x(throat.gamma);
  const double x_max = std::log(e.pc_atm / engine::kPMinAtm);
  r.found = bracketed_root(residual, x_t, x_max, x0, kExitTolerance, false, r.evaluations);
  return r;
}

// Residual ln(rho u) - ln((rho u)_t / Ae/At), increasing from the
// expansion's start (rest: no flux, a residual below every value) to the
// throat; its slope along x is (1/M^2 - 1) / gamma.
SearchResult find_subsonic_exit(const Expansion& e, const Flow& throat, double area_ratio,
                                double x_guess, const engine::State* guess) {
  SearchResult r;
  const double ln_target = std::log(throat.rho_u) - std::log(area_ratio);
  const engine::State* const first = guess != nullptr ? guess : &throat.state;
  const engine::State* start = first;
  auto residual = [&](double x) {
    r.flow = expand_to(e, e.pc_atm / std::exp(x), start);
    Trial t;
    t.ok = r.flow.ok;
    if (t.ok && r.flow.rho_u <= 0.0) {
      t.f = -1.0;  // at rest: the start of the bracket; halve it
      t.dfdx = 0.0;
    } else if (t.ok) {
      const double m = r.flow.u_m_s / r.flow.a_m_s;
      t.f = std::log(r.flow.rho_u) - ln_target;
      t.dfdx = (1.0 / (m * m) - 1.0) / r.flow.gamma;
      start = &r.flow.state;
    } else {
      start = first;
    }
    return t;
  };
  const double x_t = std::log(e.pc_atm / throat.state.p_atm);
  const double x0 = x_guess > 0.0 && x_guess < x_t ? x_guess : 0.5 * x_t;
  r.found = bracketed_root(residual, 0.0, x_t, x0, kExitTolerance, false, r.evaluations);
  return r;
}

double ideal_throat_x(double gamma) {
  return gamma / (gamma - 1.0) * std::log((gamma + 1.0) / 2.0);
}

// The supersonic Mach number of an area ratio for constant gamma,
//   A/A* = (1/M) ((2 + (g-1) M^2) / (g+1))^((g+1) / (2 (g-1))),
// by Newton on ln(A/A*), d ln(A/A*)/dM = (M^2 - 1) / (M (1 + (g-1) M^2 / 2));
// then Pc/P = (1 + (g-1) M^2 / 2)^(g / (g-1)).
double ideal_exit_x(double gamma, double area_ratio) {
  const double g = gamma;
  const double ln_a = std::log(area_ratio);
  double m = 2.0;
  for (int i = 0; i < 20; ++i) {
    const double k = 1.0 + 0.5 * (g - 1.0) * m * m;
    const double f = -std::log(m) + (g + 1.0) / (2.0 * (g - 1.0)) * std::log(2.0 * k / (g + 1.0));
    const double slope = (m * m - 1.0) / (m * k);
    const double next = m - (f - ln_a) / slope;
    if (std::fabs(next - m) < 1e-6 * m) {
      m = next;
      break;
    }
    m = next > 1.0 ? next : 0.5 * (m + 1.0);
  }
  return g / (g - 1.0) * std::log(1.0 + 0.5 * (g - 1.0) * m * m);
}

}  // namespace zuna::rocket
