// The Newton iteration of the published method (S. Gordon and B. J. McBride,
// NASA RP-1311, 1994, chapters 2 and 3): minimisation of the Gibbs energy
// (Helmholtz energy for UV) with Lagrange multipliers pi_i, Newton steps on
// ln n_j, ln n and ln T, the reduced system in pi_i, Delta ln n and
// Delta ln T, and the published step-size control.
//
// Amounts are kept as their logarithms: a trace species stays positive,
// however small, and its amount underflows harmlessly to 0 in the sums.
// Units inside the solver: amounts in mol/kg, energies divided by R (or RT),
// so that every term of the reduced system is dimensionless or in mol/kg.
#pragma once

#include "engine/engine.h"
#include "engine/poly-terms.h"

namespace zuna::engine::detail {

// What the iteration holds fixed, in the solver's units.
struct Problem {
  Mode mode = Mode::TP;
  const ElementRows* rows = &kRichRows;  // the element rows a_ij (poly-terms.h)
  double b[kElementCount] = {};          // b_i^0 [mol/kg] in those rows
  double b_HO[kElementCount] = {};       // the amounts of H and O atoms [mol/kg]
  double inv_b_HO[kElementCount] = {};   // their inverses
  // The largest share of an element one mole of species j holds,
  // max_i a_ij / b_i over H and O: the weight of the convergence test is
  // n_j max(1/n, this) (see solve).
  double element_share[kSpeciesCount] = {};
  double T_K = 0.0;                      // TP
  double p_atm = 0.0;                    // P as given, TP, HP, SP
  double ln_p = 0.0;                     // ln(P/P0), TP, HP, SP
  double h_R = 0.0;                      // HP: h0/R [mol K/kg]
  double s_R = 0.0;                      // SP: s0/R [mol/kg]
  double u_R = 0.0;                      // UV: u0/R [mol K/kg]
  double ln_RT_vP0 = 0.0;  // UV: ln(R / (v P0)) [1/K], so ln(n_j R T/(v P0)) = ln n_j + this + ln T
};

// The iterate: ln n_j, ln n, ln T and the multipliers of the last step.
struct State {
  double ln_nj[kSpeciesCount] = {};
  double ln_n = 0.0;
  double ln_T = 0.0;
  double pi[kElementCount] = {};
};

// The amounts and temperature of a state themselves: n_j = exp(ln n_j),
// n = exp(ln n), T = exp(ln T) (for TP the problem's own), to the rounding
// of doubles (the solve carries them from step to step, see gibbs.cpp).
struct Amounts {
  double nj[kSpeciesCount] = {};
  double n = 0.0;
  double T = 0.0;
};

struct Outcome {
  State state;
  Amounts amounts;  // of `state`, for the properties of the result
  int iterations = 0;
  unsigned flags = 0;  // kNotConverged, kSingular, kBelowRange, kAboveRange
};

// The element shares of Problem::element_share for the amounts of H and O.
void set_element_shares(Problem& problem);

// The cold start of RP-1311 (section 3.1): n = 0.1 kmol/kg shared equally,
// T = 3800 K unless fixed.
State cold_start(const Problem& problem);

// Newton steps from `start` until the corrections fall to the rounding of
// a double: a full step with every |Delta ln n_j|, |Delta ln n|, |Delta ln T|
// below 1e-7 leaves an error of the order of its square. `known`, when
// given, are the amounts of `start` (those of the result a warm start comes
// from), which spares their exponentials; they may differ from exp(ln n_j)
// by rounding only.
Outcome solve(const ThermoData& data, const Problem& problem, const State& start,
              const Amounts* known = nullptr);

// T [K] of a state: the problem's own for TP, else exp(ln T).
double temperature(const Problem& problem, const State& state);

// mu_j/RT at a state: g_j0/RT + ln(n_j/n) + ln(P/P0) (for UV ln(n_j R T/(v P0))).
void chemical_potentials(const Problem& problem, const State& state, const SpeciesTerms& terms,
                         double (&mu_RT)[kSpeciesCount]);

// Solves the m x m system held in the first m columns of A with the right-
// hand side in column m (Gaussian elimination, partial pivoting); the answer
// replaces column m. False when a pivot is 0 or not a number.
bool solve_linear(int m, double (&A)[4][5]);

// The same for the reduced systems of the iteration (m = 3 or 4, the first
// two unknowns the multipliers), by blocks without a pivot search. False,
// with A unchanged, where that does not serve; solve_linear does then.
bool solve_by_blocks(int m, double (&A)[4][5]);

}  // namespace zuna::engine::detail
