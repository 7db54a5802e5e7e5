// The general solver against the reference results of NASA RP-1311's
// example problems: example 14 (tp, water condensing at 0.05 atm, 1000 down
// to 300 K) and example 8 (H2(L)/O2(L) at O/F 5.55157: the chamber, an hp
// problem with every product of H and O, and the exits at assigned pressure
// ratios, sp problems at the chamber's entropy). Every printed quantity
// within 1e-5 relative or half a unit of its last printed digit, mole
// fractions within 2e-6.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "cea-tables.h"
#include "engine/set-solver.h"

namespace zuna::engine {
namespace {

using testing::half_unit;
using testing::read_table;
using testing::TableRow;

const std::string kData = ZUNA_ENGINE_TEST_DATA;

// H2 and O2 at O/F with the enthalpies given [J/mol]; the molar masses of
// the records.
std::vector<ReactantShare> h2_o2(double of, double h_fuel, double h_oxid) {
  const double M_H2 = 2.01588, M_O2 = 31.9988;
  return {{{{"H", 2.0}}, M_H2, 1.0 / (1.0 + of), h_fuel},
          {{{"O", 2.0}}, M_O2, of / (1.0 + of), h_oxid}};
}

const std::vector<std::string> kHO = {"H", "O"};

// Every printed column of `row` that the point has, within the tolerance.
void expect_matches(const TableRow& row, const SetPoint& p, const ProductSet& set) {
  const struct {
    const char* column;
    double value;
  } values[] = {{"p_bar", p.P_bar},
                {"t_k", p.T_K},
                {"rho_kg_m3", p.rho_kg_m3},
                {"h_kj_kg", p.h_kJ_kg},
                {"u_kj_kg", p.u_kJ_kg},
                {"g_kj_kg", p.g_kJ_kg},
                {"s_kj_kg_k", p.s_kJ_kgK},
                {"m_kg_kmol", p.M_g_mol},
                {"dlnv_dlnp_t", p.dlnV_dlnP_T},
                {"dlnv_dlnt_p", p.dlnV_dlnT_P},
                {"cp_kj_kg_k", p.cp_eq_kJ_kgK},
                {"gamma_s", p.gamma_s},
                {"son_vel_m_s", p.sound_speed_m_s}};
  for (const auto& v : values) {
    if (!row.has(v.column)) continue;
    const double ref = row.value(v.column);
    const double tol = std::max(1e-5 * std::fabs(ref), half_unit(row.text(v.column)));
    EXPECT_NEAR(v.value, ref, tol) << v.column << ", line " << row.line;
  }
  for (const auto& [column, text] : row.cells) {
    if (column.rfind("x_", 0) != 0 || text.empty()) continue;
    const int j = set.index_of(column.substr(2));
    ASSERT_GE(j, 0) << column;
    const double tol = std::max(2e-6, half_unit(text));
    EXPECT_NEAR(p.x[j], std::stod(text), tol) << column << ", line " << row.line;
  }
}

TEST(SetValidation, Example14CondensingWaterAtLowPressure) {
  const ProductSet set = select_products(builtin_species(), kHO);
  ASSERT_EQ(set.size(), 11);  // 9 gases, liquid water, ice
  const double of = 60.0 * 31.9988 / (100.0 * 2.01588);
  const SetFeed feed = feed_of(set, h2_o2(of, -9012.0, -12979.0));
  SetSolver warm(set), cold(set);
  SetPoint p = warm.make_point(), q = cold.make_point();
  const auto rows = read_table(kData + "/rp1311-ex14.tsv");
  ASSERT_EQ(rows.size(), 8u);
  for (const TableRow& row : rows) {
    SetCondition c;
    c.problem = SetProblem::tp;
    c.T_K = row.value("in_t_k");
    c.p_bar = 0.05 * kAtmBar;
    warm.solve(feed.b_mol_kg, c, p);
    ASSERT_TRUE(p.has_values()) << row.line << " flags " << p.flags;
    expect_matches(row, p, set);
    cold.solve(feed.b_mol_kg, c, q, true);
    ASSERT_TRUE(q.has_values()) << row.line;
    EXPECT_NEAR(q.T_K, p.T_K, 0.0);
    EXPECT_NEAR(q.cp_eq_kJ_kgK, p.cp_eq_kJ_kgK, 1e-9 * p.cp_eq_kJ_kgK);
    const bool wet = row.value("x_H2O(L)") > 0.0;
    EXPECT_EQ((p.flags & kCondensedPhase) != 0, wet) << row.line;
  }
}

TEST(SetValidation, Example8ChamberAndExitsAtAssignedPressureRatios) {
  const ProductSet set = select_products(builtin_species(), kHO);
  const SetFeed feed = feed_of(set, h2_o2(5.55157, -9012.0, -12979.0));
  SetSolver solver(set);
  SetPoint chamber = solver.make_point(), exit = solver.make_point();
  const double pc = 53.3172;
  solver.solve(feed.b_mol_kg, {SetProblem::hp, 0.0, pc, 0.0, feed.h0_kJ_kg}, chamber, true);
  ASSERT_TRUE(chamber.has_values());
  int checked = 0;
  for (const TableRow& row : read_table(kData + "/rp1311-ex8.tsv")) {
    if (row.text("station") == "chamber" && row.text("page") == "1") {
      expect_matches(row, chamber, set);
      ++checked;
    } else if (row.text("station") == "exit" && row.text("exit_kind") == "pi_p") {
      SetCondition c{SetProblem::sp, 0.0, pc / row.value("exit_value")};
      c.s_kJ_kgK = chamber.s_kJ_kgK;
      solver.solve(feed.b_mol_kg, c, exit);
      ASSERT_TRUE(exit.has_values());
      expect_matches(row, exit, set);
      ++checked;
    }
  }
  EXPECT_EQ(checked, 4);
}

}  // namespace
}  // namespace zuna::engine
