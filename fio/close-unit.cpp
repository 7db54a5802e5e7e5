// The close statement.
#include "fio/fio.h"
#include "fio/open-keywords.h"
#include "fio/runtime-error.h"
#include "fio/unit-table.h"

namespace zuna {

int close_unit(int unit, std::optional<std::string_view> status, bool error_return) {
  clear_system_error();
  std::optional<bool> keep;
  if (status) {
    int word = match_keyword(*status, {"KEEP", "DELETE"});
    if (word < 0) {
      // Answered as it is, without closing and without ending the program.
      return error_status(IoError::bad_close_status);
    }
    keep = word == 0;
  }
  if (!unit_number_valid(unit)) {
    return signal_error(IoError::unit_number_out_of_range, StatementKind::close, error_return);
  }
  IoError e = IoError::ok;
  std::string file_name;
  {
    UnitTable& table = unit_table();
    std::lock_guard table_lock(table.mutex());
    Unit* connected = table.find(unit);
    if (connected == nullptr) {
      return 0;
    }
    std::lock_guard unit_lock(connected->lock);
    file_name = connected->file_name;
    bool keep_it = keep.value_or(!connected->delete_on_close);
    if (keep_it && connected->scratch) {
      e = IoError::keep_for_scratch_file;
    } else {
      e = unit_close(*connected, keep_it, true);
    }
  }
  return signal_error(e, StatementKind::close, error_return, file_name);
}

}  // namespace zuna
