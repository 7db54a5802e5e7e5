// The isentropic expansion from the chamber: the gas at a pressure on the
// chamber's entropy, shifting (SP equilibrium) or frozen (fixed
// composition), and the two pressure searches of the nozzle, the sonic
// throat and the supersonic exit of a given area ratio.
//
// Both searches work on x = ln(Pc/P), which grows along the nozzle, with a
// bracket [lo, hi] of x: lo where the residual is negative, hi where it is
// positive or where the gas has no valid state. A step is Newton's (or the
// secant's) when it lands inside the bracket, else the bracket is halved; a
// search ends when its step is below its tolerance in x, which is the
// relative tolerance in pressure.
#pragma once

#include "engine/engine.h"

namespace zuna::rocket {

// What the expansion holds fixed.
struct Expansion {
  const engine::ThermoData* data = nullptr;
  double pc_atm = 0.0;
  double h_chamber_kJ_kg = 0.0;  // stagnation enthalpy
  double s_kJ_kgK = 0.0;         // entropy of the chamber, kept along the nozzle
  engine::Feed feed;             // elements of the gas (shifting)
  bool frozen = false;
  engine::Composition composition;  // the fixed amounts (frozen)
};

// The gas at one pressure of the expansion and its flow.
struct Flow {
  engine::State state;
  double u_m_s = 0.0;  // sqrt(2 (h_c - h)), h in J/kg
  double a_m_s = 0.0;  // sound speed: the equilibrium one when shifting, else frozen
  double gamma = 0.0;  // the matching isentropic exponent (dln p / dln rho)_s
  double rho_u = 0.0;  // mass flux per area [kg/(m2 s)]
  bool ok = false;     // the state is valid and every value finite
};

// The expansion's gas at p_atm; `guess` (a nearby state, may be null) starts
// the solve.
Flow expand_to(const Expansion& expansion, double p_atm, const engine::State* guess);

// Result of a search: the flow at the pressure found, or at the last
// pressure tried when `found` is false.
struct SearchResult {
  Flow flow;
  bool found = false;
  int evaluations = 0;
};

// The sonic throat: u = a, to kThroatTolerance in ln P (1e-10 relative in
// pressure, Mach 1 to about 1e-10). `x_guess` is a
// first ln(Pc/Pt) (0: the ideal-gas value from the chamber's gamma).
inline constexpr double kThroatTolerance = 1e-10;
SearchResult find_throat(const Expansion& expansion, const Flow& chamber, double x_guess,
                         const engine::State* guess);

// The supersonic pressure with (rho u)_throat / (rho u) = area_ratio, to
// kExitTolerance in ln P (the area ratio to better than 1e-9 relative: its
// slope in ln P is below 1). `x_guess` as above (0: ideal-gas estimate).
inline constexpr double kExitTolerance = 1e-9;
SearchResult find_area_ratio_exit(const Expansion& expansion, const Flow& throat, double area_ratio,
                                  double x_guess, const engine::State* guess);

// The subsonic pressure with (rho u)_throat / (rho u) = area_ratio (> 1),
// between the expansion's start and the throat, to kExitTolerance in ln P.
SearchResult find_subsonic_exit(const Expansion& expansion, const Flow& throat, double area_ratio,
                                double x_guess, const engine::State* guess);

// Ideal-gas first guesses of ln(Pc/P) for a constant gamma: the throat,
// ln(((gamma+1)/2)^(gamma/(gamma-1))), and the supersonic exit of an area
// ratio from the area-Mach relation.
double ideal_throat_x(double gamma);
double ideal_exit_x(double gamma, double area_ratio);

}  // namespace zuna::rocket
