// One point of the program's sweep and its flags: what the sweep's plain
// reference computes (thermo/) and the zuna4 library hands its callers, one
// type for both (zuna::SweepPointValues is zuna4::SweepPoint). Published
// with the library (include/zuna4/).
//
// Amounts are moles per mole of H2 fed; species order H2O, O2, H2, H, O, OH.
#pragma once

#include <span>

namespace zuna4 {

// Bits of SweepPoint::flags: those of the programs' CSV (the searches'
// reasons) and kSweepFloatingPoint, the point the programs would have ended
// on with a math error.
enum SweepFlag : unsigned {
  kNewtonOutside = 1u << 0,   // tadsem outside 200..6000 K, or not a number
  kNewtonCap = 1u << 1,       // the search of tadsem used all itmaxh steps
  kBisectionBound = 1u << 2,  // tadcom closed on 1000 or 6000 K: the root lies beyond
  kBisectionCap = 1u << 3,    // the search of tadcom used all itmaxh temperatures
  kEquilibriumCap = 1u << 4,  // the dissociation equilibrium used all itmaxn passes
  kSweepFloatingPoint = 1u << 8,
};

// One reported point. Its columns, named as in `zuna4c --batch --csv` and
// the JSON, are those of sweep_columns() below, in their order.
struct SweepPoint {
  double of = 0.0;                          // O/F [kg O2 / kg H2]
  double r = 0.0;                           // O/F over the stoichiometric O/F
  double tadsem = 0.0;                      // adiabatic flame temperature without dissociation [K]
  double tadcom = 0.0;                      // adiabatic flame temperature with dissociation [K]
  double no2r = 0.0;                        // O2 fed
  double nh2o = 0.0, no2 = 0.0, nh2 = 0.0;  // products without dissociation
  double ntotalr = 0.0, ntotalp = 0.0;      // totals of reactants and products
  double nd[6] = {};                        // products with dissociation
  double ntd = 0.0;                         // their total
  double yh2r = 0.0, yo2r = 0.0;            // mole fractions of the reactants
  double yh2o = 0.0, yo2 = 0.0, yh2 = 0.0;  // without dissociation
  double yd[6] = {};                        // with dissociation, nd / ntd
  double fmh2r = 0.0, fmo2r = 0.0;          // mass fractions of the reactants
  double fmh2o = 0.0, fmo2 = 0.0, fmh2 = 0.0;
  double fmd[6] = {};
  double mmr = 0.0, mmp = 0.0, mmd = 0.0;  // mean molar masses [g/mol]
  double x[4] = {};                        // extents of R1..R4
  unsigned flags = 0;                      // SweepFlag bits, 0 for a valid point
};

// The columns of a point in the order of `zuna4c --batch --csv`, "of" to
// "x4", each with its unit ("-" for a ratio or a fraction) and its value: the
// one list that the programs' CSV and JSON, the library and the Python
// module's names and rows are made from. The point's flags stand apart
// (before "of" in the CSV, "flags" in the JSON and Python).
struct SweepColumn {
  const char* name;
  const char* unit;
  double (*value)(const SweepPoint&);
};
inline constexpr int kSweepColumnCount = 46;
std::span<const SweepColumn> sweep_columns();

}  // namespace zuna4
