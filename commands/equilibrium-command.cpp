#include "commands/equilibrium-command.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <optional>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "commands/equilibrium-options.h"
#include "commands/results-output.h"
#include "commands/mixture-options.h"
#include "engine/engine.h"
#include "engine/set-solver.h"
#include "reactants/mixture.h"
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


// ---------------------------------------------------------------------------
// The general solver: every product of the data (or those of --only and
// --omit), the six problems, named reactants or the presets.

// The species whose x_ columns the six gases' table has, in its order.
const char* const kSixGases[] = {"H2O", "O2", "H2", "H", "O", "OH"};

// One mixture of the run: its element amounts in the set's order, its
// enthalpy and energy, and its ratios as the columns echo them.
struct SetCase {
  double of = 0.0, phi = 0.0, r_eq = 0.0;
  std::vector<double> b_mol_kg;
  double h_kJ_kg = 0.0, u_kJ_kg = 0.0;
};

// The run's columns: the six gases' table up to x_OH, one x_ per further
// product in the database's order, y_ with --mass-fractions, phi and r_eq,
// iterations and flags. `species` maps each x_ (and y_) column to its
// product in the set, -1 for one the set lacks.
struct SetColumns {
  std::vector<std::string> names;
  std::vector<tables::Column> columns;
  std::vector<int> species;
};

SetColumns set_columns(const engine::ProductSet& set, bool mass_fractions) {
  SetColumns c;
  for (int k = 0; k < 6; ++k) {
    c.species.push_back(set.index_of(kSixGases[k]));
  }
  std::vector<int> further;
  for (int j = 0; j < set.size(); ++j) {
    if (std::find(c.species.begin(), c.species.end(), j) == c.species.end()) {
      further.push_back(j);
    }
  }
  std::sort(further.begin(), further.end(), [&](int a, int b) {
    return set.species[static_cast<std::size_t>(a)] < set.species[static_cast<std::size_t>(b)];
  });
  c.species.insert(c.species.end(), further.begin(), further.end());
  const std::size_t kBefore = 20;  // the columns before x_H2O
  for (std::size_t k = 0; k < kBefore; ++k) {
    c.names.emplace_back(kColumns[k].name);
  }
  for (int j : c.species) {
    c.names.push_back(
        "x_" + (j < 0 ? std::string(kSixGases[c.names.size() - kBefore]) : set.species[j]->name));
  }
  if (mass_fractions) {
    const std::size_t n = c.species.size();
    for (std::size_t k = 0; k < n; ++k) {
      c.names.push_back("y_" + c.names[kBefore + k].substr(2));
    }
  }
  c.names.emplace_back("phi");
  c.names.emplace_back("r_eq");
  c.names.emplace_back("iterations");
  c.names.emplace_back("flags");
  for (std::size_t k = 0; k < c.names.size(); ++k) {
    tables::Column col;
    col.name = c.names[k];
    if (k < kBefore) {
      col = kColumns[k];
    } else if (k + 2 >= c.names.size()) {
      col.kind = tables::CellKind::integer;
    }
    c.columns.push_back(col);
  }
  return c;
}

// One row of the general solver: the inputs echoed as given (p_atm of tp,
// hp and sp; T_K of tp and tv), every other value the solver's.
struct SetRow {
  double p_atm = 0.0, of = 0.0, phi = 0.0, r_eq = 0.0;
  const engine::SetPoint* point = nullptr;
  bool refused = false;  // the solver refused the condition: no values
};

void write_set_row(tables::TableWriter& w, const EquilibriumSettings& s, const SetColumns& cols,
                   double T_K, const SetRow& r) {
  const engine::SetPoint& pt = *r.point;
  const bool values = !r.refused && pt.has_values();
  const auto number = [&](double v) { w.number(values ? v : std::nan("")); };
  const bool volume = s.problem == engine::SetProblem::tv ||
                      s.problem == engine::SetProblem::uv || s.problem == engine::SetProblem::sv;
  const bool assigned_T = s.problem == engine::SetProblem::tp || s.problem == engine::SetProblem::tv;
  w.text(problem_name(s.problem));
  w.text(s.mixture.named() ? "named" : reactant_set_name(s.reactants.set));
  if (volume) {
    number(pt.P_bar / engine::kAtmBar);
  } else {
    w.number(r.p_atm);
  }
  w.number(r.of);
  number(pt.P_bar);
  if (assigned_T) {
    w.number(T_K);
  } else {
    number(pt.T_K);
  }
  number(pt.rho_kg_m3);
  number(pt.h_kJ_kg);
  number(pt.u_kJ_kg);
  number(pt.g_kJ_kg);
  number(pt.s_kJ_kgK);
  number(pt.M_g_mol);
  number(pt.dlnV_dlnP_T);
  number(pt.dlnV_dlnT_P);
  number(pt.cp_eq_kJ_kgK);
  number(pt.gamma_s);
  number(pt.sound_speed_m_s);
  number(pt.cp_fr_kJ_kgK);
  number(pt.gamma_fr);
  number(pt.sound_speed_fr_m_s);
  for (int j : cols.species) {
    if (j < 0) {
      w.absent();
    } else {
      number(pt.x[static_cast<std::size_t>(j)]);
    }
  }
  if (s.mass_fractions) {
    for (int j : cols.species) {
      if (j < 0) {
        w.absent();
      } else {
        number(pt.y[static_cast<std::size_t>(j)]);
      }
    }
  }
  w.number(r.phi);
  w.number(r.r_eq);
  w.integer(r.refused ? 0 : pt.iterations);
  w.integer(r.refused ? static_cast<std::int64_t>(engine::kNoSolution) : pt.flags);
  w.end_row();
}

// The readable table: the rows kept until the end, then the columns of the
// products that reach the trace somewhere, the others named below it.
class TracedTable final : public tables::TableWriter {
 public:
  TracedTable(tables::OutputBuffer& out, const SetColumns& cols, std::size_t first_species,
              std::size_t species_count, bool mass_fractions, double trace, std::string header)
      : out_(out), cols_(cols), first_(first_species), count_(species_count),
        mass_fractions_(mass_fractions), trace_(trace), header_(std::move(header)) {}

  void number(double v) override { cells_.push_back({v, 0, {}, Kind::number}); }
  void integer(std::int64_t v) override { cells_.push_back({0, v, {}, Kind::integer}); }
  void text(std::string_view v) override { cells_.push_back({0, 0, std::string(v), Kind::text}); }
  void absent() override { cells_.push_back({std::nan(""), 0, {}, Kind::number}); }
  void end_row() override { ++rows_; }
  bool ok() const override { return out_.ok(); }

  bool finish() override {
    const std::size_t width = cols_.columns.size();
    // A product is shown where its mole fraction reaches the trace.
    std::vector<bool> shown(width, true);
    std::vector<std::string> below;
    for (std::size_t k = 0; k < count_; ++k) {
      const std::size_t c = first_ + k;
      if (cols_.species[k] < 0) {
        shown[c] = false;
        if (mass_fractions_) shown[c + count_] = false;
        continue;
      }
      bool reaches = false;
      for (std::size_t r = 0; r < rows_ && !reaches; ++r) {
        reaches = cells_[r * width + c].v >= trace_;
      }
      if (!reaches) {
        shown[c] = false;
        if (mass_fractions_) shown[c + count_] = false;
        below.push_back(cols_.names[c].substr(2));
      }
    }
    std::vector<tables::Column> columns;
    for (std::size_t c = 0; c < width; ++c) {
      if (shown[c]) columns.push_back(cols_.columns[c]);
    }
    out_.put(header_);
    if (!below.empty()) {
      // Wrapped at a comma before 78 columns; names keep their own commas.
      std::string text = "Products considered, below a mole fraction of " +
                         shortest_text(trace_) + ":";
      std::size_t line_start = 0;
      for (const std::string& name : below) {
        if (text.size() - line_start + name.size() + 2 > 78) {
          text += "\n ";
          line_start = text.size() - 1;
        }
        text += " " + name + ",";
      }
      text.back() = '\n';
      out_.put(text);
    }
    tables::TextTable table(out_, columns, 6);
    for (std::size_t r = 0; r < rows_; ++r) {
      for (std::size_t c = 0; c < width; ++c) {
        if (!shown[c]) continue;
        const Cell& cell = cells_[r * width + c];
        switch (cell.kind) {
          case Kind::number: table.number(cell.v); break;
          case Kind::integer: table.integer(cell.i); break;
          case Kind::text: table.text(cell.t); break;
        }
      }
      table.end_row();
    }
    return table.finish();
  }

 private:
  enum class Kind { number, integer, text };
  struct Cell {
    double v;
    std::int64_t i;
    std::string t;
    Kind kind;
  };
  tables::OutputBuffer& out_;
  const SetColumns& cols_;
  std::size_t first_, count_;
  bool mass_fractions_;
  double trace_;
  std::string header_;
  std::vector<Cell> cells_;
  std::size_t rows_ = 0;
};

// The mixtures of the run, checked before anything is computed.
bool set_cases(const EquilibriumSettings& s, const LoadedData& loaded, std::vector<SetCase>& cases,
               std::vector<std::string>& elements,
               std::optional<reactants::MixtureDescription>& description,
               std::vector<reactants::Mixture>& mixtures) {
  if (s.mixture.named()) {
    try {
      mixtures = make_mixtures(s.mixture, loaded.species);
    } catch (const UsageError& e) {
      usage_exit(kCommand, e.message);
      return false;
    }
    for (const reactants::Mixture& x : mixtures) {
      SetCase c;
      c.of = x.description.of;
      c.phi = x.description.phi;
      c.r_eq = x.description.r_eq;
      c.h_kJ_kg = x.h_kJ_kg;
      c.u_kJ_kg = x.u_kJ_kg;
      cases.push_back(std::move(c));
    }
    elements = mixtures.front().elements;
    description = mixtures.front().description;
    return true;
  }
  std::vector<FedMixture> fed;
  if (!feed_mixtures(s, loaded.data, fed)) {
    return false;
  }
  const double ofst = engine::stoichiometric_of(loaded.data);
  for (const FedMixture& m : fed) {
    SetCase c;
    c.of = m.of;
    c.phi = c.r_eq = ofst / m.of;  // H2 and O2: phi = r_eq = 1/r
    c.b_mol_kg = {m.feed.b_mol_kg[0], m.feed.b_mol_kg[1]};
    c.h_kJ_kg = m.feed.h0_kJ_kg;
    c.u_kJ_kg = m.u0_kJ_kg;
    cases.push_back(std::move(c));
  }
  elements = {"H", "O"};
  return true;
}

// The mixtures at one condition, each warm from the point before it.
bool sweep_set(const EquilibriumSettings& s, engine::SetSolver& solver,
               const std::vector<SetCase>& cases, engine::SetCondition c, double p_atm,
               const SetColumns& cols, engine::SetPoint& point, tables::TableWriter& out) {
  for (const SetCase& m : cases) {
    if (s.problem == engine::SetProblem::hp) {
      c.h_kJ_kg = s.h_kJ_kg ? *s.h_kJ_kg : m.h_kJ_kg;
    } else if (s.problem == engine::SetProblem::uv) {
      c.u_kJ_kg = s.u_kJ_kg ? *s.u_kJ_kg : m.u_kJ_kg;
    }
    SetRow row{p_atm, m.of, m.phi, m.r_eq, &point, false};
    try {
      solver.solve(m.b_mol_kg, c, point);
    } catch (const engine::InputError&) {
      row.refused = true;
    }
    write_set_row(out, s, cols, c.T_K, row);
    if (!out.ok()) {
      return false;
    }
  }
  return true;
}

bool compute_set(const EquilibriumSettings& s, engine::SetSolver& solver,
                 const std::vector<SetCase>& cases, const SetColumns& cols,
                 tables::TableWriter& out) {
  using engine::SetProblem;
  engine::SetPoint point = solver.make_point();
  engine::SetCondition c;
  c.problem = s.problem;
  c.s_kJ_kgK = s.s_kJ_kgK;
  const bool volume =
      s.problem == SetProblem::tv || s.problem == SetProblem::uv || s.problem == SetProblem::sv;
  const bool assigned_T = s.problem == SetProblem::tp || s.problem == SetProblem::tv;
  const std::vector<double> one = {0.0};
  for (double first : volume ? s.densities_kg_m3 : s.pressures_atm) {
    if (volume) {
      c.v_m3_kg = 1.0 / first;
    } else {
      c.p_bar = first * engine::kAtmBar;
    }
    for (double T : assigned_T ? s.temperatures_K : one) {
      c.T_K = T;
      if (!sweep_set(s, solver, cases, c, volume ? 0.0 : first, cols, point, out)) {
        return false;
      }
    }
  }
  return true;
}

int run_general(const EquilibriumSettings& s, ResultsFiles& results,
                const std::vector<Format>& formats, bool stdout_closed) {
  std::unique_ptr<LoadedData> loaded =
      load_thermo_data(kCommand, s.thermo, s.thermo_file, true, true);
  if (!loaded) {
    return 1;
  }
  std::vector<SetCase> cases;
  std::vector<std::string> elements;
  std::optional<reactants::MixtureDescription> description;
  std::vector<reactants::Mixture> mixtures;
  if (!set_cases(s, *loaded, cases, elements, description, mixtures)) {
    return 2;
  }
  engine::ProductSet set;
  try {
    set = engine::select_products(loaded->species, elements, s.mixture.products);
  } catch (const engine::InputError& e) {
    // The engine's words start with the list they refuse ("only: ...").
    std::string what = e.what();
    const char* option = "--fuel";
    for (const char* list : {"only", "omit"}) {
      if (what.rfind(std::string(list) + ": ", 0) == 0) {
        option = list[1] == 'n' ? "--only" : "--omit";
        what.erase(0, 6);
      }
    }
    return usage_exit(kCommand, std::string(option) + ": " + printable(what));
  }
  for (std::size_t k = 0; k < mixtures.size(); ++k) {
    cases[k].b_mol_kg = mixtures[k].b_for(set);
  }
  const SetColumns cols = set_columns(set, s.mass_fractions);
  if (!results.open(stdout_closed)) {
    return 1;
  }
  const std::string reactants_member =
      description ? reactants_json(*description) : std::string("null");
  std::string header = std::string("Problem ") + problem_name(s.problem) + ", reactants " +
                       (s.mixture.named() ? std::string("named") : reactant_set_name(s.reactants.set)) +
                       ", " + std::to_string(set.size()) + " products\n";
  if (description) {
    header += reactants_text(*description);
  }
  std::vector<tables::TableWriter*> writers;
  for (std::size_t k = 0; k < formats.size(); ++k) {
    ResultsOutput& o = results.outputs()[k];
    switch (formats[k]) {
      case Format::text:
        o.writer = std::make_unique<TracedTable>(*o.buffer, cols, std::size_t{20},
                                                 cols.species.size(), s.mass_fractions, s.trace,
                                                 header);
        break;
      case Format::csv:
        o.writer = std::make_unique<tables::CsvWriter>(*o.buffer, cols.columns);
        break;
      case Format::json: {
        const tables::JsonMember members[] = {{"program", "zuna4c"},
                                              {"version", ZUNA_VERSION},
                                              {"thermo_sha256", loaded->sha256},
                                              {"reactants", reactants_member, true}};
        o.writer = std::make_unique<tables::JsonWriter>(*o.buffer, members, cols.columns);
        break;
      }
    }
    writers.push_back(o.writer.get());
  }
  tables::TableWriter* const single = writers.size() == 1 ? writers.front() : nullptr;
  tables::FanOut all(std::move(writers));
  engine::SetSolver solver(set);
  const bool complete = compute_set(s, solver, cases, cols, single ? *single : all);
  return results.finish(complete) ? 0 : 1;
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
  if (s.general) {
    return run_general(s, results, formats, stdout_closed);
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
