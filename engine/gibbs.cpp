#include "engine/gibbs.h"

#include <algorithm>
#include <cmath>

namespace zuna::engine::detail {
namespace {


// Logarithm of the trace limit of RP-1311 eq. (3.2): ln(1e-8).
constexpr double kTraceLn = -18.420681;
// ln(1e-4): how far a trace species may rise in one step (eq. 3.3).
constexpr double kTraceRiseLn = -9.2103404;
constexpr int kMaxIterations = 100;
// The iteration is abandoned when T leaves this band: no solution near it.
constexpr double kAbandonLowK = 30.0;
constexpr double kAbandonHighK = 30000.0;

// One Newton step: the corrections of eq. (2.18) and the multipliers.
struct Step {
  double d_ln_nj[kSpeciesCount] = {};
  double d_ln_n = 0.0;
  double d_ln_T = 0.0;
  double pi[kElementCount] = {};
};

// The reduced system for fixed P (TP, HP, SP), RP-1311 eqs. (2.24), (2.26)
// and (2.27) (HP) or (2.28) (SP); unknowns pi_H, pi_O, Delta ln n and, but
// for TP, Delta ln T. Returns the size of the system.
int assemble_fixed_p(const Problem& pb, const State& st, const SpeciesTerms& t,
                     const double (&nj)[kSpeciesCount], const double (&mu)[kSpeciesCount],
                     double (&A)[4][5]) {
  const auto& atoms = pb.rows->a;  // a_ij
  const bool energy = pb.mode != Mode::TP;
  const int m = energy ? 4 : 3;
  const int rhs = m;
  const double n = std::exp(st.ln_n);
  double S[kSpeciesCount];  // S_j/R of the mixture, for (2.28)
  for (int j = 0; j < kSpeciesCount; ++j) {
    S[j] = t.s0_R[j] - (st.ln_nj[j] - st.ln_n) - pb.ln_p;
  }
  for (int r = 0; r < 4; ++r) {
    std::fill(std::begin(A[r]), std::end(A[r]), 0.0);
  }
  double sum_n = 0.0;
  for (int j = 0; j < kSpeciesCount; ++j) {
    sum_n += nj[j];
  }
  for (int j = 0; j < kSpeciesCount; ++j) {
    for (int k = 0; k < kElementCount; ++k) {
      const double akn = atoms[k][j] * nj[j];
      // (2.24): sum_i sum_j a_kj a_ij n_j pi_i + sum_j a_kj n_j Delta ln n
      //         + sum_j a_kj n_j H_j/RT Delta ln T
      //         = b_k0 - b_k + sum_j a_kj n_j mu_j/RT
      for (int i = 0; i < kElementCount; ++i) {
        A[k][i] += akn * atoms[i][j];
      }
      A[k][2] += akn;
      A[k][rhs] += akn * (mu[j] - 1.0);  // the -b_k term folded in: b_k = sum a_kj n_j
      // (2.26): sum_i sum_j a_ij n_j pi_i + ... (the row of n, column k)
      A[2][k] += akn;
      if (energy) {
        A[k][3] += akn * t.h_RT[j];
        A[3][k] += akn * (pb.mode == Mode::HP ? t.h_RT[j] : S[j]);
      }
    }
    // (2.26): (sum_j n_j - n) Delta ln n + sum_j n_j H_j/RT Delta ln T
    //         = n - sum_j n_j + sum_j n_j mu_j/RT
    A[2][rhs] += nj[j] * mu[j];
    if (energy) {
      A[2][3] += nj[j] * t.h_RT[j];
      // (2.27) HP: ... + sum_j n_j H_j/RT Delta ln n + (sum_j n_j Cp_j/R
      //   + sum_j n_j (H_j/RT)^2) Delta ln T
      //   = h0/RT - sum_j n_j H_j/RT + sum_j n_j H_j/RT mu_j/RT
      // (2.28) SP: ... + sum_j n_j S_j/R Delta ln n + (sum_j n_j Cp_j/R
      //   + sum_j n_j H_j/RT S_j/R) Delta ln T
      //   = (s0 - s)/R + n - sum_j n_j + sum_j n_j S_j/R mu_j/RT
      const double w = pb.mode == Mode::HP ? t.h_RT[j] : S[j];
      A[3][2] += nj[j] * w;
      A[3][3] += nj[j] * (t.cp_R[j] + t.h_RT[j] * w);
      A[3][rhs] += nj[j] * w * (mu[j] - 1.0);
    }
  }
  for (int k = 0; k < kElementCount; ++k) {
    A[k][rhs] += pb.b[k];
  }
  A[2][2] = sum_n - n;
  A[2][rhs] += n - sum_n;
  if (energy) {
    A[3][rhs] += pb.mode == Mode::HP ? pb.h_R / temperature(pb, st) : pb.s_R + n - sum_n;
  }
  return m;
}

// The reduced system at fixed volume (UV), RP-1311 section 2.4: the
// element rows and the energy row with U_j/RT = H_j/RT - 1 and
// Cv_j/R = Cp_j/R - 1; unknowns pi_H, pi_O, Delta ln T. There is no
// Delta ln n: n is the sum of the n_j.
void assemble_fixed_v(const Problem& pb, const State& st, const SpeciesTerms& t,
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
  A[2][3] += pb.u_R / temperature(pb, st);
}

// Assembles and solves one Newton step at `st`; false when singular.
bool newton_step(const ThermoData& data, const Problem& pb, const State& st, Step& step) {
  const auto& atoms = pb.rows->a;  // a_ij
  SpeciesTerms t;
  evaluate_terms(data, temperature(pb, st), t);
  double nj[kSpeciesCount];
  for (int j = 0; j < kSpeciesCount; ++j) {
    nj[j] = std::exp(st.ln_nj[j]);
  }
  double mu[kSpeciesCount];
  chemical_potentials(pb, st, t, mu);
  double A[4][5];
  int m = 3;
  if (pb.mode == Mode::UV) {
    assemble_fixed_v(pb, st, t, nj, mu, A);
  } else {
    m = assemble_fixed_p(pb, st, t, nj, mu, A);
  }
  if (!solve_linear(m, A)) {
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
    step.d_ln_nj[j] = -mu[j] + atoms[0][j] * step.pi[0] + atoms[1][j] * step.pi[1] +
                      step.d_ln_n + e * step.d_ln_T;
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
      // (3.3)
      lambda2 = std::min(lambda2, std::fabs((-ln_x + kTraceRiseLn) / (s.d_ln_nj[j] - s.d_ln_n)));
    }
  }
  const double lambda1 = big > 2.0 ? 2.0 / big : 1.0;
  return std::min({1.0, lambda1, lambda2});  // (3.2)
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
  const auto& atoms = pb.rows->a;  // a_ij
  const double(&a)[kSpeciesCount] = atoms[0];  // the row of the element in excess
  const double b = pb.b[0];
  double delta = 0.0;
  for (int it = 0; it < 60; ++it) {
    // Log-sum-exp of each side: terms ln|a_j| + ln n_j + a_j delta, and the
    // element amount on the side it balances.
    double top[2] = {-HUGE_VAL, -HUGE_VAL};  // 0 positive side, 1 negative side
    double term[kSpeciesCount + 1];
    for (int j = 0; j < kSpeciesCount; ++j) {
      if (a[j] != 0.0) {
        term[j] = std::log(std::fabs(a[j])) + st.ln_nj[j] + a[j] * delta;
        double& t = top[a[j] > 0.0 ? 0 : 1];
        t = std::max(t, term[j]);
      }
    }
    if (b != 0.0) {
      term[kSpeciesCount] = std::log(std::fabs(b));
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

double temperature(const Problem& pb, const State& st) {
  return pb.mode == Mode::TP ? pb.T_K : std::exp(st.ln_T);
}

void chemical_potentials(const Problem& pb, const State& st, const SpeciesTerms& t,
                         double (&mu)[kSpeciesCount]) {
  // RP-1311 eq. (2.11) for ideal gases: mu_j/RT = g_j0/RT + ln(n_j/n) + ln(P/P0);
  // at fixed volume P_j = n_j R T / v.
  const double shift =
      pb.mode == Mode::UV ? pb.ln_RT_vP0 + st.ln_T : pb.ln_p - st.ln_n;
  for (int j = 0; j < kSpeciesCount; ++j) {
    mu[j] = t.g0_RT[j] + st.ln_nj[j] + shift;
  }
}

bool solve_linear(int m, double (&A)[4][5]) {
  for (int c = 0; c < m; ++c) {
    int p = c;
    for (int r = c + 1; r < m; ++r) {
      if (std::fabs(A[r][c]) > std::fabs(A[p][c])) {
        p = r;
      }
    }
    if (!(std::fabs(A[p][c]) > 0.0) || !std::isfinite(A[p][c])) {
      return false;
    }
    if (p != c) {
      for (int k = 0; k <= m; ++k) {
        std::swap(A[p][k], A[c][k]);
      }
    }
    for (int r = c + 1; r < m; ++r) {
      const double f = A[r][c] / A[c][c];
      for (int k = c; k <= m; ++k) {
        A[r][k] -= f * A[c][k];
      }
    }
  }
  for (int c = m - 1; c >= 0; --c) {
    double v = A[c][m];
    for (int k = c + 1; k < m; ++k) {
      v -= A[c][k] * A[k][m];
    }
    A[c][m] = v / A[c][c];
  }
  return true;
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

Outcome solve(const ThermoData& data, const Problem& pb, const State& start) {
  Outcome out;
  State& st = out.state;
  st = start;
  if (pb.mode == Mode::TP) {
    st.ln_T = std::log(pb.T_K);
  }
  for (int it = 1; it <= kMaxIterations; ++it) {
    out.iterations = it;
    Step s;
    if (!newton_step(data, pb, st, s)) {
      out.flags |= kSingular | kNotConverged;
      return out;
    }
    const double lambda = step_factor(st, s);
    double change = std::max(std::fabs(s.d_ln_T), std::fabs(s.d_ln_n)) * lambda;
    for (int j = 0; j < kSpeciesCount; ++j) {
      st.ln_nj[j] += lambda * s.d_ln_nj[j];
      change = std::max(change, std::fabs(lambda * s.d_ln_nj[j]));
    }
    st.ln_T += lambda * s.d_ln_T;
    st.pi[0] = s.pi[0];
    st.pi[1] = s.pi[1];
    if (change > 1e-2) {
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
    const double T = temperature(pb, st);
    if (!(T > kAbandonLowK)) {
      out.flags |= kBelowRange;
      return out;
    }
    if (!(T < kAbandonHighK)) {
      out.flags |= kAboveRange;
      return out;
    }
    if (!std::isfinite(change)) {
      break;
    }
    // Converged quadratically: after a full step of at most 1e-10 in every
    // logarithm, what is left is of the order of its square, below the
    // rounding of the logarithms.
    if (lambda == 1.0 && change < 1e-10) {
      return out;
    }
  }
  out.flags |= kNotConverged;
  return out;
}

}  // namespace zuna::engine::detail
