// The equilibrium facade: the library's inputs to the engine's problem;
// the engine's states are the library's.
#include "zuna4/equilibrium.h"

#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/fp-guard.h"
#include "tables/shortest.h"

namespace zuna4 {

namespace engine = zuna::engine;

const char* species_name(int j) { return engine::species_name(j); }

double stoichiometric_of() {
  const zuna::engine::FpGuard guard;
  return engine::stoichiometric_of(engine::builtin_nasa9_data());
}

namespace {

// The reactants' internal energy per kg: their enthalpy for the liquids
// (p v negligible), H - n R T for the gases, n the moles of H2 and O2 per kg
// (half the atoms). The same as `zuna4c equilibrium --problem=uv`.
double reactant_u_kJ_kg(const engine::ThermoData& data, const engine::Feed& feed,
                        const Reactants& r) {
  if (r.set != ReactantSet::gas) {
    return feed.h0_kJ_kg;
  }
  const double n_mol_kg = 0.5 * (feed.b_mol_kg[0] + feed.b_mol_kg[1]);
  return feed.h0_kJ_kg - n_mol_kg * data.R_J_molK * r.T_K / 1000.0;
}

// The engine's feed and condition of one input; throws InputError for an
// O/F or reactants out of range.
struct Prepared {
  engine::Feed feed;
  engine::Condition condition;
};

Prepared prepare(const EquilibriumInput& in) {
  const engine::ThermoData& data = engine::builtin_nasa9_data();
  Prepared p;
  p.feed = engine::feed_of(data, engine::Mixture{in.of, in.reactants});
  engine::Condition& c = p.condition;
  c.p_atm = in.p_atm;
  switch (in.problem) {
    case Problem::tp:
      c.mode = engine::Mode::TP;
      c.T_K = in.T_K;
      break;
    case Problem::hp:
      c.mode = engine::Mode::HP;
      c.h_kJ_kg = p.feed.h0_kJ_kg;
      break;
    case Problem::sp:
      c.mode = engine::Mode::SP;
      c.s_kJ_kgK = in.s_kJ_kgK;
      break;
    case Problem::uv:
      c.mode = engine::Mode::UV;
      if (!(in.rho_kg_m3 > 0.0 && in.rho_kg_m3 < 1e300)) {
        Refusal r;
        r.argument = Argument::rho_kg_m3;
        r.value = in.rho_kg_m3;
        r.bounds = Bounds::above;
        r.low = 0.0;
        r.high = HUGE_VAL;
        throw InputError(r, "rho_kg_m3 = " + zuna::tables::shortest_text(in.rho_kg_m3) +
                                ": the density must be a positive number");
      }
      c.v_m3_kg = 1.0 / in.rho_kg_m3;
      c.u_kJ_kg = reactant_u_kJ_kg(data, p.feed, in.reactants);
      c.p_atm = 0.0;
      break;
  }
  return p;
}

// Only the solve, for inputs already prepared: the engine checks the
// condition's ranges as it starts.
engine::State solve(const Prepared& p, const engine::State* guess) {
  return engine::equilibrium(engine::builtin_nasa9_data(), p.feed, p.condition, guess);
}

Prepared checked(const EquilibriumInput& input) {
  Prepared p = prepare(input);
  engine::check_condition(p.condition);  // before the solve, which checks it again
  return p;
}

}  // namespace

void check_input(const EquilibriumInput& input) {
  const zuna::engine::FpGuard guard;
  checked(input);
}

State equilibrium(const EquilibriumInput& input, const State* warm) {
  const zuna::engine::FpGuard guard;
  return solve(prepare(input), warm != nullptr && warm->has_values() ? warm : nullptr);
}

void equilibrium(std::span<const EquilibriumInput> in, std::span<State> out, bool warm_start,
                 const State* warm) {
  const zuna::engine::FpGuard guard;
  if (in.size() != out.size()) {
    Refusal r;
    r.argument = Argument::out;
    r.value = static_cast<double>(out.size());
    throw InputError(r, "out: " + std::to_string(out.size()) + " states for " +
                            std::to_string(in.size()) + " inputs");
  }
  // Every input fed and checked before any is solved.
  std::vector<Prepared> prepared(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    try {
      prepared[i] = checked(in[i]);
    } catch (const InputError& e) {
      Refusal r = e.refusal();
      r.index = static_cast<long long>(i);
      throw InputError(r, "point " + std::to_string(i) + ": " + e.what());
    }
  }
  {
    // A copy of the caller's warm state: out may hold it.
    State first_guess;
    const State* previous = nullptr;
    if (warm_start && warm != nullptr && warm->has_values()) {
      first_guess = *warm;
      previous = &first_guess;
    }
    for (std::size_t i = 0; i < in.size(); ++i) {
      out[i] = solve(prepared[i], previous);
      if (warm_start && out[i].has_values()) {
        previous = &out[i];
      }
    }
  }
}

namespace {

// The input error of point i, naming it.
[[noreturn]] void refuse_point(const InputError& e, std::size_t i) {
  Refusal r = e.refusal();
  r.index = static_cast<long long>(i);
  throw InputError(r, "point " + std::to_string(i) + ": " + e.what());
}

}  // namespace

void equilibrium(std::size_t n, const std::function<EquilibriumInput(std::size_t)>& input,
                 const std::function<void(std::size_t, const State&)>& output,
                 const ArrayOptions& options) {
  for_each_block(n, options, [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
      try {
        checked(input(i));
      } catch (const InputError& e) {
        refuse_point(e, i);
      }
    }
  });
  for_each_block(n, options, [&](std::size_t begin, std::size_t end) {
    State last;
    bool warm = false;
    for (std::size_t i = begin; i < end; ++i) {
      const State s = solve(prepare(input(i)), warm ? &last : nullptr);
      output(i, s);
      if (options.warm_start && s.has_values()) {
        last = s;
        warm = true;
      }
    }
  });
}

}  // namespace zuna4
