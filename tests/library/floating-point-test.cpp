// The caller's floating-point environment through every public call: traps
// the caller enabled never fire inside the library (an invalid operation it
// meets and handles, such as a comparison with a NaN input), and the
// exception flags come back as the caller left them.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "zuna4/zuna4.h"

namespace {

struct Call {
  const char* what;
  std::function<void()> run;
};

zuna4::RocketInput rocket_input() {
  zuna4::RocketInput in;
  in.pc_atm = 68.046;
  in.of = 6.0;
  in.pi_p = {10, 1000};
  in.ae_at = {1.0, 50};
  return in;
}

// Every public call, with inputs that meet NaN, a station no pressure
// reaches and the refusals; an InputError is an answer like any other.
std::vector<Call> calls() {
  auto refused = [](std::function<void()> f) {
    return [f] {
      try {
        f();
      } catch (const zuna4::InputError&) {
      }
    };
  };
  zuna4::EquilibriumInput hp;
  hp.of = 6.0;
  hp.p_atm = 20.0;
  zuna4::EquilibriumInput tp = hp, sp = hp, uv = hp, nan_p = hp, nan_rho = hp;
  tp.problem = zuna4::Problem::tp;
  tp.T_K = 2500.0;
  sp.problem = zuna4::Problem::sp;
  sp.s_kJ_kgK = 20.0;
  uv.problem = zuna4::Problem::uv;
  uv.rho_kg_m3 = 1.5;
  nan_p.p_atm = NAN;
  nan_rho.problem = zuna4::Problem::uv;
  nan_rho.rho_kg_m3 = NAN;
  zuna4::RocketInput unreachable = rocket_input();
  unreachable.pc_atm = 1e4;
  unreachable.of = 4.0;
  unreachable.pi_p = {1e10};
  unreachable.ae_at = {1e7};
  unreachable.model = zuna4::Model::frozen_chamber;
  zuna4::RocketInput nan_pc = rocket_input(), nan_pi = rocket_input();
  nan_pc.pc_atm = NAN;
  nan_pi.pi_p = {NAN};
  zuna4::BestIspSearch nan_low;
  nan_low.of_low = NAN;
  zuna4::SweepParameters nan_sweep;
  nan_sweep.p_atm = NAN;
  zuna4::SweepParameters small;
  small.npmin = 2;
  small.npmax = 2;
  return {
      {"equilibrium, each problem",
       [=] {
         for (const zuna4::EquilibriumInput& in : {hp, tp, sp, uv}) {
           (void)zuna4::equilibrium(in);
         }
       }},
      {"equilibrium, an array warm and cold",
       [=] {
         std::vector<zuna4::EquilibriumInput> in(8, hp);
         for (std::size_t i = 0; i < in.size(); ++i) {
           in[i].of = 1.0 + 4.0 * static_cast<double>(i);
         }
         std::vector<zuna4::State> out(in.size());
         zuna4::equilibrium(in, out);
         zuna4::equilibrium(in, out, false);
       }},
      {"equilibrium, p_atm NaN", refused([=] { (void)zuna4::equilibrium(nan_p); })},
      {"equilibrium, rho NaN", refused([=] { (void)zuna4::equilibrium(nan_rho); })},
      {"check_input, p_atm NaN", refused([=] { zuna4::check_input(nan_p); })},
      {"stoichiometric_of", [] { (void)zuna4::stoichiometric_of(); }},
      {"rocket, an unreachable exit", [=] { (void)zuna4::rocket(unreachable); }},
      {"rocket, pc_atm NaN", refused([=] { (void)zuna4::rocket(nan_pc); })},
      {"rocket, pi_p NaN", refused([=] { (void)zuna4::rocket(nan_pi); })},
      {"check_input, pi_p NaN", refused([=] { zuna4::check_input(nan_pi); })},
      {"rocket_sweep",
       [=] {
         zuna4::RocketInput in = unreachable;
         in.model = zuna4::Model::frozen_throat;
         const double of[] = {3.0, 4.0, 5.0};
         (void)zuna4::rocket_sweep(in, of);
       }},
      {"best_isp", [=] { (void)zuna4::best_isp(unreachable); }},
      {"best_isp, of_low NaN", refused([=] { (void)zuna4::best_isp(rocket_input(), nan_low); })},
      {"sweep", [=] { (void)zuna4::sweep(small); }},
      {"sweep, p_atm NaN", refused([=] { (void)zuna4::sweep(nan_sweep); })},
      {"check_sweep_parameters, p_atm NaN",
       refused([=] { zuna4::check_sweep_parameters(nan_sweep); })},
      {"read_sweep_data, not a data file", refused([] {
         std::istringstream text("nan\n1e999\n");
         (void)zuna4::read_sweep_data(text);
       })},
  };
}

#if defined(__GLIBC__)
constexpr int kTraps = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

// Each call in a child process with the traps enabled: a SIGFPE ends the
// child and fails the test; the child's exit status says whether the traps
// and the flags came back as they were.
TEST(LibraryFloatingPointDeathTest, TrapsTheCallerEnabledNeverFire) {
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

TEST(LibraryFloatingPoint, TheCallersFlagsAreKeptByEveryCall) {
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

}  // namespace
