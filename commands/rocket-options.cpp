#include "commands/rocket-options.h"

#include <utility>

namespace zuna {
namespace {

const OptionEntry kOptions[] = {
    {.help = "Chamber and exits:"},
    {.id = kPcOption,
     .name = "pc",
     .type = ValueType::pressure_list,
     .value = "LIST",
     .default_text = "68.046",
     .lowest = rocket::kPcMinAtm,
     .highest = rocket::kPcMaxAtm,
     .help = "chamber pressures, {lo} to {hi} atm ({default}); values\n"
             "and FIRST:LAST:COUNT ranges in logarithmic steps, each\n"
             "value or range end in atm or with its unit (1000psia,\n"
             "20bar: Pa, kPa, MPa, bar, atm, psia, mmHg, torr)",
     .column = "pc_atm",
     .example = "68.046 or 10:1000:3"},
    {.id = kPiPOption,
     .name = "pi-p",
     .type = ValueType::list,
     .value = "LIST",
     .lowest = 1.0,
     .highest = kNoLimit,
     .open_below = true,
     .range = "greater than 1",
     .help = "exits at these pressure ratios Pc/Pe, each above 1 and\n"
             "at most Pc / 1e-06 atm",
     .column = "exit_spec",
     .example = "10,100 or 10:1000:3"},
    {.id = kAeAtOption,
     .name = "ae-at",
     .type = ValueType::list,
     .value = "LIST",
     .lowest = 1.0,
     .highest = 1e300,
     .range = "{lo} to {hi}",
     .help = "exits at these supersonic area ratios Ae/At, each from\n"
             "{lo} to {hi}; 20 exits at most, the two lists together",
     .column = "exit_spec",
     .example = "4,25 or 2:200:5"},
    {.id = kSubAeAtOption,
     .name = "sub-ae-at",
     .type = ValueType::list,
     .value = "LIST",
     .lowest = 1.0,
     .highest = kNoLimit,
     .open_below = true,
     .range = "greater than 1",
     .help = "exits at these subsonic area ratios Ae/At, between the\n"
             "chamber and the throat: each above 1 (at most Ac/At\n"
             "with --contraction); counted with the exits",
     .column = "exit_spec",
     .example = "1.58 or 1.2,2"},
    {.id = kContractionOption,
     .name = "contraction",
     .type = ValueType::list,
     .value = "LIST",
     .lowest = rocket::kContractionMin,
     .highest = rocket::kContractionMax,
     .range = "{lo} to {hi}",
     .help = "a finite-area combustor of these contraction ratios\n"
             "Ac/At, {lo} to {hi}, one run each: the injector at\n"
             "--pc, the combustor's end, then the nozzle",
     .column = "ae_at",
     .example = "1.58 or 1.1:10:4"},
    {.id = kMassFluxOption,
     .name = "mass-flux",
     .type = ValueType::list,
     .value = "LIST",
     .lowest = 0.0,
     .highest = kNoLimit,
     .open_below = true,
     .range = "greater than 0",
     .help = "a finite-area combustor of these mass fluxes mdot/Ac\n"
             "[kg/(s m2)], one run each; a flux too large for any\n"
             "Ac/At above 1 is refused",
     .column = "ae_at",
     .example = "1333.9 or 500:2000:4"},
    {.id = kModelOption,
     .name = "model",
     .type = ValueType::words,
     .value = "LIST",
     .default_text = "equilibrium",
     .help = "equilibrium (shifting), frozen_chamber, frozen_throat\n({default})",
     .column = "model",
     .choices = "equilibrium,frozen_chamber,frozen_throat"},
    {.help = "O/F ratios (kg O2 per kg H2), 0.1 to 40 times the stoichiometric ratio:"},
    kOfEntry,
    kRminEntry,
    kRmaxEntry,
    kNpminEntry,
    kNpmaxEntry,
    {.id = kBestOption,
     .name = "best",
     .help = "also the O/F of the highest Isp and Ivac at each exit"},
    {.help = "Reactants and data:"},
    kReactantsEntry,
    kTReactantsEntry,
    kHFuelEntry,
    kHOxidEntry,
    kThermoEntry,
    {.help = "Results (readable tables on standard output without these):"},
    {.id = kUnitsOption,
     .name = "units",
     .type = ValueType::word,
     .value = "SYSTEM",
     .default_text = "si",
     .help = "the readable table's units: si, or english (psia, degR,\n"
             "lbm/ft3, BTU/lbm, BTU/(lbm degR), ft/s, Isp and Ivac in\n"
             "lbf s/lbm); CSV and JSON keep SI ({default})",
     .choices = "si,english"},
    {.id = kCsvOption,
     .name = "csv",
     .type = ValueType::output,
     .value = "FILE",
     .help = "one row per station as CSV ('-': standard output)"},
    {.id = kJsonOption,
     .name = "json",
     .type = ValueType::output,
     .value = "FILE",
     .help = "the same as JSON, with the SHA-256 of the data and the\n"
             "best O/F of --best ('-': standard output)"},
    kHelpEntry,
};

const OptionTable& table() {
  static const OptionTable the_table(kOptions);
  return the_table;
}

constexpr rocket::Model kModels[] = {rocket::Model::equilibrium, rocket::Model::frozen_chamber,
                                     rocket::Model::frozen_throat};

// What was given, for the checks that relate options to one another.
struct Given {
  bool t_reactants = false, h_fuel = false, h_oxid = false;
  std::string grid_option;  // the first grid option given
};

void take_option(const OptionEntry& entry, OptionValue&& v, RocketCommandLine& c, Given& g) {
  RocketSettings& s = c.settings;
  if (take_grid_option(entry, v, s.grid)) {
    if (g.grid_option.empty()) {
      g.grid_option = std::string("--") + entry.name;
    }
    return;
  }
  switch (entry.id) {
    case kHelpOption: c.help = true; break;
    case kPcOption: s.pc_atm = std::move(v.list); break;
    case kOfOption: s.of = std::move(v.list); break;
    case kPiPOption: s.pi_p = std::move(v.list); break;
    case kAeAtOption: s.ae_at = std::move(v.list); break;
    case kSubAeAtOption: s.sub_ae_at = std::move(v.list); break;
    case kContractionOption: s.contraction = std::move(v.list); break;
    case kMassFluxOption: s.mass_flux = std::move(v.list); break;
    case kModelOption:
      s.models.clear();
      for (const std::string& word : v.words) {
        for (rocket::Model m : kModels) {
          if (word == model_name(m)) {
            s.models.push_back(m);
          }
        }
      }
      break;
    case kReactantsOption: s.reactants.set = reactant_set(v.text); break;
    case kTReactantsOption:
      s.reactants.T_K = v.real;
      g.t_reactants = true;
      break;
    case kHFuelOption:
      s.reactants.h_fuel_J_mol = v.real;
      g.h_fuel = true;
      break;
    case kHOxidOption:
      s.reactants.h_oxid_J_mol = v.real;
      g.h_oxid = true;
      break;
    case kThermoOption: s.thermo_file = std::move(v.text); break;
    case kBestOption: s.best = true; break;
    case kUnitsOption: s.english = v.text == "english"; break;
    case kCsvOption: s.csv_file = std::move(v.text); break;
    case kJsonOption: s.json_file = std::move(v.text); break;
    default: break;
  }
}

void only_with(bool given, const char* option, const char* what) {
  if (given) {
    throw UsageError{std::string(option) + " applies only " + what};
  }
}

// The checks between options; each value's range is checked as it is read.
void check_settings(const RocketSettings& s, const Given& g) {
  if (s.of && !g.grid_option.empty()) {
    throw UsageError{"--of cannot be combined with " + g.grid_option};
  }
  only_with(g.t_reactants && s.reactants.set != engine::ReactantSet::gas, "--t-reactants",
            "with --reactants gas");
  only_with(g.h_fuel && s.reactants.set != engine::ReactantSet::custom, "--h-fuel",
            "with --reactants custom");
  only_with(g.h_oxid && s.reactants.set != engine::ReactantSet::custom, "--h-oxid",
            "with --reactants custom");
  if (s.best && s.pi_p.empty() && s.ae_at.empty() && s.sub_ae_at.empty()) {
    throw UsageError{"--best needs an exit: --pi-p or --ae-at"};
  }
  const std::size_t exits = s.pi_p.size() + s.ae_at.size() + s.sub_ae_at.size();
  if (exits > static_cast<std::size_t>(rocket::kMaxExits)) {
    throw UsageError{"--pi-p, --ae-at: " + std::to_string(exits) +
                     " exit conditions are out of range (at most " +
                     std::to_string(rocket::kMaxExits) + " together)"};
  }
  if (!s.contraction.empty() && !s.mass_flux.empty()) {
    throw UsageError{"--contraction cannot be combined with --mass-flux"};
  }
  check_grid(s.grid);
  // The rows: one per station of every chamber pressure, combustor, model
  // and O/F.
  const bool finite = !s.contraction.empty() || !s.mass_flux.empty();
  check_rows(static_cast<double>(s.pc_atm.size()) * static_cast<double>(combustors(s).size()) *
             static_cast<double>(s.models.size()) *
             static_cast<double>(s.of ? s.of->size() : s.grid.size()) *
             static_cast<double>(exits + (finite ? 3 : 2)));
}

// A refusal of the rocket library (or of the engine, for the O/F) as a
// usage error of the option that gave the value, worded from the refusal's
// fields: "--pc: 20000 is out of range (0.0001 to 10000 atm)". `pc_atm` is
// the chamber pressure of the problem, which bounds the pressure ratios.
std::string refusal_text(const engine::InputError& e, const char* of_option, double pc_atm) {
  const engine::Refusal& r = e.refusal();
  const char* option = nullptr;
  const char* unit = "";
  switch (r.argument) {
    case engine::Argument::of: option = of_option; break;
    case engine::Argument::pc_atm: option = "--pc", unit = " atm"; break;
    case engine::Argument::pi_p: option = "--pi-p"; break;
    case engine::Argument::ae_at: option = "--ae-at"; break;
    case engine::Argument::sub_ae_at: option = "--sub-ae-at"; break;
    case engine::Argument::mass_flux:
      if (r.bounds == engine::Bounds::none) {
        return std::string("--mass-flux: ") + e.what();
      }
      option = "--mass-flux";
      break;
    case engine::Argument::reactants_T_K: option = "--t-reactants", unit = " K"; break;
    default: return e.what();  // not one option's value
  }
  std::string range;
  switch (r.bounds) {
    case engine::Bounds::closed:
      range = shortest_text(r.low) + " to " + shortest_text(r.high) + unit;
      break;
    case engine::Bounds::above:
      range = "greater than " + shortest_text(r.low) + ", at most " + limit_number(r.high);
      break;
    case engine::Bounds::at_least: range = "at least " + shortest_text(r.low); break;
    default: return e.what();
  }
  if (r.argument == engine::Argument::of) {
    range += ", " + shortest_text(engine::kOfMinFactor) + " to " +
             shortest_text(engine::kOfMaxFactor) + " times the stoichiometric O/F";
  } else if (r.argument == engine::Argument::pi_p) {
    // The exit pressure stays within the engine's range: Pc/Pe <= Pc / 1e-6 atm.
    range += " at --pc " + shortest_text(pc_atm) +
             " atm: Pe >= " + shortest_text(engine::kPMinAtm) + " atm";
  }
  return std::string(option) + ": " + shortest_text(r.value) + " is out of range (" + range + ")";
}

}  // namespace

std::span<const OptionEntry> rocket_options() { return kOptions; }

const char* model_name(rocket::Model m) {
  switch (m) {
    case rocket::Model::equilibrium: return "equilibrium";
    case rocket::Model::frozen_chamber: return "frozen_chamber";
    case rocket::Model::frozen_throat: return "frozen_throat";
  }
  return "";
}

std::vector<Combustor> combustors(const RocketSettings& s) {
  std::vector<Combustor> out;
  for (double c : s.contraction) {
    out.push_back({.contraction = c});
  }
  for (double g : s.mass_flux) {
    out.push_back({.mass_flux = g});
  }
  if (out.empty()) {
    out.push_back({});
  }
  return out;
}

rocket::RocketInput rocket_problem(const RocketSettings& s, double pc_atm, rocket::Model model,
                                   Combustor combustor) {
  rocket::RocketInput p;
  p.contraction = combustor.contraction;
  p.mass_flux = combustor.mass_flux;
  p.pc_atm = pc_atm;
  p.reactants = s.reactants;
  p.pi_p = s.pi_p;
  p.ae_at = s.ae_at;
  p.sub_ae_at = s.sub_ae_at;
  p.model = model;
  return p;
}

RocketCommandLine parse_rocket_options(int argc, char** argv) {
  RocketCommandLine c;
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

// The rocket owns the ranges of its problems (rocket::check_problem, the
// engine the O/F's); the command words their refusals. Every O/F is checked
// first, then each chamber pressure with its exits and O/F.
void check_rocket_problems(const RocketSettings& s, const engine::ThermoData& data,
                           const std::vector<double>& of) {
  const char* of_option = s.of ? "--of" : "--rmin/--rmax";
  const auto check = [&](const rocket::RocketInput& p) {
    try {
      rocket::check_problem(data, p);
    } catch (const engine::InputError& e) {
      throw UsageError{refusal_text(e, of_option, p.pc_atm)};
    }
  };
  if (!s.pc_atm.empty()) {
    rocket::RocketInput no_exits = rocket_problem(s, s.pc_atm.front(), rocket::Model::equilibrium,
                                                  combustors(s).front());
    no_exits.pi_p.clear();
    no_exits.ae_at.clear();
    no_exits.sub_ae_at.clear();
    for (double v : of) {
      no_exits.of = v;
      check(no_exits);
    }
  }
  for (double pc : s.pc_atm) {
    for (const Combustor& combustor : combustors(s)) {
      rocket::RocketInput p = rocket_problem(s, pc, rocket::Model::equilibrium, combustor);
      for (double v : of) {
        p.of = v;
        check(p);
      }
    }
  }
  if (s.best) {
    try {
      rocket::check_best_isp_search(data, {});
    } catch (const engine::InputError& e) {
      throw UsageError{std::string("--best: ") + refusal_text(e, "--of", 0.0)};
    }
  }
}

std::string rocket_usage_text() {
  return "Usage: zuna4c rocket [OPTION]...\n"
         "Rocket performance of H2/O2 with an infinite-area combustor: the chamber, the\n"
         "throat and the exits of each chamber pressure, O/F ratio and expansion model.\n"
         "With --contraction or --mass-flux the combustor has a finite area: its stations\n"
         "are the injector, the combustor's end, the throat and the exits.\n"
         "\n" +
         table().help() +
         "\n"
         "Rows go by chamber pressure, then model, then O/F, then station (chamber,\n"
         "throat, the pressure-ratio exits, the area-ratio exits). A station that could not\n"
         "be computed has empty values and its flags set; see zuna4c(1).\n" +
         rows_cap_help() +
         "Exit status: 0 success, 1 run-time error (data file, output), 2 usage error.\n";
}

}  // namespace zuna
