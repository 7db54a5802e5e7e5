// Chemical equilibrium of the H2/O2 products H2O, O2, H2, H, O, OH (ideal
// gas) by minimisation of the Gibbs energy, with the NASA Glenn
// 9-coefficient data compiled in (the data of NASA CEA 3.0).
//
// Species order everywhere: 0 H2O, 1 O2, 2 H2, 3 H, 4 O, 5 OH.
// Per unit mass like the NASA Glenn tables: H, U, G in kJ/kg, S and Cp in
// kJ/(kg K); M in g/mol. Pressures are given in atm (1 atm = 1.01325 bar).
#pragma once

#include <cstddef>
#include <span>

#include "zuna4/errors.h"

namespace zuna4 {

inline constexpr int kSpeciesCount = 6;

// The species' names in species order: "H2O", "O2", "H2", "H", "O", "OH".
const char* species_name(int j);

// What is held fixed: T and p (tp), the reactants' enthalpy and p (hp), an
// entropy and p (sp), the reactants' internal energy and a density (uv).
enum class Problem { tp, hp, sp, uv };

// Liquid H2 and O2 (-9016 and -12984 J/mol, the NASA Glenn values), both
// gases at T_K, or enthalpies given by the caller.
enum class ReactantSet { liquid, gas, custom };
struct Reactants {
  ReactantSet set = ReactantSet::liquid;
  double T_K = 298.15;             // gas: temperature of both reactants, 200-6000 K
  double h_fuel_J_mol = -9016.0;   // custom: enthalpy of H2
  double h_oxid_J_mol = -12984.0;  // custom: enthalpy of O2
};

// One point. Accepted: O/F from 0.1 to 40 times the stoichiometric value
// (stoichiometric_of()), p_atm 1e-6..1e5, T_K 200..6000. The problem takes
// what it needs: tp p_atm and T_K; hp p_atm; sp p_atm and s_kJ_kgK; uv
// rho_kg_m3, with the reactants' internal energy (their enthalpy for the
// liquids, H - n R T for the gases).
struct EquilibriumInput {
  Problem problem = Problem::hp;
  double of = 0.0;         // O/F mass ratio [kg O2 / kg H2]
  double p_atm = 1.0;      // tp, hp, sp
  double T_K = 0.0;        // tp
  double s_kJ_kgK = 0.0;   // sp
  double rho_kg_m3 = 0.0;  // uv
  Reactants reactants;
};

// Why a state is not a plain converged result, one bit each (the values of
// the flags column of `zuna4c equilibrium`). The two extrapolation bits come
// with values; every other bit comes with kNoSolution and NaN values.
enum StateFlag : unsigned {
  kNotConverged = 1u << 0,
  kExtrapolatedLow = 1u << 1,   // T in 100..200 K
  kExtrapolatedHigh = 1u << 2,  // T in 6000..6500 K
  kBelowRange = 1u << 3,        // below 100 K
  kAboveRange = 1u << 4,        // above 6500 K
  kFloatingPoint = 1u << 5,     // an invalid operation, division by zero or overflow
  kSingular = 1u << 6,          // the Newton system had no solution
  kNoSolution = 1u << 7,        // the state has no values
};

// A state per unit mass, named like the columns of `zuna4c equilibrium`.
struct State {
  double P_bar = 0.0;
  double p_atm = 0.0;
  double T_K = 0.0;
  double rho_kg_m3 = 0.0;
  double H_kJ_kg = 0.0;
  double U_kJ_kg = 0.0;
  double G_kJ_kg = 0.0;
  double S_kJ_kgK = 0.0;
  double M = 0.0;  // mean molar mass [g/mol]
  double dlnV_dlnP_T = 0.0;
  double dlnV_dlnT_P = 0.0;
  double Cp_kJ_kgK = 0.0;               // equilibrium (shifting) heat capacity
  double gamma_s = 0.0;                 // isentropic exponent (dln p / dln rho)_s
  double son_vel_m_s = 0.0;             // equilibrium sound speed
  double Cp_fr_kJ_kgK = 0.0;            // frozen heat capacity
  double gamma_fr = 0.0;                // frozen Cp / Cv
  double son_vel_fr_m_s = 0.0;          // frozen sound speed
  double x[kSpeciesCount] = {};         // mole fractions
  double y[kSpeciesCount] = {};         // mass fractions
  double n_mol_kg[kSpeciesCount] = {};  // amounts per kg of mixture
  double n_total_mol_kg = 0.0;          // their sum
  int iterations = 0;                   // Newton steps taken
  unsigned flags = 0;                   // StateFlag bits

  bool has_values() const { return (flags & kNoSolution) == 0; }
  bool converged() const { return (flags & (kNotConverged | kNoSolution)) == 0; }
};

// The stoichiometric O/F mass ratio of the built-in data (7.9367...).
double stoichiometric_of();

// One point, started cold, or from `warm` (a state of a nearby point, for
// example the previous O/F) when that has values. Throws InputError.
State equilibrium(const EquilibriumInput& input, const State* warm = nullptr);

// Many points: out[i] for in[i]. Every input is checked before anything is
// computed (InputError names the index). With warm_start each point starts
// from the last point before it that has values, the first from `warm` when
// given (the last state of a previous call, to go on with a long array in
// pieces), as `zuna4c equilibrium` sweeps its O/F ratios; otherwise each
// starts cold. out.size() must equal in.size().
void equilibrium(std::span<const EquilibriumInput> in, std::span<State> out, bool warm_start = true,
                 const State* warm = nullptr);

// Checks one input as equilibrium() does; throws InputError.
void check_input(const EquilibriumInput& input);

}  // namespace zuna4
