// --batch --compare-engine: the batch run's results with the equilibrium
// engine's flame beside each point. Everything the batch run writes without
// the option stays as it is: the CSV's lines and the JSON's members are those
// of a run without it, followed by the engine's.
#include <gtest/gtest.h>

#include <charconv>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "session.h"

namespace zuna::testing {
namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> cells_of(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t at = 0;
  for (std::size_t comma; (comma = line.find(',', at)) != std::string::npos; at = comma + 1) {
    cells.push_back(line.substr(at, comma - at));
  }
  cells.push_back(line.substr(at));
  return cells;
}

double number(const std::string& cell) {
  double v = 0.0;
  const auto r = std::from_chars(cell.data(), cell.data() + cell.size(), v);
  EXPECT_TRUE(r.ec == std::errc() && r.ptr == cell.data() + cell.size()) << "'" << cell << "'";
  return v;
}

const char kEngineHeader[] =
    ",engine_T [K],engine_x_h2o [-],engine_x_o2 [-],engine_x_h2 [-],engine_x_h [-],"
    "engine_x_o [-],engine_x_oh [-],engine_flags";

// The engine minimises the Gibbs energy of the same six species with the
// same data: its flame agrees with the sweep's within the sweep's tolerances
// (0.001 K on the temperature searches; 1 K and 1e-5 allow for the engine's
// own convergence).
TEST(CompareEngine, CsvKeepsTheBatchLinesAndAddsTheEngineColumns) {
  WorkFolder folder;
  const SessionResult plain = folder.run_with_arguments({"--batch", "-p", "1,10", "--csv=-"});
  const SessionResult with =
      folder.run_with_arguments({"--batch", "-p", "1,10", "--csv=-", "--compare-engine"});
  ASSERT_EQ(plain.exit_code, 0) << plain.err;
  ASSERT_EQ(with.exit_code, 0) << with.err;
  const std::vector<std::string> a = lines_of(plain.out), b = lines_of(with.out);
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(b[0], a[0] + kEngineHeader);
  const std::vector<std::string> header = cells_of(b[0]);
  std::size_t tadcom = 0, yd_oh = 0;
  for (std::size_t k = 0; k < header.size(); ++k) {
    tadcom = header[k] == "tadcom [K]" ? k : tadcom;
    yd_oh = header[k] == "yd_oh [-]" ? k : yd_oh;
  }
  for (std::size_t j = 1; j < b.size(); ++j) {
    ASSERT_EQ(b[j].compare(0, a[j].size(), a[j]), 0) << "line " << j;
    const std::vector<std::string> row = cells_of(b[j]);
    ASSERT_EQ(row.size(), header.size());
    const std::size_t e = header.size() - 8;
    EXPECT_NEAR(number(row[e]), number(row[tadcom]), 1.0) << "line " << j;
    EXPECT_NEAR(number(row[e + 6]), number(row[yd_oh]), 1e-5) << "line " << j;
    EXPECT_EQ(row.back(), "0");
  }
}

// With a reaction switched off the sweep is not the engine's equilibrium:
// the engine's cells stay empty (null).
TEST(CompareEngine, EmptyWithAReactionSwitchedOff) {
  WorkFolder folder;
  const SessionResult r = folder.run_with_arguments(
      {"--batch", "--no-reaction=3", "--csv=out.csv", "--json=-", "--compare-engine"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<std::string> lines = lines_of(folder.read("out.csv"));
  ASSERT_EQ(lines.size(), 34u);
  for (std::size_t j = 1; j < lines.size(); ++j) {
    EXPECT_EQ(lines[j].substr(lines[j].size() - 8), ",,,,,,,,") << "line " << j;
  }
  const nlohmann::json doc = nlohmann::json::parse(r.out);
  for (const nlohmann::json& point : doc["calculations"][0]["points"]) {
    EXPECT_TRUE(point["engine_T"].is_null());
    EXPECT_TRUE(point["engine_flags"].is_null());
  }
}

// The JSON without the engine's members is the document of a run without the
// option, member for member.
TEST(CompareEngine, JsonHoldsTheBatchDocument) {
  WorkFolder folder;
  const SessionResult plain = folder.run_with_arguments({"--batch", "--json=-"});
  const SessionResult with = folder.run_with_arguments({"--batch", "--json=-", "--compare-engine"});
  ASSERT_EQ(with.exit_code, 0) << with.err;
  nlohmann::json doc = nlohmann::json::parse(with.out);
  for (nlohmann::json& point : doc["calculations"][0]["points"]) {
    EXPECT_TRUE(point["engine_T"].is_number());
    for (const char* name : {"engine_T", "engine_x_h2o", "engine_x_o2", "engine_x_h2", "engine_x_h",
                             "engine_x_o", "engine_x_oh", "engine_flags"}) {
      EXPECT_EQ(point.erase(name), 1u) << name;
    }
  }
  for (const char* name : {"engine_T", "engine_x_h2o", "engine_x_o2", "engine_x_h2", "engine_x_h",
                           "engine_x_o", "engine_x_oh"}) {
    EXPECT_EQ(doc["units"].erase(name), 1u) << name;
  }
  EXPECT_EQ(doc, nlohmann::json::parse(plain.out));
}

}  // namespace
}  // namespace zuna::testing
