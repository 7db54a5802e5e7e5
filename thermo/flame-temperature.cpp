// Adiabatic flame temperatures [K]: the T at which the enthalpy of the
// products equals hreac, the enthalpy of the reactants [J per mol of H2 fed]
// on the data file's enthalpy scale. Both searches compare tolh with a change
// of temperature [K]; reaching itmaxh is silent and the last value stands.
#include <cmath>

#include "thermo/thermo.h"

namespace zuna {

// Newton's method on f(T) = h_mix(T) - hreac for the fixed products, from
// 6000 K and without bounds:
//   T = T_old - f(T_old) / cp_mix(T_old),
// repeated while |T - T_old| >= tolh. The last step is returned without a
// further evaluation; 6000 K when itmaxh <= 0.
void tad_nodiss(const double& nh2o, const double& no2, const double& nh2, const double& hreac,
                double& tad, const int& itmaxh, const double& tolh, const ThermoConstants& tc,
                const CoefBlock& coef) {
  constexpr int nsel = 1;
  const double none = 0.0;
  double t = 6000.0;
  double t_old = 6000.0;
  for (int it = 0; it < itmaxh; ++it) {
    double h = 0.0;
    double cp = 0.0;
    h_mix(nh2o, no2, nh2, none, none, none, t, h, tc.rgas, coef, nsel);
    const double f = h - hreac;
    cp_mix(nh2o, no2, nh2, none, none, none, t, cp, tc.rgas, coef, nsel);
    t = t_old - f / cp;
    if (!(std::fabs(t - t_old) >= tolh)) {
      break;
    }
    t_old = t;
  }
  tad = t;
}

// Bisection on 1000..6000 K with the equilibrium composition of each trial
// temperature T_mid: f = h_mix(nd, T_mid) - hreac; f < 0 raises the lower
// bound, f >= 0 lowers the upper one. The search stops when two successive
// midpoints differ by less than tolh; the first comparison is 3500 against
// the start value 1000, the k-th (k >= 2) sees 5000 / 2^k. When itmaxh ends
// the loop the midpoint formed last is returned, while the extents and moles
// are those of the previous midpoint; with itmaxh <= 0 no equilibrium is
// solved, 3500 K is returned and the caller's extents and moles are untouched.
void tad_diss(const double& hreac, double& tad, const double& ptot, const double& nh2o,
              const double& no2, const double& nh2, double& x1, double& x2, double& x3,
              double& x4, double& nd1, double& nd2, double& nd3, double& nd4, double& nd5,
              double& nd6, double& ntd, const int& itmaxh, const double& tolh,
              const int& itmaxn, const double& toln, const ThermoConstants& tc,
              const CoefBlock& coef, const double& act1, const double& act2,
              const double& act3, const double& act4) {
  constexpr int nsel = 2;
  double t_low = 1000.0;
  double t_high = 6000.0;
  double t_old = 1000.0;
  double t_mid = (t_low + t_high) * 0.5;
  for (int it = 0; it < itmaxh; ++it) {
    double k1 = 0.0, k2 = 0.0, k3 = 0.0, k4 = 0.0;
    kp_diss(t_mid, coef, k1, k2, k3, k4);
    equil_diss(k1, k2, k3, k4, ptot, nh2o, no2, nh2, nd1, nd2, nd3, nd4, nd5, nd6, x1, x2, x3,
               x4, ntd, itmaxn, toln, act1, act2, act3, act4);
    double h = 0.0;
    h_mix(nd1, nd2, nd3, nd4, nd5, nd6, t_mid, h, tc.rgas, coef, nsel);
    const double f = h - hreac;
    if (f < 0.0) {
      t_low = t_mid;
    } else {
      t_high = t_mid;
    }
    if (std::fabs(t_mid - t_old) < tolh) {
      break;
    }
    t_old = t_mid;
    t_mid = (t_low + t_high) * 0.5;
  }
  tad = t_mid;
}

}  // namespace zuna
