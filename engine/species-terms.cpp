#include "engine/species-terms.h"

#include <cmath>

namespace zuna::engine::detail {
namespace {

// The integrals' divisors as factors: a multiplication costs a fraction of
// a division, and the difference in rounding is far below the data's.
constexpr double kThird = 1.0 / 3.0;
constexpr double kFifth = 1.0 / 5.0;

}  // namespace

TPowers::TPowers(double T_K) : TPowers(T_K, std::log(T_K)) {}

TPowers::TPowers(double T_K, double ln_T)
    : t(T_K), inv(1.0 / T_K), inv2(inv * inv), ln(ln_T), t2(T_K * T_K), t3(t2 * T_K),
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
  evaluate_terms(data, TPowers(T_K), out);
}

void evaluate_terms(const ThermoData& data, const TPowers& p, SpeciesTerms& out) {
  const double T_K = p.t;
  for (int j = 0; j < kSpeciesCount; ++j) {
    const PolyRange& r = range_at(data.species[j], T_K);
    const double* a = r.a;
    out.cp_R[j] = a[0] * p.inv2 + a[1] * p.inv + a[2] + a[3] * p.t + a[4] * p.t2 + a[5] * p.t3 +
                  a[6] * p.t4;
    out.h_RT[j] = -a[0] * p.inv2 + a[1] * p.ln * p.inv + a[2] + a[3] * p.t * 0.5 +
                  a[4] * p.t2 * kThird + a[5] * p.t3 * 0.25 + a[6] * p.t4 * kFifth + r.b1 * p.inv;
    out.s0_R[j] = -a[0] * p.inv2 * 0.5 - a[1] * p.inv + a[2] * p.ln + a[3] * p.t +
                  a[4] * p.t2 * 0.5 + a[5] * p.t3 * kThird + a[6] * p.t4 * 0.25 + r.b2;
    out.g0_RT[j] = out.h_RT[j] - out.s0_R[j];
  }
}

}  // namespace zuna::engine::detail
