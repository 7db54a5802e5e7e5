// The thermodynamic data file on unit 20: six species blocks of 22 records,
// each record consumed by one list-directed read statement without a status
// request, so that a short file or a value that does not read ends the
// program with a run-time error.
//
// Block layout (records): 1-2 free text; 3 mw(k); 4 free text; 5-11
// coef(k, 1..7, 1); 12 free text; 13-19 coef(k, 1..7, 2); 20 free text;
// 21 lastval(k); 22 free text.
#include "fio/fio.h"
#include "inputs/inputs.h"

namespace zuna {

namespace {

// A record whose contents are not used.
void skip_record() {
  begin_read(kDataUnit, nullptr, 0, false);
  end_read();
}

// The first value of a record; the rest of the record is not looked at.
void read_value(double& value) {
  begin_read(kDataUnit, nullptr, 0, false);
  get_real64(&value);
  end_read();
}

}  // namespace

void read_thermo_data(double (&mw)[6], double (&lastval)[6], CoefBlock& coef) {
  for (int k = 1; k <= 6; ++k) {
    skip_record();
    skip_record();
    read_value(mw[k - 1]);
    skip_record();
    for (int r = 1; r <= 2; ++r) {
      for (int j = 1; j <= 7; ++j) {
        read_value(coef(k, j, r));
      }
      skip_record();
    }
    read_value(lastval[k - 1]);
    skip_record();
  }
}

}  // namespace zuna
