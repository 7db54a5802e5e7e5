#include "engine/point.h"

#include <cmath>
#include <limits>

namespace zuna::engine::detail {

void fill_state(const ThermoData& data, const SpeciesTerms& t, double T_K, double P_bar,
                double p_atm, double ln_p, const double (&ln_nj)[kSpeciesCount],
                const double (&nj)[kSpeciesCount], engine::State& pt) {
  const double R = data.R_J_molK;
  double n = 0.0, nh = 0.0, ncp = 0.0;
  for (int j = 0; j < kSpeciesCount; ++j) {
    pt.n_mol_kg[j] = nj[j];
    n += pt.n_mol_kg[j];
    nh += pt.n_mol_kg[j] * t.h_RT[j];
    ncp += pt.n_mol_kg[j] * t.cp_R[j];
  }
  const double ln_n = std::log(n);
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
  pt.p_atm = p_atm;
  pt.n_total_mol_kg = n;
  pt.M = 1000.0 / n;
  pt.rho_kg_m3 = P_bar * 1e5 / (n * R * T_K);
  pt.H_kJ_kg = R * T_K * nh / 1000.0;
  pt.U_kJ_kg = pt.H_kJ_kg - n * R * T_K / 1000.0;
  pt.S_kJ_kgK = R * ns / 1000.0;
  pt.G_kJ_kg = pt.H_kJ_kg - T_K * pt.S_kJ_kgK;
  for (int j = 0; j < kSpeciesCount; ++j) {
    pt.x[j] = pt.n_mol_kg[j] / n;
    pt.y[j] = pt.n_mol_kg[j] * data.species[j].M_g_mol / 1000.0;
  }
  // Frozen: cp = sum_j n_j Cp_j, gamma = cp/(cp - nR), a = sqrt(n R T gamma).
  pt.Cp_fr_kJ_kgK = R * ncp / 1000.0;
  pt.gamma_fr = ncp / (ncp - n);
  pt.son_vel_fr_m_s = std::sqrt(n * R * T_K * pt.gamma_fr);
}

namespace {

// The sums of the derivative systems of RP-1311 (the thermodynamic
// derivatives from the matrix solutions), which share one matrix:
//   rows k: sum_i sum_j a_kj a_ij n_j dpi_i + sum_j a_kj n_j dln n = r_k
//   row n:  sum_i sum_j a_ij n_j dpi_i = r_n
// (the coefficient sum_j n_j - n of dln n vanishes at equilibrium).
// With respect to ln T at fixed P (the derivatives with respect to
// temperature):
//   r_k = -sum_j a_kj n_j H_j/RT,  r_n = -sum_j n_j H_j/RT;
// with respect to ln P at fixed T (the derivatives with respect to
// pressure):
//   r_k = sum_j a_kj n_j,          r_n = sum_j n_j.
struct DerivativeSums {
  double M[3][3] = {};
  double rT[3] = {}, rP[3] = {};
  double anh[kElementCount] = {};  // sum_j a_ij n_j H_j/RT
  double n = 0.0, nh = 0.0, ncp = 0.0, nhh = 0.0;
};

DerivativeSums derivative_sums(const SpeciesTerms& t, const double* nj) {
  // a_ij: the solver's element rows (poly-terms.h), for the same reason.
  double b[kElementCount] = {};
  for (int j = 0; j < kSpeciesCount; ++j) {
    b[0] += kAtoms[0][j] * nj[j];
    b[1] += kAtoms[1][j] * nj[j];
  }
  const auto& rows = element_rows(b).a;
  DerivativeSums d;
  for (int j = 0; j < kSpeciesCount; ++j) {
    for (int k = 0; k < kElementCount; ++k) {
      const double akn = rows[k][j] * nj[j];
      for (int i = 0; i < kElementCount; ++i) {
        d.M[k][i] += akn * rows[i][j];
      }
      d.M[k][2] += akn;
      d.M[2][k] += akn;
      d.rT[k] -= akn * t.h_RT[j];
      d.rP[k] += akn;
      d.anh[k] += akn * t.h_RT[j];
    }
    d.n += nj[j];
    d.nh += nj[j] * t.h_RT[j];
    d.ncp += nj[j] * t.cp_R[j];
    d.nhh += nj[j] * t.h_RT[j] * t.h_RT[j];
  }
  d.rT[2] = -d.nh;
  d.rP[2] = d.n;
  return d;
}

// The solutions (dpi_1, dpi_2, dln n) for the right-hand sides of T and P.
// The matrix is [E c; c' 0] with E the element rows' Gram matrix and c =
// sum_j a_ij n_j: dln n = (r_n - c' E^-1 r_e) / (-c' E^-1 c), then
// dpi = E^-1 (r_e - c dln n). The pivoting elimination where E has no
// inverse.
bool solve_derivatives(const DerivativeSums& d, double (&xT)[3], double (&xP)[3]) {
  const double det = d.M[0][0] * d.M[1][1] - d.M[0][1] * d.M[1][0];
  if (!(std::fabs(det) > 0.0) || !std::isfinite(det)) {
    double A[4][5] = {};
    for (int pass = 0; pass < 2; ++pass) {
      const double(&r)[3] = pass == 0 ? d.rT : d.rP;
      double(&x)[3] = pass == 0 ? xT : xP;
      for (int a = 0; a < 3; ++a) {
        for (int b = 0; b < 3; ++b) {
          A[a][b] = d.M[a][b];
        }
        A[a][3] = r[a];
      }
      if (!solve_linear(3, A)) {
        return false;
      }
      for (int a = 0; a < 3; ++a) {
        x[a] = A[a][3];
      }
    }
    return true;
  }
  const double inv = 1.0 / det;
  auto e_inv = [&](double v0, double v1, double(&out)[2]) {
    out[0] = (d.M[1][1] * v0 - d.M[0][1] * v1) * inv;
    out[1] = (d.M[0][0] * v1 - d.M[1][0] * v0) * inv;
  };
  double ec[2];
  e_inv(d.M[0][2], d.M[1][2], ec);
  const double cec = d.M[2][0] * ec[0] + d.M[2][1] * ec[1];
  for (int pass = 0; pass < 2; ++pass) {
    const double(&r)[3] = pass == 0 ? d.rT : d.rP;
    double(&x)[3] = pass == 0 ? xT : xP;
    double er[2];
    e_inv(r[0], r[1], er);
    x[2] = (r[2] - d.M[2][0] * er[0] - d.M[2][1] * er[1]) / -cec;
    x[0] = er[0] - ec[0] * x[2];
    x[1] = er[1] - ec[1] * x[2];
  }
  return std::isfinite(xT[2]) && std::isfinite(xP[2]);
}

}  // namespace

bool fill_equilibrium_derivatives(const ThermoData& data, const SpeciesTerms& t,
                                  engine::State& pt) {
  const DerivativeSums d = derivative_sums(t, pt.n_mol_kg);
  double xT[3], xP[3];
  if (!solve_derivatives(d, xT, xP)) {
    return false;
  }
  const double R = data.R_J_molK;
  // (dlnV/dlnT)_P = 1 + (dln n/dlnT)_P, (dlnV/dlnP)_T = -1 + (dln n/dlnP)_T.
  pt.dlnV_dlnT_P = 1.0 + xT[2];
  pt.dlnV_dlnP_T = -1.0 + xP[2];
  // The equilibrium heat capacity at fixed P:
  // Cp/R = sum_i (sum_j a_ij n_j H_j/RT) dpi_i/dlnT + (sum_j n_j H_j/RT)
  //   dln n/dlnT + sum_j n_j Cp_j/R + sum_j n_j (H_j/RT)^2
  const double cp_R = d.anh[0] * xT[0] + d.anh[1] * xT[1] + d.nh * xT[2] + d.ncp + d.nhh;
  // Cv = Cp + n R (dlnV/dlnT)^2 / (dlnV/dlnP), the isentropic exponent
  // gamma_s = -(Cp/Cv) / (dlnV/dlnP) and the speed of sound a^2 = n R T gamma_s.
  const double cv_R = cp_R + d.n * pt.dlnV_dlnT_P * pt.dlnV_dlnT_P / pt.dlnV_dlnP_T;
  pt.Cp_kJ_kgK = R * cp_R / 1000.0;
  pt.gamma_s = -(cp_R / cv_R) / pt.dlnV_dlnP_T;
  pt.son_vel_m_s = std::sqrt(d.n * R * pt.T_K * pt.gamma_s);
  return true;
}

unsigned temperature_flags(double T_K) {
  if (T_K < kTExtrapolatedMinK) {
    return kBelowRange | kNoSolution;
  }
  if (T_K > kTExtrapolatedMaxK) {
    return kAboveRange | kNoSolution;
  }
  if (T_K < kTMinK) {
    return kExtrapolatedLow;
  }
  if (T_K > kTMaxK) {
    return kExtrapolatedHigh;
  }
  return 0;
}

void clear_values(engine::State& pt, unsigned flags) {
  pt.clear_values();
  pt.flags = flags | kNoSolution;
}

}  // namespace zuna::engine::detail
