// What the results subcommands (equilibrium, rocket) share: the ids of
// their options and the table entries of the options they have in common
// (the O/F ratios and their grid, the reactants, the results files, --help),
// the reactant sets, the O/F grid of the program's sweep, and the checks
// that relate options to one another.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "commands/option-table.h"
#include "engine/engine.h"
#include "inputs/run-parameters.h"

namespace zuna {

// The options of the subcommands; each command's table names those it has.
enum OptionId : int {
  kHelpOption = 1,
  kProblemOption,
  kPressureOption,
  kTemperatureOption,
  kEntropyOption,
  kRhoOption,
  kT0Option,
  kP0Option,
  kOfOption,
  kRminOption,
  kRmaxOption,
  kNpminOption,
  kNpmaxOption,
  kReactantsOption,
  kTReactantsOption,
  kHFuelOption,
  kHOxidOption,
  kThermoOption,
  kDataOption,
  kCsvOption,
  kJsonOption,
  kPcOption,
  kPiPOption,
  kAeAtOption,
  kModelOption,
  kBestOption,
  kContractionOption,
  kMassFluxOption,
  kSubAeAtOption,
  kUnitsOption,
};

// The O/F ratios: a list, or the grid of the program's sweep. The grid's
// ratios lie in the engine's range of O/F (0.1 to 40 times the
// stoichiometric O/F); its counts are those of the sweep's tables.
inline constexpr OptionEntry kOfEntry{
    .id = kOfOption,
    .name = "of",
    .type = ValueType::list,
    .value = "LIST",
    .help =
        "these O/F ratios, each 0.1 to 40 times the stoichiometric\n"
        "ratio; values and FIRST:LAST:COUNT ranges in logarithmic\n"
        "steps",
    .column = "of",
    .example = "4,6,8 or 2:32:5"};
inline constexpr OptionEntry kRminEntry{
    .id = kRminOption,
    .name = "rmin",
    .type = ValueType::real,
    .value = "R",
    .default_text = "0.5",
    .lowest = engine::kOfMinFactor,
    .highest = 1.0,
    .range = "{lo} <= rmin <= {hi}",
    .help =
        "or the grid of the program's sweep: r = O/F over the\n"
        "stoichiometric O/F, npmin points from rmin ({lo} to {hi};\n"
        "{default}), r = 1, npmax points up to rmax"};
inline constexpr OptionEntry kRmaxEntry{.id = kRmaxOption,
                                      .name = "rmax",
                                      .type = ValueType::real,
                                      .value = "R",
                                      .default_text = "2",
                                      .lowest = 1.0,
                                      .highest = engine::kOfMaxFactor,
                                      .range = "{lo} <= rmax <= {hi}",
                                      .help = "the grid's highest r, {lo} to {hi} ({default})"};
inline constexpr OptionEntry kNpminEntry{.id = kNpminOption,
                                       .name = "npmin",
                                       .type = ValueType::count,
                                       .value = "N",
                                       .default_text = "10",
                                       .lowest = 0,
                                       .highest = kMaxInnerPoints,
                                       .range = "{lo} to {hi}, npmin + npmax at most {hi}",
                                       .help = "the grid's points below r = 1 ({default})"};
inline constexpr OptionEntry kNpmaxEntry{
    .id = kNpmaxOption,
    .name = "npmax",
    .type = ValueType::count,
    .value = "N",
    .default_text = "20",
    .lowest = 0,
    .highest = kMaxInnerPoints,
    .range = "{lo} to {hi}, npmin + npmax at most {hi}",
    .help =
        "the grid's points above r = 1 ({default}); npmin + npmax\n"
        "at most {hi}"};
inline constexpr OptionEntry kReactantsEntry{
    .id = kReactantsOption,
    .name = "reactants",
    .type = ValueType::word,
    .value = "SET",
    .default_text = "liquid",
    .help = "liquid (NASA Glenn enthalpies), gas, or custom ({default})",
    .column = "set",
    .choices = "liquid,gas,custom"};
inline constexpr OptionEntry kTReactantsEntry{
    .id = kTReactantsOption,
    .name = "t-reactants",
    .type = ValueType::real,
    .value = "K",
    .default_text = "298.15",
    .lowest = engine::kTMinK,
    .highest = engine::kTMaxK,
    .range = "{lo} to {hi} K",
    .help = "temperature of the gas reactants, {lo} to {hi} ({default})"};
inline constexpr OptionEntry kHFuelEntry{.id = kHFuelOption,
                                       .name = "h-fuel",
                                       .type = ValueType::real,
                                       .value = "J",
                                       .help = "enthalpy of H2 [J/mol] of the custom set"};
inline constexpr OptionEntry kHOxidEntry{.id = kHOxidOption,
                                       .name = "h-oxid",
                                       .type = ValueType::real,
                                       .value = "J",
                                       .help = "enthalpy of O2 [J/mol] of the custom set"};
inline constexpr OptionEntry kThermoEntry{
    .id = kThermoOption,
    .name = "thermo",
    .type = ValueType::file,
    .value = "FILE",
    .help = "NASA 9-coefficient records instead of the built-in ones"};
inline constexpr OptionEntry kHelpEntry{
    .id = kHelpOption, .name = "help", .short_name = 'h', .help = "display this help and exit"};

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

  std::size_t size() const { return static_cast<std::size_t>(npmin) + npmax + 3; }
};

// Takes --rmin, --rmax, --npmin or --npmax into grid; false for any other
// option.
bool take_grid_option(const OptionEntry& entry, const OptionValue& value, OfGrid& grid);
// The sum of the grid's counts (each count's range is the table's).
void check_grid(const OfGrid& grid);

// The O/F ratios of the grid for a stoichiometric ratio ofst, computed as the
// program's sweep computes its points.
std::vector<double> grid_of_values(const OfGrid& grid, double ofst);

// "OPTION: V is out of range (RANGE)" unless low <= v <= high.
void check_range(const std::string& option, double v, double low, double high,
                 const std::string& range);
void check_list(const std::string& option, const std::vector<double>& values, double low,
                double high, const std::string& range);

// The rows a run writes: refused beyond kMaxRows, naming the cap.
void check_rows(double rows);

// The --help line of the cap of rows.
std::string rows_cap_help();

}  // namespace zuna
