// What a batch run does: the run parameters, the pressures and the files.
// Filled by the console program from its command line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "inputs/run-parameters.h"

namespace zuna {

struct BatchSettings {
  // The run parameters, with the parameter dialog's defaults; ptot is
  // replaced by each pressure of the list in turn.
  RunParameters parameters = dialog_default_parameters();
  std::vector<double> pressures = {1.0};  // [atm], one calculation each, in order
  std::string data_file = "zuna.dat";
  bool data_given = false;  // the data file was named: it is not looked for elsewhere
  // One set of report and plot files per pressure ("saida_1", "tad_1.dat",
  // ...) rather than the files of the last calculation.
  bool suffix = false;
  std::optional<std::string> csv_file;   // "-" for standard output
  std::optional<std::string> json_file;  // "-" for standard output
  // The equilibrium engine's flame beside each point of the CSV and JSON.
  bool compare_engine = false;
};

}  // namespace zuna
