#include "commands/wave-command.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/results-export.h"
#include "commands/results-output.h"
#include "commands/wave-options.h"
#include "engine/product-set.h"
#include "fio/fio.h"
#include "tables/csv-writer.h"
#include "tables/fan-out.h"
#include "tables/json-writer.h"
#include "tables/text-table.h"
#include "transport/transport.h"
#include "waves/waves.h"

namespace zuna {
namespace {

constexpr char kDetonation[] = "zuna4c detonation";
constexpr char kShock[] = "zuna4c shock";
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using tables::CellKind;
using tables::Column;

// ---------------------------------------------------------------------------
// The columns. The species x_NAME, one per product, stand between the head
// and the tail; what a state adds goes into the tail, before iterations
// and flags.

#define ZUNA_UNBURNED_COLUMNS                                                     \
  {"P1_bar"}, {"T1_K"}, {"H1_kJ_kg"}, {"M1"}, {"gamma1"}, {"son_vel1_m_s"}
#define ZUNA_STATE_COLUMNS                                                                 \
  {"P_bar"}, {"T_K"}, {"rho_kg_m3"}, {"H_kJ_kg"}, {"U_kJ_kg"}, {"G_kJ_kg"}, {"S_kJ_kgK"}, \
      {"M"}, {"dlnV_dlnP_T"}, {"dlnV_dlnT_P"}, {"Cp_kJ_kgK"}, {"gamma_s"}, {"son_vel_m_s"}, \
      {"Cp_fr_kJ_kgK"}, {"gamma_fr"}, {"son_vel_fr_m_s"}
#define ZUNA_TRANSPORT_COLUMNS                                                          \
  {"visc_uPa_s"}, {"Cp_fr_tr_kJ_kgK"}, {"cond_fr_W_mK"}, {"Pr_fr"}, {"Cp_eq_tr_kJ_kgK"}, \
      {"cond_eq_W_mK"}, {"Pr_eq"}

const Column kDetonationColumns[] = {
    {"set", CellKind::text},
    {"of"},
    ZUNA_UNBURNED_COLUMNS,
    ZUNA_STATE_COLUMNS,
    {"p_ratio"},
    {"t_ratio"},
    {"m_ratio"},
    {"rho_ratio"},
    {"det_mach"},
    {"det_vel_m_s"},
    // x_NAME
    {"phi"},
    {"r_eq"},
    ZUNA_TRANSPORT_COLUMNS,
    {"iterations", CellKind::integer},
    {"flags", CellKind::integer},
};

const Column kShockColumns[] = {
    {"set", CellKind::text},
    {"shock", CellKind::text},
    {"model", CellKind::text},
    {"of"},
    ZUNA_UNBURNED_COLUMNS,
    {"mach1"},
    {"u1_m_s"},
    ZUNA_STATE_COLUMNS,
    {"u2_m_s"},
    {"v2_m_s"},
    {"u5_m_s"},
    {"u5_v2_m_s"},
    {"p_ratio"},
    {"t_ratio"},
    {"m_ratio"},
    {"rho_ratio"},
    // x_NAME
    {"phi"},
    {"r_eq"},
    ZUNA_TRANSPORT_COLUMNS,
    {"slowest_u1_m_s"},
    {"iterations", CellKind::integer},
    {"flags", CellKind::integer},
};

#undef ZUNA_UNBURNED_COLUMNS
#undef ZUNA_STATE_COLUMNS
#undef ZUNA_TRANSPORT_COLUMNS

// Where the species columns go: before phi.
std::size_t species_at(std::span<const Column> fixed) {
  std::size_t k = 0;
  while (fixed[k].name != "phi") ++k;
  return k;
}

// The columns of a run: the fixed ones with the products' x_NAME between.
struct RunColumns {
  std::vector<std::string> names;
  std::vector<Column> columns;

  RunColumns(std::span<const Column> fixed, const engine::ProductSet& set) {
    const std::size_t at = species_at(fixed);
    names.reserve(set.species.size());
    for (const engine::SpeciesRecord* r : set.species) {
      names.push_back("x_" + r->name);
    }
    columns.assign(fixed.begin(), fixed.begin() + static_cast<std::ptrdiff_t>(at));
    for (const std::string& n : names) {
      columns.push_back({n});
    }
    columns.insert(columns.end(), fixed.begin() + static_cast<std::ptrdiff_t>(at), fixed.end());
  }
};

// ---------------------------------------------------------------------------
// The cells

void unburned_cells(tables::TableWriter& w, const engine::SetPoint& g1) {
  w.number(g1.P_bar);
  w.number(g1.T_K);
  w.number(g1.h_kJ_kg);
  w.number(g1.M_g_mol);
  w.number(g1.gamma_s);
  w.number(g1.sound_speed_m_s);
}

// A state without values is no state: every cell empty.
void state_cells(tables::TableWriter& w, const engine::SetPoint& p, bool values) {
  const double cells[] = {p.P_bar,        p.T_K,         p.rho_kg_m3,      p.h_kJ_kg,
                          p.u_kJ_kg,      p.g_kJ_kg,     p.s_kJ_kgK,       p.M_g_mol,
                          p.dlnV_dlnP_T,  p.dlnV_dlnT_P, p.cp_eq_kJ_kgK,   p.gamma_s,
                          p.sound_speed_m_s, p.cp_fr_kJ_kgK, p.gamma_fr, p.sound_speed_fr_m_s};
  for (double v : cells) {
    w.number(values ? v : kNaN);
  }
}

void species_cells(tables::TableWriter& w, const engine::SetPoint& p, bool values) {
  for (double x : p.x) {
    w.number(values ? x : kNaN);
  }
}

void ratio_cells(tables::TableWriter& w, const reactants::Mixture& m) {
  w.number(m.description.phi);
  w.number(m.description.r_eq);
}

// The transport of the gas behind, when asked for and it has values; the
// flag of a state whose transport lacks a species' data.
unsigned transport_cells(tables::TableWriter& w, transport::TransportModel* model,
                         const engine::SetPoint& p, bool values) {
  transport::TransportProperties t{kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, kNaN, 0};
  unsigned flags = 0;
  if (model != nullptr && values) {
    t = model->compute(p);
    if ((t.flags & (transport::kNoTransport | transport::kSpeciesWithoutFit)) != 0) {
      flags = zuna4::kTransportIncomplete;
    }
  }
  for (double v : {t.visc_uPa_s, t.Cp_fr_tr_kJ_kgK, t.cond_fr_W_mK, t.Pr_fr, t.Cp_eq_tr_kJ_kgK,
                   t.cond_eq_W_mK, t.Pr_eq}) {
    w.number(v);
  }
  return flags;
}

// ---------------------------------------------------------------------------
// The run

enum class Format { text, csv, json };

// The mixtures of the run, their products and the unburned gases of the
// wave solver; every refusal is a usage error, told before anything is
// computed.
struct Problem {
  std::vector<reactants::Mixture> mixtures;
  engine::ProductSet set;
  std::vector<waves::Mixture> gases;
};

Problem make_problem(const WaveSettings& s) {
  const engine::SpeciesDatabase& db = engine::builtin_species();
  Problem p;
  p.mixtures = make_mixtures(s.mixture, db);
  p.set = make_products(s.mixture, db, p.mixtures.front());
  // The unburned gas is a mixture of gases among the products, at T1.
  for (const reactants::MixtureEntry& e : p.mixtures.front().description.reactants) {
    const int j = p.set.index_of(e.name);
    if (j < 0 || j >= p.set.gas_count) {
      throw UsageError{refusal_option(reactants::role_name(e.role)) + " " + printable(e.text) +
                       ": the unburned gas is made of gases among the products, and " +
                       printable(e.name) + " is none"};
    }
  }
  for (const reactants::Mixture& m : p.mixtures) {
    std::vector<waves::ReactantMoles> moles;
    for (const reactants::MixtureEntry& e : m.description.reactants) {
      moles.push_back({e.name, e.mole_fraction});
    }
    try {
      p.gases.push_back(waves::mixture_of(p.set, moles));
    } catch (const engine::InputError& e) {
      throw UsageError{std::string("--fuel: ") + e.what()};
    }
  }
  return p;
}

struct Outputs {
  ResultsFiles files;
  std::vector<Format> formats;
  explicit Outputs(const char* command) : files(command) {}
};

void add_outputs(const WaveSettings& s, Outputs& o) {
  if (s.csv_file) {
    o.files.add("--csv", *s.csv_file);
    o.formats.push_back(Format::csv);
  }
  if (s.json_file) {
    o.files.add("--json", *s.json_file);
    o.formats.push_back(Format::json);
  }
  if (o.formats.empty()) {
    o.files.add("standard output", "-");
    o.formats.push_back(Format::text);
  }
}

void make_writers(Outputs& o, std::span<const Column> columns, const std::string& sha256,
                  std::vector<tables::TableWriter*>& writers) {
  for (std::size_t k = 0; k < o.formats.size(); ++k) {
    ResultsOutput& out = o.files.outputs()[k];
    switch (o.formats[k]) {
      case Format::text:
        out.writer = std::make_unique<tables::TextTable>(*out.buffer, columns, 6);
        break;
      case Format::csv:
        out.writer = std::make_unique<tables::CsvWriter>(*out.buffer, columns);
        break;
      case Format::json: {
        const tables::JsonMember members[] = {
            {"program", "zuna4c"}, {"version", ZUNA_VERSION}, {"thermo_sha256", sha256}};
        out.writer = std::make_unique<tables::JsonWriter>(*out.buffer, members, columns);
        break;
      }
    }
    writers.push_back(out.writer.get());
  }
}

bool detonations(const WaveSettings& s, const Problem& p, tables::TableWriter& w) {
  waves::WaveSolver solver(p.set);
  std::unique_ptr<transport::TransportModel> model;
  if (s.transport) {
    model = std::make_unique<transport::TransportModel>(p.set);
  }
  waves::Detonation d = solver.make_detonation();
  for (double p1 : s.p1_atm) {
    for (double t1 : s.t1_K) {
      for (std::size_t k = 0; k < p.gases.size(); ++k) {
        solver.detonation(p.gases[k], {t1, p1 * engine::kAtmBar}, d);
        const bool values = d.has_values();
        w.text("named");
        w.number(p.mixtures[k].description.of);
        unburned_cells(w, d.unburned);
        state_cells(w, d.burned, values);
        for (double v : {d.p_ratio, d.t_ratio, d.m_ratio, d.rho_ratio, d.det_mach, d.det_vel_m_s}) {
          w.number(values ? v : kNaN);
        }
        species_cells(w, d.burned, values);
        ratio_cells(w, p.mixtures[k]);
        const unsigned more = transport_cells(w, model.get(), d.burned, values);
        w.integer(d.iterations);
        w.integer(d.flags | more);
        w.end_row();
        if (!w.ok()) {
          return false;
        }
      }
    }
  }
  return true;
}

bool shocks(const WaveSettings& s, const Problem& p, tables::TableWriter& w) {
  waves::WaveSolver solver(p.set);
  std::unique_ptr<transport::TransportModel> model;
  if (s.transport) {
    model = std::make_unique<transport::TransportModel>(p.set);
  }
  waves::Shock sh = solver.make_shock();
  for (double p1 : s.p1_atm) {
    for (double t1 : s.t1_K) {
      for (std::size_t k = 0; k < p.gases.size(); ++k) {
        for (waves::ShockModel m : s.models) {
          for (double speed : s.speeds) {
            waves::ShockInput in;
            in.initial = {t1, p1 * engine::kAtmBar};
            (s.by_mach ? in.mach1 : in.u1_m_s) = speed;
            in.model = m;
            in.reflected = s.reflected;
            solver.shock(p.gases[k], in, sh);
            const bool incident_values = sh.has_values();
            for (const bool reflected : {false, true}) {
              if (!(reflected ? s.reflected : s.incident)) {
                continue;
              }
              // A reflected shock without an incident one has the incident's reason.
              const unsigned state_flags =
                  reflected && incident_values ? sh.reflected_flags : sh.flags;
              const bool values = incident_values && (state_flags & engine::kNoSolution) == 0;
              const engine::SetPoint& behind = reflected ? sh.reflected : sh.incident;
              w.text("named");
              w.text(reflected ? "reflected" : "incident");
              w.text(shock_model_name(m));
              w.number(p.mixtures[k].description.of);
              unburned_cells(w, sh.unburned);
              w.number(sh.mach1);
              w.number(sh.u1_m_s);
              state_cells(w, behind, values);
              w.number(incident_values ? sh.u2_m_s : kNaN);
              w.number(incident_values ? sh.v2_m_s : kNaN);
              w.number(reflected && values ? sh.u5_m_s : kNaN);
              w.number(reflected && values ? sh.u5_v2_m_s : kNaN);
              const double r1[] = {sh.p2_p1, sh.t2_t1, sh.m2_m1, sh.rho2_rho1};
              const double r5[] = {sh.p5_p2, sh.t5_t2, sh.m5_m2, sh.rho5_rho2};
              for (double v : reflected ? r5 : r1) {
                w.number(values ? v : kNaN);
              }
              species_cells(w, behind, values);
              ratio_cells(w, p.mixtures[k]);
              const unsigned more = transport_cells(w, model.get(), behind, values);
              w.number((sh.flags & waves::kShockTooSlow) != 0 ? sh.slowest_m_s : kNaN);
              w.integer(sh.iterations);
              w.integer(state_flags | more);
              w.end_row();
              if (!w.ok()) {
                return false;
              }
            }
          }
        }
      }
    }
  }
  return true;
}

int run(const char* command, const WaveSettings& s, bool shock, bool stdout_closed) {
  Outputs o(command);
  add_outputs(s, o);
  if (const std::optional<std::string> clash = o.files.clash()) {
    return usage_exit(command, *clash);
  }
  std::optional<Problem> problem;
  try {
    problem.emplace(make_problem(s));
  } catch (const UsageError& e) {
    return usage_exit(command, e.message);
  }
  if (!o.files.open(stdout_closed)) {
    return 1;
  }
  const RunColumns columns(shock ? std::span<const Column>(kShockColumns)
                                 : std::span<const Column>(kDetonationColumns),
                           problem->set);
  std::vector<tables::TableWriter*> writers;
  make_writers(o, columns.columns, sha256_hex(engine::builtin_species_text()), writers);
  tables::TableWriter* const single = writers.size() == 1 ? writers.front() : nullptr;
  tables::FanOut all(std::move(writers));
  tables::TableWriter& w = single ? *single : all;
  const bool complete = shock ? shocks(s, *problem, w) : detonations(s, *problem, w);
  return o.files.finish(complete) ? 0 : 1;
}

int run_command(const char* command, bool shock, int argc, char** argv) {
  const bool stdout_closed = fcntl(STDOUT_FILENO, F_GETFD) == -1;
  open_closed_standard_files();
  const WaveCommandLine c =
      shock ? parse_shock_options(argc, argv) : parse_detonation_options(argc, argv);
  if (!c.error.empty()) {
    return usage_exit(command, c.error);
  }
  if (c.help) {
    return print_help(command, shock ? shock_usage_text() : detonation_usage_text(),
                      stdout_closed);
  }
  return run(command, c.settings, shock, stdout_closed);
}

}  // namespace

std::span<const Column> detonation_columns() { return kDetonationColumns; }
std::span<const Column> shock_columns() { return kShockColumns; }
std::size_t detonation_species_at() { return species_at(kDetonationColumns); }
std::size_t shock_species_at() { return species_at(kShockColumns); }

}  // namespace zuna

int run_detonation_command(int argc, char** argv) {
  return zuna::run_command(zuna::kDetonation, false, argc, argv);
}
int run_shock_command(int argc, char** argv) {
  return zuna::run_command(zuna::kShock, true, argc, argv);
}
