// `zuna4c equilibrium` as a process: the CSV's header and row order, numbers
// that read back, the O/F grid against the batch run's, flagged points, the
// JSON and its digest, usage and run-time errors with their exit codes, and
// results files that are put in place only when whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "session.h"
#include "tests/support/files-and-shell.h"

namespace zuna::testing {
namespace {

namespace fs = std::filesystem;

const char kHeader[] =
    "problem,set,p_atm,of,P_bar,T_K,rho_kg_m3,H_kJ_kg,U_kJ_kg,G_kJ_kg,S_kJ_kgK,M,dlnV_dlnP_T,"
    "dlnV_dlnT_P,Cp_kJ_kgK,gamma_s,son_vel_m_s,Cp_fr_kJ_kgK,gamma_fr,son_vel_fr_m_s,x_H2O,x_O2,"
    "x_H2,x_H,x_O,x_OH,iterations,flags";

using Row = std::vector<std::string>;

std::vector<Row> csv_rows(const std::string& text) {
  std::vector<Row> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    Row& row = rows.emplace_back();
    std::size_t at = 0;
    for (std::size_t comma; (comma = line.find(',', at)) != std::string::npos; at = comma + 1) {
      row.push_back(line.substr(at, comma - at));
    }
    row.push_back(line.substr(at));
  }
  return rows;
}

std::size_t column(const Row& header, const std::string& name) {
  for (std::size_t k = 0; k < header.size(); ++k) {
    if (header[k] == name) {
      return k;
    }
  }
  ADD_FAILURE() << "no column " << name;
  return 0;
}

// The whole cell as a double; a cell that is not one fails the test.
double number(const std::string& cell) {
  double v = 0.0;
  const auto r = std::from_chars(cell.data(), cell.data() + cell.size(), v);
  EXPECT_TRUE(r.ec == std::errc() && r.ptr == cell.data() + cell.size()) << "'" << cell << "'";
  return v;
}

SessionResult equilibrium(const WorkFolder& folder, std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "equilibrium");
  return folder.run_with_arguments(arguments);
}

std::string sha256_of(const fs::path& file) {
  int status = 0;
  const std::string out = run_shell("sha256sum '" + file.string() + "'", status);
  EXPECT_EQ(status, 0);
  return out.substr(0, 64);
}

TEST(Equilibrium, HeaderRowOrderAndEchoedInputs) {
  WorkFolder folder;
  const SessionResult r = equilibrium(folder, {"-p", "1,10", "--of", "8,4,6", "--csv", "-"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<Row> rows = csv_rows(r.out);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), kHeader);
  // By pressure, then O/F in the order given; the inputs as written.
  const char* expected[][2] = {{"1", "8"},  {"1", "4"},  {"1", "6"},
                               {"10", "8"}, {"10", "4"}, {"10", "6"}};
  for (std::size_t j = 1; j < rows.size(); ++j) {
    ASSERT_EQ(rows[j].size(), rows[0].size()) << "row " << j;
    EXPECT_EQ(rows[j][0], "hp");
    EXPECT_EQ(rows[j][1], "liquid");
    EXPECT_EQ(rows[j][2], expected[j - 1][0]);
    EXPECT_EQ(rows[j][3], expected[j - 1][1]);
    EXPECT_EQ(rows[j].back(), "0");
  }
}

// Every value reads back as a number, and the values agree with one another:
// P = p * 1.01325, the mole fractions sum to 1, U = H - P/rho, G = H - T S,
// and a higher pressure gives a hotter flame (less dissociation).
TEST(Equilibrium, ValuesReadBackAndAgree) {
  WorkFolder folder;
  const SessionResult r = equilibrium(folder, {"-p", "1:100:3", "--csv", "-"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<Row> rows = csv_rows(r.out);
  ASSERT_EQ(rows.size(), 1u + 3 * 33);
  const Row& h = rows[0];
  for (std::size_t j = 1; j < rows.size(); ++j) {
    const Row& row = rows[j];
    for (std::size_t k = 2; k < row.size(); ++k) {
      number(row[k]);
    }
    const double p = number(row[column(h, "p_atm")]);
    const double P = number(row[column(h, "P_bar")]);
    EXPECT_NEAR(P, p * 1.01325, 1e-12 * P);
    double sum = 0.0;
    for (const char* x : {"x_H2O", "x_O2", "x_H2", "x_H", "x_O", "x_OH"}) {
      sum += number(row[column(h, x)]);
    }
    EXPECT_NEAR(sum, 1.0, 1e-12);
    const double H = number(row[column(h, "H_kJ_kg")]);
    const double U = number(row[column(h, "U_kJ_kg")]);
    const double rho = number(row[column(h, "rho_kg_m3")]);
    EXPECT_NEAR(U, H - P * 100.0 / rho, 1e-9 * std::abs(H) + 1e-9);
    const double T = number(row[column(h, "T_K")]);
    EXPECT_NEAR(number(row[column(h, "G_kJ_kg")]), H - T * number(row[column(h, "S_kJ_kgK")]),
                1e-9 * T * 20);
    if (j > 33) {
      EXPECT_GT(T, number(rows[j - 33][column(h, "T_K")])) << "row " << j;
    }
  }
}

// The default O/F ratios are the batch run's 33 points: the same r = O/F over
// the stoichiometric O/F, also for a grid of other counts and ends.
TEST(Equilibrium, GridIsTheSweepsGrid) {
  WorkFolder folder;
  for (const std::vector<std::string>& grid :
       {std::vector<std::string>{}, {"--rmin=0.3", "--rmax=3.5", "--npmin=4", "--npmax=0"}}) {
    std::vector<std::string> eq = {"--csv", "-"}, batch = {"--batch", "--csv", "-"};
    eq.insert(eq.end(), grid.begin(), grid.end());
    batch.insert(batch.end(), grid.begin(), grid.end());
    const SessionResult e = equilibrium(folder, eq);
    const SessionResult b = folder.run_with_arguments(batch);
    ASSERT_EQ(e.exit_code, 0) << e.err;
    ASSERT_EQ(b.exit_code, 0) << b.err;
    const std::vector<Row> er = csv_rows(e.out), br = csv_rows(b.out);
    ASSERT_EQ(er.size(), br.size());
    const std::size_t r = column(br[0], "r [-]");
    // The stoichiometric O/F, from the point at r = 1.
    const std::size_t stoich =
        std::find(grid.begin(), grid.end(), "--npmin=4") != grid.end() ? 6 : 12;
    ASSERT_EQ(br[stoich][r], "1");
    const double ofst = number(er[stoich][3]);
    for (std::size_t j = 1; j < er.size(); ++j) {
      EXPECT_NEAR(number(er[j][3]) / ofst, number(br[j][r]), 1e-12) << "point " << j;
    }
  }
}

// A point without a solution has its values empty and its flags set; the
// run still succeeds. The echoed inputs stay.
TEST(Equilibrium, FlaggedPointsHaveEmptyValues) {
  WorkFolder folder;
  const SessionResult r =
      equilibrium(folder, {"--problem=sp", "--entropy=40", "-p", "1e-6,1", "--of=8", "--csv=-"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const std::vector<Row> rows = csv_rows(r.out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].back(), "0");
  const Row& flagged = rows[2];
  EXPECT_EQ(flagged[2], "1");
  EXPECT_EQ(flagged[3], "8");
  for (std::size_t k = 4; k < 26; ++k) {
    EXPECT_EQ(flagged[k], "") << rows[0][k];
  }
  const unsigned flags = static_cast<unsigned>(number(flagged.back()));
  EXPECT_NE(flags & 128u, 0u) << "no solution";
  EXPECT_NE(flags & 16u, 0u) << "above the range";
}

// TP echoes its temperature; UV gives the pressure as its result; the same
// records given as a file give the same bytes as the built-in ones.
TEST(Equilibrium, ProblemsAndDataSources) {
  WorkFolder folder;
  const SessionResult tp = equilibrium(
      folder, {"--problem=tp", "--temperature=1500,3000", "-p", "2", "--of=6", "--csv=-"});
  ASSERT_EQ(tp.exit_code, 0) << tp.err;
  const std::vector<Row> rows = csv_rows(tp.out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1][5], "1500");
  EXPECT_EQ(rows[2][5], "3000");

  const SessionResult uv = equilibrium(folder, {"--problem=uv", "--rho=0.5", "--of=8", "--csv=-"});
  ASSERT_EQ(uv.exit_code, 0) << uv.err;
  const Row row = csv_rows(uv.out).at(1);
  EXPECT_NEAR(number(row[6]), 0.5, 1e-12);
  EXPECT_NEAR(number(row[4]), number(row[2]) * 1.01325, 1e-9 * number(row[4]));

  fs::copy_file(fs::path(ZUNA_DATA_DIR) / "nasa9-h2o2.inp", folder.path() / "records.inp");
  const SessionResult builtin = equilibrium(folder, {"-p", "3", "--csv=-"});
  const SessionResult file = equilibrium(folder, {"-p", "3", "--thermo=records.inp", "--csv=-"});
  ASSERT_EQ(file.exit_code, 0) << file.err;
  EXPECT_TRUE(file.out == builtin.out);
  const SessionResult data7 = equilibrium(folder, {"-p", "3", "--data=zuna.dat", "--csv=-"});
  ASSERT_EQ(data7.exit_code, 0) << data7.err;
  EXPECT_EQ(csv_rows(data7.out).size(), 34u);
}

// The JSON holds the CSV's rows with the same names, nulls for the absent
// values, and the SHA-256 of the data used; it never names the data file.
TEST(Equilibrium, JsonRowsAndDigest) {
  WorkFolder folder;
  const SessionResult r = equilibrium(folder, {"--problem=sp", "--entropy=40", "-p", "1e-6,1",
                                               "--of=8", "--json=-", "--csv=out.csv"});
  ASSERT_EQ(r.exit_code, 0) << r.err;
  const nlohmann::json doc = nlohmann::json::parse(r.out);
  EXPECT_EQ(doc["program"], "zuna4c");
  EXPECT_EQ(doc["version"], ZUNA_VERSION);
  EXPECT_EQ(doc["thermo_sha256"], sha256_of(fs::path(ZUNA_DATA_DIR) / "nasa9-h2o2.inp"));
  const std::vector<Row> rows = csv_rows(folder.read("out.csv"));
  ASSERT_EQ(doc["rows"].size(), rows.size() - 1);
  for (std::size_t j = 1; j < rows.size(); ++j) {
    const nlohmann::json& row = doc["rows"][j - 1];
    ASSERT_EQ(row.size(), rows[0].size());
    EXPECT_EQ(row["problem"], "sp");
    for (std::size_t k = 2; k < rows[0].size(); ++k) {
      const nlohmann::json& v = row[rows[0][k]];
      if (rows[j][k].empty()) {
        EXPECT_TRUE(v.is_null()) << rows[0][k];
      } else {
        EXPECT_EQ(v.get<double>(), number(rows[j][k])) << rows[0][k];
      }
    }
  }

  // The schema of docs/ names the same members and the same row columns, in
  // the CSV's order, and types them as written.
  const nlohmann::json schema = nlohmann::json::parse(slurp(ZUNA_EQUILIBRIUM_SCHEMA));
  for (const auto& [name, value] : doc.items()) {
    EXPECT_TRUE(schema["properties"].contains(name)) << name;
  }
  const nlohmann::json& items = schema["properties"]["rows"]["items"];
  ASSERT_EQ(items["required"].size(), rows[0].size());
  for (std::size_t k = 0; k < rows[0].size(); ++k) {
    EXPECT_EQ(items["required"][k], rows[0][k]);
    const nlohmann::json& type = items["properties"][rows[0][k]];
    for (const nlohmann::json& row : doc["rows"]) {
      const nlohmann::json& v = row[rows[0][k]];
      if (type.contains("enum")) {
        EXPECT_NE(std::find(type["enum"].begin(), type["enum"].end(), v), type["enum"].end());
      } else if (type["type"] == "integer") {
        EXPECT_TRUE(v.is_number_integer()) << rows[0][k];
      } else if (type["type"] == "string") {
        EXPECT_TRUE(v.is_string()) << rows[0][k];
      } else {
        EXPECT_TRUE(v.is_number() || v.is_null()) << rows[0][k];
      }
    }
  }

  const SessionResult d = equilibrium(folder, {"--data=zuna.dat", "--of=8", "--json=-"});
  ASSERT_EQ(d.exit_code, 0) << d.err;
  EXPECT_EQ(nlohmann::json::parse(d.out)["thermo_sha256"], sha256_of(folder.path() / "zuna.dat"));
  EXPECT_EQ(d.out.find("zuna.dat"), std::string::npos);
}

struct BadCommand {
  std::vector<std::string> arguments;
  int exit_code;
  const char* named;  // what the one line of standard error must name
};

// One line on standard error naming the option, nothing on standard output,
// and no results file, before anything is computed.
TEST(Equilibrium, BadCommandsAreRefusedWithOneLine) {
  const std::vector<BadCommand> cases = {
      {{"--frobnicate"}, 2, "'--frobnicate'"},
      {{"--problem=xy"}, 2, "--problem"},
      {{"--of"}, 2, "'--of'"},
      {{"--of=abc"}, 2, "--of"},
      {{"--of=0.5"},
       2,
       "--of: 0.5 is out of range: the O/F ratio must lie in 0.793668..317.467 (0.1 to 40 "
       "times the stoichiometric 7.93668)"},
      {{"--of=4,400"}, 2, "--of: 400"},
      {{"--rmin=0.05"}, 2, "--rmin"},
      {{"--rmax=41"}, 2, "--rmax"},
      {{"--npmin=60", "--npmax=41"}, 2, "--npmax"},
      {{"--of=8", "--npmin=3"}, 2, "--npmin"},
      {{"-p", "0"}, 2, "--pressure: 0 is out of range (1e-06 to 100000 atm)"},
      {{"-p", "1:1e6:3"}, 2, "--pressure"},
      {{"--problem=tp"}, 2, "--temperature"},
      {{"--problem=tp", "--temperature=100"},
       2,
       "--temperature: 100 is out of range (200 to 6000 K)"},
      {{"--temperature=1000"}, 2, "--temperature"},
      {{"--problem=sp"}, 2, "--entropy"},
      {{"--problem=uv"}, 2, "--rho"},
      {{"--problem=uv", "--rho=1", "-p", "2"}, 2, "--pressure"},
      {{"--problem=uv", "--t0=300"}, 2, "--p0"},
      {{"--problem=uv", "--t0=300", "--p0=1", "--reactants=liquid"}, 2, "--reactants"},
      {{"--problem=uv", "--rho=-1"}, 2, "--rho"},
      {{"--rho=1"}, 2, "--rho"},
      {{"--reactants=solid"}, 2, "--reactants"},
      {{"--t-reactants=300"}, 2, "--t-reactants"},
      {{"--reactants=gas", "--t-reactants=7000"}, 2, "--t-reactants"},
      {{"--h-fuel=0"}, 2, "--h-fuel"},
      {{"--thermo=a", "--data=b"}, 2, "--data"},
      {{"--csv=-", "--json=-"}, 2, "--json"},
      {{"stray"}, 2, "'stray'"},
      {{"--thermo=missing.inp", "--csv=out.csv"}, 1, "missing.inp"},
      {{"--thermo=zuna.dat", "--csv=out.csv"}, 1, "zuna.dat"},
      {{"--data=/dev/zero", "--csv=out.csv"}, 1, "'/dev/zero': it holds more than 64 MiB"},
      {{"--csv=no/such/folder/out.csv"}, 1, "no/such/folder/out.csv"},
  };
  for (const BadCommand& c : cases) {
    WorkFolder folder;
    const SessionResult r = equilibrium(folder, c.arguments);
    std::string given;
    for (const std::string& a : c.arguments)
      given += a + " ";
    EXPECT_EQ(r.exit_code, c.exit_code) << given << r.err;
    EXPECT_EQ(r.out, "") << given;
    EXPECT_EQ(r.err.rfind("zuna4c equilibrium: ", 0), 0u) << given << r.err;
    EXPECT_NE(r.err.find(c.named), std::string::npos) << given << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << given << r.err;
    EXPECT_FALSE(fs::exists(folder.path() / "out.csv")) << given;
  }
}

// An earlier results file stays as it was after a run that fails, and no
// staging file is left; a run that succeeds replaces it whole.
TEST(Equilibrium, ResultsFilesAreReplacedOnlyWhenWhole) {
  WorkFolder folder;
  folder.write("out.csv", "earlier\n");
  EXPECT_EQ(equilibrium(folder, {"--thermo=zuna.dat", "--csv=out.csv"}).exit_code, 1);
  EXPECT_EQ(folder.read("out.csv"), "earlier\n");
  EXPECT_EQ(equilibrium(folder, {"--of=0.5", "--csv=out.csv"}).exit_code, 2);
  EXPECT_EQ(folder.read("out.csv"), "earlier\n");
  const SessionResult ok = equilibrium(folder, {"--of=8", "--csv=out.csv"});
  ASSERT_EQ(ok.exit_code, 0) << ok.err;
  EXPECT_EQ(ok.out, "");
  EXPECT_EQ(csv_rows(folder.read("out.csv")).size(), 2u);
  for (const auto& entry : fs::directory_iterator(folder.path())) {
    EXPECT_NE(entry.path().filename().string().front(), '.') << entry.path();
  }
}

// Output asked of a standard output that is closed or full is a run-time
// error; the readable table goes to standard output by default.
TEST(Equilibrium, StandardOutput) {
  WorkFolder folder;
  const SessionResult table = equilibrium(folder, {"--of=4,8", "-p", "2"});
  ASSERT_EQ(table.exit_code, 0) << table.err;
  EXPECT_EQ(table.out.rfind("problem ", 0), 0u);
  EXPECT_NE(table.out.find("\nT_K "), std::string::npos);

  RunOptions closed;
  closed.close_stdout = true;
  closed.arguments = {"equilibrium", "--of=8"};
  EXPECT_EQ(folder.run("", closed).exit_code, 1);
  RunOptions full;
  full.stdout_path = "/dev/full";
  full.arguments = {"equilibrium", "--of=8", "--csv=-"};
  const SessionResult r = folder.run("", full);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("standard output"), std::string::npos) << r.err;
  // With the results in a file, a closed standard output does not matter.
  closed.arguments = {"equilibrium", "--of=8", "--csv=out.csv"};
  EXPECT_EQ(folder.run("", closed).exit_code, 0);

  const SessionResult help = equilibrium(folder, {"--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.out.rfind("Usage: zuna4c equilibrium", 0), 0u);
}

}  // namespace
}  // namespace zuna::testing
