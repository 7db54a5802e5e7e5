// States of a fixed composition: properties at T and p, and the temperature
// that gives an entropy or an enthalpy at p (the frozen expansion of a
// nozzle, or frozen combustion).
#include <cmath>
#include <string>

#include "engine/engine.h"
#include "engine/fp-guard.h"
#include "engine/input-checks.h"
#include "engine/point.h"
#include "engine/poly-terms.h"

namespace zuna::engine {
namespace {

constexpr int kMaxSteps = 60;

void check_composition(const Composition& c) {
  double n = 0.0;
  for (double v : c.n_mol_kg) {
    if (!(v >= 0.0) || !std::isfinite(v)) {
      Refusal r;
      r.argument = Argument::composition;
      r.value = v;
      r.bounds = Bounds::at_least;
      r.low = 0.0;
      throw InputError(r, "composition: every amount must be a number >= 0");
    }
    n += v;
  }
  if (!(n > 0.0)) {
    Refusal r;
    r.argument = Argument::composition;
    r.value = n;
    throw InputError(r, "composition: the amounts must not all be 0");
  }
}

// ln n_j of a composition; an amount of 0 is -inf, which contributes nothing.
void logs_of(const Composition& c, double (&ln_nj)[kSpeciesCount]) {
  for (int j = 0; j < kSpeciesCount; ++j) {
    ln_nj[j] = c.n_mol_kg[j] > 0.0 ? std::log(c.n_mol_kg[j]) : -HUGE_VAL;
  }
}

// ln(P/P0) of a pressure in atm.
double ln_p_of(const ThermoData& data, double p_atm) {
  return std::log(p_atm * kAtmBar / data.p_ref_bar);
}

// The amounts are the composition's own, bit for bit: a frozen expansion keeps
// exactly the amounts of the state it was frozen at. ln_p = ln_p_of(p_atm).
State state_at(const ThermoData& data, const Composition& c, const double (&ln_nj)[kSpeciesCount],
               double T_K, double p_atm, double ln_p) {
  State pt;
  detail::SpeciesTerms terms;
  detail::evaluate_terms(data, T_K, terms);
  const double P_bar = p_atm * kAtmBar;
  double nj[kSpeciesCount];
  for (int j = 0; j < kSpeciesCount; ++j) {
    nj[j] = c.n_mol_kg[j];
  }
  detail::fill_state(data, terms, T_K, P_bar, p_atm, ln_p, ln_nj, nj, pt);
  pt.freeze_derivatives();
  return pt;
}

// Newton on ln T for s(T) = s0 (entropy) or h(T) = h0 (enthalpy) at fixed
// amounts: d s/d ln T = cp, d h/d ln T = cp T; a step is at most 0.4 in ln T.
// No step goes below 100 K, the lowest extrapolated temperature: a step that
// would stops at 100 K, and when the state there still has more entropy
// (enthalpy) than the target, the answer lies below 100 K (both grow with T)
// and the solve ends with kBelowRange and no values.
State frozen_solve(const ThermoData& data, const Composition& c, bool entropy, double target,
                   double p_atm, double T_guess_K) {
  detail::FpGuard guard;
  check_composition(c);
  detail::check_pressure(p_atm);
  if (!std::isfinite(target)) {
    Refusal r;
    r.argument = entropy ? Argument::s_kJ_kgK : Argument::h_kJ_kg;
    r.value = target;
    throw InputError(r, entropy ? "s_kJ_kgK must be a number" : "h_kJ_kg must be a number");
  }
  double ln_nj[kSpeciesCount];
  logs_of(c, ln_nj);
  const double ln_p = ln_p_of(data, p_atm);
  // A guess that is no temperature of the range (NaN too: the quiet
  // comparisons raise no flag that would read as a fault) starts at 3000 K.
  double T = std::isgreaterequal(T_guess_K, kTExtrapolatedMinK) &&
                     std::islessequal(T_guess_K, kTExtrapolatedMaxK)
                 ? T_guess_K
                 : 3000.0;
  State pt;
  for (int it = 1; it <= kMaxSteps; ++it) {
    pt = state_at(data, c, ln_nj, T, p_atm, ln_p);
    pt.iterations = it;
    const double d_ln_T = entropy ? (target - pt.S_kJ_kgK) / pt.Cp_fr_kJ_kgK
                                  : (target - pt.H_kJ_kg) / (pt.Cp_fr_kJ_kgK * T);
    const double step = std::fmax(-0.4, std::fmin(0.4, d_ln_T));
    const double next = T * std::exp(step);
    if (!(next >= kTExtrapolatedMinK)) {
      if (T == kTExtrapolatedMinK) {
        detail::clear_values(pt, kBelowRange);
        return pt;
      }
      T = kTExtrapolatedMinK;
      continue;
    }
    T = next;
    if (std::fabs(step) < 1e-9) {
      // Newton's error after this step is of the order of its square: the
      // state at the new T is the answer.
      pt = state_at(data, c, ln_nj, T, p_atm, ln_p);
      pt.iterations = it;
      pt.flags = detail::temperature_flags(T);
      if (pt.flags & kNoSolution) {
        detail::clear_values(pt, pt.flags);
      } else if (guard.faulted()) {
        detail::clear_values(pt, kFloatingPoint);
      }
      return pt;
    }
    if (!(T < 30000.0)) {
      detail::clear_values(pt, kAboveRange);
      return pt;
    }
  }
  detail::clear_values(pt, kNotConverged);
  return pt;
}

}  // namespace

Composition composition_of(const State& point) {
  Composition c;
  for (int j = 0; j < kSpeciesCount; ++j) {
    c.n_mol_kg[j] = point.n_mol_kg[j];
  }
  return c;
}

State frozen_state(const ThermoData& data, const Composition& composition, double T_K,
                   double p_atm) {
  detail::FpGuard guard;
  check_composition(composition);
  detail::check_pressure(p_atm);
  detail::check_temperature(Argument::T_K, "T_K", T_K);
  double ln_nj[kSpeciesCount];
  logs_of(composition, ln_nj);
  State pt = state_at(data, composition, ln_nj, T_K, p_atm, ln_p_of(data, p_atm));
  if (guard.faulted()) {
    detail::clear_values(pt, kFloatingPoint);
  }
  return pt;
}

State frozen_sp(const ThermoData& data, const Composition& composition, double s_kJ_kgK,
                double p_atm, double T_guess_K) {
  return frozen_solve(data, composition, true, s_kJ_kgK, p_atm, T_guess_K);
}

State frozen_hp(const ThermoData& data, const Composition& composition, double h_kJ_kg,
                double p_atm, double T_guess_K) {
  return frozen_solve(data, composition, false, h_kJ_kg, p_atm, T_guess_K);
}

}  // namespace zuna::engine
