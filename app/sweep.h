// One calculation's sweep over the O/F grid: points 0 to npts, filling the
// sweep table. Point 0 is the stoichiometric point that fixes ofst; it is
// never reported.
#pragma once

#include <cstdint>

#include "inputs/run-parameters.h"
#include "thermo/reference.h"
#include "thermo/thermo.h"

namespace zuna {

// The points of one calculation, 0..npts, each computed by the steps of the
// plain reference (thermo/reference.h). Point 0 is the stoichiometric point:
// it has no search with dissociation and its values beyond tadsem stay as
// they were. A point's flags are the SearchFlag bits (thermo.h) of its two
// searches, 0 for a valid point; point 0 has those of its search without
// dissociation only.
struct SweepTable {
  static constexpr int kSize = kMaxPoint + 1;
  SweepPointValues point[kSize];
};

// Scalars of one calculation: those carried from point to point.
using SweepScalars = SweepCarry;

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

}  // namespace zuna
