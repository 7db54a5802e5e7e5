#include "engine/poly-terms.h"

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
    : t(T_K), inv(1.0 / T_K), inv2(inv * inv), ln(ln_T), t2(T_K * T_K), t3(t2 * T_K), t4(t2 * t2) {}

const PolyRange& range_at(const SpeciesPoly& sp, double T_K) {
  // Ranges are ordered and contiguous, three at most: the first whose upper
  // end lies above T, else the last one (extrapolation above the data). A
  // common end belongs to the upper range, as in the program's thermo/
  // (T >= 1000 K).
  int r = 0;
  if (sp.range_count > 1 && !(T_K < sp.range[0].T_high_K)) {
    r = sp.range_count > 2 && !(T_K < sp.range[1].T_high_K) ? 2 : 1;
  }
  return sp.range[r];
}

void evaluate_terms(const ThermoData& data, double T_K, SpeciesTerms& out) {
  evaluate_terms(data, TPowers(T_K), out);
}

// The functions of the species j, j + 1 at once: the same operations in the
// same order as one species at a time, in the two halves of a pair of
// doubles (one SSE2 register on x86-64), and so the same roundings.
#if defined(__GNUC__)
#define ZUNA_TERMS_IN_PAIRS 1
using Pair = double __attribute__((vector_size(16)));
#endif

void evaluate_terms(const ThermoData& data, const TPowers& p, SpeciesTerms& out) {
  const double T_K = p.t;
#if ZUNA_TERMS_IN_PAIRS
  static_assert(kSpeciesCount % 2 == 0);
  for (int j = 0; j < kSpeciesCount; j += 2) {
    const PolyRange& r0 = range_at(data.species[j], T_K);
    const PolyRange& r1 = range_at(data.species[j + 1], T_K);
    Pair a[7];
    for (int k = 0; k < 7; ++k) {
      a[k] = Pair{r0.a[k], r1.a[k]};
    }
    const Pair b1 = {r0.b1, r1.b1}, b2 = {r0.b2, r1.b2};
    const Pair p0 = a[0] * p.inv2, p1 = a[1] * p.inv, p3 = a[3] * p.t, p4 = a[4] * p.t2,
               p5 = a[5] * p.t3, p6 = a[6] * p.t4;
    const Pair cp = p0 + p1 + a[2] + p3 + p4 + p5 + p6;
    const Pair h =
        -p0 + p1 * p.ln + a[2] + p3 * 0.5 + p4 * kThird + p5 * 0.25 + p6 * kFifth + b1 * p.inv;
    const Pair s = -p0 * 0.5 - p1 + a[2] * p.ln + p3 + p4 * 0.5 + p5 * kThird + p6 * 0.25 + b2;
    const Pair g = h - s;
    for (int i = 0; i < 2; ++i) {
      out.cp_R[j + i] = cp[i];
      out.h_RT[j + i] = h[i];
      out.s0_R[j + i] = s[i];
      out.g0_RT[j + i] = g[i];
    }
  }
#else
  for (int j = 0; j < kSpeciesCount; ++j) {
    const PolyRange& r = range_at(data.species[j], T_K);
    const double* a = r.a;
    // The products a_k T^e shared by the three functions.
    const double p0 = a[0] * p.inv2, p1 = a[1] * p.inv, p3 = a[3] * p.t, p4 = a[4] * p.t2,
                 p5 = a[5] * p.t3, p6 = a[6] * p.t4;
    out.cp_R[j] = p0 + p1 + a[2] + p3 + p4 + p5 + p6;
    out.h_RT[j] =
        -p0 + p1 * p.ln + a[2] + p3 * 0.5 + p4 * kThird + p5 * 0.25 + p6 * kFifth + r.b1 * p.inv;
    out.s0_R[j] = -p0 * 0.5 - p1 + a[2] * p.ln + p3 + p4 * 0.5 + p5 * kThird + p6 * 0.25 + r.b2;
    out.g0_RT[j] = out.h_RT[j] - out.s0_R[j];
  }
#endif
}

}  // namespace zuna::engine::detail
