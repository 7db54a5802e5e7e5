// Named reactants and their mixtures against the reference results of NASA
// RP-1311's example problems, each solved with the engine's general solver:
// example 1 (tp, H2 with Air at r,eq.ratio 1 and 1.5, its 'only' list),
// example 2 (tv, the same mixture at phi 1), example 14 (tp, H2(L) and O2(L)
// by their amounts, 100 and 60 mol) and the chamber of example 8 (hp,
// H2(L) and O2(L) from the database at O/F 5.55157). Every printed quantity
// within 1e-5 relative or half a unit of its last printed digit, mole
// fractions within 2e-6; the mixture's own O/F, fuel percent and
// equivalence ratios as printed with the results.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "cea-tables.h"
#include "engine/set-solver.h"
#include "reactants/mixture.h"

namespace zuna::reactants {
namespace {

using engine::testing::half_unit;
using engine::testing::read_table;
using engine::testing::TableRow;

const std::string kData = ZUNA_REACTANTS_TEST_DATA;
const std::string kEngineData = ZUNA_ENGINE_TEST_DATA;
constexpr double kCal_J = 4.184;  // the thermochemical calorie of the calorie tables

// The products of examples 1 and 2.
const engine::ProductChoice kExample1Only = {
    {"Ar",   "C", "CO", "CO2", "H",  "H2",   "H2O", "HNO", "HO2", "HNO2",
     "HNO3", "N", "NH", "NO",  "N2", "N2O3", "O",   "O2",  "OH",  "O3"},
    {}};

MixtureRequest spec_of(std::vector<std::pair<Role, const char*>> items,
                    ShareBasis by = ShareBasis::moles) {
  MixtureRequest request;
  request.by = by;
  for (const auto& [role, text] : items) {
    Result<ReactantItem> item = parse_reactant(role, text);
    EXPECT_TRUE(item.ok()) << text;
    request.items.push_back(item.value());
  }
  return request;
}

Mixture mixture_of(const MixtureRequest& request) {
  Result<Mixture> m = make_mixture(request, engine::builtin_species());
  EXPECT_TRUE(m.ok()) << (m.ok() ? "" : m.refusal().message());
  return m.ok() ? m.value() : Mixture{};
}

void expect_printed(const TableRow& row, const char* column, double value) {
  if (!row.has(column)) {
    return;
  }
  const double ref = row.value(column);
  const double tol = std::max(1e-5 * std::fabs(ref), half_unit(row.text(column)));
  EXPECT_NEAR(value, ref, tol) << column << ", line " << row.line;
}

// Every printed column of `row` the point has, in SI or calorie units.
void expect_matches(const TableRow& row, const engine::SetPoint& p, const engine::ProductSet& set) {
  const struct {
    const char* column;
    double value;
  } values[] = {{"p_bar", p.P_bar},
                {"p_atm", p.P_bar / engine::kAtmBar},
                {"t_k", p.T_K},
                {"rho_kg_m3", p.rho_kg_m3},
                {"rho_g_cc", p.rho_kg_m3 / 1000.0},
                {"h_kj_kg", p.h_kJ_kg},
                {"u_kj_kg", p.u_kJ_kg},
                {"g_kj_kg", p.g_kJ_kg},
                {"s_kj_kg_k", p.s_kJ_kgK},
                {"h_cal_g", p.h_kJ_kg / kCal_J},
                {"u_cal_g", p.u_kJ_kg / kCal_J},
                {"g_cal_g", p.g_kJ_kg / kCal_J},
                {"s_cal_g_k", p.s_kJ_kgK / kCal_J},
                {"m_kg_kmol", p.M_g_mol},
                {"dlnv_dlnp_t", p.dlnV_dlnP_T},
                {"dlnv_dlnt_p", p.dlnV_dlnT_P},
                {"cp_kj_kg_k", p.cp_eq_kJ_kgK},
                {"cp_cal_g_k", p.cp_eq_kJ_kgK / kCal_J},
                {"gamma_s", p.gamma_s},
                {"son_vel_m_s", p.sound_speed_m_s}};
  for (const auto& v : values) {
    expect_printed(row, v.column, v.value);
  }
  for (const auto& [column, text] : row.cells) {
    if (column.rfind("x_", 0) != 0 || text.empty()) {
      continue;
    }
    const int j = set.index_of(column.substr(2));
    ASSERT_GE(j, 0) << column;
    EXPECT_NEAR(p.x[j], std::stod(text), std::max(2e-6, half_unit(text)))
        << column << ", line " << row.line;
  }
}

void expect_ratios(const TableRow& row, const MixtureDescription& d) {
  expect_printed(row, "o_f", d.of);
  expect_printed(row, "pct_fuel", d.fuel_pct);
  expect_printed(row, "r_eq_ratio", d.r_eq);
  expect_printed(row, "phi_eq_ratio", d.phi);
}

TEST(Validation, Example1HydrogenWithAirAtAssignedTemperatureAndPressure) {
  const auto rows = read_table(kData + "/rp1311-ex1.tsv");
  ASSERT_EQ(rows.size(), 12u);
  int checked = 0;
  for (double r_eq : {1.0, 1.5}) {
    MixtureRequest request = spec_of({{Role::fuel, "H2"}, {Role::oxidant, "Air"}});
    request.r_eq = r_eq;
    const Mixture m = mixture_of(request);
    EXPECT_EQ(m.elements, (std::vector<std::string>{"H", "O", "N", "C", "Ar"}));
    EXPECT_EQ(m.description.reactants[1].T_K, 300.0);  // Air's record starts at 300 K
    const engine::ProductSet set =
        engine::select_products(engine::builtin_species(), m.elements, kExample1Only);
    ASSERT_EQ(set.size(), 20);
    engine::SetSolver solver(set);
    engine::SetPoint p = solver.make_point();
    for (const TableRow& row : rows) {
      if (row.value("in_r_eq") != r_eq) {
        continue;
      }
      expect_ratios(row, m.description);
      engine::SetCondition c;
      c.problem = engine::SetProblem::tp;
      c.T_K = row.value("in_t_k");
      c.p_bar = row.value("in_p_atm") * engine::kAtmBar;
      solver.solve(m.b_for(set), c, p);
      ASSERT_TRUE(p.has_values()) << row.line << " flags " << p.flags;
      expect_matches(row, p, set);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 12);
}

TEST(Validation, Example2TheSameMixtureAtAssignedTemperatureAndVolume) {
  MixtureRequest request =
      spec_of({{Role::fuel, "H2:100%"}, {Role::oxidant, "Air:100%"}}, ShareBasis::mass);
  request.phi = 1.0;
  const Mixture m = mixture_of(request);
  const engine::ProductSet set =
      engine::select_products(engine::builtin_species(), m.elements, kExample1Only);
  engine::SetSolver solver(set);
  engine::SetPoint p = solver.make_point();
  const auto rows = read_table(kData + "/rp1311-ex2.tsv");
  ASSERT_EQ(rows.size(), 3u);
  for (const TableRow& row : rows) {
    expect_ratios(row, m.description);
    engine::SetCondition c;
    c.problem = engine::SetProblem::tv;
    c.T_K = row.value("in_t_k");
    c.v_m3_kg = 1.0 / (row.value("in_rho_g_cc") * 1000.0);
    solver.solve(m.b_for(set), c, p, true);
    ASSERT_TRUE(p.has_values()) << row.line << " flags " << p.flags;
    expect_matches(row, p, set);
  }
}

TEST(Validation, Example14LiquidHydrogenAndOxygenByTheirAmounts) {
  const Mixture m = mixture_of(spec_of({{Role::fuel, "H2(L):100"}, {Role::oxidant, "O2(L):60"}}));
  EXPECT_NEAR(m.description.of, 60.0 * 31.9988 / (100.0 * 2.01588), 1e-14);
  EXPECT_NEAR(m.description.reactants[0].mole_fraction, 100.0 / 160.0, 1e-15);
  const engine::ProductSet set = engine::select_products(engine::builtin_species(), m.elements);
  ASSERT_EQ(set.size(), 11);  // 9 gases, liquid water, ice
  engine::SetSolver solver(set);
  engine::SetPoint p = solver.make_point();
  const auto rows = read_table(kEngineData + "/rp1311-ex14.tsv");
  ASSERT_EQ(rows.size(), 8u);
  for (const TableRow& row : rows) {
    engine::SetCondition c;
    c.problem = engine::SetProblem::tp;
    c.T_K = row.value("in_t_k");
    c.p_bar = 0.05 * engine::kAtmBar;
    solver.solve(m.b_for(set), c, p);
    ASSERT_TRUE(p.has_values()) << row.line << " flags " << p.flags;
    expect_matches(row, p, set);
  }
}

TEST(Validation, Example8ChamberOfLiquidHydrogenAndOxygenByName) {
  MixtureRequest request = spec_of({{Role::fuel, "H2(L)@20.27"}, {Role::oxidant, "O2(L)"}});
  request.of = 5.55157;
  const Mixture m = mixture_of(request);
  EXPECT_EQ(m.description.reactants[0].h_J_mol, -9012.0);
  EXPECT_EQ(m.description.reactants[1].h_J_mol, -12979.0);
  EXPECT_EQ(m.description.reactants[1].T_K, 90.17);
  const engine::ProductSet set = engine::select_products(engine::builtin_species(), m.elements);
  engine::SetSolver solver(set);
  engine::SetPoint p = solver.make_point();
  engine::SetCondition c;
  c.problem = engine::SetProblem::hp;
  c.p_bar = 53.3172;
  c.h_kJ_kg = m.h_kJ_kg;
  solver.solve(m.b_for(set), c, p, true);
  ASSERT_TRUE(p.has_values()) << p.flags;
  int checked = 0;
  for (const TableRow& row : read_table(kEngineData + "/rp1311-ex8.tsv")) {
    if (row.text("station") == "chamber" && row.text("page") == "1") {
      expect_ratios(row, m.description);
      expect_matches(row, p, set);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 1);
}

}  // namespace
}  // namespace zuna::reactants
