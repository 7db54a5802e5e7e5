// Reading the console program's options: the parameter form's defaults,
// pressure lists and ranges, reaction switches, and where each applies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command-line.h"

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

}  // namespace
}  // namespace zuna
