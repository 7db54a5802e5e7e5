#include "host/console/command-options.h"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>
#include <system_error>

#include "host/console/command-line.h"

namespace zuna {

std::string shortest_text(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

double real_value(const std::string& option, std::string_view text) {
  std::string_view s = text;
  if (!s.empty() && s.front() == '+') {
    s.remove_prefix(1);
  }
  double v = 0.0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) {
    throw UsageError{option + ": '" + std::string(text) + "' is not a number"};
  }
  return v;
}

std::int32_t count_value(const std::string& option, std::string_view text) {
  std::int32_t v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) {
    throw UsageError{option + ": '" + std::string(text) + "' is not a whole number"};
  }
  return v;
}

std::vector<double> list_value(const std::string& option, std::string_view text,
                               const char* example) {
  std::optional<std::vector<double>> list = parse_pressure_list(text);
  if (!list) {
    throw UsageError{option + ": '" + std::string(text) + "' is not a list of values (like " +
                     example + ")"};
  }
  return std::move(*list);
}

std::string english_number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

std::string option_range_text(const ParameterDescriptor& d, const ParameterRange& range) {
  return fill_placeholders(d.option.range, {{"lo", english_number(range.lowest)},
                                            {"hi", english_number(range.highest)}});
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

engine::ReactantSet reactant_set(std::string_view text) {
  if (text == "liquid") {
    return engine::ReactantSet::liquid;
  }
  if (text == "gas") {
    return engine::ReactantSet::gas;
  }
  if (text == "custom") {
    return engine::ReactantSet::custom;
  }
  throw UsageError{"--reactants: '" + std::string(text) + "' is not one of liquid, gas, custom"};
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

bool read_grid_option(const std::string& option, std::string_view text, OfGrid& grid) {
  if (option == "--rmin") {
    grid.rmin = real_value(option, text);
  } else if (option == "--rmax") {
    grid.rmax = real_value(option, text);
  } else if (option == "--npmin") {
    grid.npmin = count_value(option, text);
  } else if (option == "--npmax") {
    grid.npmax = count_value(option, text);
  } else {
    return false;
  }
  return true;
}

void check_grid(const OfGrid& grid) {
  // The point counts of the program's sweep, with its limits and words.
  const ParameterDescriptor& npmin = parameter_descriptor(ParameterField::npmin);
  const ParameterRange& each = npmin.range;
  const std::string counts = option_range_text(npmin, each);
  check_range("--rmin", grid.rmin, engine::kOfMinFactor, 1.0, "0.1 <= rmin <= 1");
  check_range("--rmax", grid.rmax, 1.0, engine::kOfMaxFactor, "1 <= rmax <= 40");
  check_range("--npmin", grid.npmin, each.lowest, each.highest, counts);
  check_range("--npmax", grid.npmax, each.lowest, each.highest - grid.npmin, counts);
}

// As app/sweep.cpp: the rich side from ofmin in npmin + 1 equal steps that
// stop short of ofst, ofst itself, the lean side in npmax + 1 equal steps
// whose last is ofmax.
std::vector<double> grid_of_values(const OfGrid& grid, double ofst) {
  std::vector<double> of;
  of.reserve(static_cast<std::size_t>(grid.npmin + grid.npmax + 3));
  const double ofmin = grid.rmin * ofst;
  double dof = (ofst - ofmin) / static_cast<double>(grid.npmin + 1);
  for (std::int32_t i = 1; i <= grid.npmin + 1; ++i) {
    of.push_back(static_cast<double>(i - 1) * dof + ofmin);
  }
  of.push_back(ofst);
  const double ofmax = grid.rmax * ofst;
  dof = (ofmax - ofst) / static_cast<double>(grid.npmax + 1);
  // The last step may round past rmax = 40 by an ulp, which the engine
  // would refuse.
  const double highest = engine::kOfMaxFactor * ofst;
  for (std::int32_t k = 1; k <= grid.npmax + 1; ++k) {
    of.push_back(std::min(static_cast<double>(k) * dof + ofst, highest));
  }
  return of;
}

std::string option_name(const option* options, int code) {
  for (const option* o = options; o->name != nullptr; ++o) {
    if (o->val == code) {
      return std::string("--") + o->name;
    }
  }
  return std::string("-") + static_cast<char>(code);
}

std::string getopt_error_text(int code, char** argv) {
  if (code == ':') {
    return std::string("option '") + argv[optind - 1] + "' requires a value";
  }
  const std::string option = argv[optind - 1];
  if (option.rfind("--", 0) == 0) {
    const std::string name = option.substr(0, option.find('='));
    return optopt != 0 ? "option '" + name + "' takes no value"
                       : "unrecognized option '" + name + "'";
  }
  return std::string("invalid option -- '") + static_cast<char>(optopt) + "'";
}

}  // namespace zuna
