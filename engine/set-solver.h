// Chemical equilibrium of any set of products, gases and condensed species,
// by the element-potential method of S. Gordon and B. J. McBride (NASA
// RP-1311 Part I, 1994): Newton steps on ln n_j of the gases and on n_j of
// the condensed species, the reduced system in the multipliers pi_i,
// Delta n_j (condensed), Delta ln n and Delta ln T; the tests that add and
// remove a condensed species; two phases of one substance together at
// their transition temperature; the equilibrium derivatives with condensed
// species. The six problems of the report: tp, hp, sp (assigned pressure)
// and tv, uv, sv (assigned volume).
//
// Numbers as the report defines them with condensed species: n is the
// moles of gas per kg and M = 1/n the mass of all phases per mole of gas;
// the density is the whole mass over the volume of the gas; mole fractions
// count every mole, condensed ones included.
//
// A SetSolver is made once per product set and holds every array a solve
// needs: a solve allocates nothing. It keeps its last converged state and
// starts the next solve from it (warm) unless told to start cold. One
// solver serves one thread at a time.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "engine/product-set.h"

namespace zuna::engine {

enum class SetProblem { tp, hp, sp, tv, uv, sv };

// The assigned values: T_K (tp, tv), p_bar (tp, hp, sp), v_m3_kg (tv, uv,
// sv), h_kJ_kg (hp), u_kJ_kg (uv), s_kJ_kgK (sp, sv).
struct SetCondition {
  SetProblem problem = SetProblem::tp;
  double T_K = 0.0;
  double p_bar = 0.0;
  double v_m3_kg = 0.0;
  double h_kJ_kg = 0.0;
  double u_kJ_kg = 0.0;
  double s_kJ_kgK = 0.0;
};

// One state per unit mass; the arrays in the set's order (gases, then
// condensed species). Every value NaN when kNoSolution is set.
struct SetPoint {
  double P_bar = 0.0, T_K = 0.0, rho_kg_m3 = 0.0;
  double h_kJ_kg = 0.0, u_kJ_kg = 0.0, g_kJ_kg = 0.0, s_kJ_kgK = 0.0;
  double M_g_mol = 0.0;        // 1/n: mass of all phases per mole of gas [g/mol]
  double n_gas_mol_kg = 0.0;   // n
  double dlnV_dlnP_T = 0.0, dlnV_dlnT_P = 0.0;
  double cp_eq_kJ_kgK = 0.0, gamma_s = 0.0, sound_speed_m_s = 0.0;
  double cp_fr_kJ_kgK = 0.0, gamma_fr = 0.0, sound_speed_fr_m_s = 0.0;
  std::vector<double> n_mol_kg;  // amounts per kg; 0 for a condensed species absent
  std::vector<double> x;         // over all moles, condensed included
  std::vector<double> y;         // mass fractions
  int iterations = 0;
  unsigned flags = 0;  // StateFlag bits: kCondensedPhase, kPhasePair, kNoGasPhase, ...

  bool has_values() const { return (flags & kNoSolution) == 0; }
};

class SetSolver {
 public:
  explicit SetSolver(const ProductSet& set);
  ~SetSolver();
  SetSolver(const SetSolver&) = delete;
  SetSolver& operator=(const SetSolver&) = delete;

  const ProductSet& set() const;

  // A point with its arrays sized for this set (the only allocation; reuse it).
  SetPoint make_point() const;

  // Equilibrium of the elements b_mol_kg (in the set's element order)
  // under `condition`, into `out` (made by make_point). Warm from the last
  // converged solve unless `cold` or there is none. Throws InputError for a
  // condition out of range.
  void solve(std::span<const double> b_mol_kg, const SetCondition& condition, SetPoint& out,
             bool cold = false);

  // Forget the last state: the next solve starts cold.
  void reset();

  struct Work;  // the solver's arrays (engine/set-work.h)

 private:
  std::unique_ptr<Work> work_;
};

// The species list of a set for states: the names and molar masses of its
// records, in the set's order (valid while the set's database lives).
std::vector<SpeciesInfo> species_info(const ProductSet& set);

// A point as a zuna4::State: the properties under the state's names; the
// amounts copied to `amounts` (the caller's storage, set.size() of them) and
// viewed with `list` (species_info of the same set); the six products of the
// built-in set as found in the set, their x fractions of the gas as the
// state defines them. No allocation.
void to_state(const SetPoint& point, const ProductSet& set, std::span<const SpeciesInfo> list,
              std::span<double> amounts, State& out);

}  // namespace zuna::engine
