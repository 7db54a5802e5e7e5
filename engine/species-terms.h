// The dimensionless functions of the six species at one temperature, with
// the powers of T computed once: the kernel every solve step evaluates.
//
// For the range that holds T (the nearest range outside the data), with the
// 9-coefficient form of engine.h:
//   cp/R   = a1 T^-2 + a2 T^-1 + a3 + a4 T + a5 T^2 + a6 T^3 + a7 T^4
//   H/(RT) = -a1 T^-2 + a2 ln(T)/T + a3 + a4 T/2 + a5 T^2/3 + a6 T^3/4
//            + a7 T^4/5 + b1/T
//   S/R    = -a1 T^-2/2 - a2/T + a3 ln T + a4 T + a5 T^2/2 + a6 T^3/3
//            + a7 T^4/4 + b2
//   G/(RT) = H/(RT) - S/R   (standard state of the data)
#pragma once

#include "engine/engine.h"

namespace zuna::engine::detail {

struct SpeciesTerms {
  double cp_R[kSpeciesCount];
  double h_RT[kSpeciesCount];
  double s0_R[kSpeciesCount];
  double g0_RT[kSpeciesCount];
};

// Powers of T shared by every species.
struct TPowers {
  double t, inv, inv2, ln, t2, t3, t4;
  explicit TPowers(double T_K);
};

const PolyRange& range_at(const SpeciesPoly& sp, double T_K);
void evaluate_terms(const ThermoData& data, double T_K, SpeciesTerms& out);

// Atoms of element i (0 H, 1 O) in species j: a_ij of the published method.
inline constexpr double kAtoms[kElementCount][kSpeciesCount] = {
    {2.0, 0.0, 2.0, 1.0, 0.0, 1.0},  // H
    {1.0, 2.0, 0.0, 0.0, 1.0, 1.0},  // O
};

}  // namespace zuna::engine::detail
