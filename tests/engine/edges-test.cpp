// The edges of the engine's range and its promises to callers: inputs out
// of range refused with a message naming them, flags on points it cannot
// give plainly, the caller's floating-point flags untouched, warm starts that
// land where cold ones do, and two threads at once.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/engine.h"

namespace zuna::engine {
namespace {

const ThermoData& data() { return builtin_nasa9_data(); }

std::string slurp(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}
double st() { return stoichiometric_of(data()); }

Mixture liquid(double r) { return Mixture{r * st(), {}}; }
Mixture gas(double r) {
  Reactants g;
  g.set = ReactantSet::gas;
  return Mixture{r * st(), g};
}

// The message of the InputError `call` throws, or "" when it throws none.
template <class Call>
std::string refusal(Call call) {
  try {
    call();
  } catch (const InputError& e) {
    return e.what();
  }
  return "";
}

TEST(EngineEdges, RefusesInputsOutsideItsRange) {
  const double nan = std::nan("");
  for (double r : {0.0999, 40.01, nan}) {
    EXPECT_NE(refusal([&] { flame(data(), liquid(r), 1.0); }).find("of = "), std::string::npos)
        << r;
  }
  EXPECT_EQ(refusal([&] { flame(data(), liquid(0.1), 1.0); }), "");
  EXPECT_EQ(refusal([&] { flame(data(), liquid(40.0), 1.0); }), "");
  for (double p : {0.99e-6, 1.01e5, nan, -1.0}) {
    EXPECT_NE(refusal([&] { flame(data(), liquid(1.0), p); }).find("p_atm"), std::string::npos)
        << p;
  }
  Condition tp;
  tp.mode = Mode::TP;
  tp.p_atm = 1.0;
  const Feed feed = feed_of(data(), liquid(1.0));
  for (double T : {199.99, 6000.01, nan}) {
    tp.T_K = T;
    EXPECT_NE(refusal([&] { equilibrium(data(), feed, tp); }).find("T_K"), std::string::npos);
  }
  Mixture cold_gas = gas(1.0);
  cold_gas.reactants.T_K = 150.0;
  EXPECT_NE(refusal([&] { feed_of(data(), cold_gas); }).find("reactants.T_K"), std::string::npos);
  Condition uv;
  uv.mode = Mode::UV;
  uv.v_m3_kg = 0.0;
  EXPECT_NE(refusal([&] { equilibrium(data(), feed, uv); }).find("v_m3_kg"), std::string::npos);
  Composition none;
  EXPECT_NE(refusal([&] { frozen_state(data(), none, 1000.0, 1.0); }).find("composition"),
            std::string::npos);
  // A frozen state's pressure and temperature are refused as the engine's,
  // the value written so that it reads as itself (not 0.000000).
  const Composition some = composition_of(flame(data(), liquid(1.0), 1.0));
  EXPECT_EQ(refusal([&] { frozen_state(data(), some, 1000.0, 1e-9); }),
            "p_atm = 1e-09: the pressure must lie in 1e-06..1e+05 atm");
  EXPECT_EQ(refusal([&] { frozen_state(data(), some, 6000.5, 1.0); }),
            "T_K = 6000.5: the temperature must lie in 200..6000 K");

  // A sweep refuses before it computes anything.
  const std::vector<double> of = {st(), 50.0 * st()};
  std::vector<State> out(2);
  out[0].iterations = -7;
  EXPECT_NE(refusal([&] { flame_sweep(data(), of, {}, 1.0, out); }), "");
  EXPECT_EQ(out[0].iterations, -7);
}

// What the front ends word their messages from: the argument, the value
// and the range, never the text.
Refusal refusal_of(const std::function<void()>& call) {
  try {
    call();
  } catch (const InputError& e) {
    return e.refusal();
  }
  ADD_FAILURE() << "accepted";
  return {};
}

TEST(EngineEdges, RefusalsCarryTheArgumentTheValueAndTheRange) {
  const Refusal of = refusal_of([] { flame(data(), liquid(0.05), 1.0); });
  EXPECT_EQ(of.argument, Argument::of);
  EXPECT_EQ(of.value, 0.05 * st());
  EXPECT_EQ(of.bounds, Bounds::closed);
  EXPECT_EQ(of.low, kOfMinFactor * st());
  EXPECT_EQ(of.high, kOfMaxFactor * st());
  const Refusal p = refusal_of([] { flame(data(), liquid(1.0), 2e5); });
  EXPECT_EQ(p.argument, Argument::p_atm);
  EXPECT_EQ(p.value, 2e5);
  EXPECT_EQ(p.low, kPMinAtm);
  EXPECT_EQ(p.high, kPMaxAtm);
  Mixture hot_gas = gas(1.0);
  hot_gas.reactants.T_K = 7000.0;
  const Refusal t = refusal_of([&] { feed_of(data(), hot_gas); });
  EXPECT_EQ(t.argument, Argument::reactants_T_K);
  EXPECT_EQ(t.value, 7000.0);
  EXPECT_EQ(t.low, kTMinK);
  EXPECT_EQ(t.high, kTMaxK);
  Condition tp;
  tp.mode = Mode::TP;
  tp.p_atm = 1.0;
  tp.T_K = 50.0;
  const Refusal T = refusal_of([&] { check_condition(tp); });
  EXPECT_EQ(T.argument, Argument::T_K);
  EXPECT_EQ(T.value, 50.0);
  Condition uv;
  uv.mode = Mode::UV;
  uv.v_m3_kg = -1.0;
  const Refusal v = refusal_of([&] { check_condition(uv); });  // the pressure is not UV's
  EXPECT_EQ(v.argument, Argument::v_m3_kg);
  EXPECT_EQ(v.bounds, Bounds::above);
  EXPECT_EQ(v.low, 0.0);
  std::vector<State> out(1);
  const std::vector<double> two = {st(), st()};
  EXPECT_EQ(refusal_of([&] { flame_sweep(data(), two, {}, 1.0, out); }).argument, Argument::out);
}

TEST(EngineEdges, EndsOfTheRangeConvergeWithoutFlags) {
  for (double r : {0.1, 40.0}) {
    for (double p : {1e-6, 1.0, 1e5}) {
      for (const Mixture& m : {liquid(r), gas(r)}) {
        const State pt = flame(data(), m, p);
        EXPECT_TRUE(pt.converged()) << r << " " << p;
        EXPECT_EQ(pt.flags, 0u) << r << " " << p;
        EXPECT_GT(pt.T_K, kTMinK);
      }
    }
  }
}

// A pressure given in atm comes back as given, and in bar as its product
// with 1.01325 (not the rounding of exp(ln p): 10 atm is 10.1325 bar).
TEST(EngineEdges, GivenPressuresComeBackExactly) {
  for (double p : {1e-6, 0.3, 1.0, 10.0, 68.046, 100.0, 1e5}) {
    const State hp = flame(data(), liquid(1.0), p);
    ASSERT_TRUE(hp.converged()) << p;
    EXPECT_EQ(hp.p_atm, p);
    EXPECT_EQ(hp.P_bar, p * kAtmBar);
    const Feed feed = feed_of(data(), liquid(1.0));
    Condition tp;
    tp.mode = Mode::TP;
    tp.T_K = 3000.0;
    tp.p_atm = p;
    const State t = equilibrium(data(), feed, tp);
    EXPECT_EQ(t.p_atm, p);
    EXPECT_EQ(t.P_bar, p * kAtmBar);
    Condition sp;
    sp.mode = Mode::SP;
    sp.p_atm = p;
    sp.s_kJ_kgK = hp.S_kJ_kgK;
    const State s = equilibrium(data(), feed_of(hp), sp, &hp);
    EXPECT_EQ(s.p_atm, p);
    EXPECT_EQ(s.P_bar, p * kAtmBar);
    const State f = frozen_state(data(), composition_of(hp), 2000.0, p);
    EXPECT_EQ(f.p_atm, p);
    EXPECT_EQ(f.P_bar, p * kAtmBar);
  }
  EXPECT_EQ(flame(data(), liquid(1.0), 10.0).P_bar, 10.1325);
}

// A mixture whose enthalpy puts its flame below 200 K: the liquid oxidizer
// given a lower enthalpy than it has, far on the lean side.
State cold_flame(double h_oxid_J_mol) {
  Mixture m = liquid(40.0);
  m.reactants.set = ReactantSet::custom;
  m.reactants.h_oxid_J_mol = h_oxid_J_mol;
  return flame(data(), m, 1.0);
}

void expect_no_values(const State& p) {
  EXPECT_FALSE(p.has_values());
  EXPECT_TRUE(p.flags & kNoSolution);
  for (double v : {p.T_K, p.H_kJ_kg, p.S_kJ_kgK, p.rho_kg_m3, p.gamma_s, p.x[0], p.n_mol_kg[5]}) {
    EXPECT_TRUE(std::isnan(v));
  }
}

TEST(EngineEdges, ResultsBeyondTheDataAreFlaggedOrRefused) {
  // Extrapolated below 200 K, with values.
  const State low = cold_flame(-15000.0);
  EXPECT_EQ(low.flags, unsigned(kExtrapolatedLow)) << low.T_K;
  EXPECT_GT(low.T_K, kTExtrapolatedMinK);
  EXPECT_LT(low.T_K, kTMinK);
  const State lower = cold_flame(-16500.0);
  EXPECT_EQ(lower.flags, unsigned(kExtrapolatedLow)) << lower.T_K;
  EXPECT_GT(lower.T_K, kTExtrapolatedMinK);
  // Below 100 K: no solution, no values.
  const State colder = cold_flame(-18000.0);
  EXPECT_TRUE(colder.flags & kBelowRange) << colder.flags;
  expect_no_values(colder);

  // Above 6000 K: hot gases at 6000 K fed in, a little more enthalpy than
  // the equilibrium at 6000 K has, then much more.
  const Feed feed = feed_of(data(), gas(1.0));
  Condition c;
  c.mode = Mode::TP;
  c.T_K = 6000.0;
  c.p_atm = 1.0;
  const State at6000 = equilibrium(data(), feed, c);
  c.mode = Mode::HP;
  c.h_kJ_kg = at6000.H_kJ_kg + 200.0 * at6000.Cp_kJ_kgK;
  const State high = equilibrium(data(), feed, c);
  EXPECT_EQ(high.flags, unsigned(kExtrapolatedHigh)) << high.T_K;
  EXPECT_GT(high.T_K, kTMaxK);
  EXPECT_LT(high.T_K, kTExtrapolatedMaxK);
  c.h_kJ_kg = at6000.H_kJ_kg + 2000.0 * at6000.Cp_kJ_kgK;
  const State higher = equilibrium(data(), feed, c);
  EXPECT_TRUE(higher.flags & kAboveRange) << higher.flags;
  expect_no_values(higher);
}

// A frozen expansion (or cooling) past 100 K ends with kBelowRange and no
// values within a few steps, from any start; down to 100 K it converges.
// Along falling pressures the answer goes from converged to below range
// once and stays there.
TEST(EngineEdges, FrozenSolvesStopBelow100K) {
  for (double r : {0.2, 1.0, 4.0}) {
    const State hot = flame(data(), liquid(r), 50.0);
    const Composition c = composition_of(hot);
    bool below = false;
    for (double p = 1.0; p >= 1e-6; p /= 2.0) {
      for (double guess : {0.0, hot.T_K, kTExtrapolatedMinK, 150.0}) {
        const State q = frozen_sp(data(), c, hot.S_kJ_kgK, p, guess);
        EXPECT_LE(q.iterations, 15) << r << " " << p << " " << guess;
        if (q.has_values()) {
          EXPECT_FALSE(below) << r << " " << p << " " << guess;
          EXPECT_GE(q.T_K, kTExtrapolatedMinK);
          EXPECT_NEAR(q.S_kJ_kgK, hot.S_kJ_kgK, 1e-12 * hot.S_kJ_kgK);
        } else {
          EXPECT_EQ(q.flags, unsigned(kBelowRange | kNoSolution)) << r << " " << p;
          expect_no_values(q);
        }
      }
      below = !frozen_sp(data(), c, hot.S_kJ_kgK, p, hot.T_K).has_values();
    }
    EXPECT_TRUE(below) << r;  // 1e-6 atm lies below 100 K for every mixture here
    const State cooled = frozen_hp(data(), c, hot.H_kJ_kg - 1e5, 50.0, hot.T_K);
    EXPECT_EQ(cooled.flags, unsigned(kBelowRange | kNoSolution)) << r;
    EXPECT_LE(cooled.iterations, 15);
  }
}

// Conditions spread over the whole range (O/F, p, reactants, T; TP, HP,
// SP from a TP state to any pressure, UV of a TP state): each ends
// converged, extrapolated, or without a solution below 100 K or above
// 6500 K, and never by running out of steps.
TEST(EngineEdges, EveryConditionOfTheRangeEndsConvergedOrFlagged) {
  const double golden = 0.6180339887498949;
  double u = 0.5;
  auto next = [&] {  // a low-discrepancy sequence: the same on every machine
    u += golden;
    u -= std::floor(u);
    return u;
  };
  int no_solution = 0, extrapolated = 0;
  for (int k = 0; k < 4000; ++k) {
    Mixture m{0.1 * st() * std::pow(400.0, next()), {}};
    if (k % 3 == 1) {
      m.reactants.set = ReactantSet::gas;
      m.reactants.T_K = 200.0 + 5800.0 * next();
    } else if (k % 3 == 2) {
      m.reactants.set = ReactantSet::custom;
      m.reactants.h_fuel_J_mol = -20000.0 + 60000.0 * next();
      m.reactants.h_oxid_J_mol = -20000.0 + 60000.0 * next();
    }
    const double p = 1e-6 * std::pow(1e11, next());
    const Feed feed = feed_of(data(), m);
    Condition tp;
    tp.mode = Mode::TP;
    tp.T_K = 200.0 + 5800.0 * next();
    tp.p_atm = p;
    const State state = equilibrium(data(), feed, tp);
    ASSERT_TRUE(state.converged() && state.flags == 0) << k;
    State q;
    switch ((k / 3) % 3) {
      case 0: q = flame(data(), m, p); break;
      case 1: {
        Condition sp;
        sp.mode = Mode::SP;
        sp.s_kJ_kgK = state.S_kJ_kgK;
        sp.p_atm = 1e-6 * std::pow(1e11, next());
        q = equilibrium(data(), feed, sp, k % 2 ? &state : nullptr);
        break;
      }
      default: {
        Condition uv;
        uv.mode = Mode::UV;
        uv.u_kJ_kg = state.U_kJ_kg;
        uv.v_m3_kg = 1.0 / state.rho_kg_m3;
        q = equilibrium(data(), feed, uv);
        EXPECT_NEAR(q.T_K, state.T_K, 1e-10 * state.T_K) << k;
      }
    }
    EXPECT_EQ(q.flags & (kNotConverged | kSingular | kFloatingPoint), 0u) << k;
    EXPECT_LE(q.iterations, 30) << k;
    if (!q.has_values()) {
      EXPECT_NE(q.flags & (kBelowRange | kAboveRange), 0u) << k;
      ++no_solution;
    } else if (q.flags != 0) {
      EXPECT_NE(q.flags & (kExtrapolatedLow | kExtrapolatedHigh), 0u) << k;
      ++extrapolated;
    }
  }
  // The sample reaches both outcomes.
  EXPECT_GT(no_solution, 0);
  EXPECT_GT(extrapolated, 0);
}

// Data whose atomic oxygen overflows at any temperature.
ThermoData overflowing_data() {
  ThermoData d = data();
  for (PolyRange& r : d.species[kO].range) {
    r.a[6] = 1e308;
  }
  return d;
}

TEST(EngineEdges, FloatingPointFlagsAreLeftAsFound) {
  constexpr int kAll = FE_ALL_EXCEPT;
  // Every input is made before the flags are set: only engine calls run
  // between the setting and the test.
  const ThermoData bad = overflowing_data();
  const Mixture stoich = liquid(1.0), rich = liquid(0.1), far = liquid(40.0);
  Mixture cold = far;
  cold.reactants.set = ReactantSet::custom;
  cold.reactants.h_oxid_J_mol = -18000.0;
  Condition tp;
  tp.mode = Mode::TP;
  tp.T_K = 200.0;
  tp.p_atm = 1e-6;
  std::istringstream records(slurp(ZUNA_DATA_DIR "/nasa9-h2o2.inp"));
  auto calls = [&] {
    const State p = flame(data(), stoich, 1.0);
    equilibrium(data(), feed_of(data(), rich), tp);  // trace amounts underflow
    EXPECT_FALSE(flame(data(), cold, 1.0).has_values());
    frozen_sp(data(), composition_of(p), 15.0, 0.01);
    const State faulty = flame(bad, stoich, 1.0);
    EXPECT_FALSE(faulty.has_values());
    EXPECT_NE(faulty.flags & (kFloatingPoint | kSingular | kNotConverged), 0u) << faulty.flags;
    refusal([&] { flame(data(), stoich, 1e9); });
    refusal([&] { flame(data(), Mixture{1e9, {}}, 1.0); });
    species_functions(data(), 1234.5);
    stoichiometric_of(data());
    feed_of(p);
    records.clear();
    records.seekg(0);
    read_nasa9_data(records, "nasa9-h2o2.inp");
  };
  std::feclearexcept(kAll);
  calls();
  EXPECT_EQ(std::fetestexcept(kAll), 0);
  std::feraiseexcept(kAll);
  calls();
  EXPECT_EQ(std::fetestexcept(kAll), kAll);
  std::feclearexcept(kAll);
}

TEST(EngineEdges, FaultInsideBecomesAFlag) {
  const State p = frozen_state(overflowing_data(), composition_of(flame(data(), liquid(1.0), 1.0)),
                               3000.0, 1.0);
  EXPECT_EQ(p.flags, unsigned(kFloatingPoint | kNoSolution));
  expect_no_values(p);
}

TEST(EngineEdges, WarmStartsLandWhereColdOnesDo) {
  std::vector<double> of;
  for (int k = 0; k <= 60; ++k) {
    of.push_back(0.1 * st() * std::pow(400.0, k / 60.0));
  }
  for (double p : {1e-6, 1.0, 1e5}) {
    for (const Reactants& reac : {Reactants{}, gas(1.0).reactants}) {
      std::vector<State> warm(of.size());
      flame_sweep(data(), of, reac, p, warm);
      for (std::size_t k = 0; k < of.size(); ++k) {
        const State cold = flame(data(), Mixture{of[k], reac}, p);
        ASSERT_TRUE(warm[k].converged() && cold.converged());
        EXPECT_NEAR(warm[k].T_K, cold.T_K, 1e-11 * cold.T_K);
        for (int j = 0; j < kSpeciesCount; ++j) {
          EXPECT_NEAR(warm[k].x[j], cold.x[j], 1e-11 * cold.x[j] + 1e-15);
        }
        if (k > 0) {
          EXPECT_LE(warm[k].iterations, 6) << "of " << of[k] << ", p " << p;
          EXPECT_LT(warm[k].iterations, cold.iterations) << "of " << of[k] << ", p " << p;
        }
      }
    }
  }
}

// A solve from a guess that fails is solved again cold: the point of a far
// guess (a neighbour of the sweep that lies across the range) and of a
// guess of nonsense is the cold point, never a flagged one.
TEST(EngineEdges, AWarmStartThatFailsIsSolvedAgainCold) {
  Condition hot, cool;
  hot.mode = cool.mode = Mode::TP;
  hot.p_atm = cool.p_atm = 1e-6;
  hot.T_K = 5700.0;
  cool.T_K = 640.0;
  const State far = equilibrium(data(), feed_of(data(), liquid(40.0)), hot);
  ASSERT_TRUE(far.converged());
  const Feed rich = feed_of(data(), liquid(0.1));
  const State cold = equilibrium(data(), rich, cool);
  ASSERT_TRUE(cold.converged());
  const State warm = equilibrium(data(), rich, cool, &far);
  EXPECT_EQ(warm.flags, 0u);
  EXPECT_NEAR(warm.x[kH2O], cold.x[kH2O], 1e-11);

  Condition flame_at_1;
  flame_at_1.mode = Mode::HP;
  flame_at_1.p_atm = 1.0;
  const Feed stoich = feed_of(data(), liquid(1.0));
  flame_at_1.h_kJ_kg = stoich.h0_kJ_kg;
  Condition tp = flame_at_1;
  tp.mode = Mode::TP;
  tp.T_K = 3000.0;
  for (const Condition& c : {flame_at_1, tp}) {
    const State reference = equilibrium(data(), stoich, c);
    ASSERT_TRUE(reference.converged());
    for (double T : {1e-200, 1e-3, 150.0, 1e200}) {
      for (double scale : {1e-300, 1.0, 1e300}) {
        State nonsense = reference;
        nonsense.T_K = T;
        nonsense.n_total_mol_kg *= scale;
        for (double& n : nonsense.n_mol_kg) {
          n *= scale;
        }
        const State p = equilibrium(data(), stoich, c, &nonsense);
        ASSERT_TRUE(p.converged()) << "T " << T << ", amounts times " << scale << ": " << p.flags;
        EXPECT_NEAR(p.T_K, reference.T_K, 1e-9 * reference.T_K) << T << " " << scale;
      }
    }
  }
  // A frozen solve's guess that is no temperature of the range starts it
  // where no guess does, without a fault.
  const Composition products = composition_of(equilibrium(data(), stoich, flame_at_1));
  const State no_guess = frozen_sp(data(), products, 12.0, 0.1);
  ASSERT_TRUE(no_guess.converged());
  for (double T : {double{NAN}, -1.0, 1e-200, 1e200}) {
    const State q = frozen_sp(data(), products, 12.0, 0.1, T);
    EXPECT_EQ(q.flags, no_guess.flags) << T;
    EXPECT_EQ(q.T_K, no_guess.T_K) << T;
  }
}

TEST(EngineEdges, TwoThreadsAtOnce) {
  std::vector<double> of;
  for (int k = 0; k < 200; ++k) {
    of.push_back((0.2 + 0.05 * k) * 7.93668273905);
  }
  // The first use of the built-in data is inside the threads.
  std::vector<State> a(of.size()), b(of.size());
  std::thread one([&] { flame_sweep(builtin_nasa9_data(), of, {}, 1.0, a); });
  std::thread two([&] { flame_sweep(builtin_nasa9_data(), of, {}, 1.0, b); });
  one.join();
  two.join();
  std::vector<State> alone(of.size());
  flame_sweep(data(), of, {}, 1.0, alone);
  for (std::size_t k = 0; k < of.size(); ++k) {
    EXPECT_EQ(a[k].T_K, alone[k].T_K);
    EXPECT_EQ(b[k].T_K, alone[k].T_K);
    EXPECT_EQ(a[k].x[kOH], alone[k].x[kOH]);
    EXPECT_EQ(b[k].x[kOH], alone[k].x[kOH]);
  }
}

}  // namespace
}  // namespace zuna::engine
