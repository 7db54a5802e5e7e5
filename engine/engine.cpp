// The public calls: the checks of the inputs, the feed of a mixture, the
// conditions in the solver's units, and the flags of the result.
#include <cmath>
#include <cstdio>
#include <string>

#include "engine/engine.h"
#include "engine/fp-guard.h"
#include "engine/gibbs.h"
#include "engine/input-checks.h"
#include "engine/point.h"
#include "engine/poly-terms.h"

namespace zuna::engine {
namespace {

std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

// Throws InputError with `refusal` and the message `what()` makes, when
// !ok; the message is only made for a refusal.
template <class Message>
void require(bool ok, const Refusal& refusal, Message what) {
  if (!ok) {
    throw InputError(refusal, what());
  }
}

Refusal in_range(Argument argument, double value, double low, double high) {
  Refusal r;
  r.argument = argument;
  r.value = value;
  r.bounds = Bounds::closed;
  r.low = low;
  r.high = high;
  return r;
}

Refusal not_a_number(Argument argument, double value) {
  Refusal r;
  r.argument = argument;
  r.value = value;
  return r;
}

double stoichiometric(const ThermoData& data) {
  // H2 + 1/2 O2: half a mole of O2 per mole of H2.
  return 0.5 * data.species[kO2].M_g_mol / data.species[kH2].M_g_mol;
}

void check_of(const ThermoData& data, double of) {
  const double st = stoichiometric(data);
  require(std::isfinite(of) && of >= kOfMinFactor * st && of <= kOfMaxFactor * st,
          in_range(Argument::of, of, kOfMinFactor * st, kOfMaxFactor * st), [&] {
            return "of = " + number(of) + ": the O/F ratio must lie in " +
                   number(kOfMinFactor * st) + ".." + number(kOfMaxFactor * st) +
                   " (0.1 to 40 times the stoichiometric " + number(st) + ")";
          });
}

detail::Problem problem_of(const ThermoData& data, const Feed& feed, const Condition& c) {
  const double R = data.R_J_molK;
  detail::Problem pb;
  pb.mode = c.mode;
  const double(&b)[kElementCount] = feed.b_mol_kg;
  require(std::isfinite(b[0]) && std::isfinite(b[1]) && b[0] > 0.0 && b[1] > 0.0, Refusal{},
          [] { return std::string("feed: the amounts of H and O must be positive numbers"); });
  pb.b_HO[0] = b[0];
  pb.b_HO[1] = b[1];
  pb.inv_b_HO[0] = 1.0 / b[0];
  pb.inv_b_HO[1] = 1.0 / b[1];
  detail::set_element_shares(pb);
  pb.rows = &detail::element_rows(b);
  detail::components_of(*pb.rows, b, pb.b);
  check_condition(c);
  if (c.mode != Mode::UV) {
    pb.p_atm = c.p_atm;
    pb.ln_p = std::log(c.p_atm * kAtmBar / data.p_ref_bar);
  }
  switch (c.mode) {
    case Mode::TP: pb.T_K = c.T_K; break;
    case Mode::HP: pb.h_R = c.h_kJ_kg * 1000.0 / R; break;
    case Mode::SP: pb.s_R = c.s_kJ_kgK * 1000.0 / R; break;
    case Mode::UV:
      pb.u_R = c.u_kJ_kg * 1000.0 / R;
      pb.ln_RT_vP0 = std::log(R / (c.v_m3_kg * data.p_ref_bar * 1e5));
      break;
  }
  return pb;
}

// The start of a warm solve: the amounts and temperature of a result, as
// logarithms and as they are (which spares the first step's exponentials).
detail::State state_of(const State& guess, detail::Amounts& amounts) {
  detail::State st;
  for (int j = 0; j < kSpeciesCount; ++j) {
    // An amount that underflowed to 0 starts at the bottom of the doubles.
    const double n = guess.n_mol_kg[j];
    st.ln_nj[j] = n > 0.0 ? std::log(n) : -745.0;
    amounts.nj[j] = n > 0.0 ? n : std::exp(-745.0);
  }
  st.ln_n = std::log(guess.n_total_mol_kg);
  st.ln_T = std::log(guess.T_K);
  amounts.n = guess.n_total_mol_kg;
  amounts.T = guess.T_K;
  return st;
}

bool usable_guess(const State* guess) {
  if (guess == nullptr || !guess->has_values() || !(guess->T_K > 0.0) ||
      !(guess->n_total_mol_kg > 0.0) || !std::isfinite(guess->T_K)) {
    return false;
  }
  for (double n : guess->n_mol_kg) {
    if (!(n >= 0.0) || !std::isfinite(n)) {
      return false;
    }
  }
  return true;
}

// Solve, flags and properties of one start, under the guard the public call
// holds.
State solve_from(const ThermoData& data, const detail::Problem& pb, const State* guess,
                 detail::FpGuard& guard) {
  guard.restart();
  State pt;
  detail::Amounts amounts;
  const bool warm = guess != nullptr;
  const detail::State start = warm ? state_of(*guess, amounts) : detail::cold_start(pb);
  const detail::Outcome out = detail::solve(data, pb, start, warm ? &amounts : nullptr);
  pt.iterations = out.iterations;
  if (out.flags & (kNotConverged | kBelowRange | kAboveRange)) {
    // A solve that wandered off far below or above the data says where.
    const double T_last = std::exp(out.state.ln_T);
    const unsigned where = T_last < kTExtrapolatedMinK   ? kBelowRange
                           : T_last > kTExtrapolatedMaxK ? kAboveRange
                                                         : 0u;
    detail::clear_values(pt, out.flags | where);
    return pt;
  }
  const double T = out.amounts.T;
  const unsigned tf = detail::temperature_flags(T);
  if (tf & kNoSolution) {
    detail::clear_values(pt, tf);
    return pt;
  }
  // A pressure given is kept as given (P_bar = p_atm * 1.01325, not the
  // rounding of exp(ln p)); at fixed volume P = n R T / v, with ln(R/(v P0))
  // kept by the problem.
  double P_bar = pb.p_atm * kAtmBar, p_atm = pb.p_atm, ln_p = pb.ln_p;
  if (pb.mode == Mode::UV) {
    P_bar = std::exp(out.state.ln_n + pb.ln_RT_vP0 + out.state.ln_T) * data.p_ref_bar;
    p_atm = P_bar / kAtmBar;
    ln_p = std::log(P_bar / data.p_ref_bar);
  }
  detail::SpeciesTerms terms;
  detail::evaluate_terms(data, detail::TPowers(T, out.state.ln_T), terms);
  detail::fill_state(data, terms, T, P_bar, p_atm, ln_p, out.state.ln_nj, out.amounts.nj, pt);
  pt.flags = tf;
  if (!detail::fill_equilibrium_derivatives(data, terms, pt)) {
    detail::clear_values(pt, kSingular);
    return pt;
  }
  if (guard.faulted()) {
    detail::clear_values(pt, kFloatingPoint);
  }
  return pt;
}

// A point from the guess when it is usable; a warm solve that fails is
// solved again cold (its steps counted with the cold solve's), and a point
// that fails both ways is the warm solve's, flags and steps.
State solve_point(const ThermoData& data, const detail::Problem& pb, const State* guess,
                  detail::FpGuard& guard) {
  if (!usable_guess(guess)) {
    return solve_from(data, pb, nullptr, guard);
  }
  const State warm = solve_from(data, pb, guess, guard);
  if (warm.has_values()) {
    return warm;
  }
  State cold = solve_from(data, pb, nullptr, guard);
  if (!cold.has_values()) {
    return warm;
  }
  cold.iterations += warm.iterations;
  return cold;
}

Feed mixture_feed(const ThermoData& data, const Mixture& mixture) {
  check_of(data, mixture.of);
  const Reactants& r = mixture.reactants;
  double h_fuel = kLiquidH2_J_mol, h_oxid = kLiquidO2_J_mol;
  if (r.set == ReactantSet::gas) {
    detail::check_temperature(Argument::reactants_T_K, "reactants.T_K", r.T_K);
    detail::SpeciesTerms t;
    detail::evaluate_terms(data, r.T_K, t);
    h_fuel = data.R_J_molK * r.T_K * t.h_RT[kH2];
    h_oxid = data.R_J_molK * r.T_K * t.h_RT[kO2];
  } else if (r.set == ReactantSet::custom) {
    require(std::isfinite(r.h_fuel_J_mol), not_a_number(Argument::h_fuel_J_mol, r.h_fuel_J_mol),
            [] { return std::string("h_fuel_J_mol must be a number"); });
    require(std::isfinite(r.h_oxid_J_mol), not_a_number(Argument::h_oxid_J_mol, r.h_oxid_J_mol),
            [] { return std::string("h_oxid_J_mol must be a number"); });
    h_fuel = r.h_fuel_J_mol;
    h_oxid = r.h_oxid_J_mol;
  }
  // One kilogram: 1/(1 + of) kg of H2 and of/(1 + of) kg of O2.
  const double n_h2 = 1000.0 / (1.0 + mixture.of) / data.species[kH2].M_g_mol;
  const double n_o2 = 1000.0 * mixture.of / (1.0 + mixture.of) / data.species[kO2].M_g_mol;
  Feed feed;
  feed.b_mol_kg[0] = 2.0 * n_h2;
  feed.b_mol_kg[1] = 2.0 * n_o2;
  feed.h0_kJ_kg = (n_h2 * h_fuel + n_o2 * h_oxid) / 1000.0;
  return feed;
}

// The flame of a mixture, under the guard of the public call.
State flame_point(const ThermoData& data, const Mixture& mixture, double p_atm, const State* guess,
                  detail::FpGuard& guard) {
  const Feed feed = mixture_feed(data, mixture);
  Condition c;
  c.mode = Mode::HP;
  c.p_atm = p_atm;
  c.h_kJ_kg = feed.h0_kJ_kg;
  return solve_point(data, problem_of(data, feed, c), guess, guard);
}

}  // namespace

namespace detail {

void check_pressure(double p_atm) {
  require(std::isfinite(p_atm) && p_atm >= kPMinAtm && p_atm <= kPMaxAtm,
          in_range(Argument::p_atm, p_atm, kPMinAtm, kPMaxAtm), [&] {
            return "p_atm = " + number(p_atm) + ": the pressure must lie in 1e-06..1e+05 atm";
          });
}

void check_temperature(Argument argument, const char* name, double T_K) {
  require(std::isfinite(T_K) && T_K >= kTMinK && T_K <= kTMaxK,
          in_range(argument, T_K, kTMinK, kTMaxK), [&] {
            return std::string(name) + " = " + number(T_K) +
                   ": the temperature must lie in 200..6000 K";
          });
}

}  // namespace detail

void check_condition(const Condition& c) {
  if (c.mode != Mode::UV) {
    detail::check_pressure(c.p_atm);
  }
  switch (c.mode) {
    case Mode::TP: detail::check_temperature(Argument::T_K, "T_K", c.T_K); break;
    case Mode::HP:
      require(std::isfinite(c.h_kJ_kg), not_a_number(Argument::h_kJ_kg, c.h_kJ_kg),
              [] { return std::string("h_kJ_kg must be a number"); });
      break;
    case Mode::SP:
      require(std::isfinite(c.s_kJ_kgK), not_a_number(Argument::s_kJ_kgK, c.s_kJ_kgK),
              [] { return std::string("s_kJ_kgK must be a number"); });
      break;
    case Mode::UV: {
      require(std::isfinite(c.u_kJ_kg), not_a_number(Argument::u_kJ_kg, c.u_kJ_kg),
              [] { return std::string("u_kJ_kg must be a number"); });
      Refusal v = not_a_number(Argument::v_m3_kg, c.v_m3_kg);
      v.bounds = Bounds::above;
      v.low = 0.0;
      v.high = HUGE_VAL;
      require(std::isfinite(c.v_m3_kg) && c.v_m3_kg > 0.0, v, [&] {
        return "v_m3_kg = " + number(c.v_m3_kg) + ": the specific volume must be positive";
      });
      break;
    }
  }
}

double stoichiometric_of(const ThermoData& data) {
  detail::FpGuard guard;
  return stoichiometric(data);
}

Feed feed_of(const ThermoData& data, const Mixture& mixture) {
  detail::FpGuard guard;
  return mixture_feed(data, mixture);
}

Feed feed_of(const State& point) {
  detail::FpGuard guard;
  Feed feed;
  for (int j = 0; j < kSpeciesCount; ++j) {
    for (int i = 0; i < kElementCount; ++i) {
      feed.b_mol_kg[i] += detail::kAtoms[i][j] * point.n_mol_kg[j];
    }
  }
  feed.h0_kJ_kg = point.H_kJ_kg;
  return feed;
}

State equilibrium(const ThermoData& data, const Feed& feed, const Condition& condition,
                  const State* guess) {
  detail::FpGuard guard;
  return solve_point(data, problem_of(data, feed, condition), guess, guard);
}

State flame(const ThermoData& data, const Mixture& mixture, double p_atm, const State* guess) {
  detail::FpGuard guard;
  return flame_point(data, mixture, p_atm, guess, guard);
}

void flame_sweep(const ThermoData& data, std::span<const double> of, const Reactants& reactants,
                 double p_atm, std::span<State> out) {
  detail::FpGuard guard;
  Refusal size;
  size.argument = Argument::out;
  size.value = static_cast<double>(out.size());
  require(of.size() == out.size(), size,
          [] { return std::string("flame_sweep: as many results as O/F ratios are needed"); });
  detail::check_pressure(p_atm);
  for (double r : of) {
    check_of(data, r);
  }
  const State* previous = nullptr;
  for (std::size_t k = 0; k < of.size(); ++k) {
    out[k] = flame_point(data, Mixture{of[k], reactants}, p_atm, previous, guard);
    previous = out[k].has_values() ? &out[k] : previous;
  }
}

}  // namespace zuna::engine
