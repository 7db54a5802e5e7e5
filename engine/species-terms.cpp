#include "engine/species-terms.h"

#include <cmath>

namespace zuna::engine::detail {

TPowers::TPowers(double T_K)
    : t(T_K), inv(1.0 / T_K), inv2(inv * inv), ln(std::log(T_K)), t2(T_K * T_K), t3(t2 * T_K),
      t4(t2 * t2) {}

const PolyRange& range_at(const SpeciesPoly& sp, double T_K) {
  // Ranges are ordered and contiguous: the first whose upper end lies above
  // T, else the last one (extrapolation above the data). A common end
  // belongs to the upper range, as in the program's thermo/ (T >= 1000 K).
  for (int r = 0; r + 1 < sp.range_count; ++r) {
    if (T_K < sp.range[r].T_high_K) {
      return sp.range[r];
    }
  }
  return sp.range[sp.range_count - 1];
}

void evaluate_terms(const ThermoData& data, double T_K, SpeciesTerms& out) {
  const TPowers p(T_K);
  for (int j = 0; j < kSpeciesCount; ++j) {
    const PolyRange& r = range_at(data.species[j], T_K);
    const double* a = r.a;
    out.cp_R[j] = a[0] * p.inv2 + a[1] * p.inv + a[2] + a[3] * p.t + a[4] * p.t2 + a[5] * p.t3 +
                  a[6] * p.t4;
    out.h_RT[j] = -a[0] * p.inv2 + a[1] * p.ln * p.inv + a[2] + a[3] * p.t / 2.0 +
                  a[4] * p.t2 / 3.0 + a[5] * p.t3 / 4.0 + a[6] * p.t4 / 5.0 + r.b1 * p.inv;
    out.s0_R[j] = -a[0] * p.inv2 / 2.0 - a[1] * p.inv + a[2] * p.ln + a[3] * p.t +
                  a[4] * p.t2 / 2.0 + a[5] * p.t3 / 3.0 + a[6] * p.t4 / 4.0 + r.b2;
    out.g0_RT[j] = out.h_RT[j] - out.s0_R[j];
  }
}

}  // namespace zuna::engine::detail
