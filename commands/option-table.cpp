#include "commands/option-table.h"

#include <getopt.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace zuna {
namespace {

// Options without a short form have codes above the character range.
constexpr int kFirstLongCode = 256;

// The width of --help's option column.
constexpr std::size_t kHelpColumn = 25;

std::string fill_in(std::string text, std::string_view key, const std::string& value) {
  for (std::size_t at = text.find(key); at != std::string::npos;
       at = text.find(key, at + value.size())) {
    text.replace(at, key.size(), value);
  }
  return text;
}

// The long options that `given` ("--np", "--np=3") abbreviates, when it is
// not one of them in full.
std::vector<std::string> abbreviated_options(const option* options, std::string_view given) {
  const std::string_view name = given.substr(2, given.find('=') - 2);
  std::vector<std::string> candidates;
  for (const option* o = options; o->name != nullptr; ++o) {
    if (name == o->name) {
      return {};
    }
    if (std::string_view(o->name).starts_with(name)) {
      candidates.push_back(std::string("'--") + o->name + "'");
    }
  }
  return candidates;
}

std::string getopt_error_text(int code, char** argv, const option* options) {
  const std::string given = printable(argv[optind - 1]);
  if (code == ':') {
    return "option '" + given + "' requires a value";
  }
  // optopt is 0 for an unknown long option, the option's own code for a long
  // option given a value it does not take, and the character for an unknown
  // short option.
  if (given.rfind("--", 0) == 0) {
    const std::string name = given.substr(0, given.find('='));
    if (optopt != 0) {
      return "option '" + name + "' takes no value";
    }
    if (const std::vector<std::string> fits = abbreviated_options(options, argv[optind - 1]);
        fits.size() > 1) {
      std::string list;
      for (const std::string& f : fits) {
        list += (list.empty() ? "" : ", ") + printable(f);
      }
      return "option '" + name + "' is ambiguous: it may be " + list;
    }
    return "unrecognized option '" + name + "'";
  }
  return "invalid option -- '" + printable(std::string(1, static_cast<char>(optopt))) + "'";
}

// The range of `entry` in the words of its messages, for a value given in
// `unit` (pressures).
std::string range_text(const OptionEntry& entry, const PressureUnit* unit) {
  if (unit != nullptr) {
    return limit_number(pressure_in(entry.lowest, *unit)) + " to " +
           limit_number(pressure_in(entry.highest, *unit)) + " " + unit->name;
  }
  return fill_in(fill_in(entry.range != nullptr ? entry.range : "{lo} to {hi}", "{lo}",
                         english_number(entry.lowest)),
                 "{hi}", english_number(entry.highest));
}

bool in_range(const OptionEntry& entry, double v) {
  return (entry.open_below ? v > entry.lowest : v >= entry.lowest) && v <= entry.highest;
}

// A value out of range is refused naming the range; a pressure's range is
// told in the unit it was given in, the value as it was written.
void check_value(const std::string& name, const OptionEntry& entry, double v,
                 const Pressure* pressure = nullptr) {
  if (!in_range(entry, v)) {
    const bool written = pressure != nullptr && pressure->unit_written;
    const std::string value =
        written ? limit_number(pressure->given) + pressure->unit->name : shortest_text(v);
    throw UsageError{name + ": " + value + " is out of range (" +
                     range_text(entry, pressure != nullptr ? pressure->unit : nullptr) + ")"};
  }
}

enum class ListProblem { none, not_a_list, too_many, range_count, unknown_unit };

// A list of values: items separated by commas, each a value or a range
// FIRST:LAST:COUNT of COUNT values from FIRST to LAST in equal logarithmic
// steps. `read` reads one value (or range end) into a Pressure: its number
// in the option's unit and the unit it was given in (none for plain values).
// The count is checked before the list grows.
std::vector<double> parse_values(
    std::string_view text,
    const std::function<std::optional<Pressure>(std::string_view, QuantityError*)>& read,
    ListProblem& problem, std::vector<Pressure>* given) {
  std::vector<double> list;
  problem = ListProblem::none;
  auto fail = [&](ListProblem p) {
    problem = p;
    return std::vector<double>{};
  };
  auto take = [&](std::string_view item, Pressure& p) {
    QuantityError e = QuantityError::none;
    const std::optional<Pressure> v = read(item, &e);
    if (!v) {
      return e == QuantityError::unknown_unit ? ListProblem::unknown_unit : ListProblem::not_a_list;
    }
    p = *v;
    return ListProblem::none;
  };
  for (std::size_t at = 0;;) {
    const std::size_t comma = text.find(',', at);
    const std::string_view item = text.substr(at, comma - at);
    const std::size_t colon = item.find(':');
    if (colon == std::string_view::npos) {
      Pressure v;
      if (const ListProblem p = take(item, v); p != ListProblem::none) {
        return fail(p);
      }
      if (list.size() + 1 > kMaxListValues) {
        return fail(ListProblem::too_many);
      }
      list.push_back(v.atm);
      if (given != nullptr) {
        given->push_back(v);
      }
    } else {
      const std::size_t second = item.find(':', colon + 1);
      if (second == std::string_view::npos) {
        return fail(ListProblem::not_a_list);
      }
      Pressure first, last;
      if (const ListProblem p = take(item.substr(0, colon), first); p != ListProblem::none) {
        return fail(p);
      }
      if (const ListProblem p = take(item.substr(colon + 1, second - colon - 1), last);
          p != ListProblem::none) {
        return fail(p);
      }
      const std::string_view count_text = item.substr(second + 1);
      long long count = 0;
      const auto r =
          std::from_chars(count_text.data(), count_text.data() + count_text.size(), count);
      if (first.given <= 0.0 || last.given <= 0.0 || r.ec == std::errc::invalid_argument ||
          r.ptr != count_text.data() + count_text.size()) {
        return fail(ListProblem::not_a_list);
      }
      if (r.ec != std::errc() || count < 1 || count > kMaxRangeCount) {
        return fail(ListProblem::range_count);
      }
      if (list.size() + static_cast<std::size_t>(count) > kMaxListValues) {
        return fail(ListProblem::too_many);
      }
      // The exponents are spread evenly between log10(FIRST) and log10(LAST),
      // so that decades land on round values (pow(10, 1) is exactly 10); the
      // ends are taken as written. Ends in one unit are spread in that unit
      // and each value converted; ends in two units are spread in atm.
      const bool one_unit = first.unit == last.unit;
      const double a = one_unit ? first.given : first.atm;
      const double b = one_unit ? last.given : last.atm;
      const double low = std::log10(a);
      const double step = count > 1 ? (std::log10(b) - low) / static_cast<double>(count - 1) : 0.0;
      for (long long k = 0; k < count; ++k) {
        const double v = k == 0 ? a : k == count - 1 ? b : std::pow(10.0, low + k * step);
        const PressureUnit* unit = one_unit ? first.unit : nullptr;
        Pressure p = k == 0 ? first : k == count - 1 ? last : Pressure{v, v, unit, false};
        if (k != 0 && k != count - 1 && unit != nullptr) {
          p.atm = pressure_to_atm(v, *unit);
          p.unit_written = first.unit_written;
        }
        list.push_back(p.atm);
        if (given != nullptr) {
          given->push_back(p);
        }
      }
    }
    if (comma == std::string_view::npos) {
      return list;
    }
    at = comma + 1;
  }
}

}  // namespace

namespace {

std::string list_problem_text(const std::string& name, std::string_view text, ListProblem p,
                              const char* example) {
  switch (p) {
    case ListProblem::too_many:
      return name + ": the list makes more than " + std::to_string(kMaxListValues) + " values";
    case ListProblem::range_count:
      return name + ": '" + printable(text) + "': the COUNT of a range is 1 to " +
             std::to_string(kMaxRangeCount);
    case ListProblem::unknown_unit:
      return name + ": '" + printable(text) + "' has a unit that is not one of " +
             pressure_unit_names();
    case ListProblem::none:
    case ListProblem::not_a_list: break;
  }
  return name + ": '" + printable(text) + "' is not a list of values (like " + example + ")";
}

std::optional<Pressure> plain_value(std::string_view text, QuantityError* error) {
  const std::optional<double> v = read_number(text);
  if (!v) {
    *error = QuantityError::not_a_number;
    return std::nullopt;
  }
  return Pressure{*v, *v, nullptr, false};
}

std::optional<Pressure> pressure_value(std::string_view text, QuantityError* error) {
  return read_pressure(text, read_number, error);
}

}  // namespace

std::optional<double> read_number(std::string_view s) {
  // A '+' stands only before the digits: "+-6" is no number.
  if (s.size() > 1 && s.front() == '+' && s[1] != '-' && s[1] != '+') {
    s.remove_prefix(1);
  }
  double v = 0.0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) {
    return std::nullopt;
  }
  return v;
}

double read_real_value(const std::string& option, std::string_view text) {
  const std::optional<double> v = read_number(text);
  if (!v) {
    throw UsageError{option + ": '" + printable(text) + "' is not a number"};
  }
  return *v;
}

std::int32_t read_count_value(const std::string& option, std::string_view text,
                              const std::string& range) {
  std::string_view s = text;
  if (s.size() > 1 && s.front() == '+' && s[1] != '-' && s[1] != '+') {
    s.remove_prefix(1);
  }
  std::int32_t v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec == std::errc::result_out_of_range && r.ptr == s.data() + s.size()) {
    throw UsageError{option + ": " + printable(text) + " is out of range (" + range + ")"};
  }
  if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size()) {
    throw UsageError{option + ": '" + printable(text) + "' is not a whole number"};
  }
  return v;
}

std::vector<double> read_list_value(const std::string& option, std::string_view text,
                                    const char* example) {
  ListProblem problem = ListProblem::none;
  std::vector<double> list = parse_values(text, plain_value, problem, nullptr);
  if (problem != ListProblem::none) {
    throw UsageError{list_problem_text(option, text, problem, example)};
  }
  return list;
}

std::optional<std::vector<double>> read_value_list(
    std::string_view text, std::optional<double> (*number)(std::string_view), bool* too_many) {
  ListProblem problem = ListProblem::none;
  std::vector<double> list = parse_values(
      text,
      [number](std::string_view item, QuantityError*) -> std::optional<Pressure> {
        const std::optional<double> v = number(item);
        return v ? std::optional<Pressure>(Pressure{*v, *v, nullptr, false}) : std::nullopt;
      },
      problem, nullptr);
  if (too_many != nullptr) {
    *too_many = problem == ListProblem::too_many;
  }
  if (problem != ListProblem::none) {
    return std::nullopt;
  }
  return list;
}

std::string english_number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

std::string limit_number(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.15g", v);
  return text;
}

std::string printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

std::string option_name(const option* options, int code) {
  for (const option* o = options; o->name != nullptr; ++o) {
    if (o->val == code) {
      return std::string("--") + o->name;
    }
  }
  return std::string("-") + static_cast<char>(code);
}

int scan_options(int argc, char** argv, const char* short_options, const option* long_options,
                 const std::function<void(int code, std::string_view value)>& take) {
  opterr = 0;
  optind = 0;  // a fresh scan, also when called again
  for (;;) {
    const int code = getopt_long(argc, argv, short_options, long_options, nullptr);
    if (code == -1) {
      return optind;
    }
    if (code == ':' || code == '?') {
      throw UsageError{getopt_error_text(code, argv, long_options)};
    }
    take(code, optarg != nullptr ? optarg : "");
  }
}

OptionTable::OptionTable(std::span<const OptionEntry> entries) : entries_(entries), short_options_(":") {
  for (std::size_t k = 0; k < entries.size(); ++k) {
    const OptionEntry& s = entries[k];
    if (s.name == nullptr) {
      continue;
    }
    const bool value = s.type != ValueType::none;
    const int code = s.short_name != 0 ? s.short_name : kFirstLongCode + static_cast<int>(k);
    if (s.short_name != 0) {
      short_options_.append(1, s.short_name).append(value ? ":" : "");
    }
    long_options_.push_back({s.name, value ? required_argument : no_argument, nullptr, code});
  }
  long_options_.push_back({nullptr, 0, nullptr, 0});
}

const OptionEntry& OptionTable::entry(int id) const {
  for (const OptionEntry& s : entries_) {
    if (s.name != nullptr && s.id == id) {
      return s;
    }
  }
  throw std::logic_error("no such option");
}

std::string OptionTable::option_name(int id) const { return std::string("--") + entry(id).name; }

void OptionTable::parse(int argc, char** argv,
                        const std::function<void(const OptionEntry&, OptionValue&&)>& take) const {
  const int operand = scan_options(
      argc, argv, short_options_.c_str(), long_options_.data(),
      [&](int code, std::string_view arg) {
        const OptionEntry* found = nullptr;
        for (std::size_t k = 0; k < entries_.size() && found == nullptr; ++k) {
          const OptionEntry& s = entries_[k];
          if (s.name != nullptr &&
              (s.short_name != 0 ? s.short_name : kFirstLongCode + static_cast<int>(k)) == code) {
            found = &s;
          }
        }
        const OptionEntry& s = *found;
        const std::string name = std::string("--") + s.name;
        OptionValue v;
        switch (s.type) {
          case ValueType::none: break;
          case ValueType::real:
            v.real = read_real_value(name, arg);
            check_value(name, s, v.real);
            break;
          case ValueType::count:
            v.count = read_count_value(name, arg, range_text(s, nullptr));
            check_value(name, s, v.count);
            break;
          case ValueType::list:
          case ValueType::pressure_list: {
            const bool pressure = s.type == ValueType::pressure_list;
            ListProblem problem = ListProblem::none;
            std::vector<Pressure> given;
            v.list = parse_values(arg, pressure ? pressure_value : plain_value, problem, &given);
            if (problem != ListProblem::none) {
              throw UsageError{list_problem_text(name, arg, problem, s.example)};
            }
            for (const Pressure& p : given) {
              check_value(name, s, p.atm, pressure ? &p : nullptr);
            }
            break;
          }
          case ValueType::pressure: {
            QuantityError e = QuantityError::none;
            const std::optional<Pressure> p = read_pressure(arg, read_number, &e);
            if (!p && e == QuantityError::unknown_unit) {
              throw UsageError{name + ": '" + printable(arg) + "' has a unit that is not one of " +
                               pressure_unit_names()};
            }
            if (!p) {
              throw UsageError{name + ": '" + printable(arg) + "' is not a pressure (like 1.5, " +
                               "20bar or 1000psia)"};
            }
            check_value(name, s, p->atm, &*p);
            v.real = p->atm;
            break;
          }
          case ValueType::word:
          case ValueType::words: {
            const std::string_view choices = s.choices;
            std::string listed = std::string(choices);
            for (std::size_t at = 0; (at = listed.find(',', at)) != std::string::npos; at += 2) {
              listed.replace(at, 1, ", ");
            }
            for (std::size_t at = 0;;) {
              const std::size_t comma =
                  s.type == ValueType::words ? arg.find(',', at) : std::string_view::npos;
              const std::string_view word = arg.substr(at, comma - at);
              bool known = false;
              for (std::size_t c = 0; c <= choices.size() && !known;) {
                const std::size_t end = std::min(choices.find(',', c), choices.size());
                known = !word.empty() && choices.substr(c, end - c) == word;
                c = end + 1;
              }
              if (!known) {
                throw UsageError{name + ": '" + printable(word) + "' is not one of " + listed};
              }
              v.words.emplace_back(word);
              if (comma == std::string_view::npos) {
                break;
              }
              at = comma + 1;
            }
            v.text = std::string(arg);
            break;
          }
          case ValueType::file:
            if (arg.empty()) {
              throw UsageError{name + ": the file name is empty"};
            }
            v.text = std::string(arg);
            break;
          case ValueType::output: v.text = std::string(arg); break;
          case ValueType::text:
            if (arg.empty()) {
              throw UsageError{name + ": the value is empty"};
            }
            v.text = std::string(arg);
            break;
        }
        take(s, std::move(v));
      });
  if (operand < argc) {
    throw UsageError{"unexpected argument '" + printable(argv[operand]) + "'"};
  }
}

std::string OptionTable::help() const {
  std::string lines;
  for (const OptionEntry& s : entries_) {
    if (s.name == nullptr) {
      lines.append(lines.empty() ? "" : "\n").append(s.help).append("\n");
      continue;
    }
    std::string head =
        s.short_name != 0 ? std::string("  -") + s.short_name + ", --" : std::string("      --");
    head.append(s.name);
    if (s.value != nullptr) {
      head.append("=").append(s.value);
    }
    head.append(head.size() < kHelpColumn ? kHelpColumn - head.size() : 1, ' ');
    const std::string text = fill_in(fill_in(fill_in(s.help, "{lo}", english_number(s.lowest)),
                                             "{hi}", english_number(s.highest)),
                                     "{default}", s.default_text != nullptr ? s.default_text : "");
    lines += head;
    for (std::size_t at = 0;;) {
      const std::size_t end = text.find('\n', at);
      lines.append(text, at, end - at).append("\n");
      if (end == std::string::npos) {
        break;
      }
      lines.append(kHelpColumn, ' ');
      at = end + 1;
    }
  }
  return lines;
}

}  // namespace zuna
