// The state of a fixed composition at T and P.
#include "waves/frozen-gas.h"

#include <cmath>
#include <limits>

namespace zuna::waves::detail {

SpeciesTerms species_terms(const engine::SpeciesRecord& record, double T) {
  const engine::PolyRange* r = &record.ranges.back();
  for (const engine::PolyRange& p : record.ranges) {
    if (T < p.T_high_K) {
      r = &p;
      break;
    }
  }
  const double* a = r->a;
  const double inv = 1.0 / T, inv2 = inv * inv, ln = std::log(T), t2 = T * T, t3 = t2 * T,
               t4 = t3 * T;
  SpeciesTerms s;
  s.cp_R = a[0] * inv2 + a[1] * inv + a[2] + a[3] * T + a[4] * t2 + a[5] * t3 + a[6] * t4;
  s.h_RT = -a[0] * inv2 + a[1] * ln * inv + a[2] + a[3] * T / 2.0 + a[4] * t2 / 3.0 +
           a[5] * t3 / 4.0 + a[6] * t4 / 5.0 + r->b1 * inv;
  s.s0_R = -a[0] * inv2 / 2.0 - a[1] * inv + a[2] * ln + a[3] * T + a[4] * t2 / 2.0 +
           a[5] * t3 / 3.0 + a[6] * t4 / 4.0 + r->b2;
  return s;
}

void frozen_state(const engine::ProductSet& set, std::span<const double> n_mol_kg, double T,
                  double P_bar, engine::SetPoint& out) {
  const double R = set.database->R_J_molK;
  const double ln_p = std::log(P_bar / set.database->p_ref_bar);
  double n = 0.0;
  for (int j = 0; j < set.gas_count; ++j) n += n_mol_kg[j];
  const double ln_n = std::log(n);
  double nh = 0.0, ns = 0.0, ncp = 0.0;
  unsigned flags = 0;
  for (int j = 0; j < set.size(); ++j) {
    const double nj = n_mol_kg[j];
    out.n_mol_kg[j] = nj;
    if (!(nj > 0.0)) continue;
    const engine::SpeciesRecord& record = *set.species[j];
    const SpeciesTerms t = species_terms(record, T);
    nh += nj * t.h_RT;
    ncp += nj * t.cp_R;
    // S_j/R = S_j0/R - ln(n_j/n) - ln(P/P0) (RP-1311 2.17).
    ns += nj * (t.s0_R - (std::log(nj) - ln_n) - ln_p);
    if (T < record.T_low_K()) flags |= engine::kExtrapolatedLow;
    if (T > record.T_high_K()) flags |= engine::kExtrapolatedHigh;
  }
  out.T_K = T;
  out.P_bar = P_bar;
  out.n_gas_mol_kg = n;
  out.M_g_mol = 1000.0 / n;
  out.rho_kg_m3 = P_bar * 1e5 / (n * R * T);
  out.h_kJ_kg = R * T * nh / 1000.0;
  out.u_kJ_kg = out.h_kJ_kg - n * R * T / 1000.0;
  out.s_kJ_kgK = R * ns / 1000.0;
  out.g_kJ_kg = out.h_kJ_kg - T * out.s_kJ_kgK;
  for (int j = 0; j < set.size(); ++j) {
    out.x[j] = out.n_mol_kg[j] / n;
    out.y[j] = out.n_mol_kg[j] * set.species[j]->M_g_mol / 1000.0;
  }
  out.cp_fr_kJ_kgK = R * ncp / 1000.0;
  out.gamma_fr = ncp / (ncp - n);
  out.sound_speed_fr_m_s = std::sqrt(n * R * T * out.gamma_fr);
  out.dlnV_dlnP_T = -1.0;
  out.dlnV_dlnT_P = 1.0;
  out.cp_eq_kJ_kgK = out.cp_fr_kJ_kgK;
  out.gamma_s = out.gamma_fr;
  out.sound_speed_m_s = out.sound_speed_fr_m_s;
  out.iterations = 0;
  out.flags = flags;
}

void clear_point(engine::SetPoint& p, unsigned flags) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double* v : {&p.P_bar, &p.T_K, &p.rho_kg_m3, &p.h_kJ_kg, &p.u_kJ_kg, &p.g_kJ_kg,
                    &p.s_kJ_kgK, &p.M_g_mol, &p.n_gas_mol_kg, &p.dlnV_dlnP_T, &p.dlnV_dlnT_P,
                    &p.cp_eq_kJ_kgK, &p.gamma_s, &p.sound_speed_m_s, &p.cp_fr_kJ_kgK,
                    &p.gamma_fr, &p.sound_speed_fr_m_s})
    *v = nan;
  for (auto* a : {&p.n_mol_kg, &p.x, &p.y})
    for (double& v : *a) v = nan;
  p.iterations = 0;
  p.flags = flags | engine::kNoSolution;
}

}  // namespace zuna::waves::detail
