// The edges: waves that do not exist refused with their reason (a mixture
// that releases no heat, a shock slower than the slowest one with a
// solution), very lean and very rich mixtures, inputs refused, warm starts
// that land where cold ones do, and the ideal gas whose shocks are known
// in closed form.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "wave-checks.h"

// Every allocation of the suite, counted.
namespace {
std::atomic<long> allocations{0};
}  // namespace
void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// The pair of the replaced new: malloc's blocks go back to free (which the
// compiler cannot see through the replacement, and would warn of).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace zuna::waves {
namespace {

using namespace testing;

// Argon alone and hydrogen alone (in its equilibrium already), cold and
// warm from a mixture that detonates; a trace of H2 in O2 releases heat and
// detonates, barely.
TEST(WavesLimits, AMixtureThatReleasesNoHeatCannotDetonate) {
  const engine::ProductSet h = engine::select_products(engine::builtin_species(), {{"H"}});
  const ReactantMoles hydrogen[] = {{"H2", 1.0}};
  const std::pair<const engine::ProductSet*, Mixture> cases[] = {
      {&products(1.0), h2_o2_ar(1.0, 1.0)}, {&h, mixture_of(h, hydrogen)},
      {&products(0.0), h2_o2_ar(0.001, 0.0)}};
  for (const auto& [set, mix] : cases) {
    WaveSolver solver(*set);
    Detonation d = solver.make_detonation();
    for (const bool cold : {true, false}) {
      if (!cold && set == &products(0.0)) solver.detonation(h2_o2_ar(1.0, 0.0), {298.15, 1.0}, d);
      solver.detonation(mix, {298.15, 1.0}, d, cold);
      if (set == &products(0.0)) {
        ASSERT_TRUE(d.has_values()) << d.flags;
        EXPECT_LT(d.det_mach, 1.5);
        expect_detonation(d, "phi 0.001");
        continue;
      }
      EXPECT_EQ(d.flags, kNoChapmanJouguet | engine::kNoSolution);
      EXPECT_TRUE(std::isnan(d.det_vel_m_s) && std::isnan(d.burned.T_K));
      EXPECT_GT(d.unburned.sound_speed_m_s, 0.0);  // gas 1 is known all the same
    }
  }
}

TEST(WavesLimits, ShocksSlowerThanTheSlowestWithASolutionAreRefused) {
  WaveSolver solver(products(0.9));
  Shock s = solver.make_shock();
  Detonation d = solver.make_detonation();
  const Mixture mix = h2_o2_ar(0.5, 0.9);  // the report's example 7
  const Initial initial{300.0, 10.0 * 133.322387415e-5};  // 10 mmHg
  ShockInput in;
  in.initial = initial;
  // Frozen: from the sound speed of gas 1 up.
  in.model = ShockModel::frozen;
  for (const double mach : {0.5, 1.0}) {
    in.mach1 = mach;
    solver.shock(mix, in, s);
    EXPECT_EQ(s.flags, kShockTooSlow | engine::kNoSolution) << mach;
    EXPECT_DOUBLE_EQ(s.slowest_m_s, s.unburned.sound_speed_m_s);
    EXPECT_TRUE(std::isnan(s.u2_m_s) && std::isnan(s.incident.P_bar));
  }
  in.mach1 = 1.001;
  solver.shock(mix, in, s);
  ASSERT_TRUE(s.has_values()) << s.flags;
  EXPECT_GT(s.p2_p1, 1.0);
  EXPECT_LT(s.u2_m_s, s.incident.sound_speed_m_s);
  // Equilibrium: a gas that burns is shocked into a strong detonation,
  // which exists from the Chapman-Jouguet speed up (the report's example 7
  // at 1000 m/s lies below it).
  solver.detonation(mix, initial, d);
  ASSERT_TRUE(d.has_values());
  in.model = ShockModel::equilibrium;
  in.mach1 = 0.0;
  for (const double u1 : {500.0, 1000.0, d.det_vel_m_s * (1.0 - 1e-9)}) {
    in.u1_m_s = u1;
    solver.shock(mix, in, s);
    EXPECT_EQ(s.flags, kShockTooSlow | engine::kNoSolution) << u1;
    EXPECT_NEAR(s.slowest_m_s, d.det_vel_m_s, 1e-9 * d.det_vel_m_s) << u1;
  }
  // From the detonation itself up, the strong state: subsonic behind, P2
  // rising with u1.
  double last_P = 0.0;
  for (const double over : {1.0, 1.0 + 1e-6, 1.001, 1.1, 1.5}) {
    in.u1_m_s = d.det_vel_m_s * over;
    solver.shock(mix, in, s);
    ASSERT_TRUE(s.has_values()) << over << ", flags " << s.flags;
    EXPECT_LE(s.u2_m_s, s.incident.sound_speed_m_s * (1.0 + 1e-8)) << over;
    EXPECT_GT(s.incident.P_bar, last_P) << over;
    last_P = s.incident.P_bar;
    expect_front(s.unburned, s.u1_m_s, s.incident, s.u2_m_s, std::to_string(over));
  }
}

TEST(WavesLimits, VeryLeanAndVeryRichMixturesConverge) {
  WaveSolver solver(products(0.5));
  Detonation d = solver.make_detonation();
  for (const double phi : {0.02, 0.05, 0.1, 8.0, 20.0, 50.0}) {
    for (const double argon : {0.0001, 0.7}) {
      const Mixture mix = h2_o2_ar(phi, argon);
      for (const double P1 : {0.01, 1.0, 50.0}) {
        const std::string where =
            "phi " + std::to_string(phi) + ", argon " + std::to_string(argon) + ", P1 " + std::to_string(P1);
        solver.detonation(mix, {298.15, P1}, d);
        ASSERT_TRUE(d.has_values()) << where << ", flags " << d.flags;
        EXPECT_GT(d.det_mach, 1.0) << where;
        expect_detonation(d, where);
      }
    }
  }
}

// H2/O2/Ar 2:1:7 at 1 bar, and the same sweep warm and cold.
TEST(WavesLimits, WarmAndColdLandOnTheSameState) {
  WaveSolver warm(products(0.5)), cold(products(0.5));
  Detonation a = warm.make_detonation(), b = cold.make_detonation();
  for (const double T1 : {250.0, 298.15, 700.0}) {
    for (const double argon : {7.0, 3.0, 0.5}) {
      const Mixture mix = h2_o2_ar(1.0, argon / (argon + 3.0));
      warm.detonation(mix, {T1, 1.0}, a);
      cold.detonation(mix, {T1, 1.0}, b, true);
      ASSERT_TRUE(a.has_values() && b.has_values());
      EXPECT_NEAR(a.det_vel_m_s / b.det_vel_m_s, 1.0, 1e-10);
      EXPECT_NEAR(a.p_ratio / b.p_ratio, 1.0, 1e-9);
      EXPECT_NEAR(a.burned.T_K / b.burned.T_K, 1.0, 1e-9);
      expect_detonation(a, "argon " + std::to_string(argon));
    }
  }
}

// Points allocate nothing once the solver and its results are made:
// detonations warm and cold, refused ones, and shocks of both models with
// their reflections.
TEST(WavesLimits, PointsAllocateNothing) {
  WaveSolver solver(products(0.5));
  Detonation d = solver.make_detonation();
  Shock s = solver.make_shock();
  const long made = allocations.load();
  const Mixture mix = h2_o2_ar(1.0, 0.5);
  ASSERT_GT(allocations.load(), made);  // the count sees the library's allocations
  ShockInput in;
  in.reflected = true;
  const long before = allocations.load();
  for (const double P1 : {1.0, 2.0}) {
    solver.detonation(mix, {298.15, P1}, d);
    solver.detonation(mix, {298.15, P1}, d, true);
    EXPECT_TRUE(d.has_values());
    for (const ShockModel model : {ShockModel::equilibrium, ShockModel::frozen}) {
      for (const double u1 : {300.0, 2500.0, 3000.0}) {
        in.initial = {298.15, P1};
        in.u1_m_s = u1;
        in.model = model;
        solver.shock(mix, in, s);
      }
    }
  }
  EXPECT_EQ(allocations.load(), before);
}

TEST(WavesLimits, InputsRefused) {
  const engine::ProductSet& set = products(0.0);
  WaveSolver solver(set);
  Detonation d = solver.make_detonation();
  Shock s = solver.make_shock();
  const ReactantMoles argon[] = {{"Ar", 1.0}};
  const ReactantMoles liquid[] = {{"H2O(L)", 1.0}};
  const ReactantMoles negative[] = {{"H2", -1.0}, {"O2", 1.0}};
  EXPECT_THROW(mixture_of(set, argon), engine::InputError);
  EXPECT_THROW(mixture_of(set, liquid), engine::InputError);
  EXPECT_THROW(mixture_of(set, negative), engine::InputError);
  const Mixture mix = h2_o2_ar(1.0, 0.0);
  EXPECT_THROW(solver.detonation(mix, {150.0, 1.0}, d), engine::InputError);
  EXPECT_THROW(solver.detonation(mix, {298.15, 0.0}, d), engine::InputError);
  EXPECT_THROW(solver.detonation(mix, {298.15, std::nan("")}, d), engine::InputError);
  ShockInput in;
  in.u1_m_s = -1000.0;
  EXPECT_THROW(solver.shock(mix, in, s), engine::InputError);
  const Mixture other = h2_o2_ar(1.0, 1.0);
  EXPECT_THROW(solver.detonation(other, {298.15, 1.0}, d), engine::InputError);
  // Results made by a solver of another set.
  Detonation foreign = WaveSolver(products(1.0)).make_detonation();
  Shock foreign_shock = WaveSolver(products(1.0)).make_shock();
  EXPECT_THROW(solver.detonation(mix, {298.15, 1.0}, foreign), engine::InputError);
  in.u1_m_s = 3000.0;
  EXPECT_THROW(solver.shock(mix, in, foreign_shock), engine::InputError);
}

// Argon is an ideal gas of gamma 5/3 (Cp = 5R/2 in its records below 6000
// K, to 1e-8 above 1000 K): its incident shock at Mach M has P2/P1 = (2 gamma M^2 - gamma + 1)/
// (gamma + 1) and rho2/rho1 = (gamma + 1) M^2/((gamma - 1) M^2 + 2), its
// reflected shock P5/P2 = ((3 gamma - 1) M^2 - 2 (gamma - 1))/((gamma - 1)
// M^2 + 2); both models alike, nothing reacts.
TEST(WavesLimits, ShocksInAnIdealGasAsInClosedForm) {
  WaveSolver solver(products(1.0));
  Shock s = solver.make_shock();
  const Mixture mix = h2_o2_ar(1.0, 1.0);
  const double g = 5.0 / 3.0;
  for (const ShockModel model : {ShockModel::frozen, ShockModel::equilibrium}) {
    for (const double M : {1.2, 2.0, 4.0}) {
      ShockInput in;
      in.initial = {300.0, 0.1};
      in.mach1 = M;
      in.model = model;
      in.reflected = true;
      solver.shock(mix, in, s);
      ASSERT_TRUE(s.has_values() && s.reflected_flags == 0) << M << " " << s.flags;
      EXPECT_NEAR(s.unburned.gamma_s, g, 1e-12);
      EXPECT_NEAR(s.p2_p1, (2.0 * g * M * M - g + 1.0) / (g + 1.0), 1e-9 * s.p2_p1) << M;
      EXPECT_NEAR(s.rho2_rho1, (g + 1.0) * M * M / ((g - 1.0) * M * M + 2.0), 1e-9 * s.rho2_rho1);
      EXPECT_NEAR(s.p5_p2, ((3.0 * g - 1.0) * M * M - 2.0 * (g - 1.0)) / ((g - 1.0) * M * M + 2.0),
                  1e-9 * s.p5_p2)
          << M;
      EXPECT_NEAR(s.m2_m1, 1.0, 1e-14);
      EXPECT_NEAR(s.incident.gamma_s, g, 1e-7);  // Cp/R of the records above 1000 K: 2.5 to 1e-8
    }
  }
}

}  // namespace
}  // namespace zuna::waves
