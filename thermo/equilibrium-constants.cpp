// Equilibrium constants of the four dissociation reactions at T [K], from
// g_k = G/(R T) of each species (see polynomial.h):
//   R1 H2O = H + OH   K1 = exp(-((g4 + g6) - g1))
//   R2 H2  = 2 H      K2 = exp(-(2 g4 - g3))
//   R3 O2  = 2 O      K3 = exp(-(2 g5 - g2))
//   R4 OH  = O + H    K4 = exp(-((g4 + g5) - g6))
// The differences are formed from the left as written, then negated. ln T is
// taken once; in kp_diss through rt_log and the exponentials through rt_exp,
// so a non-positive T or an overflowing constant reaches the math error
// handler. kp_diss_unreported computes the same values with the standard
// library's own exp and log, whose failures only raise their flags.
#include <cmath>

#include "intrinsics/intrinsics.h"
#include "thermo/dissociation-lanes.h"
#include "thermo/polynomial.h"
#include "thermo/thermo.h"

namespace zuna {

namespace {

double std_exp(double x) { return std::exp(x); }

double std_log(double x) { return std::log(x); }

template <double (*exp_fn)(double), double (*log_fn)(double)>
void constants(const double& t, const CoefBlock& coef, double& k1, double& k2, double& k3,
               double& k4) {
  const int r = coef_range(t);
  const TemperaturePowers p(t);
  const double ln_t = log_fn(t);
  double g[7];
  for (int k = 1; k <= 6; ++k) {
    g[k] = g_rt(coef, k, r, p, ln_t);
  }
  k1 = exp_fn(-(g[4] + g[6] - g[1]));
  k2 = exp_fn(-(2.0 * g[4] - g[3]));
  k3 = exp_fn(-(2.0 * g[5] - g[2]));
  k4 = exp_fn(-(g[4] + g[5] - g[6]));
}

}  // namespace

void kp_diss(const double& t, const CoefBlock& coef, double& k1, double& k2, double& k3,
             double& k4) {
  constants<rt_exp, rt_log>(t, coef, k1, k2, k3, k4);
}

void kp_diss_unreported(const double& t, const CoefBlock& coef, double& k1, double& k2, double& k3,
                        double& k4) {
  constants<std_exp, std_log>(t, coef, k1, k2, k3, k4);
}

}  // namespace zuna
