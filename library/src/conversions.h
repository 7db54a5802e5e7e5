// The library's structs to the engine's and the rocket library's, and back,
// field by field; the engine's errors as the library's.
#pragma once

#include <charconv>
#include <string>

#include "engine/engine.h"
#include "zuna4/equilibrium.h"

namespace zuna4::detail {

inline std::string number_text(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

inline zuna::engine::Reactants to_engine(const Reactants& r) {
  zuna::engine::Reactants e;
  e.state = r.set == ReactantSet::liquid ? zuna::engine::ReactantState::liquid
            : r.set == ReactantSet::gas  ? zuna::engine::ReactantState::gas
                                         : zuna::engine::ReactantState::custom;
  e.T_gas_K = r.T_K;
  e.h_fuel_J_mol = r.h_fuel_J_mol;
  e.h_oxid_J_mol = r.h_oxid_J_mol;
  return e;
}

inline State from_engine(const zuna::engine::Point& p) {
  State s;
  s.P_bar = p.P_bar;
  s.p_atm = p.p_atm;
  s.T_K = p.T_K;
  s.rho_kg_m3 = p.rho_kg_m3;
  s.H_kJ_kg = p.h_kJ_kg;
  s.U_kJ_kg = p.u_kJ_kg;
  s.G_kJ_kg = p.g_kJ_kg;
  s.S_kJ_kgK = p.s_kJ_kgK;
  s.M = p.M_g_mol;
  s.dlnV_dlnP_T = p.dlnV_dlnP_T;
  s.dlnV_dlnT_P = p.dlnV_dlnT_P;
  s.Cp_kJ_kgK = p.cp_eq_kJ_kgK;
  s.gamma_s = p.gamma_s;
  s.son_vel_m_s = p.sound_speed_m_s;
  s.Cp_fr_kJ_kgK = p.cp_fr_kJ_kgK;
  s.gamma_fr = p.gamma_fr;
  s.son_vel_fr_m_s = p.sound_speed_fr_m_s;
  for (int j = 0; j < kSpeciesCount; ++j) {
    s.x[j] = p.x[j];
    s.y[j] = p.y[j];
    s.n_mol_kg[j] = p.n_mol_kg[j];
  }
  s.n_total_mol_kg = p.n_total_mol_kg;
  s.iterations = p.iterations;
  s.flags = p.flags;
  return s;
}

inline zuna::engine::Point to_engine(const State& s) {
  zuna::engine::Point p;
  p.P_bar = s.P_bar;
  p.p_atm = s.p_atm;
  p.T_K = s.T_K;
  p.rho_kg_m3 = s.rho_kg_m3;
  p.h_kJ_kg = s.H_kJ_kg;
  p.u_kJ_kg = s.U_kJ_kg;
  p.g_kJ_kg = s.G_kJ_kg;
  p.s_kJ_kgK = s.S_kJ_kgK;
  p.M_g_mol = s.M;
  p.dlnV_dlnP_T = s.dlnV_dlnP_T;
  p.dlnV_dlnT_P = s.dlnV_dlnT_P;
  p.cp_eq_kJ_kgK = s.Cp_kJ_kgK;
  p.gamma_s = s.gamma_s;
  p.sound_speed_m_s = s.son_vel_m_s;
  p.cp_fr_kJ_kgK = s.Cp_fr_kJ_kgK;
  p.gamma_fr = s.gamma_fr;
  p.sound_speed_fr_m_s = s.son_vel_fr_m_s;
  for (int j = 0; j < kSpeciesCount; ++j) {
    p.x[j] = s.x[j];
    p.y[j] = s.y[j];
    p.n_mol_kg[j] = s.n_mol_kg[j];
  }
  p.n_total_mol_kg = s.n_total_mol_kg;
  p.iterations = s.iterations;
  p.flags = s.flags;
  return p;
}

// Runs f, turning the engine's InputError into the library's.
template <typename F>
auto translating_errors(F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const zuna::engine::InputError& e) {
    throw InputError(e.what());
  }
}

}  // namespace zuna4::detail
