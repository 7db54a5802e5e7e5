#include "host/console/equilibrium-options.h"

#include <getopt.h>

#include <algorithm>
#include <string_view>
#include <system_error>

namespace zuna {
namespace {

enum OptionCode : int {
  kProblem = 256,
  kOf,
  kRmin,
  kRmax,
  kNpmin,
  kNpmax,
  kTemperature,
  kEntropy,
  kT0,
  kP0,
  kRho,
  kReactantSet,
  kTReactants,
  kHFuel,
  kHOxid,
  kThermo,
  kData,
  kCsv,
  kJson,
};

constexpr char kShortOptions[] = ":hp:";

const option kLongOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"problem", required_argument, nullptr, kProblem},
    {"pressure", required_argument, nullptr, 'p'},
    {"of", required_argument, nullptr, kOf},
    {"rmin", required_argument, nullptr, kRmin},
    {"rmax", required_argument, nullptr, kRmax},
    {"npmin", required_argument, nullptr, kNpmin},
    {"npmax", required_argument, nullptr, kNpmax},
    {"temperature", required_argument, nullptr, kTemperature},
    {"entropy", required_argument, nullptr, kEntropy},
    {"t0", required_argument, nullptr, kT0},
    {"p0", required_argument, nullptr, kP0},
    {"rho", required_argument, nullptr, kRho},
    {"reactants", required_argument, nullptr, kReactantSet},
    {"t-reactants", required_argument, nullptr, kTReactants},
    {"h-fuel", required_argument, nullptr, kHFuel},
    {"h-oxid", required_argument, nullptr, kHOxid},
    {"thermo", required_argument, nullptr, kThermo},
    {"data", required_argument, nullptr, kData},
    {"csv", required_argument, nullptr, kCsv},
    {"json", required_argument, nullptr, kJson},
    {nullptr, 0, nullptr, 0},
};

std::string option_name(int code) { return zuna::option_name(kLongOptions, code); }

double real_option(int code, std::string_view text) { return real_value(option_name(code), text); }

std::vector<double> list_option(int code, std::string_view text, const char* example) {
  return list_value(option_name(code), text, example);
}

void check_range(int code, double v, double low, double high, const std::string& range) {
  zuna::check_range(option_name(code), v, low, high, range);
}

void check_list(int code, const std::vector<double>& values, double low, double high,
                const std::string& range) {
  zuna::check_list(option_name(code), values, low, high, range);
}

// What was given, for the checks that relate options to one another.
struct Given {
  bool pressure = false, of = false, grid = false, temperature = false, entropy = false;
  bool t0 = false, p0 = false, rho = false, t_reactants = false, h_fuel = false, h_oxid = false;
  bool reactant_set = false;
  std::string grid_option;  // the first grid option given
};

void read_option(int code, std::string_view arg, EquilibriumSettings& s, Given& given) {
  switch (code) {
    case kProblem:
      if (arg == "tp") {
        s.mode = engine::Mode::TP;
      } else if (arg == "hp") {
        s.mode = engine::Mode::HP;
      } else if (arg == "sp") {
        s.mode = engine::Mode::SP;
      } else if (arg == "uv") {
        s.mode = engine::Mode::UV;
      } else {
        throw UsageError{"--problem: '" + std::string(arg) + "' is not one of tp, hp, sp, uv"};
      }
      break;
    case 'p':
      s.pressures_atm = list_option(code, arg, "1,10,100 or 1:100:3");
      given.pressure = true;
      break;
    case kOf:
      s.of = list_option(code, arg, "4,6,8 or 2:32:5");
      given.of = true;
      break;
    case kRmin:
    case kRmax:
    case kNpmin:
    case kNpmax:
      read_grid_option(option_name(code), arg, s.grid);
      if (!given.grid)
        given.grid_option = option_name(code);
      given.grid = true;
      break;
    case kTemperature:
      s.temperatures_K = list_option(code, arg, "1000,2000 or 1000:4000:4");
      given.temperature = true;
      break;
    case kEntropy:
      s.s_kJ_kgK = real_option(code, arg);
      given.entropy = true;
      break;
    case kT0:
      s.T0_K = real_option(code, arg);
      given.t0 = true;
      break;
    case kP0:
      s.p0_atm = real_option(code, arg);
      given.p0 = true;
      break;
    case kRho:
      s.densities_kg_m3 = list_option(code, arg, "0.1,1 or 1e-3:1:4");
      given.rho = true;
      break;
    case kReactantSet:
      s.reactants.set = reactant_set(arg);
      given.reactant_set = true;
      break;
    case kTReactants:
      s.reactants.T_K = real_option(code, arg);
      given.t_reactants = true;
      break;
    case kHFuel:
      s.reactants.h_fuel_J_mol = real_option(code, arg);
      given.h_fuel = true;
      break;
    case kHOxid:
      s.reactants.h_oxid_J_mol = real_option(code, arg);
      given.h_oxid = true;
      break;
    case kThermo:
    case kData: {
      const ThermoSource source =
          code == kThermo ? ThermoSource::nasa9_file : ThermoSource::data7_file;
      if (arg.empty()) {
        throw UsageError{option_name(code) + ": the file name is empty"};
      }
      if (s.thermo != ThermoSource::builtin && s.thermo != source) {
        throw UsageError{"--thermo and --data cannot both be given"};
      }
      s.thermo = source;
      s.thermo_file = arg;
      break;
    }
    case kCsv: s.csv_file = std::string(arg); break;
    case kJson: s.json_file = std::string(arg); break;
  }
}

void only_with(bool given, int code, const char* what) {
  if (given) {
    throw UsageError{option_name(code) + " applies only " + what};
  }
}

// The checks between options and the ranges that need no data.
void check_settings(EquilibriumSettings& s, const Given& g) {
  using engine::Mode;
  const Mode m = s.mode;
  if (m == Mode::UV && g.pressure) {
    throw UsageError{"--pressure does not apply to --problem uv: the pressure is a result"};
  }
  only_with(g.temperature && m != Mode::TP, kTemperature, "with --problem tp");
  only_with(g.entropy && m != Mode::SP, kEntropy, "with --problem sp");
  only_with(g.rho && m != Mode::UV, kRho, "with --problem uv");
  only_with(g.t0 && m != Mode::UV, kT0, "with --problem uv");
  only_with(g.p0 && m != Mode::UV, kP0, "with --problem uv");
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
      only_with(g.t_reactants, kTReactants, "without --t0 (the gases are at T0)");
      s.reactants.set = engine::ReactantSet::gas;
      s.reactants.T_K = s.T0_K;
      s.initial_gas_state = true;
    }
  }
  if (g.of && g.grid) {
    throw UsageError{"--of cannot be combined with " + g.grid_option};
  }
  if (!s.initial_gas_state) {
    only_with(g.t_reactants && s.reactants.set != engine::ReactantSet::gas, kTReactants,
              "with --reactants gas");
  }
  only_with(g.h_fuel && s.reactants.set != engine::ReactantSet::custom, kHFuel,
            "with --reactants custom");
  only_with(g.h_oxid && s.reactants.set != engine::ReactantSet::custom, kHOxid,
            "with --reactants custom");
  if (s.csv_file && s.json_file && *s.csv_file == "-" && *s.json_file == "-") {
    throw UsageError{"--csv and --json cannot both write to standard output"};
  }

  const std::string p_range = "1e-06 to 100000 atm";
  const std::string t_range = "200 to 6000 K";
  if (m != Mode::UV) {
    check_list('p', s.pressures_atm, engine::kPMinAtm, engine::kPMaxAtm, p_range);
  }
  check_list(kTemperature, s.temperatures_K, engine::kTMinK, engine::kTMaxK, t_range);
  check_list(kRho, s.densities_kg_m3, 1e-300, 1e300, "above 0 kg/m3");
  if (g.t0)
    check_range(kT0, s.T0_K, engine::kTMinK, engine::kTMaxK, t_range);
  if (g.p0)
    check_range(kP0, s.p0_atm, engine::kPMinAtm, engine::kPMaxAtm, p_range);
  if (g.t_reactants) {
    check_range(kTReactants, s.reactants.T_K, engine::kTMinK, engine::kTMaxK, t_range);
  }
  check_grid(s.grid);
}

void parse(int argc, char** argv, EquilibriumCommandLine& c) {
  Given given;
  opterr = 0;
  optind = 0;  // a fresh scan, also after the program's own
  for (;;) {
    const int code = getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr);
    if (code == -1) {
      break;
    }
    const std::string_view arg = optarg != nullptr ? optarg : "";
    if (code == 'h') {
      c.help = true;
    } else if (code == ':' || code == '?') {
      throw UsageError{getopt_error_text(code, argv)};
    } else {
      read_option(code, arg, c.settings, given);
    }
  }
  if (c.help) {
    return;
  }
  if (optind < argc) {
    throw UsageError{std::string("unexpected argument '") + argv[optind] + "'"};
  }
  check_settings(c.settings, given);
}

}  // namespace

EquilibriumCommandLine parse_equilibrium_options(int argc, char** argv) {
  EquilibriumCommandLine c;
  try {
    parse(argc, argv, c);
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
         "\n"
         "Problem:\n"
         "      --problem=P        tp, hp, sp or uv: what is held fixed (hp)\n"
         "  -p, --pressure=LIST    pressures [atm], 1e-06 to 100000 (1); values and\n"
         "                         FIRST:LAST:COUNT ranges in logarithmic steps; not uv\n"
         "      --temperature=LIST temperatures [K] of tp, 200 to 6000, the same syntax\n"
         "      --entropy=S        entropy of sp [kJ/(kg K)]\n"
         "      --rho=LIST         uv: density of the mixture [kg/m3], the same syntax\n"
         "      --t0=K --p0=ATM    uv: the reactants are gases at T0 and p0, which give the\n"
         "                         density; U0 = H0 - n R T0\n"
         "\n"
         "O/F ratios (kg O2 per kg H2), 0.1 to 40 times the stoichiometric ratio:\n"
         "      --of=LIST          these values, the same syntax (ranges in logarithmic steps)\n"
         "      --rmin=R --rmax=R --npmin=N --npmax=N\n"
         "                         or the grid of the program's sweep: r = O/F over the\n"
         "                         stoichiometric O/F, npmin points from rmin, r = 1, npmax\n"
         "                         points up to rmax (0.5, 2, 10, 20: 33 ratios)\n"
         "\n"
         "Reactants and data:\n"
         "      --reactants=SET    liquid (NASA Glenn enthalpies), gas, or custom (liquid)\n"
         "      --t-reactants=K    temperature of the gas reactants, 200 to 6000 (298.15)\n"
         "      --h-fuel=J --h-oxid=J  enthalpies of H2 and O2 [J/mol] of the custom set\n"
         "      --thermo=FILE      NASA 9-coefficient records instead of the built-in ones\n"
         "      --data=FILE        the program's 7-coefficient data file (zuna.dat) instead\n"
         "\n"
         "Results (a readable table on standard output without these):\n"
         "      --csv=FILE         one row per point as CSV ('-': standard output)\n"
         "      --json=FILE        the same as JSON, with the SHA-256 of the data ('-': stdout)\n"
         "  -h, --help             display this help and exit\n"
         "\n"
         "Rows go by pressure (temperature, density), then O/F in the order given. A point\n"
         "the engine could not compute has empty values and its flags set; see zuna4c(1).\n"
         "Exit status: 0 success, 1 run-time error (data file, output), 2 usage error.\n";
}

}  // namespace zuna
