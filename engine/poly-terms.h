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
  TPowers(double T_K, double ln_T);  // ln_T = ln(T_K), known to the caller
};

const PolyRange& range_at(const SpeciesPoly& sp, double T_K);
void evaluate_terms(const ThermoData& data, double T_K, SpeciesTerms& out);
void evaluate_terms(const ThermoData& data, const TPowers& powers, SpeciesTerms& out);

// Atoms of element i (0 H, 1 O) in species j: a_ij of the published method.
inline constexpr double kAtoms[kElementCount][kSpeciesCount] = {
    {2.0, 0.0, 2.0, 1.0, 0.0, 1.0},  // H
    {1.0, 2.0, 0.0, 0.0, 1.0, 1.0},  // O
};

// The element rows the solver works with. Any independent combination of
// the element rows H and O is as good to the method (the multipliers combine
// the same way), and these keep the reduced matrix well conditioned where
// water holds nearly all of both elements (cool, near-stoichiometric
// mixtures): with the rows H and O the two element rows are then
// proportional to within the trace amounts, and their difference is lost to
// rounding. Here water has no part in the first row, the element in excess
// over water, whose sums are then made of the other species alone; the
// second row is the element not in excess, so that both elements keep their
// balance to the rounding of their own amounts.
struct ElementRows {
  double a[kElementCount][kSpeciesCount];  // a_ij of the published equations
  double m[kElementCount][kElementCount];  // rows = m (H, O)
};
// Fuel-rich and stoichiometric: H - 2 O, O.
inline constexpr ElementRows kRichRows = {
    {{0.0, -4.0, 2.0, 1.0, -2.0, -1.0}, {1.0, 2.0, 0.0, 0.0, 1.0, 1.0}}, {{1.0, -2.0}, {0.0, 1.0}}};
// Lean: O - H/2, H.
inline constexpr ElementRows kLeanRows = {
    {{0.0, 2.0, -1.0, -0.5, 1.0, 0.5}, {2.0, 0.0, 2.0, 1.0, 0.0, 1.0}}, {{-0.5, 1.0}, {1.0, 0.0}}};

// The rows for element amounts b (H, O) [mol/kg], and b in those rows.
inline const ElementRows& element_rows(const double (&b)[kElementCount]) {
  return b[0] >= 2.0 * b[1] ? kRichRows : kLeanRows;
}
inline void components_of(const ElementRows& rows, const double (&b)[kElementCount],
                          double (&c)[kElementCount]) {
  for (int i = 0; i < kElementCount; ++i) {
    c[i] = rows.m[i][0] * b[0] + rows.m[i][1] * b[1];
  }
}

}  // namespace zuna::engine::detail
