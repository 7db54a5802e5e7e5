// The options of `zuna4c rocket`: chamber pressures, O/F ratios, exits,
// expansion models, reactants and data, and where the results go. Read
// through the command's option table; everything that does not need the
// thermodynamic data is checked here, the rest by check_rocket_problems
// once the data are read.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "commands/command-options.h"
#include "engine/engine.h"
#include "rocket/rocket.h"

namespace zuna {

struct RocketSettings {
  std::vector<double> pc_atm = {68.046};
  std::optional<std::vector<double>> of;  // --of; otherwise the grid
  OfGrid grid;
  std::vector<double> pi_p, ae_at, sub_ae_at;
  // A finite-area combustor: its contraction ratios or its mass fluxes, one
  // run each (empty both: an infinite-area combustor).
  std::vector<double> contraction, mass_flux;
  std::vector<rocket::Model> models = {rocket::Model::equilibrium};
  engine::Reactants reactants;  // defaults: liquid, the NASA Glenn enthalpies
  std::string thermo_file;      // empty: the built-in records
  bool best = false;
  bool english = false;  // --units=english: the readable table in English units
  std::optional<std::string> csv_file;   // "-" for standard output
  std::optional<std::string> json_file;  // "-" for standard output
};

struct RocketCommandLine {
  bool help = false;
  std::string error;  // a usage error: one line naming the option
  RocketSettings settings;
};

// argv[0] is the subcommand's name; argv is reordered as getopt_long does.
// Never prints.
RocketCommandLine parse_rocket_options(int argc, char** argv);

// The combustors of a run: each contraction ratio or each mass flux given,
// else the one infinite-area combustor.
struct Combustor {
  double contraction = 0.0;
  double mass_flux = 0.0;
};
std::vector<Combustor> combustors(const RocketSettings& s);

// The problem of chamber pressure `pc_atm`, `model` and `combustor`; its
// O/F is set by the caller.
rocket::RocketInput rocket_problem(const RocketSettings& s, double pc_atm,
                                   rocket::Model model = rocket::Model::equilibrium,
                                   Combustor combustor = {});

// The checks that need the data: the O/F ratios and the exits' pressure
// against each chamber pressure, the reactants; the library's own check of
// every problem last. Throws UsageError.
void check_rocket_problems(const RocketSettings& s, const engine::ThermoData& data,
                           const std::vector<double>& of);

// The option table of the command.
std::span<const OptionEntry> rocket_options();

const char* model_name(rocket::Model m);

std::string rocket_usage_text();

}  // namespace zuna
