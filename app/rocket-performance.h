// Rocket performance of the O/F points of the calculation just made: the
// dialog of its problem (template 105), the rocket library's sweep and best
// O/F, a text window of its own, the report "foguete" and the plot file
// "isp.dat" (drawn by isp.gnu).
//
// The windowed program offers it in its menu "Cálculo" while the results
// menu waits for a choice (app/program-menu.h); the console program has the
// same calculation as its command "zuna4c rocket".
#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/sweep.h"
#include "rocket/rocket.h"

namespace zuna {

// Units of the rocket performance's outputs.
inline constexpr int kRocketReportUnit = 20;  // "foguete"
inline constexpr int kIspUnit = 21;           // "isp.dat": O/F, Isp and Ivac [s] per exit
inline constexpr int kRocketWindowUnit = 22;  // window "DESEMPENHO COMO MOTOR-FOGUETE"

// The dialog holds four fields of each kind of exit; an empty field is not
// used.
inline constexpr int kRocketExitFields = 4;

// The problem as the dialog gives it.
struct RocketInputs {
  double pc_atm = 68.046;                        // chamber pressure [atm] (1000 psia)
  std::vector<double> pi_p = {10, 100, 1000};    // pressure ratios Pc/Pe
  std::vector<double> ae_at = {10, 50};          // supersonic area ratios Ae/At
  rocket::Model model = rocket::Model::equilibrium;  // expansion model
  bool gas = false;                              // gaseous reactants at 298.15 K, else liquid
};

// The O/F mass ratios [kg O2 / kg H2] of the reported points 1..npts of a
// calculation, in increasing order.
std::vector<double> calculation_of_points(const SweepTable& table, const SweepScalars& s);

// What is wrong with the inputs for these O/F points: one Windows-1252 line
// per problem (ending in '\n') naming the value and the accepted range;
// empty when the calculation can be made. Checks the chamber pressure
// (1e-4 to 1e4 atm), each pressure ratio (> 1), each area ratio (>= 1), that
// some exit is asked for, and that every O/F lies in the engine's range.
std::string check_rocket_inputs(const RocketInputs& inputs, std::span<const double> of);

// Shows dialog 105 with `inputs`, reads it back and checks it with
// check_rocket_inputs; a field that does not read or a value that is
// refused is told in a box, and the dialog comes back as typed. True when
// OK gave usable inputs (then in `inputs`), false for Cancel or a dialog
// that cannot be shown.
bool ask_rocket_inputs(RocketInputs& inputs, std::span<const double> of);

// Computes the stations of every O/F and the best O/F of every exit, shows
// the summary in the window and writes "foguete" and "isp.dat" (both
// replaced whole, together). Answers false, after telling the user in a
// box, when a file cannot be opened or the calculation is refused.
bool write_rocket_performance(const RocketInputs& inputs, std::span<const double> of);

}  // namespace zuna
