// The sweep over the O/F grid: counts that do not fit, the
// worked example, the grid rows, the physics of the default sweep with the
// shipped data, and the interleaved sweep, whose batches are shared with a
// second thread, against the plain reference point by point.
#include "app/sweep.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/calculation.h"
#include "tests/support/shipped-data.h"

namespace zuna {
namespace {

// Shipped coefficients and the molar masses of H = 1.00794, O = 15.9994.
struct Sweep : ::testing::Test {
  const testing::ShippedData data = testing::load_shipped_data();
  std::unique_ptr<SweepTable> table = std::make_unique<SweepTable>();
  SweepScalars s;

  void run(const RunParameters& p, SweepObserver* observer = nullptr) {
    run_sweep(p, data.tc, data.coef, *table, s, observer);
  }
};

// Counts that do not fit the tables are refused by the run-parameter check,
// the one check of them; a sweep handed them anyway ends the process before
// writing into the tables.
TEST_F(Sweep, RefusesCountsThatDoNotFitAndWritesNothing) {
  struct Case {
    std::int32_t npmin, npmax;
    bool fits;
  };
  const Case cases[] = {{0, 0, true},        {100, 0, true},
                        {0, 100, true},      {50, 50, true},
                        {50, 51, false},     {101, 0, false},
                        {-1, 0, false},      {0, -1, false},
                        {-3, 5, false},      {INT_MAX, INT_MAX, false},
                        {INT_MAX, 1, false}, {INT_MIN, 50, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.npmin << ", " << c.npmax);
    RunParameters p = dialog_default_parameters();
    p.npmin = c.npmin, p.npmax = c.npmax;
    const std::vector<ParameterProblem> problems = check_run_parameters(p);
    EXPECT_EQ(problems.empty(), c.fits);
    for (const ParameterProblem& problem : problems) {
      EXPECT_TRUE(problem.field == ParameterField::npmin || problem.field == ParameterField::npmax);
    }
  }
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  RunParameters p = dialog_default_parameters();
  p.npmin = 50, p.npmax = 51;
  EXPECT_DEATH(run(p), "do not fit the tables");
  p.npmin = INT_MAX, p.npmax = 1;
  EXPECT_DEATH(run(p), "do not fit the tables");
}

// Records every call and the reactant enthalpy of point 1.
struct Recorder : SweepObserver {
  const SweepScalars& s;
  std::vector<std::int32_t> points;
  double hreac1 = 0;
  explicit Recorder(const SweepScalars& scalars) : s(scalars) {}
  void point_done(std::int32_t i, std::int32_t npts) override {
    EXPECT_EQ(npts, 33);
    points.push_back(i);
    if (i == 1) {
      hreac1 = s.hreac;
    }
  }
};

TEST_F(Sweep, WorkedExample) {
  Recorder recorder(s);
  run(dialog_default_parameters(), &recorder);
  ASSERT_EQ(recorder.points.size(), 34u);
  for (std::int32_t i = 0; i <= 33; ++i) {
    EXPECT_EQ(recorder.points[i], i);
  }
  const SweepTable& t = *table;
  EXPECT_EQ(s.npts, 33);
  EXPECT_NEAR(s.ofst, 7.936683, 5e-7);
  struct Value {
    const char* name;
    double got, want;
  };
  const Value point1[] = {{"no2r", t.point[1].no2r, 0.25},
                          {"nh2o", t.point[1].nh2o, 0.5},
                          {"no2", t.point[1].no2, 0.0},
                          {"nh2", t.point[1].nh2, 0.5},
                          {"ntotalp", t.point[1].ntotalp, 1},
                          {"mmp", t.point[1].mmp, 10.01558},
                          {"ntotalr", t.point[1].ntotalr, 1.25},
                          {"mmr", t.point[1].mmr, 8.012464},
                          {"yh2r", t.point[1].yh2r, 0.8},
                          {"yo2r", t.point[1].yo2r, 0.2},
                          {"yh2o", t.point[1].yh2o, 0.5},
                          {"yh2", t.point[1].yh2, 0.5},
                          {"fmh2o", t.point[1].fmh2o, 0.899363},
                          {"fmh2", t.point[1].fmh2, 0.100637},
                          {"fmh2r", t.point[1].fmh2r, 0.201274},
                          {"fmo2r", t.point[1].fmo2r, 0.798726},
                          {"of", t.point[1].r, 0.5},
                          {"hreac", recorder.hreac1, -12262.0},
                          {"no2r(33)", t.point[33].no2r, 1.0},
                          {"nh2o(33)", t.point[33].nh2o, 1.0},
                          {"no2(33)", t.point[33].no2, 0.5},
                          {"nh2(33)", t.point[33].nh2, 0.0},
                          {"ntotalp(33)", t.point[33].ntotalp, 1.5},
                          {"of(33)", t.point[33].r, 2.0},
                          {"hreac(33)", s.hreac, -22000.0}};
  for (const Value& v : point1) {
    EXPECT_NEAR(v.got, v.want, 5e-7 * std::fmax(1.0, std::fabs(v.want))) << v.name;
  }
  EXPECT_EQ(t.point[0].r, 1.0);
  EXPECT_EQ(t.point[12].r, 1.0);
}

TEST_F(Sweep, GridRows) {
  struct Case {
    std::int32_t npmin, npmax;
    double rmin, rmax;
  };
  const Case cases[] = {{10, 20, 0.5, 2.0}, {0, 0, 0.5, 2.0}, {0, 3, 0.3, 1.6}, {3, 0, 1.0, 1.2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << c.npmin << " " << c.npmax << " " << c.rmin << " " << c.rmax);
    RunParameters p = dialog_default_parameters();
    p.npmin = c.npmin, p.npmax = c.npmax, p.rmin = c.rmin, p.rmax = c.rmax;
    run(p);
    ASSERT_EQ(s.npts, c.npmin + c.npmax + 3);
    for (std::int32_t i = 1; i <= s.npts; ++i) {
      double want = 1.0;
      if (i <= c.npmin + 1) {
        want = c.rmin + (i - 1) * (1.0 - c.rmin) / (c.npmin + 1);
      } else if (i > c.npmin + 2) {
        want = 1.0 + (i - c.npmin - 2) * (c.rmax - 1.0) / (c.npmax + 1);
      }
      EXPECT_NEAR(table->point[i].r, want, 1e-12) << "row " << i;
    }
    if (c.rmin == 1.0) {
      for (std::int32_t i = 1; i <= c.npmin + 1; ++i) {
        EXPECT_NEAR(table->point[i].nh2o, 1.0, 1e-15);
        EXPECT_NEAR(table->point[i].nh2, 0.0, 1e-15);
      }
    }
  }
}

// Element balances against the feed (2 H per H2, 2 no2r O), the sum of the
// moles against ntd, and the two flame temperatures.
TEST_F(Sweep, DefaultSweepPhysics) {
  run(dialog_default_parameters());
  const SweepTable& t = *table;
  for (std::int32_t i = 1; i <= s.npts; ++i) {
    SCOPED_TRACE(::testing::Message() << "point " << i << " of " << t.point[i].r);
    const double* n = t.point[i].nd;
    EXPECT_NEAR(2 * n[0] + 2 * n[2] + n[3] + n[5], 2.0, 2e-12);
    EXPECT_NEAR((n[0] + 2 * n[1] + n[4] + n[5]) / (2 * t.point[i].no2r), 1.0, 1e-12);
    EXPECT_NEAR(n[0] + n[1] + n[2] + n[3] + n[4] + n[5], t.point[i].ntd, 1e-12 * t.point[i].ntd);
    EXPECT_LT(t.point[i].tadcom, t.point[i].tadsem);
    double sum = 0;
    for (const double f : t.point[i].fmd) {
      sum += f;
    }
    EXPECT_NEAR(sum, 1.0, 1e-14);
  }
  EXPECT_GT(t.point[12].tadcom, 2800.0);
  EXPECT_LT(t.point[12].tadcom, 3300.0);
}

// Digit-for-digit results of the default sweep with the shipped data,
// recorded from this build (x86-64, glibc). The order of operations of every
// routine is part of its contract: a change of evaluation order, of the
// Newton reference values of the equilibrium or of the library's exp and log
// shows here first.
TEST_F(Sweep, DefaultSweepDigitForDigit) {
  run(dialog_default_parameters());
  struct Golden {
    int i;
    double tadsem, tadcom, ntd, nd_h, nd_oh, mmd;
  };
  const Golden golden[] = {{1, 0x1.783a5064cf1f9p+11, 0x1.539350fep+11, 0x1.073737816d3cdp+0,
                            0x1.5c7485a7a44ccp-5, 0x1.8cebcef8ddedfp-7, 0x1.37b668fb976aep+3},
                           {12, 0x1.24329d1cc2d6ap+12, 0x1.7aa75c26p+11, 0x1.2ff1f2a3f5b67p+0,
                            0x1.389ed15445f42p-4, 0x1.fab45d3ed1f3ep-4, 0x1.e58d53d4f10ebp+3},
                           {33, 0x1.bc2c4c067b2bp+11, 0x1.618a699ap+11, 0x1.9a004ae96663fp+0,
                            0x1.7094ca89feeb6p-6, 0x1.41d9874663bdep-3, 0x1.53d06270aabe1p+4}};
  const SweepTable& t = *table;
  for (const Golden& g : golden) {
    SCOPED_TRACE(g.i);
    EXPECT_EQ(t.point[g.i].tadsem, g.tadsem);
    EXPECT_EQ(t.point[g.i].tadcom, g.tadcom);
    EXPECT_EQ(t.point[g.i].ntd, g.ntd);
    EXPECT_EQ(t.point[g.i].nd[3], g.nd_h);
    EXPECT_EQ(t.point[g.i].nd[5], g.nd_oh);
    EXPECT_EQ(t.point[g.i].mmd, g.mmd);
  }
}

// Without a single trial temperature no equilibrium is solved: each point
// keeps its own products without dissociation, not those of the sweep before.
TEST_F(Sweep, NoTrialTemperatureLeavesThePointsOwnProducts) {
  run(dialog_default_parameters());
  RunParameters p = dialog_default_parameters();
  p.itmaxh = 0;
  run(p);
  const SweepTable& t = *table;
  for (std::int32_t i = 1; i <= s.npts; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(t.point[i].tadsem, 6000.0);
    EXPECT_EQ(t.point[i].tadcom, 3500.0);
    EXPECT_EQ(t.point[i].nd[0], t.point[i].nh2o);
    EXPECT_EQ(t.point[i].nd[1], t.point[i].no2);
    EXPECT_EQ(t.point[i].nd[3], 0.0);
    EXPECT_EQ(t.point[i].x[0], 0.0);
    EXPECT_NEAR(t.point[i].fmd[0], t.point[i].fmh2o, 1e-15);
    EXPECT_NEAR(t.point[i].mmd, t.point[i].mmp, 1e-12);
  }
}

// With one reaction switched off, at rich, stoichiometric and lean points:
// no negative amount, the moles add up to ntd, the mass fractions to 1.
TEST_F(Sweep, SingleSwitchOffKeepsTheCompositionWhole) {
  for (int off = 0; off < 4; ++off) {
    RunParameters p = dialog_default_parameters();
    p.npmin = 1, p.npmax = 1;
    double* act[4] = {&p.act1, &p.act2, &p.act3, &p.act4};
    *act[off] = 0.0;
    run(p);
    const SweepTable& t = *table;
    for (std::int32_t i = 1; i <= s.npts; ++i) {
      SCOPED_TRACE(::testing::Message() << "R" << off + 1 << " off, o/f " << t.point[i].r);
      EXPECT_EQ(t.point[i].x[off], 0.0);
      double moles = 0.0, mass = 0.0;
      for (int k = 0; k < 6; ++k) {
        EXPECT_GE(t.point[i].nd[k], 0.0) << k;
        moles += t.point[i].nd[k];
        mass += t.point[i].fmd[k];
      }
      EXPECT_NEAR(moles, t.point[i].ntd, 1e-12);
      EXPECT_NEAR(mass, 1.0, 1e-14);
      EXPECT_EQ(t.point[i].flags, 0u);
    }
  }
}

// Points whose searches cannot find their temperature keep their values but
// carry their reasons, and only they; the default sweep has none.
TEST_F(Sweep, PointsWhoseSearchesFailAreFlagged) {
  run(dialog_default_parameters());
  for (std::int32_t i = 0; i <= s.npts; ++i) {
    EXPECT_EQ(table->point[i].flags, 0u) << i;
  }
  EXPECT_EQ(flagged_points_message(*table, s), "");

  RunParameters p = dialog_default_parameters();
  p.rmin = 0.1, p.npmin = 3, p.rmax = 50.0, p.npmax = 0;
  run(p);
  const SweepTable& t = *table;
  // Below 1000 K at the richest and leanest ends: the bisection closes on
  // 1000 K while the Newton search finds its root below (783 K at o/f 0.1,
  // and at o/f 50 under the 200 K where the polynomials end).
  EXPECT_EQ(t.point[1].flags, unsigned{kBisectionBound});
  EXPECT_EQ(t.point[s.npts].flags, unsigned{kBisectionBound | kNewtonOutside});
  for (const std::int32_t i : {1, s.npts}) {
    SCOPED_TRACE(i);
    EXPECT_LT(t.point[i].tadcom, 1000.001);
    EXPECT_LT(t.point[i].tadsem, 1000.0);
  }
  for (std::int32_t i = 2; i < s.npts; ++i) {
    EXPECT_EQ(t.point[i].flags, 0u) << i;
  }
  EXPECT_EQ(flagged_points_message(t, s),
            "Os resultados destes pontos n\xE3o s\xE3o v\xE1lidos (o/f dividido pelo "
            "estequiom\xE9trico, como no relat\xF3rio):\n\n"
            "Temperatura com dissocia\xE7\xE3o fora de 1000 a 6000 K (a busca parou no limite "
            "do intervalo), o/f =\n    1.00E-01, 5.00E+01\n"
            "Temperatura sem dissocia\xE7\xE3o fora de 200 a 6000 K, o/f =\n    5.00E+01\n");

  p = dialog_default_parameters();
  p.npmin = 0, p.npmax = 0, p.itmaxh = 2, p.itmaxn = 3;
  run(p);
  for (std::int32_t i = 1; i <= s.npts; ++i) {
    EXPECT_EQ(t.point[i].flags, unsigned{kNewtonCap | kBisectionCap | kEquilibriumCap}) << i;
  }
  const std::string text = flagged_points_message(t, s);
  for (const char* reason : {"Busca da temperatura com",
                             "Equil\xED"
                             "brio de dissocia\xE7\xE3o",
                             "Busca da temperatura sem"}) {
    EXPECT_NE(text.find(reason), std::string::npos) << reason;
  }
}

// What an observer sees at each point: the point, the sweep scalars as they
// stand, and the faults raised since the last point, cleared as the
// run-time's check after each point clears them.
struct Sighting {
  std::int32_t i, npts;
  double hreac, dof, ofmin, ofmax, ofst;
  int faults;
};

struct Tracer : SweepObserver {
  static constexpr int kFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
  const SweepScalars& s;
  std::vector<Sighting> seen;
  explicit Tracer(const SweepScalars& scalars) : s(scalars) {}
  void point_done(std::int32_t i, std::int32_t npts) override {
    const int faults = std::fetestexcept(kFaults);
    std::feclearexcept(kFaults);
    seen.push_back({i, npts, s.hreac, s.dof, s.ofmin, s.ofmax, s.ofst, faults});
  }
};

bool same_bits(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

void expect_same_sightings(const std::vector<Sighting>& got, const std::vector<Sighting>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t k = 0; k < got.size(); ++k) {
    SCOPED_TRACE(::testing::Message() << "point " << want[k].i);
    EXPECT_EQ(got[k].i, want[k].i);
    EXPECT_EQ(got[k].npts, want[k].npts);
    EXPECT_TRUE(same_bits(got[k].hreac, want[k].hreac));
    EXPECT_TRUE(same_bits(got[k].dof, want[k].dof));
    EXPECT_TRUE(same_bits(got[k].ofmin, want[k].ofmin));
    EXPECT_TRUE(same_bits(got[k].ofmax, want[k].ofmax));
    EXPECT_TRUE(same_bits(got[k].ofst, want[k].ofst));
    EXPECT_EQ(got[k].faults, want[k].faults);
  }
}

// The plain reference (thermo/reference.h) point after point, each point's
// search alone, the observer told after each.
void reference_sweep(const RunParameters& p, const ThermoConstants& tc, const CoefBlock& coef,
                     SweepTable& t, SweepScalars& s, SweepObserver* observer) {
  const SweepGrid g{p.npmin, p.npmax, p.rmin, p.rmax};
  const DissociationSettings c{p.ptot,   p.itmaxh, p.tolh,
                               p.itmaxn, p.toln,   {p.act1, p.act2, p.act3, p.act4}};
  s.npts = p.npmin + p.npmax + 3;
  for (std::int32_t i = 0; i <= s.npts; ++i) {
    reference_sweep_point(i, g, c, tc, coef, t.point[i], s);
    if (observer != nullptr) {
      observer->point_done(i, s.npts);
    }
  }
}

// Both sweeps from the same table contents (a pattern, so that entries a
// sweep does not write compare too): the whole table, the scalars and what
// the observer saw must agree to the last bit.
void expect_interleaved_is_point_by_point(const RunParameters& p, const ThermoConstants& tc,
                                          const CoefBlock& coef) {
  auto interleaved = std::make_unique<SweepTable>();
  auto by_point = std::make_unique<SweepTable>();
  std::memset(static_cast<void*>(interleaved.get()), 0x5a, sizeof(SweepTable));
  std::memset(static_cast<void*>(by_point.get()), 0x5a, sizeof(SweepTable));
  SweepScalars s1, s2;
  Tracer t1(s1), t2(s2);
  std::feclearexcept(FE_ALL_EXCEPT);
  run_sweep(p, tc, coef, *interleaved, s1, &t1);
  std::feclearexcept(FE_ALL_EXCEPT);
  reference_sweep(p, tc, coef, *by_point, s2, &t2);
  EXPECT_EQ(std::memcmp(interleaved.get(), by_point.get(), sizeof(SweepTable)), 0);
  EXPECT_EQ(s1.npts, s2.npts);
  EXPECT_TRUE(same_bits(s1.hreac, s2.hreac));
  EXPECT_TRUE(same_bits(s1.dof, s2.dof));
  expect_same_sightings(t1.seen, t2.seen);
}

// Random parameter sets over the dialog's fields, the caps and tolerances
// drawn so that each of them ends some searches and equilibria, switches on
// and off (and one that is neither), and grids from one point a side to
// dozens.
TEST_F(Sweep, InterleavedSweepIsThePlainReferenceBitForBit) {
  std::mt19937_64 bits(20240611);
  const auto pick = [&](auto const& values) { return values[bits() % std::size(values)]; };
  const auto uniform = [&](double lo, double hi) {
    return lo + (hi - lo) * static_cast<double>(bits() >> 11) * 0x1p-53;
  };
  const std::int32_t itmaxh[] = {-1, 0, 1, 2, 5, 23, 100};
  const double tolh[] = {0.0, 1e-6, 1e-3, 0.7, 100.0, 2500.0, 3000.0};
  const std::int32_t itmaxn[] = {-2, 0, 1, 2, 3, 7, 40, 200};
  const double toln[] = {0.0, 1e-14, 1e-10, 1e-6, 1e-2};
  const double act[] = {0.0, 1.0, 1.0, 0.5};
  for (int n = 0; n < 150; ++n) {
    RunParameters p;
    p.npmin = static_cast<std::int32_t>(bits() % 24);
    p.npmax = static_cast<std::int32_t>(bits() % 24);
    p.rmin = uniform(0.05, 1.0);
    p.rmax = uniform(1.0, 6.0);
    p.ptot = std::pow(10.0, uniform(-2.0, 2.0));
    p.itmaxh = pick(itmaxh);
    p.tolh = pick(tolh);
    p.toln = pick(toln);
    p.itmaxn = p.toln == 0.0 ? std::min<std::int32_t>(pick(itmaxn), 7) : pick(itmaxn);
    p.act1 = pick(act), p.act2 = pick(act), p.act3 = pick(act), p.act4 = pick(act);
    SCOPED_TRACE(::testing::Message()
                 << "set " << n << ": npmin " << p.npmin << " npmax " << p.npmax << " rmin "
                 << p.rmin << " rmax " << p.rmax << " ptot " << p.ptot << " itmaxh " << p.itmaxh
                 << " tolh " << p.tolh << " itmaxn " << p.itmaxn << " toln " << p.toln << " act "
                 << p.act1 << " " << p.act2 << " " << p.act3 << " " << p.act4);
    expect_interleaved_is_point_by_point(p, data.tc, data.coef);
  }
  RunParameters heavy = dialog_default_parameters();  // only the caps end the equilibria
  heavy.npmin = 3, heavy.npmax = 4, heavy.toln = 0.0;
  expect_interleaved_is_point_by_point(heavy, data.tc, data.coef);
  expect_interleaved_is_point_by_point(dialog_default_parameters(), data.tc, data.coef);
}

// A data set whose constant K3 is so large near 3500 K that the equilibrium
// of the leaner points overflows, and only theirs: each fault must reach the
// observer at its own point, with every point before it reported clean, as
// when the points are computed one after the other.
TEST_F(Sweep, FaultsReachTheObserverAtTheirOwnPoint) {
  CoefBlock coef = data.coef;
  coef(5, 7, 1) += 355.1;  // K3 times exp(710.2)
  RunParameters p = dialog_default_parameters();
  p.rmin = 0.2, p.rmax = 4.0, p.npmin = 10, p.npmax = 10;
  auto table = std::make_unique<SweepTable>();
  SweepScalars s2;
  Tracer by_point(s2);
  std::feclearexcept(FE_ALL_EXCEPT);
  reference_sweep(p, data.tc, coef, *table, s2, &by_point);
  int faulty = 0;
  for (const Sighting& seen : by_point.seen) {
    faulty += seen.faults != 0 ? 1 : 0;
  }
  ASSERT_GT(faulty, 0) << "the data set no longer makes any point fault";
  ASSERT_LT(faulty, s2.npts) << "the data set makes every point fault";
  expect_interleaved_is_point_by_point(p, data.tc, coef);
}

// The observer is told on the thread that runs the sweep, though half of the
// batches are computed on the sweep worker.
TEST_F(Sweep, ObserverIsToldOnTheCallingThread) {
  struct ThreadCheck : SweepObserver {
    std::thread::id caller = std::this_thread::get_id();
    int points = 0;
    int elsewhere = 0;
    void point_done(std::int32_t, std::int32_t) override {
      ++points;
      elsewhere += std::this_thread::get_id() == caller ? 0 : 1;
    }
  } check;
  run(dialog_default_parameters(), &check);
  EXPECT_EQ(check.points, s.npts + 1);
  EXPECT_EQ(check.elsewhere, 0);
}

// Two sweeps at the same time on two threads: one of them finds the worker
// busy and computes all its batches itself; both must still give the table
// of the plain reference.
TEST_F(Sweep, SweepsOnTwoThreadsAtOnceAreThePlainReference) {
  RunParameters p = dialog_default_parameters();
  p.npmin = 30, p.npmax = 40;
  const auto want = std::make_unique<SweepTable>();
  SweepScalars s0;
  reference_sweep(p, data.tc, data.coef, *want, s0, nullptr);
  constexpr int kRounds = 20;
  const auto sweeps = [&](SweepTable& t, int& same) {
    SweepScalars scalars;
    for (int n = 0; n < kRounds; ++n) {
      std::memset(static_cast<void*>(&t), 0, sizeof(SweepTable));
      run_sweep(p, data.tc, data.coef, t, scalars, nullptr);
      same += std::memcmp(&t, want.get(), sizeof(SweepTable)) == 0 ? 1 : 0;
    }
  };
  const auto other = std::make_unique<SweepTable>();
  int same_here = 0;
  int same_there = 0;
  std::thread there([&] { sweeps(*other, same_there); });
  sweeps(*table, same_here);
  there.join();
  EXPECT_EQ(same_here, kRounds);
  EXPECT_EQ(same_there, kRounds);
}

}  // namespace
}  // namespace zuna
