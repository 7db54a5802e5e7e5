// The console program's command line: GNU-style options, read by
// getopt_long. Without options the program is the interactive session;
// --batch makes one calculation per pressure from options alone.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/sweep.h"

namespace zuna {

// What a batch run does.
struct BatchSettings {
  // The run parameters, with the parameter dialog's defaults; ptot is
  // replaced by each pressure of the list in turn.
  RunParameters parameters = dialog_default_parameters();
  std::vector<double> pressures = {1.0};  // [atm], one calculation each, in order
  std::string data_file = "zuna.dat";
  bool data_given = false;  // --data was given: the file is not looked for elsewhere
  // One set of report and plot files per pressure ("saida_1", "tad_1.dat",
  // ...) rather than the files of the last calculation.
  bool suffix = false;
  std::optional<std::string> csv_file;   // "-" for standard output
  std::optional<std::string> json_file;  // "-" for standard output
  // The equilibrium engine's flame beside each point of the CSV and JSON.
  bool compare_engine = false;
};

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

// A list of pressures [atm]: values and ranges separated by commas, where a
// range FIRST:LAST:COUNT is COUNT pressures from FIRST to LAST in equal
// logarithmic steps (1:100:3 is 1, 10, 100). Answers nothing when the text
// does not read, or when it would make more than kMaxCalculations pressures
// (then *too_many is set, before the list is made); the values are not
// range-checked here.
std::optional<std::vector<double>> parse_pressure_list(std::string_view text,
                                                       bool* too_many = nullptr);

}  // namespace zuna
