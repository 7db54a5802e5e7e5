// The public API against the libraries it fronts: the same values through
// the facade, arrays that equal their points, errors of one kind, the
// caller's floating-point flags kept and two threads that do not disturb
// each other.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstring>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

#include "rocket/rocket.h"
#include "zuna4/zuna4.h"

namespace {

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::vector<zuna4::EquilibriumInput> flames(int count, double p_atm) {
  std::vector<zuna4::EquilibriumInput> in(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    in[static_cast<std::size_t>(i)].of = 2.0 + 28.0 * i / (count - 1);
    in[static_cast<std::size_t>(i)].p_atm = p_atm;
  }
  return in;
}

TEST(LibraryVersion, TheMacrosAndTheFunctionAgree) {
  std::ostringstream text;
  text << ZUNA4_VERSION_MAJOR << '.' << ZUNA4_VERSION_MINOR << '.' << ZUNA4_VERSION_PATCH;
  EXPECT_EQ(text.str(), ZUNA4_VERSION);
  EXPECT_STREQ(zuna4::version(), ZUNA4_VERSION);
}

TEST(LibraryEquilibrium, ArraysEqualTheirPointsStartedAsTheyAre) {
  const std::vector<zuna4::EquilibriumInput> in = flames(40, 7.0);
  std::vector<zuna4::State> cold(in.size()), warm(in.size());
  zuna4::equilibrium(in, cold, false);
  zuna4::equilibrium(in, warm, true);
  zuna4::State previous;
  for (std::size_t i = 0; i < in.size(); ++i) {
    const zuna4::State one = zuna4::equilibrium(in[i]);
    EXPECT_TRUE(same_bits(cold[i].T_K, one.T_K)) << i;
    EXPECT_TRUE(same_bits(cold[i].x[5], one.x[5])) << i;
    // Started from the previous state: the same point to the rounding.
    EXPECT_NEAR(warm[i].T_K, one.T_K, 1e-9 * one.T_K) << i;
    const zuna4::State again = zuna4::equilibrium(in[i], i > 0 ? &previous : nullptr);
    EXPECT_TRUE(same_bits(again.T_K, warm[i].T_K)) << i;
    previous = warm[i];
    EXPECT_TRUE(warm[i].converged());
  }
}

TEST(LibraryEquilibrium, AnArrayInPiecesIsTheWholeArray) {
  const std::vector<zuna4::EquilibriumInput> in = flames(30, 3.0);
  std::vector<zuna4::State> whole(in.size()), pieces(in.size());
  zuna4::equilibrium(in, whole);
  const std::span<const zuna4::EquilibriumInput> all(in);
  zuna4::equilibrium(all.first(11), std::span(pieces).first(11));
  zuna4::equilibrium(all.subspan(11), std::span(pieces).subspan(11), true, &pieces[10]);
  for (std::size_t i = 0; i < in.size(); ++i) {
    EXPECT_TRUE(same_bits(whole[i].T_K, pieces[i].T_K) && same_bits(whole[i].x[3], pieces[i].x[3]))
        << i;
  }
}

TEST(LibraryEquilibrium, EveryProblemHoldsWhatItFixes) {
  zuna4::EquilibriumInput hp;
  hp.of = 6.0;
  hp.p_atm = 20.0;
  const zuna4::State flame = zuna4::equilibrium(hp);
  zuna4::EquilibriumInput tp = hp;
  tp.problem = zuna4::Problem::tp;
  tp.T_K = flame.T_K;
  EXPECT_NEAR(zuna4::equilibrium(tp).H_kJ_kg, flame.H_kJ_kg, 1e-9 * std::fabs(flame.H_kJ_kg));
  zuna4::EquilibriumInput sp = hp;
  sp.problem = zuna4::Problem::sp;
  sp.s_kJ_kgK = flame.S_kJ_kgK;
  EXPECT_NEAR(zuna4::equilibrium(sp).T_K, flame.T_K, 1e-8 * flame.T_K);
  zuna4::EquilibriumInput uv = hp;
  uv.problem = zuna4::Problem::uv;
  uv.rho_kg_m3 = 1.5;
  const zuna4::State closed = zuna4::equilibrium(uv);
  EXPECT_NEAR(closed.rho_kg_m3, 1.5, 1e-12);
  EXPECT_NEAR(closed.U_kJ_kg, flame.H_kJ_kg, 1e-9 * std::fabs(flame.H_kJ_kg));
}

TEST(LibraryErrors, InputsOutOfRangeThrowOneKindNamingTheArgument) {
  zuna4::EquilibriumInput bad;
  bad.of = 6.0;
  bad.p_atm = 1e7;
  try {
    zuna4::equilibrium(bad);
    FAIL();
  } catch (const zuna4::InputError& e) {
    EXPECT_NE(std::string(e.what()).find("p_atm"), std::string::npos) << e.what();
  }
  std::vector<zuna4::EquilibriumInput> in = flames(5, 1.0);
  in[3].of = 1000.0;
  std::vector<zuna4::State> out(in.size());
  try {
    zuna4::equilibrium(in, out);
    FAIL();
  } catch (const zuna4::InputError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("point 3: of", 0), 0u) << e.what();
    EXPECT_EQ(e.refusal().argument, zuna4::Argument::of);
    EXPECT_EQ(e.refusal().index, 3);
    EXPECT_EQ(e.refusal().value, 1000.0);
  }
  EXPECT_EQ(out[0].T_K, 0.0);  // nothing computed
  std::vector<zuna4::State> short_out(2);
  EXPECT_THROW(zuna4::equilibrium(flames(5, 1.0), short_out), zuna4::InputError);
  zuna4::RocketInput rocket;
  rocket.pc_atm = 0.0;
  rocket.of = 6.0;
  EXPECT_THROW(zuna4::rocket(rocket), zuna4::InputError);
  zuna4::SweepParameters sweep;
  sweep.npmin = 90;
  EXPECT_THROW(zuna4::sweep(sweep), zuna4::InputError);
  std::istringstream not_data("1.0\n2.0\n");
  EXPECT_THROW(zuna4::read_sweep_data(not_data), zuna4::InputError);
  zuna4::EquilibriumInput uv = bad;
  uv.problem = zuna4::Problem::uv;
  EXPECT_THROW(zuna4::equilibrium(uv), zuna4::InputError);  // no density
}

// The sweep's parameters are refused where the parameter form refuses them
// (the ranges are one table's): each refusal names its parameter (its index
// in SweepParameters), its value and the range; the ends of each range pass.
TEST(LibraryErrors, SweepParametersAreRefusedWhereTheFormRefusesThem) {
  const double inf = HUGE_VAL;
  struct Case {
    const char* what;
    void (*set)(zuna4::SweepParameters&);
    int index;  // -1: accepted
    zuna4::Bounds bounds;
    double low, high;
  };
  using B = zuna4::Bounds;
  const Case cases[] = {
      {"rmin 0", [](zuna4::SweepParameters& p) { p.rmin = 0.0; }, 0, B::above, 0.0, 1.0},
      {"rmin 1", [](zuna4::SweepParameters& p) { p.rmin = 1.0; }, -1, B::none, 0, 0},
      {"rmax 100.5", [](zuna4::SweepParameters& p) { p.rmax = 100.5; }, 1, B::closed, 1.0, 100.0},
      {"npmin -1", [](zuna4::SweepParameters& p) { p.npmin = -1; }, 2, B::closed, 0.0, 100.0},
      {"npmin + npmax 101", [](zuna4::SweepParameters& p) { p.npmin = 60, p.npmax = 41; }, 3,
       B::closed, 0.0, 40.0},
      {"npmin + npmax 100", [](zuna4::SweepParameters& p) { p.npmin = 60, p.npmax = 40; }, -1,
       B::none, 0, 0},
      {"p 1e-06", [](zuna4::SweepParameters& p) { p.p_atm = 1e-6; }, -1, B::none, 0, 0},
      {"p 1e5 and a bit", [](zuna4::SweepParameters& p) { p.p_atm = 100000.01; }, 4, B::closed,
       1e-6, 1e5},
      {"tolh infinite", [](zuna4::SweepParameters& p) { p.tolh = HUGE_VAL; }, 5, B::above, 0.0,
       inf},
      {"itmaxh 0", [](zuna4::SweepParameters& p) { p.itmaxh = 0; }, 6, B::closed, 1.0, 99999.0},
      {"toln NaN", [](zuna4::SweepParameters& p) { p.toln = std::nan(""); }, 7, B::above, 0.0,
       inf},
      {"itmaxn 100000", [](zuna4::SweepParameters& p) { p.itmaxn = 100000; }, 8, B::closed, 1.0,
       99999.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    zuna4::SweepParameters p;
    c.set(p);
    try {
      zuna4::check_sweep_parameters(p);
      EXPECT_EQ(c.index, -1) << "accepted";
    } catch (const zuna4::InputError& e) {
      const zuna4::Refusal& r = e.refusal();
      EXPECT_EQ(r.argument, zuna4::Argument::sweep_parameter);
      EXPECT_EQ(r.index, c.index) << e.what();
      EXPECT_EQ(r.bounds, c.bounds);
      EXPECT_EQ(r.low, c.low);
      EXPECT_EQ(r.high, c.high);
    }
  }
}

TEST(LibraryRocket, TheFacadeGivesTheRocketLibrarysValues) {
  zuna4::RocketInput in;
  in.pc_atm = 68.046;
  in.pi_p = {10, 1000};
  in.ae_at = {50};
  in.model = zuna4::Model::frozen_throat;
  const double of[] = {4.0, 6.0, 8.0};
  const std::vector<zuna4::RocketResult> ours = zuna4::rocket_sweep(in, of);

  zuna::rocket::RocketInput problem;
  problem.pc_atm = in.pc_atm;
  problem.pi_p = in.pi_p;
  problem.ae_at = in.ae_at;
  problem.model = zuna::rocket::Model::frozen_throat;
  const std::vector<zuna::rocket::RocketResult> theirs =
      zuna::rocket::rocket_sweep(zuna::engine::builtin_nasa9_data(), problem, of);
  ASSERT_EQ(ours.size(), theirs.size());
  for (std::size_t i = 0; i < ours.size(); ++i) {
    ASSERT_EQ(ours[i].stations.size(), 5u);
    for (std::size_t k = 0; k < 5; ++k) {
      const zuna4::Station& a = ours[i].stations[k];
      const zuna::rocket::Station& b = theirs[i].stations[k];
      EXPECT_TRUE(same_bits(a.isp_m_s, b.isp_m_s) && same_bits(a.state.T_K, b.state.T_K) &&
                  same_bits(a.ae_at, b.ae_at) && a.flags == b.flags && a.valid() == b.valid())
          << i << " " << k;
    }
    // One O/F on its own, warm from the previous result: the sweep's point
    // (which starts from more than one previous O/F) to the searches' tolerance.
    in.of = of[i];
    const zuna4::RocketResult one = zuna4::rocket(in, i > 0 ? &ours[i - 1] : nullptr);
    EXPECT_NEAR(one.stations[4].isp_m_s, ours[i].stations[4].isp_m_s,
                1e-8 * one.stations[4].isp_m_s)
        << i;
  }
  EXPECT_EQ(ours[0].stations[4].kind, zuna4::StationKind::area_ratio);
  EXPECT_EQ(ours[0].stations[4].exit_value, 50.0);

  const std::vector<zuna4::BestIsp> best = zuna4::best_isp(in);
  ASSERT_EQ(best.size(), 3u);
  EXPECT_GT(best[1].of_isp, 3.0);
  EXPECT_LT(best[1].of_isp, 6.0);
}

// The one column list: every name once, in the CSV's order, each reading
// its own field.
TEST(LibrarySweep, ColumnsNameEachFieldOnceInTheCsvsOrder) {
  const auto columns = zuna4::sweep_columns();
  ASSERT_EQ(columns.size(), 46u);
  EXPECT_STREQ(columns.front().name, "of");
  EXPECT_STREQ(columns[16].name, "ntd");
  EXPECT_STREQ(columns.back().name, "x4");
  std::set<std::string> names;
  zuna4::SweepPoint p;
  double* fields[] = {&p.of, &p.tadcom, &p.nd[5], &p.yd[0], &p.fmd[3], &p.mmd, &p.x[3]};
  double mark = 1.0;
  for (double* f : fields) {
    *f = mark++;  // a value of its own
  }
  int read = 0;
  for (const zuna4::SweepColumn& c : columns) {
    EXPECT_TRUE(names.insert(c.name).second) << c.name;
    EXPECT_NE(std::string(c.unit), "");
    for (double* f : fields) {
      read += c.value(p) == *f;
    }
  }
  EXPECT_EQ(read, 7);  // each marked field read by one column
}

// An array started warm never flags a point that a cold start computes: a
// warm start from the point before, far across the range, is solved again
// cold.
TEST(LibraryEquilibrium, AFailedWarmStartIsSolvedAgainCold) {
  const double st = zuna4::stoichiometric_of();
  std::vector<zuna4::EquilibriumInput> in(2);
  for (zuna4::EquilibriumInput& p : in) {
    p.problem = zuna4::Problem::tp;
    p.p_atm = 1e-6;
  }
  in[0].of = 40.0 * st;
  in[0].T_K = 5700.0;
  in[1].of = 0.1 * st;
  in[1].T_K = 640.0;
  std::vector<zuna4::State> warm(2), cold(2);
  zuna4::equilibrium(in, warm, true);
  zuna4::equilibrium(in, cold, false);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(cold[i].flags, 0u) << i;
    EXPECT_EQ(warm[i].flags, 0u) << i;
    EXPECT_NEAR(warm[i].x[0], cold[i].x[0], 1e-11) << i;
  }
}

// Random TP points over the whole range, each started from the one before:
// about one in a thousand failed warm where the cold start succeeds.
TEST(LibraryEquilibrium, RandomPointsStartedWarmFailOnlyWhereColdOnesFail) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double st = zuna4::stoichiometric_of();
  std::vector<zuna4::EquilibriumInput> in(20000);
  for (zuna4::EquilibriumInput& p : in) {
    p.problem = zuna4::Problem::tp;
    p.of = 0.1 * st * std::pow(400.0, unit(random));
    p.p_atm = 1e-6 * std::pow(1e11, unit(random));
    p.T_K = 200.0 + 5800.0 * unit(random);
  }
  std::vector<zuna4::State> warm(in.size()), cold(in.size());
  zuna4::equilibrium(in, warm, true);
  zuna4::equilibrium(in, cold, false);
  int differ = 0;
  for (std::size_t i = 0; i < in.size(); ++i) {
    differ += warm[i].flags != cold[i].flags ? 1 : 0;
  }
  EXPECT_EQ(differ, 0);
}

// The best-O/F search through the facade: a bound that is no O/F is refused
// by name, an exit valid nowhere has no O/F, and each optimum says whether
// it lies at an end of the interval.
TEST(LibraryRocket, TheBestOfSearchRefusesAndFlagsEachOptimum) {
  zuna4::RocketInput in;
  in.pc_atm = 68.046;
  in.pi_p = {100};
  for (double bad : {double{NAN}, -1.0}) {
    for (bool low : {true, false}) {
      zuna4::BestIspSearch s;
      (low ? s.of_low : s.of_high) = bad;
      try {
        (void)zuna4::best_isp(in, s);
        ADD_FAILURE() << (low ? "of_low " : "of_high ") << bad << ": accepted";
      } catch (const zuna4::InputError& e) {
        EXPECT_EQ(std::string(e.what()).rfind(low ? "of_low = " : "of_high = ", 0), 0u) << e.what();
      }
    }
  }
  // Isp is highest at O/F 4.19, Ivac at 4.54: only Ivac's optimum is at the end.
  zuna4::BestIspSearch s;
  s.of_low = 3.0;
  s.of_high = 4.4;
  in.ae_at = {1e7};  // no pressure gives it
  const std::vector<zuna4::BestIsp> best = zuna4::best_isp(in, s);
  ASSERT_EQ(best.size(), 2u);
  EXPECT_EQ(best[0].at_isp.flags & zuna4::kOptimumAtBound, 0u);
  EXPECT_NE(best[0].at_ivac.flags & zuna4::kOptimumAtBound, 0u);
  EXPECT_EQ(best[0].flags, best[0].at_isp.flags | best[0].at_ivac.flags);
  EXPECT_TRUE(best[0].at_isp.valid() && best[0].at_ivac.valid());
  EXPECT_TRUE(std::isnan(best[1].of_isp) && std::isnan(best[1].of_ivac));
  EXPECT_FALSE(best[1].at_isp.valid() || best[1].at_ivac.valid());
  EXPECT_NE(best[1].flags & zuna4::kExitNotFound, 0u);
}

TEST(LibrarySweep, TheCallersFloatingPointFlagsAreKept) {
  std::feclearexcept(FE_ALL_EXCEPT);
  std::feraiseexcept(FE_DIVBYZERO);
  zuna4::SweepParameters p;
  p.npmin = 3;
  p.npmax = 3;
  const zuna4::SweepResult r = zuna4::sweep(p);
  EXPECT_NE(std::fetestexcept(FE_DIVBYZERO), 0);
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_OVERFLOW), 0);
  std::feclearexcept(FE_ALL_EXCEPT);
  EXPECT_TRUE(r.ok);
  ASSERT_EQ(r.points.size(), 9u);
  EXPECT_EQ(r.points[4].r, 1.0);  // the stoichiometric point
  for (const zuna4::SweepPoint& point : r.points) {
    EXPECT_EQ(point.flags, 0u);
    EXPECT_LT(point.tadcom, point.tadsem);  // dissociation takes heat
  }
}

TEST(LibraryThreads, TwoThreadsComputeWhatOneComputes) {
  const std::vector<zuna4::EquilibriumInput> in = flames(300, 2.0);
  std::vector<zuna4::State> alone(in.size()), a(in.size()), b(in.size());
  zuna4::equilibrium(in, alone);
  zuna4::SweepResult sweep_alone = zuna4::sweep({}), sweep_a, sweep_b;
  std::thread first([&] {
    zuna4::equilibrium(in, a);
    sweep_a = zuna4::sweep({});
  });
  std::thread second([&] {
    sweep_b = zuna4::sweep({});
    zuna4::equilibrium(in, b);
  });
  first.join();
  second.join();
  for (std::size_t i = 0; i < in.size(); ++i) {
    EXPECT_TRUE(same_bits(a[i].T_K, alone[i].T_K) && same_bits(b[i].T_K, alone[i].T_K)) << i;
  }
  for (std::size_t i = 0; i < sweep_alone.points.size(); ++i) {
    EXPECT_TRUE(same_bits(sweep_a.points[i].tadcom, sweep_alone.points[i].tadcom) &&
                same_bits(sweep_b.points[i].tadcom, sweep_alone.points[i].tadcom))
        << i;
  }
}

}  // namespace
