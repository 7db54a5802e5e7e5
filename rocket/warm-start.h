// What a solve of one O/F starts from: the results of the O/F computed just
// before (`previous`) and, in a sweep, the two before that. Each station
// starts from the same station of `previous`; a searched pressure starts
// from the curve in O/F through the earlier ones.
#pragma once

#include <cmath>
#include <cstddef>

#include "rocket/expansion.h"
#include "rocket/rocket.h"

namespace zuna::rocket {

struct WarmStart {
  const RocketResult* previous = nullptr;
  const RocketResult* before = nullptr;
  const RocketResult* earliest = nullptr;  // the one before `before`

  // Station i of an earlier result when it holds values to start from.
  static const Station* usable(const RocketResult* r, std::size_t i) {
    if (r == nullptr || i >= r->stations.size() || !r->stations[i].valid()) {
      return nullptr;
    }
    return &r->stations[i];
  }
  const Station* station(std::size_t i) const { return usable(previous, i); }

  // First guess of x = ln(Pc/P) of station i at O/F `of`: the parabola in
  // O/F through the three earlier results (Lagrange's form), else the line
  // through two, else the previous value; 0 when there is none.
  double x_guess(std::size_t i, double of) const {
    const RocketResult* r[3] = {previous, before, earliest};
    double t[3], x[3];
    int n = 0;
    for (; n < 3; ++n) {
      const Station* s = usable(r[n], i);
      if (s == nullptr) {
        break;
      }
      t[n] = r[n]->of;
      x[n] = std::log(s->pinf_p);
      for (int k = 0; k < n; ++k) {
        if (t[k] == t[n]) {
          return x[0];  // repeated O/F: no slope to follow
        }
      }
    }
    if (n == 0) {
      return 0.0;
    }
    double guess = 0.0;
    for (int k = 0; k < n; ++k) {
      double weight = 1.0;
      for (int m = 0; m < n; ++m) {
        if (m != k) {
          weight *= (of - t[m]) / (t[k] - t[m]);
        }
      }
      guess += weight * x[k];
    }
    return guess;
  }
};

// What the models of one O/F share: the chamber's equilibrium and the
// shifting throat (equilibrium and frozen_throat), each solved by the first
// model that needs it.
struct SharedStations {
  bool has_chamber = false;
  Flow chamber;  // equilibrium properties
  bool has_shifting_throat = false;
  SearchResult shifting_throat;
  // A finite-area combustor: the end of the combustor whose shifting
  // throat is shifting_throat.
  Flow comb_end;
  double p_stag_atm = 0.0;  // the stagnation pressure of its nozzle's flow
};

// Chamber, throat and exits of one O/F into `out`; the problem is checked,
// the floating-point flags are kept by the caller, and the warm start's
// results have the problem's stations. `shared`, when given, holds what
// another model of the same problem and O/F has solved already.
void compute_stations(const engine::ThermoData& data, const RocketInput& problem,
                      const WarmStart& warm, RocketResult& out, SharedStations* shared = nullptr);

}  // namespace zuna::rocket
