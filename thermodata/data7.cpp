#include "thermodata/data7.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "thermodata/nasa9.h"

namespace zuna::thermodata {
namespace {

constexpr int kBlockRecords = 22;
constexpr const char* kNames[6] = {"H2O", "O2", "H2", "H", "O", "OH"};

// The first item of a value record; `record` is 1-based in the file.
double first_item(const std::string& text, int record, int k) {
  const auto first = text.find_first_not_of(" \t");
  std::string item = first == std::string::npos ? std::string() : text.substr(first);
  item = item.substr(0, item.find_first_of(" \t,"));
  std::replace(item.begin(), item.end(), 'D', 'E');
  std::replace(item.begin(), item.end(), 'd', 'E');
  errno = 0;
  char* end = nullptr;
  const double value = std::strtod(item.c_str(), &end);
  if (item.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(value)) {
    throw RecordError("record " + std::to_string(record) + ", species " + kNames[k] +
                      ": no finite number in \"" + text + "\"");
  }
  return value;
}

}  // namespace

Data7File read_data7(std::istream& in) {
  const int needed = 6 * kBlockRecords - 1;  // the last separator may be missing
  std::vector<std::string> records;
  std::string line;
  while (static_cast<int>(records.size()) < needed && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    records.push_back(line);
  }
  if (static_cast<int>(records.size()) < needed) {
    throw RecordError("the file ends after " + std::to_string(records.size()) +
                      " records; six blocks of 22 are needed");
  }
  Data7File file;
  for (int k = 0; k < 6; ++k) {
    const int base = kBlockRecords * k;  // index of the block's record 1
    auto value = [&](int in_block) {
      return first_item(records[base + in_block - 1], base + in_block, k);
    };
    Data7Species& sp = file.species[k];
    sp.molar_mass = value(3);
    if (!(sp.molar_mass > 0.0)) {
      throw RecordError("record " + std::to_string(base + 3) + ", species " + kNames[k] +
                        ": the molar mass must be positive");
    }
    for (int j = 0; j < 7; ++j) {
      sp.high[j] = value(5 + j);
      sp.low[j] = value(13 + j);
    }
  }
  return file;
}

}  // namespace zuna::thermodata
