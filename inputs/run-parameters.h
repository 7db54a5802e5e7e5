// The run parameters of one calculation as one table: each field once, with
// its default, its accepted range, its control and texts in the parameter
// dialog, its option and help text on the console's command line and its
// column in the batch run's results. The dialog, the checks, the command
// line, --help and the CSV and JSON are made from the table, so that a limit
// or a text is changed in one place.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "thermo/sweep-ranges.h"

namespace zuna {

// The run parameters typed in the parameter dialog.
struct RunParameters {
  std::int32_t npmin = 0;   // points strictly between minimum and stoichiometric O/F
  std::int32_t npmax = 0;   // points strictly between stoichiometric and maximum O/F
  std::int32_t itmaxh = 0;  // iteration cap of the temperature searches
  std::int32_t itmaxn = 0;  // iteration cap of the equilibrium solve
  double rmin = 0.0;        // minimum O/F as a multiple of the stoichiometric O/F
  double rmax = 0.0;        // maximum O/F as a multiple of the stoichiometric O/F
  double ptot = 0.0;        // total pressure [atm]
  double tolh = 0.0;        // tolerance of the temperature searches [K]
  double toln = 0.0;        // tolerance on moles of the equilibrium solve
  double act1 = 0.0, act2 = 0.0, act3 = 0.0, act4 = 0.0;  // 1.0 on, 0.0 off
};

// The fields in the dialog's order: the nine typed values, then the four
// switches of the dissociation reactions.
enum class ParameterField {
  rmin,
  rmax,
  npmin,
  npmax,
  ptot,
  tolh,
  itmaxh,
  toln,
  itmaxn,
  act1,
  act2,
  act3,
  act4
};

enum class ParameterType {
  real,             // a double typed as a text
  integer,          // an int32 typed as a text
  reaction_switch,  // a box of the dialog: 1.0 ticked, 0.0 not; never checked
};

// The texts below may hold the placeholders {lo} and {hi} (the range's ends)
// and, in help texts, {default}; each front end fills them with the numbers
// written in its own way. A '\n' in a help text starts a continuation line.
struct ParameterDescriptor {
  ParameterField field;
  const char* name;  // the member of RunParameters: the CSV column and the JSON key
  ParameterType type;
  double RunParameters::*real = nullptr;           // real fields and switches
  std::int32_t RunParameters::*integer = nullptr;  // integer fields
  const char* default_text = nullptr;  // the dialog's text, which reads as default_value
  double default_value = 0.0;
  ParameterRange range;  // the accepted values (thermo/sweep-ranges.h)

  struct DialogPart {
    int control_id;
    const char* label = nullptr;  // the text beside the field, Windows-1252
    const char* range = nullptr;  // the accepted range in its messages ("de {lo} a {hi}")
  } dialog;

  // zuna4c --batch; no name for the switches, which have options of their own.
  struct OptionPart {
    const char* name = nullptr;   // the long option, without its dashes
    char short_name = 0;          // 0 for none
    const char* value = nullptr;  // the value's name in --help ("R")
    const char* help = nullptr;   // the description in --help
    const char* range = nullptr;  // the accepted range in its messages ("{lo} to {hi}")
    bool list = false;            // takes a list of values, one calculation each
  } option;

  const char* unit = nullptr;  // the CSV column's unit; none for counts and switches
};

inline constexpr std::size_t kRunParameterCount = 13;

// The table, in the order of ParameterField.
extern const std::array<ParameterDescriptor, kRunParameterCount> kRunParameterTable;

inline const ParameterDescriptor& parameter_descriptor(ParameterField f) {
  return kRunParameterTable[static_cast<std::size_t>(f)];
}

// A field's value in `p` as a double (an integer field converted).
double parameter_value(const RunParameters& p, const ParameterDescriptor& d);

// The values the parameter dialog's default texts read as ("0.5d0", "2.0d0",
// "10", "20", "1.0d0", "1.0d-3", "100", "1.0d-10", "200", all four reactions
// on): the batch run's defaults and the grid of the benchmarks and checks.
RunParameters dialog_default_parameters();

enum class ProblemKind {
  out_of_range,  // the field's value is outside its range
  // The point counts do not fit the tables: on npmin when npmin itself is
  // out of its range, otherwise on npmax.
  point_counts,
  // Each count is inside its range and only their sum, at most the range's
  // highest value, is too large: on npmax.
  point_sum,
};

struct ParameterProblem {
  ParameterField field;
  ProblemKind kind;
  ParameterRange range;  // the field's accepted values; for the counts each one's
};

// Domain and count checks, in field order; empty when the parameters can be
// swept. Point counts that do not fit the tables give one problem. The
// switches (1.0 or 0.0) are not checked.
std::vector<ParameterProblem> check_run_parameters(const RunParameters& p);

// `pattern` with each "{name}" of `values` replaced by its text.
std::string fill_placeholders(
    std::string_view pattern,
    std::initializer_list<std::pair<std::string_view, std::string>> values);

}  // namespace zuna
