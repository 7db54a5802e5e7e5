// The waves against the reference results of NASA RP-1311's example
// problems: example 6 (the Chapman-Jouguet detonation of H2/O2, r = 1, at
// 298.15 and 500 K and 1 and 20 bar) and example 7 (incident shocks in
// H2/O2/Ar 0.05/0.05/0.90 by moles at 300 K, equilibrium and frozen, seven
// speeds). Every printed quantity within 1e-5 relative or half a unit of
// its last printed digit; the columns the tables mark as the reference's
// faults are checked against the sound result instead.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "cea-tables.h"
#include "waves/waves.h"

namespace zuna::waves {
namespace {

using engine::testing::half_unit;
using engine::testing::read_table;
using engine::testing::TableRow;

const std::string kData = ZUNA_WAVES_TEST_DATA;
constexpr double kCal = 4.184;           // J per calorie
// The reference converts mmHg with 0.001333 bar (1 mmHg is 133.322387415
// Pa): its example 7 was computed at 0.01333 and 0.02666 bar, and so are
// ours here, to compare like with like.
constexpr double kReferenceMmHgBar = 0.001333;

// How far our state may lie from the reference's, relative, per unit of
// the reference's own residual of the conservation laws.
constexpr double kAmplified = 3.0;

struct Column {
  const char* name;
  double value;
};

// Each column of `values` the row printed, within the tolerance; mole
// fractions x_NAME of the point `p`.
void expect_row(const TableRow& row, std::initializer_list<Column> values,
                const engine::SetPoint* p, const engine::ProductSet& set, double rel_behind = 1e-5) {
  for (const Column& v : values) {
    if (!row.has(v.name) || std::isnan(v.value)) continue;
    const double ref = row.value(v.name);
    const std::string name = v.name;
    const bool before = name == "mach1" || name == "gamma1" || name == "gamma_s1" ||
                        (name.find('1') != std::string::npos && name.find('2') == std::string::npos);
    const double rel = before ? 1e-5 : rel_behind;
    const double tol = std::max(rel * std::fabs(ref), half_unit(row.text(v.name)));
    EXPECT_NEAR(v.value, ref, tol) << v.name << ", line " << row.line;
  }
  if (p == nullptr) return;
  for (const auto& [column, text] : row.cells) {
    if (column.rfind("x_", 0) != 0 || text.empty()) continue;
    const int j = set.index_of(column.substr(2));
    ASSERT_GE(j, 0) << column;
    const double ref = std::stod(text);
    const double tol = std::max({2e-6, rel_behind * ref, half_unit(text)});  // as the engine's suite
    EXPECT_NEAR(p->x[j], ref, tol) << column << ", line " << row.line;
  }
}


// The reference's example 6 stops its iteration short of the
// Chapman-Jouguet state: at the P and T it prints (the burned gas's
// equilibrium there, D from the momentum balance) the burned gas leaves
// the front faster than its sound speed by 0.6e-5 to 2.3e-5, and the
// energy balance is off by 0.3e-5 to 1.8e-5. Ours holds both to 1e-8
// (conservation-test.cpp). The larger of the two, for the burned gas.
double reference_cj_residual(const TableRow& row, const Mixture& mix, const engine::ProductSet& set,
                             const engine::SetPoint& g1) {
  engine::SetSolver eq(set);
  engine::SetPoint q = eq.make_point();
  engine::SetCondition c;
  c.T_K = row.value("t_k");
  c.p_bar = row.value("p_atm") * engine::kAtmBar;
  eq.solve(mix.b_mol_kg, c, q);
  const double r = q.rho_kg_m3 / g1.rho_kg_m3;
  const double D2 = (q.P_bar - g1.P_bar) * 1e5 / (g1.rho_kg_m3 * (1.0 - 1.0 / r));
  const double sonic = std::sqrt(D2) / r / q.sound_speed_m_s - 1.0;
  const double energy =
      (1000.0 * (q.h_kJ_kg - g1.h_kJ_kg) - D2 / 2.0 * (1.0 - 1.0 / (r * r))) / (D2 / 2.0);
  return std::max(std::fabs(sonic), std::fabs(energy));
}

TEST(WavesValidation, Example6Detonation) {
  const engine::ProductSet set = engine::select_products(engine::builtin_species(), {{"H", "O"}});
  const ReactantMoles r[] = {{"H2", 2.0}, {"O2", 1.0}};
  const Mixture mix = mixture_of(set, r);
  WaveSolver solver(set);
  Detonation d = solver.make_detonation();
  const auto rows = read_table(kData + "/rp1311-ex6.tsv");
  ASSERT_EQ(rows.size(), 4u);
  for (const TableRow& row : rows) {
    solver.detonation(mix, {row.value("in_t1_k"), row.value("in_p1_bar")}, d);
    ASSERT_TRUE(d.has_values()) << d.flags;
    const engine::SetPoint &g1 = d.unburned, &g2 = d.burned;
    const double off = reference_cj_residual(row, mix, set, g1);
    EXPECT_GT(off, 3e-6) << "line " << row.line;  // beyond the rounding of its digits
    expect_row(row,
               {{"p1_atm", g1.P_bar / engine::kAtmBar},
                {"t1_k", g1.T_K},
                {"h1_cal_g", g1.h_kJ_kg / kCal},
                {"m1_kg_kmol", g1.M_g_mol},
                {"gamma1", g1.gamma_s},
                {"son_vel1_m_s", g1.sound_speed_m_s},
                {"p_atm", g2.P_bar / engine::kAtmBar},
                {"t_k", g2.T_K},
                {"rho_g_cc", g2.rho_kg_m3 / 1000.0},
                {"h_cal_g", g2.h_kJ_kg / kCal},
                {"u_cal_g", g2.u_kJ_kg / kCal},
                {"g_cal_g", g2.g_kJ_kg / kCal},
                {"s_cal_g_k", g2.s_kJ_kgK / kCal},
                {"m_kg_kmol", g2.M_g_mol},
                {"dlnv_dlnp_t", g2.dlnV_dlnP_T},
                {"dlnv_dlnt_p", g2.dlnV_dlnT_P},
                {"cp_cal_g_k", g2.cp_eq_kJ_kgK / kCal},
                {"gamma_s", g2.gamma_s},
                {"son_vel_m_s", g2.sound_speed_m_s},
                {"det_p_p1", d.p_ratio},
                {"det_t_t1", d.t_ratio},
                {"det_m_m1", d.m_ratio},
                {"det_rho_rho1", d.rho_ratio},
                {"det_mach", d.det_mach},
                {"det_vel_m_s", d.det_vel_m_s}},
               &g2, set, std::max(1e-5, kAmplified * off));
  }
}

// The columns the table marks as the reference's faults ("*": the whole row).
bool faulty(const TableRow& row, const std::string& column) {
  const std::string bad = row.has("bad_cols") ? row.text("bad_cols") : "";
  return bad == "*" || (";" + bad + ";").find(";" + column + ";") != std::string::npos;
}

// The reference's example 7 prints states that are solutions of the shock
// only roughly: its P2/P1 and T2 with our records (which give its printed
// h2 and rho2/rho1 to their last digit) break the momentum balance by up
// to 6e-5 and the energy balance by up to 2.7e-4, the frozen ones the more
// the faster the shock. Ours hold both to 1e-8 (conservation-test.cpp).
// So the quantities behind the shock are held to kAmplified times the
// larger of the two residuals of the reference's own state (times the
// sensitivity near the detonation speed), or 1e-5; those of gas 1 to 1e-5
// or half a unit, as everywhere.

// The larger relative residual of momentum and energy at the printed
// P2/P1 and T2 of `row`.
double reference_residual(const TableRow& row, const Mixture& mix, const engine::ProductSet& set,
                          const engine::SetPoint& g1) {
  engine::SetSolver eq(set);
  engine::SetPoint q = eq.make_point();
  const double u1 = row.value("in_u1_m_s");
  engine::SetCondition c;
  c.T_K = row.value("t_k");
  c.p_bar = row.value("p2_p1") * g1.P_bar;
  if (row.text("model") == "eq") {
    eq.solve(mix.b_mol_kg, c, q);
  } else {
    WaveSolver(set).unburned(mix, {c.T_K, c.p_bar}, q);  // the composition of gas 1
  }
  const double r = q.rho_kg_m3 / g1.rho_kg_m3, m = g1.rho_kg_m3 * u1 * u1;
  const double momentum = (q.P_bar * 1e5 - g1.P_bar * 1e5 - m * (1.0 - 1.0 / r)) / m;
  const double energy =
      (1000.0 * (q.h_kJ_kg - g1.h_kJ_kg) - u1 * u1 / 2.0 * (1.0 - 1.0 / (r * r))) / (u1 * u1 / 2.0);
  return std::max(std::fabs(momentum), std::fabs(energy));
}

TEST(WavesValidation, Example7IncidentShocks) {
  const engine::ProductSet set =
      engine::select_products(engine::builtin_species(), {{"H", "O", "Ar"}});
  const ReactantMoles r[] = {{"H2", 0.05}, {"O2", 0.05}, {"Ar", 0.90}};
  const Mixture mix = mixture_of(set, r);
  WaveSolver solver(set);
  Shock s = solver.make_shock();
  const auto rows = read_table(kData + "/rp1311-ex7.tsv");
  ASSERT_EQ(rows.size(), 14u);
  int checked = 0;
  for (const TableRow& row : rows) {
    ShockInput in;
    in.initial = {row.value("in_t1_k"), row.value("in_p1_mmhg") * kReferenceMmHgBar};
    in.u1_m_s = row.value("in_u1_m_s");
    in.model = row.text("model") == "eq" ? ShockModel::equilibrium : ShockModel::frozen;
    solver.shock(mix, in, s);
    if (faulty(row, "*")) {
      // No solution: slower than the mixture's detonation, which is refused
      // with the slowest speed that has one.
      EXPECT_EQ(s.flags, kShockTooSlow | engine::kNoSolution) << "line " << row.line;
      EXPECT_GT(s.slowest_m_s, in.u1_m_s) << "line " << row.line;
      EXPECT_TRUE(std::isnan(s.incident.T_K));
      continue;
    }
    ASSERT_TRUE(s.has_values()) << "line " << row.line << ", flags " << s.flags;
    const engine::SetPoint &g1 = s.unburned, &g2 = s.incident;
    if (faulty(row, "gamma_s")) {
      EXPECT_NEAR(g2.gamma_s, g2.cp_fr_kJ_kgK / (g2.cp_fr_kJ_kgK - 8.314510 / g2.M_g_mol), 1e-12);
    }
    const double gamma2 = faulty(row, "gamma_s") ? std::nan("") : g2.gamma_s;
    const double off = reference_residual(row, mix, set, s.unburned);
    // Near the detonation speed D the two states of an equilibrium shock
    // meet and the state moves with the residual over sqrt(u1/D - 1).
    const double fold = in.model == ShockModel::equilibrium
                            ? 1.0 / std::sqrt(std::min(1.0, in.u1_m_s / s.slowest_m_s - 1.0))
                            : 1.0;
    const double rel = std::max(1e-5, kAmplified * fold * off);
    expect_row(row,
               {{"mach1", s.mach1},
                {"u1_m_s", s.u1_m_s},
                {"p1_bar", g1.P_bar},
                {"t1_k", g1.T_K},
                {"rho1_kg_m3", g1.rho_kg_m3},
                {"h1_kj_kg", g1.h_kJ_kg},
                {"u1_kj_kg", g1.u_kJ_kg},
                {"g1_kj_kg", g1.g_kJ_kg},
                {"s1_kj_kg_k", g1.s_kJ_kgK},
                {"m1_kg_kmol", g1.M_g_mol},
                {"cp1_kj_kg_k", g1.cp_fr_kJ_kgK},
                {"gamma_s1", g1.gamma_s},
                {"son_vel1_m_s", g1.sound_speed_m_s},
                {"u2_m_s", s.u2_m_s},
                {"p_bar", g2.P_bar},
                {"t_k", g2.T_K},
                {"rho_kg_m3", g2.rho_kg_m3},
                {"h_kj_kg", g2.h_kJ_kg},
                {"u_kj_kg", g2.u_kJ_kg},
                {"g_kj_kg", g2.g_kJ_kg},
                {"s_kj_kg_k", g2.s_kJ_kgK},
                {"m_kg_kmol", g2.M_g_mol},
                {"dlnv_dlnp_t", g2.dlnV_dlnP_T},
                {"dlnv_dlnt_p", g2.dlnV_dlnT_P},
                {"cp_kj_kg_k", g2.cp_eq_kJ_kgK},
                {"gamma_s", gamma2},
                {"son_vel_m_s", g2.sound_speed_m_s},
                {"p2_p1", s.p2_p1},
                {"t2_t1", s.t2_t1},
                {"m2_m1", s.m2_m1},
                {"rho2_rho1", s.rho2_rho1},
                {"v2_m_s", s.v2_m_s}},
               &g2, set, rel);
    ++checked;
  }
  EXPECT_EQ(checked, 13);
}

}  // namespace
}  // namespace zuna::waves
