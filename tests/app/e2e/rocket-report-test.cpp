// The windowed program's rocket performance report (golden copy made by
// app_tests from the default sweep) against the console command
// "zuna4c rocket --csv" for the same O/F points: two paths through the
// rocket library that must agree.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> split(const std::string& line, char sep) {
  std::vector<std::string> out;
  std::stringstream s(line);
  std::string cell;
  while (std::getline(s, cell, sep)) {
    out.push_back(cell);
  }
  return out;
}

std::vector<std::string> lines_of(std::istream& in) {
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    lines.push_back(line);
  }
  return lines;
}

std::string run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    return out;
  }
  char buffer[4096];
  std::size_t n = 0;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    out.append(buffer, n);
  }
  pclose(pipe);
  return out;
}

constexpr double kG0 = 9.80665;

TEST(RocketReport, ImpulsesOfIspDatAgreeWithTheRocketCommand) {
  std::ifstream dat(ZUNA_GOLDEN_DIR "/rocket-defaults/isp.dat", std::ios::binary);
  ASSERT_TRUE(dat);
  const std::vector<std::string> lines = lines_of(dat);
  // Header, then one row per O/F up to the blank line.
  std::vector<std::vector<double>> rows;
  for (std::size_t i = 1; i < lines.size() && !lines[i].empty(); ++i) {
    std::vector<double> row;
    for (const std::string& cell : split(lines[i], ' ')) {
      row.push_back(cell == "?" ? NAN : std::stod(cell));
    }
    rows.push_back(row);
  }
  ASSERT_EQ(rows.size(), 33u);
  std::string of_list;
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 11u);  // O/F and two impulses of five exits
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", row[0]);
    of_list += (of_list.empty() ? "" : ",") + std::string(text);
  }
  const std::string csv =
      run(std::string(ZUNA4C_PATH) + " rocket --pc 68.046 --of " + of_list +
          " --pi-p 10,100,1000 --ae-at 10,50 --csv=-");
  std::stringstream in(csv);
  const std::vector<std::string> out = lines_of(in);
  ASSERT_FALSE(out.empty());
  std::map<std::string, std::size_t> column;
  const std::vector<std::string> names = split(out[0], ',');
  for (std::size_t k = 0; k < names.size(); ++k) {
    column[names[k]] = k;
  }
  // Per O/F the command gives the chamber, the throat and the five exits in
  // the report's order.
  ASSERT_EQ(out.size(), 1 + rows.size() * 7);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t e = 0; e < 5; ++e) {
      const std::vector<std::string> cells = split(out[1 + i * 7 + 2 + e], ',');
      const double isp = std::stod(cells[column.at("isp_m_s")]) / kG0;
      const double ivac = std::stod(cells[column.at("ivac_m_s")]) / kG0;
      // isp.dat holds seven significant digits of the impulse.
      EXPECT_NEAR(rows[i][1 + 2 * e], isp, 1e-6 * isp) << "O/F " << rows[i][0] << " exit " << e;
      EXPECT_NEAR(rows[i][2 + 2 * e], ivac, 1e-6 * ivac) << "O/F " << rows[i][0] << " exit " << e;
    }
  }
}

}  // namespace
