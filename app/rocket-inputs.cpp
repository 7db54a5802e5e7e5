// Dialog 105 of the rocket performance: its defaults, the texts read back,
// and the checks that refuse values out of range, each told by the value
// and the range accepted.
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

#include "app/rocket-performance.h"
#include "app/rocket-text.h"
#include "dialogs/dialogs.h"
#include "fio/fio.h"
#include "inputs/dialog-not-found.h"
#include "rocket/rocket.h"
#include "tables/shortest.h"

namespace zuna {
namespace {

namespace rk = zuna::rocket;
namespace en = zuna::engine;
using rocket_text::fixed;
using tables::shortest_text;

constexpr char kCaption[] = "DESEMPENHO COMO MOTOR-FOGUETE";

// The checks of the values, one line per value refused.

constexpr char kNoExit[] = "Nenhuma saída: dê ao menos uma razão de pressão ou de área.\n";

std::string pc_problem(double pc) {
  if (pc >= rk::kPcMinAtm && pc <= rk::kPcMaxAtm) {
    return {};
  }
  return "Pressão na câmara: " + shortest_text(pc) +
         " atm fora da faixa aceita (de 1E-4 a 1E4 atm).\n";
}

std::string pi_p_problem(double v) {
  if (v > 1.0 && std::isfinite(v)) {
    return {};
  }
  return "Razão de pressão Pc/Pe: " + shortest_text(v) + " fora da faixa aceita (maior que 1).\n";
}

std::string ae_at_problem(double v) {
  if (v >= 1.0 && std::isfinite(v)) {
    return {};
  }
  return "Razão de área Ae/At: " + shortest_text(v) + " fora da faixa aceita (1 ou maior).\n";
}

// The O/F points come from the calculation, whose range (0 < rmin, rmax <=
// 100 times the stoichiometric value) is wider than the engine's: the first
// point outside is named.
std::string of_problem(std::span<const double> of) {
  const en::ThermoData& data = en::builtin_nasa9_data();
  const double ofst = en::stoichiometric_of(data);
  const double lo = en::kOfMinFactor * ofst, hi = en::kOfMaxFactor * ofst;
  for (double v : of) {
    if (!(v >= lo && v <= hi)) {
      return "O/F " + fixed(v, 4) + " do cálculo fora da faixa do cálculo de desempenho (de " +
             fixed(lo, 4) + " a " + fixed(hi, 4) +
             "); faça um novo cálculo com razões de 0.1 a 40.\n";
    }
  }
  return {};
}

// --- The dialog -------------------------------------------------------------------

constexpr int kPcField = 1100;
constexpr std::array<int, kRocketExitFields> kPiPFields = {1101, 1102, 1103, 1104};
constexpr std::array<int, kRocketExitFields> kAeAtFields = {1105, 1106, 1107, 1108};
constexpr std::array<int, 3> kModelButtons = {1110, 1111, 1112};
constexpr int kLiquidButton = 1113;
constexpr int kGasButton = 1114;

Dialog foguete;  // the dialog record, for the life of the program

std::string trimmed(const char* text, int length) {
  std::string_view s(text, static_cast<std::size_t>(length));
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    return {};
  }
  return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

// A number as typed: the whole text one real, with a Fortran exponent
// letter (1.0d3) taken as E. Nothing for a text that is not one number.
std::optional<double> read_number(std::string text) {
  for (char& c : text) {
    if (c == 'd' || c == 'D') {
      c = 'E';
    }
  }
  if (!text.empty() && text.front() == '+') {
    text.erase(0, 1);
  }
  double v = 0.0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, v);
  if (text.empty() || ec != std::errc() || ptr != end) {
    return std::nullopt;
  }
  return v;
}

std::string field_text(int id) {
  char buffer[kDialogTextLength];
  dialog_get_text(foguete, id, buffer, kDialogTextLength);
  return trimmed(buffer, kDialogTextLength);
}

std::string not_a_number(const char* what, const std::string& typed) {
  return std::string(what) + ": \"" + typed.substr(0, 40) + "\" não é um número válido.\n";
}

struct Fields {
  std::string pc;
  std::array<std::string, kRocketExitFields> pi_p, ae_at;
};

Fields fields_of(const RocketInputs& in) {
  Fields f;
  f.pc = shortest_text(in.pc_atm);
  for (std::size_t i = 0; i < in.pi_p.size() && i < f.pi_p.size(); ++i) {
    f.pi_p[i] = shortest_text(in.pi_p[i]);
  }
  for (std::size_t i = 0; i < in.ae_at.size() && i < f.ae_at.size(); ++i) {
    f.ae_at[i] = shortest_text(in.ae_at[i]);
  }
  return f;
}

// Reads the typed texts into `in`: one line for each text that does not
// read and for each value that reads but is refused, in the dialog's order.
std::string read_fields(const Fields& f, RocketInputs& in) {
  std::string problems;
  if (auto v = read_number(f.pc)) {
    in.pc_atm = *v;
    problems += pc_problem(*v);
  } else {
    problems += not_a_number("Pressão na câmara", f.pc);
  }
  bool any_exit = false;
  auto read_list = [&](const auto& texts, std::vector<double>& out, const char* what,
                       std::string (*check)(double)) {
    out.clear();
    for (const std::string& text : texts) {
      if (text.empty()) {
        continue;
      }
      any_exit = true;
      if (auto v = read_number(text)) {
        out.push_back(*v);
        problems += check(*v);
      } else {
        problems += not_a_number(what, text);
      }
    }
  };
  read_list(f.pi_p, in.pi_p, "Razão de pressão Pc/Pe", pi_p_problem);
  read_list(f.ae_at, in.ae_at, "Razão de área Ae/At", ae_at_problem);
  if (!any_exit) {
    problems += kNoExit;
  }
  return problems;
}

void tell(const std::string& text) {
  runtime_host().message_box(kCaption, text, MessageIcon::warning, MessageButtons::ok,
                             MessageAnswer::ok);
}

}  // namespace

std::vector<double> calculation_of_points(const SweepTable& table, const SweepScalars& s) {
  std::vector<double> of;
  for (std::int32_t j = 1; j <= s.npts && j < SweepTable::kSize; ++j) {
    of.push_back(table.point[j].r * s.ofst);
  }
  return of;
}

std::string check_rocket_inputs(const RocketInputs& in, std::span<const double> of) {
  std::string problems = pc_problem(in.pc_atm);
  for (double v : in.pi_p) {
    problems += pi_p_problem(v);
  }
  for (double v : in.ae_at) {
    problems += ae_at_problem(v);
  }
  if (in.pi_p.empty() && in.ae_at.empty()) {
    problems += kNoExit;
  }
  return problems + of_problem(of);
}

bool ask_rocket_inputs(RocketInputs& inputs, std::span<const double> of) {
  Fields f = fields_of(inputs);
  rocket::Model model = inputs.model;
  bool gas = inputs.gas;
  for (;;) {
    if (!dialog_load(105, foguete)) {
      write_dialog_not_found();
      return false;
    }
    dialog_set_text(foguete, kPcField, f.pc);
    for (int k = 0; k < kRocketExitFields; ++k) {
      dialog_set_text(foguete, kPiPFields[k], f.pi_p[k]);
      dialog_set_text(foguete, kAeAtFields[k], f.ae_at[k]);
    }
    dialog_set_flag(foguete, kModelButtons[static_cast<std::size_t>(model)], true);
    dialog_set_flag(foguete, gas ? kGasButton : kLiquidButton, true);
    const int closed_by = dialog_run_modal(foguete);

    f.pc = field_text(kPcField);
    for (int k = 0; k < kRocketExitFields; ++k) {
      f.pi_p[k] = field_text(kPiPFields[k]);
      f.ae_at[k] = field_text(kAeAtFields[k]);
    }
    for (std::size_t k = 0; k < kModelButtons.size(); ++k) {
      bool on = false;
      if (dialog_get_flag(foguete, kModelButtons[k], on) && on) {
        model = static_cast<rocket::Model>(k);  // the buttons in the enum's order
      }
    }
    bool on = false;
    gas = dialog_get_flag(foguete, kGasButton, on) && on;
    dialog_release(foguete);
    if (closed_by != 1) {
      return false;  // Cancelar, Escape, the close box, or no dialog
    }

    RocketInputs typed = inputs;
    typed.model = model;
    typed.gas = gas;
    const std::string problems = read_fields(f, typed) + of_problem(of);
    if (problems.empty()) {
      inputs = typed;
      return true;
    }
    tell(problems + "Corrija e pressione OK novamente.");
  }
}

}  // namespace zuna
