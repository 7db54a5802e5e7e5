// `zuna4c equilibrium` on the general solver: the examples of NASA RP-1311
// run from the command line and held to the reference results the engine's
// and the reactants' tests hold (tests/engine/data, tests/reactants/data:
// example 14, H2(L) and O2(L) by their amounts through the dew point; example
// 1, H2 with Air at r,eq.ratio 1 and 1.5 with its 'only' list; example 2,
// tv), every printed quantity within 1e-5 relative or half a unit of its last
// printed digit, mole fractions within 2e-6. Then the columns (the six
// gases' table up to x_OH, empty for a product left out, the further
// products, y_, phi, r_eq), the six gases by --only against the six gases'
// engine, the readable table's trace and header, and the refusals of bad
// input with one line naming the option.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "session.h"

namespace zuna::testing {
namespace {

// A reference table: tab-separated, '#' comment lines, the first other line
// the column names; each number as printed.
struct TableRow {
  std::map<std::string, std::string> cells;
  int line = 0;

  const std::string& text(const std::string& column) const { return cells.at(column); }
  double value(const std::string& column) const { return std::stod(cells.at(column)); }
  bool has(const std::string& column) const {
    const auto it = cells.find(column);
    return it != cells.end() && !it->second.empty();
  }
};

std::vector<TableRow> read_table(const std::string& file) {
  std::ifstream in(file);
  EXPECT_TRUE(in) << file;
  std::vector<TableRow> rows;
  std::vector<std::string> names;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (line.empty() || line[0] == '#') {
      continue;
    }
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) {
      fields.push_back(field);
    }
    if (names.empty()) {
      names = fields;
      continue;
    }
    TableRow& row = rows.emplace_back();
    row.line = number;
    for (std::size_t k = 0; k < names.size(); ++k) {
      row.cells[names[k]] = k < fields.size() ? fields[k] : std::string();
    }
  }
  return rows;
}

// Half a unit of the last digit printed: "2946.01" gives 0.005.
double half_unit(const std::string& printed) {
  const auto e = printed.find_first_of("eE");
  const std::string mantissa = printed.substr(0, e);
  const int exponent = e == std::string::npos ? 0 : std::stoi(printed.substr(e + 1));
  const auto dot = mantissa.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(mantissa.size() - dot - 1);
  return 0.5 * std::pow(10.0, exponent - decimals);
}

constexpr double kCal_J = 4.184;
constexpr double kAtmBar = 1.01325;

const char kExample1Only[] =
    "Ar;C;CO;CO2;H;H2;H2O;HNO;HO2;HNO2;HNO3;N;NH;NO;N2;N2O3;O;O2;OH;O3";

// A CSV as maps from column to cell.
struct Csv {
  std::vector<std::string> header;
  std::vector<std::map<std::string, std::string>> rows;
};

Csv read_csv(const std::string& text) {
  Csv csv;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> cells;
    std::size_t at = 0;
    for (std::size_t comma; (comma = line.find(',', at)) != std::string::npos; at = comma + 1) {
      cells.push_back(line.substr(at, comma - at));
    }
    cells.push_back(line.substr(at));
    if (csv.header.empty()) {
      csv.header = cells;
      continue;
    }
    EXPECT_EQ(cells.size(), csv.header.size()) << line;
    auto& row = csv.rows.emplace_back();
    for (std::size_t k = 0; k < cells.size() && k < csv.header.size(); ++k) {
      row[csv.header[k]] = cells[k];
    }
  }
  return csv;
}

double number(const std::string& cell) {
  double v = std::nan("");
  const auto r = std::from_chars(cell.data(), cell.data() + cell.size(), v);
  EXPECT_TRUE(r.ec == std::errc() && r.ptr == cell.data() + cell.size()) << "'" << cell << "'";
  return v;
}

SessionResult equilibrium(const WorkFolder& folder, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "equilibrium");
  return folder.run_with_arguments(arguments);
}

Csv run_csv(const WorkFolder& folder, std::vector<std::string> arguments) {
  arguments.push_back("--csv=-");
  const SessionResult r = equilibrium(folder, arguments);
  EXPECT_EQ(r.exit_code, 0) << r.err;
  return read_csv(r.out);
}

// Every printed quantity of the reference row against the command's row.
void expect_row_matches(const TableRow& ref, const std::map<std::string, std::string>& row) {
  const struct {
    const char* ref;
    const char* column;
    double scale;  // the reference's unit per the column's
  } quantities[] = {{"p_bar", "P_bar", 1.0},
                    {"p_atm", "P_bar", 1.0 / kAtmBar},
                    {"t_k", "T_K", 1.0},
                    {"rho_kg_m3", "rho_kg_m3", 1.0},
                    {"rho_g_cc", "rho_kg_m3", 1e-3},
                    {"h_kj_kg", "H_kJ_kg", 1.0},
                    {"u_kj_kg", "U_kJ_kg", 1.0},
                    {"g_kj_kg", "G_kJ_kg", 1.0},
                    {"s_kj_kg_k", "S_kJ_kgK", 1.0},
                    {"h_cal_g", "H_kJ_kg", 1.0 / kCal_J},
                    {"u_cal_g", "U_kJ_kg", 1.0 / kCal_J},
                    {"g_cal_g", "G_kJ_kg", 1.0 / kCal_J},
                    {"s_cal_g_k", "S_kJ_kgK", 1.0 / kCal_J},
                    {"m_kg_kmol", "M", 1.0},
                    {"dlnv_dlnp_t", "dlnV_dlnP_T", 1.0},
                    {"dlnv_dlnt_p", "dlnV_dlnT_P", 1.0},
                    {"cp_kj_kg_k", "Cp_kJ_kgK", 1.0},
                    {"cp_cal_g_k", "Cp_kJ_kgK", 1.0 / kCal_J},
                    {"gamma_s", "gamma_s", 1.0},
                    {"son_vel_m_s", "son_vel_m_s", 1.0},
                    {"o_f", "of", 1.0},
                    {"r_eq_ratio", "r_eq", 1.0},
                    {"phi_eq_ratio", "phi", 1.0}};
  int compared = 0;
  for (const auto& q : quantities) {
    if (!ref.has(q.ref) || ref.text(q.ref).find('*') != std::string::npos) {
      continue;
    }
    const double expected = ref.value(q.ref);
    if (expected == 0.0 && std::string(q.ref).find("_ratio") != std::string::npos) {
      continue;  // amounts alone: the report prints no ratio
    }
    if (expected == 0.0 && std::string(q.ref) == "o_f") {
      continue;
    }
    const double got = number(row.at(q.column)) * q.scale;
    const double tol = std::max(1e-5 * std::fabs(expected), half_unit(ref.text(q.ref)));
    EXPECT_NEAR(got, expected, tol) << q.ref << ", reference line " << ref.line;
    ++compared;
  }
  EXPECT_GE(compared, 13);
  for (const auto& [column, text] : ref.cells) {
    if (column.rfind("x_", 0) != 0 || text.empty()) {
      continue;
    }
    ASSERT_TRUE(row.count(column)) << column << " is no column";
    EXPECT_NEAR(number(row.at(column)), std::stod(text), std::max(2e-6, half_unit(text)))
        << column << ", reference line " << ref.line;
  }
}

std::string list_of(const std::vector<TableRow>& rows, const char* column) {
  std::vector<std::string> seen;
  for (const TableRow& r : rows) {
    if (std::find(seen.begin(), seen.end(), r.text(column)) == seen.end()) {
      seen.push_back(r.text(column));
    }
  }
  std::string list;
  for (const std::string& v : seen) {
    list += (list.empty() ? "" : ",") + v;
  }
  return list;
}

TEST(GeneralEquilibrium, Example14ThroughTheDewPointByTheAmounts) {
  const WorkFolder folder;
  const auto refs = read_table(ZUNA_ENGINE_TEST_DATA "/rp1311-ex14.tsv");
  ASSERT_EQ(refs.size(), 8u);
  const Csv csv = run_csv(folder, {"--problem=tp", "-p", "0.05", "--temperature",
                                   list_of(refs, "in_t_k"), "--fuel", "H2(L):100", "--oxidant",
                                   "O2(L):60", "--by", "moles"});
  ASSERT_EQ(csv.rows.size(), refs.size());
  for (std::size_t k = 0; k < refs.size(); ++k) {
    SCOPED_TRACE(refs[k].text("in_t_k"));
    EXPECT_EQ(csv.rows[k].at("set"), "named");
    expect_row_matches(refs[k], csv.rows[k]);
  }
  // Water condenses below the dew point: the flag and its column; above,
  // the condensed species considered but absent print 0.
  EXPECT_EQ(csv.rows.front().at("x_H2O(L)"), "0");
  EXPECT_NE(std::stoi(csv.rows.back().at("flags")) & 256, 0);
  EXPECT_EQ(std::stoi(csv.rows.front().at("flags")) & 256, 0);
  EXPECT_NEAR(number(csv.rows.front().at("of")), 60.0 * 31.9988 / (100.0 * 2.01588), 1e-12);
}

TEST(GeneralEquilibrium, Example1HydrogenWithAirAtTwoEquivalenceRatios) {
  const WorkFolder folder;
  const auto refs = read_table(ZUNA_REACTANTS_TEST_DATA "/rp1311-ex1.tsv");
  ASSERT_EQ(refs.size(), 12u);
  const Csv csv = run_csv(folder, {"--problem=tp", "-p", list_of(refs, "in_p_atm"),
                                   "--temperature", list_of(refs, "in_t_k"), "--fuel=H2",
                                   "--oxidant=Air", "--r-eq=1,1.5", "--only", kExample1Only});
  ASSERT_EQ(csv.rows.size(), refs.size());
  for (const TableRow& ref : refs) {
    SCOPED_TRACE(ref.line);
    const auto row = std::find_if(csv.rows.begin(), csv.rows.end(), [&](const auto& r) {
      return number(r.at("p_atm")) == ref.value("in_p_atm") &&
             number(r.at("T_K")) == ref.value("in_t_k") &&
             std::fabs(number(r.at("r_eq")) - ref.value("in_r_eq")) < 1e-12;
    });
    ASSERT_NE(row, csv.rows.end());
    expect_row_matches(ref, *row);
  }
  // Only the 20 products: no column of another.
  EXPECT_EQ(std::count_if(csv.header.begin(), csv.header.end(),
                          [](const std::string& c) { return c.rfind("x_", 0) == 0; }),
            20);
}

TEST(GeneralEquilibrium, Example2AtAssignedTemperatureAndVolume) {
  const WorkFolder folder;
  const auto refs = read_table(ZUNA_REACTANTS_TEST_DATA "/rp1311-ex2.tsv");
  ASSERT_FALSE(refs.empty());
  for (const TableRow& ref : refs) {
    SCOPED_TRACE(ref.line);
    char rho_kg_m3[32];
    std::snprintf(rho_kg_m3, sizeof rho_kg_m3, "%.17g", ref.value("in_rho_g_cc") * 1000.0);
    const Csv csv = run_csv(
        folder, {"--problem=tv", "--temperature", ref.text("in_t_k"), "--rho",
                 rho_kg_m3, "--fuel=H2:100%", "--oxidant=Air:100%",
                 "--by=mass", "--phi", ref.text("in_phi_eq"), "--only", kExample1Only});
    ASSERT_EQ(csv.rows.size(), 1u);
    expect_row_matches(ref, csv.rows.front());
  }
}

// The six gases by --only give the numbers of the six gases' engine, kept
// in golden files written by it (the iterations aside), and their columns
// keep their places.
TEST(GeneralEquilibrium, SixGasesByOnlyAreTheSixGasesEngine) {
  const WorkFolder folder;
  const struct {
    const char* golden;
    std::vector<std::string> arguments;
  } runs[] = {
      {"hp.csv", {"-p", "1,100"}},
      {"tp.csv", {"--problem=tp", "--temperature=2500,3500", "-p", "0.5,20", "--of", "4,8,16"}},
      {"uv.csv", {"--problem=uv", "--rho=0.5,5", "--of", "6,8"}},
      {"sp.csv", {"--problem=sp", "--entropy=12", "-p", "1,10", "--of", "6,8"}},
  };
  for (const auto& run : runs) {
    SCOPED_TRACE(run.golden);
    std::ifstream in(std::string(ZUNA_GOLDEN_DIR) + "/equilibrium-six-gases/" + run.golden);
    std::stringstream text;
    text << in.rdbuf();
    const Csv six = read_csv(text.str());
    ASSERT_FALSE(six.rows.empty());
    std::vector<std::string> general = run.arguments;
    general.insert(general.end(), {"--only", "H2O;O2;H2;H;O;OH"});
    const Csv all = run_csv(folder, general);
    ASSERT_EQ(all.rows.size(), six.rows.size());
    // The same columns, phi and r_eq before iterations and flags.
    ASSERT_EQ(all.header.size(), six.header.size() + 2);
    for (std::size_t k = 0; k + 2 < six.header.size(); ++k) {
      EXPECT_EQ(all.header[k], six.header[k]);
    }
    EXPECT_EQ(all.header[all.header.size() - 4], "phi");
    EXPECT_EQ(all.header[all.header.size() - 3], "r_eq");
    for (std::size_t r = 0; r < six.rows.size(); ++r) {
      for (const std::string& c : six.header) {
        const std::string& a = six.rows[r].at(c);
        const std::string& b = all.rows[r].at(c);
        if (c == "iterations") {
          continue;
        }
        if (c == "problem" || c == "set" || c == "flags" || a.empty()) {
          EXPECT_EQ(a, b) << c << ", row " << r;
          continue;
        }
        const double x = number(a), y = number(b);
        EXPECT_NEAR(y, x, 1e-9 * std::fabs(x)) << c << ", row " << r;
      }
    }
  }
}

TEST(GeneralEquilibrium, ColumnsOfARestrictedSetAndMassFractions) {
  const WorkFolder folder;
  const Csv csv = run_csv(folder, {"--of=6", "--omit", "OH;H2O2", "--mass-fractions"});
  ASSERT_EQ(csv.rows.size(), 1u);
  const auto& h = csv.header;
  const auto at = [&](const std::string& name) {
    return static_cast<std::size_t>(std::find(h.begin(), h.end(), name) - h.begin());
  };
  EXPECT_EQ(at("x_OH"), 25u);
  EXPECT_EQ(csv.rows[0].at("x_OH"), "");  // left out: empty
  EXPECT_EQ(at("x_H2O2"), h.size());      // neither a column
  EXPECT_LT(at("x_OH"), at("x_HO2"));
  EXPECT_LT(at("x_HO2"), at("y_H2O"));
  EXPECT_EQ(at("y_OH"), at("y_H2O") + 5);
  EXPECT_EQ(at("phi"), h.size() - 4);
  EXPECT_EQ(at("r_eq"), h.size() - 3);
  EXPECT_EQ(h.back(), "flags");
  double y_sum = 0.0;
  for (const std::string& c : h) {
    if (c.rfind("y_", 0) == 0 && !csv.rows[0].at(c).empty()) {
      y_sum += number(csv.rows[0].at(c));
    }
  }
  EXPECT_NEAR(y_sum, 1.0, 1e-12);

  // The JSON: the same names in the same order, each one the schema knows
  // (by name or by the x_/y_ patterns), the reactants in its header.
  const SessionResult json = equilibrium(folder, {"--fuel=H2", "--oxidant=O2:1", "--diluent=N2:0.2",
                                                  "--phi=1", "--mass-fractions", "--json=-"});
  ASSERT_EQ(json.exit_code, 0) << json.err;
  const nlohmann::ordered_json doc = nlohmann::ordered_json::parse(json.out);
  std::ifstream in(ZUNA_EQUILIBRIUM_SCHEMA);
  const nlohmann::json schema = nlohmann::json::parse(in);
  const nlohmann::json& items = schema["properties"]["rows"]["items"];
  const Csv same = run_csv(folder, {"--fuel=H2", "--oxidant=O2:1", "--diluent=N2:0.2", "--phi=1",
                                    "--mass-fractions"});
  std::vector<std::string> names;
  for (const auto& [name, value] : doc["rows"][0].items()) {
    names.push_back(name);
    const bool known = items["properties"].contains(name) ||
                       ((name.rfind("x_", 0) == 0 || name.rfind("y_", 0) == 0) &&
                        (value.is_number() || value.is_null()));
    EXPECT_TRUE(known) << name;
  }
  EXPECT_EQ(names, same.header);
  ASSERT_EQ(doc["reactants"].size(), 3u);
  EXPECT_EQ(doc["reactants"][2]["name"], "N2");
  EXPECT_EQ(doc["reactants"][2]["role"], "diluent");
  EXPECT_NEAR(doc["reactants"][2]["mole_fraction"].get<double>(), 0.2, 1e-15);
  EXPECT_EQ(doc["rows"][0]["set"], "named");
}

TEST(GeneralEquilibrium, TheReadableTableTracesAndNamesItsReactants) {
  const WorkFolder folder;
  const SessionResult r = equilibrium(
      folder, {"--problem=tp", "--temperature=3000", "--fuel=H2", "--oxidant=Air", "--phi=1"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("fuel     H2"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("oxidant  Air"), std::string::npos);
  EXPECT_NE(r.out.find("below a mole fraction of 5e-06: C, CH,"), std::string::npos);
  EXPECT_NE(r.out.find("x_NO"), std::string::npos);
  // A product below the trace is named, not a line of the table.
  EXPECT_EQ(r.out.find("x_C(gr)"), std::string::npos);
  const SessionResult all = equilibrium(folder, {"--problem=tp", "--temperature=3000",
                                                 "--fuel=H2", "--oxidant=Air", "--phi=1",
                                                 "--trace=0"});
  EXPECT_NE(all.out.find("x_C(gr)"), std::string::npos);
}

TEST(GeneralEquilibrium, BadInputIsRefusedWithOneLineNamingTheOption) {
  const WorkFolder folder;
  const struct {
    std::vector<std::string> arguments;
    const char* option;
  } cases[] = {
      {{"--fuel=Unobtainium", "--oxidant=O2"}, "--fuel"},
      {{"--fuel=H2", "--oxidant=O2", "--diluent=Xe:0.5"}, "--diluent"},
      {{"--fuel=H2@5", "--oxidant=O2"}, "--fuel"},
      {{"--fuel=H2:40%", "--fuel=CH4:50%", "--oxidant=O2", "--phi=1"}, "--fuel"},
      {{"--diluent=Ar:1"}, "--diluent"},
      {{"--fuel=H2", "--oxidant=O2", "--of=8", "--phi=1"}, "--of"},
      {{"--fuel=H2", "--oxidant=O2", "--problem=sv", "--rho=1"}, "--entropy"},
      {{"--fuel=H2", "--oxidant=O2", "--problem=tv", "--temperature=3000"}, "--rho"},
      {{"--fuel=H2", "--oxidant=O2", "--reactants=gas"}, "--reactants"},
      {{"--phi=1"}, "--phi"},
      {{"--only=H2O;Kryptonite"}, "--only"},
      {{"--fuel=H2", "--oxidant=O2", "--enthalpy-of=N2=5"}, "--enthalpy-of"},
  };
  for (const auto& c : cases) {
    std::string given;
    for (const std::string& a : c.arguments) {
      given += a + " ";
    }
    SCOPED_TRACE(given);
    std::vector<std::string> arguments = c.arguments;
    arguments.push_back("--csv=out.csv");
    const SessionResult r = equilibrium(folder, arguments);
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_EQ(r.err.rfind("zuna4c equilibrium: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.option), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "out.csv"));
  }
}

}  // namespace
}  // namespace zuna::testing
