// The default sweep of the program beside a reference table of equilibrium
// results: the adiabatic flame temperature with dissociation and the six
// mole fractions at each of the 33 points of the default grid (1 atm), and
// the temperature without dissociation at the stoichiometric point.
//
// The reference table and its reader: reference-table.h.
#pragma once

#include <vector>

#include "app/sweep.h"
#include "thermo/thermo.h"
#include "validation/reference-table.h"

namespace zuna::validation {

struct ComparedPoint {
  double r = 0.0;
  double t_ref = 0.0, t = 0.0;  // [K]
  double x_ref[6] = {}, x[6] = {};
};

struct Comparison {
  std::vector<ComparedPoint> points;
  double t_complete_ref = 0.0, t_complete = 0.0;  // [K], r = 1
  // Largest differences (program - reference) and the points where they are.
  double worst_dt = 0.0, worst_dt_rel = 0.0, worst_dx = 0.0;
  int worst_dt_point = 0, worst_dx_point = 0, worst_dx_species = 0;
};

// Runs the default sweep with the given data and compares it point by point;
// throws ReferenceError when the reference does not have the sweep's points
// or when the sweep gives a temperature or a mole fraction that is not a
// finite number (data the program cannot use). The worst points name points
// of the comparison (1-based) whenever it has any.
Comparison compare(const Reference& reference, const ThermoConstants& tc, const CoefBlock& coef);

}  // namespace zuna::validation
