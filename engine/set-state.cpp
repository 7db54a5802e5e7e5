// The general solver's points as the one state type of the engine and the
// library (zuna4::State).
#include "engine/set-solver.h"

namespace zuna::engine {

std::vector<SpeciesInfo> species_info(const ProductSet& set) {
  std::vector<SpeciesInfo> list;
  list.reserve(set.species.size());
  for (const SpeciesRecord* r : set.species) {
    list.push_back({r->name.c_str(), r->M_g_mol, r->condensed ? zuna4::Phase::condensed
                                                              : zuna4::Phase::gas});
  }
  return list;
}

void to_state(const SetPoint& p, const ProductSet& set, std::span<const SpeciesInfo> list,
              std::span<double> amounts, State& out) {
  if (list.size() != set.species.size() || amounts.size() < set.species.size()) {
    throw InputError("to_state: the list and the storage must hold the set's species");
  }
  out = State{};
  out.P_bar = p.P_bar;
  out.p_atm = p.P_bar / kAtmBar;
  out.T_K = p.T_K;
  out.rho_kg_m3 = p.rho_kg_m3;
  out.H_kJ_kg = p.h_kJ_kg;
  out.U_kJ_kg = p.u_kJ_kg;
  out.G_kJ_kg = p.g_kJ_kg;
  out.S_kJ_kgK = p.s_kJ_kgK;
  out.M = p.M_g_mol;
  out.dlnV_dlnP_T = p.dlnV_dlnP_T;
  out.dlnV_dlnT_P = p.dlnV_dlnT_P;
  out.Cp_kJ_kgK = p.cp_eq_kJ_kgK;
  out.gamma_s = p.gamma_s;
  out.son_vel_m_s = p.sound_speed_m_s;
  out.Cp_fr_kJ_kgK = p.cp_fr_kJ_kgK;
  out.gamma_fr = p.gamma_fr;
  out.son_vel_fr_m_s = p.sound_speed_fr_m_s;
  out.n_total_mol_kg = p.n_gas_mol_kg;
  for (int k = 0; k < kSpeciesCount; ++k) {
    const int j = set.index_of(species_name(k));
    const double n = j >= 0 ? p.n_mol_kg[j] : 0.0;
    out.n_mol_kg[k] = n;
    out.x[k] = n / p.n_gas_mol_kg;
    out.y[k] = j >= 0 ? p.y[j] : 0.0;
  }
  for (std::size_t j = 0; j < set.species.size(); ++j) amounts[j] = p.n_mol_kg[j];
  out.species = list;
  out.amounts_mol_kg = amounts.first(set.species.size());
  out.iterations = p.iterations;
  out.flags = p.flags;
}

}  // namespace zuna::engine
