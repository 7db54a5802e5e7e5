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
// and the program ends as on any other run-time error.
#include <cmath>
#include <string>

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

// The first value of a record; the rest of the record is not looked at.
void read_value(double& value) {
  begin_read(kDataUnit, nullptr, 0, false);
  get_real64(&value);
  end_read();
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

}  // namespace

void read_thermo_data(double (&mw)[6], double (&lastval)[6], CoefBlock& coef) {
  for (int k = 1; k <= 6; ++k) {
    skip_record();
    skip_record();
    read_value(mw[k - 1]);
    if (!(std::isfinite(mw[k - 1]) && mw[k - 1] > 0.0)) {
      refuse(k, 3, "a massa molar deve ser um número maior que 0");
    }
    skip_record();
    for (int r = 1; r <= 2; ++r) {
      for (int j = 1; j <= 7; ++j) {
        read_value(coef(k, j, r));
        if (!std::isfinite(coef(k, j, r))) {
          refuse(k, 4 + (r - 1) * 8 + j,
                 "o coeficiente a" + std::to_string(j) + " não é um número finito");
        }
      }
      skip_record();
    }
    read_value(lastval[k - 1]);
    if (k < 6) {
      skip_record();
    } else {
      skip_last_record();
    }
  }
}

}  // namespace zuna
