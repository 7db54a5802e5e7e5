#include "commands/equilibrium-command.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "commands/equilibrium-options.h"
#include "commands/results-output.h"
#include "engine/engine.h"
#include "fio/file-stream.h"
#include "fio/fio.h"
#include "fio/io-error.h"
#include "tables/csv-writer.h"
#include "tables/fan-out.h"
#include "tables/json-writer.h"
#include "tables/shortest.h"
#include "tables/text-table.h"

namespace zuna {
namespace {

constexpr char kCommand[] = "zuna4c equilibrium";

// ---------------------------------------------------------------------------
// The rows

using tables::CellKind;
using tables::Column;

// The columns, in the order of the CSV header. Per unit mass like the NASA
// Glenn tables: H, U, G [kJ/kg], S and Cp [kJ/(kg K)]; M [g/mol].
const Column kColumns[] = {
    {"problem", CellKind::text},
    {"set", CellKind::text},
    {"p_atm"},
    {"of"},
    {"P_bar"},
    {"T_K"},
    {"rho_kg_m3"},
    {"H_kJ_kg"},
    {"U_kJ_kg"},
    {"G_kJ_kg"},
    {"S_kJ_kgK"},
    {"M"},
    {"dlnV_dlnP_T"},
    {"dlnV_dlnT_P"},
    {"Cp_kJ_kgK"},
    {"gamma_s"},
    {"son_vel_m_s"},
    {"Cp_fr_kJ_kgK"},
    {"gamma_fr"},
    {"son_vel_fr_m_s"},
    {"x_H2O"},
    {"x_O2"},
    {"x_H2"},
    {"x_H"},
    {"x_O"},
    {"x_OH"},
    {"iterations", CellKind::integer},
    {"flags", CellKind::integer},
};

// One row. The inputs are echoed as given (p_atm, except for uv where it is
// the result; T_K of tp); every other value is the engine's, NaN and so
// empty when the point has none.
void write_row(tables::TableWriter& w, const EquilibriumSettings& s, double p_atm, double T_K,
               double of, const engine::State& pt) {
  w.text(problem_name(s.mode));
  w.text(reactant_set_name(s.reactants.set));
  w.number(s.mode == engine::Mode::UV ? pt.p_atm : p_atm);
  w.number(of);
  w.number(pt.P_bar);
  w.number(s.mode == engine::Mode::TP ? T_K : pt.T_K);
  w.number(pt.rho_kg_m3);
  w.number(pt.H_kJ_kg);
  w.number(pt.U_kJ_kg);
  w.number(pt.G_kJ_kg);
  w.number(pt.S_kJ_kgK);
  w.number(pt.M);
  w.number(pt.dlnV_dlnP_T);
  w.number(pt.dlnV_dlnT_P);
  w.number(pt.Cp_kJ_kgK);
  w.number(pt.gamma_s);
  w.number(pt.son_vel_m_s);
  w.number(pt.Cp_fr_kJ_kgK);
  w.number(pt.gamma_fr);
  w.number(pt.son_vel_fr_m_s);
  for (double x : pt.x) {
    w.number(x);
  }
  w.integer(pt.iterations);
  w.integer(pt.flags);
  w.end_row();
}

// ---------------------------------------------------------------------------
// The outputs

enum class Format { text, csv, json };

void make_writer(ResultsOutput& o, Format format, const std::string& sha256) {
  switch (format) {
    case Format::text:
      o.writer = std::make_unique<tables::TextTable>(*o.buffer, kColumns, 6);
      break;
    case Format::csv: o.writer = std::make_unique<tables::CsvWriter>(*o.buffer, kColumns); break;
    case Format::json: {
      const tables::JsonMember members[] = {
          {"program", "zuna4c"}, {"version", ZUNA_VERSION}, {"thermo_sha256", sha256}};
      o.writer = std::make_unique<tables::JsonWriter>(*o.buffer, members, kColumns);
      break;
    }
  }
}

// ---------------------------------------------------------------------------
// The computation

// The mixture of each O/F ratio with its feed, checked before anything is
// computed; an O/F the engine refuses is a usage error of the option that
// gave it.
struct FedMixture {
  double of;
  engine::Feed feed;
  double v0_m3_kg = 0.0;  // uv: specific volume of the reactant gases at T0, p0
  double u0_kJ_kg = 0.0;  // uv: U0 = H0 - n R T0 of those gases
};

// "--of: 0.1 is out of range: the O/F ratio must lie in 0.793672..317.469
// (0.1 to 40 times the stoichiometric 7.93672)", from the engine's refusal
// of an O/F or of the reactants' temperature, with the option that gave it.
std::string refusal_message(const char* option, const engine::InputError& e,
                            double stoichiometric) {
  const engine::Refusal& r = e.refusal();
  const char* what = e.what();
  const std::string given = tables::shortest_text(r.value);
  char range[160];
  if (r.argument == engine::Argument::of) {
    std::snprintf(range, sizeof range,
                  "the O/F ratio must lie in %.6g..%.6g (0.1 to 40 times the stoichiometric %.6g)",
                  r.low, r.high, stoichiometric);
  } else if (r.argument == engine::Argument::reactants_T_K) {
    std::snprintf(range, sizeof range, "the temperature must lie in %.6g..%.6g K", r.low, r.high);
  } else {
    return std::string(option) + ": " + what;
  }
  return std::string(option) + ": " + given + " is out of range: " + range;
}

// The amount of reactant gas per kg is that of H2 and O2, half the atoms.
double reactant_moles_mol_kg(const engine::Feed& f) {
  return 0.5 * (f.b_mol_kg[0] + f.b_mol_kg[1]);
}

bool feed_mixtures(const EquilibriumSettings& s, const engine::ThermoData& data,
                   std::vector<FedMixture>& out) {
  const std::vector<double> of =
      s.of ? *s.of : grid_of_values(s.grid, engine::stoichiometric_of(data));
  const char* option = s.of ? "--of" : "--rmin/--rmax";
  for (double v : of) {
    try {
      FedMixture m{v, engine::feed_of(data, engine::Mixture{v, s.reactants})};
      if (s.initial_gas_state) {
        // v0 = n R T0 / p0 and U0 = H0 - n R T0, per kg of the gas mixture.
        const double nRT_J_kg = reactant_moles_mol_kg(m.feed) * data.R_J_molK * s.T0_K;
        m.v0_m3_kg = nRT_J_kg / (s.p0_atm * engine::kAtmBar * 1e5);
        m.u0_kJ_kg = m.feed.h0_kJ_kg - nRT_J_kg / 1000.0;
      } else if (s.reactants.set == engine::ReactantSet::gas) {
        m.u0_kJ_kg = m.feed.h0_kJ_kg -
                     reactant_moles_mol_kg(m.feed) * data.R_J_molK * s.reactants.T_K / 1000.0;
      } else {
        m.u0_kJ_kg = m.feed.h0_kJ_kg;  // condensed reactants: p v is negligible
      }
      out.push_back(m);
    } catch (const engine::InputError& e) {
      const bool temperature = e.refusal().argument == engine::Argument::reactants_T_K;
      const std::string line =
          refusal_message(temperature ? (s.initial_gas_state ? "--t0" : "--t-reactants") : option,
                          e, engine::stoichiometric_of(data));
      usage_exit(kCommand, line);
      return false;
    }
  }
  return true;
}

// The O/F ratios at one condition, each started from the point before it.
bool sweep_of(const EquilibriumSettings& s, const engine::ThermoData& data,
              const std::vector<FedMixture>& mixtures, engine::Condition c, double p_atm,
              tables::TableWriter& out) {
  engine::State previous;
  bool warm = false;
  for (const FedMixture& m : mixtures) {
    switch (c.mode) {
      case engine::Mode::HP: c.h_kJ_kg = m.feed.h0_kJ_kg; break;
      case engine::Mode::UV:
        c.u_kJ_kg = m.u0_kJ_kg;
        if (s.initial_gas_state) {
          c.v_m3_kg = m.v0_m3_kg;
        }
        break;
      case engine::Mode::TP:
      case engine::Mode::SP: break;
    }
    const engine::State pt = engine::equilibrium(data, m.feed, c, warm ? &previous : nullptr);
    if (pt.has_values()) {
      previous = pt;
      warm = true;
    }
    write_row(out, s, p_atm, c.T_K, m.of, pt);
    if (!out.ok()) {
      return false;
    }
  }
  return true;
}

bool compute(const EquilibriumSettings& s, const engine::ThermoData& data,
             const std::vector<FedMixture>& mixtures, tables::TableWriter& out) {
  engine::Condition c;
  c.mode = s.mode;
  c.s_kJ_kgK = s.s_kJ_kgK;
  if (s.mode == engine::Mode::UV) {
    if (s.initial_gas_state) {
      return sweep_of(s, data, mixtures, c, 0.0, out);
    }
    for (double rho : s.densities_kg_m3) {
      c.v_m3_kg = 1.0 / rho;
      if (!sweep_of(s, data, mixtures, c, 0.0, out))
        return false;
    }
    return true;
  }
  for (double p : s.pressures_atm) {
    c.p_atm = p;
    if (s.mode != engine::Mode::TP) {
      if (!sweep_of(s, data, mixtures, c, p, out))
        return false;
      continue;
    }
    for (double T : s.temperatures_K) {
      c.T_K = T;
      if (!sweep_of(s, data, mixtures, c, p, out))
        return false;
    }
  }
  return true;
}

int run(const EquilibriumSettings& s, bool stdout_closed) {
  ResultsFiles results(kCommand);
  std::vector<Format> formats;
  if (s.csv_file) {
    results.add("--csv", *s.csv_file);
    formats.push_back(Format::csv);
  }
  if (s.json_file) {
    results.add("--json", *s.json_file);
    formats.push_back(Format::json);
  }
  if (formats.empty()) {
    results.add("standard output", "-");
    formats.push_back(Format::text);
  }
  if (s.thermo != ThermoSource::builtin) {
    results.add_input(s.thermo == ThermoSource::nasa9_file ? "--thermo" : "--data", s.thermo_file);
  }
  if (const std::optional<std::string> clash = results.clash()) {
    return usage_exit(kCommand, *clash);
  }
  std::unique_ptr<LoadedData> loaded = load_thermo_data(kCommand, s.thermo, s.thermo_file);
  if (!loaded) {
    return 1;
  }
  std::vector<FedMixture> mixtures;
  if (!feed_mixtures(s, loaded->data, mixtures)) {
    return 2;
  }
  if (!results.open(stdout_closed)) {
    return 1;
  }
  std::vector<tables::TableWriter*> writers;
  for (std::size_t k = 0; k < formats.size(); ++k) {
    ResultsOutput& o = results.outputs()[k];
    make_writer(o, formats[k], loaded->sha256);
    writers.push_back(o.writer.get());
  }
  // One output takes the rows itself; several take them through the fan-out.
  tables::TableWriter* const single = writers.size() == 1 ? writers.front() : nullptr;
  tables::FanOut all(std::move(writers));
  const bool complete = compute(s, loaded->data, mixtures, single ? *single : all);
  return results.finish(complete) ? 0 : 1;
}

}  // namespace

std::span<const tables::Column> equilibrium_columns() { return kColumns; }

}  // namespace zuna

int run_equilibrium_command(int argc, char** argv) {
  const bool stdout_closed = fcntl(STDOUT_FILENO, F_GETFD) == -1;
  zuna::open_closed_standard_files();
  const zuna::EquilibriumCommandLine c = zuna::parse_equilibrium_options(argc, argv);
  if (!c.error.empty()) {
    return zuna::usage_exit(zuna::kCommand, c.error);
  }
  if (c.help) {
    return zuna::print_help(zuna::kCommand, zuna::equilibrium_usage_text(), stdout_closed);
  }
  return zuna::run(c.settings, stdout_closed);
}
