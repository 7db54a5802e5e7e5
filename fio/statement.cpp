#include "fio/statement.h"

namespace zuna {

void Statement::clear() {
  mode = Mode::idle;
  if (unit_lock.owns_lock()) {
    unit_lock.unlock();
  }
  unit_lock = {};
  unit = nullptr;
  file_name.clear();
  status_request = false;
  status = 0;
  format = nullptr;
  format_length = 0;
  items.clear();
  internal_text = nullptr;
  internal_length = 0;
  internal_taken = false;
  any_item = false;
}

Statement& current_statement() {
  thread_local Statement statement;
  return statement;
}

void abandon_statement() { current_statement().clear(); }

}  // namespace zuna
