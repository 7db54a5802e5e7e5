// The run-parameter dialog (template 101, caption "DADOS"), made from the
// table of the run parameters: default texts, modal run, the texts converted
// back to numbers by list-directed reads, then the checks of the parameters'
// domain, told in the dialog's language.
//
// A text that gives no usable value, or values outside the model's domain,
// are not passed on: the user is told which field is wrong and why, and the
// dialog comes back with everything as it was typed, until every field reads
// and every value is accepted.
#include <algorithm>
#include <array>
#include <charconv>
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

std::string field_line(const ParameterDescriptor& field, const std::string& what) {
  std::string line = "\"";
  line.append(field.dialog.label).append("\": ").append(what);
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

std::string text_problem(const ParameterDescriptor& field, const std::string& typed) {
  if (typed.size() >= kTextShown && typed[kTextShown - 1] != ' ') {
    return field_line(
        field, "texto longo demais (no máximo " + std::to_string(kTextShown - 1) + " caracteres)");
  }
  if (has_decimal_comma(typed)) {
    return field_line(field, quoted(typed) + " tem vírgula decimal; use o ponto decimal (0.5)");
  }
  return {};
}

std::string conversion_problem(const ParameterDescriptor& field, const std::string& typed) {
  const char* what = field.type == ParameterType::real ? "não é um número válido"
                                                       : "não é um número inteiro válido";
  return field_line(field, quoted(typed) + " " + what);
}

std::string no_value_problem(const ParameterDescriptor& field, const std::string& typed) {
  return field_line(field, quoted(typed) + " não contém um valor");
}

// A value as the messages quote it.
std::string value_text(const RunParameters& p, const ParameterDescriptor& field) {
  if (field.type == ParameterType::integer) {
    return std::to_string(p.*field.integer);
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.15G", p.*field.real);
  return text;
}

// An end of an accepted range as the messages write it: the shorter of the
// plain and the exponent form of its shortest digits, the plain one when
// both are as long ("100", "99999", "1E-6", "1E5").
std::string range_end_text(double v) {
  char plain[64];
  const std::string fixed(
      plain, std::to_chars(plain, plain + sizeof plain, v, std::chars_format::fixed).ptr);
  char exp[64];
  const std::string scientific(
      exp, std::to_chars(exp, exp + sizeof exp, v, std::chars_format::scientific).ptr);
  const std::size_t e = scientific.find('e');
  if (!std::isfinite(v) || e == std::string::npos) {
    return fixed;
  }
  const int exponent = std::stoi(scientific.substr(e + 1));
  const std::string compact = scientific.substr(0, e) + "E" + std::to_string(exponent);
  return compact.size() < fixed.size() ? compact : fixed;
}

std::string range_text(const char* pattern, const ParameterRange& range) {
  return fill_placeholders(
      pattern, {{"lo", range_end_text(range.lowest)}, {"hi", range_end_text(range.highest)}});
}

constexpr char kPointCounts[] =
    "Os pontos entre a razão mínima e a estequiométrica ({npmin}) e entre a razão máxima e a "
    "estequiométrica ({npmax}) devem ser de {lo} a {hi}, com soma de no máximo {hi}.\n";

// The dialog's line for a problem of check_run_parameters.
std::string problem_line(const RunParameters& p, const ParameterProblem& problem) {
  if (problem.kind != ProblemKind::out_of_range) {
    return fill_placeholders(kPointCounts, {{"npmin", std::to_string(p.npmin)},
                                            {"npmax", std::to_string(p.npmax)},
                                            {"lo", range_end_text(problem.range.lowest)},
                                            {"hi", range_end_text(problem.range.highest)}});
  }
  const ParameterDescriptor& field = parameter_descriptor(problem.field);
  return field_line(field, value_text(p, field) + " fora da faixa aceita (" +
                               range_text(field.dialog.range, problem.range) + ")");
}

bool is_point_count(ParameterField f) {
  return f == ParameterField::npmin || f == ParameterField::npmax;
}

}  // namespace

RunParameters ask_run_parameters(const RunParameters& start) {
  RunParameters p = start;
  // What the dialog shows: the defaults at first, then what was typed.
  std::array<std::string, kRunParameterCount> texts;
  std::array<bool, kRunParameterCount> ticked{};
  for (const ParameterDescriptor& d : kRunParameterTable) {
    const auto i = static_cast<std::size_t>(d.field);
    if (d.type == ParameterType::reaction_switch) {
      ticked[i] = d.default_value != 0.0;
    } else {
      texts[i] = d.default_text;
    }
  }

  for (;;) {
    if (!dialog_load(101, dados)) {
      write_dialog_not_found();
      return p;
    }
    for (const ParameterDescriptor& d : kRunParameterTable) {
      const auto i = static_cast<std::size_t>(d.field);
      if (d.type == ParameterType::reaction_switch) {
        dialog_set_flag(dados, d.dialog.control_id, ticked[i]);
      } else {
        dialog_set_text(dados, d.dialog.control_id, texts[i]);
      }
    }
    int closed_by = dialog_run_modal(dados);

    // One line per field at most: the text's problem, or else its value's.
    std::array<std::string, kRunParameterCount> lines;
    for (const ParameterDescriptor& d : kRunParameterTable) {
      const auto i = static_cast<std::size_t>(d.field);
      if (d.type == ParameterType::reaction_switch) {
        bool on = false;
        if (dialog_get_flag(dados, d.dialog.control_id, on)) {
          ticked[i] = on;
          p.*d.real = on ? 1.0 : 0.0;
        }
        continue;
      }
      dialog_get_text(dados, d.dialog.control_id, buffer, kDialogTextLength);
      texts[i].assign(buffer, kDialogTextLength);
      lines[i] = text_problem(d, texts[i]);
      if (lines[i].empty()) {
        bool given = false;
        status = d.type == ParameterType::real ? read_given_value(p.*d.real, given)
                                               : read_given_value(p.*d.integer, given);
        if (status != 0) {
          lines[i] = conversion_problem(d, texts[i]);
        } else if (!given) {
          lines[i] = no_value_problem(d, texts[i]);
        }
      }
    }
    dialog_release(dados);

    // The values of the fields whose texts read are checked; a field whose
    // text did not holds an older value, which is not judged (nor are the
    // point counts together unless both read).
    const bool counts_read = lines[static_cast<std::size_t>(ParameterField::npmin)].empty() &&
                             lines[static_cast<std::size_t>(ParameterField::npmax)].empty();
    for (const ParameterProblem& problem : check_run_parameters(p)) {
      std::string& line = lines[static_cast<std::size_t>(problem.field)];
      if (is_point_count(problem.field) ? counts_read : line.empty()) {
        line = problem_line(p, problem);
      }
    }
    std::string problems;
    for (const std::string& line : lines) {
      problems += line;
    }
    // A dialog that could not be shown is not asked for again.
    if (problems.empty() || closed_by == -1) {
      return p;
    }
    runtime_host().message_box("DADOS", problems + "Corrija e pressione OK novamente.",
                               MessageIcon::warning, MessageButtons::ok, MessageAnswer::ok);
  }
}

}  // namespace zuna
