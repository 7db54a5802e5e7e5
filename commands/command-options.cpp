#include "commands/command-options.h"

#include <algorithm>
#include <cstdio>

#include "thermo/reference.h"

namespace zuna {

engine::ReactantSet reactant_set(std::string_view text) {
  if (text == "gas") {
    return engine::ReactantSet::gas;
  }
  if (text == "custom") {
    return engine::ReactantSet::custom;
  }
  return engine::ReactantSet::liquid;  // the table lets no other word through
}

const char* reactant_set_name(engine::ReactantSet state) {
  switch (state) {
    case engine::ReactantSet::liquid: return "liquid";
    case engine::ReactantSet::gas: return "gas";
    case engine::ReactantSet::custom: return "custom";
  }
  return "";
}

OfGrid::OfGrid() {
  const RunParameters defaults = dialog_default_parameters();
  rmin = defaults.rmin, rmax = defaults.rmax;
  npmin = defaults.npmin, npmax = defaults.npmax;
}

bool take_grid_option(const OptionEntry& entry, const OptionValue& value, OfGrid& grid) {
  switch (entry.id) {
    case kRminOption: grid.rmin = value.real; return true;
    case kRmaxOption: grid.rmax = value.real; return true;
    case kNpminOption: grid.npmin = value.count; return true;
    case kNpmaxOption: grid.npmax = value.count; return true;
    default: return false;
  }
}

void check_grid(const OfGrid& grid) {
  const double highest = kNpmaxEntry.highest - grid.npmin;
  if (grid.npmax > highest) {
    throw UsageError{"--npmin + --npmax: " + std::to_string(grid.npmin) + " + " +
                     std::to_string(grid.npmax) + " = " +
                     std::to_string(std::int64_t{grid.npmin} + grid.npmax) +
                     " points is more than " + english_number(kNpmaxEntry.highest)};
  }
}

// As app/sweep.cpp: the rich side from ofmin in npmin + 1 equal steps that
// stop short of ofst, ofst itself, the lean side in npmax + 1 equal steps
// whose last is ofmax.
std::vector<double> grid_of_values(const OfGrid& grid, double ofst) {
  std::vector<double> of;
  of.reserve(grid.size());
  const SweepGrid g{grid.npmin, grid.npmax, grid.rmin, grid.rmax};
  // The last step may round past rmax = 40 by an ulp, which the engine
  // would refuse.
  const double highest = engine::kOfMaxFactor * ofst;
  for (std::int32_t i = 1; i <= grid.npmin + grid.npmax + 3; ++i) {
    of.push_back(std::min(sweep_grid_of(i, g, ofst), highest));
  }
  return of;
}

void check_range(const std::string& option, double v, double low, double high,
                 const std::string& range) {
  if (!(v >= low && v <= high)) {
    throw UsageError{option + ": " + shortest_text(v) + " is out of range (" + range + ")"};
  }
}

void check_list(const std::string& option, const std::vector<double>& values, double low,
                double high, const std::string& range) {
  for (double v : values) {
    check_range(option, v, low, high, range);
  }
}

void check_rows(double rows) {
  if (rows > kMaxRows) {
    throw UsageError{"the lists make " + limit_number(rows) + " rows, more than " +
                     limit_number(kMaxRows) + " in one run"};
  }
}

std::string rows_cap_help() {
  return "A list holds " + std::to_string(kMaxListValues) + " values at most (a range " +
         std::to_string(kMaxRangeCount) + "); a run writes\n" + limit_number(kMaxRows) +
         " rows at most.\n";
}

}  // namespace zuna
