// Adiabatic flame temperatures [K]: the T at which the enthalpy of the
// products equals hreac, the enthalpy of the reactants [J per mol of H2 fed]
// on the data file's enthalpy scale. Both searches compare tolh with a change
// of temperature [K]; reaching itmaxh is silent and the last value stands.
#include <cmath>

#include "thermo/dissociation-lanes.h"
#include "thermo/thermo.h"

namespace zuna {

// Newton's method on f(T) = h_mix(T) - hreac for the fixed products, from
// 6000 K and without bounds:
//   T = T_old - f(T_old) / cp_mix(T_old),
// repeated while |T - T_old| >= tolh. The last step is returned without a
// further evaluation; 6000 K when itmaxh <= 0.
//
// The result is flagged when the cap ended the search, and when it lies
// outside 200..6000 K: the low-temperature polynomial sets are fitted from
// 200 K up, and the searches take 6000 K as their highest temperature.
void tad_nodiss(const double& nh2o, const double& no2, const double& nh2, const double& hreac,
                double& tad, const int& itmaxh, const double& tolh, const ThermoConstants& tc,
                const CoefBlock& coef, unsigned* flags) {
  constexpr int nsel = 1;
  const double none = 0.0;
  double t = 6000.0;
  double t_old = 6000.0;
  bool converged = false;
  for (int it = 0; it < itmaxh; ++it) {
    double h = 0.0;
    double cp = 0.0;
    h_mix(nh2o, no2, nh2, none, none, none, t, h, tc.rgas, coef, nsel);
    const double f = h - hreac;
    cp_mix(nh2o, no2, nh2, none, none, none, t, cp, tc.rgas, coef, nsel);
    t = t_old - f / cp;
    if (!(std::fabs(t - t_old) >= tolh)) {
      converged = true;
      break;
    }
    t_old = t;
  }
  tad = t;
  if (flags != nullptr) {
    *flags = (converged ? 0u : kNewtonCap) | (t >= 200.0 && t <= 6000.0 ? 0u : kNewtonOutside);
  }
}

namespace {

// K1..K4 at each lane's trial temperature, on the lanes of `lanes`.
template <int L>
void constants_at(const Lanes<L>& t, const LaneMask<L>& lanes, const CoefBlock& coef,
                  ConstantFailures failures, Lanes<L> (&k)[4]) {
  for (int l = 0; l < L; ++l) {
    if (!lanes[l]) {
      continue;
    }
    double k1 = 0.0, k2 = 0.0, k3 = 0.0, k4 = 0.0;
    if (failures == ConstantFailures::report) {
      kp_diss(t[l], coef, k1, k2, k3, k4);
    } else {
      kp_diss_unreported(t[l], coef, k1, k2, k3, k4);
    }
    k[0].set(l, k1);
    k[1].set(l, k2);
    k[2].set(l, k3);
    k[3].set(l, k4);
  }
}

// The enthalpy [J] of the equilibrium moles at each lane's trial temperature,
// on the lanes of `lanes`; 0 on the others.
template <int L>
Lanes<L> enthalpy_at(const Lanes<L>& t, const LaneMask<L>& lanes, const DissociationLanes<L>& d,
                     const ThermoConstants& tc, const CoefBlock& coef) {
  constexpr int nsel = 2;
  Lanes<L> h = 0.0;
  for (int l = 0; l < L; ++l) {
    if (!lanes[l]) {
      continue;
    }
    const double nd[6] = {d.nd[0][l], d.nd[1][l], d.nd[2][l], d.nd[3][l], d.nd[4][l], d.nd[5][l]};
    double hl = 0.0;
    h_mix(nd[0], nd[1], nd[2], nd[3], nd[4], nd[5], t[l], hl, tc.rgas, coef, nsel);
    h.set(l, hl);
  }
  return h;
}

}  // namespace

// Bisection on 1000..6000 K with the equilibrium composition of each trial
// temperature T_mid: f = h_mix(nd, T_mid) - hreac; f < 0 raises the lower
// bound, f >= 0 (or f not a number) lowers the upper one. The search stops
// when two successive midpoints differ by less than tolh; the first
// comparison is 3500 against the start value 1000, the k-th (k >= 2) sees
// 5000 / 2^k. When itmaxh ends the loop the midpoint formed last is
// returned, while the extents and moles are those of the previous midpoint;
// with itmaxh <= 0 no equilibrium is solved and 3500 K is returned.
//
// Every lane runs this search on its own products; a lane that has stopped
// keeps its bounds and midpoint, and solves no further equilibrium.
//
// Flags: kBisectionCap when itmaxh ended the search; otherwise
// kBisectionBound when an end of the interval was never moved (f had the
// same sign at every trial temperature), so that the root, if any, lies
// outside 1000..6000 K and the result is merely the nearer end; and
// kEquilibriumCap when the equilibrium whose moles are returned used all its
// passes. (Equilibria at trial temperatures far below the root may use them
// all at the dialog's settings; only their sign of f matters to the search.)
template <int L>
void tad_diss_lanes(DissociationLanes<L>& d, const DissociationSettings& c,
                    const ThermoConstants& tc, const CoefBlock& coef, ConstantFailures failures) {
  Lanes<L> t_low = 1000.0;
  Lanes<L> t_high = 6000.0;
  Lanes<L> t_old = 1000.0;
  Lanes<L> t_mid = (t_low + t_high) * 0.5;
  Lanes<L> k[4];
  LaneMask<L> searching = LaneMask<L>::all();
  d.solved = LaneMask<L>{};
  for (int it = 0; it < c.itmaxh && any(searching); ++it) {
    constants_at(t_mid, searching, coef, failures, k);
    equil_lanes(k, searching, d, c);
    d.solved = d.solved | searching;
    const Lanes<L> f = enthalpy_at(t_mid, searching, d, tc, coef) - d.hreac;
    const LaneMask<L> below = f < 0.0;
    t_low = select(searching & below, t_mid, t_low);
    t_high = select(searching & !below, t_mid, t_high);
    searching = searching & !(fabs(t_mid - t_old) < c.tolh);
    t_old = select(searching, t_mid, t_old);
    t_mid = select(searching, (t_low + t_high) * 0.5, t_mid);
  }
  d.tad = t_mid;
  for (int l = 0; l < L; ++l) {
    unsigned f = d.solved[l] && d.capped[l] ? kEquilibriumCap : 0u;
    if (searching[l]) {
      f |= kBisectionCap;
    } else if (t_low[l] == 1000.0 || t_high[l] == 6000.0) {
      f |= kBisectionBound;
    }
    d.flags[l] = f;
  }
}

template void tad_diss_lanes<1>(DissociationLanes<1>&, const DissociationSettings&,
                                const ThermoConstants&, const CoefBlock&, ConstantFailures);
template void tad_diss_lanes<kSearchLanes>(DissociationLanes<kSearchLanes>&,
                                           const DissociationSettings&, const ThermoConstants&,
                                           const CoefBlock&, ConstantFailures);

// The one-lane search.
FlameTemperature tad_diss(const FlameInputs& in, const DissociationSettings& c,
                          const ThermoConstants& tc, const CoefBlock& coef) {
  DissociationLanes<1> d;
  d.hreac = in.hreac;
  d.nh2o = in.n.nh2o;
  d.no2 = in.n.no2;
  d.nh2 = in.n.nh2;
  tad_diss_lanes(d, c, tc, coef, ConstantFailures::report);
  FlameTemperature r;
  r.tad = d.tad[0];
  r.flags = d.flags[0];
  r.solved = d.solved[0];
  if (r.solved) {
    for (int j = 0; j < 4; ++j) {
      r.eq.x[j] = d.x[j][0];
    }
    for (int j = 0; j < 6; ++j) {
      r.eq.nd[j] = d.nd[j][0];
    }
    r.eq.ntd = d.ntd[0];
    r.eq.capped = d.capped[0];
  }
  return r;
}

}  // namespace zuna
