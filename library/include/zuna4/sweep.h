// The program's own calculation: the sweep of zuna4 and zuna4c over the O/F
// grid around the stoichiometric ratio, the products without and with
// dissociation and both adiabatic flame temperatures, computed with the
// same arithmetic as the programs, so that every value equals to the last
// bit what `zuna4c --batch --csv` prints for the same parameters. Nothing is
// written to a file; a floating-point fault at a point, which ends the
// programs' run, is a flag of that point here.
//
// Amounts are moles per mole of H2 fed; species order H2O, O2, H2, H, O, OH.
#pragma once

#if __cplusplus < 202002L
#error "the zuna4 headers need C++20: compile with -std=c++20 (pkg-config --cflags zuna4)"
#endif

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "zuna4/errors.h"

namespace zuna4 {

// The run parameters, with the defaults of the programs' parameter form.
// Accepted as the form accepts them: 0 < rmin <= 1 <= rmax <= 100,
// npmin, npmax >= 0 with npmin + npmax <= 100, p_atm 1e-6..1e5, tolh and
// toln > 0, itmaxh and itmaxn 1..99999; each reaction switched on or off.
struct SweepParameters {
  double rmin = 0.5;        // lowest O/F as a multiple of the stoichiometric O/F
  double rmax = 2.0;        // highest O/F as a multiple of the stoichiometric O/F
  std::int32_t npmin = 10;  // points strictly between rmin and 1
  std::int32_t npmax = 20;  // points strictly between 1 and rmax
  double p_atm = 1.0;       // total pressure
  double tolh = 1.0e-3;     // tolerance of the temperature searches [K]
  std::int32_t itmaxh = 100;
  double toln = 1.0e-10;  // tolerance on moles of the equilibrium solve
  std::int32_t itmaxn = 200;
  // R1 H2O = H + OH, R2 H2 = 2 H, R3 O2 = 2 O, R4 OH = O + H
  bool reaction[4] = {true, true, true, true};
};

// The program's 7-coefficient data (the layout of zuna.dat).
struct SweepData {
  double mw_g_mol[6] = {};    // molar masses, species order
  double coef[2][7][6] = {};  // [range: 0 is 1000-6000 K, 1 is 200-1000 K][a1..a7][species]
};

// data/zuna.dat as shipped, compiled in.
const SweepData& shipped_sweep_data();

// A file in the layout of zuna.dat, checked as the programs check it;
// throws InputError naming the record and the species.
SweepData read_sweep_data(std::istream& in);

// Bits of SweepPoint::flags: those of the programs' CSV (the searches'
// reasons) and kSweepFloatingPoint, the point the programs would have ended
// on with a math error.
enum SweepFlag : unsigned {
  kNewtonOutside = 1u << 0,   // tadsem outside 200..6000 K, or not a number
  kNewtonCap = 1u << 1,       // the search of tadsem used all itmaxh steps
  kBisectionBound = 1u << 2,  // tadcom closed on 1000 or 6000 K
  kBisectionCap = 1u << 3,    // the search of tadcom used all itmaxh temperatures
  kEquilibriumCap = 1u << 4,  // the dissociation equilibrium used all itmaxn passes
  kSweepFloatingPoint = 1u << 8,
};

// One reported point, named like the columns of `zuna4c --batch --csv`.
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

struct SweepResult {
  double ofst = 0.0;               // stoichiometric O/F of the data
  std::vector<SweepPoint> points;  // npmin + npmax + 3 points, the report's order
  // True when no point raised a floating-point fault (the programs would
  // have ended their run at the first point flagged kSweepFloatingPoint).
  bool ok = true;
};

// Checks the parameters as the parameter form does; throws InputError.
void check_sweep_parameters(const SweepParameters& p);

// The sweep with the shipped data or with data read by read_sweep_data.
SweepResult sweep(const SweepParameters& p);
SweepResult sweep(const SweepParameters& p, const SweepData& data);

}  // namespace zuna4
