// The adiabatic flame temperature with dissociation, one set of products at
// a time (see flame-temperature.cpp for the search and its flags).
#include <cmath>

#include "thermo/reference.h"

namespace zuna {

// Bisection on 1000..6000 K: at each trial temperature t_mid the equilibrium
// composition and f = h_mix(nd, t_mid) - hreac; f < 0 raises the lower
// bound, otherwise the upper one falls. The search ends when two successive
// midpoints differ by less than tolh, or after itmaxh trials.
FlameTemperature reference_flame_temperature(const FlameInputs& in, const DissociationSettings& c,
                                             const ThermoConstants& tc, const CoefBlock& coef) {
  constexpr int nsel = 2;
  double t_low = 1000.0;
  double t_high = 6000.0;
  double t_old = 1000.0;
  double t_mid = (t_low + t_high) * 0.5;
  bool searching = true;
  FlameTemperature r;
  for (int it = 0; it < c.itmaxh && searching; ++it) {
    double k[4];
    kp_diss(t_mid, coef, k[0], k[1], k[2], k[3]);
    r.eq = reference_dissociation_equilibrium(k, in.n, c);
    r.solved = true;
    const double* const nd = r.eq.nd;
    double h = 0.0;
    h_mix(nd[0], nd[1], nd[2], nd[3], nd[4], nd[5], t_mid, h, tc.rgas, coef, nsel);
    const double f = h - in.hreac;
    if (f < 0.0) {
      t_low = t_mid;
    } else {
      t_high = t_mid;
    }
    searching = !(std::fabs(t_mid - t_old) < c.tolh);
    if (searching) {
      t_old = t_mid;
      t_mid = (t_low + t_high) * 0.5;
    }
  }
  r.tad = t_mid;
  r.flags = r.solved && r.eq.capped ? kEquilibriumCap : 0u;
  if (searching) {
    r.flags |= kBisectionCap;
  } else if (t_low == 1000.0 || t_high == 6000.0) {
    r.flags |= kBisectionBound;
  }
  return r;
}

}  // namespace zuna
