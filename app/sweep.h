// One calculation's sweep over the O/F grid: points 0 to npts, filling the
// sweep table. Point 0 is the stoichiometric reference that fixes ofst; it is
// never reported.
#pragma once

#include <cstdint>
#include <string>

#include "inputs/run-parameters.h"
#include "thermo/thermo.h"

namespace zuna {

// Per-point values. Group A (indices 0..103) holds every point including the
// reference point 0; group B (indices 1..103) only the points with
// dissociation. Amounts per mole of H2 fed.
struct SweepTable {
  static constexpr int kSize = kMaxPoint + 1;
  // Group A
  double no2r[kSize], nh2o[kSize], no2[kSize], nh2[kSize];
  double r[kSize];  // the point's r: its O/F over the stoichiometric O/F (ofst)
  double ntotalp[kSize], mmp[kSize], ntotalr[kSize], mmr[kSize];
  double yh2o[kSize], yo2[kSize], yh2[kSize], yh2r[kSize], yo2r[kSize];
  double fmh2o[kSize], fmo2[kSize], fmh2[kSize], fmh2r[kSize], fmo2r[kSize];
  double tadsem[kSize];  // adiabatic flame temperature without dissociation [K]
  // Group B (index 0 unused)
  double tadcom[kSize];  // adiabatic flame temperature with dissociation [K]
  double x[kSize][4];    // extents x1..x4 of R1..R4
  double nd[kSize][6];   // moles with dissociation, species order
  double ntd[kSize];     // total moles with dissociation
  double fmd[kSize][6];  // mass fractions with dissociation, species order
  double mmd[kSize];     // mean molar mass with dissociation [g/mol]
  // Why the point's values are not valid: the SearchFlag bits (thermo.h) of
  // its two searches, 0 for a valid point. Point 0 has the bits of its
  // search without dissociation only.
  unsigned flags[kSize];
};

// Scalars of one calculation.
struct SweepScalars {
  std::int32_t npts = 0;            // number of reported points, npmin + npmax + 3
  double ofst = 0.0;                // stoichiometric O/F mass ratio
  double ofmin = 0.0, ofmax = 0.0;  // absolute O/F of the first and last point
  double dof = 0.0;                 // O/F step of the side being swept
  double hreac = 0.0;               // reactant enthalpy of the current point [J]
};

// Told of each point i = 0..npts in increasing order, once it has been
// computed: point 0 alone, the others possibly after a batch of points that
// follow it has been computed too. The sweep scalars stand as they were
// right after point i.
class SweepObserver {
 public:
  virtual void point_done(std::int32_t i, std::int32_t npts) = 0;

 protected:
  ~SweepObserver() = default;
};

// Sweeps points 0..npts. The counts must fit the tables (0 <= npmin,
// 0 <= npmax, npmin + npmax <= kMaxInnerPoints), as the run-parameter check
// (check_run_parameters) makes sure; a sweep handed others ends the process
// before writing anything.
void run_sweep(const RunParameters& p, const ThermoConstants& tc, const CoefBlock& coef,
               SweepTable& table, SweepScalars& s, SweepObserver* observer);

// The same sweep with every point computed on its own, one after the other:
// the same table to the last bit, more slowly. run_sweep computes a group of
// points this way when the group raised a floating-point fault.
void run_sweep_point_by_point(const RunParameters& p, const ThermoConstants& tc,
                              const CoefBlock& coef, SweepTable& table, SweepScalars& s,
                              SweepObserver* observer);

}  // namespace zuna
