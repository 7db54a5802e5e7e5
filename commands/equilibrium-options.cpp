#include "commands/equilibrium-options.h"

#include <algorithm>
#include <string_view>
#include <system_error>

namespace zuna {
namespace {

constexpr char kPressureHelp[] =
    "pressures, {lo} to {hi} atm ({default}); values and\n"
    "FIRST:LAST:COUNT ranges in logarithmic steps, each value\n"
    "or range end in atm or with its unit (20bar, 1000psia,\n"
    "6.9MPa: Pa, kPa, MPa, bar, atm, psia, mmHg, torr); not uv";

const OptionSpec kOptions[] = {
    {.help = "Problem:"},
    {.id = kProblemOption,
     .name = "problem",
     .type = ValueType::word,
     .value = "P",
     .default_text = "hp",
     .help = "tp, hp, sp or uv: what is held fixed ({default})",
     .column = "problem",
     .choices = "tp,hp,sp,uv"},
    {.id = kPressureOption,
     .name = "pressure",
     .short_name = 'p',
     .type = ValueType::pressure_list,
     .value = "LIST",
     .default_text = "1",
     .lowest = engine::kPMinAtm,
     .highest = engine::kPMaxAtm,
     .help = kPressureHelp,
     .column = "p_atm",
     .example = "1,10,100 or 1:100:3"},
    {.id = kTemperatureOption,
     .name = "temperature",
     .type = ValueType::list,
     .value = "LIST",
     .lowest = engine::kTMinK,
     .highest = engine::kTMaxK,
     .range = "{lo} to {hi} K",
     .help = "temperatures [K] of tp, {lo} to {hi}, the same syntax",
     .column = "T_K",
     .example = "1000,2000 or 1000:4000:4"},
    {.id = kEntropyOption,
     .name = "entropy",
     .type = ValueType::real,
     .value = "S",
     .help = "entropy of sp [kJ/(kg K)]",
     .column = "S_kJ_kgK"},
    {.id = kRhoOption,
     .name = "rho",
     .type = ValueType::list,
     .value = "LIST",
     .lowest = 1e-300,
     .highest = 1e300,
     .range = "above 0 kg/m3",
     .help = "uv: density of the mixture [kg/m3], the same syntax",
     .column = "rho_kg_m3",
     .example = "0.1,1 or 1e-3:1:4"},
    {.id = kT0Option,
     .name = "t0",
     .type = ValueType::real,
     .value = "K",
     .lowest = engine::kTMinK,
     .highest = engine::kTMaxK,
     .range = "{lo} to {hi} K",
     .help = "uv: the reactants are gases at T0 and p0, which give the\n"
             "density; U0 = H0 - n R T0; T0 {lo} to {hi}"},
    {.id = kP0Option,
     .name = "p0",
     .type = ValueType::pressure,
     .value = "P",
     .lowest = engine::kPMinAtm,
     .highest = engine::kPMaxAtm,
     .help = "uv: p0, {lo} to {hi} atm, or with its unit"},
    {.help = "O/F ratios (kg O2 per kg H2), 0.1 to 40 times the stoichiometric ratio:"},
    kOfSpec,
    kRminSpec,
    kRmaxSpec,
    kNpminSpec,
    kNpmaxSpec,
    {.help = "Reactants and data:"},
    kReactantsSpec,
    kTReactantsSpec,
    kHFuelSpec,
    kHOxidSpec,
    kThermoSpec,
    {.id = kDataOption,
     .name = "data",
     .type = ValueType::file,
     .value = "FILE",
     .help = "the program's 7-coefficient data file (zuna.dat) instead"},
    {.help = "Results (a readable table on standard output without these):"},
    {.id = kCsvOption,
     .name = "csv",
     .type = ValueType::output,
     .value = "FILE",
     .help = "one row per point as CSV ('-': standard output)"},
    {.id = kJsonOption,
     .name = "json",
     .type = ValueType::output,
     .value = "FILE",
     .help = "the same as JSON, with the SHA-256 of the data ('-': stdout)"},
    kHelpSpec,
};

const OptionTable& table() {
  static const OptionTable the_table(kOptions);
  return the_table;
}

std::string option_name(int id) { return table().option_name(id); }

// What was given, for the checks that relate options to one another.
struct Given {
  bool pressure = false, of = false, grid = false, temperature = false, entropy = false;
  bool t0 = false, p0 = false, rho = false, t_reactants = false, h_fuel = false, h_oxid = false;
  bool reactant_set = false;
  std::string grid_option;  // the first grid option given
};

void take_option(const OptionSpec& spec, OptionValue&& v, EquilibriumCommandLine& c, Given& given) {
  EquilibriumSettings& s = c.settings;
  if (take_grid_option(spec, v, s.grid)) {
    if (!given.grid) {
      given.grid_option = std::string("--") + spec.name;
    }
    given.grid = true;
    return;
  }
  switch (spec.id) {
    case kHelpOption: c.help = true; break;
    case kProblemOption:
      s.mode = v.text == "tp"   ? engine::Mode::TP
               : v.text == "sp" ? engine::Mode::SP
               : v.text == "uv" ? engine::Mode::UV
                                : engine::Mode::HP;
      break;
    case kPressureOption:
      s.pressures_atm = std::move(v.list);
      given.pressure = true;
      break;
    case kOfOption:
      s.of = std::move(v.list);
      given.of = true;
      break;
    case kTemperatureOption:
      s.temperatures_K = std::move(v.list);
      given.temperature = true;
      break;
    case kEntropyOption:
      s.s_kJ_kgK = v.real;
      given.entropy = true;
      break;
    case kT0Option:
      s.T0_K = v.real;
      given.t0 = true;
      break;
    case kP0Option:
      s.p0_atm = v.real;
      given.p0 = true;
      break;
    case kRhoOption:
      s.densities_kg_m3 = std::move(v.list);
      given.rho = true;
      break;
    case kReactantsOption:
      s.reactants.set = reactant_set(v.text);
      given.reactant_set = true;
      break;
    case kTReactantsOption:
      s.reactants.T_K = v.real;
      given.t_reactants = true;
      break;
    case kHFuelOption:
      s.reactants.h_fuel_J_mol = v.real;
      given.h_fuel = true;
      break;
    case kHOxidOption:
      s.reactants.h_oxid_J_mol = v.real;
      given.h_oxid = true;
      break;
    case kThermoOption:
    case kDataOption: {
      const ThermoSource source =
          spec.id == kThermoOption ? ThermoSource::nasa9_file : ThermoSource::data7_file;
      if (s.thermo != ThermoSource::builtin && s.thermo != source) {
        throw UsageError{"--thermo and --data cannot both be given"};
      }
      s.thermo = source;
      s.thermo_file = std::move(v.text);
      break;
    }
    case kCsvOption: s.csv_file = std::move(v.text); break;
    case kJsonOption: s.json_file = std::move(v.text); break;
    default: break;
  }
}

void only_with(bool given, int id, const char* what) {
  if (given) {
    throw UsageError{option_name(id) + " applies only " + what};
  }
}

// The checks between options; each value's range is checked as it is read.
void check_settings(EquilibriumSettings& s, const Given& g) {
  using engine::Mode;
  const Mode m = s.mode;
  if (m == Mode::UV && g.pressure) {
    throw UsageError{"--pressure does not apply to --problem uv: the pressure is a result"};
  }
  only_with(g.temperature && m != Mode::TP, kTemperatureOption, "with --problem tp");
  only_with(g.entropy && m != Mode::SP, kEntropyOption, "with --problem sp");
  only_with(g.rho && m != Mode::UV, kRhoOption, "with --problem uv");
  only_with(g.t0 && m != Mode::UV, kT0Option, "with --problem uv");
  only_with(g.p0 && m != Mode::UV, kP0Option, "with --problem uv");
  if (m == Mode::TP && !g.temperature) {
    throw UsageError{"--problem tp needs --temperature"};
  }
  if (m == Mode::SP && !g.entropy) {
    throw UsageError{"--problem sp needs --entropy"};
  }
  if (m == Mode::UV) {
    if (g.rho && (g.t0 || g.p0)) {
      throw UsageError{"--rho cannot be combined with --t0 and --p0"};
    }
    if (!g.rho && !(g.t0 && g.p0)) {
      throw UsageError{"--problem uv needs --rho, or --t0 and --p0"};
    }
    if (g.t0) {
      // The reactants are the gas mixture at T0.
      if (g.reactant_set && s.reactants.set != engine::ReactantSet::gas) {
        throw UsageError{"--t0 and --p0 give the state of gas reactants: --reactants must be gas"};
      }
      only_with(g.t_reactants, kTReactantsOption, "without --t0 (the gases are at T0)");
      s.reactants.set = engine::ReactantSet::gas;
      s.reactants.T_K = s.T0_K;
      s.initial_gas_state = true;
    }
  }
  if (g.of && g.grid) {
    throw UsageError{"--of cannot be combined with " + g.grid_option};
  }
  if (!s.initial_gas_state) {
    only_with(g.t_reactants && s.reactants.set != engine::ReactantSet::gas, kTReactantsOption,
              "with --reactants gas");
  }
  only_with(g.h_fuel && s.reactants.set != engine::ReactantSet::custom, kHFuelOption,
            "with --reactants custom");
  only_with(g.h_oxid && s.reactants.set != engine::ReactantSet::custom, kHOxidOption,
            "with --reactants custom");
  check_grid(s.grid);
  // The rows: one per O/F at each condition.
  double conditions = 1.0;
  if (m == Mode::UV) {
    conditions = s.initial_gas_state ? 1.0 : static_cast<double>(s.densities_kg_m3.size());
  } else {
    conditions = static_cast<double>(s.pressures_atm.size()) *
                 (m == Mode::TP ? static_cast<double>(s.temperatures_K.size()) : 1.0);
  }
  check_rows(conditions * static_cast<double>(s.of ? s.of->size() : s.grid.size()));
}

}  // namespace

std::span<const OptionSpec> equilibrium_options() { return kOptions; }

EquilibriumCommandLine parse_equilibrium_options(int argc, char** argv) {
  EquilibriumCommandLine c;
  Given given;
  try {
    table().parse(argc, argv, [&](const OptionSpec& spec, OptionValue&& v) {
      take_option(spec, std::move(v), c, given);
    });
    if (!c.help) {
      check_settings(c.settings, given);
    }
  } catch (const UsageError& e) {
    c.error = e.message;
  }
  return c;
}

const char* problem_name(engine::Mode mode) {
  switch (mode) {
    case engine::Mode::TP: return "tp";
    case engine::Mode::HP: return "hp";
    case engine::Mode::SP: return "sp";
    case engine::Mode::UV: return "uv";
  }
  return "";
}

std::string equilibrium_usage_text() {
  return "Usage: zuna4c equilibrium [OPTION]...\n"
         "Chemical equilibrium of the H2/O2 products (H2O, O2, H2, H, O, OH) for a list\n"
         "of O/F mass ratios at each pressure (or temperature, or density).\n"
         "\n" +
         table().help() +
         "\n"
         "Rows go by pressure (temperature, density), then O/F in the order given. A point\n"
         "the engine could not compute has empty values and its flags set; see zuna4c(1).\n" +
         rows_cap_help() +
         "Exit status: 0 success, 1 run-time error (data file, output), 2 usage error.\n";
}

}  // namespace zuna
