#include "engine/gibbs.h"

#include <algorithm>
#include <cmath>

namespace zuna::engine::detail {
namespace {

// Logarithm of the trace limit of RP-1311 eqs. (3.1), (3.2): ln(1e-8).
constexpr double kTraceLn = -18.420681;
// ln(1e-4): how far a trace species may rise in one step (eq. 3.2).
constexpr double kTraceRiseLn = -9.2103404;
constexpr int kMaxIterations = 100;
// The iteration is abandoned when T leaves this band, or stays for
// kOutsideSteps steps outside the band where a result has values
// (100-6500 K): the point has no solution then, whether or not the steps
// would end somewhere (the polynomials mean nothing far outside their
// ranges).
constexpr double kAbandonLowK = 30.0;
constexpr double kAbandonHighK = 30000.0;
constexpr int kOutsideSteps = 6;

// One Newton step: the corrections of eq. (2.18) and the multipliers.
// newton_step sets every member of a step it answers true for; they are left
// uninitialised until then, as the step is made afresh in every iteration.
struct Step {
  // The weight of species j in the balances before the step: the largest
  // share it holds of an element, a_ij n_j / b_i, or of the moles, n_j / n.
  double weight[kSpeciesCount];
  double d_ln_nj[kSpeciesCount];
  double d_ln_n;
  double d_ln_T;
  double pi[kElementCount];
};

// The reduced system for fixed P (TP, HP, SP), RP-1311 eqs. (2.24), (2.26)
// and (2.27) (HP) or (2.28) (SP); unknowns pi_1, pi_2, Delta ln n and, but
// for TP, Delta ln T. Returns the size of the system. The sums are kept in
// locals, named by the equations' terms, and written to A at the end.
int assemble_fixed_p(const Problem& pb, const State& st, double T, double n,
                     const SpeciesTerms& t, const double (&nj)[kSpeciesCount],
                     const double (&mu)[kSpeciesCount], double (&A)[4][5]) {
  const auto& atoms = pb.rows->a;  // a_ij
  const bool energy = pb.mode != Mode::TP;
  const bool entropy = pb.mode == Mode::SP;
  double aa00 = 0, aa01 = 0, aa11 = 0;  // sum_j a_kj a_ij n_j
  double an0 = 0, an1 = 0, sum_n = 0;   // sum_j a_kj n_j, sum_j n_j
  double amu0 = 0, amu1 = 0, nmu = 0;   // sum_j a_kj n_j (mu_j/RT - 1), sum_j n_j mu_j/RT
  double ah0 = 0, ah1 = 0, nh = 0;      // sum_j a_kj n_j H_j/RT, sum_j n_j H_j/RT
  double aw0 = 0, aw1 = 0, nw = 0;      // the same with W_j = H_j/RT (HP) or S_j/R (SP)
  double ncw = 0, nwmu = 0;  // sum_j n_j (Cp_j/R + H_j/RT W_j), sum_j n_j W_j (mu_j/RT - 1)
  for (int j = 0; j < kSpeciesCount; ++j) {
    const double a0 = atoms[0][j] * nj[j], a1 = atoms[1][j] * nj[j];
    const double m1 = mu[j] - 1.0;
    aa00 += a0 * atoms[0][j];
    aa01 += a0 * atoms[1][j];
    aa11 += a1 * atoms[1][j];
    an0 += a0;
    an1 += a1;
    sum_n += nj[j];
    amu0 += a0 * m1;
    amu1 += a1 * m1;
    nmu += nj[j] * mu[j];
    if (energy) {
      const double h = t.h_RT[j];
      // S_j/R of the mixture: S_j0/R - ln(n_j/n) - ln(P/P0).
      const double w = entropy ? t.s0_R[j] - (st.ln_nj[j] - st.ln_n) - pb.ln_p : h;
      ah0 += a0 * h;
      ah1 += a1 * h;
      nh += nj[j] * h;
      aw0 += a0 * w;
      aw1 += a1 * w;
      nw += nj[j] * w;
      ncw += nj[j] * (t.cp_R[j] + h * w);
      nwmu += nj[j] * w * m1;
    }
  }
  const int m = energy ? 4 : 3;
  // (2.24), k = 1, 2: sum_i sum_j a_kj a_ij n_j pi_i + sum_j a_kj n_j Delta ln n
  //   + sum_j a_kj n_j H_j/RT Delta ln T = b_k0 - b_k + sum_j a_kj n_j mu_j/RT,
  // with b_k = sum_j a_kj n_j folded into the last sum.
  A[0][0] = aa00, A[0][1] = aa01, A[0][2] = an0, A[0][m] = pb.b[0] + amu0;
  A[1][0] = aa01, A[1][1] = aa11, A[1][2] = an1, A[1][m] = pb.b[1] + amu1;
  // (2.26): sum_i sum_j a_ij n_j pi_i + (sum_j n_j - n) Delta ln n
  //   + sum_j n_j H_j/RT Delta ln T = n - sum_j n_j + sum_j n_j mu_j/RT
  A[2][0] = an0, A[2][1] = an1, A[2][2] = sum_n - n, A[2][m] = n - sum_n + nmu;
  if (energy) {
    A[0][3] = ah0, A[1][3] = ah1, A[2][3] = nh;
    // (2.27) HP: sum_i sum_j a_ij n_j H_j/RT pi_i + sum_j n_j H_j/RT Delta ln n
    //   + (sum_j n_j Cp_j/R + sum_j n_j (H_j/RT)^2) Delta ln T
    //   = h0/RT - sum_j n_j H_j/RT + sum_j n_j H_j/RT mu_j/RT
    // (2.28) SP: sum_i sum_j a_ij n_j S_j/R pi_i + sum_j n_j S_j/R Delta ln n
    //   + (sum_j n_j Cp_j/R + sum_j n_j H_j/RT S_j/R) Delta ln T
    //   = (s0 - s)/R + n - sum_j n_j + sum_j n_j S_j/R mu_j/RT
    A[3][0] = aw0, A[3][1] = aw1, A[3][2] = nw, A[3][3] = ncw;
    A[3][4] = nwmu + (entropy ? pb.s_R + n - sum_n : pb.h_R / T);
  }
  return m;
}

// The reduced system at fixed volume (UV), RP-1311 section 2.4: the
// element rows and the energy row with U_j/RT = H_j/RT - 1 and
// Cv_j/R = Cp_j/R - 1; unknowns pi_H, pi_O, Delta ln T. There is no
// Delta ln n: n is the sum of the n_j.
void assemble_fixed_v(const Problem& pb, double T, const SpeciesTerms& t,
                      const double (&nj)[kSpeciesCount], const double (&mu)[kSpeciesCount],
                      double (&A)[4][5]) {
  const auto& atoms = pb.rows->a;  // a_ij
  for (int r = 0; r < 4; ++r) {
    std::fill(std::begin(A[r]), std::end(A[r]), 0.0);
  }
  for (int j = 0; j < kSpeciesCount; ++j) {
    const double u = t.h_RT[j] - 1.0;
    for (int k = 0; k < kElementCount; ++k) {
      const double akn = atoms[k][j] * nj[j];
      for (int i = 0; i < kElementCount; ++i) {
        A[k][i] += akn * atoms[i][j];
      }
      A[k][2] += akn * u;
      A[k][3] += akn * (mu[j] - 1.0);
      A[2][k] += akn * u;
    }
    A[2][2] += nj[j] * (t.cp_R[j] - 1.0 + u * u);
    A[2][3] += nj[j] * u * (mu[j] - 1.0);
  }
  for (int k = 0; k < kElementCount; ++k) {
    A[k][3] += pb.b[k];
  }
  A[2][3] += pb.u_R / T;
}

// Assembles and solves one Newton step at `st`, whose amounts and
// temperature are `a`; false when singular.
bool newton_step(const ThermoData& data, const Problem& pb, const State& st, const Amounts& a,
                 Step& step) {
  const auto& atoms = pb.rows->a;  // a_ij
  const auto& nj = a.nj;
  const double T = a.T;
  SpeciesTerms t;
  evaluate_terms(data, TPowers(T, st.ln_T), t);
  double sum_n = 0.0;
  for (int j = 0; j < kSpeciesCount; ++j) {
    sum_n += nj[j];
  }
  const double inv_sum = 1.0 / sum_n;
  for (int j = 0; j < kSpeciesCount; ++j) {
    step.weight[j] = nj[j] * std::max(inv_sum, pb.element_share[j]);
  }
  double mu[kSpeciesCount];
  chemical_potentials(pb, st, t, mu);
  double A[4][5];
  int m = 3;
  if (pb.mode == Mode::UV) {
    assemble_fixed_v(pb, T, t, nj, mu, A);
  } else {
    m = assemble_fixed_p(pb, st, T, a.n, t, nj, mu, A);
  }
  if (!solve_by_blocks(m, A) && !solve_linear(m, A)) {
    return false;
  }
  step.pi[0] = A[0][m];
  step.pi[1] = A[1][m];
  step.d_ln_n = pb.mode == Mode::UV ? 0.0 : A[2][m];
  step.d_ln_T = pb.mode == Mode::TP ? 0.0 : pb.mode == Mode::UV ? A[2][m] : A[3][m];
  for (int j = 0; j < kSpeciesCount; ++j) {
    // (2.18): Delta ln n_j = -mu_j/RT + sum_i a_ij pi_i + Delta ln n
    //         + H_j/RT Delta ln T   (U_j/RT for UV)
    const double e = pb.mode == Mode::UV ? t.h_RT[j] - 1.0 : t.h_RT[j];
    step.d_ln_nj[j] = -mu[j] + atoms[0][j] * step.pi[0] + atoms[1][j] * step.pi[1] + step.d_ln_n +
                      e * step.d_ln_T;
  }
  return true;
}

// The step-size factor lambda of RP-1311 eqs. (3.1)-(3.3): no major species
// changes by more than a factor e^2 (and n, T by e^0.4) in one step, and no
// trace species rises above 1e-4 of n.
double step_factor(const State& st, const Step& s) {
  double big = std::max(5.0 * std::fabs(s.d_ln_T), 5.0 * std::fabs(s.d_ln_n));
  double lambda2 = 1.0;
  for (int j = 0; j < kSpeciesCount; ++j) {
    const double ln_x = st.ln_nj[j] - st.ln_n;
    if (ln_x > kTraceLn) {
      if (s.d_ln_nj[j] > 0.0) {
        big = std::max(big, s.d_ln_nj[j]);  // (3.1)
      }
    } else if (s.d_ln_nj[j] >= 0.0 && s.d_ln_nj[j] - s.d_ln_n > 0.0) {
      // (3.2)
      lambda2 = std::min(lambda2, std::fabs((-ln_x + kTraceRiseLn) / (s.d_ln_nj[j] - s.d_ln_n)));
    }
  }
  const double lambda1 = big > 2.0 ? 2.0 / big : 1.0;
  return std::min({1.0, lambda1, lambda2});  // (3.3)
}

// The first element row (the element in excess over water) balanced on its own by a shift delta of
// its multiplier: ln n_j += a_1j delta, so that sum_j a_1j n_j = b_1.
//
// Where water holds nearly all of both elements, this row is made of trace
// amounts only, and its balance is a sum of exponentials in the multiplier
// of very different sizes: a Newton step on it, taken from far away, moves
// the multiplier by 1/|a_1j| of the largest term (a factor e on that
// amount) per step, and a species that must fall from a mole fraction of
// 0.1 to 1e-40 takes a hundred steps. Solved on its own, in logarithms,
// ln P(delta) = ln N(delta) with P and N the positive and negative parts
// of the row, the shift is found in a few steps wherever it lies. The
// Newton steps of the whole system then go on from a balanced row.
void balance_first_row(const Problem& pb, State& st) {
  const auto& atoms = pb.rows->a;              // a_ij
  const double(&a)[kSpeciesCount] = atoms[0];  // the row of the element in excess
  const double b = pb.b[0];
  // ln|a_j| and ln|b|, the same at every step.
  double ln_a[kSpeciesCount];
  for (int j = 0; j < kSpeciesCount; ++j) {
    ln_a[j] = a[j] != 0.0 ? std::log(std::fabs(a[j])) : 0.0;
  }
  const double ln_b = b != 0.0 ? std::log(std::fabs(b)) : 0.0;
  double delta = 0.0;
  for (int it = 0; it < 60; ++it) {
    // Log-sum-exp of each side: terms ln|a_j| + ln n_j + a_j delta, and the
    // element amount on the side it balances.
    double top[2] = {-HUGE_VAL, -HUGE_VAL};  // 0 positive side, 1 negative side
    double term[kSpeciesCount + 1];
    for (int j = 0; j < kSpeciesCount; ++j) {
      if (a[j] != 0.0) {
        term[j] = ln_a[j] + st.ln_nj[j] + a[j] * delta;
        double& t = top[a[j] > 0.0 ? 0 : 1];
        t = std::max(t, term[j]);
      }
    }
    if (b != 0.0) {
      term[kSpeciesCount] = ln_b;
      double& t = top[b < 0.0 ? 0 : 1];
      t = std::max(t, term[kSpeciesCount]);
    }
    if (!(top[0] > -HUGE_VAL) || !(top[1] > -HUGE_VAL)) {
      return;  // one side empty: nothing to balance
    }
    double sum[2] = {0.0, 0.0}, slope[2] = {0.0, 0.0};
    for (int j = 0; j < kSpeciesCount; ++j) {
      if (a[j] != 0.0) {
        const int side = a[j] > 0.0 ? 0 : 1;
        const double e = std::exp(term[j] - top[side]);
        sum[side] += e;
        slope[side] += a[j] * e;
      }
    }
    if (b != 0.0) {
      sum[b < 0.0 ? 0 : 1] += std::exp(term[kSpeciesCount] - top[b < 0.0 ? 0 : 1]);
    }
    // phi = ln P - ln N, increasing in delta.
    const double phi = (top[0] + std::log(sum[0])) - (top[1] + std::log(sum[1]));
    const double dphi = slope[0] / sum[0] - slope[1] / sum[1];
    if (!(dphi > 0.0)) {
      return;
    }
    const double step = std::max(-50.0, std::min(50.0, -phi / dphi));
    delta += step;
    if (std::fabs(step) < 1e-14) {
      break;
    }
  }
  for (int j = 0; j < kSpeciesCount; ++j) {
    st.ln_nj[j] += a[j] * delta;
  }
  st.pi[0] += delta;
}

}  // namespace

void set_element_shares(Problem& pb) {
  for (int j = 0; j < kSpeciesCount; ++j) {
    pb.element_share[j] = std::max(kAtoms[0][j] * pb.inv_b_HO[0], kAtoms[1][j] * pb.inv_b_HO[1]);
  }
}

double temperature(const Problem& pb, const State& st) {
  return pb.mode == Mode::TP ? pb.T_K : std::exp(st.ln_T);
}

void chemical_potentials(const Problem& pb, const State& st, const SpeciesTerms& t,
                         double (&mu)[kSpeciesCount]) {
  // RP-1311 eq. (2.11) for ideal gases: mu_j/RT = g_j0/RT + ln(n_j/n) + ln(P/P0);
  // at fixed volume P_j = n_j R T / v.
  const double shift = pb.mode == Mode::UV ? pb.ln_RT_vP0 + st.ln_T : pb.ln_p - st.ln_n;
  for (int j = 0; j < kSpeciesCount; ++j) {
    mu[j] = t.g0_RT[j] + st.ln_nj[j] + shift;
  }
}

namespace {

// Gaussian elimination with partial pivoting on an M x M system, M known to
// the compiler so that the loops unroll.
template <int M>
bool eliminate(double (&A)[4][5]) {
  for (int c = 0; c < M; ++c) {
    int p = c;
    for (int r = c + 1; r < M; ++r) {
      if (std::fabs(A[r][c]) > std::fabs(A[p][c])) {
        p = r;
      }
    }
    if (!(std::fabs(A[p][c]) > 0.0) || !std::isfinite(A[p][c])) {
      return false;
    }
    if (p != c) {
      for (int k = 0; k <= M; ++k) {
        std::swap(A[p][k], A[c][k]);
      }
    }
    for (int r = c + 1; r < M; ++r) {
      const double f = A[r][c] / A[c][c];
      for (int k = c + 1; k <= M; ++k) {
        A[r][k] -= f * A[c][k];
      }
    }
  }
  for (int c = M - 1; c >= 0; --c) {
    double v = A[c][M];
    for (int k = c + 1; k < M; ++k) {
      v -= A[c][k] * A[k][M];
    }
    A[c][M] = v / A[c][c];
  }
  return true;
}

}  // namespace

// The reduced system by its blocks: E the 2 x 2 block of the element rows
// and multipliers (a Gram matrix sum_j n_j a_kj a_ij, positive definite
// while two independent species have amounts), B and C its borders, D the
// rest. With y = (Delta ln n, Delta ln T) (or the one of them the problem
// has): (D - C E^-1 B) y = r_y - C E^-1 r_e, then pi = E^-1 (r_e - B y).
// No pivot search; false, with A as it was, when E or the complement has
// no inverse, and the caller takes the pivoting elimination then.
bool solve_by_blocks(int m, double (&A)[4][5]) {
  const double det = A[0][0] * A[1][1] - A[0][1] * A[1][0];
  if (!(std::fabs(det) > 0.0) || !std::isfinite(det)) {
    return false;
  }
  const double inv = 1.0 / det;
  // E^-1 applied to the columns 2..m of the element rows (B and r_e).
  double eb[2][3];
  for (int c = 2; c <= m; ++c) {
    eb[0][c - 2] = (A[1][1] * A[0][c] - A[0][1] * A[1][c]) * inv;
    eb[1][c - 2] = (A[0][0] * A[1][c] - A[1][0] * A[0][c]) * inv;
  }
  // The complement S = D - C E^-1 B and its right-hand side, k = m - 2 rows.
  const int k = m - 2;
  double S[2][3];
  for (int r = 0; r < k; ++r) {
    for (int c = 0; c <= k; ++c) {
      S[r][c] = A[2 + r][2 + c] - A[2 + r][0] * eb[0][c] - A[2 + r][1] * eb[1][c];
    }
  }
  double y[2];
  if (k == 1) {
    y[0] = S[0][1] / S[0][0];
  } else {
    const double ds = S[0][0] * S[1][1] - S[0][1] * S[1][0];
    y[0] = (S[1][1] * S[0][2] - S[0][1] * S[1][2]) / ds;
    y[1] = (S[0][0] * S[1][2] - S[1][0] * S[0][2]) / ds;
  }
  for (int r = 0; r < k; ++r) {
    if (!std::isfinite(y[r])) {
      return false;
    }
  }
  for (int i = 0; i < 2; ++i) {
    double v = eb[i][k];
    for (int r = 0; r < k; ++r) {
      v -= eb[i][r] * y[r];
    }
    A[i][m] = v;
  }
  for (int r = 0; r < k; ++r) {
    A[2 + r][m] = y[r];
  }
  return true;
}

bool solve_linear(int m, double (&A)[4][5]) {
  switch (m) {
    case 3: return eliminate<3>(A);
    case 4: return eliminate<4>(A);
    default: return false;
  }
}

State cold_start(const Problem& pb) {
  State st;
  const double n = 100.0;  // 0.1 kmol/kg
  st.ln_n = std::log(n);
  for (int j = 0; j < kSpeciesCount; ++j) {
    st.ln_nj[j] = std::log(n / kSpeciesCount);
  }
  st.ln_T = std::log(pb.mode == Mode::TP ? pb.T_K : 3800.0);
  return st;
}

namespace {

// Takes the step s with factor lambda. Returns the size of the step for
// the convergence test: |Delta ln T|, |Delta ln n| and w_j |Delta ln n_j|
// with the weight of species j in the balances, as the test of RP-1311
// (section 3.3) weighs by mole fraction: a trace species carries nothing of
// the balances. `largest` receives the largest |Delta ln n_j| unweighted.
double take_step(const Problem& pb, const Step& s, double lambda, State& st, double& largest) {
  double change = std::max(std::fabs(s.d_ln_T), std::fabs(s.d_ln_n)) * lambda;
  largest = 0.0;
  for (int j = 0; j < kSpeciesCount; ++j) {
    const double d = lambda * s.d_ln_nj[j];
    st.ln_nj[j] += d;
    change = std::max(change, s.weight[j] * std::fabs(d));
    largest = std::max(largest, std::fabs(d));
  }
  st.ln_T += lambda * s.d_ln_T;
  st.pi[0] = s.pi[0];
  st.pi[1] = s.pi[1];
  // The crawl balance_first_row cures shows as steps of a whole unit in
  // some ln n_j; the small steps of a warm start have no need of it.
  if (largest > 0.5) {
    balance_first_row(pb, st);
  }
  if (pb.mode == Mode::UV) {
    double n = 0.0;
    for (int j = 0; j < kSpeciesCount; ++j) {
      n += std::exp(st.ln_nj[j]);
    }
    st.ln_n = std::log(n);
  } else {
    st.ln_n += lambda * s.d_ln_n;
  }
  return change;
}

}  // namespace

namespace {

// The amounts of `st` (n only at fixed pressure, where the iteration has it
// as an unknown of its own); the temperature is the caller's.
void amounts_of(const Problem& pb, const State& st, Amounts& a) {
  for (int j = 0; j < kSpeciesCount; ++j) {
    a.nj[j] = std::exp(st.ln_nj[j]);
  }
  a.n = pb.mode == Mode::UV ? 0.0 : std::exp(st.ln_n);
}

// exp(d) for |d| <= kNearZero by its Taylor series to d^7: the remainder,
// below d^8/8! < 1e-19, lies far below the rounding of a double, and the
// polynomial costs a fraction of the library's exp.
constexpr double kNearZero = 1.0 / 64.0;
inline double exp_near_zero(double d) {
  constexpr double c2 = 1.0 / 2.0, c3 = 1.0 / 6.0, c4 = 1.0 / 24.0, c5 = 1.0 / 120.0,
                   c6 = 1.0 / 720.0, c7 = 1.0 / 5040.0;
  return 1.0 + d * (1.0 + d * (c2 + d * (c3 + d * (c4 + d * (c5 + d * (c6 + d * c7))))));
}

// x exp(to - from): the value whose logarithm moved from `from` to `to`,
// from the value x at `from`. A small move scales x (the steps near the
// answer); a large one, or one that is not a number, takes exp(to) afresh,
// which also ends any drift of the products from the logarithms.
inline double moved(double x, double from, double to) {
  const double d = to - from;
  return std::fabs(d) <= kNearZero ? x * exp_near_zero(d) : std::exp(to);
}

// The amounts and temperature of `st` from those of `before`, the state
// the last step started from (see moved).
void amounts_after_step(const Problem& pb, const State& before, const State& st, Amounts& a) {
  for (int j = 0; j < kSpeciesCount; ++j) {
    a.nj[j] = moved(a.nj[j], before.ln_nj[j], st.ln_nj[j]);
  }
  if (pb.mode != Mode::UV) {
    a.n = moved(a.n, before.ln_n, st.ln_n);
  }
  a.T = pb.mode == Mode::TP ? pb.T_K : moved(a.T, before.ln_T, st.ln_T);
}

}  // namespace

Outcome solve(const ThermoData& data, const Problem& pb, const State& start,
              const Amounts* known) {
  Outcome out;
  State& st = out.state;
  Amounts& a = out.amounts;
  st = start;
  if (pb.mode == Mode::TP) {
    st.ln_T = std::log(pb.T_K);
  }
  if (known != nullptr) {
    a = *known;
    if (pb.mode == Mode::TP) {
      a.T = pb.T_K;
    }
  } else {
    amounts_of(pb, st, a);
    a.T = temperature(pb, st);
  }
  int below = 0, above = 0;  // steps in a row that ended below 100 K, above 6500 K
  for (int it = 1; it <= kMaxIterations; ++it) {
    out.iterations = it;
    Step s;
    if (!newton_step(data, pb, st, a, s)) {
      out.flags |= kSingular | kNotConverged;
      return out;
    }
    const double lambda = step_factor(st, s);
    double largest = 0.0;
    const State before = st;
    const double change = take_step(pb, s, lambda, st, largest);
    amounts_after_step(pb, before, st, a);
    const double T = a.T;
    below = T < kTExtrapolatedMinK ? below + 1 : 0;
    above = T > kTExtrapolatedMaxK ? above + 1 : 0;
    if (!(T > kAbandonLowK) || below == kOutsideSteps) {
      out.flags |= kBelowRange;
      return out;
    }
    if (!(T < kAbandonHighK) || above == kOutsideSteps) {
      out.flags |= kAboveRange;
      return out;
    }
    if (!std::isfinite(change) || !std::isfinite(largest)) {
      break;
    }
    // Converged quadratically: after a full step of at most 1e-7, what is
    // left is of the order of its square, at the rounding of doubles. At
    // fixed T the law of mass action holds after every full step, of trace
    // species too: mu_j/RT is linear in ln n_j and ln n.
    if (lambda == 1.0 && change < 1e-7) {
      return out;
    }
  }
  out.flags |= kNotConverged;
  return out;
}

}  // namespace zuna::engine::detail
