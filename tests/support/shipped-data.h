// The shipped zuna.dat, read by its documented layout with a reader of the
// tests' own (six blocks of 22 records; molar mass in record 3, the two
// coefficient sets in records 5-11 and 13-19), so that the data can be
// checked without the program's reader.
#pragma once

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "thermo/thermo.h"

namespace zuna::testing {

struct ShippedData {
  std::vector<std::string> records;
  ThermoConstants tc;
  CoefBlock coef;
};

// The first item of a value record, with the D exponent letter accepted.
inline double record_value(const std::string& record) {
  std::string item = record.substr(record.find_first_not_of(' '));
  item = item.substr(0, item.find_first_of(" ,"));
  std::replace(item.begin(), item.end(), 'D', 'E');
  std::replace(item.begin(), item.end(), 'd', 'E');
  return std::stod(item);
}

inline ShippedData load_shipped_data() {
  ShippedData data;
  std::ifstream in(ZUNA_DATA_DIR "/zuna.dat", std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    data.records.push_back(line);
  }
  if (data.records.size() < 132) {
    return data;
  }
  for (int k = 1; k <= 6; ++k) {
    const std::size_t base = 22 * static_cast<std::size_t>(k - 1);
    data.tc.mwk(k) = record_value(data.records[base + 2]);
    for (int j = 1; j <= 7; ++j) {
      data.coef(k, j, 1) = record_value(data.records[base + 3 + j]);
      data.coef(k, j, 2) = record_value(data.records[base + 11 + j]);
    }
  }
  return data;
}

}  // namespace zuna::testing
