// The run-parameter dialog (template 101, caption "DADOS"): default texts,
// modal run, the texts converted back to numbers by list-directed reads.
//
// A text that cannot be read as its field's type, or point counts that the
// sweep tables cannot hold, are not passed on: the user is told which field
// is wrong and the dialog comes back with everything as it was typed, until
// every field reads. A blank field reads as 0.
#include <array>
#include <cstdint>
#include <string>

#include "dialogs/dialogs.h"
#include "fio/fio.h"
#include "inputs/dialog-not-found.h"
#include "inputs/inputs.h"

namespace zuna {

namespace {

// The sweep tables hold points 0 to 103 and a calculation has
// npmin + npmax + 3 of them, so each count is at least 0 and the two add up
// to at most this (the run driver's own limit, restated here so that the
// inputs do not depend on the driver).
constexpr std::int64_t kMaxSidePoints = 100;

enum class FieldType { real, integer };

struct Field {
  int id;
  const char* default_text;
  FieldType type;
  const char* label;  // the text beside the field in the dialog
};

// In conversion order.
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

Dialog dados;                        // the dialog record, for the life of the program
char buffer[kDialogTextLength];      // one text buffer shared by all fields
std::int32_t status = 0;             // status of the last conversion

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

std::string conversion_problem(const Field& field, const std::string& typed) {
  const char* what =
      field.type == FieldType::real ? "não é um número válido" : "não é um número inteiro válido";
  std::string line = "\"";
  line.append(field.label).append("\": ").append(quoted(typed)).append(" ").append(what);
  return line.append(".\n");
}

std::string count_problem(std::int32_t npmin, std::int32_t npmax) {
  std::int64_t low = npmin;
  std::int64_t high = npmax;
  if (low >= 0 && high >= 0 && low + high <= kMaxSidePoints) {
    return {};
  }
  return "Os pontos entre a razão mínima e a estequiométrica (" + std::to_string(npmin) +
         ") e entre a razão máxima e a estequiométrica (" + std::to_string(npmax) +
         ") devem ser de 0 a " + std::to_string(kMaxSidePoints) + ", com soma de no máximo " +
         std::to_string(kMaxSidePoints) + ".\n";
}

}  // namespace

void ask_run_parameters(std::int32_t& npmin, std::int32_t& npmax, std::int32_t& itmaxh,
                        std::int32_t& itmaxn, double& rmin, double& rmax, double& ptot,
                        double& tolh, double& toln, double& act1, double& act2, double& act3,
                        double& act4) {
  // Where each field's value goes, in the order of kFields.
  const std::array<double*, 9> reals = {&rmin, &rmax, nullptr, nullptr, &ptot,
                                        &tolh, nullptr, &toln, nullptr};
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

    std::string problems;
    for (std::size_t i = 0; i < kFields.size(); ++i) {
      dialog_get_text(dados, kFields[i].id, buffer, kDialogTextLength);
      texts[i].assign(buffer, kDialogTextLength);
      status = kFields[i].type == FieldType::real ? read_value(reals[i]) : read_value(integers[i]);
      if (status != 0) {
        problems += conversion_problem(kFields[i], texts[i]);
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

    if (problems.empty()) {
      problems = count_problem(npmin, npmax);
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
