// `zuna4c detonation` and `zuna4c shock` as functions: the report's
// examples 6 and 7 through the command line, held to the reference tables
// with the tolerances of the waves' own validation; the refused points on
// their rows; the columns of a run; bad input stopped on one line before
// anything is computed.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cea-tables.h"
#include "commands/wave-command.h"
#include "waves/waves.h"

namespace zuna {
namespace {

using engine::testing::half_unit;
using engine::testing::read_table;
using engine::testing::TableRow;

const std::string kData = ZUNA_WAVES_TEST_DATA;
constexpr double kCal = 4.184;
constexpr double kAmplified = 3.0;  // as the waves' validation

struct Outcome {
  int status = 0;
  std::string out, err;
};

Outcome run(const char* command, std::vector<std::string> args) {
  args.insert(args.begin(), command);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::fflush(stdout);
  std::fflush(stderr);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int saved_out = dup(STDOUT_FILENO), saved_err = dup(STDERR_FILENO);
  dup2(fileno(out), STDOUT_FILENO);
  dup2(fileno(err), STDERR_FILENO);
  Outcome r;
  const int argc = static_cast<int>(args.size());
  r.status = std::string(command) == "shock" ? run_shock_command(argc, argv.data())
                                             : run_detonation_command(argc, argv.data());
  std::fflush(stdout);
  std::fflush(stderr);
  dup2(saved_out, STDOUT_FILENO);
  dup2(saved_err, STDERR_FILENO);
  close(saved_out);
  close(saved_err);
  for (auto [file, text] : {std::pair{out, &r.out}, std::pair{err, &r.err}}) {
    std::rewind(file);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text->append(buffer, n);
    std::fclose(file);
  }
  return r;
}

// The rows of a CSV by column name.
using CsvRow = std::map<std::string, std::string>;
std::vector<CsvRow> csv(const std::string& text, std::vector<std::string>* header = nullptr) {
  std::istringstream lines(text);
  std::string line;
  std::vector<std::string> names;
  std::vector<CsvRow> rows;
  while (std::getline(lines, line)) {
    std::vector<std::string> cells;
    std::stringstream cs(line);
    std::string cell;
    while (std::getline(cs, cell, ',')) cells.push_back(cell);
    if (!line.empty() && line.back() == ',') cells.emplace_back();
    if (names.empty()) {
      names = cells;
      continue;
    }
    CsvRow row;
    for (std::size_t k = 0; k < names.size() && k < cells.size(); ++k) row[names[k]] = cells[k];
    rows.push_back(row);
  }
  if (header != nullptr) *header = names;
  return rows;
}

double num(const CsvRow& row, const std::string& column) {
  const auto it = row.find(column);
  EXPECT_NE(it, row.end()) << column;
  return it == row.end() || it->second.empty() ? std::nan("") : std::stod(it->second);
}

// A reference column, the command's column and the factor that takes the
// command's value to the reference's unit.
struct Mapped {
  const char* reference;
  const char* column;
  double factor;
};

void expect_mapped(const TableRow& ref, const CsvRow& row, std::initializer_list<Mapped> map,
                   double rel_behind) {
  for (const Mapped& m : map) {
    if (!ref.has(m.reference) || ref.text(m.reference).empty()) continue;
    const double want = ref.value(m.reference);
    const std::string name = m.reference;
    const bool before = name == "mach1" || (name.find('1') != std::string::npos &&
                                            name.find('2') == std::string::npos);
    const double tol =
        std::max((before ? 1e-5 : rel_behind) * std::fabs(want), half_unit(ref.text(m.reference)));
    EXPECT_NEAR(num(row, m.column) * m.factor, want, tol) << m.reference << ", line " << ref.line;
  }
  for (const auto& [column, text] : ref.cells) {
    if (column.rfind("x_", 0) != 0 || text.empty()) continue;
    const double want = std::stod(text);
    EXPECT_NEAR(num(row, column), want, std::max({2e-6, rel_behind * want, half_unit(text)}))
        << column << ", line " << ref.line;
  }
}

// The reference's own residual of the Chapman-Jouguet state it prints, as
// the waves' validation measures it: its tolerance grows with it.
double cj_residual(const TableRow& row, const waves::Mixture& mix, const engine::ProductSet& set,
                   double rho1, double P1_bar, double h1) {
  engine::SetSolver eq(set);
  engine::SetPoint q = eq.make_point();
  engine::SetCondition c;
  c.T_K = row.value("t_k");
  c.p_bar = row.value("p_atm") * engine::kAtmBar;
  eq.solve(mix.b_mol_kg, c, q);
  const double r = q.rho_kg_m3 / rho1;
  const double D2 = (q.P_bar - P1_bar) * 1e5 / (rho1 * (1.0 - 1.0 / r));
  const double sonic = std::sqrt(D2) / r / q.sound_speed_m_s - 1.0;
  const double energy = (1000.0 * (q.h_kJ_kg - h1) - D2 / 2.0 * (1.0 - 1.0 / (r * r))) / (D2 / 2.0);
  return std::max(std::fabs(sonic), std::fabs(energy));
}

TEST(WaveCommands, DetonationOfExample6) {
  const Outcome r =
      run("detonation", {"--t1=298.15,500", "--p1=1bar,20bar", "--csv=-", "--transport"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<CsvRow> rows = csv(r.out);
  ASSERT_EQ(rows.size(), 4u);
  const engine::ProductSet set = engine::select_products(engine::builtin_species(), {{"H", "O"}});
  const waves::ReactantMoles moles[] = {{"H2", 2.0}, {"O2", 1.0}};
  const waves::Mixture mix = waves::mixture_of(set, moles);
  waves::WaveSolver solver(set);
  int checked = 0;
  for (const TableRow& ref : read_table(kData + "/rp1311-ex6.tsv")) {
    for (const CsvRow& row : rows) {
      if (std::fabs(num(row, "T1_K") - ref.value("in_t1_k")) > 1e-9 ||
          std::fabs(num(row, "P1_bar") - ref.value("in_p1_bar")) > 1e-12) {
        continue;
      }
      ++checked;
      // A product without transport fits (512) is the only flag.
      EXPECT_EQ(std::stoul(row.at("flags")) & ~unsigned(zuna4::kTransportIncomplete), 0u);
      EXPECT_EQ(row.at("set"), "named");
      EXPECT_FALSE(row.at("visc_uPa_s").empty());
      engine::SetPoint g1 = solver.make_detonation().unburned;
      solver.unburned(mix, {num(row, "T1_K"), num(row, "P1_bar")}, g1);
      const double off = cj_residual(ref, mix, set, g1.rho_kg_m3, g1.P_bar, g1.h_kJ_kg);
      const double atm = 1.0 / engine::kAtmBar;
      expect_mapped(ref, row,
                    {{"p1_atm", "P1_bar", atm},
                     {"t1_k", "T1_K", 1.0},
                     {"h1_cal_g", "H1_kJ_kg", 1.0 / kCal},
                     {"m1_kg_kmol", "M1", 1.0},
                     {"gamma1", "gamma1", 1.0},
                     {"son_vel1_m_s", "son_vel1_m_s", 1.0},
                     {"p_atm", "P_bar", atm},
                     {"t_k", "T_K", 1.0},
                     {"rho_g_cc", "rho_kg_m3", 1e-3},
                     {"h_cal_g", "H_kJ_kg", 1.0 / kCal},
                     {"u_cal_g", "U_kJ_kg", 1.0 / kCal},
                     {"g_cal_g", "G_kJ_kg", 1.0 / kCal},
                     {"s_cal_g_k", "S_kJ_kgK", 1.0 / kCal},
                     {"m_kg_kmol", "M", 1.0},
                     {"dlnv_dlnp_t", "dlnV_dlnP_T", 1.0},
                     {"dlnv_dlnt_p", "dlnV_dlnT_P", 1.0},
                     {"cp_cal_g_k", "Cp_kJ_kgK", 1.0 / kCal},
                     {"gamma_s", "gamma_s", 1.0},
                     {"son_vel_m_s", "son_vel_m_s", 1.0},
                     {"det_p_p1", "p_ratio", 1.0},
                     {"det_t_t1", "t_ratio", 1.0},
                     {"det_m_m1", "m_ratio", 1.0},
                     {"det_rho_rho1", "rho_ratio", 1.0},
                     {"det_mach", "det_mach", 1.0},
                     {"det_vel_m_s", "det_vel_m_s", 1.0}},
                    std::max(1e-5, kAmplified * off));
    }
  }
  EXPECT_EQ(checked, 4);
}

// The reference's residual of momentum and energy at the P2/P1 and T2 it
// prints for a shock at u1 (the waves' validation's measure).
double shock_residual(const TableRow& row, const waves::Mixture& mix,
                      const engine::ProductSet& set, const engine::SetPoint& g1, double u1) {
  engine::SetSolver eq(set);
  engine::SetPoint q = eq.make_point();
  engine::SetCondition c;
  c.T_K = row.value("t_k");
  c.p_bar = row.value("p2_p1") * g1.P_bar;
  if (row.text("model") == "eq") {
    eq.solve(mix.b_mol_kg, c, q);
  } else {
    waves::WaveSolver(set).unburned(mix, {c.T_K, c.p_bar}, q);
  }
  const double r = q.rho_kg_m3 / g1.rho_kg_m3, m = g1.rho_kg_m3 * u1 * u1;
  const double momentum = (q.P_bar * 1e5 - g1.P_bar * 1e5 - m * (1.0 - 1.0 / r)) / m;
  const double energy =
      (1000.0 * (q.h_kJ_kg - g1.h_kJ_kg) - u1 * u1 / 2.0 * (1.0 - 1.0 / (r * r))) / (u1 * u1 / 2.0);
  return std::max(std::fabs(momentum), std::fabs(energy));
}

bool faulty(const TableRow& row, const std::string& column) {
  const std::string bad = row.has("bad_cols") ? row.text("bad_cols") : "";
  return bad == "*" || (";" + bad + ";").find(";" + column + ";") != std::string::npos;
}

TEST(WaveCommands, IncidentShocksOfExample7) {
  // The reference's mmHg is 0.001333 bar: its pressures, in bar.
  const std::vector<std::string> mix_args = {"--fuel=H2:0.05", "--oxidant=O2:0.05",
                                             "--diluent=Ar:0.9", "--t1=300",
                                             "--model=equilibrium,frozen", "--csv=-"};
  std::vector<CsvRow> rows;
  for (const auto& [p1, u1] : {std::pair{"0.01333bar", "1000"},
                               std::pair{"0.02666bar", "1100,1200,1250,1300,1350,1400"}}) {
    std::vector<std::string> args = mix_args;
    args.push_back(std::string("--p1=") + p1);
    args.push_back(std::string("--u1=") + u1);
    const Outcome r = run("shock", args);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const CsvRow& row : csv(r.out)) rows.push_back(row);
  }
  const engine::ProductSet set =
      engine::select_products(engine::builtin_species(), {{"H", "O", "Ar"}});
  const waves::ReactantMoles moles[] = {{"H2", 0.05}, {"O2", 0.05}, {"Ar", 0.90}};
  const waves::Mixture mix = waves::mixture_of(set, moles);
  waves::WaveSolver solver(set);
  waves::Shock s = solver.make_shock();
  int checked = 0, refused = 0;
  for (const TableRow& ref : read_table(kData + "/rp1311-ex7.tsv")) {
    const double u1 = ref.value("in_u1_m_s");
    const std::string model = ref.text("model") == "eq" ? "equilibrium" : "frozen";
    const CsvRow* found = nullptr;
    for (const CsvRow& row : rows) {
      if (row.at("model") == model && num(row, "u1_m_s") == u1) found = &row;
    }
    ASSERT_NE(found, nullptr) << "line " << ref.line;
    const CsvRow& row = *found;
    EXPECT_EQ(row.at("shock"), "incident");
    if (faulty(ref, "*")) {
      // Slower than the mixture's detonation: refused, naming the slowest
      // speed with a solution, no state printed.
      EXPECT_EQ(std::stoul(row.at("flags")), unsigned(waves::kShockTooSlow | engine::kNoSolution));
      EXPECT_GT(num(row, "slowest_u1_m_s"), u1);
      EXPECT_TRUE(row.at("T_K").empty());
      EXPECT_TRUE(row.at("p_ratio").empty());
      ++refused;
      continue;
    }
    EXPECT_EQ(row.at("flags"), "0") << "line " << ref.line;
    EXPECT_TRUE(row.at("slowest_u1_m_s").empty());
    waves::ShockInput in;
    in.initial = {num(row, "T1_K"), num(row, "P1_bar")};
    in.u1_m_s = u1;
    in.model = model == "equilibrium" ? waves::ShockModel::equilibrium : waves::ShockModel::frozen;
    solver.shock(mix, in, s, true);
    const double fold = in.model == waves::ShockModel::equilibrium
                            ? 1.0 / std::sqrt(std::min(1.0, u1 / s.slowest_m_s - 1.0))
                            : 1.0;
    const double off = shock_residual(ref, mix, set, s.unburned, u1);
    expect_mapped(ref, row,
                  {{"mach1", "mach1", 1.0},
                   {"u1_m_s", "u1_m_s", 1.0},
                   {"p1_bar", "P1_bar", 1.0},
                   {"t1_k", "T1_K", 1.0},
                   {"h1_kj_kg", "H1_kJ_kg", 1.0},
                   {"m1_kg_kmol", "M1", 1.0},
                   {"gamma_s1", "gamma1", 1.0},
                   {"son_vel1_m_s", "son_vel1_m_s", 1.0},
                   {"u2_m_s", "u2_m_s", 1.0},
                   {"p_bar", "P_bar", 1.0},
                   {"t_k", "T_K", 1.0},
                   {"rho_kg_m3", "rho_kg_m3", 1.0},
                   {"h_kj_kg", "H_kJ_kg", 1.0},
                   {"u_kj_kg", "U_kJ_kg", 1.0},
                   {"g_kj_kg", "G_kJ_kg", 1.0},
                   {"s_kj_kg_k", "S_kJ_kgK", 1.0},
                   {"m_kg_kmol", "M", 1.0},
                   {"dlnv_dlnp_t", "dlnV_dlnP_T", 1.0},
                   {"dlnv_dlnt_p", "dlnV_dlnT_P", 1.0},
                   {"cp_kj_kg_k", "Cp_kJ_kgK", 1.0},
                   {"son_vel_m_s", "son_vel_m_s", 1.0},
                   {"p2_p1", "p_ratio", 1.0},
                   {"t2_t1", "t_ratio", 1.0},
                   {"m2_m1", "m_ratio", 1.0},
                   {"rho2_rho1", "rho_ratio", 1.0},
                   {"v2_m_s", "v2_m_s", 1.0}},
                  std::max(1e-5, kAmplified * fold * off));
    if (!faulty(ref, "gamma_s")) {
      expect_mapped(ref, row, {{"gamma_s", "gamma_s", 1.0}}, std::max(1e-5, kAmplified * fold * off));
    }
    ++checked;
  }
  EXPECT_EQ(checked, 13);
  EXPECT_EQ(refused, 1);
}

TEST(WaveCommands, ReflectedRowsFollowTheirIncidentShock) {
  const Outcome r = run("shock", {"--fuel=H2:1", "--oxidant=O2:1", "--diluent=Ar:0.9",
                                  "--p1=20mmHg", "--t1=300", "--mach1=3,4", "--incident",
                                  "--reflected", "--model=frozen", "--csv=-"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<CsvRow> rows = csv(r.out);
  ASSERT_EQ(rows.size(), 4u);
  for (std::size_t k = 0; k < rows.size(); k += 2) {
    const CsvRow &inc = rows[k], &ref = rows[k + 1];
    EXPECT_EQ(inc.at("shock"), "incident");
    EXPECT_EQ(ref.at("shock"), "reflected");
    EXPECT_EQ(ref.at("model"), "frozen");
    // Gas 5 at rest behind the shock that moves at u5 into gas 2: the mass
    // that enters it at u5 + v2 leaves at u5; P5/P2 and T5/T2 of the rows.
    const double rho2 = num(inc, "rho_kg_m3"), rho5 = num(ref, "rho_kg_m3");
    EXPECT_NEAR(rho2 * num(ref, "u5_v2_m_s"), rho5 * num(ref, "u5_m_s"), 1e-9 * rho5 * 1e3);
    EXPECT_DOUBLE_EQ(num(ref, "u5_v2_m_s"), num(ref, "u5_m_s") + num(inc, "v2_m_s"));
    EXPECT_NEAR(num(ref, "p_ratio"), num(ref, "P_bar") / num(inc, "P_bar"), 1e-12 * num(ref, "p_ratio"));
    EXPECT_NEAR(num(ref, "t_ratio"), num(ref, "T_K") / num(inc, "T_K"), 1e-12 * num(ref, "t_ratio"));
    EXPECT_EQ(inc.at("mach1"), ref.at("mach1"));
    EXPECT_TRUE(inc.at("u5_m_s").empty());
    EXPECT_GT(num(ref, "P_bar"), num(inc, "P_bar"));
  }
}

TEST(WaveCommands, ColumnsHoldTheProductsBeforePhiAndFlagsLast) {
  const Outcome r = run("detonation", {"--phi=0.5,2", "--csv=-"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> header;
  const std::vector<CsvRow> rows = csv(r.out, &header);
  ASSERT_EQ(rows.size(), 2u);
  const std::size_t at = detonation_species_at();
  ASSERT_GT(header.size(), at);
  EXPECT_EQ(header[at - 1], "det_vel_m_s");
  EXPECT_EQ(header[at], "x_H");  // the H/O gases of the data, in its order
  EXPECT_EQ(header.back(), "flags");
  EXPECT_EQ(num(rows[0], "phi"), 0.5);
  EXPECT_EQ(num(rows[1], "phi"), 2.0);
  EXPECT_LT(num(rows[0], "det_vel_m_s"), num(rows[1], "det_vel_m_s"));  // H2 rich is faster
  EXPECT_TRUE(rows[0].at("visc_uPa_s").empty());                         // without --transport
}

TEST(WaveCommands, APointWithoutSolutionIsRefusedOnItsRow) {
  // Hydrogen alone releases no heat: no detonation, no state printed.
  const Outcome r = run("detonation", {"--fuel=H2", "--csv=-"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<CsvRow> rows = csv(r.out);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(std::stoul(rows[0].at("flags")) & waves::kNoChapmanJouguet, waves::kNoChapmanJouguet);
  EXPECT_TRUE(rows[0].at("T_K").empty());
  EXPECT_TRUE(rows[0].at("det_vel_m_s").empty());
  EXPECT_FALSE(rows[0].at("son_vel1_m_s").empty());  // the unburned gas is still a state
}

TEST(WaveCommands, BadInputIsOneLineNamingTheOptionBeforeAnythingIsComputed) {
  const struct {
    const char* command;
    std::vector<std::string> args;
    const char* says;
  } cases[] = {
      {"detonation", {"--t1=100"}, "--t1"},
      {"detonation", {"--p1=2e5"}, "--p1"},
      {"detonation", {"--p1=1parsec"}, "--p1"},
      {"detonation", {"--fuel=Unobtainium"}, "--fuel Unobtainium"},
      {"detonation", {"--fuel=H2(L)"}, "--fuel H2(L)"},
      {"detonation", {"--fuel=H2@500"}, "--fuel H2@500"},
      {"detonation", {"--of=8", "--phi=1"}, "--phi"},
      {"detonation", {"--diluent=Ar"}, "--diluent Ar"},
      {"detonation", {"--only=H2O;Xx"}, "--only"},
      {"detonation", {"--by=volume"}, "--by"},
      {"shock", {}, "--u1 or --mach1"},
      {"shock", {"--u1=1000", "--mach1=3"}, "--mach1"},
      {"shock", {"--u1=-5"}, "--u1"},
      {"shock", {"--u1=1000", "--model=cold"}, "--model"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    args.push_back("--csv=-");
    const Outcome r = run(c.command, args);
    EXPECT_EQ(r.status, 2) << c.command << " " << c.says;
    EXPECT_TRUE(r.out.empty()) << c.says;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
  }
}

TEST(WaveCommands, JsonHoldsTheRowsOfTheCsv) {
  const Outcome c = run("shock", {"--mach1=4", "--csv=-"});
  const Outcome j = run("shock", {"--mach1=4", "--json=-"});
  ASSERT_EQ(c.status, 0) << c.err;
  ASSERT_EQ(j.status, 0) << j.err;
  const CsvRow row = csv(c.out).at(0);
  EXPECT_NE(j.out.find("\"program\": \"zuna4c\""), std::string::npos) << j.out.substr(0, 200);
  EXPECT_NE(j.out.find("\"T_K\": " + row.at("T_K")), std::string::npos);
  EXPECT_NE(j.out.find("\"x_H2O\": " + row.at("x_H2O")), std::string::npos);
}

}  // namespace
}  // namespace zuna
