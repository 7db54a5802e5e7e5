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
#include <span>
#include <string>
#include <vector>

#include "zuna4/errors.h"
#include "zuna4/sweep-point.h"

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

// The columns of a point, sweep_columns() (zuna4/sweep-point.h).

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
