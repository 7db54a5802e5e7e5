#include "validation/cea-comparison.h"

#include <cmath>
#include <memory>
#include <string>

namespace zuna::validation {

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
    if (std::fabs(table->point[i].r - ref.r) > 1e-9) {
      throw ReferenceError("point " + std::to_string(i) +
                           " is at r = " + std::to_string(table->point[i].r) +
                           ", the reference at " + std::to_string(ref.r));
    }
    if (table->point[i].r == 1.0) {
      c.t_complete = table->point[i].tadsem;
    }
    ComparedPoint p;
    p.r = ref.r;
    p.t_ref = ref.t;
    p.t = table->point[i].tadcom;
    if (!std::isfinite(p.t)) {
      throw ReferenceError("the sweep gives no finite temperature at r = " + std::to_string(ref.r) +
                           ": the data cannot be used");
    }
    for (int k = 0; k < 6; ++k) {
      p.x_ref[k] = ref.x[k];
      p.x[k] = table->point[i].nd[k] / table->point[i].ntd;
      if (!std::isfinite(p.x[k])) {
        throw ReferenceError("the sweep gives no finite mole fraction at r = " +
                             std::to_string(ref.r) + ": the data cannot be used");
      }
      if (c.worst_dx_point == 0 || std::fabs(p.x[k] - p.x_ref[k]) > std::fabs(c.worst_dx)) {
        c.worst_dx = p.x[k] - p.x_ref[k];
        c.worst_dx_point = i;
        c.worst_dx_species = k + 1;
      }
    }
    if (c.worst_dt_point == 0 || std::fabs(p.t - p.t_ref) > std::fabs(c.worst_dt)) {
      c.worst_dt = p.t - p.t_ref;
      c.worst_dt_rel = c.worst_dt / p.t_ref;
      c.worst_dt_point = i;
    }
    c.points.push_back(p);
  }
  if (!std::isfinite(c.t_complete)) {
    throw ReferenceError(
        "the sweep gives no finite temperature without dissociation at r = 1: the data cannot be "
        "used");
  }
  return c;
}

}  // namespace zuna::validation
