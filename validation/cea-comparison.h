// The default sweep of the program beside a reference table of equilibrium
// results: the adiabatic flame temperature with dissociation and the six
// mole fractions at each of the 33 points of the default grid (1 atm), and
// the temperature without dissociation at the stoichiometric point.
//
// The reference table is tab-separated: comment lines start with '#', one of
// them giving the complete-combustion temperature at r = 1 as " T = <value> K";
// a heading line starts with "r"; each row holds r, O/F, T, T with every
// species, then the mole fractions of H2O, O2, H2, H, O and OH.
#pragma once

#include <istream>
#include <stdexcept>
#include <vector>

#include "app/sweep.h"
#include "thermo/thermo.h"

namespace zuna::validation {

class ReferenceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ReferencePoint {
  double r = 0.0;  // O/F divided by the stoichiometric O/F
  double t = 0.0;  // [K], the same six products as the program
  double x[6] = {};
};

struct Reference {
  std::vector<ReferencePoint> points;
  double t_complete = 0.0;  // [K], no dissociation, r = 1
};

Reference read_reference(std::istream& in);

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
// throws ReferenceError when the reference does not have the sweep's points.
Comparison compare(const Reference& reference, const ThermoConstants& tc, const CoefBlock& coef);

}  // namespace zuna::validation
