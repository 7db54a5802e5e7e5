// Detonation and shock waves in a gas mixture, on the general equilibrium
// solver, by the method of S. Gordon and B. J. McBride (NASA RP-1311 Part
// I, 1994): the Chapman-Jouguet detonation and the incident and reflected
// shocks, each an iteration on the Hugoniot (the conservation of mass,
// momentum and energy across the front) in the logarithms of the pressure
// and temperature behind it, with the gas behind in chemical equilibrium or
// of the composition it came in with (frozen).
//
// The fronts, in the front's own frame, gas entering at speed w_a and
// leaving at w_b, states a and b:
//   mass      rho_a w_a = rho_b w_b
//   momentum  P_a + rho_a w_a^2 = P_b + rho_b w_b^2
//   energy    h_a + w_a^2/2 = h_b + w_b^2/2
// Detonation: gas 1 at rest enters at D, the burned gas leaves at u2 equal
// to its equilibrium sound speed (the Chapman-Jouguet condition); the
// unburned gas's gamma1 and a1 are frozen; det_mach = D/a1, rho/rho1 =
// D/u2. Incident shock: gas 1 enters at u1 and leaves at u2; v2 = u1 - u2
// is the speed of gas 2 in the laboratory. Reflected shock: gas 5 at rest,
// the shock moving at u5 = rho2 v2/(rho5 - rho2) into gas 2, which enters
// it at u5 + v2, rho2 (u5 + v2) = rho5 u5. A reflected shock follows the
// incident shock of the same model.
//
// Units in the names: P in bar, T in K, h in kJ/kg, speeds in m/s, M in
// g/mol; the states are engine::SetPoint (per unit mass, with the set's
// species).
//
// Errors and flags. An input the solver refuses (a reactant that is no gas
// of the set, a mixture of another set, T1 or P1 out of range, a speed
// that is no positive number) throws
// engine::InputError. A point without a solution is no exception: its
// flags say why (kNoSolution with kNoChapmanJouguet, kShockTooSlow or the
// engine's bits) and its values are NaN; a refused shock gives the slowest
// speed with a solution.
//
// A WaveSolver is made once per product set and holds every array: a point
// allocates nothing. It starts each detonation from the previous point's
// Chapman-Jouguet state (P/P1 and T), each shock from the ideal gas of
// gamma1 or, for a gas that detonates, from above its Chapman-Jouguet state
// (kept for the next shock of the same gas, T1 and P1), each equilibrium
// from the previous composition of its front; one solver serves one thread
// at a time.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/set-solver.h"
#include "engine/product-set.h"

namespace zuna::waves {

// Why a wave has no solution: bits of zuna4::StateFlag (engine.h), each
// with kNoSolution.
using zuna4::kNoChapmanJouguet;  // the mixture releases no heat: it cannot detonate
using zuna4::kShockTooSlow;      // slower than the slowest shock with a solution

// One reactant of the unburned gas: a gas of the product set and its share
// by moles (relative: the shares are normalised).
struct ReactantMoles {
  std::string species;
  double moles = 0.0;
};

// The unburned gas of a set: its composition per kilogram and its
// elements, the same for every T1 and P1.
struct Mixture {
  std::vector<double> n_mol_kg;  // each species of the set [mol/kg]; 0 for the products only
  std::vector<double> b_mol_kg;  // the elements, in the set's order (engine::feed_of)
};
// Throws engine::InputError for a reactant that is no gas of the set, a
// share that is negative or no number, or no reactant at all.
Mixture mixture_of(const engine::ProductSet& set, std::span<const ReactantMoles> reactants);

// The initial state. Accepted: T1 200 to 6000 K, P1 1e-6 to 1e5 atm (in bar).
struct Initial {
  double T1_K = 298.15;
  double P1_bar = 1.0;
};

struct Detonation {
  engine::SetPoint unburned;  // gas 1, frozen: gamma_s = gamma_fr, sound speed a1
  engine::SetPoint burned;    // the Chapman-Jouguet state, in equilibrium
  double p_ratio = 0.0;       // P/P1
  double t_ratio = 0.0;       // T/T1
  double m_ratio = 0.0;       // M/M1
  double rho_ratio = 0.0;     // rho/rho1 = D/u2
  double det_mach = 0.0;      // D/a1
  double det_vel_m_s = 0.0;   // D
  double u2_m_s = 0.0;        // burned gas behind the front, in its frame: a2
  int iterations = 0;         // Hugoniot steps
  unsigned flags = 0;

  bool has_values() const { return (flags & engine::kNoSolution) == 0; }
};

enum class ShockModel { equilibrium, frozen };

// The incident shock's speed: u1_m_s, or (when u1_m_s is 0) mach1 times
// the unburned gas's frozen sound speed.
struct ShockInput {
  Initial initial;
  double u1_m_s = 0.0;
  double mach1 = 0.0;
  ShockModel model = ShockModel::equilibrium;
  bool reflected = false;
};

struct Shock {
  ShockModel model = ShockModel::equilibrium;
  engine::SetPoint unburned;   // gas 1, frozen
  engine::SetPoint incident;   // gas 2; frozen: gamma_s = gamma_fr = cp/(cp - nR)
  engine::SetPoint reflected;  // gas 5 (NaN unless asked), of the incident shock's model
  double mach1 = 0.0, u1_m_s = 0.0;
  double u2_m_s = 0.0;  // gas 2 leaving the incident shock, in its frame
  double v2_m_s = 0.0;  // gas 2 in the laboratory: u1 - u2
  double p2_p1 = 0.0, t2_t1 = 0.0, m2_m1 = 0.0, rho2_rho1 = 0.0;
  double u5_m_s = 0.0;     // the reflected shock in the laboratory
  double u5_v2_m_s = 0.0;  // gas 2 entering it: u5 + v2
  double p5_p2 = 0.0, t5_t2 = 0.0, m5_m2 = 0.0, rho5_rho2 = 0.0;
  double slowest_m_s = 0.0;  // the slowest u1 with a solution (kShockTooSlow below it)
  int iterations = 0;
  unsigned flags = 0;  // of the incident shock; the reflected one's below
  unsigned reflected_flags = 0;

  bool has_values() const { return (flags & engine::kNoSolution) == 0; }
};

class WaveSolver {
 public:
  explicit WaveSolver(const engine::ProductSet& set);
  ~WaveSolver();
  WaveSolver(const WaveSolver&) = delete;
  WaveSolver& operator=(const WaveSolver&) = delete;

  // Results with their arrays sized for this set (the only allocations).
  Detonation make_detonation() const;
  Shock make_shock() const;

  // The frozen state of the unburned gas alone.
  void unburned(const Mixture& mixture, const Initial& initial, engine::SetPoint& out);

  // The Chapman-Jouguet detonation of the mixture at `initial`, warm from
  // the previous detonation unless `cold`.
  void detonation(const Mixture& mixture, const Initial& initial, Detonation& out,
                  bool cold = false);

  // The incident shock (and the reflected one when asked). An equilibrium
  // incident shock exists from the mixture's Chapman-Jouguet speed up (the
  // frozen sound speed of a mixture that cannot detonate), a frozen one
  // above the frozen sound speed of gas 1.
  void shock(const Mixture& mixture, const ShockInput& input, Shock& out, bool cold = false);

  // Forget the previous states: the next points start cold.
  void reset();

  struct Work;

 private:
  std::unique_ptr<Work> work_;
};

}  // namespace zuna::waves
