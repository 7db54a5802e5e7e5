// The state of a gas of fixed composition: the unburned gas, and the gas
// behind a frozen shock. The same numbers as the equilibrium point of
// engine::SetPoint (RP-1311 Part I, section 2.5), with the derivatives of a
// fixed composition: (dlnV/dlnP)_T = -1, (dlnV/dlnT)_P = 1, cp_eq = cp_fr
// and gamma_s = gamma_fr = cp/(cp - nR), a^2 = n R T gamma_s.
#pragma once

#include <span>

#include "engine/set-solver.h"
#include "engine/product-set.h"

namespace zuna::waves::detail {

// Cp/R, H/RT and S0/R of one species at T_K, from the range that holds T
// (the nearest outside the data), in the 9-coefficient form of engine.h.
struct SpeciesTerms {
  double cp_R = 0.0, h_RT = 0.0, s0_R = 0.0;
};
SpeciesTerms species_terms(const engine::SpeciesRecord& record, double T_K);

// The state of the amounts n_mol_kg (gases of `set`; condensed amounts must
// be 0) at T_K and P_bar, into `out` (sized for the set).
void frozen_state(const engine::ProductSet& set, std::span<const double> n_mol_kg, double T_K,
                  double P_bar, engine::SetPoint& out);

// Every value of `p` NaN, with kNoSolution and `flags`.
void clear_point(engine::SetPoint& p, unsigned flags);

}  // namespace zuna::waves::detail
