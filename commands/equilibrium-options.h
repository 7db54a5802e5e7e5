// The options of `zuna4c equilibrium`: what to hold fixed, over which
// pressures, temperatures or densities and O/F ratios, with which reactants
// and data, and where the results go. Read through the command's option
// table; everything that does not need the thermodynamic data is checked
// here, so that a usage error is told before any file is read.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "commands/command-options.h"
#include "commands/mixture-options.h"
#include "commands/results-output.h"
#include "engine/engine.h"
#include "engine/set-solver.h"

namespace zuna {

struct EquilibriumSettings {
  engine::Mode mode = engine::Mode::HP;       // the six gases' engine
  engine::SetProblem problem = engine::SetProblem::hp;
  // The general solver (engine/set-solver.h) with the products of the
  // database: named reactants, a restricted product set, tv or sv, an
  // assigned enthalpy or energy, mass fractions or a trace ask for it.
  bool general = false;
  std::vector<double> pressures_atm = {1.0};  // tp, hp, sp
  std::vector<double> temperatures_K;         // tp, tv
  double s_kJ_kgK = 0.0;                      // sp, sv
  std::optional<double> h_kJ_kg, u_kJ_kg;     // hp, uv: assigned, not the reactants'
  bool mass_fractions = false;
  double trace = 5e-6;  // the readable table's least mole fraction
  MixtureOptions mixture;
  // UV: the initial state, either densities or a gas mixture at T0 and p0.
  std::vector<double> densities_kg_m3;
  double T0_K = 0.0, p0_atm = 0.0;
  bool initial_gas_state = false;  // --t0 and --p0 were given

  std::optional<std::vector<double>> of;  // --of; otherwise the grid
  OfGrid grid;

  engine::Reactants reactants;  // defaults: liquid, the NASA Glenn enthalpies
  ThermoSource thermo = ThermoSource::builtin;
  std::string thermo_file;

  std::optional<std::string> csv_file;   // "-" for standard output
  std::optional<std::string> json_file;  // "-" for standard output
};

struct EquilibriumCommandLine {
  bool help = false;
  std::string error;  // a usage error: one line naming the option
  EquilibriumSettings settings;
};

// argv[0] is the subcommand's name; argv is reordered as getopt_long does.
// Never prints.
EquilibriumCommandLine parse_equilibrium_options(int argc, char** argv);

// The option table of the command.
std::span<const OptionEntry> equilibrium_options();

// "tp", "hp", "sp", "uv"; the general solver's six.
const char* problem_name(engine::Mode mode);
const char* problem_name(engine::SetProblem problem);

std::string equilibrium_usage_text();

}  // namespace zuna
