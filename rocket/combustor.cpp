#include "rocket/combustor.h"

#include <cmath>
#include <limits>

#include "rocket/rocket.h"

namespace zuna::rocket {

namespace {

constexpr double kPaPerAtm = 101325.0;
constexpr int kMaxEvaluations = 80;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

// The root is searched in the bracket [lo, hi] of P, hi = Pinj at first:
// a trial with phi < 0 and a subsonic flux (G < rho a) lies above the
// subsonic root and bounds it from above; one with phi >= 0 (between the
// subsonic and the supersonic roots) or with a supersonic flux bounds it
// from below. The first trial is the fixed point P = Pinj - G^2/rho_inj,
// (or the pressure of a nearby end, then the fixed point from it), then the
// secant through the last two trials, halving the bracket when a
// step leaves it. When the bracket closes without a trial of phi >= 0 there
// is no subsonic root: G chokes the duct.
CombustorEnd combustor_end(const engine::ThermoData& data, const engine::State& injector,
                           double pinj_atm, double mass_flux, const engine::State* guess) {
  CombustorEnd r;
  const double pinj = pinj_atm * kPaPerAtm;
  const double g = mass_flux;
  const double h_inj = injector.H_kJ_kg;
  const engine::Feed feed = engine::feed_of(injector);
  const engine::State* start = guess != nullptr ? guess : &injector;
  engine::State last;
  auto phi = [&](double p, Flow& f) {
    const double u = (pinj - p) / g;
    engine::Condition c;
    c.mode = engine::Mode::HP;
    c.h_kJ_kg = h_inj - 0.5e-3 * u * u;
    c.p_atm = p / kPaPerAtm;
    f.state = engine::equilibrium(data, feed, c, start);
    ++r.evaluations;
    const engine::State& s = f.state;
    f.u_m_s = u;
    f.a_m_s = s.son_vel_m_s;
    f.gamma = s.gamma_s;
    f.rho_u = g;
    f.ok = s.converged() && (s.flags & kInvalidStation) == 0 && std::isfinite(s.rho_kg_m3) &&
           s.rho_kg_m3 > 0.0 && std::isfinite(f.a_m_s) && std::isfinite(f.gamma);
    if (f.ok) {
      last = s;
      start = &last;
    }
    return pinj - p - g * g / s.rho_kg_m3;
  };
  double lo = 0.0, hi = pinj;
  bool crossed = false;  // a trial with phi >= 0 seen
  double p_prev = pinj, phi_prev = -g * g / injector.rho_kg_m3;
  double p = pinj + phi_prev;
  if (guess != nullptr && guess->p_atm * kPaPerAtm < pinj) {
    p_prev = kNaN;  // no secant through the injector from a nearby end
    p = guess->p_atm * kPaPerAtm;
  }
  for (int i = 0; i < kMaxEvaluations; ++i) {
    if (!(p > lo && p < hi)) {
      p = 0.5 * (lo + hi);
    }
    const double f = phi(p, r.flow);
    if (!r.flow.ok) {
      lo = p;  // no gas so far down: the root is above
      p_prev = kNaN;
    } else {
      const bool subsonic = g < r.flow.state.rho_kg_m3 * r.flow.a_m_s;
      if (f < 0.0 && subsonic) {
        hi = p;
      } else {
        lo = p;
        crossed = crossed || f >= 0.0;
      }
    }
    double next = kNaN;
    if (r.flow.ok && std::isfinite(p_prev) && p != p_prev) {
      next = p - f * (p - p_prev) / (f - phi_prev);
    } else if (r.flow.ok) {
      next = p + f;  // the fixed point P = Pinj - G^2 / rho
    }
    if (r.flow.ok && std::isfinite(next) && std::fabs(next - p) <= kCombustorTolerance * p &&
        next > lo && next <= hi) {
      r.found = true;
      return r;
    }
    if (hi - lo <= kCombustorTolerance * hi) {
      r.found = crossed && r.flow.ok;
      r.choked = !crossed;
      return r;
    }
    p_prev = r.flow.ok ? p : kNaN;
    phi_prev = f;
    p = next;
  }
  return r;
}

}  // namespace zuna::rocket
