#include "app/program-data.h"

#include <string>

#include "fio/file-names.h"
#include "fio/fio.h"
#include "inputs/inputs.h"

namespace zuna {
namespace {

// rgas, hh2 and ho2 keep their fixed values; the molar masses come from the
// data file.
void build_constants(const ThermoData& data, ThermoConstants& tc) {
  tc = ThermoConstants{};
  for (int k = 0; k < 6; ++k) {
    tc.mw[k] = data.mw[k];
  }
}

}  // namespace

void load_program_data(ProgramState& state, std::string_view name) {
  std::string path(name);
  if (classify_file_name(path) != SpecialName::none) {
    path.insert(0, "./");
  }
  OpenOptions options;
  options.file = path;
  options.status = "old";
  options.form = "formatted";
  // Only read: a write-protected data file, or one in a folder of its own,
  // serves as well.
  options.action = "read";
  open_unit(kDataUnit, options);
  read_thermo_data(state.data.mw, state.data.lastval, state.data.coef);
  close_unit(kDataUnit);
  build_constants(state.data, state.tc);
}

}  // namespace zuna
