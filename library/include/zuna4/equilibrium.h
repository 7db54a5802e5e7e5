// Chemical equilibrium of the H2/O2 products H2O, O2, H2, H, O, OH (ideal
// gas) by minimisation of the Gibbs energy, with the NASA Glenn
// 9-coefficient data compiled in (the data of NASA CEA 3.0).
//
// The state, the reactants and the flags are those of zuna4/state.h.
// Species order everywhere: 0 H2O, 1 O2, 2 H2, 3 H, 4 O, 5 OH.
// Per unit mass like the NASA Glenn tables: H, U, G in kJ/kg, S and Cp in
// kJ/(kg K); M in g/mol. Pressures are given in atm (1 atm = 1.01325 bar).
#pragma once

#if __cplusplus < 202002L
#error "the zuna4 headers need C++20: compile with -std=c++20 (pkg-config --cflags zuna4)"
#endif

#include <cstddef>
#include <functional>
#include <span>

#include "zuna4/array.h"
#include "zuna4/errors.h"
#include "zuna4/state.h"

namespace zuna4 {

// The species' names in species order: "H2O", "O2", "H2", "H", "O", "OH".
const char* species_name(int j);

// What is held fixed: T and p (tp), the reactants' enthalpy and p (hp), an
// entropy and p (sp), the reactants' internal energy and a density (uv).
enum class Problem { tp, hp, sp, uv };

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

// Many points over the threads of `options`, in blocks of kWarmBlock
// (zuna4/array.h): input(i) is the i-th point's input and output(i, state)
// takes its state, called on the workers (each i once; from several threads
// at once, for different i). Every input is checked before any is solved
// (InputError names the first point refused). Neither the inputs nor the
// states are held beyond a block: memory is the caller's.
void equilibrium(std::size_t n, const std::function<EquilibriumInput(std::size_t)>& input,
                 const std::function<void(std::size_t, const State&)>& output,
                 const ArrayOptions& options);

// Checks one input as equilibrium() does; throws InputError.
void check_input(const EquilibriumInput& input);

}  // namespace zuna4
