#include "host/console/rocket-command.h"

#include <fcntl.h>
#include <getopt.h>
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

#include "fio/fio.h"
#include "host/console/command-options.h"
#include "host/console/results-output.h"
#include "rocket/rocket.h"
#include "tables/csv-writer.h"
#include "tables/fan-out.h"
#include "tables/json-writer.h"
#include "tables/text-table.h"

namespace zuna::console {
namespace {

constexpr char kCommand[] = "zuna4c rocket";

// ---------------------------------------------------------------------------
// Options

struct RocketSettings {
  std::vector<double> pc_atm = {68.046};
  std::optional<std::vector<double>> of;  // --of; otherwise the grid
  OfGrid grid;
  std::vector<double> pi_p, ae_at;
  std::vector<rocket::Model> models = {rocket::Model::equilibrium};
  engine::Reactants reactants;  // defaults: liquid, the NASA Glenn enthalpies
  std::string thermo_file;      // empty: the built-in records
  bool best = false;
  std::optional<std::string> csv_file;   // "-" for standard output
  std::optional<std::string> json_file;  // "-" for standard output
};

struct RocketCommandLine {
  bool help = false;
  RocketSettings settings;
};

const char* model_name(rocket::Model m) {
  switch (m) {
    case rocket::Model::equilibrium: return "equilibrium";
    case rocket::Model::frozen_chamber: return "frozen_chamber";
    case rocket::Model::frozen_throat: return "frozen_throat";
  }
  return "";
}

std::vector<rocket::Model> parse_models(std::string_view text) {
  std::vector<rocket::Model> out;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string_view name = text.substr(start, comma - start);
    bool known = false;
    for (rocket::Model m : {rocket::Model::equilibrium, rocket::Model::frozen_chamber,
                            rocket::Model::frozen_throat}) {
      if (name == model_name(m)) {
        out.push_back(m);
        known = true;
      }
    }
    if (!known) {
      throw UsageError{"--model: '" + std::string(name) +
                       "' is not one of equilibrium, frozen_chamber, frozen_throat"};
    }
    start = comma + 1;
  }
  return out;
}

const option kLongOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"pc", required_argument, nullptr, 0},
    {"of", required_argument, nullptr, 0},
    {"rmin", required_argument, nullptr, 0},
    {"rmax", required_argument, nullptr, 0},
    {"npmin", required_argument, nullptr, 0},
    {"npmax", required_argument, nullptr, 0},
    {"pi-p", required_argument, nullptr, 0},
    {"ae-at", required_argument, nullptr, 0},
    {"model", required_argument, nullptr, 0},
    {"reactants", required_argument, nullptr, 0},
    {"t-reactants", required_argument, nullptr, 0},
    {"h-fuel", required_argument, nullptr, 0},
    {"h-oxid", required_argument, nullptr, 0},
    {"thermo", required_argument, nullptr, 0},
    {"best", no_argument, nullptr, 0},
    {"csv", required_argument, nullptr, 0},
    {"json", required_argument, nullptr, 0},
    {nullptr, 0, nullptr, 0},
};

// What was given, for the checks that relate options to one another.
struct Given {
  bool t_reactants = false, h_fuel = false, h_oxid = false;
  std::string grid_option;  // the first grid option given
};

void read_option(const std::string& name, std::string_view arg, RocketSettings& s, Given& g) {
  if (name == "--pc") {
    s.pc_atm = list_value(name, arg, "68.046 or 10:1000:3");
  } else if (name == "--of") {
    s.of = list_value(name, arg, "4,6,8 or 2:32:5");
  } else if (read_grid_option(name, arg, s.grid)) {
    if (g.grid_option.empty())
      g.grid_option = name;
  } else if (name == "--pi-p") {
    s.pi_p = list_value(name, arg, "10,100 or 10:1000:3");
  } else if (name == "--ae-at") {
    s.ae_at = list_value(name, arg, "4,25 or 2:200:5");
  } else if (name == "--model") {
    s.models = parse_models(arg);
  } else if (name == "--reactants") {
    s.reactants.set = reactant_set(arg);
  } else if (name == "--t-reactants") {
    s.reactants.T_K = real_value(name, arg);
    g.t_reactants = true;
  } else if (name == "--h-fuel") {
    s.reactants.h_fuel_J_mol = real_value(name, arg);
    g.h_fuel = true;
  } else if (name == "--h-oxid") {
    s.reactants.h_oxid_J_mol = real_value(name, arg);
    g.h_oxid = true;
  } else if (name == "--thermo") {
    if (arg.empty()) {
      throw UsageError{"--thermo: the file name is empty"};
    }
    s.thermo_file = arg;
  } else if (name == "--best") {
    s.best = true;
  } else if (name == "--csv") {
    s.csv_file = std::string(arg);
  } else if (name == "--json") {
    s.json_file = std::string(arg);
  }
}

void only_with(bool given, const char* option, const char* what) {
  if (given) {
    throw UsageError{std::string(option) + " applies only " + what};
  }
}

// The checks between options and the ranges that need no data.
void check_settings(const RocketSettings& s, const Given& g) {
  if (s.of && !g.grid_option.empty()) {
    throw UsageError{"--of cannot be combined with " + g.grid_option};
  }
  only_with(g.t_reactants && s.reactants.set != engine::ReactantSet::gas, "--t-reactants",
            "with --reactants gas");
  only_with(g.h_fuel && s.reactants.set != engine::ReactantSet::custom, "--h-fuel",
            "with --reactants custom");
  only_with(g.h_oxid && s.reactants.set != engine::ReactantSet::custom, "--h-oxid",
            "with --reactants custom");
  if (s.best && s.pi_p.empty() && s.ae_at.empty()) {
    throw UsageError{"--best needs an exit: --pi-p or --ae-at"};
  }
  if (s.csv_file && s.json_file && *s.csv_file == "-" && *s.json_file == "-") {
    throw UsageError{"--csv and --json cannot both write to standard output"};
  }
  check_list("--pc", s.pc_atm, rocket::kPcMinAtm, rocket::kPcMaxAtm, "0.0001 to 10000 atm");
  for (double pi : s.pi_p) {
    if (!(pi > 1.0)) {  // the highest depends on Pc: check_problems
      throw UsageError{"--pi-p: " + shortest_text(pi) + " is out of range (greater than 1)"};
    }
  }
  check_list("--ae-at", s.ae_at, 1.0, 1e300, "at least 1");
  const std::size_t exits = s.pi_p.size() + s.ae_at.size();
  if (exits > static_cast<std::size_t>(rocket::kMaxExits)) {
    throw UsageError{"--pi-p, --ae-at: " + std::to_string(exits) +
                     " exit conditions are out of range (at most " +
                     std::to_string(rocket::kMaxExits) + " together)"};
  }
  if (g.t_reactants) {
    check_range("--t-reactants", s.reactants.T_K, engine::kTMinK, engine::kTMaxK,
                "200 to 6000 K");
  }
  check_grid(s.grid);
}

RocketCommandLine parse_options(int argc, char** argv) {
  RocketCommandLine c;
  Given given;
  opterr = 0;
  optind = 0;  // a fresh scan, also after the program's own
  for (;;) {
    int index = -1;
    const int code = getopt_long(argc, argv, ":h", kLongOptions, &index);
    if (code == -1) {
      break;
    }
    if (code == 'h') {
      c.help = true;
    } else if (code == ':' || code == '?') {
      throw UsageError{getopt_error_text(code, argv)};
    } else {
      read_option(std::string("--") + kLongOptions[index].name, optarg != nullptr ? optarg : "",
                  c.settings, given);
    }
  }
  if (c.help) {
    return c;
  }
  if (optind < argc) {
    throw UsageError{std::string("unexpected argument '") + argv[optind] + "'"};
  }
  check_settings(c.settings, given);
  return c;
}

// The checks that need the data: the O/F ratios and the exits' pressure
// against each chamber pressure, the reactants; the library's own check of
// every problem last.
void check_problems(const RocketSettings& s, const engine::ThermoData& data,
                    const std::vector<double>& of) {
  const double st = engine::stoichiometric_of(data);
  const std::string of_range = shortest_text(engine::kOfMinFactor * st) + " to " +
                               shortest_text(engine::kOfMaxFactor * st) + ", 0.1 to 40 times " +
                               "the stoichiometric O/F";
  check_list(s.of ? "--of" : "--rmin/--rmax", of, engine::kOfMinFactor * st,
             engine::kOfMaxFactor * st, of_range);
  for (double pc : s.pc_atm) {
    const double highest = pc / engine::kPMinAtm;
    for (double pi : s.pi_p) {
      if (!(pi <= highest)) {
        throw UsageError{"--pi-p: " + shortest_text(pi) + " is out of range (greater than 1, " +
                         "at most " + shortest_text(highest) + " at --pc " + shortest_text(pc) +
                         ": Pe >= 1e-06 atm)"};
      }
    }
    rocket::RocketInput p;
    p.pc_atm = pc;
    p.reactants = s.reactants;
    p.pi_p = s.pi_p;
    p.ae_at = s.ae_at;
    for (double v : of) {
      p.of = v;
      try {
        rocket::check_problem(data, p);
      } catch (const engine::InputError& e) {
        throw UsageError{e.what()};
      }
    }
  }
  if (s.best) {
    try {
      rocket::check_best_isp_search(data, {});
    } catch (const engine::InputError& e) {
      throw UsageError{std::string("--best: ") + e.what()};
    }
  }
}

std::string usage_text() {
  return "Usage: zuna4c rocket [OPTION]...\n"
         "Rocket performance of H2/O2 with an infinite-area combustor: the chamber, the\n"
         "throat and the exits of each chamber pressure, O/F ratio and expansion model.\n"
         "\n"
         "Chamber and exits:\n"
         "      --pc=LIST          chamber pressures [atm], 0.0001 to 10000 (68.046); values\n"
         "                         and FIRST:LAST:COUNT ranges in logarithmic steps\n"
         "      --pi-p=LIST        exits at these pressure ratios Pc/Pe, each above 1\n"
         "      --ae-at=LIST       exits at these supersonic area ratios Ae/At, each at\n"
         "                         least 1; 20 exits at most, the two lists together\n"
         "      --model=LIST       equilibrium (shifting), frozen_chamber, frozen_throat\n"
         "                         (equilibrium)\n"
         "\n"
         "O/F ratios (kg O2 per kg H2), 0.1 to 40 times the stoichiometric ratio:\n"
         "      --of=LIST          these values, the same syntax (ranges in logarithmic steps)\n"
         "      --rmin=R --rmax=R --npmin=N --npmax=N\n"
         "                         or the grid of the program's sweep: r = O/F over the\n"
         "                         stoichiometric O/F, npmin points from rmin, r = 1, npmax\n"
         "                         points up to rmax (0.5, 2, 10, 20: 33 ratios)\n"
         "      --best             also the O/F of the highest Isp and Ivac at each exit\n"
         "\n"
         "Reactants and data:\n"
         "      --reactants=SET    liquid (NASA Glenn enthalpies), gas, or custom (liquid)\n"
         "      --t-reactants=K    temperature of the gas reactants, 200 to 6000 (298.15)\n"
         "      --h-fuel=J --h-oxid=J  enthalpies of H2 and O2 [J/mol] of the custom set\n"
         "      --thermo=FILE      NASA 9-coefficient records instead of the built-in ones\n"
         "\n"
         "Results (readable tables on standard output without these):\n"
         "      --csv=FILE         one row per station as CSV ('-': standard output)\n"
         "      --json=FILE        the same as JSON, with the SHA-256 of the data and the\n"
         "                         best O/F of --best ('-': standard output)\n"
         "  -h, --help             display this help and exit\n"
         "\n"
         "Rows go by chamber pressure, then model, then O/F, then station (chamber,\n"
         "throat, the pressure-ratio exits, the area-ratio exits). A station that could not\n"
         "be computed has empty values and its flags set; see zuna4c(1).\n"
         "Exit status: 0 success, 1 run-time error (data file, output), 2 usage error.\n";
}

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

const char* station_name(rocket::StationKind k) {
  return k == rocket::StationKind::chamber  ? "chamber"
         : k == rocket::StationKind::throat ? "throat"
                                            : "exit";
}

// "pi_p=10", "ae_at=25"; empty for the chamber and the throat.
std::string exit_spec(rocket::StationKind kind, double value) {
  switch (kind) {
    case rocket::StationKind::pressure_ratio: return "pi_p=" + shortest_text(value);
    case rocket::StationKind::area_ratio: return "ae_at=" + shortest_text(value);
    case rocket::StationKind::chamber:
    case rocket::StationKind::throat: break;
  }
  return "";
}

// The exit texts of the stations of every result, in their order.
std::vector<std::string> exit_texts(const RocketSettings& s) {
  std::vector<std::string> out = {"", ""};
  for (double v : s.pi_p)
    out.push_back(exit_spec(rocket::StationKind::pressure_ratio, v));
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
               const std::string& exit_text, const rocket::Station& st) {
  w.text(set);
  w.text(model);
  w.number(pc);
  w.number(of);
  w.text(station_name(st.kind));
  w.text(exit_text);
  write_state(w, st);
  w.number(st.ivac_m_s);
  w.number(st.isp_m_s);
  write_fractions(w, st);
}

void write_text_row(tables::TableWriter& w, double of, const std::string& exit_text,
                    const rocket::Station& st) {
  w.number(of);
  w.text(station_name(st.kind));
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

// The best O/F of every exit of one chamber pressure and model.
struct BestOfGroup {
  double pc_atm;
  rocket::Model model;
  std::vector<rocket::BestIsp> exits;
};

// The JSON array of --best, a member of the results object.
std::string best_json(const char* set, const std::vector<BestOfGroup>& best) {
  std::string out = "[";
  char number[tables::kShortestRoom];
  auto put_number = [&](double v) {
    if (std::isfinite(v)) {
      out.append(number, tables::write_shortest(number, v));
    } else {
      out += "null";
    }
  };
  bool first = true;
  for (const BestOfGroup& g : best) {
    for (const rocket::BestIsp& b : g.exits) {
      out += first ? "\n  {" : ",\n  {";
      first = false;
      out += "\"set\": \"" + std::string(set) + "\", \"model\": \"" + model_name(g.model) +
             "\", \"pc_atm\": ";
      put_number(g.pc_atm);
      out += ", \"exit_spec\": \"" + exit_spec(b.kind, b.exit_value) + "\", \"of_isp\": ";
      put_number(b.of_isp);
      out += ", \"isp_m_s\": ";
      put_number(b.at_isp.isp_m_s);
      out += ", \"of_ivac\": ";
      put_number(b.of_ivac);
      out += ", \"ivac_m_s\": ";
      put_number(b.at_ivac.ivac_m_s);
      out += ", \"flags\": " + std::to_string(b.flags) + "}";
    }
  }
  out += first ? "]" : "\n ]";
  return out;
}

// The readable table of the best O/F of each exit of one model; false when
// the output failed.
bool write_best_table(tables::OutputBuffer& screen, const BestOfGroup& best,
                      int stations) {
  screen.put("\nBest O/F\n\n");
  tables::TextTable best_table(screen, kTextBestColumns, stations - 2);
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
                   rocket::Model model) {
  out.put(first ? "" : "\n");
  out.put("Chamber pressure " + shortest_text(pc) + " atm, model " + model_name(model) +
          ", reactants " + set + "\n\n");
}

// ---------------------------------------------------------------------------
// The run

enum class Format { text, csv, json };

int run(const RocketSettings& s, bool stdout_closed) {
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
    check_problems(s, data, of);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "%s: %s (try '%s --help')\n", kCommand, e.message.c_str(), kCommand);
    return 2;
  }
  const char* set = reactant_set_name(s.reactants.set);

  // The best O/F come first: the JSON gives them before its rows.
  std::vector<BestOfGroup> best;
  if (s.best) {
    for (double pc : s.pc_atm) {
      for (rocket::Model m : s.models) {
        rocket::RocketInput p;
        p.pc_atm = pc;
        p.reactants = s.reactants;
        p.pi_p = s.pi_p;
        p.ae_at = s.ae_at;
        p.model = m;
        best.push_back({pc, m, rocket::best_isp(data, p)});
      }
    }
  }

  std::vector<ResultsOutput> outputs;
  std::vector<tables::TableWriter*> files;
  const std::string best_member = best_json(set, best);
  for (const auto& [name, format] :
       {std::pair{s.csv_file, Format::csv}, std::pair{s.json_file, Format::json}}) {
    if (!name) {
      continue;
    }
    ResultsOutput o = results_output(kCommand, *name);
    if (format == Format::csv) {
      o.writer = std::make_unique<tables::CsvWriter>(*o.buffer, kColumns);
    } else {
      std::vector<tables::JsonMember> members = {
          {"program", "zuna4c"}, {"version", ZUNA_VERSION}, {"thermo_sha256", loaded->sha256}};
      if (s.best) {
        members.push_back({"best", best_member, true});
      }
      o.writer = std::make_unique<tables::JsonWriter>(*o.buffer, members, kColumns);
    }
    files.push_back(o.writer.get());
    outputs.push_back(std::move(o));
  }
  const bool text = outputs.empty();
  if (text) {
    outputs.push_back(results_output(kCommand, "-"));
  }
  for (ResultsOutput& o : outputs) {
    if (o.target->to_stdout() && stdout_closed) {
      std::fprintf(stderr, "%s: cannot write standard output: it is closed\n", kCommand);
      return 1;
    }
    if (!o.target->open()) {
      return 1;
    }
  }

  // One chamber pressure at a time, model by model, each row written as
  // soon as its O/F is computed (the models of one O/F share their chamber).
  const std::vector<std::string> exit_column = exit_texts(s);
  const int stations = static_cast<int>(exit_column.size());
  tables::FanOut all(files);
  tables::TableWriter& rows = files.size() == 1 ? *files[0] : all;  // one file: no fan-out
  tables::OutputBuffer* screen = text ? outputs[0].buffer.get() : nullptr;
  bool complete = true;
  bool first = true;
  rocket::RocketInput p;
  p.reactants = s.reactants;
  p.pi_p = s.pi_p;
  p.ae_at = s.ae_at;
  for (std::size_t k = 0; k < s.pc_atm.size() && complete; ++k) {
    const double pc = s.pc_atm[k];
    p.pc_atm = pc;
    std::optional<tables::TextTable> table;  // the screen's table of the model
    rocket::rocket_sweep_each(
        data, p, of, s.models, [&](std::size_t m, std::size_t i, const rocket::RocketResult& r) {
          const std::vector<rocket::Station>& row = r.stations;
          if (screen == nullptr) {
            const char* model = model_name(s.models[m]);
            for (std::size_t j = 0; j < row.size(); ++j) {
              write_row(rows, set, model, pc, of[i], exit_column[j], row[j]);
            }
            complete = rows.ok();
            return complete;
          }
          if (i == 0) {
            print_heading(*screen, first, set, pc, s.models[m]);
            first = false;
            table.emplace(*screen, kTextColumns, stations);
          }
          for (std::size_t j = 0; j < row.size(); ++j) {
            write_text_row(*table, of[i], exit_column[j], row[j]);
          }
          if (i + 1 < of.size()) {
            return true;
          }
          complete = table->finish();
          table.reset();
          if (s.best && complete && !best.empty()) {
            complete = write_best_table(*screen, best[k * s.models.size() + m], stations);
          }
          return complete;
        });
  }

  bool ok = complete;
  for (ResultsOutput& o : outputs) {
    const bool written = o.writer ? o.writer->finish() : o.buffer->flush();
    if (!complete && written) {
      o.target->abandon();  // another output failed: this one is a part only
      continue;
    }
    ok = o.target->close(written) && ok;
  }
  return ok ? 0 : 1;
}

}  // namespace

int run_rocket_command(int argc, char** argv) {
  const bool stdout_closed = fcntl(STDOUT_FILENO, F_GETFD) == -1;
  open_closed_standard_files();
  RocketCommandLine c;
  try {
    c = parse_options(argc, argv);
  } catch (const UsageError& e) {
    std::fprintf(stderr, "%s: %s (try '%s --help')\n", kCommand, e.message.c_str(), kCommand);
    return 2;
  }
  if (c.help) {
    const std::string text = usage_text();
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    return std::fflush(stdout) == 0 && written && !stdout_closed ? 0 : 1;
  }
  return run(c.settings, stdout_closed);
}

}  // namespace zuna::console
