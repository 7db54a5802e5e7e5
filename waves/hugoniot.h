// Newton's method on the two unknowns every front of this library has: the
// logarithms of the pressure and temperature behind it (RP-1311 Part I,
// the shock and detonation iterations). Each problem gives, at a trial
// (ln P, ln T), the state behind the front and the two residuals of its
// conservation laws with their derivatives, from the state's own
// derivatives (dlnV/dlnP)_T, (dlnV/dlnT)_P and Cp:
//   d ln rho / d ln P = -(dlnV/dlnP)_T,  d ln rho / d ln T = -(dlnV/dlnT)_P,
//   d h / d ln T = Cp T,  d h / d ln P = P v (1 - (dlnV/dlnT)_P).
#pragma once

#include <algorithm>
#include <cmath>

#include "engine/engine.h"

namespace zuna::waves::detail {

// The residuals F and their derivatives J[k][0] by ln P, J[k][1] by ln T.
struct Residuals {
  double F[2] = {0.0, 0.0};
  double J[2][2] = {{0.0, 0.0}, {0.0, 0.0}};
};

struct NewtonResult {
  int iterations = 0;
  unsigned flags = 0;  // 0: converged; else why not (engine bits)
};

// The limits of a search: just inside the states the engine accepts (200
// to 6000 K, 1e-6 to 1e5 atm), so that exp() of a limit is accepted.
inline constexpr double kLnTMin = 5.298317866547912;    // ln 200.0001 K
inline constexpr double kLnTMax = 8.69951458154351;     // ln 5999.999 K
inline constexpr double kLnPMin = -13.80224757643766;   // ln(1.0001e-6 atm [bar])
inline constexpr double kLnPMax = 11.525988446496175;   // ln(0.9999e5 atm [bar])
inline constexpr double kMaxStep = 0.4;   // largest change of ln P or ln T in one step
inline constexpr double kConverged = 1e-11;  // a step below this ends the search
// Residuals below this end it too: where the two states of a front meet (a
// shock at the Chapman-Jouguet speed) the state is known only to the square
// root of the residuals' rounding, while the laws hold to the rounding.
inline constexpr double kResidual = 1e-13;
inline constexpr int kBudget = 80;

// Newton steps from (ln_P, ln_T) until a step is below kConverged (or the
// residuals, which each problem makes relative, below kResidual); the
// state of the last evaluation is the result (ln_P, ln_T left there).
// `evaluate(ln_P, ln_T, r)` returns 0 or the flags of a state that could
// not be computed. A step that would leave the engine's range stops at its
// edge; three stops at one edge end the search with that edge's flag.
template <class Evaluate>
NewtonResult hugoniot_newton(Evaluate&& evaluate, double& ln_P, double& ln_T) {
  NewtonResult result;
  int at_edge = 0;
  ln_P = std::clamp(ln_P, kLnPMin, kLnPMax);
  ln_T = std::clamp(ln_T, kLnTMin, kLnTMax);
  for (int it = 1; it <= kBudget; ++it) {
    Residuals r;
    if (const unsigned why = evaluate(ln_P, ln_T, r)) {
      result.iterations = it;
      result.flags = why;
      return result;
    }
    const double det = r.J[0][0] * r.J[1][1] - r.J[0][1] * r.J[1][0];
    double dP = (-r.F[0] * r.J[1][1] + r.F[1] * r.J[0][1]) / det;
    double dT = (-r.F[1] * r.J[0][0] + r.F[0] * r.J[1][0]) / det;
    if (!std::isfinite(dP) || !std::isfinite(dT)) {
      result.iterations = it;
      result.flags = engine::kSingular;
      return result;
    }
    const double big = std::max(std::fabs(dP), std::fabs(dT));
    if (big < kConverged || std::max(std::fabs(r.F[0]), std::fabs(r.F[1])) < kResidual) {
      result.iterations = it;
      return result;
    }
    if (big > kMaxStep) {
      dP *= kMaxStep / big;
      dT *= kMaxStep / big;
    }
    const double P = std::clamp(ln_P + dP, kLnPMin, kLnPMax);
    const double T = std::clamp(ln_T + dT, kLnTMin, kLnTMax);
    at_edge = (P != ln_P + dP || T != ln_T + dT) ? at_edge + 1 : 0;
    if (at_edge == 3) {
      result.iterations = it;
      result.flags = T == kLnTMax ? engine::kAboveRange
                     : T == kLnTMin ? engine::kBelowRange
                                    : engine::kNotConverged;
      return result;
    }
    ln_P = P;
    ln_T = T;
  }
  result.iterations = kBudget;
  result.flags = engine::kNotConverged;
  return result;
}

}  // namespace zuna::waves::detail
