// The Newton iteration of the general solver (RP-1311 Part I, sections 2.3
// to 2.5 and 3.2 to 3.4): the reduced system of one step, its solution, the
// step-size control and the convergence test.
#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/poly-terms.h"
#include "engine/set-work.h"

namespace zuna::engine::detail {
namespace {

constexpr double kTraceLn = -18.420681;     // ln 1e-8: a species below is a trace (3.2)
constexpr double kTraceRiseLn = -9.2103404;  // ln 1e-4: how far a trace may rise in one step
constexpr double kConverged = 1e-7;  // a full step below this leaves an error of its square
constexpr double kLowestK = 20.0, kHighestK = 40000.0;  // a search beyond is abandoned

// The range of `ranges` (ordered, contiguous) that holds T: the first whose
// upper end lies above T (a common end belongs to the upper range), the last
// above the data, the first below.
const PolyRange* range_of(const SpeciesRecord& r, double T) {
  for (const PolyRange& p : r.ranges) {
    if (T < p.T_high_K) {
      return &p;
    }
  }
  return &r.ranges.back();
}

}  // namespace

void set_terms(Work& w, double T, bool every) {
  if (every && T == w.terms_T) return;
  w.terms_T = every ? T : 0.0;
  const TPowers p(T, w.fixed_T ? std::log(T) : w.ln_T);
  constexpr double kThird = 1.0 / 3.0, kFifth = 1.0 / 5.0;
  for (int j = 0; j < w.ns; ++j) {
    if (!every && j >= w.ng && !w.active[j]) continue;
    const PolyRange*& r = w.range[j];
    if (!(T >= r->T_low_K && T < r->T_high_K)) {
      r = range_of(*w.set->species[j], T);
    }
    const double* a = r->a;
    const double p0 = a[0] * p.inv2, p1 = a[1] * p.inv, p3 = a[3] * p.t, p4 = a[4] * p.t2,
                 p5 = a[5] * p.t3, p6 = a[6] * p.t4;
    w.cp[j] = p0 + p1 + a[2] + p3 + p4 + p5 + p6;
    w.h[j] = -p0 + p1 * p.ln + a[2] + p3 * 0.5 + p4 * kThird + p5 * 0.25 + p6 * kFifth +
             r->b1 * p.inv;
    w.s0[j] = -p0 * 0.5 - p1 + a[2] * p.ln + p3 + p4 * 0.5 + p5 * kThird + p6 * 0.25 + r->b2;
    w.g0[j] = w.h[j] - w.s0[j];
  }
}

// mu_j/RT = g_j0/RT + ln(n_j/n) + ln(P/P0) at assigned pressure and
// g_j0/RT + ln(n_j R T/(v P0)) at assigned volume (2.11, 2.39); g_j0/RT for
// a condensed species.
void refresh_amounts(Work& w) {
  for (int j = 0; j < w.ng; ++j) w.nj[j] = std::exp(w.ln_nj[j]);
}

void set_potentials(Work& w) {
  if (!w.fixed_P) {
    double sum = 0.0;
    for (int j = 0; j < w.ng; ++j) sum += w.nj[j];
    w.ln_n = std::log(sum);
  }
  const double shift = w.fixed_P ? w.ln_p - w.ln_n : w.ln_R_vP0 + w.ln_T;
  for (int j = 0; j < w.ng; ++j) {
    w.mu[j] = w.g0[j] + w.ln_nj[j] + shift;
  }
  for (int j = w.ng; j < w.ns; ++j) {
    w.mu[j] = w.g0[j];
  }
}

namespace {

// The rows of the elements (2.24, 2.45): sum_k sum_j a_kj a_ij n_j pi_k +
// sum_c a_ic Dn_c + sum_j a_ij n_j Dln n + sum_j a_ij n_j E_j Dln T =
// b_i0 - b_i + sum_j a_ij n_j mu_j/RT, with E_j = H_j/RT at assigned
// pressure and U_j/RT at assigned volume. Gases j, active condensed c.
void element_rows(Work& w, int col_n, int col_T) {
  const int m = w.m, rhs = w.size;
  // sums: [0, m*m) sum_j a_kj a_ij n_j, then per i sum_j a_ij n_j, its
  // E_j and mu_j/RT weighted sums, b_i, and a_ij n_j of one species.
  double* S = w.sums.data();
  double *an = S + m * m, *anE = an + m, *anmu = anE + m, *bi = anmu + m;
  double* ain = bi + m;
  std::fill(S, ain, 0.0);
  for (int j = 0; j < w.ng; ++j) {
    const double* a = &w.atoms_by_species[static_cast<std::size_t>(j) * m];
    const double nj = w.nj[j], E = w.fixed_P ? w.h[j] : w.h[j] - 1.0, mu = w.mu[j];
    for (int i = 0; i < m; ++i) ain[i] = a[i] * nj;
    for (int i = 0; i < m; ++i) {
      if (ain[i] == 0.0) continue;
      for (int k = 0; k <= i; ++k) S[i * m + k] += ain[i] * a[k];
      an[i] += ain[i];
      anE[i] += ain[i] * E;
      anmu[i] += ain[i] * mu;
    }
  }
  for (int c = m; c < col_n; ++c) {
    const int j = w.cols[c - m];
    for (int i = 0; i < m; ++i) bi[i] += w.a(i, j) * w.nj[j];
  }
  for (int i = 0; i < m; ++i) {
    for (int k = 0; k <= i; ++k) w.at(i, k) = w.at(k, i) = S[i * m + k];
    for (int c = m; c < col_n; ++c) w.at(i, c) = w.a(i, w.cols[c - m]);
    if (w.fixed_P) w.at(i, col_n) = an[i];
    if (col_T >= 0) w.at(i, col_T) = anE[i];
    w.at(i, rhs) = w.b0[i] - (an[i] + bi[i]) + anmu[i];
  }
}

// The rows of the condensed species (2.25, 2.46): sum_i a_ic pi_i +
// H_c/RT Dln T = mu_c/RT; rows [m, end).
void condensed_rows(Work& w, int end, int col_T) {
  for (int r = w.m; r < end; ++r) {
    const int c = w.cols[r - w.m];
    for (int i = 0; i < w.m; ++i) {
      w.at(r, i) = w.a(i, c);
    }
    if (col_T >= 0) w.at(r, col_T) = w.h[c];
    w.at(r, w.size) = w.mu[c];
  }
}

}  // namespace

namespace {

// The row of the moles of gas (2.26): sum_i sum_j a_ij n_j pi_i +
// (sum_j n_j - n) Dln n + sum_j n_j H_j/RT Dln T = n - sum_j n_j + sum_j n_j mu_j/RT.
void moles_row(Work& w, int row, int col_T) {
  double sum = 0.0, nh = 0.0, nmu = 0.0;
  for (int j = 0; j < w.ng; ++j) {
    sum += w.nj[j];
    nh += w.nj[j] * w.h[j];
    nmu += w.nj[j] * w.mu[j];
  }
  for (int i = 0; i < w.m; ++i) {
    w.at(row, i) = w.at(i, row);  // sum_j a_ij n_j, the column of Dln n
  }
  for (int c = w.m; c < row; ++c) w.at(row, c) = 0.0;
  const double n = w.n();
  w.at(row, row) = sum - n;
  if (col_T >= 0) w.at(row, col_T) = nh;
  w.at(row, w.size) = n - sum + nmu;
}

// The energy row, the Newton form of the assigned h (2.27), s (2.28), u or
// s at assigned volume (2.47, 2.48): with the gases' weights W_j = H_j/RT
// (h), U_j/RT (u), S_j/R - 1 (s) and the condensed ones' H_c/RT or S_c/R,
//   sum_i sum_j a_ij n_j W_j pi_i + sum_c W_c Dn_c + (sum_j n_j W_j [+ n]) Dln n
//   + (sum_j n_j W_j E_j + sum Cp or Cv) Dln T = target - current + sum_j n_j W_j mu_j/RT.
void energy_row(Work& w, int row, int col_n, int col_T) {
  const bool entropy = w.problem == SetProblem::sp || w.problem == SetProblem::sv;
  double current = 0.0, nW = 0.0, nWE = 0.0, heat = 0.0, nWmu = 0.0, sum = 0.0;
  // For h and u, W_j = E_j: the sums of the element rows' column of Dln T.
  const double* anE = w.sums.data() + w.m * w.m + w.m;
  for (int i = 0; i < w.m; ++i) w.at(row, i) = entropy ? 0.0 : anE[i];
  for (int j = 0; j < w.ng; ++j) {
    const double E = w.fixed_P ? w.h[j] : w.h[j] - 1.0;
    const double S = w.h[j] - w.mu[j];  // S_j/R = H_j/RT - mu_j/RT
    const double W = entropy ? S - 1.0 : E, nj = w.nj[j];
    if (entropy) {
      const double* a = &w.atoms_by_species[static_cast<std::size_t>(j) * w.m];
      for (int i = 0; i < w.m; ++i) w.at(row, i) += a[i] * nj * W;
    }
    current += nj * (entropy ? S : E);
    nW += nj * W;
    nWE += nj * W * E;
    heat += nj * (w.fixed_P ? w.cp[j] : w.cp[j] - 1.0);
    nWmu += nj * W * w.mu[j];
    sum += nj;
  }
  for (int r = w.m; r < col_n; ++r) {
    const int c = w.cols[r - w.m];
    const double W = entropy ? w.s0[c] : w.h[c];
    w.at(row, r) = W;
    current += w.nj[c] * W;
    heat += w.nj[c] * w.cp[c];
  }
  if (w.fixed_P) w.at(row, col_n) = nW + (entropy ? sum : 0.0);
  if (col_T >= 0) w.at(row, col_T) = nWE + heat;
  w.at(row, w.size) = (entropy ? w.target : w.target / w.T()) - current + nWmu;
}

}  // namespace

// Two phases of one substance at their transition (pair_T > 0) hold T
// there: the energy row takes the place of the upper phase's row and the
// column of Dln T goes, so that the energy fixes the split of the phases.
bool newton_correction(Work& w) {
  int k = 0, upper = -1;
  for (int c = w.ng; c < w.ns; ++c) {
    if (!w.active[c]) continue;
    const int below = w.set->partner_below[c];
    if (w.pair_T > 0.0 && below >= 0 && w.active[below]) {
      upper = c;
    } else {
      w.cols[k++] = c;
    }
  }
  if (upper >= 0) w.cols[k++] = upper;
  const int col_n = w.m + k;
  const bool free_T = !w.fixed_T && upper < 0;
  const int col_T = free_T ? col_n + (w.fixed_P ? 1 : 0) : -1;
  w.size = col_n + (w.fixed_P ? 1 : 0) + (free_T ? 1 : 0);
  w.stride = w.size + 1;
  const int condensed_end = upper >= 0 ? col_n - 1 : col_n;
  element_rows(w, col_n, col_T);
  condensed_rows(w, condensed_end, col_T);
  for (int r = w.m; r < condensed_end; ++r) {
    for (int c = w.m; c < col_n; ++c) w.at(r, c) = 0.0;
    if (w.fixed_P) w.at(r, col_n) = 0.0;
  }
  if (w.fixed_P) moles_row(w, col_n, col_T);
  if (!w.fixed_T) energy_row(w, free_T ? col_T : col_n - 1, col_n, col_T);
  if (!solve_system(w)) return false;
  const int rhs = w.size;
  w.d_ln_n = w.fixed_P ? w.at(col_n, rhs) : 0.0;
  w.d_ln_T = free_T ? w.at(col_T, rhs) : 0.0;
  for (int c = w.ng; c < w.ns; ++c) w.d_nj[c] = 0.0;
  for (int r = w.m; r < col_n; ++r) w.d_nj[w.cols[r - w.m]] = w.at(r, rhs);
  for (int i = 0; i < w.m; ++i) w.pi[i] = w.at(i, rhs);
  // Dln n_j = -mu_j/RT + sum_i a_ij pi_i + Dln n + E_j Dln T (2.18, 2.44).
  for (int j = 0; j < w.ng; ++j) {
    double d = -w.mu[j] + w.d_ln_n + (w.fixed_P ? w.h[j] : w.h[j] - 1.0) * w.d_ln_T;
    for (int i = 0; i < w.m; ++i) d += w.a(i, j) * w.pi[i];
    w.d_ln_nj[j] = d;
  }
  return true;
}

namespace {

// Gaussian elimination with partial pivoting of M rows and the R columns
// after them; M and R known to the compiler for the common sizes (their
// loops then unrolled), or given.
template <int kM, int kR>
bool eliminate(double* A, int stride, int M_ = kM, int R_ = kR) {
  const int M = kM > 0 ? kM : M_, end = M + (kR > 0 ? kR : R_);
  for (int c = 0; c < M; ++c) {
    int p = c;
    for (int r = c + 1; r < M; ++r) {
      if (std::fabs(A[r * stride + c]) > std::fabs(A[p * stride + c])) p = r;
    }
    const double pivot = A[p * stride + c];
    if (!(std::fabs(pivot) > 0.0) || !std::isfinite(pivot)) return false;
    if (p != c) {
      for (int k = c; k < end; ++k) std::swap(A[p * stride + k], A[c * stride + k]);
    }
    const double inv = 1.0 / pivot;
    for (int r = c + 1; r < M; ++r) {
      const double f = A[r * stride + c] * inv;
      for (int k = c + 1; k < end; ++k) A[r * stride + k] -= f * A[c * stride + k];
    }
  }
  for (int k = M; k < end; ++k) {
    for (int c = M - 1; c >= 0; --c) {
      double v = A[c * stride + k];
      for (int q = c + 1; q < M; ++q) v -= A[c * stride + q] * A[q * stride + k];
      A[c * stride + k] = v / A[c * stride + c];
      if (!std::isfinite(A[c * stride + k])) return false;
    }
  }
  return true;
}

}  // namespace

bool solve_system(Work& w, int rhs_count) {
  double* A = w.A.data();
  const int s = w.stride;
  if (rhs_count == 1) {
    switch (w.size) {
      case 3: return eliminate<3, 1>(A, s);
      case 4: return eliminate<4, 1>(A, s);
      case 5: return eliminate<5, 1>(A, s);
      case 6: return eliminate<6, 1>(A, s);
      default: break;
    }
  } else if (rhs_count == 2) {
    switch (w.size) {
      case 3: return eliminate<3, 2>(A, s);
      case 4: return eliminate<4, 2>(A, s);
      default: break;
    }
  }
  return eliminate<0, 0>(A, s, w.size, rhs_count);
}

namespace {

// The step factor of RP-1311 (3.1)-(3.3): no species of more than 1e-8 of
// the gas rises by more than a factor e^2, T and n by more than e^0.4, and
// no trace rises above 1e-4 of the gas in one step.
double step_factor(const Work& w) {
  double big = 5.0 * std::max(std::fabs(w.d_ln_T), std::fabs(w.d_ln_n));
  double lambda2 = 1.0;
  for (int j = 0; j < w.ng; ++j) {
    const double ln_x = w.ln_nj[j] - w.ln_n, d = w.d_ln_nj[j];
    if (ln_x > kTraceLn) {
      if (d > 0.0 || !w.fixed_P) big = std::max(big, std::fabs(d));  // (3.1)
    } else if (d >= 0.0 && d - w.d_ln_n > 0.0) {
      lambda2 = std::min(lambda2, std::fabs((-ln_x + kTraceRiseLn) / (d - w.d_ln_n)));  // (3.2)
    }
  }
  return std::min({1.0, big > 2.0 ? 2.0 / big : 1.0, lambda2});  // (3.3)
}

// Takes the step; the largest weighted correction: n_j |Dln n_j| and
// n_j Dln n_j^2 / 1e-7 (gases) and
// |Dn_c| (condensed), weighted by max(1/N, max_i a_ij/b_i0) with N every
// mole, so that both the mole fractions and each element's own balance are
// held; |Dln n| and |Dln T| as they are.
// exp(d) for |d| <= 1/64 by its Taylor polynomial to d^7 (the remainder
// below 1e-17), a fraction of the cost of std::exp: the amounts after a
// small step, n_j exp(d), without an exponential.
constexpr double kNearZero = 1.0 / 64.0;
inline double exp_near_zero(double d) {
  constexpr double c2 = 1.0 / 2.0, c3 = 1.0 / 6.0, c4 = 1.0 / 24.0, c5 = 1.0 / 120.0,
                   c6 = 1.0 / 720.0, c7 = 1.0 / 5040.0;
  return 1.0 + d * (1.0 + d * (c2 + d * (c3 + d * (c4 + d * (c5 + d * (c6 + d * c7))))));
}

double take_step(Work& w, double lambda) {
  double N = w.n();
  for (int c = w.ng; c < w.ns; ++c) N += w.active[c] ? std::fabs(w.nj[c]) : 0.0;
  const double inv_N = 1.0 / N;
  double change = std::max(std::fabs(w.d_ln_T), std::fabs(w.d_ln_n));
  for (int j = 0; j < w.ng; ++j) {
    const double d = w.d_ln_nj[j], weight = w.nj[j] * std::max(inv_N, w.share[j]);
    const double step = lambda * d;
    w.ln_nj[j] += step;
    // An amount below the normal doubles has lost its digits: from its logarithm.
    w.nj[j] = std::fabs(step) <= kNearZero && w.nj[j] >= std::numeric_limits<double>::min()
                  ? w.nj[j] * exp_near_zero(step)
                  : std::exp(w.ln_nj[j]);
    // The step's own error, of the order of n_j d^2 / 2, counts too: a
    // small amount that holds the balance of its element (the excess gas
    // beside a condensed phase) converges to its element's rounding.
    change = std::max(change, weight * std::fabs(d) * std::max(1.0, std::fabs(d) * 1e7));
  }
  for (int c = w.ng; c < w.ns; ++c) {
    if (!w.active[c]) continue;
    w.nj[c] += lambda * w.d_nj[c];
    change = std::max(change, std::max(inv_N, w.share[c]) * std::fabs(w.d_nj[c]));
  }
  if (w.fixed_P) w.ln_n += lambda * w.d_ln_n;
  if (!w.fixed_T) w.ln_T += lambda * w.d_ln_T;
  return change;
}

}  // namespace

// Every mole condensed, no state: the gas below 1e-10 of the moles.
bool gas_gone(const Work& w) {
  double condensed = 0.0;
  for (int c = w.ng; c < w.ns; ++c) condensed += w.active[c] ? w.nj[c] : 0.0;
  return condensed > 0.0 && !(w.n() >= 1e-10 * condensed);
}

// A singular system at assigned T and P with the elements in the
// proportions of a condensed species present: one substance, whose vapour
// alone cannot fill the pressure where it condenses (the element potentials
// of the gas are then undetermined). Every mole condensed.
bool one_substance_condensed(const Work& w) {
  if (w.problem != SetProblem::tp) return false;
  for (int c = w.ng; c < w.ns; ++c) {
    if (!w.active[c]) continue;
    double ratio = 0.0;
    bool one = true;
    for (int i = 0; i < w.m && one; ++i) {
      const double r = w.b0[i] / w.a(i, c);
      one = w.a(i, c) > 0.0 && (ratio == 0.0 || std::fabs(r - ratio) <= 1e-9 * ratio);
      ratio = r;
    }
    if (one) return true;
  }
  return false;
}

int iterate(Work& w, int budget) {
  for (int it = 1; it <= budget; ++it) {
    set_terms(w, w.T(), false);
    set_potentials(w);
    if (!newton_correction(w)) {
      return gas_gone(w) || one_substance_condensed(w) ? kStopNoGas : kStopSingular;
    }
    const double lambda = step_factor(w);
    const double change = take_step(w, lambda);
    if (!std::isfinite(change)) return gas_gone(w) ? kStopNoGas : kStopSingular;
    if (!w.fixed_T) {
      bool left_out = false;
      for (int c = w.ng; c < w.ns; ++c) left_out = left_out || !w.active[c];
      const double T = w.T();
      if (left_out && T < w.T_condensing) return kStopTooCold;
      if (!(T > kLowestK && T < kHighestK)) return kStopOutOfRange;
    }
    if (gas_gone(w)) return kStopNoGas;
    if (lambda == 1.0 && change < kConverged) return it;
  }
  return kStopNotConverged;
}

}  // namespace zuna::engine::detail
