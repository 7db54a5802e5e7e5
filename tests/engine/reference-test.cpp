// The engine against NASA CEA 3.0 with the same NASA Glenn records (built
// in): the HP table at 1 atm and the rocket problem at 68.046 atm, whose
// chamber is an HP state and whose other stations are SP states at their
// printed pressures with the chamber's entropy (equilibrium expansion), or
// at the chamber's composition (frozen expansion). The tables, with their
// source, in tests/validation/reference (HP) and tests/engine/data (rocket).
//
// Tolerance of each value: 1e-5 relative or half a unit of the last digit
// printed, whichever is coarser; mole fractions 2e-6 absolute. Where a
// station's pressure is itself a printed value, its half unit of the last
// digit is carried through to the tolerance (the spread of the solve over
// P +- that half unit).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "cea-tables.h"
#include "engine/engine.h"

namespace zuna::engine {
namespace {

using testing::half_unit;
using testing::read_table;
using testing::TableRow;

const char* const kX[kSpeciesCount] = {"x_H2O", "x_O2", "x_H2", "x_H", "x_O", "x_OH"};

// Worst deviation seen per quantity, relative to its tolerance, printed at
// the end of each test for the validation notes.
class Worst {
 public:
  void add(const std::string& what, double got, double want, double tol) {
    const double dev = std::fabs(got - want);
    Entry& e = worst_[what];
    if (dev / tol >= e.ratio) {
      e = {dev / tol, dev, want};
    }
  }
  ~Worst() {
    for (const auto& [what, e] : worst_) {
      std::printf(
          "  %-30s worst |dev| %.3g = %.2g relative (reference %.10g, %.2f of its tolerance)\n",
          what.c_str(), e.dev, e.dev / std::fabs(e.ref), e.ref, e.ratio);
    }
  }

 private:
  struct Entry {
    double ratio = 0.0, dev = 0.0, ref = 0.0;
  };
  std::map<std::string, Entry> worst_;
};

// The printed value of `column` against `got`, with an extra tolerance.
void expect_printed(Worst& worst, const std::string& tag, const TableRow& row,
                    const std::string& column, double got, double extra = 0.0) {
  const double want = row.value(column);
  const bool fraction = column.rfind("x_", 0) == 0;
  const double tol =
      (fraction ? 2e-6 : std::max(1e-5 * std::fabs(want), half_unit(row.text(column)))) + extra;
  worst.add(tag + " " + column, got, want, tol);
  EXPECT_NEAR(got, want, tol) << tag << " " << column << ", table line " << row.line;
}

// The properties of a State by the rocket table's column names.
std::map<std::string, std::function<double(const State&)>> columns(bool frozen) {
  std::map<std::string, std::function<double(const State&)>> c = {
      {"P_bar", [](const State& p) { return p.P_bar; }},
      {"T_K", [](const State& p) { return p.T_K; }},
      {"rho_kg_m3", [](const State& p) { return p.rho_kg_m3; }},
      {"H_kJ_kg", [](const State& p) { return p.H_kJ_kg; }},
      {"U_kJ_kg", [](const State& p) { return p.U_kJ_kg; }},
      {"G_kJ_kg", [](const State& p) { return p.G_kJ_kg; }},
      {"S_kJ_kgK", [](const State& p) { return p.S_kJ_kgK; }},
      {"M", [](const State& p) { return p.M; }},
  };
  if (frozen) {
    c["Cp_kJ_kgK"] = [](const State& p) { return p.Cp_fr_kJ_kgK; };
    c["gamma_s"] = [](const State& p) { return p.gamma_fr; };
    c["son_vel_m_s"] = [](const State& p) { return p.son_vel_fr_m_s; };
  } else {
    c["dlnV_dlnP_T"] = [](const State& p) { return p.dlnV_dlnP_T; };
    c["dlnV_dlnT_P"] = [](const State& p) { return p.dlnV_dlnT_P; };
    c["Cp_kJ_kgK"] = [](const State& p) { return p.Cp_kJ_kgK; };
    c["gamma_s"] = [](const State& p) { return p.gamma_s; };
    c["son_vel_m_s"] = [](const State& p) { return p.son_vel_m_s; };
    for (int j = 0; j < kSpeciesCount; ++j) {
      c[kX[j]] = [j](const State& p) { return p.x[j]; };
    }
  }
  return c;
}

TEST(CeaReference, HpAtOneAtmosphere) {
  const ThermoData& data = builtin_nasa9_data();
  const auto rows = read_table(ZUNA_VALIDATION_REFERENCE "/cea-h2o2-hp-1atm.tsv");
  ASSERT_EQ(rows.size(), 33u);
  Worst worst;
  const State* previous = nullptr;
  State point;
  for (const TableRow& row : rows) {
    const double of = row.value("r") * stoichiometric_of(data);
    point = flame(data, Mixture{of, {}}, 1.0, previous);
    previous = &point;
    ASSERT_TRUE(point.converged()) << "r = " << row.text("r");
    EXPECT_EQ(point.flags, 0u);
    const std::string tag = "HP 1 atm";
    expect_printed(worst, tag, row, "T_only6", point.T_K);
    for (int j = 0; j < kSpeciesCount; ++j) {
      expect_printed(worst, tag, row, kX[j], point.x[j]);
    }
  }
}

struct Rocket {
  std::vector<TableRow> rows;
  Rocket() : rows(read_table(ZUNA_ENGINE_TEST_DATA "/cea-h2o2-rocket.tsv")) {}

  // The chamber: HP at 68.046 atm with the liquid reactants.
  static State chamber(const TableRow& row) {
    return flame(builtin_nasa9_data(), Mixture{row.value("of"), {}}, row.value("pc_atm"));
  }
};

TEST(CeaReference, RocketChamberEveryProperty) {
  Rocket rocket;
  Worst worst;
  int checked = 0;
  for (const TableRow& row : rocket.rows) {
    if (row.text("station") != "chamber") {
      continue;
    }
    const bool frozen = row.text("model") == "frozen_chamber";
    const State chamber = Rocket::chamber(row);
    ASSERT_TRUE(chamber.converged());
    for (const auto& [column, get] : columns(frozen)) {
      // At the chamber CEA prints the equilibrium Cp in the frozen rows too.
      const bool eq_cp = frozen && column == "Cp_kJ_kgK";
      const double got = eq_cp ? chamber.Cp_kJ_kgK : get(chamber);
      expect_printed(worst, std::string(frozen ? "frozen" : "equilibrium") + " chamber", row,
                     column, got);
    }
    ++checked;
  }
  EXPECT_EQ(checked, 6);
}

// The pressure of a station: exact for the pressure ratios of the deck,
// otherwise as printed, with half its last unit.
double station_pressure(const TableRow& row, const TableRow& chamber, double& half) {
  const std::string exit = row.text("exit_spec");
  if (exit.rfind("pi_p=", 0) == 0) {
    half = 0.0;
    return chamber.value("P_bar") / std::stod(exit.substr(5));
  }
  half = half_unit(row.text("P_bar"));
  return row.value("P_bar");
}

TEST(CeaReference, RocketStationsAreSpStates) {
  Rocket rocket;
  Worst worst;
  std::map<std::string, TableRow> chambers;
  int checked = 0;
  for (const TableRow& row : rocket.rows) {
    const std::string key = row.text("model") + " " + row.text("of");
    if (row.text("station") == "chamber") {
      chambers.emplace(key, row);
      continue;
    }
    const TableRow& crow = chambers.at(key);
    const bool frozen = row.text("model") == "frozen_chamber";
    const ThermoData& data = builtin_nasa9_data();
    const State chamber = Rocket::chamber(crow);
    double half = 0.0;
    const double P_bar = station_pressure(row, crow, half);
    auto solve = [&](double P) {
      const double p_atm = P / kAtmBar;
      if (frozen) {
        return frozen_sp(data, composition_of(chamber), chamber.S_kJ_kgK, p_atm, chamber.T_K);
      }
      Condition c;
      c.mode = Mode::SP;
      c.p_atm = p_atm;
      c.s_kJ_kgK = chamber.S_kJ_kgK;
      return equilibrium(data, feed_of(chamber), c, &chamber);
    };
    const State station = solve(P_bar);
    ASSERT_TRUE(station.converged()) << "table line " << row.line;
    const State low = solve(P_bar - half), high = solve(P_bar + half);
    const std::string tag = (frozen ? "frozen " : "equilibrium ") + row.text("station");
    for (const auto& [column, get] : columns(frozen)) {
      if (column == "P_bar") {
        continue;
      }
      const double extra = std::fabs(get(high) - get(low)) / 2.0;
      expect_printed(worst, tag, row, column, get(station), extra);
    }
    ++checked;
  }
  EXPECT_EQ(checked, 36);
}

}  // namespace
}  // namespace zuna::engine
