// The windowed program's rocket performance report (golden copy made by
// app_tests from the default sweep) against the console command
// "zuna4c rocket --csv" for the same O/F points: two paths through the
// rocket library that must agree. And the plot of isp.dat as isp.gnu draws
// it with the real gnuplot.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
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
  ASSERT_EQ(rows.size(), 15u);
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

// isp.gnu names the best O/F of every exit beside its point in the colour
// of its curve, says so when it lies at an end of the range, and keeps one
// key entry per exit (the Ivac curves share theirs).
TEST(RocketPlot, BestOfLabelledInItsCurvesColour) {
  if (run("command -v gnuplot").empty()) {
    GTEST_SKIP() << "gnuplot is not installed";
  }
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("zuna-isp-plot-" + std::to_string(getpid()));
  fs::create_directories(dir);
  std::ifstream dat(ZUNA_GOLDEN_DIR "/rocket-defaults/isp.dat", std::ios::binary);
  std::vector<std::string> lines = lines_of(dat);
  // The first exit's best Isp moved to the range's start.
  for (std::string& line : lines) {
    if (line.rfind("1 ", 0) == 0) {
      std::vector<std::string> cells = split(line, ' ');
      ASSERT_EQ(cells.size(), 7u);
      cells[1] = "2.000000E+00";
      cells[5] = "1";
      line.clear();
      for (const std::string& c : cells) {
        line += (line.empty() ? "" : " ") + c;
      }
    }
  }
  {
    std::ofstream out(dir / "isp.dat", std::ios::binary);
    for (const std::string& line : lines) {
      out << line << "\n";
    }
    std::ifstream script(ZUNA_DATA_DIR "/isp.gnu", std::ios::binary);
    std::ofstream plot(dir / "plot.gnu", std::ios::binary);
    plot << "set terminal svg size 900,600\nset output \"isp.svg\"\n" << script.rdbuf();
  }
  run("cd '" + dir.string() + "' && gnuplot plot.gnu 2>&1");
  std::ifstream in(dir / "isp.svg", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string svg = text.str();
  fs::remove_all(dir);
  svg.erase(std::remove(svg.begin(), svg.end(), ' '), svg.end());
  // The colour of the first exit's curve, and of its labels.
  std::smatch m;
  ASSERT_TRUE(std::regex_search(svg, m, std::regex(R"(>IspPc/Pe=10</tspan>[\s\S]*?<pathstroke='(rgb\([0-9,]+\))')")))
      << "no curve for the first exit";
  const std::string colour = m[1];
  EXPECT_TRUE(std::regex_search(
      svg, std::regex("fill=\"" + std::regex_replace(colour, std::regex(R"([()])"), R"(\$&)") +
                      R"("[^>]*>\s*<text><tspanfont-family="Arial">2.00\(noextremo\)<)")))
      << "the best O/F at the range's start, in " << colour;
  EXPECT_NE(svg.find(">3.72</tspan>"), std::string::npos) << "the best Ivac's O/F";
  EXPECT_EQ(svg.find(">IvacPc/Pe=10<"), std::string::npos) << "Ivac curves have no key entries";
}

}  // namespace
