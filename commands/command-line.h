// The console program's command line: GNU-style options, read by
// getopt_long. Without options the program is the interactive session;
// --batch makes one calculation per pressure from options alone. The run
// parameters' options, their checks and their lines of --help come from the
// table of the run parameters (inputs/run-parameters.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/batch-settings.h"

namespace zuna {

enum class CommandAction { interactive, batch, help, version, usage_error };

struct CommandLine {
  CommandAction action = CommandAction::interactive;
  std::string error;                  // usage_error: one line, without the program's name
  std::optional<std::string> folder;  // --dir: the working folder, entered first
  BatchSettings batch;                // data_file also serves the interactive session
};

// The most calculations one batch run makes (pressures in all the lists of
// --pressure): each is a sweep of its own, and a list beyond this is a slip.
inline constexpr std::size_t kMaxCalculations = 100000;

// Reads the options. An operand is a usage error: the subcommands
// (host/console/main.cpp) are told apart before this. argv is reordered, as
// getopt_long does. Never prints and never exits: the caller does both.
CommandLine parse_command_line(int argc, char** argv);

// The --help text, for a program called `program`.
std::string usage_text(std::string_view program);

// The first problem of check_run_parameters, the one the parameter dialog
// would refuse, as one line naming the option, the value and the range;
// nothing when the parameters are accepted.
std::optional<std::string> parameter_problem_text(const RunParameters& p);

// A list of pressures [atm]: values and ranges separated by commas, where a
// range FIRST:LAST:COUNT is COUNT pressures from FIRST to LAST in equal
// logarithmic steps (1:100:3 is 1, 10, 100). Answers nothing when the text
// does not read, or when it would make more than kMaxCalculations pressures
// (then *too_many is set, before the list is made); the values are not
// range-checked here.
std::optional<std::vector<double>> parse_pressure_list(std::string_view text,
                                                       bool* too_many = nullptr);

}  // namespace zuna
