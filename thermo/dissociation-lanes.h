// The dissociation equilibrium and the flame-temperature search with
// dissociation over L independent sets of products at once (see lanes.h).
// equil_diss and tad_diss of thermo.h are the one-lane case of these
// routines; the sweep runs kSearchLanes points through them together. On each
// lane the operations are those of the one-lane case, in the same order, so
// a lane's results do not depend on its neighbours, bit for bit.
//
// Why: one search is a long chain of dependent Newton steps, each waiting for
// the division of the one before; the chains of several points overlap.
#pragma once

#include "thermo/lanes.h"
#include "thermo/thermo.h"

namespace zuna {

// The lane count of the sweep's interleaved searches. Three pairs keep the
// processor busy: with fewer the steps wait on the divisions of the steps
// before, with more the instructions of the lanes themselves are the limit
// and the lanes wait longer for the slowest of them.
inline constexpr int kSearchLanes = 6;

// One search per lane. The caller sets hreac, nh2o, no2, nh2; the search sets
// tad and flags. x, nd and ntd receive the equilibrium of the last trial
// temperature; solved marks the lanes on which at least one equilibrium was
// solved, the others keep what x, nd and ntd held. equil_lanes sets capped on
// the lanes it solves.
template <int L>
struct DissociationLanes {
  Lanes<L> hreac;           // reactant enthalpy [J per mol of H2 fed]
  Lanes<L> nh2o, no2, nh2;  // products without dissociation [mol]
  Lanes<L> x[4];            // extents of R1..R4 [mol], after the switches
  Lanes<L> nd[6];           // moles with dissociation, species order
  Lanes<L> ntd;             // total moles of the last pass
  Lanes<L> tad;             // flame temperature [K]
  LaneMask<L> solved;
  LaneMask<L> capped;      // the last equilibrium used every pass without N settling
  unsigned flags[L] = {};  // SearchFlag bits of the search (kBisection*, kEquilibriumCap)
};

// The run's settings (DissociationSettings, thermo.h) are the same for every
// lane.

// How a failing exp or log of the equilibrium constants surfaces: through
// the math error handler, as kp_diss does, or only through the
// floating-point flags, which the caller checks afterwards.
enum class ConstantFailures { report, flags_only };

// kp_diss without the math error handler: the same values, and a failure
// only raises its flag. exp overflows with the overflow flag and log of 0 or
// of a negative T raises division by zero or invalid; a NaN T would pass
// unflagged, which the bisection, whose trial temperatures are midpoints of
// 1000..6000 K, never produces.
void kp_diss_unreported(const double& t, const CoefBlock& coef, double& k1, double& k2, double& k3,
                        double& k4);

// equil_diss on the lanes of `solve` with the constants k[0..3] of R1..R4;
// the other lanes of d are left as they are.
template <int L>
void equil_lanes(const Lanes<L> (&k)[4], const LaneMask<L>& solve, DissociationLanes<L>& d,
                 const DissociationSettings& c);

// tad_diss on every lane of d.
template <int L>
void tad_diss_lanes(DissociationLanes<L>& d, const DissociationSettings& c,
                    const ThermoConstants& tc, const CoefBlock& coef, ConstantFailures failures);

extern template void equil_lanes<1>(const Lanes<1> (&)[4], const LaneMask<1>&,
                                    DissociationLanes<1>&, const DissociationSettings&);
extern template void equil_lanes<kSearchLanes>(const Lanes<kSearchLanes> (&)[4],
                                               const LaneMask<kSearchLanes>&,
                                               DissociationLanes<kSearchLanes>&,
                                               const DissociationSettings&);
extern template void tad_diss_lanes<1>(DissociationLanes<1>&, const DissociationSettings&,
                                       const ThermoConstants&, const CoefBlock&, ConstantFailures);
extern template void tad_diss_lanes<kSearchLanes>(DissociationLanes<kSearchLanes>&,
                                                  const DissociationSettings&,
                                                  const ThermoConstants&, const CoefBlock&,
                                                  ConstantFailures);

}  // namespace zuna
