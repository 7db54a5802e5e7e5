#include "thermodata/data7.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "thermodata/line-read.h"
#include "thermodata/nasa9.h"

namespace zuna::thermodata {
namespace {

constexpr int kBlockRecords = 22;
constexpr const char* kNames[6] = {"H2O", "O2", "H2", "H", "O", "OH"};

// What a value record holds, for the messages: "H2O, molar mass",
// "O2, a1 of 1000-6000 K".
std::string what_value(int k, int in_block) {
  std::string what = std::string(kNames[k]) + ", ";
  if (in_block == 3) {
    return what + "molar mass";
  }
  const bool high = in_block < 13;
  const int j = in_block - (high ? 5 : 13) + 1;
  return what + "a" + std::to_string(j) + (high ? " of 1000-6000 K" : " of 200-1000 K");
}

// The first item of a value record (up to a blank or a comma, the D
// exponent letter read as E); `record` is 1-based in the file. A value
// that underflows is the number it rounds to; one that is not finite is
// refused.
double first_item(const std::string& text, int record, int k, int in_block) {
  const auto first = text.find_first_not_of(" \t");
  std::string item = first == std::string::npos ? std::string() : text.substr(first);
  item = item.substr(0, item.find_first_of(" \t,"));
  std::replace(item.begin(), item.end(), 'D', 'E');
  std::replace(item.begin(), item.end(), 'd', 'E');
  char* end = nullptr;
  const double value = std::strtod(item.c_str(), &end);
  const std::string where = "record " + std::to_string(record);
  const std::string what = " (" + what_value(k, in_block) + ")";
  if (item.empty() || end != item.data() + item.size()) {
    throw RecordError(where + ": no number in \"" + text + "\"" + what);
  }
  if (!std::isfinite(value)) {
    throw RecordError(where + ": \"" + item + "\" is not a finite number" + what);
  }
  return value;
}

}  // namespace

Data7File read_data7(std::istream& in) {
  const int needed = 6 * kBlockRecords - 1;  // the last separator may be missing
  std::vector<std::string> records;
  std::string line;
  while (static_cast<int>(records.size()) < needed) {
    const LineRead read = read_line(in, line, kMaxData7RecordLength);
    if (read == LineRead::end) {
      break;
    }
    if (read == LineRead::failed) {
      throw RecordError(std::string("the file cannot be read: ") + std::strerror(errno));
    }
    if (read == LineRead::too_long) {
      throw RecordError("record " + std::to_string(records.size() + 1) + " is longer than " +
                        std::to_string(kMaxData7RecordLength) +
                        " characters: this is no data file of the program");
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
      return first_item(records[base + in_block - 1], base + in_block, k, in_block);
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
