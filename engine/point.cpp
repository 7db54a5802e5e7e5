#include "engine/point.h"

#include <cmath>
#include <limits>

namespace zuna::engine::detail {

void fill_state(const ThermoData& data, double T_K, double P_bar,
                const double (&ln_nj)[kSpeciesCount], Point& pt) {
  const double R = data.R_J_molK;
  SpeciesTerms t;
  evaluate_terms(data, T_K, t);
  double n = 0.0, nh = 0.0, ncp = 0.0;
  for (int j = 0; j < kSpeciesCount; ++j) {
    pt.n_mol_kg[j] = std::exp(ln_nj[j]);
    n += pt.n_mol_kg[j];
    nh += pt.n_mol_kg[j] * t.h_RT[j];
    ncp += pt.n_mol_kg[j] * t.cp_R[j];
  }
  const double ln_n = std::log(n);
  const double ln_p = std::log(P_bar / data.p_ref_bar);
  // s/R = sum_j n_j (S_j0/R - ln(n_j/n) - ln(P/P0)); a species of amount 0
  // adds nothing (the limit of n ln n).
  double ns = 0.0;
  for (int j = 0; j < kSpeciesCount; ++j) {
    if (pt.n_mol_kg[j] > 0.0) {
      ns += pt.n_mol_kg[j] * (t.s0_R[j] - (ln_nj[j] - ln_n) - ln_p);
    }
  }
  pt.T_K = T_K;
  pt.P_bar = P_bar;
  pt.p_atm = P_bar / kAtmBar;
  pt.n_total_mol_kg = n;
  pt.M_g_mol = 1000.0 / n;
  pt.rho_kg_m3 = P_bar * 1e5 / (n * R * T_K);
  pt.h_kJ_kg = R * T_K * nh / 1000.0;
  pt.u_kJ_kg = pt.h_kJ_kg - n * R * T_K / 1000.0;
  pt.s_kJ_kgK = R * ns / 1000.0;
  pt.g_kJ_kg = pt.h_kJ_kg - T_K * pt.s_kJ_kgK;
  for (int j = 0; j < kSpeciesCount; ++j) {
    pt.x[j] = pt.n_mol_kg[j] / n;
    pt.y[j] = pt.n_mol_kg[j] * data.species[j].M_g_mol / 1000.0;
  }
  // Frozen: cp = sum_j n_j Cp_j, gamma = cp/(cp - nR), a = sqrt(n R T gamma).
  pt.cp_fr_kJ_kgK = R * ncp / 1000.0;
  pt.gamma_fr = ncp / (ncp - n);
  pt.sound_speed_fr_m_s = std::sqrt(n * R * T_K * pt.gamma_fr);
}

bool fill_equilibrium_derivatives(const ThermoData& data, const State& st, Point& pt) {
  // a_ij: the solver's element rows (species-terms.h), for the same reason.
  double b[kElementCount] = {};
  for (int j = 0; j < kSpeciesCount; ++j) {
    b[0] += kAtoms[0][j] * pt.n_mol_kg[j];
    b[1] += kAtoms[1][j] * pt.n_mol_kg[j];
  }
  const auto& rows = element_rows(b).a;
  const double T = pt.T_K;
  SpeciesTerms t;
  evaluate_terms(data, T, t);
  const double* nj = pt.n_mol_kg;
  // The derivative systems of RP-1311 section 2.5 share one matrix:
  //   rows k: sum_i sum_j a_kj a_ij n_j dpi_i + sum_j a_kj n_j dln n = r_k
  //   row n:  sum_i sum_j a_ij n_j dpi_i = r_n
  // (the coefficient sum_j n_j - n of dln n vanishes at equilibrium).
  // With respect to ln T at fixed P (eqs. 2.56, 2.57):
  //   r_k = -sum_j a_kj n_j H_j/RT,  r_n = -sum_j n_j H_j/RT;
  // with respect to ln P at fixed T (eqs. 2.64, 2.65):
  //   r_k = sum_j a_kj n_j,          r_n = sum_j n_j.
  double M[3][3] = {};
  double rT[3] = {}, rP[3] = {};
  double n = 0.0, nh = 0.0, ncp = 0.0, nhh = 0.0;
  double anh[kElementCount] = {};  // sum_j a_ij n_j H_j/RT
  for (int j = 0; j < kSpeciesCount; ++j) {
    for (int k = 0; k < kElementCount; ++k) {
      const double akn = rows[k][j] * nj[j];
      for (int i = 0; i < kElementCount; ++i) {
        M[k][i] += akn * rows[i][j];
      }
      M[k][2] += akn;
      M[2][k] += akn;
      rT[k] -= akn * t.h_RT[j];
      rP[k] += akn;
      anh[k] += akn * t.h_RT[j];
    }
    n += nj[j];
    nh += nj[j] * t.h_RT[j];
    ncp += nj[j] * t.cp_R[j];
    nhh += nj[j] * t.h_RT[j] * t.h_RT[j];
  }
  rT[2] = -nh;
  rP[2] = n;
  (void)st;
  double A[4][5] = {};
  double xT[3], xP[3];
  for (int pass = 0; pass < 2; ++pass) {
    const double* r = pass == 0 ? rT : rP;
    for (int a = 0; a < 3; ++a) {
      for (int b = 0; b < 3; ++b) {
        A[a][b] = M[a][b];
      }
      A[a][3] = r[a];
    }
    if (!solve_linear(3, A)) {
      return false;
    }
    double* x = pass == 0 ? xT : xP;
    for (int a = 0; a < 3; ++a) {
      x[a] = A[a][3];
    }
  }
  const double R = data.R_J_molK;
  pt.dlnV_dlnT_P = 1.0 + xT[2];   // (2.50)
  pt.dlnV_dlnP_T = -1.0 + xP[2];  // (2.51)
  // (2.59): Cp/R = sum_i (sum_j a_ij n_j H_j/RT) dpi_i/dlnT + (sum_j n_j H_j/RT)
  //   dln n/dlnT + sum_j n_j Cp_j/R + sum_j n_j (H_j/RT)^2
  const double cp_R = anh[0] * xT[0] + anh[1] * xT[1] + nh * xT[2] + ncp + nhh;
  // (2.70): Cv = Cp + n R (dlnV/dlnT)^2 / (dlnV/dlnP); (2.71)-(2.73):
  // gamma_s = -(Cp/Cv) / (dlnV/dlnP); (2.74): a^2 = n R T gamma_s.
  const double cv_R = cp_R + n * pt.dlnV_dlnT_P * pt.dlnV_dlnT_P / pt.dlnV_dlnP_T;
  pt.cp_eq_kJ_kgK = R * cp_R / 1000.0;
  pt.gamma_s = -(cp_R / cv_R) / pt.dlnV_dlnP_T;
  pt.sound_speed_m_s = std::sqrt(n * R * T * pt.gamma_s);
  return true;
}

void fill_frozen_derivatives(Point& pt) {
  pt.dlnV_dlnT_P = 1.0;
  pt.dlnV_dlnP_T = -1.0;
  pt.cp_eq_kJ_kgK = pt.cp_fr_kJ_kgK;
  pt.gamma_s = pt.gamma_fr;
  pt.sound_speed_m_s = pt.sound_speed_fr_m_s;
}

void clear_values(Point& pt, unsigned flags) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const int iterations = pt.iterations;
  pt = Point{};
  for (double* v : {&pt.P_bar, &pt.p_atm, &pt.T_K, &pt.rho_kg_m3, &pt.h_kJ_kg, &pt.u_kJ_kg,
                    &pt.g_kJ_kg, &pt.s_kJ_kgK, &pt.M_g_mol, &pt.dlnV_dlnP_T, &pt.dlnV_dlnT_P,
                    &pt.cp_eq_kJ_kgK, &pt.gamma_s, &pt.sound_speed_m_s, &pt.cp_fr_kJ_kgK,
                    &pt.gamma_fr, &pt.sound_speed_fr_m_s, &pt.n_total_mol_kg}) {
    *v = nan;
  }
  for (int j = 0; j < kSpeciesCount; ++j) {
    pt.n_mol_kg[j] = pt.x[j] = pt.y[j] = nan;
  }
  pt.iterations = iterations;
  pt.flags = flags | kNoSolution;
}

}  // namespace zuna::engine::detail
