// Intrinsics, products without dissociation, species functions and the
// shipped data. Reference values from NIST-JANAF Thermochemical Tables, 4th
// ed. (1998), each with the tolerance stated at its check.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "intrinsics/intrinsics.h"
#include "tests/support/shipped-data.h"
#include "thermo/thermo.h"

namespace zuna {
namespace {

constexpr double kRgas = 8.31451;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const testing::ShippedData& shipped() {
  static const testing::ShippedData data = testing::load_shipped_data();
  return data;
}

const char* reported_name = nullptr;
int reported_failure = 0;

void record_failure(const char* name, MathFailure failure) {
  reported_name = name;
  reported_failure = static_cast<int>(failure);
}

TEST(Intrinsics, ReportFailuresAndReturnTheLibraryResult) {
  struct Case {
    const char* name;
    double x, y;
    int failure;  // 0: none reported
  };
  const Case cases[] = {
      {"exp", 1.0, 0, 0},          {"exp", 710.0, 0, 3},  {"exp", -1000.0, 0, 0},
      {"exp", kInf, 0, 0},         {"log", 1.0, 0, 0},    {"log", 0.0, 0, 2},
      {"log", -1.0, 0, 1},         {"log", kNaN, 0, 1},   {"pow", 2.0, 3.0, 0},
      {"pow", -8.0, 1.0 / 3.0, 1}, {"pow", 0.0, -1.0, 2}, {"pow", 10.0, 400.0, 3},
      {"pow", 0.5, 2000.0, 0},     {"pow", kNaN, 0.0, 0},
  };
  set_math_error_handler(record_failure);
  for (const Case& c : cases) {
    reported_name = nullptr;
    reported_failure = 0;
    double got = 0.0, want = 0.0;
    if (std::strcmp(c.name, "exp") == 0) {
      got = rt_exp(c.x), want = std::exp(c.x);
    } else if (std::strcmp(c.name, "log") == 0) {
      got = rt_log(c.x), want = std::log(c.x);
    } else {
      got = rt_pow(c.x, c.y), want = std::pow(c.x, c.y);
    }
    SCOPED_TRACE(std::string(c.name) + "(" + std::to_string(c.x) + ", " + std::to_string(c.y) +
                 ")");
    EXPECT_EQ(reported_failure, c.failure);
    if (c.failure != 0) {
      EXPECT_STREQ(reported_name, c.name);
    }
    EXPECT_TRUE(std::memcmp(&got, &want, sizeof got) == 0) << got << " vs " << want;
  }
  set_math_error_handler(nullptr);
  EXPECT_TRUE(std::isinf(rt_exp(800.0)));  // no handler: the result stands
}

TEST(Products, EdgeCompositions) {
  struct Case {
    void (*prod)(const double&, double&, double&, double&);
    double no2r, nh2o, no2, nh2;
  };
  const Case cases[] = {{prod_rich, 0.5, 1, 0, 0},
                        {prod_lean, 0.5, 1, 0, 0},
                        {prod_rich, 0.0, 0, 0, 1},
                        {prod_rich, 0.25, 0.5, 0, 0.5},
                        {prod_lean, 1.0, 1, 0.5, 0}};
  for (const Case& c : cases) {
    double n[3] = {-1, -1, -1};
    c.prod(c.no2r, n[0], n[1], n[2]);
    EXPECT_TRUE(n[0] == c.nh2o && n[1] == c.no2 && n[2] == c.nh2) << "no2r " << c.no2r;
  }
  double no2r = 0, n[3] = {0, 1, 1};
  prod_stoich(no2r, n[0], n[1], n[2]);
  EXPECT_TRUE(no2r == 0.5 && n[0] == 1 && n[1] == 0 && n[2] == 0);
}

// Range 1 holds a1 = 1 for every species, range 2 a1 = 2: the result tells
// which range a temperature selected.
TEST(SpeciesFunctions, RangeSwitchAtExactly1000K) {
  CoefBlock coef;
  for (int k = 1; k <= 6; ++k) {
    coef(k, 1, 1) = 1.0;
    coef(k, 1, 2) = 2.0;
  }
  double cp = 0;
  cp_mix(1, 0, 0, 0, 0, 0, 1000.0, cp, kRgas, coef, 1);
  EXPECT_EQ(cp, kRgas);
  cp_mix(1, 0, 0, 0, 0, 0, std::nextafter(1000.0, 0.0), cp, kRgas, coef, 1);
  EXPECT_EQ(cp, 2 * kRgas);
}

TEST(SpeciesFunctions, SelectionZeroMolesAndSingleCoefficients) {
  const double n[6] = {0.3, 0.7, 1.1, 0.2, 0.4, 0.5};
  CoefBlock a1_only, a6_only;
  for (int k = 1; k <= 6; ++k) {
    for (int r = 1; r <= 2; ++r) {
      a1_only(k, 1, r) = 3.5;
      a6_only(k, 6, r) = -1234.5;
    }
  }
  for (const double t : {300.0, 999.0, 1000.0, 2500.0, 6000.0}) {
    SCOPED_TRACE(t);
    double cp = 0, h = 0;
    // nsel = 1 never reads n4..n6: NaN there would show in the result.
    cp_mix(n[0], n[1], n[2], kNaN, kNaN, kNaN, t, cp, kRgas, a1_only, 1);
    EXPECT_NEAR(cp, 3.5 * kRgas * (n[0] + n[1] + n[2]), 1e-12);
    cp_mix(n[0], n[1], n[2], n[3], n[4], n[5], t, cp, kRgas, a1_only, 2);
    EXPECT_NEAR(cp, 3.5 * kRgas * 3.2, 1e-12);
    h_mix(n[0], n[1], n[2], kNaN, kNaN, kNaN, t, h, kRgas, a6_only, 1);
    EXPECT_NEAR(h, -1234.5 * kRgas * 2.1, 1e-9);
    h_mix(n[0], n[1], n[2], n[3], n[4], n[5], t, h, kRgas, a6_only, 6);
    EXPECT_NEAR(h, -1234.5 * kRgas * 3.2, 1e-9);
    h_mix(0, 0, 0, 0, 0, 0, t, h, kRgas, shipped().coef, 2);
    EXPECT_EQ(h, 0.0);
    double k1 = 0, k2 = 0, k3 = 0, k4 = 0;
    kp_diss(t, CoefBlock{}, k1, k2, k3, k4);
    EXPECT_EQ(k1, 1.0);
    EXPECT_EQ(k2, 1.0);
    EXPECT_EQ(k3, 1.0);
    EXPECT_EQ(k4, 1.0);
  }
}

// One mole of species k alone, through the mixture routines.
double species_cp(const CoefBlock& coef, int k, double t) {
  double n[6] = {};
  n[k - 1] = 1.0;
  double cp = 0;
  cp_mix(n[0], n[1], n[2], n[3], n[4], n[5], t, cp, kRgas, coef, 2);
  return cp;
}

double species_h(const CoefBlock& coef, int k, double t) {
  double n[6] = {};
  n[k - 1] = 1.0;
  double h = 0;
  h_mix(n[0], n[1], n[2], n[3], n[4], n[5], t, h, kRgas, coef, 2);
  return h;
}

TEST(ShippedData, HeatCapacityContinuousAt1000K) {
  const CoefBlock& coef = shipped().coef;
  for (int k = 1; k <= 6; ++k) {
    const double above = species_cp(coef, k, 1000.0);
    const double below = species_cp(coef, k, std::nextafter(1000.0, 0.0));
    EXPECT_NEAR(above / below, 1.0, 0.005) << "species " << k;
  }
}

// The standard enthalpy scale: elements zero at 298.15 K, H2O at its enthalpy
// of formation (JANAF -241.826 kJ/mol).
TEST(ShippedData, StandardEnthalpyScale) {
  ASSERT_GE(shipped().records.size(), 132u);  // notes may follow the 132nd
  const CoefBlock& coef = shipped().coef;
  EXPECT_NEAR(species_h(coef, 1, 298.15), -241826.0, 300.0);
  EXPECT_NEAR(species_h(coef, 2, 298.15), 0.0, 100.0);
  EXPECT_NEAR(species_h(coef, 3, 298.15), 0.0, 100.0);
}

// Two paths that must agree: Cp = dH/dT, and van 't Hoff,
// d ln K / dT = (sum of nu_k H_k) / (R T^2), with h_mix given the reaction's
// stoichiometric numbers nu as moles. Central differences, step 0.01 K.
TEST(ShippedData, HeatCapacityAndConstantsConsistentWithEnthalpy) {
  const CoefBlock& coef = shipped().coef;
  const double nu[4][6] = {
      {-1, 0, 0, 1, 0, 1}, {0, 0, -1, 2, 0, 0}, {0, -1, 0, 0, 2, 0}, {0, 0, 0, 1, 1, -1}};
  const double dt = 0.01;
  for (const double t : {400.0, 800.0, 1500.0, 3000.0, 5000.0}) {
    SCOPED_TRACE(t);
    for (int k = 1; k <= 6; ++k) {
      const double slope = (species_h(coef, k, t + dt) - species_h(coef, k, t - dt)) / (2 * dt);
      EXPECT_NEAR(slope / species_cp(coef, k, t), 1.0, 1e-6) << "species " << k;
    }
    double lo[4], hi[4];
    kp_diss(t - dt, coef, lo[0], lo[1], lo[2], lo[3]);
    kp_diss(t + dt, coef, hi[0], hi[1], hi[2], hi[3]);
    for (int j = 0; j < 4; ++j) {
      const double* v = nu[j];
      double dh = 0;
      h_mix(v[0], v[1], v[2], v[3], v[4], v[5], t, dh, kRgas, coef, 2);
      const double slope = (std::log(hi[j]) - std::log(lo[j])) / (2 * dt);
      EXPECT_NEAR(slope / (dh / (kRgas * t * t)), 1.0, 1e-5) << "R" << j + 1;
    }
  }
}

// The absolute level of g (a7 and the ln T term): ln K at 298.15 K from JANAF
// Gibbs energies of formation, H 203.276 and O 231.736 kJ/mol, so that
// R2 H2 = 2 H has dG = 406.552 and R3 O2 = 2 O dG = 463.472 kJ/mol (+-0.5).
TEST(ShippedData, EquilibriumConstantsAtRoomTemperature) {
  double k1 = 0, k2 = 0, k3 = 0, k4 = 0;
  kp_diss(298.15, shipped().coef, k1, k2, k3, k4);
  const double rt = kRgas * 298.15;
  EXPECT_NEAR(-std::log(k2) * rt, 406552.0, 500.0);
  EXPECT_NEAR(-std::log(k3) * rt, 463472.0, 500.0);
}

}  // namespace
}  // namespace zuna
