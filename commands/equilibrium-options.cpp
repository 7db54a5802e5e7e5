#include "commands/equilibrium-options.h"

#include <algorithm>
#include <string_view>
#include <system_error>

namespace zuna {
namespace {

// The options of this command beyond command-options.h and mixture-options.h.
enum EquilibriumOptionId {
  kEnthalpyOption = 300,
  kEnergyOption,
  kMassFractionsOption,
  kTraceOption,
};

constexpr char kPressureHelp[] =
    "pressures, {lo} to {hi} atm ({default}); values and\n"
    "FIRST:LAST:COUNT ranges in logarithmic steps, each value\n"
    "or range end in atm or with its unit (20bar, 1000psia,\n"
    "6.9MPa: Pa, kPa, MPa, bar, atm, psia, mmHg, torr); not uv";

const OptionEntry kOptions[] = {
    {.help = "Problem:"},
    {.id = kProblemOption,
     .name = "problem",
     .type = ValueType::word,
     .value = "P",
     .default_text = "hp",
     .help = "tp, hp, sp, tv, uv or sv: what is held fixed ({default})",
     .column = "problem",
     .choices = "tp,hp,sp,tv,uv,sv"},
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
     .help = "temperatures [K] of tp and tv, {lo} to {hi}, the same syntax",
     .column = "T_K",
     .example = "1000,2000 or 1000:4000:4"},
    {.id = kEntropyOption,
     .name = "entropy",
     .type = ValueType::real,
     .value = "S",
     .help = "entropy of sp and sv [kJ/(kg K)]",
     .column = "S_kJ_kgK"},
    {.id = kEnthalpyOption,
     .name = "enthalpy",
     .type = ValueType::real,
     .value = "H",
     .help = "hp: the enthalpy [kJ/kg] instead of the reactants'",
     .column = "H_kJ_kg"},
    {.id = kEnergyOption,
     .name = "energy",
     .type = ValueType::real,
     .value = "U",
     .help = "uv: the internal energy [kJ/kg] instead of the reactants'",
     .column = "U_kJ_kg"},
    {.id = kRhoOption,
     .name = "rho",
     .type = ValueType::list,
     .value = "LIST",
     .lowest = 1e-300,
     .highest = 1e300,
     .range = "above 0 kg/m3",
     .help = "tv, uv, sv: density of the mixture [kg/m3], the same syntax",
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
    kOfEntry,
    kRminEntry,
    kRmaxEntry,
    kNpminEntry,
    kNpmaxEntry,
    {.help = "Reactants and data:"},
    kReactantsEntry,
    kTReactantsEntry,
    kHFuelEntry,
    kHOxidEntry,
    {.help = "Named reactants (the general solver; no ions):"},
    kFuelEntry,
    kOxidantEntry,
    kDiluentEntry,
    kByEntry,
    kFuelPctEntry,
    kPhiEntry,
    kREqEntry,
    kEnthalpyOfEntry,
    {.help = "Products (every species of the data made of the reactants' elements):"},
    kOnlyEntry,
    kOmitEntry,
    {.id = kMassFractionsOption,
     .name = "mass-fractions",
     .help = "add a y_NAME column per product"},
    {.id = kTraceOption,
     .name = "trace",
     .type = ValueType::real,
     .value = "X",
     .default_text = "5e-06",
     .lowest = 0.0,
     .highest = 1.0,
     .range = "{lo} to {hi}",
     .help = "the readable table shows the products whose mole fraction\n"
             "reaches X somewhere ({default}); CSV and JSON have all"},
    {.help = "Data:"},
    kThermoEntry,
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
    kHelpEntry,
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
  bool enthalpy = false, energy = false, trace = false;
  std::string grid_option;  // the first grid option given
};

void take_option(const OptionEntry& entry, OptionValue&& v, EquilibriumCommandLine& c, Given& given) {
  EquilibriumSettings& s = c.settings;
  if (take_mixture_option(entry, v, s.mixture)) {
    return;
  }
  if (take_grid_option(entry, v, s.grid)) {
    if (!given.grid) {
      given.grid_option = std::string("--") + entry.name;
    }
    given.grid = true;
    return;
  }
  switch (entry.id) {
    case kHelpOption: c.help = true; break;
    case kProblemOption:
      s.mode = v.text == "tp"   ? engine::Mode::TP
               : v.text == "sp" ? engine::Mode::SP
               : v.text == "uv" ? engine::Mode::UV
                                : engine::Mode::HP;
      s.problem = v.text == "tp"   ? engine::SetProblem::tp
                  : v.text == "sp" ? engine::SetProblem::sp
                  : v.text == "tv" ? engine::SetProblem::tv
                  : v.text == "uv" ? engine::SetProblem::uv
                  : v.text == "sv" ? engine::SetProblem::sv
                                   : engine::SetProblem::hp;
      break;
    case kEnthalpyOption:
      s.h_kJ_kg = v.real;
      given.enthalpy = true;
      break;
    case kEnergyOption:
      s.u_kJ_kg = v.real;
      given.energy = true;
      break;
    case kMassFractionsOption: s.mass_fractions = true; break;
    case kTraceOption:
      s.trace = v.real;
      given.trace = true;
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
          entry.id == kThermoOption ? ThermoSource::nasa9_file : ThermoSource::data7_file;
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

// The checks of the general solver's problems and reactants.
void check_general_settings(EquilibriumSettings& s, const Given& g) {
  using engine::SetProblem;
  const SetProblem p = s.problem;
  const bool volume = p == SetProblem::tv || p == SetProblem::uv || p == SetProblem::sv;
  const char* name = problem_name(p);
  if (s.thermo == ThermoSource::data7_file) {
    throw UsageError{"--data holds the six gases only: give the products' records with --thermo"};
  }
  if (volume && g.pressure) {
    throw UsageError{std::string("--pressure does not apply to --problem ") + name +
                     ": the pressure is a result"};
  }
  if (g.t0 || g.p0) {
    throw UsageError{std::string(g.t0 ? "--t0" : "--p0") +
                     " applies only to the six gases' uv: give --rho"};
  }
  only_with(g.temperature && p != SetProblem::tp && p != SetProblem::tv, kTemperatureOption,
            "with --problem tp or tv");
  only_with(g.entropy && p != SetProblem::sp && p != SetProblem::sv, kEntropyOption,
            "with --problem sp or sv");
  only_with(g.rho && !volume, kRhoOption, "with --problem tv, uv or sv");
  only_with(g.enthalpy && p != SetProblem::hp, kEnthalpyOption, "with --problem hp");
  only_with(g.energy && p != SetProblem::uv, kEnergyOption, "with --problem uv");
  if ((p == SetProblem::tp || p == SetProblem::tv) && !g.temperature) {
    throw UsageError{std::string("--problem ") + name + " needs --temperature"};
  }
  if ((p == SetProblem::sp || p == SetProblem::sv) && !g.entropy) {
    throw UsageError{std::string("--problem ") + name + " needs --entropy"};
  }
  if (volume && !g.rho) {
    throw UsageError{std::string("--problem ") + name + " needs --rho"};
  }
  const MixtureOptions& m = s.mixture;
  if (m.named()) {
    const char* preset = g.reactant_set ? "--reactants"
                         : g.t_reactants ? "--t-reactants"
                         : g.h_fuel      ? "--h-fuel"
                         : g.h_oxid      ? "--h-oxid"
                         : g.grid        ? "a grid option"
                                         : nullptr;
    if (preset != nullptr) {
      throw UsageError{std::string(preset == std::string("a grid option") ? g.grid_option.c_str()
                                                                         : preset) +
                       " applies only to the presets, not with --fuel, --oxidant or --diluent"};
    }
  } else {
    only_with(g.t_reactants && s.reactants.set != engine::ReactantSet::gas, kTReactantsOption,
              "with --reactants gas");
    only_with(g.h_fuel && s.reactants.set != engine::ReactantSet::custom, kHFuelOption,
              "with --reactants custom");
    only_with(g.h_oxid && s.reactants.set != engine::ReactantSet::custom, kHOxidOption,
              "with --reactants custom");
    if (g.of && g.grid) {
      throw UsageError{"--of cannot be combined with " + g.grid_option};
    }
    check_grid(s.grid);
  }
  std::size_t ratios = 1;
  if (m.named()) {
    ratios = mixture_count(m);
  } else {
    ratios = s.of ? s.of->size() : s.grid.size();
  }
  const double first = volume ? static_cast<double>(s.densities_kg_m3.size())
                              : static_cast<double>(s.pressures_atm.size());
  const double second = (p == SetProblem::tp || p == SetProblem::tv)
                            ? static_cast<double>(s.temperatures_K.size())
                            : 1.0;
  check_rows(first * second * static_cast<double>(ratios));
}

// The checks between options; each value's range is checked as it is read.
void check_settings(EquilibriumSettings& s, const Given& g) {
  MixtureOptions& mix = s.mixture;
  if (g.of && mix.ratio_option != 0) {
    const OptionEntry& other = table().entry(mix.ratio_option);
    throw UsageError{std::string("--of cannot be combined with --") + other.name};
  }
  if (!mix.named()) {
    const char* alone = mix.ratio_option != 0 ? table().entry(mix.ratio_option).name
                        : mix.by_given        ? "by"
                        : !mix.enthalpies.empty() ? "enthalpy-of"
                                                : nullptr;
    if (alone != nullptr) {
      throw UsageError{std::string("--") + alone +
                       " applies only with --fuel, --oxidant or --diluent"};
    }
  } else if (g.of) {
    mix.ratio_option = kMixtureOfOption;
    mix.ratios = *s.of;
  }
  finish_mixture_options(mix, nullptr, nullptr);
  s.general = s.mixture.named() || s.mixture.restricted() ||
              s.problem == engine::SetProblem::tv || s.problem == engine::SetProblem::sv ||
              g.enthalpy || g.energy || s.mass_fractions || g.trace;
  if (s.general) {
    check_general_settings(s, g);
    return;
  }
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

std::span<const OptionEntry> equilibrium_options() { return kOptions; }

EquilibriumCommandLine parse_equilibrium_options(int argc, char** argv) {
  EquilibriumCommandLine c;
  Given given;
  try {
    table().parse(argc, argv, [&](const OptionEntry& entry, OptionValue&& v) {
      take_option(entry, std::move(v), c, given);
    });
    if (!c.help) {
      check_settings(c.settings, given);
    }
  } catch (const UsageError& e) {
    c.error = e.message;
  }
  return c;
}

const char* problem_name(engine::SetProblem problem) {
  switch (problem) {
    case engine::SetProblem::tp: return "tp";
    case engine::SetProblem::hp: return "hp";
    case engine::SetProblem::sp: return "sp";
    case engine::SetProblem::tv: return "tv";
    case engine::SetProblem::uv: return "uv";
    case engine::SetProblem::sv: return "sv";
  }
  return "";
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
         "of O/F mass ratios at each pressure (or temperature, or density). Named\n"
         "reactants, --only/--omit, tv, sv, --enthalpy, --energy, --mass-fractions and\n"
         "--trace use the general solver with every product of the data made of the\n"
         "reactants' elements, gases and condensed (no ions).\n"
         "\n" +
         table().help() +
         "\n"
         "Rows go by pressure (temperature, density), then O/F in the order given. A point\n"
         "the engine could not compute has empty values and its flags set; see zuna4c(1).\n"
         "The preset liquid keeps its -9016/-12984 J/mol; H2(L) and O2(L) named with\n"
         "--fuel and --oxidant take the database's -9012/-12979 J/mol.\n" +
         rows_cap_help() +
         "Exit status: 0 success, 1 run-time error (data file, output), 2 usage error.\n";
}

}  // namespace zuna
