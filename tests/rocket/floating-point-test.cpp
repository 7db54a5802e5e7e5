// The caller's floating-point environment through the rocket library's
// calls: traps the caller enabled never fire inside (a NaN input, a station
// past the engine's range, an exit no pressure gives), the flags come back
// as they were, and a sweep's receiver runs in the caller's environment.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <vector>

#include "rocket/rocket.h"

namespace zuna::rocket {
namespace {

const engine::ThermoData& data() { return engine::builtin_nasa9_data(); }

struct Call {
  const char* what;
  std::function<void()> run;
};

std::vector<Call> calls() {
  auto refused = [](std::function<void()> f) {
    return [f] {
      try {
        f();
      } catch (const InputError&) {
      }
    };
  };
  RocketInput failing;  // stations below 100 K and an area no pressure gives
  failing.pc_atm = 1e4;
  failing.of = 4.0;
  failing.pi_p = {100, 1e10};
  failing.ae_at = {1.0, 10, 1e7};
  failing.model = Model::frozen_chamber;
  RocketInput nan_pc = failing, nan_pi = failing;
  nan_pc.pc_atm = NAN;
  nan_pi.pi_p = {NAN};
  BestIspSearch nan_high;
  nan_high.of_high = NAN;
  const std::vector<double> of = {3.0, 4.0, 5.0};
  const Model models[] = {Model::equilibrium, Model::frozen_throat};
  return {
      {"rocket_performance, failing stations",
       [=] {
         for (Model m : models) {
           RocketInput p = failing;
           p.model = m;
           (void)rocket_performance(data(), p);
         }
       }},
      {"rocket_performance, models at once",
       [=] { (void)rocket_performance(data(), failing, models); }},
      {"rocket_performance, pc_atm NaN",
       refused([=] { (void)rocket_performance(data(), nan_pc); })},
      {"rocket_performance, pi_p NaN", refused([=] { (void)rocket_performance(data(), nan_pi); })},
      {"check_problem, pc_atm NaN", refused([=] { check_problem(data(), nan_pc); })},
      {"rocket_sweep", [=] { (void)rocket_sweep(data(), failing, of); }},
      {"rocket_sweep, models", [=] { (void)rocket_sweep(data(), failing, of, models); }},
      {"best_isp", [=] { (void)best_isp(data(), failing); }},
      {"best_isp, of_high NaN", refused([=] { (void)best_isp(data(), failing, nan_high); })},
      {"check_best_isp_search, of_high NaN",
       refused([=] { check_best_isp_search(data(), nan_high); })},
  };
}

#if defined(__GLIBC__)
constexpr int kTraps = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// Each call in a child process with the traps enabled: a SIGFPE ends the
// child and fails the test; the exit status says whether the traps and the
// flags came back as they were.
TEST(RocketFloatingPointDeathTest, TrapsTheCallerEnabledNeverFire) {
  (void)data();
  for (const Call& call : calls()) {
    EXPECT_EXIT(
        {
          std::feclearexcept(FE_ALL_EXCEPT);
          feenableexcept(kTraps);
          call.run();
          const bool kept = fegetexcept() == kTraps && std::fetestexcept(FE_ALL_EXCEPT) == 0;
          std::_Exit(kept ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "")
        << call.what;
  }
}
#endif

TEST(RocketFloatingPoint, TheCallersFlagsAreKeptByEveryCall) {
  (void)data();  // parsed on first use, outside any call of the library
  for (const Call& call : calls()) {
    std::feclearexcept(FE_ALL_EXCEPT);
    call.run();
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0) << call.what << ": a flag left raised";
    std::feraiseexcept(FE_ALL_EXCEPT);
    call.run();
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), FE_ALL_EXCEPT) << call.what << ": a flag lost";
    std::feclearexcept(FE_ALL_EXCEPT);
  }
}

// The receiver of a sweep's results is the caller's code: it sees the
// caller's flags, and what it raises stays raised.
TEST(RocketFloatingPoint, TheSweepsReceiverRunsInTheCallersEnvironment) {
  RocketInput p;
  p.pc_atm = 68.046;
  p.pi_p = {10};
  const std::vector<double> of = {4.0, 6.0};
  const Model models[] = {Model::equilibrium};
  std::feclearexcept(FE_ALL_EXCEPT);
  std::feraiseexcept(FE_DIVBYZERO);
  int seen = 0;
  rocket_sweep_each(data(), p, of, models, [&](std::size_t, std::size_t, const RocketResult&) {
    seen += (std::fetestexcept(FE_ALL_EXCEPT) & ~FE_OVERFLOW) == FE_DIVBYZERO ? 1 : 0;
    std::feraiseexcept(FE_OVERFLOW);
    return true;
  });
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), FE_DIVBYZERO | FE_OVERFLOW);
  std::feclearexcept(FE_ALL_EXCEPT);
}

}  // namespace
}  // namespace zuna::rocket
