// The engine::State of a converged solve: the mixture's properties per unit mass,
// the frozen ones and the equilibrium derivatives (RP-1311, the thermodynamic
// derivatives from the matrix solutions).
#pragma once

#include "engine/engine.h"
#include "engine/gibbs.h"

namespace zuna::engine::detail {

// The properties that need no derivative: P, T, rho, h, u, g, s, M, amounts
// and fractions, frozen Cp, gamma and sound speed. `ln_nj` are the amounts'
// logarithms (a species of amount 0 has -inf and contributes nothing);
// `nj` the amounts themselves, exp(ln_nj); `terms` the species functions at
// T_K. P_bar and p_atm are stored as given: a pressure given in atm comes
// with P_bar = p_atm * kAtmBar, so that both read as the caller wrote them;
// ln_p = ln(P/P0) with P0 the data's standard-state pressure.
void fill_state(const ThermoData& data, const SpeciesTerms& terms, double T_K, double P_bar,
                double p_atm, double ln_p, const double (&ln_nj)[kSpeciesCount],
                const double (&nj)[kSpeciesCount], engine::State& point);

// The equilibrium derivatives of a point filled by fill_state, with the same
// terms: (dlnV/dlnT)_P, (dlnV/dlnP)_T, Cp, gamma_s and the sound speed.
// False when singular.
bool fill_equilibrium_derivatives(const ThermoData& data, const SpeciesTerms& terms, engine::State& point);


// The flags of a result at T_K: extrapolated within 100-200 K and
// 6000-6500 K, no solution beyond.
unsigned temperature_flags(double T_K);

// Every value NaN, with kNoSolution and the given flags.
void clear_values(engine::State& point, unsigned flags);

}  // namespace zuna::engine::detail
