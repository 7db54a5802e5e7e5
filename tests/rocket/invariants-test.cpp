// What must hold for any problem, whatever the reference says: the
// expansion is isentropic, the throat sonic and of the highest mass flux,
// the frozen parts keep their composition, frozen_throat shares its chamber
// and throat with equilibrium, warm starts change nothing, the best O/F is a
// maximum, impossible stations are flagged without a valid-looking number,
// the caller's floating-point flags survive, and bad input is refused.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "rocket/rocket.h"

namespace zuna::rocket {
namespace {

const engine::ThermoData& data() { return engine::builtin_nasa9_data(); }

RocketInput problem(double pc_atm, double of, Model model) {
  RocketInput p;
  p.pc_atm = pc_atm;
  p.of = of;
  p.pi_p = {1.2, 10, 300};
  p.ae_at = {1.5, 40, 200};
  p.model = model;
  return p;
}

const char* name(Model m) {
  return m == Model::equilibrium      ? "equilibrium"
         : m == Model::frozen_chamber ? "frozen_chamber"
                                      : "frozen_throat";
}

// The doubles of a point, in declaration order.
std::vector<double> values(const engine::State& p) {
  std::vector<double> v = {p.P_bar,
                           p.p_atm,
                           p.T_K,
                           p.rho_kg_m3,
                           p.H_kJ_kg,
                           p.U_kJ_kg,
                           p.G_kJ_kg,
                           p.S_kJ_kgK,
                           p.M,
                           p.dlnV_dlnP_T,
                           p.dlnV_dlnT_P,
                           p.Cp_kJ_kgK,
                           p.gamma_s,
                           p.son_vel_m_s,
                           p.Cp_fr_kJ_kgK,
                           p.gamma_fr,
                           p.son_vel_fr_m_s,
                           p.n_total_mol_kg};
  for (int j = 0; j < engine::kSpeciesCount; ++j) {
    v.insert(v.end(), {p.n_mol_kg[j], p.x[j], p.y[j]});
  }
  return v;
}

std::vector<double> values(const Station& s) {
  std::vector<double> v = values(s.state);
  v.insert(v.end(), {s.mach, s.pinf_p, s.ae_at, s.cstar_m_s, s.cf, s.ivac_m_s, s.isp_m_s});
  return v;
}

void expect_bitwise_equal(const Station& a, const Station& b, const std::string& what) {
  const std::vector<double> va = values(a), vb = values(b);
  for (std::size_t i = 0; i < va.size(); ++i) {
    EXPECT_EQ(std::memcmp(&va[i], &vb[i], sizeof(double)), 0) << what << ", value " << i;
  }
  EXPECT_EQ(a.flags, b.flags) << what;
}

void expect_all_nan(const Station& s, const std::string& what) {
  for (double v : values(s)) {
    EXPECT_TRUE(std::isnan(v)) << what << " shows a number: " << v;
  }
}

// Two results of one model and O/F agree to the solvers' tolerance.
void expect_close(const RocketResult& got, const RocketResult& want, const std::string& what) {
  ASSERT_EQ(got.stations.size(), want.stations.size()) << what;
  for (std::size_t k = 0; k < want.stations.size(); ++k) {
    const std::vector<double> a = values(got.stations[k]), b = values(want.stations[k]);
    for (std::size_t v = 0; v < a.size(); ++v) {
      if (std::isnan(b[v])) {
        EXPECT_TRUE(std::isnan(a[v])) << what << " station " << k << " value " << v;
      } else {
        EXPECT_NEAR(a[v], b[v], 1e-8 * std::fabs(b[v]) + 1e-12)
            << what << " station " << k << " value " << v;
      }
    }
  }
}

// Shifting, frozen and partly frozen expansions at low, middle and high
// chamber pressure, lean and rich, liquid and gaseous reactants.
struct Case {
  double pc_atm;
  double of;
  Model model;
  engine::ReactantSet reactants;
};

class Expansion : public ::testing::TestWithParam<Case> {};

TEST_P(Expansion, IsentropicSonicThroatAndConsistentPerformance) {
  const Case c = GetParam();
  RocketInput p = problem(c.pc_atm, c.of, c.model);
  p.reactants.set = c.reactants;
  const RocketResult r = rocket_performance(data(), p);
  ASSERT_EQ(r.stations.size(), 8u);
  for (const Station& s : r.stations) {
    ASSERT_TRUE(s.valid()) << "flags " << s.flags;
  }
  const Station& chamber = r.chamber();
  const Station& throat = r.throat();
  EXPECT_EQ(chamber.mach, 0.0);
  EXPECT_EQ(chamber.pinf_p, 1.0);
  for (double v :
       {chamber.ae_at, chamber.cstar_m_s, chamber.cf, chamber.ivac_m_s, chamber.isp_m_s}) {
    EXPECT_TRUE(std::isnan(v));
  }
  EXPECT_NEAR(throat.mach, 1.0, 1e-9);
  EXPECT_EQ(throat.ae_at, 1.0);
  for (const Station& s : r.stations) {
    EXPECT_NEAR(s.state.S_kJ_kgK, chamber.state.S_kJ_kgK, 1e-9 * std::fabs(chamber.state.S_kJ_kgK));
  }
  for (const Station& s : r.exits()) {
    EXPECT_EQ(s.cstar_m_s, throat.cstar_m_s);
    EXPECT_GE(s.ae_at, 1.0);  // the throat has the highest mass flux
    if (s.kind == StationKind::pressure_ratio) {
      EXPECT_NEAR(s.pinf_p, s.exit_value, 1e-12 * s.exit_value);
    } else {
      EXPECT_NEAR(s.ae_at, s.exit_value, 1e-9 * s.exit_value);
      EXPECT_GT(s.mach, 1.0);  // the supersonic exit of that area
    }
  }
  EXPECT_LT(r.exits()[0].mach, 1.0);  // Pc/Pe = 1.2 lies before the throat
  EXPECT_GT(r.exits()[2].isp_m_s, r.exits()[1].isp_m_s);
  // Frozen parts keep the composition of the station they were frozen at.
  if (c.model != Model::equilibrium) {
    const Station& frozen_at = c.model == Model::frozen_chamber ? chamber : throat;
    for (const Station& s : r.exits()) {
      if (c.model == Model::frozen_throat && s.mach < 1.0) {
        // Before the throat the flow of frozen_throat is still shifting.
        EXPECT_NE(s.state.n_mol_kg[engine::kOH], frozen_at.state.n_mol_kg[engine::kOH]);
        EXPECT_NE(s.state.gamma_s, s.state.gamma_fr);
        continue;
      }
      for (int j = 0; j < engine::kSpeciesCount; ++j) {
        EXPECT_EQ(s.state.n_mol_kg[j], frozen_at.state.n_mol_kg[j]) << engine::species_name(j);
      }
      EXPECT_EQ(s.state.gamma_s, s.state.gamma_fr);
      EXPECT_EQ(s.state.son_vel_m_s, s.state.son_vel_fr_m_s);
    }
  }
  if (c.model == Model::frozen_chamber) {
    EXPECT_EQ(chamber.state.son_vel_m_s, chamber.state.son_vel_fr_m_s);
    EXPECT_EQ(chamber.state.Cp_kJ_kgK, chamber.state.Cp_fr_kJ_kgK);
  }
}

std::string case_name(const ::testing::TestParamInfo<Case>& info) {
  const Case& c = info.param;
  std::string s = std::string(name(c.model)) + "_pc" + std::to_string(int(c.pc_atm * 1000)) +
                  "_of" + std::to_string(int(c.of * 100)) +
                  (c.reactants == engine::ReactantSet::gas ? "_gas" : "_liquid");
  return s;
}

std::vector<Case> cases() {
  std::vector<Case> out;
  for (Model m : {Model::equilibrium, Model::frozen_chamber, Model::frozen_throat}) {
    for (double pc : {0.01, 68.046, 3000.0}) {
      for (double of : {2.0, 7.9, 20.0}) {
        out.push_back({pc, of, m, engine::ReactantSet::liquid});
      }
      out.push_back({pc, 5.0, m, engine::ReactantSet::gas});
    }
  }
  return out;
}

INSTANTIATE_TEST_SUITE_P(Rocket, Expansion, ::testing::ValuesIn(cases()), case_name);

TEST(RocketModels, FrozenThroatSharesChamberAndThroatWithEquilibrium) {
  for (double of : {3.0, 6.0, 12.0}) {
    const RocketResult eq = rocket_performance(data(), problem(68.046, of, Model::equilibrium));
    const RocketResult ft = rocket_performance(data(), problem(68.046, of, Model::frozen_throat));
    expect_bitwise_equal(ft.chamber(), eq.chamber(), "chamber");
    expect_bitwise_equal(ft.throat(), eq.throat(), "throat");
    expect_bitwise_equal(ft.stations[2], eq.stations[2], "subsonic exit, Pc/Pe = 1.2");
    // Past the throat the frozen gas expands less far per area: less impulse.
    EXPECT_LT(ft.stations.back().isp_m_s, eq.stations.back().isp_m_s);
  }
}

// Several models in one call share the chamber and the shifting throat; each
// result is the one its model gives alone.
TEST(RocketModels, ModelsAtOnceGiveWhatEachGivesAlone) {
  const Model models[] = {Model::frozen_chamber, Model::equilibrium, Model::frozen_throat};
  const RocketInput p = problem(68.046, 5.0, Model::equilibrium);
  const std::vector<RocketResult> near =
      rocket_performance(data(), problem(68.046, 5.2, Model::equilibrium), models);
  const std::vector<RocketResult> all = rocket_performance(data(), p, models, near);
  ASSERT_EQ(all.size(), 3u);
  for (std::size_t m = 0; m < 3; ++m) {
    RocketInput one = p;
    one.model = models[m];
    const RocketResult alone = rocket_performance(data(), one);
    EXPECT_EQ(all[m].model, models[m]);
    expect_close(all[m], alone, name(models[m]));
  }
  expect_bitwise_equal(all[2].chamber(), all[1].chamber(), "chamber");
  expect_bitwise_equal(all[2].throat(), all[1].throat(), "throat");
}

TEST(RocketModels, AreaRatioOneIsTheThroat) {
  RocketInput p = problem(68.046, 6.0, Model::equilibrium);
  p.pi_p.clear();
  p.ae_at = {1.0};
  const RocketResult r = rocket_performance(data(), p);
  EXPECT_EQ(r.stations[2].state.p_atm, r.throat().state.p_atm);
  EXPECT_EQ(r.stations[2].kind, StationKind::area_ratio);
  EXPECT_EQ(r.stations[2].ae_at, 1.0);
}

// A sweep starts each O/F from the one before; it must land where a cold
// solve of the same O/F lands.
// A sweep starts each O/F from the ones before, one model at a time or the
// models of an O/F together; it must land where a cold solve of the same
// O/F lands.
TEST(RocketSweep, WarmStartsGiveTheColdResults) {
  std::vector<double> of;
  for (double v = 2.0; v <= 14.0; v += 0.75) {
    of.push_back(v);
  }
  const Model models[] = {Model::equilibrium, Model::frozen_chamber, Model::frozen_throat};
  const std::vector<std::vector<RocketResult>> together =
      rocket_sweep(data(), problem(68.046, 0.0, Model::equilibrium), of, models);
  ASSERT_EQ(together.size(), of.size());
  for (std::size_t m = 0; m < 3; ++m) {
    const RocketInput p = problem(68.046, 0.0, models[m]);
    const std::vector<RocketResult> sweep = rocket_sweep(data(), p, of);
    ASSERT_EQ(sweep.size(), of.size());
    for (std::size_t i = 0; i < of.size(); ++i) {
      RocketInput one = p;
      one.of = of[i];
      const RocketResult cold = rocket_performance(data(), one);
      const std::string what = std::string(name(models[m])) + " O/F " + std::to_string(of[i]);
      EXPECT_EQ(sweep[i].of, of[i]);
      expect_close(sweep[i], cold, what);
      expect_close(together[i][m], cold, what + " (models together)");
    }
  }
}

// Results handed over as computed: model by model, every O/F once and in
// order; the first model's are the one-model sweep's, bit for bit; a false
// from the receiver ends the sweep at once.
TEST(RocketSweep, ResultsHandedOverModelByModel) {
  const std::vector<double> of = {3.0, 4.0, 5.0, 6.0, 7.0, 8.0};
  const Model models[] = {Model::frozen_chamber, Model::equilibrium};
  const RocketInput p = problem(68.046, 0.0, Model::frozen_chamber);
  const std::vector<RocketResult> alone = rocket_sweep(data(), p, of);
  std::vector<std::pair<std::size_t, std::size_t>> calls;
  rocket_sweep_each(data(), p, of, models,
                    [&](std::size_t m, std::size_t i, const RocketResult& r) {
                      calls.emplace_back(m, i);
                      EXPECT_EQ(r.model, models[m]);
                      EXPECT_EQ(r.of, of[i]);
                      if (m == 0) {
                        EXPECT_EQ(values(r.stations.back()), values(alone[i].stations.back()))
                            << "O/F " << of[i];
                      }
                      return true;
                    });
  ASSERT_EQ(calls.size(), 2 * of.size());
  for (std::size_t k = 0; k < calls.size(); ++k) {
    EXPECT_EQ(calls[k], std::make_pair(k / of.size(), k % of.size()));
  }
  int after_stop = 0;
  rocket_sweep_each(data(), p, of, models, [&](std::size_t, std::size_t i, const RocketResult&) {
    ++after_stop;
    return i < 2;
  });
  EXPECT_EQ(after_stop, 3);
}

TEST(RocketBestIsp, AtATrueMaximumOfIspAndIvac) {
  RocketInput p = problem(68.046, 0.0, Model::equilibrium);
  p.pi_p = {10, 1000};
  p.ae_at = {50};
  const std::vector<BestIsp> best = best_isp(data(), p);
  ASSERT_EQ(best.size(), 3u);
  for (const BestIsp& b : best) {
    EXPECT_EQ(b.flags & kOptimumAtBound, 0u);
    EXPECT_TRUE(b.at_isp.valid());
    EXPECT_TRUE(b.at_ivac.valid());
    RocketInput one = p;
    one.pi_p.clear();
    one.ae_at.clear();
    (b.kind == StationKind::pressure_ratio ? one.pi_p : one.ae_at).push_back(b.exit_value);
    for (double d : {-1e-3, 1e-3}) {
      one.of = b.of_isp + d;
      EXPECT_LT(rocket_performance(data(), one).stations[2].isp_m_s, b.at_isp.isp_m_s)
          << "Isp, exit " << b.exit_value << ", step " << d;
      one.of = b.of_ivac + d;
      EXPECT_LT(rocket_performance(data(), one).stations[2].ivac_m_s, b.at_ivac.ivac_m_s)
          << "Ivac, exit " << b.exit_value << ", step " << d;
    }
  }
  // A larger expansion makes the best mixture richer in oxygen.
  EXPECT_LT(best[0].of_isp, best[1].of_isp);
}

TEST(RocketBestIsp, AMaximumOutsideTheIntervalIsFlagged) {
  RocketInput p = problem(68.046, 0.0, Model::equilibrium);
  p.pi_p = {100};
  p.ae_at.clear();
  BestIspSearch s;
  s.of_low = 8.0;  // past the best O/F: Isp falls over the whole interval
  s.of_high = 12.0;
  const std::vector<BestIsp> best = best_isp(data(), p, s);
  ASSERT_EQ(best.size(), 1u);
  EXPECT_NE(best[0].flags & kOptimumAtBound, 0u);
  EXPECT_NEAR(best[0].of_isp, 8.0, 2e-4);
}

// Stations past the engine's temperature limit (100 K) and an area no
// pressure reaches: flagged, every value NaN, the other stations intact.
TEST(RocketFlags, ImpossibleStationsAreFlaggedAndShowNoNumber) {
  RocketInput p = problem(1e4, 4.0, Model::frozen_chamber);
  p.pi_p = {100, 1e8, 1e10};
  p.ae_at = {10, 1e7};
  const RocketResult r = rocket_performance(data(), p);
  ASSERT_EQ(r.stations.size(), 7u);
  for (std::size_t i : {0u, 1u, 2u, 5u}) {
    EXPECT_TRUE(r.stations[i].valid()) << i;
  }
  const Station& cold = r.stations[4];
  EXPECT_FALSE(cold.valid());
  EXPECT_NE(cold.flags & engine::kBelowRange, 0u);
  expect_all_nan(cold, "pressure ratio 1e10");
  const Station& far = r.stations[6];
  EXPECT_FALSE(far.valid());
  EXPECT_NE(far.flags & kExitNotFound, 0u);
  expect_all_nan(far, "area ratio 1e7");
  // Between 100 and 200 K the data are extrapolated: a valid, flagged value.
  const Station& low = r.stations[3];
  if (low.valid() && low.state.T_K < engine::kTMinK) {
    EXPECT_NE(low.flags & engine::kExtrapolatedLow, 0u);
  }
}

TEST(RocketFlags, CallersFloatingPointFlagsAreLeftAsFound) {
  RocketInput p = problem(1e4, 4.0, Model::frozen_chamber);
  p.pi_p = {1e10};  // a station that fails
  p.ae_at = {1e7};
  (void)data();  // parsed on first use, outside any call of the library
  std::feclearexcept(FE_ALL_EXCEPT);
  (void)rocket_performance(data(), p);
  (void)rocket_sweep(data(), p, std::vector<double>{3.0, 4.0});
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
  std::feraiseexcept(FE_ALL_EXCEPT);
  (void)rocket_performance(data(), p);
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), FE_ALL_EXCEPT);
  std::feclearexcept(FE_ALL_EXCEPT);
}

// Each bad value is refused with its name and the range in the message.
TEST(RocketInput, OutOfRangeProblemsAreRefusedByName) {
  struct Bad {
    const char* what;
    void (*change)(RocketInput&);
    const char* named;
  };
  const Bad bad[] = {
      {"Pc too low", [](RocketInput& p) { p.pc_atm = 5e-5; }, "pc_atm = 5e-05 is outside"},
      {"Pc too high", [](RocketInput& p) { p.pc_atm = 2e4; }, "pc_atm = 20000 is outside"},
      {"Pc NaN", [](RocketInput& p) { p.pc_atm = NAN; }, "pc_atm = nan"},
      {"pressure ratio 1",
       [](RocketInput& p) {
         p.pi_p = {10, 1};
       },
       "pi_p = 1 is outside"},
      {"pressure ratio below 1", [](RocketInput& p) { p.pi_p = {0.5}; }, "pi_p = 0.5"},
      {"exit below 1e-6 atm", [](RocketInput& p) { p.pi_p = {1e9}; }, "pi_p = 1e+09 is outside"},
      {"area ratio below 1", [](RocketInput& p) { p.ae_at = {0.99}; }, "ae_at = 0.99 is outside"},
      {"area ratio NaN", [](RocketInput& p) { p.ae_at = {NAN}; }, "ae_at = nan"},
      {"21 exits", [](RocketInput& p) { p.pi_p.assign(18, 10.0); }, "21 exit conditions"},
      {"O/F too low", [](RocketInput& p) { p.of = 0.5; }, "O/F = 0.5 is outside"},
      {"O/F too high", [](RocketInput& p) { p.of = 400; }, "O/F = 400 is outside"},
  };
  for (const Bad& b : bad) {
    RocketInput p = problem(68.046, 6.0, Model::equilibrium);
    b.change(p);
    try {
      (void)rocket_performance(data(), p);
      ADD_FAILURE() << b.what << ": accepted";
    } catch (const InputError& e) {
      EXPECT_NE(std::string(e.what()).find(b.named), std::string::npos)
          << b.what << ": " << e.what();
    }
  }
  const RocketInput p = problem(68.046, 6.0, Model::equilibrium);
  EXPECT_THROW(rocket_sweep(data(), p, std::vector<double>{4.0, 500.0}), engine::InputError);
  BestIspSearch inverted;
  inverted.of_low = 9.0;
  inverted.of_high = 3.0;
  EXPECT_THROW(best_isp(data(), p, inverted), InputError);
}

// No state is shared between calls: two threads at once get what one gets.
TEST(RocketThreads, TwoThreadsComputeWhatOneComputes) {
  std::vector<double> of = {3.0, 5.0, 7.0, 9.0};
  const RocketInput p = problem(68.046, 0.0, Model::frozen_throat);
  const std::vector<RocketResult> alone = rocket_sweep(data(), p, of);
  std::vector<RocketResult> a, b;
  std::thread t1([&] { a = rocket_sweep(data(), p, of); });
  std::thread t2([&] { b = rocket_sweep(data(), p, of); });
  t1.join();
  t2.join();
  for (std::size_t i = 0; i < of.size(); ++i) {
    for (std::size_t k = 0; k < alone[i].stations.size(); ++k) {
      expect_bitwise_equal(a[i].stations[k], alone[i].stations[k], "first thread");
      expect_bitwise_equal(b[i].stations[k], alone[i].stations[k], "second thread");
    }
  }
}

}  // namespace
}  // namespace zuna::rocket
