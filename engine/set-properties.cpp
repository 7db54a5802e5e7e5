// The point of a converged state (RP-1311 Part I, section 2.5 and the
// thermodynamic derivatives from the matrix solutions, 2.50-2.75), with
// condensed species as the report counts them: n the moles of gas, the
// volume that of the gas, the condensed species in h, s, Cp and the
// derivatives.
#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/point.h"
#include "engine/set-work.h"

namespace zuna::engine::detail {
namespace {

// The derivative systems with respect to ln T at fixed P (2.56-2.58) and
// to ln P at fixed T (2.64-2.66); unknowns the derivatives of pi_i, n_c
// (condensed, one phase of a pair) and ln n:
//   sum_k sum_j a_kj a_ij n_j pi'_k + sum_c a_ic n'_c + sum_j a_ij n_j ln n' = r_i
//   sum_i a_ic pi'_i = r_c
//   sum_i sum_j a_ij n_j pi'_i = r_n
// by T: r_i = -sum_j a_ij n_j H_j/RT, r_c = -H_c/RT, r_n = -sum_j n_j H_j/RT;
// by P: r_i = sum_j a_ij n_j, r_c = 0, r_n = sum_j n_j.
// Both at once (one matrix, two right-hand sides: by T in column size,
// by P in size + 1); false when singular.
bool derivatives(Work& w) {
  int k = 0;
  for (int c = w.ng; c < w.ns; ++c) {
    const int below = w.set->partner_below[c];
    if (w.active[c] && !(below >= 0 && w.active[below])) w.cols[k++] = c;
  }
  const int col_n = w.m + k, T = col_n + 1, P = col_n + 2;
  w.size = col_n + 1;
  w.stride = w.size + 2;
  std::fill(w.A.begin(), w.A.begin() + w.size * w.stride, 0.0);
  for (int j = 0; j < w.ng; ++j) {
    const double H = w.h[j], nj = w.nj[j];
    for (int i = 0; i < w.m; ++i) {
      const double ain = w.a(i, j) * nj;
      if (ain == 0.0) continue;
      for (int l = 0; l < w.m; ++l) w.at(i, l) += ain * w.a(l, j);
      w.at(i, col_n) += ain;
      w.at(col_n, i) += ain;
      w.at(i, T) -= ain * H;
      w.at(i, P) += ain;
    }
    w.at(col_n, T) -= nj * H;
    w.at(col_n, P) += nj;
  }
  for (int r = w.m; r < col_n; ++r) {
    const int c = w.cols[r - w.m];
    for (int i = 0; i < w.m; ++i) {
      w.at(i, r) = w.a(i, c);
      w.at(r, i) = w.a(i, c);
    }
    w.at(r, T) = -w.h[c];
  }
  return solve_system(w, 2);
}

}  // namespace

namespace {

// Cp/R of the equilibrium (2.59): sum_i sum_j a_ij n_j H_j/RT pi'_i +
// sum_c H_c/RT n'_c + sum_j n_j H_j/RT ln n' + sum_j n_j Cp_j/R (all phases)
// + sum_j n_j (H_j/RT)^2 (gases), the primes by ln T, from `derivatives`.
double cp_equilibrium(Work& w, double dln_n, double frozen_R) {
  double cp = frozen_R;
  for (int j = 0; j < w.ng; ++j) {
    double api = 0.0;
    for (int i = 0; i < w.m; ++i) api += w.a(i, j) * w.at(i, w.size);
    cp += w.nj[j] * w.h[j] * (api + dln_n + w.h[j]);
  }
  for (int r = w.m; r < w.size - 1; ++r) cp += w.h[w.cols[r - w.m]] * w.at(r, w.size);
  return cp;
}

}  // namespace

void fill_point(Work& w, SetPoint& pt) {
  const double T = w.T(), R = w.R;
  set_terms(w, T);
  set_potentials(w);
  double n = 0.0, all = 0.0, nh = 0.0, ns = 0.0, ncp = 0.0;
  for (int j = 0; j < w.ng; ++j) n += w.nj[j];
  const double ln_n = std::log(n);
  const double ln_p = w.fixed_P ? w.ln_p : std::log(n * R * T / w.v) - w.ln_P0_Pa;
  pt.flags &= ~(kCondensedPhase | kPhasePair);
  for (int j = 0; j < w.ns; ++j) {
    const bool gas = j < w.ng;
    const double nj = gas || w.active[j] ? w.nj[j] : 0.0;
    pt.n_mol_kg[j] = nj;
    all += nj;
    nh += nj * w.h[j];
    ncp += nj * w.cp[j];
    // S_j/R = S_j0/R - ln(n_j/n) - ln(P/P0) for a gas (2.17), S_j0/R condensed.
    if (nj > 0.0) ns += nj * (gas ? w.s0[j] - (w.ln_nj[j] - ln_n) - ln_p : w.s0[j]);
    if (!gas && nj > 0.0) pt.flags |= kCondensedPhase;
    if (!gas && w.active[j] && w.set->partner_below[j] >= 0 && w.active[w.set->partner_below[j]])
      pt.flags |= kPhasePair;
  }
  pt.T_K = T;
  pt.P_bar = w.fixed_P ? w.P_bar : n * R * T / w.v / 1e5;
  pt.n_gas_mol_kg = n;
  pt.M_g_mol = 1000.0 / n;
  pt.rho_kg_m3 = pt.P_bar * 1e5 / (n * R * T);
  pt.h_kJ_kg = R * T * nh / 1000.0;
  pt.u_kJ_kg = pt.h_kJ_kg - n * R * T / 1000.0;
  pt.s_kJ_kgK = R * ns / 1000.0;
  pt.g_kJ_kg = pt.h_kJ_kg - T * pt.s_kJ_kgK;
  for (int j = 0; j < w.ns; ++j) {
    pt.x[j] = pt.n_mol_kg[j] / all;
    pt.y[j] = pt.n_mol_kg[j] * w.set->species[j]->M_g_mol / 1000.0;
  }
  // Frozen: cp = sum_j n_j Cp_j, gamma = cp/(cp - nR), a^2 = n R T gamma.
  pt.cp_fr_kJ_kgK = R * ncp / 1000.0;
  pt.gamma_fr = ncp / (ncp - n);
  pt.sound_speed_fr_m_s = std::sqrt(n * R * T * pt.gamma_fr);
  const bool ok = derivatives(w);
  const double dln_n_T = w.at(w.size - 1, w.size);
  pt.dlnV_dlnP_T = -1.0 + w.at(w.size - 1, w.size + 1);  // (2.69)
  pt.dlnV_dlnT_P = 1.0 + dln_n_T;                         // (2.70)
  const double cp_R = cp_equilibrium(w, dln_n_T, ncp);
  // Cv = Cp + n R (dlnV/dlnT)^2 / (dlnV/dlnP) (2.70), gamma_s = -(Cp/Cv) /
  // (dlnV/dlnP) (2.73), a^2 = n R T gamma_s (2.74).
  const double cv_R = cp_R + n * pt.dlnV_dlnT_P * pt.dlnV_dlnT_P / pt.dlnV_dlnP_T;
  pt.cp_eq_kJ_kgK = R * cp_R / 1000.0;
  pt.gamma_s = -(cp_R / cv_R) / pt.dlnV_dlnP_T;
  pt.sound_speed_m_s = std::sqrt(n * R * T * pt.gamma_s);
  pt.flags |= temperature_flags(T);
  if (!ok) pt.flags |= kSingular;
}

}  // namespace zuna::engine::detail
