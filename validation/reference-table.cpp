#include "validation/reference-table.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fit/tool-files.h"

namespace zuna::validation {
namespace {

[[noreturn]] void fail(int line, const std::string& what) {
  throw ReferenceError("line " + std::to_string(line) + ": " + what);
}

double number(const std::string& field, int line) {
  char* end = nullptr;
  const double value = std::strtod(field.c_str(), &end);
  if (field.empty() || end != field.data() + field.size() || !std::isfinite(value)) {
    fail(line, "\"" + field + "\" is no finite number");
  }
  return value;
}

// The value after " T = " of a comment line, when it has one.
void read_complete_temperature(const std::string& line, int number_of_line, double& t) {
  const auto at = line.find(" T = ");
  if (at == std::string::npos) {
    return;
  }
  std::string value = line.substr(at + 5);
  value = value.substr(0, value.find(' '));
  t = number(value, number_of_line);
}

}  // namespace

Reference read_reference(std::istream& in) {
  Reference ref;
  std::string line;
  int number_of_line = 0;
  for (;;) {
    const fit::LineRead read = fit::read_line(in, line, kMaxReferenceLine);
    ++number_of_line;
    if (read == fit::LineRead::end) {
      break;
    }
    if (read == fit::LineRead::failed) {
      fail(number_of_line, std::string("cannot read: ") + std::strerror(errno));
    }
    if (read == fit::LineRead::too_long) {
      fail(number_of_line, "longer than " + std::to_string(kMaxReferenceLine) +
                               " characters: this is no reference table");
    }
    if (line.empty() || line[0] == 'r') {
      continue;
    }
    if (line[0] == '#') {
      read_complete_temperature(line, number_of_line, ref.t_complete);
      continue;
    }
    if (ref.points.size() == kMaxReferencePoints) {
      fail(number_of_line, "more than " + std::to_string(kMaxReferencePoints) + " rows");
    }
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (;;) {
      const std::size_t tab = line.find('\t', from);
      fields.push_back(line.substr(from, tab == std::string::npos ? tab : tab - from));
      if (tab == std::string::npos || fields.size() > 10) {
        break;
      }
      from = tab + 1;
    }
    if (fields.size() != 10) {
      fail(number_of_line, "10 columns expected");
    }
    ReferencePoint p;
    p.r = number(fields[0], number_of_line);
    p.t = number(fields[2], number_of_line);
    for (int k = 0; k < 6; ++k) {
      p.x[k] = number(fields[4 + k], number_of_line);
    }
    ref.points.push_back(p);
  }
  if (ref.points.empty() || !(ref.t_complete > 0.0)) {
    throw ReferenceError("no points, or no complete-combustion temperature");
  }
  return ref;
}

}  // namespace zuna::validation
