#include "host/console/rocket-command.h"

#include <fcntl.h>
#include <getopt.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rocket/rocket.h"
#include "tables/csv-writer.h"
#include "tables/json-writer.h"
#include "tables/text-table.h"

namespace zuna::console {
namespace {

constexpr char kCommand[] = "zuna4c rocket";

void print_error(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", kCommand, message.c_str());
}

// A usage error: its message, told before anything is computed.
struct UsageError {
  std::string message;
};

// ---------------------------------------------------------------------------
// Options

enum class Format { text, csv, json };

struct RocketSettings {
  rocket::RocketProblem problem;  // its model and O/F are set per row
  std::vector<double> of;
  std::vector<rocket::Model> models = {rocket::Model::equilibrium};
  bool best = false;
  rocket::BestIspSearch search;
  Format format = Format::text;
  std::string output = "-";  // a file name, "-" for standard output
};

double parse_number(std::string_view text, const char* option) {
  double v = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
    throw UsageError{std::string("--") + option + ": '" + std::string(text) + "' is not a number"};
  }
  return v;
}

// "a,b,c" or FIRST:LAST:COUNT, COUNT values in equal steps.
std::vector<double> parse_list(std::string_view text, const char* option) {
  std::vector<double> out;
  if (text.find(':') != std::string_view::npos) {
    const std::size_t a = text.find(':'), b = text.find(':', a + 1);
    if (b == std::string_view::npos) {
      throw UsageError{std::string("--") + option + ": a range is FIRST:LAST:COUNT"};
    }
    const double first = parse_number(text.substr(0, a), option);
    const double last = parse_number(text.substr(a + 1, b - a - 1), option);
    const double count = parse_number(text.substr(b + 1), option);
    if (!(count >= 1 && count <= 100000 && count == static_cast<int>(count))) {
      throw UsageError{std::string("--") + option + ": COUNT must be a whole number 1..100000"};
    }
    const int n = static_cast<int>(count);
    for (int i = 0; i < n; ++i) {
      out.push_back(n == 1 ? first : first + (last - first) * i / (n - 1));
    }
    return out;
  }
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    out.push_back(parse_number(text.substr(start, comma - start), option));
    start = comma + 1;
  }
  return out;
}

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
                       "' is not equilibrium, frozen_chamber or frozen_throat"};
    }
    start = comma + 1;
  }
  return out;
}

engine::ReactantState parse_reactants(std::string_view text) {
  if (text == "liquid") {
    return engine::ReactantState::liquid;
  }
  if (text == "gas") {
    return engine::ReactantState::gas;
  }
  if (text == "custom") {
    return engine::ReactantState::custom;
  }
  throw UsageError{"--reactants: '" + std::string(text) + "' is not liquid, gas or custom"};
}

void set_output(RocketSettings& s, Format f, const char* file) {
  if (s.format != Format::text) {
    throw UsageError{"give one of --csv and --json"};
  }
  s.format = f;
  s.output = file;
}

RocketSettings parse_options(int argc, char** argv) {
  enum : int {
    kPc = 1,
    kOf,
    kPiP,
    kAeAt,
    kModel,
    kReactants,
    kTGas,
    kHFuel,
    kHOxid,
    kBest,
    kCsv,
    kJson,
    kHelp
  };
  static const option kOptions[] = {
      {"pc", required_argument, nullptr, kPc},
      {"of", required_argument, nullptr, kOf},
      {"pi-p", required_argument, nullptr, kPiP},
      {"ae-at", required_argument, nullptr, kAeAt},
      {"model", required_argument, nullptr, kModel},
      {"reactants", required_argument, nullptr, kReactants},
      {"t-gas", required_argument, nullptr, kTGas},
      {"h-fuel", required_argument, nullptr, kHFuel},
      {"h-oxid", required_argument, nullptr, kHOxid},
      {"best", optional_argument, nullptr, kBest},
      {"csv", required_argument, nullptr, kCsv},
      {"json", required_argument, nullptr, kJson},
      {"help", no_argument, nullptr, kHelp},
      {nullptr, 0, nullptr, 0},
  };
  RocketSettings s;
  s.problem.pc_atm = 68.046;
  optind = 0;  // GNU getopt: start again from scratch, also after an earlier parse
  opterr = 0;
  int c;
  while ((c = getopt_long(argc, argv, ":", kOptions, nullptr)) != -1) {
    switch (c) {
      case kPc: s.problem.pc_atm = parse_number(optarg, "pc"); break;
      case kOf: s.of = parse_list(optarg, "of"); break;
      case kPiP: s.problem.pi_p = parse_list(optarg, "pi-p"); break;
      case kAeAt: s.problem.ae_at = parse_list(optarg, "ae-at"); break;
      case kModel: s.models = parse_models(optarg); break;
      case kReactants: s.problem.mixture.reactants.state = parse_reactants(optarg); break;
      case kTGas: s.problem.mixture.reactants.T_gas_K = parse_number(optarg, "t-gas"); break;
      case kHFuel: s.problem.mixture.reactants.h_fuel_J_mol = parse_number(optarg, "h-fuel"); break;
      case kHOxid: s.problem.mixture.reactants.h_oxid_J_mol = parse_number(optarg, "h-oxid"); break;
      case kBest:
        s.best = true;
        if (optarg != nullptr) {
          const std::vector<double> range = parse_list(std::string(optarg) + ":2", "best");
          s.search.of_low = range[0];
          s.search.of_high = range[1];
        }
        break;
      case kCsv: set_output(s, Format::csv, optarg); break;
      case kJson: set_output(s, Format::json, optarg); break;
      case kHelp: throw UsageError{"see the manual page zuna4c(1) for the options"};
      case ':': throw UsageError{std::string("option ") + argv[optind - 1] + " needs a value"};
      default: throw UsageError{std::string("unknown option ") + argv[optind - 1]};
    }
  }
  if (optind < argc) {
    throw UsageError{std::string("unexpected argument '") + argv[optind] + "'"};
  }
  if (!s.best && s.of.empty()) {
    throw UsageError{"--of is required (or --best)"};
  }
  return s;
}

// Every O/F with every model: out of range throws rocket::InputError.
void check_settings(const RocketSettings& s) {
  const engine::ThermoData& data = engine::builtin_nasa9_data();
  rocket::RocketProblem p = s.problem;
  p.mixture.of = engine::stoichiometric_of(data);
  rocket::check_problem(data, p);
  for (double of : s.of) {
    p.mixture.of = of;
    rocket::check_problem(data, p);
  }
}

// ---------------------------------------------------------------------------
// Where the results go: standard output, or a file replaced only when whole
// (written beside its name and renamed into place at the end).

class FileReplacement final : public tables::ByteSink {
 public:
  explicit FileReplacement(std::string path) : path_(std::move(path)), staging_(path_) {
    const std::size_t slash = staging_.rfind('/');
    staging_.insert(slash == std::string::npos ? 0 : slash + 1, ".");
    staging_ += ".XXXXXX";
    fd_ = mkstemp(staging_.data());
    error_ = fd_ < 0 ? errno : 0;
  }
  ~FileReplacement() {
    if (fd_ >= 0) {
      close(fd_);
      unlink(staging_.c_str());
    }
  }
  bool open() const { return fd_ >= 0; }
  int error() const { return error_; }
  bool write(std::string_view bytes) override {
    tables::DescriptorSink sink(fd_);
    const bool ok = sink.write(bytes);
    error_ = ok ? error_ : sink.error();
    return ok;
  }
  // Puts the file in place; false (the old file left) on a failure.
  bool commit() {
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0 || rename(staging_.c_str(), path_.c_str()) != 0) {
      error_ = errno;
      unlink(staging_.c_str());
      return false;
    }
    return true;
  }

 private:
  std::string path_;
  std::string staging_;
  int fd_ = -1;
  int error_ = 0;
};

// ---------------------------------------------------------------------------
// The rows

using tables::CellKind;
using tables::Column;

// Per unit mass like the NASA Glenn tables: H, U, G [kJ/kg], S and Cp
// [kJ/(kg K)]; M [g/mol]. Impulses in m/s, in seconds in the readable table.
std::vector<Column> station_columns(Format f) {
  std::vector<Column> c = {
      {"model", CellKind::text},
      {"of"},
      {"station", CellKind::text},
      {"exit", CellKind::text},
      {"exit_value"},
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
  };
  if (f == Format::text) {
    c.insert(c.end(), {{"ivac", CellKind::number, "s"}, {"isp", CellKind::number, "s"}});
  } else {
    c.insert(c.end(), {{"ivac_m_s"}, {"isp_m_s"}});
  }
  c.insert(
      c.end(),
      {{"x_H2O"}, {"x_O2"}, {"x_H2"}, {"x_H"}, {"x_O"}, {"x_OH"}, {"flags", CellKind::integer}});
  return c;
}

const char* station_name(rocket::StationKind k) {
  return k == rocket::StationKind::chamber  ? "chamber"
         : k == rocket::StationKind::throat ? "throat"
                                            : "exit";
}

void write_exit(tables::TableWriter& w, rocket::StationKind kind, double value) {
  if (kind == rocket::StationKind::pressure_ratio) {
    w.text("pi_p");
    w.number(value);
  } else if (kind == rocket::StationKind::area_ratio) {
    w.text("ae_at");
    w.number(value);
  } else {
    w.absent();
    w.absent();
  }
}

void write_station(tables::TableWriter& w, Format f, rocket::Model m, double of,
                   const rocket::Station& s) {
  const engine::Point& p = s.state;
  const double impulse_unit = f == Format::text ? rocket::kG0_m_s2 : 1.0;
  w.text(model_name(m));
  w.number(of);
  w.text(station_name(s.kind));
  write_exit(w, s.kind, s.exit_value);
  for (double v : {s.pinf_p,
                   p.P_bar,
                   p.T_K,
                   p.rho_kg_m3,
                   p.h_kJ_kg,
                   p.u_kJ_kg,
                   p.g_kJ_kg,
                   p.s_kJ_kgK,
                   p.M_g_mol,
                   p.dlnV_dlnP_T,
                   p.dlnV_dlnT_P,
                   p.cp_eq_kJ_kgK,
                   p.gamma_s,
                   p.sound_speed_m_s,
                   s.mach,
                   s.ae_at,
                   s.cstar_m_s,
                   s.cf,
                   s.ivac_m_s / impulse_unit,
                   s.isp_m_s / impulse_unit}) {
    w.number(v);
  }
  for (double x : p.x) {
    w.number(x);
  }
  w.integer(s.flags);
  w.end_row();
}

std::vector<Column> best_columns(Format f) {
  if (f == Format::text) {
    return {{"model", CellKind::text},
            {"exit", CellKind::text},
            {"exit_value"},
            {"of_isp"},
            {"isp", CellKind::number, "s"},
            {"of_ivac"},
            {"ivac", CellKind::number, "s"},
            {"flags", CellKind::integer}};
  }
  return {{"model", CellKind::text},
          {"exit", CellKind::text},
          {"exit_value"},
          {"of_isp"},
          {"isp_m_s"},
          {"of_ivac"},
          {"ivac_m_s"},
          {"flags", CellKind::integer}};
}

void write_best(tables::TableWriter& w, Format f, rocket::Model m, const rocket::BestIsp& b) {
  const double impulse_unit = f == Format::text ? rocket::kG0_m_s2 : 1.0;
  w.text(model_name(m));
  write_exit(w, b.kind, b.exit_value);
  w.number(b.of_isp);
  w.number(b.at_isp.isp_m_s / impulse_unit);
  w.number(b.of_ivac);
  w.number(b.at_ivac.ivac_m_s / impulse_unit);
  w.integer(b.flags);
  w.end_row();
}

std::unique_ptr<tables::TableWriter> make_writer(const RocketSettings& s, tables::OutputBuffer& out,
                                                 std::span<const Column> columns,
                                                 const std::string& pc_text) {
  static const char* const kReactants[] = {"liquid", "gas", "custom"};
  const tables::JsonMember members[] = {
      {"program", "zuna4c"},
      {"command", "rocket"},
      {"pc_atm", pc_text, true},
      {"reactants", kReactants[static_cast<int>(s.problem.mixture.reactants.state)]},
  };
  switch (s.format) {
    case Format::csv: return std::make_unique<tables::CsvWriter>(out, columns);
    case Format::json: return std::make_unique<tables::JsonWriter>(out, members, columns);
    case Format::text: break;
  }
  const std::size_t block = s.best ? s.problem.pi_p.size() + s.problem.ae_at.size()
                                   : 2 + s.problem.pi_p.size() + s.problem.ae_at.size();
  return std::make_unique<tables::TextTable>(out, columns, int(std::max<std::size_t>(block, 1)));
}

// Every row of the settings into w: the best O/F of each exit per model, or
// the sweep of O/F (warm from one to the next, the models of one O/F
// sharing their chamber), O/F by O/F.
void write_rows(const RocketSettings& s, tables::TableWriter& w, tables::OutputBuffer& out) {
  const engine::ThermoData& data = engine::builtin_nasa9_data();
  if (s.best) {
    for (rocket::Model m : s.models) {
      rocket::RocketProblem p = s.problem;
      p.model = m;
      for (const rocket::BestIsp& b : rocket::best_isp(data, p, s.search)) {
        write_best(w, s.format, m, b);
      }
    }
    return;
  }
  for (const std::vector<rocket::RocketResult>& of :
       rocket::rocket_sweep(data, s.problem, s.of, s.models)) {
    for (const rocket::RocketResult& r : of) {
      for (const rocket::Station& station : r.stations) {
        write_station(w, s.format, r.model, r.of, station);
      }
    }
    if (!out.ok()) {
      return;
    }
  }
}

}  // namespace

int run_rocket_command(int argc, char** argv) {
  RocketSettings s;
  try {
    s = parse_options(argc, argv);
    check_settings(s);
    if (s.best) {
      rocket::check_best_isp_search(engine::builtin_nasa9_data(), s.search);
    }
  } catch (const UsageError& e) {
    print_error(e.message);
    return 2;
  } catch (const engine::InputError& e) {
    print_error(e.what());
    return 2;
  }
  tables::DescriptorSink standard_output(STDOUT_FILENO);
  std::optional<FileReplacement> file;
  if (s.output != "-") {
    file.emplace(s.output);
    if (!file->open()) {
      print_error("cannot write '" + s.output + "': " + std::strerror(file->error()));
      return 1;
    }
  }
  tables::ByteSink& sink = file ? static_cast<tables::ByteSink&>(*file) : standard_output;
  tables::OutputBuffer out(sink);
  char pc_text[32];
  *tables::write_shortest(pc_text, s.problem.pc_atm) = '\0';
  const std::vector<Column> columns = s.best ? best_columns(s.format) : station_columns(s.format);
  const std::unique_ptr<tables::TableWriter> w = make_writer(s, out, columns, pc_text);
  write_rows(s, *w, out);
  const bool written = w->finish();
  if (!written || (file && !file->commit())) {
    const int error = file ? file->error() : standard_output.error();
    print_error("cannot write '" + s.output + "': " + std::strerror(error));
    return 1;
  }
  return 0;
}

}  // namespace zuna::console
