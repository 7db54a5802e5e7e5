#include "commands/rocket-command.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "commands/results-output.h"
#include "commands/rocket-options.h"
#include "fio/fio.h"
#include "rocket/rocket.h"
#include "tables/csv-writer.h"
#include "tables/fan-out.h"
#include "tables/json-writer.h"
#include "tables/text-table.h"

namespace zuna::console {
namespace {

constexpr char kCommand[] = "zuna4c rocket";

// ---------------------------------------------------------------------------
// The rows

using tables::CellKind;
using tables::Column;

// The CSV's and JSON's columns. Per unit mass like the NASA Glenn tables: H,
// U, G [kJ/kg], S and Cp [kJ/(kg K)]; M [g/mol]; impulses in m/s.
const Column kColumns[] = {
    {"set", CellKind::text},
    {"model", CellKind::text},
    {"pc_atm"},
    {"of"},
    {"station", CellKind::text},
    {"exit_spec", CellKind::text},
    {"pinf_p"},
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
    {"mach"},
    {"ae_at"},
    {"cstar_m_s"},
    {"cf"},
    {"ivac_m_s"},
    {"isp_m_s"},
    {"x_H2O"},
    {"x_O2"},
    {"x_H2"},
    {"x_H"},
    {"x_O"},
    {"x_OH"},
    {"flags", CellKind::integer},
};

// The readable table: one column per station, one line per quantity, its
// unit beside its name; the impulses in seconds as well.
const Column kTextColumns[] = {
    {"O/F"},
    {"station", CellKind::text},
    {"exit", CellKind::text},
    {"Pinf/P"},
    {"P", CellKind::number, "bar"},
    {"T", CellKind::number, "K"},
    {"rho", CellKind::number, "kg/m3"},
    {"H", CellKind::number, "kJ/kg"},
    {"U", CellKind::number, "kJ/kg"},
    {"G", CellKind::number, "kJ/kg"},
    {"S", CellKind::number, "kJ/(kg K)"},
    {"M", CellKind::number, "g/mol"},
    {"(dlnV/dlnP)t"},
    {"(dlnV/dlnT)p"},
    {"Cp", CellKind::number, "kJ/(kg K)"},
    {"gamma_s"},
    {"son vel", CellKind::number, "m/s"},
    {"Mach"},
    {"Ae/At"},
    {"c*", CellKind::number, "m/s"},
    {"Cf"},
    {"Ivac", CellKind::number, "m/s"},
    {"Isp", CellKind::number, "m/s"},
    {"Ivac", CellKind::number, "s"},
    {"Isp", CellKind::number, "s"},
    {"x H2O"},
    {"x O2"},
    {"x H2"},
    {"x H"},
    {"x O"},
    {"x OH"},
    {"flags", CellKind::integer},
};

// The same in English units: the impulses in lbf s/lbm only.
const Column kTextEnglishColumns[] = {
    {"O/F"},
    {"station", CellKind::text},
    {"exit", CellKind::text},
    {"Pinf/P"},
    {"P", CellKind::number, "psia"},
    {"T", CellKind::number, "degR"},
    {"rho", CellKind::number, "lbm/ft3"},
    {"H", CellKind::number, "BTU/lbm"},
    {"U", CellKind::number, "BTU/lbm"},
    {"G", CellKind::number, "BTU/lbm"},
    {"S", CellKind::number, "BTU/(lbm degR)"},
    {"M", CellKind::number, "lbm/lbmol"},
    {"(dlnV/dlnP)t"},
    {"(dlnV/dlnT)p"},
    {"Cp", CellKind::number, "BTU/(lbm degR)"},
    {"gamma_s"},
    {"son vel", CellKind::number, "ft/s"},
    {"Mach"},
    {"Ae/At"},
    {"c*", CellKind::number, "ft/s"},
    {"Cf"},
    {"Ivac", CellKind::number, "lbf s/lbm"},
    {"Isp", CellKind::number, "lbf s/lbm"},
    {"x H2O"},
    {"x O2"},
    {"x H2"},
    {"x H"},
    {"x O"},
    {"x OH"},
    {"flags", CellKind::integer},
};

// English units from SI, by their definitions: the international foot and
// pound, the pound-force of the standard gravity, the international-table
// BTU (2.326 kJ/kg per BTU/lbm, 4.1868 kJ/(kg K) per BTU/(lbm degR)).
constexpr double kPaPerPsi = 4.4482216152605 / (0.0254 * 0.0254);
constexpr double kMPerFt = 0.3048;
constexpr double kKgM3PerLbmFt3 = 0.45359237 / (0.3048 * 0.3048 * 0.3048);
constexpr double kKJKgPerBtuLbm = 2.326;
constexpr double kKJKgKPerBtuLbmR = 4.1868;

const Column kTextBestColumns[] = {
    {"exit", CellKind::text},
    {"O/F of max Isp"},
    {"Isp", CellKind::number, "m/s"},
    {"Isp", CellKind::number, "s"},
    {"O/F of max Ivac"},
    {"Ivac", CellKind::number, "m/s"},
    {"Ivac", CellKind::number, "s"},
    {"flags", CellKind::integer},
};

// The stations by the names of the report's tables; the chamber of a
// finite-area combustor is its injector.
const char* station_name(rocket::StationKind k, bool finite) {
  switch (k) {
    case rocket::StationKind::chamber: return finite ? "injector" : "chamber";
    case rocket::StationKind::comb_end: return "comb_end";
    case rocket::StationKind::throat: return "throat";
    default: return "exit";
  }
}

// "pi_p=10", "ae_at=25"; empty for the chamber and the throat.
std::string exit_spec(rocket::StationKind kind, double value) {
  switch (kind) {
    case rocket::StationKind::pressure_ratio: return "pi_p=" + shortest_text(value);
    case rocket::StationKind::area_ratio: return "ae_at=" + shortest_text(value);
    case rocket::StationKind::sub_area_ratio: return "sub_ae_at=" + shortest_text(value);
    case rocket::StationKind::chamber:
    case rocket::StationKind::comb_end:
    case rocket::StationKind::throat: break;
  }
  return "";
}

// The exit texts of the stations of every result, in their order.
std::vector<std::string> exit_texts(const RocketSettings& s) {
  std::vector<std::string> out = {"", ""};
  if (!s.contraction.empty() || !s.mass_flux.empty()) {
    out.emplace_back();  // the combustor's end
  }
  for (double v : s.pi_p)
    out.push_back(exit_spec(rocket::StationKind::pressure_ratio, v));
  for (double v : s.sub_ae_at)
    out.push_back(exit_spec(rocket::StationKind::sub_area_ratio, v));
  for (double v : s.ae_at)
    out.push_back(exit_spec(rocket::StationKind::area_ratio, v));
  return out;
}

void write_state(tables::TableWriter& w, const rocket::Station& st) {
  const engine::State& p = st.state;
  for (double v : {st.pinf_p, p.P_bar, p.T_K, p.rho_kg_m3, p.H_kJ_kg, p.U_kJ_kg, p.G_kJ_kg,
                   p.S_kJ_kgK, p.M, p.dlnV_dlnP_T, p.dlnV_dlnT_P, p.Cp_kJ_kgK, p.gamma_s,
                   p.son_vel_m_s, st.mach, st.ae_at, st.cstar_m_s, st.cf}) {
    w.number(v);
  }
}

void write_fractions(tables::TableWriter& w, const rocket::Station& st) {
  for (double x : st.state.x) {
    w.number(x);
  }
  w.integer(st.flags);
  w.end_row();
}

void write_row(tables::TableWriter& w, const char* set, const char* model, double pc, double of,
               const std::string& exit_text, const rocket::Station& st, bool finite) {
  w.text(set);
  w.text(model);
  w.number(pc);
  w.number(of);
  w.text(station_name(st.kind, finite));
  w.text(exit_text);
  write_state(w, st);
  w.number(st.ivac_m_s);
  w.number(st.isp_m_s);
  write_fractions(w, st);
}

void write_text_row(tables::TableWriter& w, double of, const std::string& exit_text,
                    const rocket::Station& st, bool finite) {
  w.number(of);
  w.text(station_name(st.kind, finite));
  if (exit_text.empty()) {
    w.absent();
  } else {
    w.text(exit_text);
  }
  write_state(w, st);
  w.number(st.ivac_m_s);
  w.number(st.isp_m_s);
  w.number(st.ivac_m_s / rocket::kG0_m_s2);
  w.number(st.isp_m_s / rocket::kG0_m_s2);
  write_fractions(w, st);
}

void write_english_row(tables::TableWriter& w, double of, const std::string& exit_text,
                       const rocket::Station& st, bool finite) {
  const engine::State& p = st.state;
  w.number(of);
  w.text(station_name(st.kind, finite));
  if (exit_text.empty()) {
    w.absent();
  } else {
    w.text(exit_text);
  }
  for (double v : {st.pinf_p, p.P_bar * 1e5 / kPaPerPsi, p.T_K * 1.8, p.rho_kg_m3 / kKgM3PerLbmFt3,
                   p.H_kJ_kg / kKJKgPerBtuLbm, p.U_kJ_kg / kKJKgPerBtuLbm,
                   p.G_kJ_kg / kKJKgPerBtuLbm, p.S_kJ_kgK / kKJKgKPerBtuLbmR, p.M, p.dlnV_dlnP_T,
                   p.dlnV_dlnT_P, p.Cp_kJ_kgK / kKJKgKPerBtuLbmR, p.gamma_s,
                   p.son_vel_m_s / kMPerFt, st.mach, st.ae_at, st.cstar_m_s / kMPerFt, st.cf,
                   st.ivac_m_s / rocket::kG0_m_s2, st.isp_m_s / rocket::kG0_m_s2}) {
    w.number(v);
  }
  write_fractions(w, st);
}

// The best O/F of every exit of one chamber pressure and model.
struct BestOfGroup {
  double pc_atm;
  rocket::Model model;
  std::vector<rocket::BestIsp> exits;
};

// The JSON array of --best, a member of the results object.
const Column kBestColumns[] = {
    {"set", CellKind::text},
    {"model", CellKind::text},
    {"pc_atm"},
    {"exit_spec", CellKind::text},
    {"of_isp"},
    {"isp_m_s"},
    {"of_ivac"},
    {"ivac_m_s"},
    {"flags", CellKind::integer},
};

std::string best_json(const char* set, const std::vector<BestOfGroup>& best) {
  tables::TextSink sink;
  tables::OutputBuffer buffer(sink);
  tables::JsonWriter array(buffer, tables::JsonArrayOnly{}, kBestColumns);
  for (const BestOfGroup& g : best) {
    for (const rocket::BestIsp& b : g.exits) {
      array.text(set);
      array.text(model_name(g.model));
      array.number(g.pc_atm);
      array.text(exit_spec(b.kind, b.exit_value));
      array.number(b.of_isp);
      array.number(b.at_isp.isp_m_s);
      array.number(b.of_ivac);
      array.number(b.at_ivac.ivac_m_s);
      array.integer(b.flags);
      array.end_row();
    }
  }
  array.finish();
  return std::move(sink.text);
}

// The readable table of the best O/F of each exit of one model; false when
// the output failed.
bool write_best_table(tables::OutputBuffer& screen, const BestOfGroup& best) {
  screen.put("\nBest O/F\n\n");
  tables::TextTable best_table(screen, kTextBestColumns, static_cast<int>(best.exits.size()));
  for (const rocket::BestIsp& b : best.exits) {
    best_table.text(exit_spec(b.kind, b.exit_value));
    best_table.number(b.of_isp);
    best_table.number(b.at_isp.isp_m_s);
    best_table.number(b.at_isp.isp_m_s / rocket::kG0_m_s2);
    best_table.number(b.of_ivac);
    best_table.number(b.at_ivac.ivac_m_s);
    best_table.number(b.at_ivac.ivac_m_s / rocket::kG0_m_s2);
    best_table.integer(b.flags);
    best_table.end_row();
  }
  return best_table.finish();
}

void print_heading(tables::OutputBuffer& out, bool first, const char* set, double pc,
                   const Combustor& combustor, rocket::Model model) {
  out.put(first ? "" : "\n");
  std::string chamber = "Chamber pressure " + shortest_text(pc) + " atm";
  if (combustor.contraction != 0.0) {
    chamber = "Injector pressure " + shortest_text(pc) + " atm, contraction ratio " +
              shortest_text(combustor.contraction);
  } else if (combustor.mass_flux != 0.0) {
    chamber = "Injector pressure " + shortest_text(pc) + " atm, mass flux " +
              shortest_text(combustor.mass_flux) + " kg/(s m2)";
  }
  out.put(chamber + ", model " + model_name(model) + ", reactants " + set + "\n\n");
}

// ---------------------------------------------------------------------------
// The run

// The best O/F of every chamber pressure, combustor and model, in that
// order.
std::vector<BestOfGroup> best_of(const RocketSettings& s, const engine::ThermoData& data) {
  std::vector<BestOfGroup> best;
  if (s.best) {
    for (double pc : s.pc_atm) {
      for (const Combustor& c : combustors(s)) {
        for (rocket::Model m : s.models) {
          best.push_back({pc, m, rocket::best_isp(data, rocket_problem(s, pc, m, c))});
        }
      }
    }
  }
  return best;
}

// The writers of the results files, in the order of the outputs: the CSV's,
// then the JSON's.
// `best_member`, the JSON's array of the best O/F, is held by the caller
// until the writers are done.
std::vector<tables::TableWriter*> make_writers(const RocketSettings& s, ResultsFiles& results,
                                               const std::string& sha256,
                                               const std::string& best_member) {
  std::vector<tables::TableWriter*> files;
  std::size_t next = 0;
  if (s.csv_file) {
    ResultsOutput& o = results.outputs()[next++];
    o.writer = std::make_unique<tables::CsvWriter>(*o.buffer, kColumns);
    files.push_back(o.writer.get());
  }
  if (s.json_file) {
    ResultsOutput& o = results.outputs()[next++];
    std::vector<tables::JsonMember> members = {
        {"program", "zuna4c"}, {"version", ZUNA_VERSION}, {"thermo_sha256", sha256}};
    if (s.best) {
      members.push_back({"best", best_member, true});
    }
    o.writer = std::make_unique<tables::JsonWriter>(*o.buffer, members, kColumns);
    files.push_back(o.writer.get());
  }
  return files;
}

// Computes and writes every row: to the results files (`files`), or as the
// readable tables to `screen`. One chamber pressure at a time, model by
// model, each row written as soon as its O/F is computed (the models of one
// O/F share their chamber). False when an output failed.
bool write_results(const RocketSettings& s, const engine::ThermoData& data,
                   const std::vector<double>& of, const std::vector<BestOfGroup>& best,
                   std::vector<tables::TableWriter*> files, tables::OutputBuffer* screen) {
  const char* set = reactant_set_name(s.reactants.set);
  const std::vector<std::string> exit_column = exit_texts(s);
  const int stations = static_cast<int>(exit_column.size());
  tables::FanOut all(files);
  tables::TableWriter* rows = files.size() == 1 ? files[0] : &all;  // one file: no fan-out
  const bool finite = !s.contraction.empty() || !s.mass_flux.empty();
  const std::vector<Combustor> chambers = combustors(s);
  bool complete = true;
  bool first = true;
  std::size_t group = 0;  // the chamber pressure and combustor: the best O/F's group
  for (std::size_t k = 0; k < s.pc_atm.size() && complete; ++k) {
    for (std::size_t c = 0; c < chambers.size() && complete; ++c, ++group) {
      const double pc = s.pc_atm[k];
      std::optional<tables::TextTable> table;  // the screen's table of the model
      rocket::rocket_sweep_each(
          data, rocket_problem(s, pc, rocket::Model::equilibrium, chambers[c]), of, s.models,
          [&](std::size_t m, std::size_t i, const rocket::RocketResult& r) {
            const std::vector<rocket::Station>& row = r.stations;
            if (screen == nullptr) {
              const char* model = model_name(s.models[m]);
              for (std::size_t j = 0; j < row.size(); ++j) {
                write_row(*rows, set, model, pc, of[i], exit_column[j], row[j], finite);
              }
              complete = rows->ok();
              return complete;
            }
            if (i == 0) {
              print_heading(*screen, first, set, pc, chambers[c], s.models[m]);
              first = false;
              if (s.english) {
                table.emplace(*screen, kTextEnglishColumns, stations);
              } else {
                table.emplace(*screen, kTextColumns, stations);
              }
            }
            for (std::size_t j = 0; j < row.size(); ++j) {
              if (s.english) {
                write_english_row(*table, of[i], exit_column[j], row[j], finite);
              } else {
                write_text_row(*table, of[i], exit_column[j], row[j], finite);
              }
            }
            if (i + 1 < of.size()) {
              return true;
            }
            complete = table->finish();
            table.reset();
            if (s.best && complete && !best.empty()) {
              complete = write_best_table(*screen, best[group * s.models.size() + m]);
            }
            return complete;
          });
    }
  }
  return complete;
}

int run(const RocketSettings& s, bool stdout_closed) {
  ResultsFiles results(kCommand);
  if (s.csv_file) {
    results.add("--csv", *s.csv_file);
  }
  if (s.json_file) {
    results.add("--json", *s.json_file);
  }
  const bool text = results.outputs().empty();
  if (text) {
    results.add("standard output", "-");
  }
  if (!s.thermo_file.empty()) {
    results.add_input("--thermo", s.thermo_file);
  }
  if (const std::optional<std::string> clash = results.clash()) {
    return usage_exit(kCommand, *clash);
  }
  const std::unique_ptr<LoadedData> loaded = load_thermo_data(
      kCommand, s.thermo_file.empty() ? ThermoSource::builtin : ThermoSource::nasa9_file,
      s.thermo_file, s.json_file.has_value());
  if (!loaded) {
    return 1;
  }
  const engine::ThermoData& data = loaded->data;
  const std::vector<double> of =
      s.of ? *s.of : grid_of_values(s.grid, engine::stoichiometric_of(data));
  try {
    check_rocket_problems(s, data, of);
  } catch (const UsageError& e) {
    return usage_exit(kCommand, e.message);
  }
  // The best O/F come first: the JSON gives them before its rows.
  const std::vector<BestOfGroup> best = best_of(s, data);
  if (!results.open(stdout_closed)) {
    return 1;
  }
  const std::string best_member = best_json(reactant_set_name(s.reactants.set), best);
  const std::vector<tables::TableWriter*> files =
      text ? std::vector<tables::TableWriter*>{}
           : make_writers(s, results, loaded->sha256, best_member);
  tables::OutputBuffer* screen = text ? results.outputs()[0].buffer.get() : nullptr;
  return results.finish(write_results(s, data, of, best, files, screen)) ? 0 : 1;
}

}  // namespace

std::span<const tables::Column> rocket_columns() { return kColumns; }

int run_rocket_command(int argc, char** argv) {
  const bool stdout_closed = fcntl(STDOUT_FILENO, F_GETFD) == -1;
  open_closed_standard_files();
  const RocketCommandLine c = parse_rocket_options(argc, argv);
  if (!c.error.empty()) {
    return usage_exit(kCommand, c.error);
  }
  if (c.help) {
    return print_help(kCommand, rocket_usage_text(), stdout_closed);
  }
  return run(c.settings, stdout_closed);
}

}  // namespace zuna::console
