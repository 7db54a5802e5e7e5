// The options of `zuna4c equilibrium`: what to hold fixed, over which
// pressures, temperatures or densities and O/F ratios, with which reactants
// and data, and where the results go. Read by getopt_long; everything that
// does not need the thermodynamic data is checked here, so that a usage
// error is told before any file is read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace zuna {

enum class ThermoSource { builtin, nasa9_file, data7_file };

// The O/F grid of the program's sweep: npmin points from rmin to just below
// the stoichiometric ratio, the stoichiometric ratio, npmax points from just
// above it to rmax (r = O/F over the stoichiometric O/F).
struct OfGrid {
  double rmin = 0.5, rmax = 2.0;
  std::int32_t npmin = 10, npmax = 20;
};

struct EquilibriumSettings {
  engine::Mode mode = engine::Mode::HP;
  std::vector<double> pressures_atm = {1.0};  // TP, HP, SP
  std::vector<double> temperatures_K;         // TP
  double s_kJ_kgK = 0.0;                      // SP
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

// The O/F ratios of the grid for a stoichiometric ratio ofst, computed as the
// program's sweep computes its points.
std::vector<double> grid_of_values(const OfGrid& grid, double ofst);

// "tp", "hp", "sp", "uv"; "liquid", "gas", "custom".
const char* problem_name(engine::Mode mode);
const char* reactant_set_name(engine::ReactantState state);

std::string equilibrium_usage_text();

}  // namespace zuna
