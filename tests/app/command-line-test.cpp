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

}  // namespace
}  // namespace zuna
