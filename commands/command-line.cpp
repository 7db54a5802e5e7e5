#include "commands/command-line.h"

#include <getopt.h>

#include <algorithm>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <system_error>
#include <utility>

#include "commands/option-table.h"

namespace zuna {
namespace {

// Options without a short form have codes above the character range: the
// run parameters' from kParameterOption on, in the table's order, the
// others from kOtherOption on.
constexpr int kParameterOption = 256;

enum OptionCode : int {
  kReactions = 512,
  kNoReaction,
  kSuffix,
  kCsv,
  kJson,
  kCompareEngine,
};

int option_code(const ParameterDescriptor& d) {
  return d.option.short_name != 0 ? d.option.short_name
                                  : kParameterOption + static_cast<int>(d.field);
}

// The run parameter that option `code` sets, or none.
const ParameterDescriptor* parameter_option(int code) {
  for (const ParameterDescriptor& d : kRunParameterTable) {
    if (d.option.name != nullptr && option_code(d) == code) {
      return &d;
    }
  }
  return nullptr;
}

// The options with a short form first, then the others; the run parameters'
// options, from the table, after those of the program itself in each group.
struct Options {
  std::string short_options = ":hVbd:C:";
  std::vector<option> long_options = {
      {"help", no_argument, nullptr, 'h'},      {"version", no_argument, nullptr, 'V'},
      {"batch", no_argument, nullptr, 'b'},     {"data", required_argument, nullptr, 'd'},
      {"dir", required_argument, nullptr, 'C'},
  };

  Options() {
    for (bool with_short : {true, false}) {
      for (const ParameterDescriptor& d : kRunParameterTable) {
        if (d.option.name != nullptr && (d.option.short_name != 0) == with_short) {
          long_options.push_back({d.option.name, required_argument, nullptr, option_code(d)});
          if (with_short) {
            short_options.append(1, d.option.short_name).append(":");
          }
        }
      }
    }
    long_options.insert(long_options.end(),
                        {
                            {"reactions", required_argument, nullptr, kReactions},
                            {"no-reaction", required_argument, nullptr, kNoReaction},
                            {"suffix", no_argument, nullptr, kSuffix},
                            {"csv", required_argument, nullptr, kCsv},
                            {"json", required_argument, nullptr, kJson},
                            {"compare-engine", no_argument, nullptr, kCompareEngine},
                            {nullptr, 0, nullptr, 0},
                        });
  }
};

const Options& options() {
  static const Options the_options;
  return the_options;
}

// The option's name as the user would write it, for messages.
std::string option_name(int code) { return zuna::option_name(options().long_options.data(), code); }

// A run parameter's accepted range in the words of its option's messages,
// filled with the ends of `range` ("0 < rmin <= 1").
std::string option_range_text(const ParameterDescriptor& d, const ParameterRange& range) {
  return fill_placeholders(d.option.range, {{"lo", english_number(range.lowest)},
                                            {"hi", english_number(range.highest)}});
}

// A real value as the parameter dialog reads it: a decimal number, the
// exponent letter E or D (1.0d-10). Not a finite double: nothing.
std::optional<double> read_real(std::string_view text) {
  std::string s(text);
  if (s.size() > 1 && s.front() == '+' && s[1] != '-' && s[1] != '+') {
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

double real_option(int code, std::string_view text) {
  const std::optional<double> v = read_real(text);
  if (!v) {
    throw UsageError{option_name(code) + ": '" + printable(text) + "' is not a number"};
  }
  return *v;
}

std::int32_t integer_option(int code, std::string_view text) {
  std::string_view s = text;
  if (s.size() > 1 && s.front() == '+' && s[1] != '-' && s[1] != '+') {
    s.remove_prefix(1);
  }
  std::int32_t v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec == std::errc::result_out_of_range && r.ptr == s.data() + s.size()) {
    const ParameterDescriptor* d = parameter_option(code);
    throw UsageError{option_name(code) + ": " + printable(text) + " is out of range" +
                     (d != nullptr ? " (" + option_range_text(*d, d->range) + ")" : "")};
  }
  if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size()) {
    throw UsageError{option_name(code) + ": '" + printable(text) + "' is not a whole number"};
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
      throw UsageError{option_name(code) + ": '" + printable(item) +
                       "' is not a reaction number (1 to 4)"};
    }
    numbers.push_back(item[0] - '0');
    if (comma == std::string_view::npos) {
      return numbers;
    }
    at = comma + 1;
  }
}

// The switch of reaction `number` (1 to 4).
double& reaction_switch(RunParameters& p, int number) {
  const auto field =
      static_cast<ParameterField>(static_cast<int>(ParameterField::act1) + number - 1);
  return p.*parameter_descriptor(field).real;
}

std::string long_option(const ParameterDescriptor& d) { return std::string("--") + d.option.name; }

// Reads the value of a run parameter's option into p, or the list of
// pressures of the option that takes a list.
void read_parameter_option(int code, std::string_view arg, const ParameterDescriptor& d,
                           BatchSettings& b) {
  if (d.option.list) {
    bool too_many = false;
    std::optional<std::vector<double>> list = parse_pressure_list(arg, &too_many);
    if (too_many) {
      throw UsageError{option_name(code) + ": the list makes more than " +
                       std::to_string(kMaxCalculations) + " calculations"};
    }
    if (!list) {
      throw UsageError{option_name(code) + ": '" + printable(arg) +
                       "' is not a list of pressures (like 1,10,100 or 1:100:3)"};
    }
    b.pressures = std::move(*list);
  } else if (d.type == ParameterType::real) {
    b.parameters.*d.real = real_option(code, arg);
  } else {
    b.parameters.*d.integer = integer_option(code, arg);
  }
}

// Every option's value is read before anything is done; an operand names
// nothing the program takes (the working folder is named with --dir).
void parse_options(int argc, char** argv, CommandLine& c) {
  BatchSettings& b = c.batch;
  RunParameters& p = b.parameters;
  bool batch = false, help = false, version = false;
  std::string batch_only;  // the first option that only a batch run takes
  const Options& o = options();
  const int operand = scan_options(argc, argv, o.short_options.c_str(), o.long_options.data(),
                                   [&](int code, std::string_view arg) {
                                     if (code != 'h' && code != 'V' && code != 'b' && code != 'd' &&
                                         code != 'C' && batch_only.empty()) {
                                       batch_only = option_name(code);
                                     }
                                     if (const ParameterDescriptor* d = parameter_option(code)) {
                                       read_parameter_option(code, arg, *d, b);
                                       return;
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
                                       default: break;
                                     }
                                   });
  if (operand < argc) {
    throw UsageError{"unexpected argument '" + printable(argv[operand]) +
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
    if (std::optional<std::string> problem = parameter_problem_text(each)) {
      throw UsageError{*problem};
    }
  }
  c.action = CommandAction::batch;
}

}  // namespace

std::optional<std::vector<double>> parse_pressure_list(std::string_view text, bool* too_many) {
  return read_value_list(text, read_real, too_many);
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

std::optional<std::string> parameter_problem_text(const RunParameters& p) {
  const std::vector<ParameterProblem> problems = check_run_parameters(p);
  if (problems.empty()) {
    return std::nullopt;
  }
  const ParameterProblem& problem = problems.front();
  if (problem.kind == ProblemKind::point_sum) {
    const std::int64_t sum = std::int64_t{p.npmin} + p.npmax;
    return long_option(parameter_descriptor(ParameterField::npmin)) + " + " +
           long_option(parameter_descriptor(ParameterField::npmax)) + ": " +
           std::to_string(p.npmin) + " + " + std::to_string(p.npmax) + " = " + std::to_string(sum) +
           " points is more than " + english_number(problem.range.highest);
  }
  const ParameterDescriptor& d = parameter_descriptor(problem.field);
  const std::string value =
      d.type == ParameterType::integer ? std::to_string(p.*d.integer) : shortest_text(p.*d.real);
  return long_option(d) + ": " + value + " is out of range (" +
         option_range_text(d, problem.range) + ")";
}

namespace {

// The width of --help's option column.
constexpr std::size_t kHelpColumn = 25;

// The default as --help writes it: the dialog's text without the exponent
// letter D ("0.5d0" is 0.5, "1.0d-3" is 1.0e-3).
std::string help_default(std::string text) {
  if (text.ends_with("d0")) {
    text.resize(text.size() - 2);
  }
  for (char& c : text) {
    c = c == 'd' ? 'e' : c;
  }
  return text;
}

// The lines of a run parameter's option in --help.
std::string help_lines(const ParameterDescriptor& d) {
  std::string head = d.option.short_name != 0 ? std::string("  -") + d.option.short_name + ", --"
                                              : std::string("      --");
  head.append(d.option.name).append("=").append(d.option.value);
  head.append(head.size() < kHelpColumn ? kHelpColumn - head.size() : 1, ' ');
  std::string text = fill_placeholders(d.option.help, {{"lo", english_number(d.range.lowest)},
                                                       {"hi", english_number(d.range.highest)},
                                                       {"default", help_default(d.default_text)}});
  if (d.option.list) {
    text +=
        "; a list\n"
        "runs one calculation each: 1,10,100, or FIRST:LAST:COUNT\n"
        "for COUNT pressures in equal logarithmic steps;\n" +
        std::to_string(kMaxCalculations) + " calculations at most";
  }
  std::string lines = head;
  for (std::size_t at = 0;;) {
    const std::size_t end = text.find('\n', at);
    lines.append(text, at, end - at).append("\n");
    if (end == std::string::npos) {
      return lines;
    }
    lines.append(kHelpColumn, ' ');
    at = end + 1;
  }
}

}  // namespace

std::string usage_text(std::string_view program) {
  const std::string name(program);
  std::string parameter_help;
  for (const ParameterDescriptor& d : kRunParameterTable) {
    if (d.option.name != nullptr) {
      parameter_help += help_lines(d);
    }
  }
  return "Usage: " + name +
         " [--dir FOLDER] [--data FILE]\n"
         "  or:  " +
         name +
         " --batch [OPTION]...\n"
         "  or:  " +
         name +
         " equilibrium|rocket|detonation|shock [ARGUMENT]...\n"
         "Compute the combustion of hydrogen with oxygen, without and with dissociation,\n"
         "for a sweep of O/F mass ratios around the stoichiometric value.\n"
         "\n"
         "Without --batch the interactive session runs on the terminal: presentation,\n"
         "parameter form, progress, results menu; answers are read one per line.\n"
         "The commands 'equilibrium', 'rocket', 'detonation' and 'shock', given first,\n"
         "take arguments of their own; no other argument is taken (name a working\n"
         "folder with --dir).\n"
         "\n"
         "  -C, --dir=FOLDER       work in FOLDER (entered first: the names below are\n"
         "                         taken inside it)\n"
         "  -d, --data=FILE        thermodynamic data file (default zuna.dat)\n"
         "  -b, --batch            one calculation per pressure, no dialogs; writes the\n"
         "                         report saida and the seven plot files\n"
         "  -h, --help             display this help and exit\n"
         "  -V, --version          output version information and exit\n"
         "\n"
         "Run parameters (--batch only; defaults those of the parameter form):\n" +
         parameter_help +
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
