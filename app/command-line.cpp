#include "app/command-line.h"

#include <getopt.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>
#include <utility>

namespace zuna {
namespace {

// Options without a short form have codes above the character range.
enum OptionCode : int {
  kRmin = 256,
  kRmax,
  kNpmin,
  kNpmax,
  kTolh,
  kItmaxh,
  kToln,
  kItmaxn,
  kReactions,
  kNoReaction,
  kSuffix,
  kCsv,
  kJson,
  kCompareEngine,
};

constexpr char kShortOptions[] = ":hVbd:C:p:";

const option kLongOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {"batch", no_argument, nullptr, 'b'},
    {"data", required_argument, nullptr, 'd'},
    {"dir", required_argument, nullptr, 'C'},
    {"pressure", required_argument, nullptr, 'p'},
    {"rmin", required_argument, nullptr, kRmin},
    {"rmax", required_argument, nullptr, kRmax},
    {"npmin", required_argument, nullptr, kNpmin},
    {"npmax", required_argument, nullptr, kNpmax},
    {"tolh", required_argument, nullptr, kTolh},
    {"itmaxh", required_argument, nullptr, kItmaxh},
    {"toln", required_argument, nullptr, kToln},
    {"itmaxn", required_argument, nullptr, kItmaxn},
    {"reactions", required_argument, nullptr, kReactions},
    {"no-reaction", required_argument, nullptr, kNoReaction},
    {"suffix", no_argument, nullptr, kSuffix},
    {"csv", required_argument, nullptr, kCsv},
    {"json", required_argument, nullptr, kJson},
    {"compare-engine", no_argument, nullptr, kCompareEngine},
    {nullptr, 0, nullptr, 0},
};

// The option's name as the user would write it, for messages.
std::string option_name(int code) {
  for (const option* o = kLongOptions; o->name != nullptr; ++o) {
    if (o->val == code) {
      return std::string("--") + o->name;
    }
  }
  return std::string("-") + static_cast<char>(code);
}

// The shortest text that reads back as the same double.
std::string shortest(double v) {
  char text[32];
  const auto r = std::to_chars(text, text + sizeof text, v);
  return std::string(text, r.ptr);
}

// A real value as the parameter dialog reads it: a decimal number, the
// exponent letter E or D (1.0d-10). Not a finite double: nothing.
std::optional<double> read_real(std::string_view text) {
  std::string s(text);
  if (!s.empty() && s.front() == '+') {
    s.erase(0, 1);
  }
  for (char& c : s) {
    c = (c == 'd' || c == 'D') ? 'e' : c;
  }
  double v = 0.0;
  const char* end = s.data() + s.size();
  const auto r = std::from_chars(s.data(), end, v, std::chars_format::general);
  if (s.empty() || r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) {
    return std::nullopt;
  }
  return v;
}

// Thrown inside the parser for a usage error; caught at its top.
struct UsageError {
  std::string message;
};

double real_option(int code, std::string_view text) {
  const std::optional<double> v = read_real(text);
  if (!v) {
    throw UsageError{option_name(code) + ": '" + std::string(text) + "' is not a number"};
  }
  return *v;
}

std::int32_t integer_option(int code, std::string_view text) {
  std::string_view s = text;
  if (!s.empty() && s.front() == '+') {
    s.remove_prefix(1);
  }
  std::int32_t v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec == std::errc::result_out_of_range && r.ptr == s.data() + s.size()) {
    throw UsageError{option_name(code) + ": " + std::string(text) + " is out of range"};
  }
  if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size()) {
    throw UsageError{option_name(code) + ": '" + std::string(text) + "' is not a whole number"};
  }
  return v;
}

// Reaction numbers 1 to 4 separated by commas; "" or "none" for none.
std::vector<int> reaction_list(int code, std::string_view text) {
  std::vector<int> numbers;
  if (text.empty() || text == "none") {
    return numbers;
  }
  for (std::size_t at = 0;;) {
    const std::size_t comma = text.find(',', at);
    const std::string_view item = text.substr(at, comma - at);
    if (item.size() != 1 || item[0] < '1' || item[0] > '4') {
      throw UsageError{option_name(code) + ": '" + std::string(item) +
                       "' is not a reaction number (1 to 4)"};
    }
    numbers.push_back(item[0] - '0');
    if (comma == std::string_view::npos) {
      return numbers;
    }
    at = comma + 1;
  }
}

double& reaction_switch(RunParameters& p, int number) {
  double* switches[] = {&p.act1, &p.act2, &p.act3, &p.act4};
  return *switches[number - 1];
}

// The first problem of check_run_parameters, the one the parameter dialog
// would refuse, as one line naming the option, the value and the range.
std::optional<std::string> parameter_problem(const RunParameters& p) {
  const std::vector<ParameterProblem> problems = check_run_parameters(p);
  if (problems.empty()) {
    return std::nullopt;
  }
  const char* counts = "0 to 100, npmin + npmax at most 100";
  // Each count within 0 to 100 and only their sum too large: the sum is the
  // problem, not the count that happens to be checked second.
  const std::int64_t sum = std::int64_t{p.npmin} + p.npmax;
  if (p.npmin >= 0 && p.npmin <= 100 && p.npmax >= 0 && p.npmax <= 100 && sum > 100) {
    return "--npmin + --npmax: " + std::to_string(p.npmin) + " + " + std::to_string(p.npmax) +
           " = " + std::to_string(sum) + " points is more than 100";
  }
  auto line = [](const char* option, const std::string& value, const char* range) {
    return std::string(option) + ": " + value + " is out of range (" + range + ")";
  };
  switch (problems.front().field) {
    case ParameterField::rmin: return line("--rmin", shortest(p.rmin), "0 < rmin <= 1");
    case ParameterField::rmax: return line("--rmax", shortest(p.rmax), "1 <= rmax <= 100");
    case ParameterField::npmin: return line("--npmin", std::to_string(p.npmin), counts);
    case ParameterField::npmax: return line("--npmax", std::to_string(p.npmax), counts);
    case ParameterField::ptot: return line("--pressure", shortest(p.ptot), "1e-06 to 100000 atm");
    case ParameterField::tolh: return line("--tolh", shortest(p.tolh), "above 0");
    case ParameterField::itmaxh: return line("--itmaxh", std::to_string(p.itmaxh), "1 to 99999");
    case ParameterField::toln: return line("--toln", shortest(p.toln), "above 0");
    case ParameterField::itmaxn: return line("--itmaxn", std::to_string(p.itmaxn), "1 to 99999");
  }
  return problems.front().message;
}

// The long options that `given` ("--np", "--np=3") abbreviates, when it is
// not one of them in full; getopt_long takes an abbreviation that fits one
// option alone and refuses one that fits several, with a message of its own
// over several lines, which the program does not print.
std::vector<std::string> abbreviated_options(std::string_view given) {
  const std::string_view name = given.substr(2, given.find('=') - 2);
  std::vector<std::string> candidates;
  for (const option* o = kLongOptions; o->name != nullptr; ++o) {
    if (name == o->name) {
      return {};
    }
    if (std::string_view(o->name).starts_with(name)) {
      candidates.push_back(std::string("'--") + o->name + "'");
    }
  }
  return candidates;
}

// Every option's value is read before anything is done; an operand names
// nothing the program takes (the working folder is named with --dir).
void parse_options(int argc, char** argv, CommandLine& c) {
  BatchSettings& b = c.batch;
  RunParameters& p = b.parameters;
  bool batch = false, help = false, version = false;
  std::string batch_only;  // the first option that only a batch run takes
  opterr = 0;
  optind = 0;  // a fresh scan, also when called again
  for (;;) {
    const int code = getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr);
    if (code == -1) {
      break;
    }
    const std::string_view arg = optarg != nullptr ? optarg : "";
    if (code != 'h' && code != 'V' && code != 'b' && code != 'd' && code != 'C' && code != '?' &&
        code != ':' && batch_only.empty()) {
      batch_only = option_name(code);
    }
    switch (code) {
      case 'h': help = true; break;
      case 'V': version = true; break;
      case 'b': batch = true; break;
      case 'd':
        if (arg.empty()) {
          throw UsageError{"--data: the file name is empty"};
        }
        b.data_file = arg;
        b.data_given = true;
        break;
      case 'C':
        if (arg.empty()) {
          throw UsageError{"--dir: the folder name is empty"};
        }
        c.folder = std::string(arg);
        break;
      case 'p': {
        bool too_many = false;
        std::optional<std::vector<double>> list = parse_pressure_list(arg, &too_many);
        if (too_many) {
          throw UsageError{"--pressure: the list makes more than " +
                           std::to_string(kMaxCalculations) + " calculations"};
        }
        if (!list) {
          throw UsageError{"--pressure: '" + std::string(arg) +
                           "' is not a list of pressures (like 1,10,100 or 1:100:3)"};
        }
        b.pressures = std::move(*list);
        break;
      }
      case kRmin: p.rmin = real_option(code, arg); break;
      case kRmax: p.rmax = real_option(code, arg); break;
      case kNpmin: p.npmin = integer_option(code, arg); break;
      case kNpmax: p.npmax = integer_option(code, arg); break;
      case kTolh: p.tolh = real_option(code, arg); break;
      case kItmaxh: p.itmaxh = integer_option(code, arg); break;
      case kToln: p.toln = real_option(code, arg); break;
      case kItmaxn: p.itmaxn = integer_option(code, arg); break;
      case kReactions: {
        const std::vector<int> on = reaction_list(code, arg);
        p.act1 = p.act2 = p.act3 = p.act4 = 0.0;
        for (int r : on) {
          reaction_switch(p, r) = 1.0;
        }
        break;
      }
      case kNoReaction:
        for (int r : reaction_list(code, arg)) {
          reaction_switch(p, r) = 0.0;
        }
        break;
      case kSuffix: b.suffix = true; break;
      case kCsv: b.csv_file = std::string(arg); break;
      case kJson: b.json_file = std::string(arg); break;
      case kCompareEngine: b.compare_engine = true; break;
      case ':': throw UsageError{std::string("option '") + argv[optind - 1] + "' requires a value"};
      default: {
        // optopt is 0 for an unknown long option, the option's own code for
        // a long option given a value it does not take, and the character
        // for an unknown short option.
        const std::string given = argv[optind - 1];
        if (given.rfind("--", 0) == 0) {
          const std::string name = given.substr(0, given.find('='));
          if (optopt != 0) {
            throw UsageError{"option '" + name + "' takes no value"};
          }
          if (const std::vector<std::string> fits = abbreviated_options(given); fits.size() > 1) {
            std::string list;
            for (const std::string& f : fits) {
              list += (list.empty() ? "" : ", ") + f;
            }
            throw UsageError{"option '" + name + "' is ambiguous: it may be " + list};
          }
          throw UsageError{"unrecognized option '" + name + "'"};
        }
        throw UsageError{std::string("invalid option -- '") + static_cast<char>(optopt) + "'"};
      }
    }
  }
  if (optind < argc) {
    throw UsageError{"unexpected argument '" + std::string(argv[optind]) +
                     "' (a working folder is named with --dir)"};
  }
  if (help) {
    c.action = CommandAction::help;
    return;
  }
  if (version) {
    c.action = CommandAction::version;
    return;
  }
  if (!batch) {
    if (!batch_only.empty()) {
      throw UsageError{batch_only + " applies only with --batch"};
    }
    c.action = CommandAction::interactive;
    return;
  }
  if (b.csv_file && b.json_file && *b.csv_file == "-" && *b.json_file == "-") {
    throw UsageError{"--csv and --json cannot both write to standard output"};
  }
  for (double pressure : b.pressures) {
    RunParameters each = p;
    each.ptot = pressure;
    if (std::optional<std::string> problem = parameter_problem(each)) {
      throw UsageError{*problem};
    }
  }
  c.action = CommandAction::batch;
}

}  // namespace

std::optional<std::vector<double>> parse_pressure_list(std::string_view text, bool* too_many) {
  // The count is checked before the list grows: a list beyond the cap is
  // refused without being made.
  auto fits = [&](std::size_t held, std::size_t more) {
    if (held + more <= kMaxCalculations) {
      return true;
    }
    if (too_many != nullptr) {
      *too_many = true;
    }
    return false;
  };
  std::vector<double> list;
  for (std::size_t at = 0;;) {
    const std::size_t comma = text.find(',', at);
    const std::string_view item = text.substr(at, comma - at);
    const std::size_t colon = item.find(':');
    if (colon == std::string_view::npos) {
      const std::optional<double> v = read_real(item);
      if (!v || !fits(list.size(), 1)) {
        return std::nullopt;
      }
      list.push_back(*v);
    } else {
      // FIRST:LAST:COUNT. The exponents are spread evenly between
      // log10(FIRST) and log10(LAST), so that decades land on round values
      // (pow(10, 1) is exactly 10); the ends are taken as written.
      const std::size_t second = item.find(':', colon + 1);
      if (second == std::string_view::npos) {
        return std::nullopt;
      }
      const std::optional<double> first = read_real(item.substr(0, colon));
      const std::optional<double> last = read_real(item.substr(colon + 1, second - colon - 1));
      const std::string_view count_text = item.substr(second + 1);
      int count = 0;
      const auto r =
          std::from_chars(count_text.data(), count_text.data() + count_text.size(), count);
      if (!first || !last || *first <= 0.0 || *last <= 0.0 || r.ec != std::errc() ||
          r.ptr != count_text.data() + count_text.size() || count < 1 || count > 10000) {
        return std::nullopt;
      }
      if (!fits(list.size(), static_cast<std::size_t>(count))) {
        return std::nullopt;
      }
      const double low = std::log10(*first);
      const double step = count > 1 ? (std::log10(*last) - low) / (count - 1) : 0.0;
      for (int k = 0; k < count; ++k) {
        list.push_back(k == 0 ? *first : k == count - 1 ? *last : std::pow(10.0, low + k * step));
      }
    }
    if (comma == std::string_view::npos) {
      return list;
    }
    at = comma + 1;
  }
}

CommandLine parse_command_line(int argc, char** argv) {
  CommandLine c;
  try {
    parse_options(argc, argv, c);
  } catch (const UsageError& e) {
    c.action = CommandAction::usage_error;
    c.error = e.message;
  }
  return c;
}

std::string usage_text(std::string_view program) {
  const std::string name(program);
  return "Usage: " + name +
         " [--dir FOLDER] [--data FILE]\n"
         "  or:  " +
         name +
         " --batch [OPTION]...\n"
         "  or:  " +
         name +
         " equilibrium|rocket [ARGUMENT]...\n"
         "Compute the combustion of hydrogen with oxygen, without and with dissociation,\n"
         "for a sweep of O/F mass ratios around the stoichiometric value.\n"
         "\n"
         "Without --batch the interactive session runs on the terminal: presentation,\n"
         "parameter form, progress, results menu; answers are read one per line.\n"
         "The commands 'equilibrium' and 'rocket', given first, take arguments of their\n"
         "own; no other argument is taken (name a working folder with --dir).\n"
         "\n"
         "  -C, --dir=FOLDER       work in FOLDER (entered first: the names below are\n"
         "                         taken inside it)\n"
         "  -d, --data=FILE        thermodynamic data file (default zuna.dat)\n"
         "  -b, --batch            one calculation per pressure, no dialogs; writes the\n"
         "                         report saida and the seven plot files\n"
         "  -h, --help             display this help and exit\n"
         "  -V, --version          output version information and exit\n"
         "\n"
         "Run parameters (--batch only; defaults those of the parameter form):\n"
         "      --rmin=R           minimum O/F / stoichiometric O/F, 0 < R <= 1 (0.5)\n"
         "      --rmax=R           maximum O/F / stoichiometric O/F, 1 <= R <= 100 (2.0)\n"
         "      --npmin=N          points between minimum and stoichiometric O/F (10)\n"
         "      --npmax=N          points between stoichiometric and maximum O/F (20);\n"
         "                         0 <= N, npmin + npmax <= 100\n"
         "  -p, --pressure=LIST    total pressure [atm], 1e-06 to 100000 (1.0); a list\n"
         "                         runs one calculation each: 1,10,100, or FIRST:LAST:COUNT\n"
         "                         for COUNT pressures in equal logarithmic steps;\n"
         "                         100000 calculations at most\n"
         "      --tolh=T           tolerance of the temperature searches [K] (1.0e-3)\n"
         "      --itmaxh=N         iteration cap of the temperature searches, 1 to 99999 (100)\n"
         "      --toln=T           tolerance on moles of the equilibrium (1.0e-10)\n"
         "      --itmaxn=N         iteration cap of the equilibrium, 1 to 99999 (200)\n"
         "      --reactions=LIST   only these dissociation reactions, e.g. 1,2,4 (all)\n"
         "      --no-reaction=LIST leave out these reactions, e.g. 3\n"
         "\n"
         "Results (--batch only):\n"
         "      --suffix           one set of report and plot files per pressure:\n"
         "                         saida_1, tad_1.dat, ... (otherwise the last calculation)\n"
         "      --csv=FILE         every point of every calculation as CSV ('-': stdout)\n"
         "      --json=FILE        the same as JSON, with the parameters, the data file's\n"
         "                         SHA-256 and the program's version ('-': stdout)\n"
         "      --compare-engine   add to both, beside each point, the equilibrium engine's\n"
         "                         flame temperature and mole fractions\n"
         "\n"
         "Exit status: 0 success, 1 run-time error (data file, output), 2 usage error.\n"
         "See zuna4c(1) for the rest.\n";
}

}  // namespace zuna
