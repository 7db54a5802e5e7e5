// The dissociation equilibrium, the flame-temperature search with
// dissociation and the sweep's point, written plainly: one set of products
// at a time, the algorithm as it reads, with no lanes. They compute what the
// fast path (equil_diss, tad_diss and the lanes of dissociation-lanes.h)
// computes, to the last bit: the same operations on the same operands in the
// same order. The library's sweep runs on them; the tests hold the lanes to
// them.
#pragma once

#include <cstdint>

#include "thermo/thermo.h"

namespace zuna {

// Dissociation equilibrium of the products n at c.ptot [atm] with the
// equilibrium constants k[0..3] of R1..R4.
DissociationEquilibrium reference_dissociation_equilibrium(const double (&k)[4],
                                                           const ProductMoles& n,
                                                           const DissociationSettings& c);

// The adiabatic flame temperature with dissociation of `in`: a bisection on
// 1000..6000 K with an equilibrium at every trial temperature.
FlameTemperature reference_flame_temperature(const FlameInputs& in, const DissociationSettings& c,
                                             const ThermoConstants& tc, const CoefBlock& coef);

// The O/F grid of a sweep: npmin points between rmin and the stoichiometric
// O/F, npmax between it and rmax (as multiples of the stoichiometric O/F).
struct SweepGrid {
  std::int32_t npmin = 0, npmax = 0;
  double rmin = 0.0, rmax = 0.0;
};

// The O/F of point i = 1..npmin+npmax+3 of the grid around `ofst`, the one
// grid of the program's sweep and of `zuna4c equilibrium` and `zuna4c
// rocket`: points 1..npmin+1 from rmin ofst up in steps of
// (ofst - rmin ofst)/(npmin + 1), point npmin+2 ofst itself, then npmax + 1
// steps of (rmax ofst - ofst)/(npmax + 1) up to rmax ofst.
inline double sweep_grid_of(std::int32_t i, const SweepGrid& g, double ofst) {
  if (i <= g.npmin + 1) {
    const double ofmin = g.rmin * ofst;
    const double dof = (ofst - ofmin) / static_cast<double>(g.npmin + 1);
    return static_cast<double>(i - 1) * dof + ofmin;
  }
  if (i == g.npmin + 2) {
    return ofst;
  }
  const double dof = (g.rmax * ofst - ofst) / static_cast<double>(g.npmax + 1);
  return static_cast<double>(i - g.npmin - 2) * dof + ofst;
}

// Everything the sweep computes of one point: the library's point
// (zuna4/sweep-point.h).
using SweepPointValues = zuna4::SweepPoint;

// The values carried from point to point.
struct SweepCarry {
  std::int32_t npts = 0;            // reported points, npmin + npmax + 3
  double ofst = 0.0;                // stoichiometric O/F, fixed by point 0
  double ofmin = 0.0, ofmax = 0.0;  // absolute O/F of the first and last point
  double dof = 0.0;                 // O/F step of the side being swept
  double hreac = 0.0;               // reactant enthalpy of the current point [J]
};

// The steps of point i = 0..npts of the sweep, computed after the points
// before it; reference_sweep_point runs them in order, and the program's
// sweep (app/) runs the same steps around the lanes' searches.
//
// Everything of the point before its search with dissociation: products,
// totals and fractions without dissociation, O/F and r (point 0, the
// stoichiometric point, fixes ofst), the reactants' enthalpy into s.hreac and
// tadsem with its flags.
void sweep_point_without_dissociation(std::int32_t i, const SweepGrid& g,
                                      const DissociationSettings& c, const ThermoConstants& tc,
                                      const CoefBlock& coef, SweepPointValues& t, SweepCarry& s);

// The values with dissociation first receive the products without
// dissociation, so that a search that solves no equilibrium (itmaxh <= 0)
// leaves the point's own undissociated moles.
void preset_dissociation(SweepPointValues& t);

// The inputs of the point's search with dissociation.
inline FlameInputs sweep_search_inputs(const SweepPointValues& t, const SweepCarry& s) {
  return {s.hreac, {t.nh2o, t.no2, t.nh2}};
}

// The search's results into the point: tadcom and its flags, the extents,
// moles and total only where an equilibrium was solved; then the mass and
// mole fractions and the mean molar mass with dissociation.
void store_search(const FlameTemperature& search, const ThermoConstants& tc, SweepPointValues& t);

// Point i = 0..npts of the sweep, computed after the points before it, its
// search by reference_flame_temperature (point 0 has no search with
// dissociation; its values beyond tadsem are left as they were).
void reference_sweep_point(std::int32_t i, const SweepGrid& g, const DissociationSettings& c,
                           const ThermoConstants& tc, const CoefBlock& coef, SweepPointValues& t,
                           SweepCarry& s);

}  // namespace zuna
