// The pieces of option reading that the results subcommands (equilibrium,
// rocket) share: numbers, counts and lists of values with the messages that
// name their option, the reactant sets, the O/F grid of the program's sweep,
// and the one-line messages of getopt_long's own errors. Everything throws
// UsageError, whose message is the one line the command prints.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "inputs/run-parameters.h"

struct option;  // <getopt.h>

namespace zuna {

struct UsageError {
  std::string message;
};

// The shortest text that reads back as v: "0.5", "1e+09".
std::string shortest_text(double v);

// A finite decimal number, with a leading '+' allowed.
double real_value(const std::string& option, std::string_view text);
std::int32_t count_value(const std::string& option, std::string_view text);

// Values and FIRST:LAST:COUNT ranges in equal logarithmic steps, the syntax of
// --pressure of --batch. `example` completes the message of a bad list.
std::vector<double> list_value(const std::string& option, std::string_view text,
                               const char* example);

// An end of a range as the messages and --help write it ("1e-06", "100000").
std::string english_number(double v);

// A run parameter's accepted range in the words of its option's messages,
// filled with the ends of `range` ("0 < rmin <= 1").
std::string option_range_text(const ParameterDescriptor& d, const ParameterRange& range);

// "OPTION: V is out of range (RANGE)" unless low <= v <= high.
void check_range(const std::string& option, double v, double low, double high,
                 const std::string& range);
void check_list(const std::string& option, const std::vector<double>& values, double low,
                double high, const std::string& range);

// "liquid", "gas", "custom" of --reactants.
engine::ReactantSet reactant_set(std::string_view text);
const char* reactant_set_name(engine::ReactantSet state);

// The O/F grid of the program's sweep: npmin points from rmin to just below
// the stoichiometric ratio, the stoichiometric ratio, npmax points from just
// above it to rmax (r = O/F over the stoichiometric O/F).
struct OfGrid {
  OfGrid();  // the run parameters' defaults
  double rmin, rmax;
  std::int32_t npmin, npmax;
};

// Reads --rmin, --rmax, --npmin or --npmax (`option` with its dashes) into
// grid; false for any other option.
bool read_grid_option(const std::string& option, std::string_view text, OfGrid& grid);
// The ranges of the grid's options.
void check_grid(const OfGrid& grid);

// The O/F ratios of the grid for a stoichiometric ratio ofst, computed as the
// program's sweep computes its points.
std::vector<double> grid_of_values(const OfGrid& grid, double ofst);

// The name of the option whose code is `code` in `options` (getopt_long's
// table, ended by an entry without a name) as the user would write it, for
// messages: "--rmin", or "-x" for a code no long option has.
std::string option_name(const option* options, int code);

// The message of getopt_long's return ':' (a value missing) or '?' (an
// unknown option, or a value given to one that takes none), from the
// argument at optind - 1.
std::string getopt_error_text(int code, char** argv);

}  // namespace zuna
