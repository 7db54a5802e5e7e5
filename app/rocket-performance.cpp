// The rocket performance's calculation over the O/F points and its three
// outputs: the window, the report foguete and the plot file isp.dat.
#include "app/rocket-performance.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>

#include "app/rocket-text.h"
#include "fio/fio.h"
#include "rocket/rocket.h"
#include "tables/shortest.h"

namespace zuna {
namespace {

namespace rk = zuna::rocket;
namespace en = zuna::engine;
using rocket_text::fixed;
using rocket_text::scientific;
using tables::shortest_text;

constexpr char kCaption[] = "DESEMPENHO COMO MOTOR-FOGUETE";

// Texts in fields of a width, padded with blanks.
std::string right(std::string_view text, std::size_t width) {
  std::string s(width > text.size() ? width - text.size() : 0, ' ');
  return s.append(text);
}

std::string left(std::string_view text, std::size_t width) {
  std::string s(text);
  s.resize(std::max(width, text.size()), ' ');
  return s;
}

// --- The calculation --------------------------------------------------------------

const char* model_text(rk::Model m) {
  switch (m) {
    case rk::Model::frozen_chamber: return "congelado na câmara";
    case rk::Model::frozen_throat: return "congelado na garganta";
    case rk::Model::equilibrium: break;
  }
  return "equilíbrio (composição variável)";
}

rk::RocketInput problem_of(const RocketInputs& in) {
  rk::RocketInput p;
  p.pc_atm = in.pc_atm;
  p.pi_p = in.pi_p;
  p.ae_at = in.ae_at;
  p.model = in.model;
  p.reactants.set = in.gas ? en::ReactantSet::gas : en::ReactantSet::liquid;
  return p;
}

struct Performance {
  std::vector<rk::RocketResult> rows;  // one per O/F
  std::vector<rk::BestIsp> best;       // one per exit
};

// --- The report -------------------------------------------------------------------

void write_line(int unit, std::string_view text) {
  begin_write(unit, "(A)", -1);
  put_chars(text.data(), static_cast<int>(text.size()));
  end_write();
}

std::string station_name(const rk::Station& st) {
  switch (st.kind) {
    case rk::StationKind::chamber: return "CÂMARA";
    case rk::StationKind::throat: return "GARGANTA";
    case rk::StationKind::pressure_ratio: return "Pc/Pe=" + shortest_text(st.exit_value);
    case rk::StationKind::area_ratio: return "Ae/At=" + shortest_text(st.exit_value);
  }
  return {};
}

// Why a station has no values, or what its values carry.
std::string station_state(const rk::Station& st) {
  const unsigned f = st.flags;
  if (f & rk::kChamberFailed) return "câmara inválida";
  if (f & rk::kThroatNotFound) return "sem garganta";
  if (f & rk::kExitNotFound) return "sem saída";
  if (f & en::kNoSolution) return "sem solução";
  if (f & en::kNotConverged) return "não convergiu";
  if (f & (en::kBelowRange | en::kAboveRange)) return "T fora da faixa";
  if (f & (en::kSingular | en::kFloatingPoint)) return "falha numérica";
  if (f & (en::kExtrapolatedLow | en::kExtrapolatedHigh)) return "extrapolada";
  return "válida";
}

constexpr std::size_t kLabelWidth = 16;
constexpr std::size_t kCellWidth = 13;

// One row of the stations' table: a value of each valid station, a dash
// where a station has none (the chamber's impulses, any value of a station
// that is not valid).
struct Row {
  const char* label;
  std::function<double(const rk::Station&)> value;
  std::function<std::string(double)> text;
};

std::string row_text(const Row& row, const rk::RocketResult& r) {
  std::string line = left(row.label, kLabelWidth);
  for (const rk::Station& st : r.stations) {
    const double v = row.value(st);
    line += right(st.valid() && std::isfinite(v) ? row.text(v) : "-", kCellWidth);
  }
  return line;
}

std::vector<Row> table_rows() {
  auto fx = [](int d) { return [d](double v) { return fixed(v, d); }; };
  auto sc = [](int d) { return [d](double v) { return scientific(v, d); }; };
  std::vector<Row> rows = {
      {"Pc/P", [](const rk::Station& s) { return s.pinf_p; }, fx(4)},
      {"P (bar)", [](const rk::Station& s) { return s.state.P_bar; }, sc(4)},
      {"T (K)", [](const rk::Station& s) { return s.state.T_K; }, fx(2)},
      {"rho (kg/m3)", [](const rk::Station& s) { return s.state.rho_kg_m3; }, sc(4)},
      {"H (kJ/kg)", [](const rk::Station& s) { return s.state.H_kJ_kg; }, fx(2)},
      {"S (kJ/kg K)", [](const rk::Station& s) { return s.state.S_kJ_kgK; }, fx(4)},
      {"M (g/mol)", [](const rk::Station& s) { return s.state.M; }, fx(4)},
      {"Cp (kJ/kg K)", [](const rk::Station& s) { return s.state.Cp_kJ_kgK; }, fx(4)},
      {"gama_s", [](const rk::Station& s) { return s.state.gamma_s; }, fx(5)},
      {"vel.som (m/s)", [](const rk::Station& s) { return s.state.son_vel_m_s; }, fx(2)},
      {"Mach", [](const rk::Station& s) { return s.mach; }, fx(4)},
      {"Ae/At", [](const rk::Station& s) { return s.ae_at; }, fx(4)},
      {"c* (m/s)", [](const rk::Station& s) { return s.cstar_m_s; }, fx(2)},
      {"Cf", [](const rk::Station& s) { return s.cf; }, fx(5)},
      {"Ivac (m/s)", [](const rk::Station& s) { return s.ivac_m_s; }, fx(2)},
      {"Isp (m/s)", [](const rk::Station& s) { return s.isp_m_s; }, fx(2)},
      {"Ivac (s)", [](const rk::Station& s) { return s.ivac_m_s / rk::kG0_m_s2; }, fx(2)},
      {"Isp (s)", [](const rk::Station& s) { return s.isp_m_s / rk::kG0_m_s2; }, fx(2)},
  };
  // Mole fractions, in the engine's species order.
  static constexpr const char* kSpecies[en::kSpeciesCount] = {"x H2O", "x O2", "x H2",
                                                              "x H",   "x O",  "x OH"};
  for (int k = 0; k < en::kSpeciesCount; ++k) {
    rows.push_back({kSpecies[k], [k](const rk::Station& s) { return s.state.x[k]; }, sc(4)});
  }
  return rows;
}

void write_heading(int unit, const RocketInputs& in, std::span<const double> of) {
  write_line(unit, std::string(" ") + kCaption);
  write_line(unit, "");
  write_line(unit, " Pressão na câmara (atm) = " + fixed(in.pc_atm, 4) + "   (" +
                       fixed(in.pc_atm * en::kAtmBar, 4) + " bar)");
  write_line(unit, std::string(" Modelo da expansão: ") + model_text(in.model));
  write_line(unit, in.gas ? " Reagentes: gases a 298,15 K"
                          : " Reagentes: líquidos (H2 -9016 J/mol, O2 -12984 J/mol)");
  write_line(unit, " Pontos de O/F do cálculo: " + std::to_string(of.size()) + ", de " +
                       fixed(of.front(), 4) + " a " + fixed(of.back(), 4));
}

// `range` holds the interval searched: an optimum within the search's tolerance of
// one of its ends is said to lie there (the highest value may lie beyond).
std::string best_line(const rk::BestIsp& b, bool isp, std::span<const double> range) {
  const double of = isp ? b.of_isp : b.of_ivac;
  const rk::Station& st = isp ? b.at_isp : b.at_ivac;
  const double v = isp ? st.isp_m_s : st.ivac_m_s;
  std::string line = " " + left(station_name(st), 14) + (isp ? " Isp " : " Ivac");
  if (!st.valid() || !std::isfinite(v) || !std::isfinite(of)) {
    return line + "  não encontrado (" + station_state(st) + ")";
  }
  line += "  O/F = " + right(fixed(of, 4), 8) + "   " + right(fixed(v / rk::kG0_m_s2, 2), 8) +
          " s  " + right(fixed(v, 2), 8) + " m/s";
  const double tolerance = 2 * rk::kBestOfTolerance;
  if (std::abs(of - range.front()) <= tolerance || std::abs(of - range.back()) <= tolerance) {
    line += "   (no extremo do intervalo)";
  }
  return line;
}

void write_report(const RocketInputs& in, std::span<const double> of, const Performance& p) {
  const int u = kRocketReportUnit;
  write_heading(u, in, of);
  const std::vector<Row> rows = table_rows();
  const double ofst = en::stoichiometric_of(en::builtin_nasa9_data());
  for (const rk::RocketResult& r : p.rows) {
    write_line(u, "");
    write_line(u, "");
    write_line(u, " O/F = " + fixed(r.of, 4) + "   (o/f = " + fixed(r.of / ofst, 4) + ")");
    write_line(u, "");
    std::string head = left("", kLabelWidth);
    std::string state = left("situação", kLabelWidth);
    for (const rk::Station& st : r.stations) {
      head += right(station_name(st), kCellWidth);
      state += right(station_state(st), kCellWidth);
    }
    write_line(u, head);
    for (const Row& row : rows) {
      write_line(u, row_text(row, r));
    }
    write_line(u, state);
  }
  write_line(u, "");
  write_line(u, "");
  write_line(u, " MELHOR O/F DE CADA SAÍDA");
  write_line(u, "");
  for (const rk::BestIsp& b : p.best) {
    write_line(u, best_line(b, true, of));
    write_line(u, best_line(b, false, of));
  }
}

// isp.dat: a header line that names the columns (the plot's key), one row
// per O/F with Isp and Ivac [s] of each exit ("?" where an exit has no
// value), then, after two blank lines, one row per exit with the best O/F
// and its Isp and Ivac [s].
void write_plot_file(std::span<const double> of, const Performance& p) {
  const int u = kIspUnit;
  std::string head = "\"O/F\"";
  for (const rk::Station& st : p.rows.front().exits()) {
    head += " \"Isp " + station_name(st) + "\" \"Ivac " + station_name(st) + "\"";
  }
  write_line(u, head);
  auto seconds = [](const rk::Station& st, double m_s) {
    return st.valid() && std::isfinite(m_s) ? scientific(m_s / rk::kG0_m_s2, 6) : "?";
  };
  for (std::size_t i = 0; i < p.rows.size(); ++i) {
    std::string line = scientific(of[i], 6);
    for (const rk::Station& st : p.rows[i].exits()) {
      line += " " + seconds(st, st.isp_m_s) + " " + seconds(st, st.ivac_m_s);
    }
    write_line(u, line);
  }
  write_line(u, "");
  write_line(u, "");
  write_line(u, "# exit, O/F of the highest Isp, Isp, O/F of the highest Ivac, Ivac");
  for (std::size_t k = 0; k < p.best.size(); ++k) {
    const rk::BestIsp& b = p.best[k];
    auto of_text = [](const rk::Station& st, double v) {
      return st.valid() && std::isfinite(v) ? scientific(v, 6) : "?";
    };
    write_line(u, std::to_string(k + 1) + " " + of_text(b.at_isp, b.of_isp) + " " +
                      seconds(b.at_isp, b.at_isp.isp_m_s) + " " + of_text(b.at_ivac, b.of_ivac) +
                      " " + seconds(b.at_ivac, b.at_ivac.ivac_m_s));
  }
}

// The window: the heading, Isp [s] of every exit per O/F, and the best O/F.
void write_window(const RocketInputs& in, std::span<const double> of, const Performance& p) {
  const int u = kRocketWindowUnit;
  write_heading(u, in, of);
  write_line(u, "");
  write_line(u, " Isp (s), pressão ambiente igual à da saída");
  std::string head = right("O/F", 10);
  for (const rk::Station& st : p.rows.front().exits()) {
    head += right(station_name(st), kCellWidth);
  }
  write_line(u, head);
  for (const rk::RocketResult& r : p.rows) {
    std::string line = right(fixed(r.of, 4), 10);
    for (const rk::Station& st : r.exits()) {
      line += right(st.valid() && std::isfinite(st.isp_m_s) ? fixed(st.isp_m_s / rk::kG0_m_s2, 2)
                                                            : station_state(st),
                    kCellWidth);
    }
    write_line(u, line);
  }
  write_line(u, "");
  write_line(u, " Melhor O/F de cada saída:");
  for (const rk::BestIsp& b : p.best) {
    write_line(u, best_line(b, true, of));
    write_line(u, best_line(b, false, of));
  }
  write_line(u, "");
  write_line(u, " Tabela completa por estação: foguete.  Gráfico: isp.gnu.");
}

void tell(const std::string& text) {
  runtime_host().message_box(kCaption, text, MessageIcon::warning, MessageButtons::ok,
                             MessageAnswer::ok);
}

bool open_output(int unit, std::string_view name) {
  OpenOptions options;
  options.file = name;
  options.form = "formatted";
  options.error_return = true;
  if (open_unit(unit, options) != 0) {
    tell("O arquivo " + std::string(name) + " não pode ser aberto para escrita.");
    return false;
  }
  return true;
}

}  // namespace

bool write_rocket_performance(const RocketInputs& inputs, std::span<const double> of) {
  if (of.empty()) {
    return false;
  }
  Performance p;
  const en::ThermoData& data = en::builtin_nasa9_data();
  try {
    const rk::RocketInput problem = problem_of(inputs);
    p.rows = rk::rocket_sweep(data, problem, of);
    rk::BestIspSearch search;
    search.of_low = of.front();
    search.of_high = of.back();
    p.best = rk::best_isp(data, problem, search);
  } catch (const en::InputError& refused) {
    tell(std::string("Cálculo recusado: ") + refused.what());
    return false;
  }

  // A window of an earlier run goes with its results.
  close_unit(kRocketWindowUnit, std::nullopt, true);
  OpenOptions window;
  window.file = "user";
  window.title = kCaption;
  open_unit(kRocketWindowUnit, window);
  write_window(inputs, of, p);

  begin_file_group();
  if (!open_output(kRocketReportUnit, "foguete") || !open_output(kIspUnit, "isp.dat")) {
    close_unit(kRocketReportUnit, "delete", true);
    discard_file_group();
    return false;
  }
  write_report(inputs, of, p);
  write_plot_file(of, p);
  close_unit(kIspUnit);
  close_unit(kRocketReportUnit);
  if (commit_file_group(true) != 0) {
    tell("Os arquivos foguete e isp.dat não puderam ser gravados.");
    return false;
  }
  return true;
}

}  // namespace zuna
