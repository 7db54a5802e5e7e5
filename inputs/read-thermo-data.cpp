// The thermodynamic data file on unit 20: six species blocks of 22 records,
// each record consumed by one list-directed read statement without a status
// request, so that a short file or a value that does not read ends the
// program with a run-time error.
//
// Block layout (records): 1-2 free text; 3 mw(k); 4 free text; 5-11
// coef(k, 1..7, 1); 12 free text; 13-19 coef(k, 1..7, 2); 20 free text;
// 21 lastval(k); 22 free text. The file may end right after the last
// block's record 21: its closing separator carries nothing.
//
// A molar mass that is not a positive number, or a coefficient that is not
// a number, would go on to give infinite or meaningless results at every
// point; it is refused with a message naming the species and the record,
// and the program ends as on any other run-time error. So are values that
// read but are not what the file says: a decimal comma ("2,5" reads as 2,
// the rest of the record being a comment) and a record that starts with
// "/" (the read ends there and the value keeps 0). A comma after the
// number followed by a comment ("18.01528, massa molar") stays legal. A
// molar mass outside 0.5 to 1000 g/mol is no species of this file, and a
// coefficient whose terms overflow between 200 and 6000 K, where the
// temperature searches go, would end the sweep in a floating-point error
// that names no file.
#include <array>
#include <cctype>
#include <cmath>
#include <string>
#include <string_view>

#include "fio/fio.h"
#include "inputs/inputs.h"

namespace zuna {

namespace {

// A record whose contents are not used.
void skip_record() {
  begin_read(kDataUnit, nullptr, 0, false);
  end_read();
}

// The last record of the file, which may be missing: its end of file is
// no error.
void skip_last_record() {
  if (begin_read(kDataUnit, nullptr, 0, true) == 0) {
    end_read();
  }
}

constexpr const char* kSpecies[6] = {"H2O", "O2", "H2", "H", "O", "OH"};
constexpr int kBlockRecords = 22;

// Ends the program after telling which value of the file is refused.
[[noreturn]] void refuse(int k, int record_in_block, const std::string& what) {
  const int record = (k - 1) * kBlockRecords + record_in_block;
  runtime_host().message_box("zuna.dat",
                             "Dado recusado em zuna.dat, registro " + std::to_string(record) +
                                 " (espécie " + kSpecies[k - 1] + "): " + what + ".",
                             MessageIcon::error, MessageButtons::ok, MessageAnswer::ok);
  end_program(1);
}

// How a value record is written, beyond what list-directed input checks.
enum class ValueForm { plain, decimal_comma, slash };

ValueForm value_form(std::string_view record, std::size_t after_value) {
  const std::size_t first = record.find_first_not_of(" \t");
  if (first != std::string_view::npos && record[first] == '/') {
    return ValueForm::slash;
  }
  if (after_value + 1 < record.size() && record[after_value] == ',' &&
      std::isdigit(static_cast<unsigned char>(record[after_value + 1])) != 0) {
    return ValueForm::decimal_comma;
  }
  return ValueForm::plain;
}

// The first value of record `record_in_block` of species k; the rest of the
// record is a comment, but for the two forms that read as another value.
void read_value(double& value, int k, int record_in_block) {
  begin_read(kDataUnit, nullptr, 0, false);
  get_real64(&value);
  std::size_t after_value = 0;
  const std::string record(input_record(after_value));
  end_read();
  switch (value_form(record, after_value)) {
    case ValueForm::plain: return;
    case ValueForm::decimal_comma:
      refuse(k, record_in_block,
             "vírgula decimal em \"" + record +
                 "\"; escreva o número com ponto decimal (2.5, não 2,5)");
    case ValueForm::slash:
      refuse(k, record_in_block, "o registro começa com \"/\" e não traz o valor");
  }
}

constexpr double kLowestMolarMass = 0.5;     // [g/mol], below H (1.008)
constexpr double kHighestMolarMass = 1000.0;  // [g/mol]

// The temperatures [K] at which the terms of the polynomials are largest:
// the ends of the range the searches go through, and the range boundary.
constexpr std::array<double, 3> kCheckedTemperatures = {200.0, 1000.0, 6000.0};

// Whether coefficient a_j, in the terms of cp/R, h/RT, s/R and g/RT of the
// range's polynomials (thermo/polynomial.h), stays finite at every checked
// temperature with room for the products and sums the sweep makes of it:
// a term must stay below 1e300, far above any real coefficient's terms
// (about 1e4) and far below the overflow at 1.8e308.
bool coefficient_stays_finite(double a, int j) {
  constexpr double kLargestTerm = 1e300;
  for (double t : kCheckedTemperatures) {
    double power = 0.0;  // the largest power of T that a_j multiplies
    switch (j) {
      case 1: power = std::fmax(1.0, std::log(t)); break;  // a1, a1 ln T
      case 6: power = 1.0 / t; break;                      // a6 / T
      case 7: power = 1.0; break;                          // a7
      default: power = std::pow(t, j - 1); break;          // a_j T^(j-1)
    }
    if (!(std::fabs(a) <= kLargestTerm / power)) {
      return false;
    }
  }
  return true;
}

}  // namespace

void read_thermo_data(double (&mw)[6], double (&lastval)[6], CoefBlock& coef) {
  for (int k = 1; k <= 6; ++k) {
    skip_record();
    skip_record();
    read_value(mw[k - 1], k, 3);
    if (!(std::isfinite(mw[k - 1]) && mw[k - 1] > 0.0)) {
      refuse(k, 3, "a massa molar deve ser um número maior que 0");
    }
    if (!(mw[k - 1] >= kLowestMolarMass && mw[k - 1] <= kHighestMolarMass)) {
      refuse(k, 3, "a massa molar deve estar entre 0.5 e 1000 g/mol");
    }
    skip_record();
    for (int r = 1; r <= 2; ++r) {
      for (int j = 1; j <= 7; ++j) {
        const int record = 4 + (r - 1) * 8 + j;
        read_value(coef(k, j, r), k, record);
        if (!std::isfinite(coef(k, j, r))) {
          refuse(k, record, "o coeficiente a" + std::to_string(j) + " não é um número finito");
        }
        if (!coefficient_stays_finite(coef(k, j, r), j)) {
          refuse(k, record,
                 "o coeficiente a" + std::to_string(j) +
                     " é grande demais: os polinômios saem do alcance dos números entre "
                     "200 e 6000 K");
        }
      }
      skip_record();
    }
    read_value(lastval[k - 1], k, 21);
    if (k < 6) {
      skip_record();
    } else {
      skip_last_record();
    }
  }
}

}  // namespace zuna
