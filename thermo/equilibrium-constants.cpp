// Equilibrium constants of the four dissociation reactions at T [K], from
// g_k = G/(R T) of each species (see polynomial.h):
//   R1 H2O = H + OH   K1 = exp(-((g4 + g6) - g1))
//   R2 H2  = 2 H      K2 = exp(-(2 g4 - g3))
//   R3 O2  = 2 O      K3 = exp(-(2 g5 - g2))
//   R4 OH  = O + H    K4 = exp(-((g4 + g5) - g6))
// The differences are formed from the left as written, then negated. ln T is
// taken once through rt_log and the exponentials go through rt_exp, so a
// non-positive T or an overflowing constant reaches the math error handler.
#include "thermo/intrinsics.h"
#include "thermo/polynomial.h"
#include "thermo/thermo.h"

namespace zuna {

void kp_diss(const double& t, const CoefBlock& coef, double& k1, double& k2, double& k3,
             double& k4) {
  const int r = coef_range(t);
  const TemperaturePowers p(t);
  const double ln_t = rt_log(t);
  double g[7];
  for (int k = 1; k <= 6; ++k) {
    g[k] = g_rt(coef, k, r, p, ln_t);
  }
  k1 = rt_exp(-(g[4] + g[6] - g[1]));
  k2 = rt_exp(-(2.0 * g[4] - g[3]));
  k3 = rt_exp(-(2.0 * g[5] - g[2]));
  k4 = rt_exp(-(g[4] + g[5] - g[6]));
}

}  // namespace zuna
