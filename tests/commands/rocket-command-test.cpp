// `zuna4c rocket` as a function: its CSV has the promised header and row
// order and reads back as the library's own numbers, its JSON holds the same
// rows, bad options stop it on one line before anything is written, and an
// output that cannot be written is a run-time error.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "commands/rocket-command.h"
#include "rocket/rocket.h"
#include "tests/support/temp-dir.h"

namespace zuna::console {
namespace {

// What one run wrote to its standard streams, and its exit status.
struct Outcome {
  int status = 0;
  std::string out, err;
};

Outcome run(std::vector<std::string> args) {
  args.insert(args.begin(), "rocket");
  std::vector<char*> argv;
  for (std::string& a : args) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  std::fflush(stdout);
  std::fflush(stderr);
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int saved_out = dup(STDOUT_FILENO), saved_err = dup(STDERR_FILENO);
  dup2(fileno(out), STDOUT_FILENO);
  dup2(fileno(err), STDERR_FILENO);
  Outcome r;
  r.status = run_rocket_command(int(args.size()), argv.data());
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
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
      text->append(buffer, n);
    }
    std::fclose(file);
  }
  return r;
}

using Rows = std::vector<std::vector<std::string>>;

Rows csv_rows(const std::string& text) {
  Rows rows;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
      const std::size_t comma = line.find(',', start);
      cells.push_back(line.substr(start, comma - start));
      if (comma == std::string::npos) {
        break;
      }
      start = comma + 1;
    }
    rows.push_back(cells);
  }
  return rows;
}

double number(const std::string& text) {
  double v = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), v);
  return v;
}

constexpr char kHeader[] =
    "set,model,pc_atm,of,station,exit_spec,pinf_p,P_bar,T_K,rho_kg_m3,H_kJ_kg,U_kJ_kg,G_kJ_kg,"
    "S_kJ_kgK,M,dlnV_dlnP_T,dlnV_dlnT_P,Cp_kJ_kgK,gamma_s,son_vel_m_s,mach,ae_at,cstar_m_s,cf,"
    "ivac_m_s,isp_m_s,x_H2O,x_O2,x_H2,x_H,x_O,x_OH,flags";

std::size_t column(const Rows& rows, const std::string& name) {
  const std::vector<std::string>& header = rows.at(0);
  return std::size_t(std::find(header.begin(), header.end(), name) - header.begin());
}

TEST(RocketCommand, CsvRowsGoByPressureModelRatioAndStation) {
  testing::TempDir dir;
  const Outcome r = run({"--pc=10,68.046", "--of=4,6", "--pi-p=10,2.5", "--ae-at=25",
                         "--model=frozen_chamber,equilibrium", "--reactants=gas", "--csv=out.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  const std::string text = dir.read("out.csv");
  ASSERT_EQ(text.substr(0, text.find('\n')), kHeader);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  const Rows rows = csv_rows(text);
  ASSERT_EQ(rows.size(), 1u + 2 * 2 * 2 * 5);
  const char* const stations[] = {"chamber", "throat", "exit", "exit", "exit"};
  const char* const exit_column[] = {"", "", "pi_p=10", "pi_p=2.5", "ae_at=25"};
  std::size_t row = 1;
  for (const char* pc : {"10", "68.046"}) {
    for (const char* model : {"frozen_chamber", "equilibrium"}) {
      for (const char* of : {"4", "6"}) {
        for (int k = 0; k < 5; ++k, ++row) {
          const std::vector<std::string>& cells = rows.at(row);
          ASSERT_EQ(cells.size(), rows[0].size()) << row;
          EXPECT_EQ(cells[0], "gas");
          EXPECT_EQ(cells[1], model) << row;
          EXPECT_EQ(cells[2], pc) << row;
          EXPECT_EQ(cells[3], of) << row;
          EXPECT_EQ(cells[4], stations[k]) << row;
          EXPECT_EQ(cells[5], exit_column[k]) << row;
          // No performance at the chamber; everything computed elsewhere.
          const std::size_t isp = column(rows, "isp_m_s");
          EXPECT_EQ(cells[isp].empty(), k == 0) << row;
          EXPECT_EQ(cells[column(rows, "cstar_m_s")].empty(), k == 0) << row;
          EXPECT_EQ(cells.back(), "0") << row;
        }
      }
    }
  }
}

// The rows of Pc 68.046, O/F 6, pi_p 10 are the library's numbers to the
// bit; the frozen stations keep the chamber's composition with the frozen
// derivatives.
TEST(RocketCommand, ValuesAreTheLibrarysAndFrozenRowsKeepTheChambers) {
  testing::TempDir dir;
  const Outcome r = run({"--pc=68.046", "--of=6", "--pi-p=10", "--ae-at=25",
                         "--model=equilibrium,frozen_chamber", "--csv=out.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Rows rows = csv_rows(dir.read("out.csv"));
  ASSERT_EQ(rows.size(), 1u + 2 * 4);
  rocket::RocketInput p;
  p.pc_atm = 68.046;
  p.pi_p = {10};
  p.ae_at = {25};
  const rocket::Model models[] = {rocket::Model::equilibrium, rocket::Model::frozen_chamber};
  const std::vector<rocket::RocketResult> results =
      rocket::rocket_sweep(engine::builtin_nasa9_data(), p, std::vector<double>{6}, models)[0];
  std::size_t row = 1;
  for (const rocket::RocketResult& result : results) {
    for (const rocket::Station& s : result.stations) {
      const std::vector<std::string>& cells = rows.at(row++);
      const engine::State& pt = s.state;
      const std::pair<const char*, double> expected[] = {
          {"pinf_p", s.pinf_p},
          {"P_bar", pt.P_bar},
          {"T_K", pt.T_K},
          {"rho_kg_m3", pt.rho_kg_m3},
          {"H_kJ_kg", pt.H_kJ_kg},
          {"S_kJ_kgK", pt.S_kJ_kgK},
          {"M", pt.M},
          {"dlnV_dlnT_P", pt.dlnV_dlnT_P},
          {"Cp_kJ_kgK", pt.Cp_kJ_kgK},
          {"gamma_s", pt.gamma_s},
          {"son_vel_m_s", pt.son_vel_m_s},
          {"mach", s.mach},
          {"x_H2O", pt.x[engine::kH2O]},
          {"x_OH", pt.x[engine::kOH]},
      };
      for (const auto& [name, value] : expected) {
        EXPECT_EQ(number(cells[column(rows, name)]), value) << name << " row " << row - 1;
      }
      if (s.kind != rocket::StationKind::chamber) {
        for (const auto& [name, value] :
             {std::pair{"ae_at", s.ae_at}, std::pair{"cstar_m_s", s.cstar_m_s},
              std::pair{"cf", s.cf}, std::pair{"ivac_m_s", s.ivac_m_s},
              std::pair{"isp_m_s", s.isp_m_s}}) {
          EXPECT_EQ(number(cells[column(rows, name)]), value) << name << " row " << row - 1;
        }
      }
    }
  }
  // frozen_chamber: rows 5..8.
  for (std::size_t row = 6; row <= 8; ++row) {
    for (const char* x : {"x_H2O", "x_O2", "x_H2", "x_H", "x_O", "x_OH"}) {
      EXPECT_EQ(rows[row][column(rows, x)], rows[5][column(rows, x)]) << x << " row " << row;
    }
    EXPECT_EQ(rows[row][column(rows, "dlnV_dlnP_T")], "-1");
    EXPECT_EQ(rows[row][column(rows, "dlnV_dlnT_P")], "1");
  }
  EXPECT_NE(rows[3][column(rows, "x_OH")], rows[1][column(rows, "x_OH")]);  // shifting
}

TEST(RocketCommand, CsvAndJsonAtOnceHoldTheSameRows) {
  testing::TempDir dir;
  const Outcome r = run({"--of=5,6", "--pi-p=40", "--best", "--csv=out.csv", "--json=-"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Rows rows = csv_rows(dir.read("out.csv"));
  ASSERT_EQ(rows.size(), 1u + 2 * 3);  // --best leaves the CSV alone
  const std::string& json = r.out;
  EXPECT_EQ(json.rfind("{\"program\": \"zuna4c\",\n \"version\": ", 0), 0u) << json;
  EXPECT_NE(json.find("\"thermo_sha256\": \""), std::string::npos);
  EXPECT_NE(json.find("\"best\": [\n  {\"set\": \"liquid\", \"model\": \"equilibrium\", "
                      "\"pc_atm\": 68.046, \"exit_spec\": \"pi_p=40\", \"of_isp\": "),
            std::string::npos)
      << json;
  std::size_t objects = 0;
  for (std::size_t at = json.find("\n  {\"set\""); at != std::string::npos;
       at = json.find("\n  {\"set\"", at + 1)) {
    ++objects;
  }
  EXPECT_EQ(objects, 1u + 2 * 3);  // the best row, then one per CSV row
  EXPECT_NE(json.find("\"station\": \"exit\", \"exit_spec\": \"pi_p=40\", \"pinf_p\": 40, "),
            std::string::npos);
  EXPECT_NE(json.find("\"station\": \"chamber\", \"exit_spec\": \"\", \"pinf_p\": 1, "),
            std::string::npos);
  EXPECT_NE(json.find(", \"isp_m_s\": null, "), std::string::npos);  // the chamber's
}

TEST(RocketCommand, ReadableTablesShowStationsAsColumns) {
  const Outcome r =
      run({"--pc=20,40", "--of=6", "--ae-at=25", "--model=equilibrium,frozen_throat"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::size_t tables = 0;
  for (std::size_t at = r.out.find("Chamber pressure"); at != std::string::npos;
       at = r.out.find("Chamber pressure", at + 1)) {
    ++tables;
  }
  EXPECT_EQ(tables, 4u);
  EXPECT_NE(r.out.find("Chamber pressure 40 atm, model frozen_throat"), std::string::npos);
  EXPECT_NE(r.out.find("\nstation  "), std::string::npos);
  const std::size_t line = r.out.find("\nstation ");
  const std::string stations = r.out.substr(line, r.out.find('\n', line + 1) - line);
  EXPECT_NE(stations.find("chamber"), std::string::npos);
  EXPECT_NE(stations.find("throat"), std::string::npos);
  EXPECT_NE(stations.find("exit"), std::string::npos);
  EXPECT_NE(r.out.find("\nIsp, s "), std::string::npos);
  EXPECT_NE(r.out.find("\nIsp, m/s "), std::string::npos);
}

TEST(RocketCommand, BadOptionsAreOneLineUsageErrorsBeforeAnythingIsWritten) {
  testing::TempDir dir;
  const std::vector<std::vector<std::string>> bad = {
      {"--pc=0"},
      {"--pc=2e4"},
      {"--pi-p=1"},
      {"--pc=1e-4", "--pi-p=1000"},  // an exit below the engine's lowest pressure
      {"--ae-at=0.5"},
      {"--ae-at=1:100:21"},  // more than 20 exits
      {"--of=0.01"},
      {"--of=4:400:3"},
      {"--of=4", "--rmin=0.5"},
      {"--rmax=50"},
      {"--model=shifting"},
      {"--bogus"},
      {"--of"},
      {"--of=four"},
      {"--reactants=ice"},
      {"--t-reactants=300"},  // only with gas
      {"--h-fuel=0"},         // only with custom
      {"--best"},             // no exit
      {"--json=-"},
      {"stray"},
  };
  for (std::vector<std::string> args : bad) {
    const std::string first = args[0];
    args.push_back("--csv=out.csv");
    if (first == "--json=-") {
      args.back() = "--csv=-";
    }
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 2) << first;
    EXPECT_EQ(r.out, "") << first;
    EXPECT_EQ(r.err.rfind("zuna4c rocket: ", 0), 0u) << first << ": " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << first << ": " << r.err;
    EXPECT_FALSE(dir.exists("out.csv")) << first;
  }
  EXPECT_NE(run({"--of=0.01"}).err.find("--of: 0.01 is out of range (0.79"), std::string::npos);
  EXPECT_NE(run({"--pc=2e4"}).err.find("--pc: 20000 is out of range (0.0001 to 10000 atm)"),
            std::string::npos);
}

// A finite-area combustor: a run for each contraction ratio or mass flux,
// its stations named as the report's tables, the combustor's end echoing
// Ac/At, the numbers the library's; a choking mass flux or both options
// together refused before anything is written.
TEST(RocketCommand, FiniteCombustorRunsAndStations) {
  testing::TempDir dir;
  const Outcome r = run({"--pc=50", "--of=6", "--pi-p=10", "--ae-at=25", "--contraction=1.5,3",
                         "--model=equilibrium,frozen_chamber", "--csv=out.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  const Rows rows = csv_rows(dir.read("out.csv"));
  ASSERT_EQ(rows.size(), 1u + 2 * 2 * 5);
  const char* const stations[] = {"injector", "comb_end", "throat", "exit", "exit"};
  const std::size_t ae_at = column(rows, "ae_at"), isp = column(rows, "isp_m_s");
  std::size_t row = 1;
  for (double c : {1.5, 3.0}) {
    for (rocket::Model m : {rocket::Model::equilibrium, rocket::Model::frozen_chamber}) {
      rocket::RocketInput p;
      p.pc_atm = 50;
      p.of = 6;
      p.pi_p = {10};
      p.ae_at = {25};
      p.contraction = c;
      p.model = m;
      const rocket::RocketResult lib = rocket::rocket_performance(p);
      for (int k = 0; k < 5; ++k, ++row) {
        const std::vector<std::string>& cells = rows.at(row);
        EXPECT_EQ(cells[4], stations[k]) << row;
        EXPECT_EQ(cells.back(), "0") << row;
        if (k > 0) {
          EXPECT_EQ(number(cells[isp]), lib.stations[k].isp_m_s) << row;
        }
      }
      EXPECT_NEAR(number(rows.at(row - 4)[ae_at]), c, 1e-9 * c);
    }
  }
  const Outcome choked = run({"--pc=50", "--of=6", "--mass-flux=5000", "--csv=bad.csv"});
  EXPECT_EQ(choked.status, 2);
  EXPECT_NE(choked.err.find("--mass-flux: mass flux mdot/Ac = 5000 kg/(s m2) is too large for "
                            "any contraction ratio Ac/At above 1"),
            std::string::npos)
      << choked.err;
  EXPECT_EQ(run({"--contraction=2", "--mass-flux=100", "--csv=bad.csv"}).status, 2);
  EXPECT_EQ(run({"--contraction=1.01", "--csv=bad.csv"}).status, 2);
  EXPECT_EQ(run({"--mass-flux=0", "--csv=bad.csv"}).status, 2);
  EXPECT_FALSE(dir.exists("bad.csv"));
  // The readable table names the injector's pressure and the combustor.
  const Outcome text = run({"--pc=50", "--of=6", "--ae-at=25", "--mass-flux=1000"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Injector pressure 50 atm, mass flux 1000 kg/(s m2), model"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("comb_end"), std::string::npos);
  // Subsonic exits after the pressure ratios, before the supersonic ones.
  const Outcome sub = run({"--pc=50", "--of=6", "--ae-at=25", "--pi-p=10", "--sub-ae-at=1.5,1.2",
                           "--contraction=1.5", "--csv=-"});
  ASSERT_EQ(sub.status, 0) << sub.err;
  const Rows sub_rows = csv_rows(sub.out);
  ASSERT_EQ(sub_rows.size(), 1u + 7);
  const char* const specs[] = {"", "", "", "pi_p=10", "sub_ae_at=1.5", "sub_ae_at=1.2", "ae_at=25"};
  for (int k = 0; k < 7; ++k) {
    EXPECT_EQ(sub_rows[1 + k][5], specs[k]) << k;
    EXPECT_EQ(sub_rows[1 + k].back(), "0") << k;
  }
  EXPECT_NE(run({"--sub-ae-at=2", "--contraction=1.5", "--csv=bad.csv"})
                .err.find("--sub-ae-at: 2 is out of range (greater than 1, at most 1.5)"),
            std::string::npos);
}

// --units=english: the readable table in English units, converted by their
// definitions; the CSV keeps SI, byte for byte.
TEST(RocketCommand, EnglishUnitsInTheReadableTableOnly) {
  const Outcome si = run({"--pc=1000psia", "--of=6", "--ae-at=25"});
  const Outcome en = run({"--pc=1000psia", "--of=6", "--ae-at=25", "--units=english"});
  ASSERT_EQ(en.status, 0) << en.err;
  auto line = [](const std::string& text, const std::string& label) {
    const std::size_t at = text.find("\n" + label);
    return at == std::string::npos ? std::string() : text.substr(at + 1, text.find('\n', at + 1) - at - 1);
  };
  EXPECT_NE(line(en.out, "P, psia").find(" 1000 "), std::string::npos) << en.out;
  EXPECT_NE(line(en.out, "T, degR").find(" 6270.21 "), std::string::npos) << en.out;
  EXPECT_NE(line(si.out, "T, K").find(" 3483.45 "), std::string::npos) << si.out;
  EXPECT_NE(line(en.out, "Isp, lbf s/lbm"), "");
  EXPECT_NE(line(en.out, "c*, ft/s"), "");
  EXPECT_EQ(line(en.out, "Isp, m/s"), "");
  EXPECT_EQ(run({"--of=6", "--ae-at=25", "--units=english", "--csv=-"}).out,
            run({"--of=6", "--ae-at=25", "--csv=-"}).out);
  EXPECT_EQ(run({"--units=metric"}).status, 2);
}

TEST(RocketCommand, HelpGoesToStandardOutput) {
  const Outcome r = run({"--of=4", "--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind("Usage: zuna4c rocket [OPTION]...\n", 0), 0u);
  EXPECT_NE(r.out.find("--ae-at=LIST"), std::string::npos);
  EXPECT_EQ(r.err, "");
}

TEST(RocketCommand, AnOutputThatCannotBeWrittenIsARunTimeError) {
  testing::TempDir dir;
  const Outcome r = run({"--of=4", "--csv=no-such-folder/out.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write 'no-such-folder/out.csv'"), std::string::npos) << r.err;
}

TEST(RocketCommand, AFailedRunLeavesTheFileAsItWas) {
  testing::TempDir dir;
  dir.write("out.csv", "old");
  EXPECT_EQ(run({"--of=4", "--csv=out.csv", "--json=no-such-folder/out.json"}).status, 1);
  EXPECT_EQ(dir.read("out.csv"), "old");
}

}  // namespace
}  // namespace zuna::console
