// The options of a command described once. Each command of zuna4c is a
// table of OptionEntry (option, value type, default, accepted range, help
// text, the result column that echoes it); from the table come the
// getopt_long tables, the reading and the range check of every value with
// its message, the lines of --help and the manual page's option list (held
// to the table by a test). Adding an option is adding an entry and reading
// its value where the command takes it.
//
// Every command line of the program, the program's own options included,
// is scanned by scan_options: the one place that calls getopt_long and words
// its errors.
#pragma once

#include <getopt.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "commands/quantity.h"
#include "tables/shortest.h"

namespace zuna {

// A usage error: its message is the one line the command prints.
struct UsageError {
  std::string message;
};

enum class ValueType {
  none,           // a switch: --best, --help
  real,           // a finite number
  count,          // a whole number (int32)
  list,           // values and FIRST:LAST:COUNT ranges in logarithmic steps
  pressure,       // a number with a pressure unit (atm when none)
  pressure_list,  // a list whose values and range ends carry their own units
  word,           // one of `choices`
  words,          // a comma-separated list of `choices`
  file,           // a file name to read, not empty
  output,         // a results file name, "-" for standard output
  text,           // a text the command reads itself (a reactant item), not empty
};

inline constexpr double kNoLimit = std::numeric_limits<double>::infinity();

struct OptionEntry {
  int id = 0;                  // the command's code for the option
  const char* name = nullptr;  // the long option without its dashes; none: a --help heading
  char short_name = 0;         // 0 for none
  ValueType type = ValueType::none;
  const char* value = nullptr;         // the value's name in --help: "LIST"
  const char* default_text = nullptr;  // the default as --help writes it
  // Every value read must lie in lowest <= v <= highest (lowest < v with
  // open_below), in the unit of the option (atm for pressures).
  double lowest = -kNoLimit;
  double highest = kNoLimit;
  bool open_below = false;
  const char* range =
      nullptr;                 // the range in messages: "{lo} to {hi} K"; pressures: "{lo} to {hi}"
  const char* help = nullptr;  // --help: '\n' starts a continuation line; {lo} {hi} {default}
  const char* column = nullptr;   // the results column that echoes the value, if any
  const char* choices = nullptr;  // word, words: "tp,hp,sp,uv"
  const char* example = nullptr;  // lists: "1,10,100 or 1:100:3"
};

// A value as read and checked.
struct OptionValue {
  double real = 0.0;
  std::int32_t count = 0;
  std::vector<double> list;  // list, pressure_list (in atm)
  std::string text;          // word, file, output
  std::vector<std::string> words;
};

// The most values a list makes, and the most rows one run of a command
// writes (the product of its lists).
inline constexpr std::size_t kMaxListValues = 100000;
inline constexpr int kMaxRangeCount = 10000;
inline constexpr double kMaxRows = 1e8;

// The option table of one command.
class OptionTable {
 public:
  explicit OptionTable(std::span<const OptionEntry> entries);

  // Reads argv[1..] in order: each option's value is read, checked and
  // handed to `take`; -h/--help only sets *help (reading goes on, so that a
  // usage error still wins). An operand is a usage error.
  void parse(int argc, char** argv,
             const std::function<void(const OptionEntry&, OptionValue&&)>& take) const;

  // The option lines of --help, headings included.
  std::string help() const;

  std::span<const OptionEntry> entries() const { return entries_; }
  const OptionEntry& entry(int id) const;
  std::string option_name(int id) const;  // "--pressure"

 private:
  std::span<const OptionEntry> entries_;
  std::string short_options_;
  std::vector<option> long_options_;
};

// The one getopt_long loop of the program: calls take(code, value) for every
// option in order and answers the index of the first operand. getopt_long's
// own complaints become UsageError (a missing value, an unknown or
// ambiguous option, a value given to a switch). `long_options` ends with an
// entry without a name.
int scan_options(int argc, char** argv, const char* short_options, const option* long_options,
                 const std::function<void(int code, std::string_view value)>& take);

// The name of the option whose code is `code`, as the user would write it.
std::string option_name(const option* options, int code);

// Reading values, with the messages of `option` ("--of: ...").
double read_real_value(const std::string& option, std::string_view text);
std::int32_t read_count_value(const std::string& option, std::string_view text,
                              const std::string& range);
std::vector<double> read_list_value(const std::string& option, std::string_view text,
                                    const char* example);

// A list read with `number` for its values: nothing when it does not read
// (*too_many set when it makes more than kMaxListValues).
std::optional<std::vector<double>> read_value_list(
    std::string_view text, std::optional<double> (*number)(std::string_view), bool* too_many);

// A finite decimal number, a '+' allowed before its digits; nothing otherwise.
std::optional<double> read_number(std::string_view text);

// The ends of ranges as messages and --help write them: "%g"; or, for a
// limit computed from others, fifteen digits ("68046000", neither
// "6.8046e+07" nor "68046000.00000001").
std::string english_number(double v);
std::string limit_number(double v);

// The shortest text that reads back as v: "0.5", "1e+09".
using tables::shortest_text;

// Text echoed to the terminal with its control characters escaped ("\x1b"):
// a name or a data field never drives the terminal.
std::string printable(std::string_view text);

}  // namespace zuna
