#include "app/zuna4.h"

#include "app/calculation.h"
#include "app/presentation.h"
#include "app/program-state.h"
#include "app/results-menu.h"
#include "fio/fio.h"
#include "inputs/inputs.h"

namespace zuna {
namespace {

// The one instance of the program's values, kept from one calculation to the
// next.
ProgramState state;

// Reads "zuna.dat" once; its errors (missing file, short file, a value that
// does not read) are run-time errors that end the program. The file must
// exist: opened as a new file it would be left behind empty, and the user
// told of an end of file rather than of the missing file. It is only read:
// a write-protected data file, or one in a folder of its own, serves as well.
void load_thermo_data(ThermoData& data) {
  OpenOptions options;
  options.file = "zuna.dat";
  options.status = "old";
  options.form = "formatted";
  options.action = "read";
  open_unit(kDataUnit, options);
  read_thermo_data(data.mw, data.lastval, data.coef);
  close_unit(kDataUnit);
}

// rgas, hh2 and ho2 keep their fixed values; the molar masses come from the
// data file.
void build_constants(const ThermoData& data, ThermoConstants& tc) {
  tc = ThermoConstants{};
  for (int k = 0; k < 6; ++k) {
    tc.mw[k] = data.mw[k];
  }
}

}  // namespace

void zuna4_main() {
  show_presentation();
  load_thermo_data(state.data);
  build_constants(state.data, state.tc);
  for (;;) {
    run_calculation(state);
    results_menu();
  }
}

}  // namespace zuna
