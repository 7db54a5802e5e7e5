// Reading the console program's options: the parameter form's defaults,
// pressure lists and ranges, reaction switches, and where each applies; the
// run parameters' messages and --help lines made from their table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "commands/command-line.h"
#include "commands/equilibrium-options.h"
#include "commands/rocket-options.h"
#include "commands/wave-options.h"

namespace zuna {
namespace {

CommandLine parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "zuna4c");
  std::vector<char*> argv;
  for (std::string& a : arguments) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  return parse_command_line(static_cast<int>(arguments.size()), argv.data());
}

TEST(CommandLine, BatchDefaultsAreThoseOfTheParameterForm) {
  const CommandLine c = parse({"--batch"});
  ASSERT_EQ(c.action, CommandAction::batch) << c.error;
  const RunParameters& p = c.batch.parameters;
  EXPECT_EQ(p.rmin, 0.5);
  EXPECT_EQ(p.rmax, 2.0);
  EXPECT_EQ(p.npmin, 10);
  EXPECT_EQ(p.npmax, 20);
  EXPECT_EQ(p.tolh, 1.0e-3);
  EXPECT_EQ(p.itmaxh, 100);
  EXPECT_EQ(p.toln, 1.0e-10);
  EXPECT_EQ(p.itmaxn, 200);
  EXPECT_EQ(p.act1 + p.act2 + p.act3 + p.act4, 4.0);
  EXPECT_EQ(c.batch.pressures, std::vector<double>{1.0});
  EXPECT_EQ(c.batch.data_file, "zuna.dat");
}

TEST(CommandLine, ValuesReadLikeTheForm) {
  const CommandLine c = parse({"-b", "--toln=1.0d-12", "--rmax", "+3.5D0", "--npmin=0",
                               "--reactions=1,2,4", "--no-reaction=1", "-p10"});
  ASSERT_EQ(c.action, CommandAction::batch) << c.error;
  EXPECT_EQ(c.batch.parameters.toln, 1.0e-12);
  EXPECT_EQ(c.batch.parameters.rmax, 3.5);
  EXPECT_EQ(c.batch.parameters.npmin, 0);
  const RunParameters& p = c.batch.parameters;
  EXPECT_EQ((std::vector<double>{p.act1, p.act2, p.act3, p.act4}),
            (std::vector<double>{0.0, 1.0, 0.0, 1.0}));
  EXPECT_EQ(c.batch.pressures, std::vector<double>{10.0});
}

TEST(CommandLine, PressureListsAndRanges) {
  EXPECT_EQ(parse_pressure_list("1,10,100"), (std::vector<double>{1.0, 10.0, 100.0}));
  // Decades land on round values; the ends are the values as written.
  EXPECT_EQ(parse_pressure_list("1:100:3"), (std::vector<double>{1.0, 10.0, 100.0}));
  EXPECT_EQ(parse_pressure_list("0.1:1000:5"),
            (std::vector<double>{0.1, 1.0, 10.0, 100.0, 1000.0}));
  EXPECT_EQ(parse_pressure_list("2,5:5:1"), (std::vector<double>{2.0, 5.0}));
  const auto ten = parse_pressure_list("1:1e5:10");
  ASSERT_TRUE(ten);
  ASSERT_EQ(ten->size(), 10u);
  for (std::size_t k = 1; k < ten->size(); ++k) {
    EXPECT_GT((*ten)[k], (*ten)[k - 1]);
  }
  EXPECT_EQ(ten->back(), 1e5);
  for (const char* bad : {"", "1,", ",1", "1:10", "1:10:0", "0:10:3", "1:10:x", "a", "1;2", "inf",
                          "nan", "1:10:3:4"}) {
    EXPECT_FALSE(parse_pressure_list(bad)) << bad;
  }
}

TEST(CommandLine, WhereOptionsApply) {
  EXPECT_EQ(parse({}).action, CommandAction::interactive);
  // The interactive session takes the folder and the data file.
  const CommandLine i = parse({"-C", "work", "--data", "other.dat"});
  EXPECT_EQ(i.action, CommandAction::interactive) << i.error;
  EXPECT_EQ(i.folder, "work");
  EXPECT_EQ(i.batch.data_file, "other.dat");
  EXPECT_TRUE(i.batch.data_given);
  EXPECT_FALSE(parse({"--batch"}).batch.data_given);
  // --help wins over everything valid after or before it.
  EXPECT_EQ(parse({"--batch", "--help", "--rmin=0.7"}).action, CommandAction::help);
  EXPECT_EQ(parse({"--version"}).action, CommandAction::version);
  for (const auto& args :
       std::vector<std::vector<std::string>>{{"--pressure=10"},
                                             {"--suffix"},
                                             {"--json=x"},
                                             {"--data="},
                                             {"--batch", "-p", "2:1"},
                                             {"--batch", "--reactions=1,,2"},
                                             {"--batch", "--npmin=50", "--npmax=51"}}) {
    const CommandLine c = parse(args);
    EXPECT_EQ(c.action, CommandAction::usage_error) << args.front();
    EXPECT_FALSE(c.error.empty());
  }
}

// The number of calculations has a cap, checked while the list is read: a
// list beyond it is refused before it is made.
TEST(CommandLine, PressureListsHaveACap) {
  std::string ten_ranges;
  for (int k = 0; k < 10; ++k) {
    ten_ranges += (k == 0 ? "" : ",") + std::string("1:100:10000");
  }
  bool too_many = false;
  const auto at_cap = parse_pressure_list(ten_ranges, &too_many);
  ASSERT_TRUE(at_cap);
  EXPECT_EQ(at_cap->size(), kMaxCalculations);
  EXPECT_FALSE(too_many);
  for (const std::string& beyond : {ten_ranges + ",1", "1," + ten_ranges}) {
    too_many = false;
    EXPECT_FALSE(parse_pressure_list(beyond, &too_many));
    EXPECT_TRUE(too_many);
  }
  const CommandLine c = parse({"-b", "-p", ten_ranges + ",5"});
  EXPECT_EQ(c.action, CommandAction::usage_error);
  EXPECT_NE(c.error.find("100000"), std::string::npos) << c.error;
}

// Messages of one line that say what is wrong: an abbreviation that fits
// several options lists them (one that fits one is taken); an operand is
// refused naming --dir; point counts that are each valid but too many
// together name their sum.
TEST(CommandLine, UsageErrorsSayWhatIsWrong) {
  const CommandLine ambiguous = parse({"-b", "--np=3"});
  EXPECT_EQ(ambiguous.action, CommandAction::usage_error);
  for (const char* part : {"'--np'", "ambiguous", "'--npmin'", "'--npmax'"}) {
    EXPECT_NE(ambiguous.error.find(part), std::string::npos) << ambiguous.error;
  }
  const CommandLine unique = parse({"-b", "--npmi=3"});
  ASSERT_EQ(unique.action, CommandAction::batch) << unique.error;
  EXPECT_EQ(unique.batch.parameters.npmin, 3);

  for (const auto& args : std::vector<std::vector<std::string>>{{"work"}, {"-b", "work"}}) {
    const CommandLine c = parse(args);
    EXPECT_EQ(c.action, CommandAction::usage_error);
    EXPECT_NE(c.error.find("'work'"), std::string::npos) << c.error;
    EXPECT_NE(c.error.find("--dir"), std::string::npos) << c.error;
  }

  const CommandLine sum = parse({"-b", "--npmin=51", "--npmax=50"});
  EXPECT_EQ(sum.action, CommandAction::usage_error);
  EXPECT_NE(sum.error.find("--npmin + --npmax"), std::string::npos) << sum.error;
  EXPECT_NE(sum.error.find("101"), std::string::npos) << sum.error;
  // A count out of range by itself is named alone.
  const CommandLine alone = parse({"-b", "--npmax=101"});
  EXPECT_EQ(alone.error.rfind("--npmax: 101", 0), 0u) << alone.error;
  EXPECT_EQ(alone.error.find("--npmin +"), std::string::npos) << alone.error;
}

// The messages of the hostile pass: a count past int32 names its range, a
// sign after '+' is no number, control characters come back escaped.
TEST(CommandLine, MessagesNameRangesAndEscapeControls) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-b", "--npmin", "2147483648"},
       "--npmin: 2147483648 is out of range (0 to 100, npmin + npmax at most 100)"},
      {{"-b", "--rmin=+-0.5"}, "--rmin: '+-0.5' is not a number"},
      {{"-b", "--pressure=+-6"},
       "--pressure: '+-6' is not a list of pressures (like 1,10,100 or 1:100:3)"},
      {{"-b", "--pressure=\x1b[2J"},
       "--pressure: '\\x1b[2J' is not a list of pressures (like 1,10,100 or 1:100:3)"},
      {{"\x1b]0;x\x07"},
       "unexpected argument '\\x1b]0;x\\x07' (a working folder is named with --dir)"},
  };
  for (const auto& [args, message] : cases) {
    const CommandLine c = parse(args);
    EXPECT_EQ(c.action, CommandAction::usage_error);
    EXPECT_EQ(c.error, message);
  }
}

// Each run parameter's range is told in the words of the command line,
// with the numbers of the table.
TEST(CommandLine, ValuesOutOfRangeNameTheOptionAndTheRange) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--rmin=0"}, "--rmin: 0 is out of range (0 < rmin <= 1)"},
      {{"--rmax=100.5"}, "--rmax: 100.5 is out of range (1 <= rmax <= 100)"},
      {{"--npmin=-1"}, "--npmin: -1 is out of range (0 to 100, npmin + npmax at most 100)"},
      {{"-p", "1,2e5"}, "--pressure: 2e+05 is out of range (1e-06 to 100000 atm)"},
      {{"--toln=-1d-10"}, "--toln: -1e-10 is out of range (above 0)"},
      {{"--itmaxn=100000"}, "--itmaxn: 100000 is out of range (1 to 99999)"},
  };
  for (const auto& [arguments, error] : cases) {
    std::vector<std::string> args = {"--batch"};
    args.insert(args.end(), arguments.begin(), arguments.end());
    const CommandLine c = parse(args);
    EXPECT_EQ(c.action, CommandAction::usage_error) << error;
    EXPECT_EQ(c.error, error);
  }
  RunParameters p = dialog_default_parameters();
  EXPECT_FALSE(parameter_problem_text(p));
  p.npmin = 60, p.npmax = 41;
  EXPECT_EQ(parameter_problem_text(p), "--npmin + --npmax: 60 + 41 = 101 points is more than 100");
}

TEST(CommandLine, HelpListsEveryRunParameterWithItsRangeAndDefault) {
  const std::string help = usage_text("zuna4c");
  for (const char* lines : {
           "      --rmin=R           minimum O/F / stoichiometric O/F, 0 < R <= 1 (0.5)\n",
           "      --npmax=N          points between stoichiometric and maximum O/F (20);\n"
           "                         0 <= N, npmin + npmax <= 100\n",
           "  -p, --pressure=LIST    total pressure [atm], 1e-06 to 100000 (1.0); a list\n"
           "                         runs one calculation each: 1,10,100, or FIRST:LAST:COUNT\n"
           "                         for COUNT pressures in equal logarithmic steps;\n"
           "                         100000 calculations at most\n",
           "      --toln=T           tolerance on moles of the equilibrium (1.0e-10)\n",
       }) {
    EXPECT_NE(help.find(lines), std::string::npos) << lines;
  }
  for (const ParameterDescriptor& d : kRunParameterTable) {
    if (d.option.name != nullptr) {
      EXPECT_NE(help.find(std::string("--") + d.option.name + "="), std::string::npos) << d.name;
    }
  }
}

// The manual page is written by hand: its entries of the options are held
// to the options of --help, and those of the run parameters to the table's
// order, ranges and defaults.
class ManualPage : public ::testing::Test {
 protected:
  struct Entry {
    std::vector<std::string> options;  // the long options of its head
    std::string text;                  // what follows the head, "\-" read as "-"
  };

  // The entries (.TP, head, text) of the section OPTIONS, or of the
  // subsection "Options" of the section `section`.
  static std::vector<Entry> option_entries(const std::string& section = "OPTIONS") {
    std::ifstream in(ZUNA_MAN_DIR "/zuna4c.1");
    EXPECT_TRUE(in) << ZUNA_MAN_DIR "/zuna4c.1";
    std::vector<Entry> entries;
    std::string line;
    bool in_section = false, in_options = false, head_next = false;
    const std::regex option_name(R"(\\-\\-((?:[a-z0-9]|\\-)+))");
    while (std::getline(in, line)) {
      if (line.starts_with(".SH")) {
        in_section = line == ".SH " + section;
        in_options = in_section && section == "OPTIONS";
        continue;
      }
      if (in_section && line.starts_with(".SS")) {
        in_options = line == ".SS Options";
        continue;
      }
      if (!in_options) {
        continue;
      }
      if (line == ".TP") {
        head_next = true;
      } else if (head_next) {
        head_next = false;
        Entry e;
        for (std::sregex_iterator it(line.begin(), line.end(), option_name), end; it != end; ++it) {
          std::string name = (*it)[1];
          e.options.push_back(std::regex_replace(name, std::regex(R"(\\-)"), "-"));
        }
        e.text = plain(line) + " ";
        entries.push_back(e);
      } else if (line.starts_with(".PP")) {
        entries.push_back({});  // the text after it belongs to no entry
      } else if (!entries.empty()) {
        entries.back().text += plain(line) + " ";
      }
    }
    return entries;
  }

  // A line without its font escapes and macro names, "\\-" read as "-".
  static std::string plain(const std::string& line) {
    std::string text = std::regex_replace(line, std::regex(R"(\\f[BIRP])"), "");
    text = std::regex_replace(text, std::regex(R"(^\.[A-Z]+ )"), "");
    return std::regex_replace(text, std::regex(R"(\\-)"), "-");
  }

  // The words of a text, without the punctuation around numbers.
  static std::set<std::string> words(const std::string& text) {
    std::set<std::string> out;
    std::string word;
    for (char c : text + " ") {
      if (c == ' ' || c == '(' || c == ')' || c == ',' || c == ';' || c == '=' || c == '|' ||
          c == '"') {
        while (!word.empty() && (word.back() == '.' || word.back() == ':')) {
          word.pop_back();
        }
        if (!word.empty()) {
          out.insert(word);
        }
        word.clear();
      } else {
        word += c;
      }
    }
    return out;
  }
};

TEST_F(ManualPage, ListsTheOptionsOfHelp) {
  std::set<std::string> documented;
  for (const Entry& e : option_entries()) {
    documented.insert(e.options.begin(), e.options.end());
  }
  const std::string help = usage_text("zuna4c");
  const std::regex option_line(R"((?:^|\n)(?:  -., |      )--([a-z-]+))");
  int count = 0;
  for (std::sregex_iterator it(help.begin(), help.end(), option_line), end; it != end; ++it) {
    EXPECT_TRUE(documented.count((*it)[1])) << "--" << (*it)[1] << " is not in zuna4c(1)";
    ++count;
  }
  EXPECT_GE(count, 20);
}

TEST_F(ManualPage, RunParametersInTheTablesOrderWithRangesAndDefaults) {
  const std::vector<Entry> entries = option_entries();
  std::size_t last = 0;
  for (const ParameterDescriptor& d : kRunParameterTable) {
    if (d.option.name == nullptr) {
      continue;
    }
    SCOPED_TRACE(d.option.name);
    std::size_t k = 0;
    while (k < entries.size() && std::find(entries[k].options.begin(), entries[k].options.end(),
                                           d.option.name) == entries[k].options.end()) {
      ++k;
    }
    ASSERT_LT(k, entries.size()) << "no entry in zuna4c(1)";
    EXPECT_GE(k, last) << "out of the table's order";
    last = k;
    const std::set<std::string> said = words(entries[k].text);
    std::string default_text = d.default_text;
    if (default_text.ends_with("d0")) {
      default_text.resize(default_text.size() - 2);
    }
    std::replace(default_text.begin(), default_text.end(), 'd', 'e');
    std::vector<std::string> expected = {default_text};
    for (double end : {d.range.lowest, d.range.highest}) {
      if (std::isfinite(end)) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", end);
        expected.push_back(text);
      }
    }
    for (const std::string& word : expected) {
      EXPECT_TRUE(said.count(word)) << word << " missing from: " << entries[k].text;
    }
  }
}

// Each subcommand's options in its section of the manual page, with the
// ends of the ranges its --help names and its default, from the table.
TEST_F(ManualPage, SubcommandOptionsAsTheirTablesDescribeThem) {
  const std::pair<const char*, std::span<const OptionEntry>> commands[] = {
      {"THE EQUILIBRIUM SUBCOMMAND", equilibrium_options()},
      {"THE ROCKET SUBCOMMAND", rocket_options()},
      {"THE DETONATION SUBCOMMAND", detonation_options()},
      {"THE SHOCK SUBCOMMAND", shock_options()},
  };
  for (const auto& [section, table_entries] : commands) {
    SCOPED_TRACE(section);
    const std::vector<Entry> entries = option_entries(section);
    ASSERT_FALSE(entries.empty());
    std::string all;
    for (const Entry& e : entries) {
      all += e.text;
    }
    EXPECT_NE(all.find("100000 values"), std::string::npos) << "the cap of a list";
    EXPECT_NE(all.find("100000000 rows"), std::string::npos) << "the cap of a run";
    for (const OptionEntry& option : table_entries) {
      if (option.name == nullptr) {
        continue;
      }
      SCOPED_TRACE(option.name);
      const auto entry = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) {
        return std::find(e.options.begin(), e.options.end(), option.name) != e.options.end();
      });
      ASSERT_NE(entry, entries.end()) << "no entry in zuna4c(1)";
      const std::set<std::string> said = words(entry->text);
      std::vector<std::string> expected;
      if (option.default_text != nullptr) {
        expected.push_back(option.default_text);
      }
      const std::string help = option.help;
      if (help.find("{lo}") != std::string::npos) {
        expected.push_back(english_number(option.lowest));
      }
      if (help.find("{hi}") != std::string::npos) {
        expected.push_back(english_number(option.highest));
      }
      if (option.type == ValueType::pressure || option.type == ValueType::pressure_list) {
        for (const PressureUnit& unit : pressure_units()) {
          expected.push_back(unit.name);
        }
      }
      for (const std::string& word : expected) {
        EXPECT_TRUE(said.count(word)) << word << " missing from: " << entry->text;
      }
    }
  }
}

}  // namespace
}  // namespace zuna
