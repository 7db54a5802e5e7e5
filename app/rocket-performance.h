// Rocket performance over an O/F range of its own: the dialog of its
// problem (template 105), the rocket library's sweep and best O/F, the table
// the windowed program shows in a window of its own, the report "foguete"
// and the plot file "isp.dat" (drawn by isp.gnu).
//
// The windowed program offers it in its menu "Cálculo" while the results
// menu waits for a choice (app/program-menu.h); the console program has the
// same calculation as its command "zuna4c rocket".
#pragma once

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "rocket/rocket.h"

namespace zuna {

// Units of the rocket performance's outputs.
inline constexpr int kRocketReportUnit = 20;  // "foguete"
inline constexpr int kIspUnit = 21;           // "isp.dat": O/F, Isp and Ivac [s] per exit

// The dialog holds four fields of each kind of exit; an empty field is not
// used.
inline constexpr int kRocketExitFields = 4;
// The O/F points of a calculation, evenly spaced over the dialog's range.
inline constexpr int kRocketMinOfPoints = 2;
inline constexpr int kRocketMaxOfPoints = 201;

// The problem as the dialog gives it.
struct RocketInputs {
  double of_low = 2.0;                           // O/F range [kg O2 / kg H2], where
  double of_high = 16.0;                         // H2/O2 engines run
  int of_count = 15;                             // points over it, ends included
  double pc_atm = 68.046;                        // chamber pressure [atm] (1000 psia)
  std::vector<double> pi_p = {10, 100, 1000};    // pressure ratios Pc/Pe
  std::vector<double> ae_at = {10, 50};          // supersonic area ratios Ae/At
  rocket::Model model = rocket::Model::equilibrium;  // expansion model
  bool gas = false;                              // gaseous reactants at 298.15 K, else liquid
};

// The O/F points of the inputs: of_count values from of_low to of_high,
// evenly spaced, the ends exact.
std::vector<double> rocket_of_points(const RocketInputs& inputs);

// What is wrong with the inputs: one Windows-1252 line per problem (ending
// in '\n') naming the value and the accepted range; empty when the
// calculation can be made. Checks the O/F range (inside the engine's, from
// 0.1 to 40 times the stoichiometric O/F, the first below the last) and its
// count (2 to 201), the chamber pressure (1e-4 to 1e4 atm), each pressure
// ratio (> 1), each area ratio (>= 1) and that some exit is asked for.
// Every value it names has a field of the dialog.
std::string check_rocket_inputs(const RocketInputs& inputs);

// Shows dialog 105 with `inputs`, reads it back and checks it with
// check_rocket_inputs; a field that does not read or a value that is
// refused is told in a box, and the dialog comes back as typed. True when
// OK gave usable inputs (then in `inputs`), false for Cancel or a dialog
// that cannot be shown.
bool ask_rocket_inputs(RocketInputs& inputs);

// The results as the result window shows them: one row per O/F (and
// chamber pressure), a group of columns per exit, the best O/F of each
// exit. Texts are Windows-1252; values are NaN where a station has none.
struct RocketTable {
  std::vector<std::string> heading;     // the problem, a line each
  std::vector<std::string> quantities;  // the columns of each exit's group
  std::vector<std::string> exits;       // the groups, in the report's order
  struct Row {
    double of = 0.0;
    double pc_atm = 0.0;
    std::vector<double> values;        // exits x quantities, by exit
    std::vector<std::string> states;   // per exit: why it has no values, or empty
  };
  std::vector<Row> rows;
  struct Best {
    std::string exit;
    std::string quantity;   // "Isp (s)" or "Ivac (s)"
    double of = NAN;        // NaN: not found
    double value = NAN;     // [s]
    bool at_end = false;    // at an end of the O/F range
    std::string state;      // why not found
  };
  std::vector<Best> best;   // per exit, one per quantity
  bool several_pressures() const;
};

// The table as text for a spreadsheet, one header line naming each column
// ("O/F", ["Pc (atm)",] "<exit> <quantity>"...) and one line per row, the
// cells parted by `separator` (a tab for the clipboard, a comma for CSV),
// numbers with a decimal point, an empty cell where there is no value.
std::string rocket_table_text(const RocketTable& table, char separator);

// Computes the stations of every O/F and the best O/F of every exit and
// writes "foguete" and "isp.dat" (both replaced whole, together). Answers
// the table of the results, or null, after telling the user in a box, when
// a file cannot be opened or the calculation is refused.
std::shared_ptr<const RocketTable> write_rocket_performance(const RocketInputs& inputs);

}  // namespace zuna
