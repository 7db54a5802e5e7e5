// The general solver's arrays and the pieces of its iteration, shared by
// set-solver.cpp (the Newton iteration), set-phases.cpp (the condensed
// species) and set-properties.cpp (the point of a result).
//
// Notation of RP-1311: species j, element i, a_ij atoms; n_j amounts
// [mol/kg], n the moles of gas, H_j/RT, S_j/R, Cp_j/R, mu_j/RT; pi_i the
// multipliers (Lagrange multipliers over RT, taken with the sign of the
// report: mu_j/RT = sum_i a_ij pi_i at equilibrium).
#pragma once

#include <cmath>
#include <vector>

#include "engine/set-solver.h"

namespace zuna::engine {

struct SetSolver::Work {
  const ProductSet* set = nullptr;
  int ns = 0, ng = 0, m = 0;
  std::vector<double> atoms_by_species;  // a_ij at [j * m + i]
  std::vector<double> sums;              // the element rows' sums of one step
  double R = 8.314510, ln_P0_Pa = 0.0;  // the data's standard state
  std::vector<const PolyRange*> range;   // the range in use per species
  std::vector<double> T_low, T_high;     // of each species' data
  // Below this T, with condensed species left out, the gas alone cannot hold
  // the assigned energy: 0.9 times the lowest T of the condensed data.
  double T_condensing = 0.0;

  // The problem, in the solver's units.
  SetProblem problem = SetProblem::tp;
  bool fixed_T = true, fixed_P = true;
  double T_assigned = 0.0, ln_p = 0.0, ln_R_vP0 = 0.0;  // ln(P/P0); ln(R/(v P0))
  double P_bar = 0.0, v = 0.0;
  double target = 0.0;  // h0/R [mol K/kg], u0/R or s0/R [mol/kg]
  std::vector<double> b0;
  std::vector<double> share;  // max_i a_ij / b_i: the weight of the convergence test

  // The state: ln n_j of the gases, n_j of the condensed species and which
  // of them take part, ln n and ln T.
  std::vector<double> ln_nj, nj;
  std::vector<char> active;
  std::vector<char> swapped;  // this solve: the phase gave way to its neighbour
  double ln_n = 0.0, ln_T = 0.0;
  double pair_T = 0.0;  // two phases of one substance present: T held at their transition
  std::vector<double> pi;
  bool have_state = false;

  // The functions of every species at T, and mu_j/RT; terms_T: the T at
  // which every species' functions were last evaluated (0: not since).
  std::vector<double> cp, h, s0, g0, mu;
  double terms_T = 0.0;

  // The reduced system: rows elements, active condensed, n (fixed P),
  // energy (assigned h, u or s); columns pi_i, Delta n_j, Delta ln n,
  // Delta ln T, right-hand side. cols: which condensed species each column is.
  int size = 0;
  std::vector<double> A;
  std::vector<int> cols;
  int stride = 0;
  double& at(int r, int c) { return A[static_cast<std::size_t>(r) * stride + c]; }

  // The correction of the last step.
  std::vector<double> d_ln_nj, d_nj;
  double d_ln_n = 0.0, d_ln_T = 0.0;

  double T() const { return fixed_T ? T_assigned : pair_T > 0.0 ? pair_T : exp_of(ln_T, T_memo); }
  double n() const { return exp_of(ln_n, n_memo); }  // the moles of gas

  // exp(x), computed again only when x changed since the last call.
  struct Memo {
    double x = 0.0, value = 1.0;
  };
  mutable Memo T_memo, n_memo;
  static double exp_of(double x, Memo& memo) {
    if (x != memo.x) memo = {x, std::exp(x)};
    return memo.value;
  }
  double a(int i, int j) const { return set->atoms[static_cast<std::size_t>(i) * ns + j]; }
};

namespace detail {

using Work = SetSolver::Work;

// The species' functions at T into w.cp, w.h, w.s0, w.g0: of every
// species, or of the gases and the condensed species present.
void set_terms(Work& w, double T, bool every = true);
// n_j = exp(ln n_j) of the gases; the steps keep them after that.
void refresh_amounts(Work& w);
// mu_j/RT of the gases (and g0 of the condensed) at the state.
void set_potentials(Work& w);
// Builds the reduced system of one Newton step; false when singular.
bool newton_correction(Work& w);
// Gaussian elimination with partial pivoting on w.A (size rows, the
// right-hand sides in the columns from size on); the solutions replace
// them. False when a pivot is 0 or a solution no number.
bool solve_system(Work& w, int rhs_count = 1);
// Newton steps to convergence: the number taken, or one of these.
enum Stop : int {
  kStopNotConverged = -1,
  kStopSingular = -2,
  kStopNoGas = -3,      // every mole condensed
  kStopOutOfRange = -4, // T beyond every range
  kStopTooCold = -5,    // T below T_condensing with condensed species left out
};
int iterate(Work& w, int budget);
// The condensed-phase tests after a converged iteration: true when the set
// of condensed species changed and the iteration must go on.
bool change_phases(Work& w);
// After kStopTooCold: brings in the condensed species of lowest d_c at the
// nearest temperature of its data, and T there; false when there is none.
bool force_condensed(Work& w);
// The point of a converged state.
void fill_point(Work& w, SetPoint& out);

}  // namespace detail
}  // namespace zuna::engine
