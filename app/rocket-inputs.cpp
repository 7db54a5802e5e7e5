// Dialog 105 of the rocket performance: its defaults, the texts read back,
// and the checks that refuse values out of range or texts that are no
// number, each told by the field, the value and the range accepted.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
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

// The checks of the values, one line per value refused, each naming the
// field as the dialog labels it and the range it accepts.

constexpr char kNoExit[] = "Nenhuma saída: dê ao menos uma razão de pressão ou de área.\n";

// The engine's O/F range: 0.1 to 40 times the stoichiometric O/F.
struct OfRange {
  double lo, hi;
};

OfRange of_range() {
  const double ofst = en::stoichiometric_of(en::builtin_nasa9_data());
  return {en::kOfMinFactor * ofst, en::kOfMaxFactor * ofst};
}

// A field: its name in the messages, the range it accepts and its check.
struct FieldRule {
  const char* name;
  std::string range;
  bool (*accepts)(double);
};

FieldRule of_rule(const char* name) {
  const OfRange r = of_range();
  return {name, "de " + fixed(r.lo, 4) + " a " + fixed(r.hi, 4), [](double v) {
            const OfRange r = of_range();
            return v >= r.lo && v <= r.hi;
          }};
}

const FieldRule kCountRule = {
    "Número de pontos de O/F",
    "inteiro de " + std::to_string(kRocketMinOfPoints) + " a " + std::to_string(kRocketMaxOfPoints),
    [](double v) {
      return v == std::floor(v) && v >= kRocketMinOfPoints && v <= kRocketMaxOfPoints;
    }};
const FieldRule kPcRule = {"Pressão na câmara", "de 1E-4 a 1E4 atm", [](double v) {
                             return v >= rk::kPcMinAtm && v <= rk::kPcMaxAtm;
                           }};
const FieldRule kPiPRule = {"Razão de pressão Pc/Pe", "maior que 1",
                            [](double v) { return v > 1.0 && std::isfinite(v); }};
const FieldRule kAeAtRule = {"Razão de área Ae/At", "1 ou maior",
                             [](double v) { return v >= 1.0 && std::isfinite(v); }};

std::string problem(const FieldRule& rule, double v) {
  if (rule.accepts(v)) {
    return {};
  }
  return std::string(rule.name) + ": " + shortest_text(v) + " fora da faixa aceita (" + rule.range +
         ").\n";
}

std::string not_a_number(const FieldRule& rule, const std::string& typed) {
  return std::string(rule.name) + ": \"" + typed.substr(0, 40) +
         "\" não é um número (faixa aceita: " + rule.range + ").\n";
}

std::string of_order_problem(double lo, double hi) {
  if (lo < hi) {
    return {};
  }
  return "O/F inicial " + shortest_text(lo) + " não é menor que o O/F final " + shortest_text(hi) + ".\n";
}

std::string range_problems(const RocketInputs& in) {
  std::string problems = problem(of_rule("O/F inicial"), in.of_low) +
                         problem(of_rule("O/F final"), in.of_high);
  if (problems.empty()) {
    problems += of_order_problem(in.of_low, in.of_high);
  }
  return problems + problem(kCountRule, in.of_count);
}

// --- The dialog -------------------------------------------------------------------

// The fields top to bottom, as the tab order goes. 1115..1118 are kept for
// subsonic area ratios, 1123.. for fields still to come.
constexpr int kOfLowField = 1120;
constexpr int kOfHighField = 1121;
constexpr int kOfCountField = 1122;
constexpr int kPcField = 1100;
constexpr std::array<int, kRocketExitFields> kPiPFields = {1101, 1102, 1103, 1104};
constexpr std::array<int, kRocketExitFields> kAeAtFields = {1105, 1106, 1107, 1108};
constexpr std::array<int, 3> kModelButtons = {1110, 1111, 1112};
constexpr int kLiquidButton = 1113;
constexpr int kGasButton = 1114;

Dialog foguete;  // the dialog record, for the life of the program

std::string trimmed(const char* text, int length) {
  std::string_view s(text, ::strnlen(text, static_cast<std::size_t>(length)));
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) {
    return {};
  }
  return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

// A number as typed: the whole text one real, with a Fortran exponent
// letter (1.0d3) taken as E and a decimal comma (20,5) as the point, as
// the dialog itself writes numbers in its labels. Nothing for a text that
// is not one number.
std::optional<double> read_number(std::string text) {
  for (char& c : text) {
    if (c == 'd' || c == 'D') {
      c = 'E';
    }
  }
  const std::size_t comma = text.find(',');
  if (comma != std::string::npos && text.find(',', comma + 1) == std::string::npos &&
      text.find('.') == std::string::npos) {
    text[comma] = '.';
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

struct Fields {
  std::string of_low, of_high, of_count, pc;
  std::array<std::string, kRocketExitFields> pi_p, ae_at;
};

Fields fields_of(const RocketInputs& in) {
  Fields f;
  f.of_low = shortest_text(in.of_low);
  f.of_high = shortest_text(in.of_high);
  f.of_count = std::to_string(in.of_count);
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
  auto read_one = [&](const std::string& text, const FieldRule& rule, auto&& store) {
    if (auto v = read_number(text)) {
      store(*v);
      problems += problem(rule, *v);
      return true;
    }
    problems += not_a_number(rule, text);
    return false;
  };
  const bool low = read_one(f.of_low, of_rule("O/F inicial"), [&](double v) { in.of_low = v; });
  const bool high = read_one(f.of_high, of_rule("O/F final"), [&](double v) { in.of_high = v; });
  if (low && high && problems.empty()) {
    problems += of_order_problem(in.of_low, in.of_high);
  }
  read_one(f.of_count, kCountRule, [&](double v) {
    in.of_count = kCountRule.accepts(v) ? static_cast<int>(v) : 0;
  });
  read_one(f.pc, kPcRule, [&](double v) { in.pc_atm = v; });
  bool any_exit = false;
  auto read_list = [&](const auto& texts, std::vector<double>& out, const FieldRule& rule) {
    out.clear();
    for (const std::string& text : texts) {
      if (text.empty()) {
        continue;
      }
      any_exit = true;
      read_one(text, rule, [&](double v) { out.push_back(v); });
    }
  };
  read_list(f.pi_p, in.pi_p, kPiPRule);
  read_list(f.ae_at, in.ae_at, kAeAtRule);
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

std::vector<double> rocket_of_points(const RocketInputs& in) {
  std::vector<double> of;
  const int n = in.of_count;
  for (int i = 0; i < n; ++i) {
    // The last point is the range's end exactly, not the sum of the steps.
    of.push_back(i == 0           ? in.of_low
                 : i + 1 == n     ? in.of_high
                                  : in.of_low + (in.of_high - in.of_low) * i / (n - 1));
  }
  return of;
}

std::string check_rocket_inputs(const RocketInputs& in) {
  std::string problems = range_problems(in) + problem(kPcRule, in.pc_atm);
  for (double v : in.pi_p) {
    problems += problem(kPiPRule, v);
  }
  for (double v : in.ae_at) {
    problems += problem(kAeAtRule, v);
  }
  if (in.pi_p.empty() && in.ae_at.empty()) {
    problems += kNoExit;
  }
  return problems;
}

bool ask_rocket_inputs(RocketInputs& inputs) {
  Fields f = fields_of(inputs);
  rocket::Model model = inputs.model;
  bool gas = inputs.gas;
  for (;;) {
    if (!dialog_load(105, foguete)) {
      write_dialog_not_found();
      return false;
    }
    dialog_set_text(foguete, kOfLowField, f.of_low);
    dialog_set_text(foguete, kOfHighField, f.of_high);
    dialog_set_text(foguete, kOfCountField, f.of_count);
    dialog_set_text(foguete, kPcField, f.pc);
    for (int k = 0; k < kRocketExitFields; ++k) {
      dialog_set_text(foguete, kPiPFields[k], f.pi_p[k]);
      dialog_set_text(foguete, kAeAtFields[k], f.ae_at[k]);
    }
    dialog_set_flag(foguete, kModelButtons[static_cast<std::size_t>(model)], true);
    dialog_set_flag(foguete, gas ? kGasButton : kLiquidButton, true);
    const int closed_by = dialog_run_modal(foguete);

    f.of_low = field_text(kOfLowField);
    f.of_high = field_text(kOfHighField);
    f.of_count = field_text(kOfCountField);
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
    // Every line names a field of this dialog: the user can always mend it.
    const std::string problems = read_fields(f, typed);
    if (problems.empty()) {
      inputs = typed;
      return true;
    }
    tell(problems + "Corrija e pressione OK novamente.");
  }
}

}  // namespace zuna
