// The reference tables of tests/transport/data, read as text so that each
// check knows how many digits its reference was printed with.
#pragma once

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zuna::transport::testing {

// One row: column name to the text printed there.
struct TableRow {
  std::map<std::string, std::string> cells;
  int line = 0;

  const std::string& text(const std::string& column) const { return cells.at(column); }
  double value(const std::string& column) const { return std::stod(cells.at(column)); }
};

// Tab-separated, comment lines starting with '#', the first other line the
// column names.
inline std::vector<TableRow> read_table(const std::string& file) {
  std::ifstream in(file);
  std::vector<TableRow> rows;
  std::vector<std::string> names;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (line.empty() || line[0] == '#') {
      continue;
    }
    std::vector<std::string> fields;
    std::string field;
    std::istringstream split(line);
    while (std::getline(split, field, '\t')) {
      fields.push_back(field);
    }
    if (names.empty()) {
      names = fields;
      continue;
    }
    TableRow row;
    row.line = number;
    for (std::size_t k = 0; k < names.size(); ++k) {
      row.cells[names[k]] = k < fields.size() ? fields[k] : std::string();
    }
    rows.push_back(row);
  }
  return rows;
}

// Half a unit of the last digit printed: "0.9358" gives 0.00005.
inline double half_unit(const std::string& printed) {
  const auto dot = printed.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(printed.size() - dot - 1);
  return 0.5 * std::pow(10.0, -decimals);
}

}  // namespace zuna::transport::testing
