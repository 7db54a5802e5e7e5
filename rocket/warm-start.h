// What a solve of one O/F starts from: the results of the O/F computed just
// before (`previous`) and, in a sweep, the one before that (`before`). Each
// station starts from the same station of `previous`; a searched pressure
// starts from the straight line in O/F through the two earlier ones.
#pragma once

#include <cmath>
#include <cstddef>

#include "rocket/rocket.h"

namespace zuna::rocket {

struct WarmStart {
  const RocketResult* previous = nullptr;
  const RocketResult* before = nullptr;

  // Station i of an earlier result when it holds values to start from.
  static const Station* usable(const RocketResult* r, std::size_t i) {
    if (r == nullptr || i >= r->stations.size() || !r->stations[i].valid()) {
      return nullptr;
    }
    return &r->stations[i];
  }
  const Station* station(std::size_t i) const { return usable(previous, i); }

  // First guess of x = ln(Pc/P) of station i at O/F `of`: the line through
  // the two earlier O/F, or the previous value alone; 0 when there is none.
  double x_guess(std::size_t i, double of) const {
    const Station* p = usable(previous, i);
    if (p == nullptr) {
      return 0.0;
    }
    const double x1 = std::log(p->pinf_p);
    const Station* b = usable(before, i);
    if (b == nullptr || previous->of == before->of) {
      return x1;
    }
    const double x0 = std::log(b->pinf_p);
    return x1 + (x1 - x0) * (of - previous->of) / (previous->of - before->of);
  }
};

// Chamber, throat and exits of one O/F into `out`; the problem is checked,
// the floating-point flags are kept by the caller, and the warm start's
// results have the problem's stations.
void compute_stations(const engine::ThermoData& data, const RocketProblem& problem,
                      const WarmStart& warm, RocketResult& out);

}  // namespace zuna::rocket
