// The option tables: values read with their units and checked against the
// table's ranges, the messages that name the option, the value and the
// range or cap exactly, and echoed text that never carries a control byte.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "commands/equilibrium-options.h"
#include "commands/option-table.h"
#include "commands/quantity.h"
#include "commands/rocket-options.h"

namespace zuna {
namespace {

// Parses `args` (after a command name) with `specs`; answers the values by
// option id, or the usage error's message.
struct Parsed {
  std::string error;
  std::vector<std::pair<int, OptionValue>> values;
};

Parsed parse(std::span<const OptionEntry> specs, std::vector<std::string> args) {
  args.insert(args.begin(), "command");
  std::vector<char*> argv;
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  Parsed p;
  try {
    OptionTable(specs).parse(
        static_cast<int>(args.size()), argv.data(),
        [&](const OptionEntry& s, OptionValue&& v) { p.values.emplace_back(s.id, std::move(v)); });
  } catch (const UsageError& e) {
    p.error = e.message;
  }
  return p;
}

constexpr OptionEntry kTestOptions[] = {
    {.help = "Test:"},
    {.id = 1,
     .name = "pressure",
     .short_name = 'p',
     .type = ValueType::pressure_list,
     .value = "LIST",
     .lowest = 1e-6,
     .highest = 1e5,
     .help = "pressures, {lo} to {hi}"},
    {.id = 2,
     .name = "p0",
     .type = ValueType::pressure,
     .value = "P",
     .lowest = 1e-6,
     .highest = 1e5,
     .help = "one pressure"},
    {.id = 3,
     .name = "count",
     .type = ValueType::count,
     .value = "N",
     .lowest = 0,
     .highest = 100,
     .range = "{lo} to {hi}",
     .help = "a count"},
    {.id = 4,
     .name = "of",
     .type = ValueType::list,
     .value = "LIST",
     .lowest = 0.1,
     .highest = 40,
     .range = "{lo} to {hi}",
     .help = "ratios",
     .example = "4,6"},
    {.id = 5,
     .name = "model",
     .type = ValueType::words,
     .value = "LIST",
     .help = "models",
     .choices = "equilibrium,frozen"},
    {.id = 6,
     .name = "ratio",
     .type = ValueType::real,
     .value = "R",
     .lowest = 1,
     .highest = kNoLimit,
     .open_below = true,
     .range = "greater than 1",
     .help = "a ratio"},
};

TEST(Quantity, PressuresReadWithTheirUnits) {
  const auto read = [](std::string_view text) {
    const std::optional<Pressure> p = read_pressure(text, read_number);
    EXPECT_TRUE(p) << text;
    return p ? p->atm : NAN;
  };
  EXPECT_EQ(read("68.046"), 68.046);  // atm as written, to the bit
  EXPECT_EQ(read("68.046atm"), 68.046);
  EXPECT_EQ(read("101325Pa"), 1.0);
  EXPECT_EQ(read("20bar"), 20 * 1e5 / 101325.0);
  EXPECT_EQ(read("1000psia"), 1000 * 6894.757293168361 / 101325.0);
  EXPECT_EQ(read("6.9MPa"), 6.9 * 1e6 / 101325.0);
  EXPECT_EQ(read("100kPa"), 100 * 1e3 / 101325.0);
  EXPECT_EQ(read("10mmHg"), 10 * 133.322387415 / 101325.0);
  EXPECT_DOUBLE_EQ(read("760torr"), 1.0);
  EXPECT_EQ(read("1e5Pa"), 1e5 / 101325.0);  // an exponent is no unit
  QuantityError e = QuantityError::none;
  EXPECT_FALSE(read_pressure("20BAR", read_number, &e));
  EXPECT_EQ(e, QuantityError::unknown_unit);
  EXPECT_FALSE(read_pressure("bar", read_number, &e));
  EXPECT_EQ(e, QuantityError::not_a_number);
  EXPECT_EQ(pressure_unit_names(), "Pa, kPa, MPa, bar, atm, psia, mmHg, torr");
}

TEST(OptionTable, ListsAndRangesCarryTheirOwnUnits) {
  const Parsed p = parse(kTestOptions, {"-p", "1bar:100bar:3,2atm,1000psia", "--p0=10mmHg"});
  ASSERT_EQ(p.error, "");
  const std::vector<double>& list = p.values[0].second.list;
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0], 1e5 / 101325.0);
  EXPECT_EQ(list[1], 10 * 1e5 / 101325.0);  // spread in bar, then converted
  EXPECT_EQ(list[2], 100 * 1e5 / 101325.0);
  EXPECT_EQ(list[3], 2.0);
  EXPECT_EQ(p.values[1].second.real, 10 * 133.322387415 / 101325.0);
  // Without units the list is the atm list of before, to the bit.
  const Parsed atm = parse(kTestOptions, {"--pressure=1:100:3"});
  EXPECT_EQ(atm.values[0].second.list, (std::vector<double>{1, 10, 100}));
}

TEST(OptionTable, RefusalsNameTheOptionTheValueAndTheRangeInTheUnitGiven) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"-p", "0"}, "--pressure: 0 is out of range (1e-06 to 100000 atm)"},
      {{"-p", "2e5bar"}, "--pressure: 200000bar is out of range (1.01325e-06 to 101325 bar)"},
      {{"-p", "1bar:2e10Pa:3"},
       "--pressure: 20000000000Pa is out of range (0.101325 to "
       "10132500000 Pa)"},
      {{"--p0=20xbar"},
       "--p0: '20xbar' has a unit that is not one of Pa, kPa, MPa, bar, atm, "
       "psia, mmHg, torr"},
      {{"-p", "1,2furlong"},
       "--pressure: '1,2furlong' has a unit that is not one of Pa, kPa, "
       "MPa, bar, atm, psia, mmHg, torr"},
      {{"--count=2147483648"}, "--count: 2147483648 is out of range (0 to 100)"},
      {{"--count=101"}, "--count: 101 is out of range (0 to 100)"},
      {{"--of=+-6"}, "--of: '+-6' is not a list of values (like 4,6)"},
      {{"--of=1:2:10001"}, "--of: '1:2:10001': the COUNT of a range is 1 to 10000"},
      {{"--of=1:2:99999999999999999999"},
       "--of: '1:2:99999999999999999999': the COUNT of a range is 1 to 10000"},
      {{"--ratio=1"}, "--ratio: 1 is out of range (greater than 1)"},
      {{"--model=equilibrium,shifting"}, "--model: 'shifting' is not one of equilibrium, frozen"},
      {{"--nothing=x"}, "unrecognized option '--nothing'"},
      {{"--co"}, "option '--co' requires a value"},
      {{"operand"}, "unexpected argument 'operand'"},
  };
  for (const auto& [args, message] : cases) {
    EXPECT_EQ(parse(kTestOptions, args).error, message) << args[0];
  }
  EXPECT_EQ(parse(kTestOptions, {"--of=+6"}).values[0].second.list, std::vector<double>{6});
}

TEST(OptionTable, ListsNameTheirCap) {
  std::string list = "1";
  for (std::size_t k = 1; k < kMaxListValues; ++k) {
    list += ",1";
  }
  EXPECT_EQ(parse(kTestOptions, {"--of=" + list}).error, "");
  EXPECT_EQ(parse(kTestOptions, {"--of=" + list + ",1"}).error,
            "--of: the list makes more than 100000 values");
  EXPECT_EQ(parse(kTestOptions, {"--of=1:2:10000,1:2:10000,1:2:10000,1:2:10000,1:2:10000,"
                                 "1:2:10000,1:2:10000,1:2:10000,1:2:10000,1:2:10000,1"})
                .error,
            "--of: the list makes more than 100000 values");
}

// Control characters of an argument reach the terminal escaped.
TEST(OptionTable, EchoedTextIsEscaped) {
  EXPECT_EQ(printable("a\x1b]0;title\x07z\x7f\n"), "a\\x1b]0;title\\x07z\\x7f\\x0a");
  EXPECT_EQ(printable("é ü"), "é ü");  // the bytes of UTF-8 text stay
  EXPECT_EQ(parse(kTestOptions, {"--of=\x1b[2J"}).error,
            "--of: '\\x1b[2J' is not a list of values (like 4,6)");
  EXPECT_EQ(parse(kTestOptions, {"\x1b[2J"}).error, "unexpected argument '\\x1b[2J'");
  EXPECT_EQ(parse(kTestOptions, {"--\x1b[2J"}).error, "unrecognized option '--\\x1b[2J'");
}

TEST(OptionTable, HelpComesFromTheTable) {
  const std::string help = OptionTable(kTestOptions).help();
  EXPECT_EQ(help.substr(0, help.find("\n      --p0")),
            "Test:\n"
            "  -p, --pressure=LIST    pressures, 1e-06 to 100000");
}

// The subcommands' rows are capped; the cap is said in --help.
TEST(OptionTable, ARunHasACapOfRows) {
  std::vector<std::string> args = {"equilibrium", "--problem=tp", "--of=1:30:10000",
                                   "-p",          "1:100:100",    "--temperature=1000:2000:101"};
  std::vector<char*> argv;
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  EXPECT_EQ(parse_equilibrium_options(static_cast<int>(argv.size()), argv.data()).error,
            "the lists make 101000000 rows, more than 100000000 in one run");
  args[5] = "--temperature=1000:2000:100";
  argv.clear();
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  EXPECT_EQ(parse_equilibrium_options(static_cast<int>(argv.size()), argv.data()).error, "");
  for (const std::string& help : {equilibrium_usage_text(), rocket_usage_text()}) {
    EXPECT_NE(help.find("100000000 rows at most"), std::string::npos);
    EXPECT_NE(help.find("100000 values at most"), std::string::npos);
  }
}

// The rocket's limits: the exits' pressure ratio against each chamber
// pressure, told in the digits that tell it.
TEST(OptionTable, RocketLimitsAreNamedExactly) {
  std::vector<std::string> args = {"rocket", "--ae-at=1e301"};
  std::vector<char*> argv = {args[0].data(), args[1].data()};
  EXPECT_EQ(parse_rocket_options(2, argv.data()).error,
            "--ae-at: 1e+301 is out of range (1 to 1e+300)");
  RocketSettings s;
  s.pi_p = {6.80461e7};
  EXPECT_THROW(
      {
        try {
          check_rocket_problems(s, engine::builtin_nasa9_data(), {6.0});
        } catch (const UsageError& e) {
          EXPECT_EQ(e.message,
                    "--pi-p: 68046100 is out of range (greater than 1, at most 68046000 at "
                    "--pc 68.046 atm: Pe >= 1e-06 atm)");
          throw;
        }
      },
      UsageError);
}

}  // namespace
}  // namespace zuna
