// The options of `zuna4c detonation` and `zuna4c shock`: the unburned gas
// (--t1, --p1 and the mixture of named reactants, mixture-options.h), the
// shock's speed and kind, the models, transport and the results files.
// Read through each command's option table; everything that does not need
// the species data is checked here, before any file is read.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "commands/mixture-options.h"
#include "waves/waves.h"

namespace zuna {

enum WaveOptionId : int {
  kT1Option = 200,
  kP1Option,
  kU1Option,
  kMach1Option,
  kIncidentOption,
  kReflectedOption,
  kShockModelOption,
  kTransportOption,
};

struct WaveSettings {
  std::vector<double> t1_K = {298.15};
  std::vector<double> p1_atm = {1.0};
  MixtureOptions mixture;
  bool transport = false;
  // shock only
  std::vector<double> speeds;  // u1 [m/s] or Mach numbers
  bool by_mach = false;
  bool incident = true, reflected = false;
  std::vector<waves::ShockModel> models = {waves::ShockModel::equilibrium};

  std::optional<std::string> csv_file;   // "-" for standard output
  std::optional<std::string> json_file;  // "-" for standard output
};

struct WaveCommandLine {
  bool help = false;
  std::string error;  // a usage error: one line naming the option
  WaveSettings settings;
};

// argv[0] is the subcommand's name. Never prints.
WaveCommandLine parse_detonation_options(int argc, char** argv);
WaveCommandLine parse_shock_options(int argc, char** argv);

std::span<const OptionEntry> detonation_options();
std::span<const OptionEntry> shock_options();

std::string detonation_usage_text();
std::string shock_usage_text();

const char* shock_model_name(waves::ShockModel model);  // "equilibrium", "frozen"

}  // namespace zuna
