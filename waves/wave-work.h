// The wave solver's arrays and the previous states it starts from, shared
// by wave-solver.cpp (the unburned gas), detonation.cpp and shock.cpp.
#pragma once

#include <vector>

#include "engine/set-solver.h"
#include "waves/waves.h"

namespace zuna::waves {

struct WaveSolver::Work {
  explicit Work(const engine::ProductSet& s)
      : set(&s), cj_eq(s), hp(s), shock_eq(s), reflected_eq(s), hp_point(hp.make_point()) {}

  const engine::ProductSet* set;
  engine::SetSolver cj_eq;         // the burned gas of the Chapman-Jouguet iteration
  engine::SetSolver hp;            // the constant-pressure flame of a cold start
  engine::SetSolver shock_eq;      // gas 2 of an equilibrium shock
  engine::SetSolver reflected_eq;  // gas 5 of an equilibrium reflected shock
  engine::SetPoint hp_point;

  // The previous Chapman-Jouguet state: ln(P/P1) and T.
  bool have_cj = false;
  double cj_ln_p_ratio = 0.0, cj_T_K = 0.0;

  // The Chapman-Jouguet speed of the last mixture an equilibrium shock was
  // asked of, by its elements, T1 and P1: the slowest equilibrium shock.
  std::vector<double> cj_b;
  double cj_T1_K = 0.0, cj_P1_bar = 0.0;
  bool cj_known = false;
  Detonation cj;
};

namespace detail {

// InputError unless T1 and P1 are in range and the mixture fits the set.
void check_initial(const engine::ProductSet& set, const Mixture& mixture, const Initial& initial);
// InputError unless the point's arrays are sized for the set.
void check_point(const engine::ProductSet& set, const engine::SetPoint& p);

}  // namespace detail
}  // namespace zuna::waves
