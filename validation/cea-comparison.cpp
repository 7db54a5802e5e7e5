#include "validation/cea-comparison.h"

#include <cmath>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace zuna::validation {
namespace {

double number(const std::string& field, int line) {
  char* end = nullptr;
  const double value = std::strtod(field.c_str(), &end);
  if (field.empty() || *end != '\0') {
    throw ReferenceError("line " + std::to_string(line) + ": \"" + field + "\" is no number");
  }
  return value;
}

}  // namespace

Reference read_reference(std::istream& in) {
  Reference ref;
  std::string line;
  int number_of_line = 0;
  while (std::getline(in, line)) {
    ++number_of_line;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (line.empty()) {
      continue;
    }
    if (line[0] == '#') {
      const auto at = line.find(" T = ");
      if (at != std::string::npos) {
        std::istringstream value(line.substr(at + 5));
        value >> ref.t_complete;
      }
      continue;
    }
    if (line[0] == 'r') {
      continue;
    }
    std::vector<std::string> fields;
    std::istringstream row(line);
    std::string field;
    while (std::getline(row, field, '\t')) {
      fields.push_back(field);
    }
    if (fields.size() != 10) {
      throw ReferenceError("line " + std::to_string(number_of_line) + ": 10 columns expected");
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

Comparison compare(const Reference& reference, const ThermoConstants& tc, const CoefBlock& coef) {
  const auto table = std::make_unique<SweepTable>();
  SweepScalars s;
  run_sweep(dialog_default_parameters(), tc, coef, *table, s, nullptr);
  if (static_cast<int>(reference.points.size()) != s.npts) {
    throw ReferenceError("the reference has " + std::to_string(reference.points.size()) +
                         " points, the sweep " + std::to_string(s.npts));
  }
  Comparison c;
  c.t_complete_ref = reference.t_complete;
  for (int i = 1; i <= s.npts; ++i) {
    const ReferencePoint& ref = reference.points[i - 1];
    if (std::fabs(table->of[i] - ref.r) > 1e-9) {
      throw ReferenceError("point " + std::to_string(i) +
                           " is at r = " + std::to_string(table->of[i]) + ", the reference at " +
                           std::to_string(ref.r));
    }
    if (table->of[i] == 1.0) {
      c.t_complete = table->tadsem[i];
    }
    ComparedPoint p;
    p.r = ref.r;
    p.t_ref = ref.t;
    p.t = table->tadcom[i];
    for (int k = 0; k < 6; ++k) {
      p.x_ref[k] = ref.x[k];
      p.x[k] = table->nd[i][k] / table->ntd[i];
      if (std::fabs(p.x[k] - p.x_ref[k]) > std::fabs(c.worst_dx)) {
        c.worst_dx = p.x[k] - p.x_ref[k];
        c.worst_dx_point = i;
        c.worst_dx_species = k + 1;
      }
    }
    if (std::fabs(p.t - p.t_ref) > std::fabs(c.worst_dt)) {
      c.worst_dt = p.t - p.t_ref;
      c.worst_dt_rel = c.worst_dt / p.t_ref;
      c.worst_dt_point = i;
    }
    c.points.push_back(p);
  }
  return c;
}

}  // namespace zuna::validation
