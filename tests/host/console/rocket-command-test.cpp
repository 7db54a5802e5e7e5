// `zuna4c rocket` as a function: what it writes reads back as the library's
// own numbers, bad options stop it before anything is written, and a file
// that cannot be written is a run-time error.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <sstream>
#include <string>
#include <vector>

#include "host/console/rocket-command.h"
#include "rocket/rocket.h"
#include "tests/support/temp-dir.h"

namespace zuna::console {
namespace {

int run(std::vector<std::string> args) {
  args.insert(args.begin(), "rocket");
  std::vector<char*> argv;
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  return run_rocket_command(int(args.size()), argv.data());
}

std::vector<std::vector<std::string>> csv_rows(const std::string& text) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> cells;
    std::istringstream in(line);
    std::string cell;
    while (std::getline(in, cell, ',')) {
      cells.push_back(cell);
    }
    if (!line.empty() && line.back() == ',') {
      cells.push_back("");
    }
    rows.push_back(cells);
  }
  return rows;
}

double number(const std::string& text) {
  double v = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

TEST(RocketCommand, CsvRowsReadBackAsTheLibrarysNumbers) {
  testing::TempDir dir;
  ASSERT_EQ(run({"--of=4,6", "--pi-p=10", "--ae-at=10", "--model=equilibrium,frozen_chamber",
                 "--csv=stations.csv"}),
            0);
  const auto rows = csv_rows(dir.read("stations.csv"));
  ASSERT_EQ(rows.size(), 1u + 2 * 2 * 4);
  const std::vector<std::string>& header = rows[0];
  auto column = [&](const std::string& name) {
    return std::size_t(std::find(header.begin(), header.end(), name) - header.begin());
  };
  ASSERT_LT(column("isp_m_s"), header.size());
  rocket::RocketProblem p;
  p.pc_atm = 68.046;
  p.pi_p = {10};
  p.ae_at = {10};
  std::size_t row = 1;
  const rocket::Model models[] = {rocket::Model::equilibrium, rocket::Model::frozen_chamber};
  for (const std::vector<rocket::RocketResult>& of :
       rocket::rocket_sweep(engine::builtin_nasa9_data(), p, std::vector<double>{4, 6}, models)) {
    for (const rocket::RocketResult& r : of) {
      EXPECT_EQ(rows.at(row)[column("model")],
                r.model == rocket::Model::equilibrium ? "equilibrium" : "frozen_chamber");
      for (const rocket::Station& s : r.stations) {
        const std::vector<std::string>& cells = rows.at(row++);
        ASSERT_EQ(cells.size(), header.size());
        EXPECT_EQ(number(cells[column("of")]), r.of);
        EXPECT_EQ(number(cells[column("T_K")]), s.state.T_K);
        EXPECT_EQ(number(cells[column("x_OH")]), s.state.x[engine::kOH]);
        if (s.kind == rocket::StationKind::chamber) {
          EXPECT_EQ(cells[column("isp_m_s")], "");  // no performance at the chamber
          EXPECT_EQ(cells[column("exit")], "");
        } else {
          EXPECT_EQ(number(cells[column("isp_m_s")]), s.isp_m_s);
          EXPECT_EQ(number(cells[column("ae_at")]), s.ae_at);
        }
      }
    }
  }
  EXPECT_EQ(rows[5][column("model")], "frozen_chamber");  // O/F by O/F, the models of each
  EXPECT_EQ(rows[3][column("exit")], "pi_p");
  EXPECT_EQ(rows[4][column("exit")], "ae_at");
}

TEST(RocketCommand, BestOfAsJson) {
  testing::TempDir dir;
  ASSERT_EQ(run({"--best", "--pi-p=100", "--json=best.json"}), 0);
  const std::string json = dir.read("best.json");
  EXPECT_NE(json.find("\"command\": \"rocket\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"of_isp\": "), std::string::npos) << json;
  EXPECT_NE(json.find("\"exit\": \"pi_p\", \"exit_value\": 100"), std::string::npos) << json;
}

TEST(RocketCommand, BadOptionsAreUsageErrorsAndWriteNothing) {
  testing::TempDir dir;
  const std::vector<std::vector<std::string>> bad = {
      {"--of=4", "--pc=0"},
      {"--pi-p=10"},
      {"--of=4", "--pi-p=1"},
      {"--of=4", "--ae-at=0.5"},
      {"--of=4", "--model=x"},
      {"--of=4", "--bogus"},
      {"--of=four"},
      {"--of=0.01"},
      {"--best=9:3"},
      {"--of=4", "--reactants=ice"},
      {"--of=4", "--csv=a", "--json=b"},
  };
  for (std::vector<std::string> args : bad) {
    args.push_back("--csv=out.csv");
    EXPECT_EQ(run(args), 2) << args[0];
    EXPECT_FALSE(dir.exists("out.csv")) << args[0];
  }
}

TEST(RocketCommand, AnOutputThatCannotBeWrittenIsARunTimeError) {
  testing::TempDir dir;
  EXPECT_EQ(run({"--of=4", "--csv=no-such-folder/out.csv"}), 1);
}

}  // namespace
}  // namespace zuna::console
