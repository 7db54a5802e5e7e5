// The run-parameter dialog (template 101, caption "DADOS"): default texts,
// modal run, the texts converted back to numbers by list-directed reads; and
// the checks of the parameters' domain that the dialog applies afterwards.
//
// A text that gives no usable value, or values outside the model's domain,
// are not passed on: the user is told which field is wrong and why, and the
// dialog comes back with everything as it was typed, until every field reads
// and every value is accepted.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"
#include "fio/fio.h"
#include "inputs/dialog-not-found.h"
#include "inputs/inputs.h"
#include "inputs/run-parameters.h"

namespace zuna {

namespace {

enum class FieldType { real, integer };

struct Field {
  int id;
  const char* default_text;
  FieldType type;
  const char* label;  // the text beside the field in the dialog
};

// In conversion order, which is the order of ParameterField.
constexpr std::array<Field, 9> kFields = {{
    {1000, "0.5d0", FieldType::real, "razão mínima em massa da mistura O2/H2"},
    {1001, "2.0d0", FieldType::real, "razão máxima em massa da mistura O2/H2"},
    {1003, "10", FieldType::integer, "pontos entre a razão mínima e a estequiométrica"},
    {1004, "20", FieldType::integer, "pontos entre a razão máxima e a estequiométrica"},
    {1005, "1.0d0", FieldType::real, "pressão total do sistema (atm)"},
    {1009, "1.0d-3", FieldType::real, "tolerância da entalpia (J)"},
    {1010, "100", FieldType::integer, "iterações para cálculo da entalpia"},
    {1011, "1.0d-10", FieldType::real, "tolerância dos coeficientes estequiométricos (n.moles)"},
    {1012, "200", FieldType::integer, "iterações para cálculo dos coeficientes estequiométricos"},
}};

constexpr std::array<int, 4> kSwitchIds = {1019, 1020, 1021, 1022};

const Field& field_of(ParameterField f) { return kFields[static_cast<std::size_t>(f)]; }

Dialog dados;                    // the dialog record, for the life of the program
char buffer[kDialogTextLength];  // one text buffer shared by all fields
std::int32_t status = 0;         // status of the last conversion

// One list-directed read of one value from the buffer, with the status
// request; each call only while the status so far is 0.
std::int32_t read_value(double* item) {
  std::int32_t st = begin_internal_read(buffer, kDialogTextLength, nullptr, 0, true);
  if (st == 0) {
    st = get_real64(item);
  }
  if (st == 0) {
    st = end_read();
  }
  return st;
}

std::int32_t read_value(std::int32_t* item) {
  std::int32_t st = begin_internal_read(buffer, kDialogTextLength, nullptr, 0, true);
  if (st == 0) {
    st = get_int32(item);
  }
  if (st == 0) {
    st = end_read();
  }
  return st;
}

// Reads the buffer into `value` only when it gives one. List-directed input
// reads a blank text as 0, and leaves its item untouched for a null value
// (a lone comma, "3*") or a slash, which would silently keep an older value:
// a blank buffer is no value, and otherwise the text is read into two
// different starting values, and one that comes back from both is none.
template <typename T>
std::int32_t read_given_value(T& value, bool& given) {
  given = false;
  if (std::all_of(buffer, buffer + kDialogTextLength, [](char c) { return c == ' '; })) {
    return 0;
  }
  T first = T(0);
  std::int32_t st = read_value(&first);
  given = true;
  if (st == 0 && first == T(0)) {
    T second = T(1);
    st = read_value(&second);
    given = second != T(1);
  }
  if (st == 0 && given) {
    value = first;
  }
  return st;
}

// A typed text as the messages quote it: without trailing blanks, and
// shortened when long.
std::string quoted(const std::string& typed) {
  std::size_t n = typed.find_last_not_of(' ');
  std::string text = n == std::string::npos ? std::string() : typed.substr(0, n + 1);
  if (text.size() > 40) {
    text = text.substr(0, 40) + "...";
  }
  return "\"" + text + "\"";
}

std::string field_line(const Field& field, const std::string& what) {
  std::string line = "\"";
  line.append(field.label).append("\": ").append(what);
  return line.append(".\n");
}

// A comma between two digits: "0,5" is a decimal comma, which list-directed
// input takes for a separator and reads as 0.
bool has_decimal_comma(const std::string& text) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == ',' && digit(text[i - 1]) && digit(text[i + 1])) {
      return true;
    }
  }
  return false;
}

// What is wrong with a field's text before its value is looked at, or an
// empty string. A dialog answers at most kTextShown characters of a field
// and cuts a longer text there without a word: a text that reaches that
// length may have been cut, and is refused rather than read in part.
constexpr std::size_t kTextShown = kDialogTextLength - 1;

std::string text_problem(const Field& field, const std::string& typed) {
  if (typed.size() >= kTextShown && typed[kTextShown - 1] != ' ') {
    return field_line(
        field, "texto longo demais (no máximo " + std::to_string(kTextShown - 1) + " caracteres)");
  }
  if (has_decimal_comma(typed)) {
    return field_line(field, quoted(typed) + " tem vírgula decimal; use o ponto decimal (0.5)");
  }
  return {};
}

std::string conversion_problem(const Field& field, const std::string& typed) {
  const char* what =
      field.type == FieldType::real ? "não é um número válido" : "não é um número inteiro válido";
  return field_line(field, quoted(typed) + " " + what);
}

std::string no_value_problem(const Field& field, const std::string& typed) {
  return field_line(field, quoted(typed) + " não contém um valor");
}

std::string real_text(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15G", v);
  return text;
}

void out_of_range(std::vector<ParameterProblem>& problems, ParameterField f,
                  const std::string& value, const char* range) {
  problems.push_back({f, field_line(field_of(f), value + " fora da faixa aceita (" + range + ")")});
}

// A real value passes when lo <= v <= hi, or lo < v <= hi when open_below; a
// value that is not a number passes no test.
bool real_within(double v, double lo, double hi, bool open_below) {
  return std::isfinite(v) && (open_below ? v > lo : v >= lo) && v <= hi;
}

}  // namespace

std::vector<ParameterProblem> check_run_parameters(const RunParameters& p) {
  std::vector<ParameterProblem> problems;
  if (!real_within(p.rmin, 0.0, 1.0, true)) {
    out_of_range(problems, ParameterField::rmin, real_text(p.rmin), "maior que 0 e até 1");
  }
  if (!real_within(p.rmax, 1.0, kMaxRatio, false)) {
    out_of_range(problems, ParameterField::rmax, real_text(p.rmax), "de 1 a 100");
  }
  // The sweep tables hold points 0 to kMaxPoint and a calculation has
  // npmin + npmax + 3 of them: each count at least 0, the two adding up to at
  // most kMaxInnerPoints (summed in 64 bits, so that no sum overflows).
  const std::int64_t low = p.npmin;
  const std::int64_t high = p.npmax;
  if (low < 0 || high < 0 || low + high > kMaxInnerPoints) {
    const bool npmin_alone = low < 0 || low > kMaxInnerPoints;
    const std::string most = std::to_string(kMaxInnerPoints);
    problems.push_back(
        {npmin_alone ? ParameterField::npmin : ParameterField::npmax,
         "Os pontos entre a razão mínima e a estequiométrica (" + std::to_string(p.npmin) +
             ") e entre a razão máxima e a estequiométrica (" + std::to_string(p.npmax) +
             ") devem ser de 0 a " + most + ", com soma de no máximo " + most + ".\n"});
  }
  if (!real_within(p.ptot, kMinPressure, kMaxPressure, false)) {
    out_of_range(problems, ParameterField::ptot, real_text(p.ptot), "de 1E-6 a 1E5");
  }
  if (!real_within(p.tolh, 0.0, HUGE_VAL, true)) {
    out_of_range(problems, ParameterField::tolh, real_text(p.tolh), "maior que 0");
  }
  if (p.itmaxh < 1 || p.itmaxh > kMaxIterations) {
    out_of_range(problems, ParameterField::itmaxh, std::to_string(p.itmaxh), "de 1 a 99999");
  }
  if (!real_within(p.toln, 0.0, HUGE_VAL, true)) {
    out_of_range(problems, ParameterField::toln, real_text(p.toln), "maior que 0");
  }
  if (p.itmaxn < 1 || p.itmaxn > kMaxIterations) {
    out_of_range(problems, ParameterField::itmaxn, std::to_string(p.itmaxn), "de 1 a 99999");
  }
  return problems;
}

void ask_run_parameters(std::int32_t& npmin, std::int32_t& npmax, std::int32_t& itmaxh,
                        std::int32_t& itmaxn, double& rmin, double& rmax, double& ptot,
                        double& tolh, double& toln, double& act1, double& act2, double& act3,
                        double& act4) {
  // Where each field's value goes, in the order of kFields.
  const std::array<double*, 9> reals = {&rmin, &rmax,   nullptr, nullptr, &ptot,
                                        &tolh, nullptr, &toln,   nullptr};
  const std::array<std::int32_t*, 9> integers = {nullptr, nullptr, &npmin,  &npmax, nullptr,
                                                 nullptr, &itmaxh, nullptr, &itmaxn};
  const std::array<double*, 4> switches = {&act1, &act2, &act3, &act4};

  // What the dialog shows: the defaults at first, then what was typed.
  std::array<std::string, 9> texts;
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    texts[i] = kFields[i].default_text;
  }
  std::array<bool, 4> ticked = {true, true, true, true};

  for (;;) {
    if (!dialog_load(101, dados)) {
      write_dialog_not_found();
      return;
    }
    for (std::size_t i = 0; i < kFields.size(); ++i) {
      dialog_set_text(dados, kFields[i].id, texts[i]);
    }
    for (std::size_t k = 0; k < kSwitchIds.size(); ++k) {
      dialog_set_flag(dados, kSwitchIds[k], ticked[k]);
    }
    int closed_by = dialog_run_modal(dados);

    // One line per field at most: the text's problem, or else its value's.
    std::array<std::string, 9> lines;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
      dialog_get_text(dados, kFields[i].id, buffer, kDialogTextLength);
      texts[i].assign(buffer, kDialogTextLength);
      lines[i] = text_problem(kFields[i], texts[i]);
      if (lines[i].empty()) {
        bool given = false;
        status = kFields[i].type == FieldType::real ? read_given_value(*reals[i], given)
                                                    : read_given_value(*integers[i], given);
        if (status != 0) {
          lines[i] = conversion_problem(kFields[i], texts[i]);
        } else if (!given) {
          lines[i] = no_value_problem(kFields[i], texts[i]);
        }
      }
    }
    for (std::size_t k = 0; k < kSwitchIds.size(); ++k) {
      bool on = false;
      if (dialog_get_flag(dados, kSwitchIds[k], on)) {
        ticked[k] = on;
        *switches[k] = on ? 1.0 : 0.0;
      }
    }
    dialog_release(dados);

    // The values of the fields whose texts read are checked; a field whose
    // text did not holds an older value, which is not judged (nor are the
    // point counts together unless both read).
    RunParameters p{npmin, npmax, itmaxh, itmaxn, rmin, rmax, ptot,
                    tolh,  toln,  act1,   act2,   act3, act4};
    const auto counts = [](ParameterField f) {
      return f == ParameterField::npmin || f == ParameterField::npmax;
    };
    const bool counts_read = lines[2].empty() && lines[3].empty();
    for (const ParameterProblem& problem : check_run_parameters(p)) {
      std::string& line = lines[static_cast<std::size_t>(problem.field)];
      if (counts(problem.field) ? counts_read : line.empty()) {
        line = problem.message;
      }
    }
    std::string problems;
    for (const std::string& line : lines) {
      problems += line;
    }
    // A dialog that could not be shown is not asked for again.
    if (problems.empty() || closed_by == -1) {
      return;
    }
    runtime_host().message_box("DADOS", problems + "Corrija e pressione OK novamente.",
                               MessageIcon::warning, MessageButtons::ok, MessageAnswer::ok);
  }
}

}  // namespace zuna
