// The finite-area combustor (NASA RP-1311, part I, ch. 6): the gas enters
// at the injector at rest, in HP equilibrium at the injector's pressure
// Pinj, and is burnt along a duct of constant area Ac to the combustor's
// end, in equilibrium all the way. Mass, momentum and energy between the
// two ends, with the mass flux G = mdot/Ac:
//   rho u = G,   Pinj = P + rho u^2 = P + G^2 / rho,   h_inj = h + u^2 / 2,
// so that u = (Pinj - P) / G and the end's pressure is the root of
//   phi(P) = Pinj - P - G^2 / rho_eq(h_inj - u^2/2, P)
// on the subsonic branch, the one next to Pinj. The entropy rises along the
// duct; from the end the flow expands isentropically with the stagnation
// enthalpy h_inj and the end's entropy.
#pragma once

#include "rocket/expansion.h"

namespace zuna::rocket {

struct CombustorEnd {
  Flow flow;            // rho_u is G; u from the momentum balance
  bool found = false;   // the subsonic root, to kCombustorTolerance
  bool choked = false;  // no subsonic root: G is above what the duct can pass
  int evaluations = 0;
};

// Relative tolerance of the end's pressure.
inline constexpr double kCombustorTolerance = 1e-12;

// The combustor's end for the injector's gas `injector` (at rest, at
// pinj_atm) and the mass flux G [kg/(s m2)]; `guess`, a nearby end state
// (its pressure the first trial), may be null.
CombustorEnd combustor_end(const engine::ThermoData& data, const engine::State& injector,
                           double pinj_atm, double mass_flux, const engine::State* guess);

}  // namespace zuna::rocket
