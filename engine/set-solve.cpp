// SetSolver: the arrays of a product set, the checks of a condition, the
// start (cold as RP-1311 section 3.1, or warm from the last state) and the
// alternation of Newton iterations and condensed-phase tests.
#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "engine/fp-guard.h"
#include "engine/point.h"
#include "engine/set-work.h"

namespace zuna::engine {
namespace {

constexpr int kStepsPerIteration = 100;
constexpr int kPhaseChanges = 24;  // condensed-phase tests before giving up

void check(bool ok, const char* what) {
  if (!ok) throw InputError(what);
}

// The assigned values in the solver's units; InputError out of range.
void set_problem(SetSolver::Work& w, std::span<const double> b, const SetCondition& c) {
  check(static_cast<int>(b.size()) == w.m, "elements: one amount per element of the set");
  for (int i = 0; i < w.m; ++i) {
    if (!(std::isfinite(b[i]) && b[i] > 0.0)) {
      throw InputError("elements: the amount of " + w.set->elements[i] + " must be positive");
    }
    w.b0[i] = b[i];
  }
  w.problem = c.problem;
  w.fixed_T = c.problem == SetProblem::tp || c.problem == SetProblem::tv;
  w.fixed_P = c.problem == SetProblem::tp || c.problem == SetProblem::hp ||
              c.problem == SetProblem::sp;
  if (w.fixed_T) {
    check(c.T_K >= kTMinK && c.T_K <= kTMaxK, "temperature: from 200 to 6000 K");
    w.T_assigned = c.T_K;
    w.ln_T = std::log(c.T_K);
  }
  if (w.fixed_P) {
    check(c.p_bar >= kPMinAtm * kAtmBar && c.p_bar <= kPMaxAtm * kAtmBar,
          "pressure: from 1e-6 to 1e5 atm");
    w.P_bar = c.p_bar;
    w.ln_p = std::log(c.p_bar / w.set->database->p_ref_bar);
  } else {
    check(std::isfinite(c.v_m3_kg) && c.v_m3_kg > 0.0, "volume: must be positive");
    w.v = c.v_m3_kg;
    w.ln_R_vP0 = std::log(w.R / c.v_m3_kg) - w.ln_P0_Pa;
  }
  const double value = c.problem == SetProblem::hp   ? c.h_kJ_kg
                       : c.problem == SetProblem::uv ? c.u_kJ_kg
                                                     : c.s_kJ_kgK;
  check(std::isfinite(value), "the assigned enthalpy, energy or entropy must be a number");
  w.target = value * 1000.0 / w.R;  // h0/R, u0/R [mol K/kg], s0/R [mol/kg]
  for (int j = 0; j < w.ns; ++j) {
    w.share[j] = 0.0;
    for (int i = 0; i < w.m; ++i) w.share[j] = std::max(w.share[j], w.a(i, j) / w.b0[i]);
  }
}

void clear(SetPoint& p, unsigned flags) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double* v : {&p.P_bar, &p.T_K, &p.rho_kg_m3, &p.h_kJ_kg, &p.u_kJ_kg, &p.g_kJ_kg,
                    &p.s_kJ_kgK, &p.M_g_mol, &p.n_gas_mol_kg, &p.dlnV_dlnP_T, &p.dlnV_dlnT_P,
                    &p.cp_eq_kJ_kgK, &p.gamma_s, &p.sound_speed_m_s, &p.cp_fr_kJ_kgK,
                    &p.gamma_fr, &p.sound_speed_fr_m_s})
    *v = nan;
  for (auto* a : {&p.n_mol_kg, &p.x, &p.y})
    for (double& v : *a) v = nan;
  p.flags = flags;
}

// RP-1311 section 3.1: 0.1 kmol of gas per kg shared equally, no condensed
// species, 3800 K unless T is assigned.
void cold_start(SetSolver::Work& w) {
  const double n = 100.0;
  for (int j = 0; j < w.ng; ++j) w.ln_nj[j] = std::log(n / w.ng);
  for (int c = w.ng; c < w.ns; ++c) {
    w.active[c] = 0;
    w.nj[c] = 0.0;
  }
  w.ln_n = std::log(n);
  if (!w.fixed_T) w.ln_T = std::log(3800.0);
}

// Newton iterations and condensed-phase tests until the set of condensed
// species holds: the steps taken, or a detail::Stop.
int run(SetSolver::Work& w, int& steps) {
  detail::refresh_amounts(w);
  int result = 0;
  for (int round = 0; round <= kPhaseChanges; ++round) {
    result = detail::iterate(w, kStepsPerIteration);
    if (result == detail::kStopTooCold && round < kPhaseChanges && detail::force_condensed(w)) {
      continue;
    }
    if (result < 0) return result;
    steps += result;
    if (!detail::change_phases(w)) return result;
  }
  return detail::kStopNotConverged;
}

// The assigned h, u or s of the state, less the target: in the units of
// the target (h/R, u/R [mol K/kg], s/R [mol/kg]).
double energy_excess(SetSolver::Work& w, SetProblem problem) {
  detail::set_terms(w, w.T());
  detail::set_potentials(w);
  const bool entropy = problem == SetProblem::sp || problem == SetProblem::sv;
  double sum = 0.0;
  for (int j = 0; j < w.ns; ++j) {
    if (j >= w.ng && !w.active[j]) continue;
    const double gas = entropy ? w.h[j] - w.mu[j] : problem == SetProblem::uv ? w.h[j] - 1.0 : w.h[j];
    sum += w.nj[j] * (j < w.ng ? gas : entropy ? w.s0[j] : w.h[j]);
  }
  return (entropy ? sum : sum * w.T()) - w.target;
}

// Where the Newton iteration on T does not converge (a state whose gas is
// a small part of it, far from the start): the temperature searched by
// regula falsi (Illinois) between 200 and 6000 K on states of assigned T,
// each warm from the one before; then the assigned problem again from there.
int search_temperature(SetSolver::Work& w, int& steps) {
  const SetProblem problem = w.problem;
  w.fixed_T = true;
  const auto excess = [&](double T, double& f) {
    w.T_assigned = T;
    w.ln_T = std::log(T);
    int r = run(w, steps);
    if (r < 0) {
      cold_start(w);
      r = run(w, steps);
    }
    f = r < 0 ? 0.0 : energy_excess(w, problem);
    return r >= 0;
  };
  double a = kTMinK, b = kTMaxK, fa = 0.0, fb = 0.0;
  bool ok = excess(a, fa) && excess(b, fb) && fa < 0.0 && fb > 0.0;
  for (int it = 0, side = 0; ok && it < 200 && b - a > 1e-12 * b; ++it) {
    const double c = (a * fb - b * fa) / (fb - fa);
    double fc = 0.0;
    ok = excess(c, fc);
    if (fc < 0.0) {
      a = c, fa = fc;
      fb *= side == -1 ? 0.5 : 1.0;
      side = -1;
    } else {
      b = c, fb = fc;
      fa *= side == 1 ? 0.5 : 1.0;
      side = 1;
    }
    if (fc == 0.0 || std::fabs(fc) < 1e-13 * std::fabs(w.target) + 1e-13) break;
  }
  w.fixed_T = false;
  w.problem = problem;
  for (char& s : w.swapped) s = 0;
  return ok ? run(w, steps) : detail::kStopNotConverged;
}

}  // namespace

SetSolver::SetSolver(const ProductSet& set) : work_(std::make_unique<Work>()) {
  Work& w = *work_;
  w.set = &set;
  w.ns = set.size();
  w.ng = set.gas_count;
  w.m = set.element_count();
  w.R = set.database->R_J_molK;
  w.ln_P0_Pa = std::log(set.database->p_ref_bar * 1e5);
  for (const SpeciesRecord* r : set.species) {
    w.range.push_back(&r->ranges.front());
    w.T_low.push_back(r->T_low_K());
    w.T_high.push_back(r->T_high_K());
  }
  for (int c = w.ng; c < w.ns; ++c) {
    const double T = 0.9 * w.T_low[c];
    w.T_condensing = c == w.ng ? T : std::min(w.T_condensing, T);
  }
  const auto n = static_cast<std::size_t>(w.ns);
  for (auto* v : {&w.ln_nj, &w.nj, &w.share, &w.cp, &w.h, &w.s0, &w.g0, &w.mu, &w.d_ln_nj, &w.d_nj})
    v->assign(n, 0.0);
  w.active.assign(n, 0);
  w.swapped.assign(n, 0);
  w.b0.assign(static_cast<std::size_t>(w.m), 0.0);
  w.pi.assign(static_cast<std::size_t>(w.m), 0.0);
  const std::size_t most = static_cast<std::size_t>(w.m + (w.ns - w.ng) + 2);
  w.A.assign(most * (most + 1), 0.0);
  w.cols.assign(n, 0);
  w.atoms_by_species.resize(n * static_cast<std::size_t>(w.m));
  for (int j = 0; j < w.ns; ++j) {
    for (int i = 0; i < w.m; ++i) w.atoms_by_species[static_cast<std::size_t>(j) * w.m + i] = w.a(i, j);
  }
  w.sums.assign(static_cast<std::size_t>(w.m) * (w.m + 5), 0.0);
}

SetSolver::~SetSolver() = default;

const ProductSet& SetSolver::set() const { return *work_->set; }

void SetSolver::reset() { work_->have_state = false; }

void SetSolver::solve(std::span<const double> b_mol_kg, const SetCondition& condition,
                      SetPoint& out, bool cold) {
  detail::FpGuard guard;
  Work& w = *work_;
  check(out.n_mol_kg.size() == static_cast<std::size_t>(w.ns) && out.x.size() == out.n_mol_kg.size() &&
            out.y.size() == out.n_mol_kg.size(),
        "the point must come from make_point of this solver");
  set_problem(w, b_mol_kg, condition);
  const bool warm = !cold && w.have_state;
  if (!warm) {
    cold_start(w);
  } else if (w.fixed_P) {
    double n = 0.0;
    for (int j = 0; j < w.ng; ++j) n += std::exp(w.ln_nj[j]);
    w.ln_n = std::log(n);
  }
  for (char& s : w.swapped) s = 0;
  // A pair of phases of the last solve becomes its lower phase; the tests
  // bring the upper one back where it belongs.
  w.pair_T = 0.0;
  for (int c = w.ng; c < w.ns; ++c) {
    const int below = w.set->partner_below[c];
    if (w.active[c] && below >= 0 && w.active[below]) {
      w.nj[below] += w.nj[c];
      w.nj[c] = 0.0;
      w.active[c] = 0;
    }
  }
  int steps = 0;
  int result = run(w, steps);
  if (result < 0 && warm) {
    cold_start(w);
    result = run(w, steps);
  }
  if (result < 0 && result != detail::kStopNoGas && !w.fixed_T) {
    cold_start(w);
    result = search_temperature(w, steps);
  }
  out.flags = 0;
  if (result >= 0) {
    detail::fill_point(w, out);
    out.iterations = steps;
    out.flags |= guard.faulted() ? kFloatingPoint : 0u;
  }
  const unsigned why = result == detail::kStopSingular ? kSingular
                       : result == detail::kStopNoGas  ? kNoGasPhase
                       : result == detail::kStopOutOfRange || result == detail::kStopTooCold
                           ? (w.T() < 1000.0 ? kBelowRange : kAboveRange)
                       : result < 0 ? kNotConverged
                                    : 0u;
  if (result < 0 || (out.flags & (kFloatingPoint | kSingular | kBelowRange | kAboveRange))) {
    clear(out, why | (out.flags & ~kCondensedPhase) | kNoSolution);
    w.have_state = false;
    return;
  }
  w.have_state = true;
}

SetPoint SetSolver::make_point() const {
  SetPoint p;
  const auto n = static_cast<std::size_t>(work_->ns);
  p.n_mol_kg.assign(n, 0.0);
  p.x.assign(n, 0.0);
  p.y.assign(n, 0.0);
  return p;
}

}  // namespace zuna::engine
