#include "fio/unit-table.h"

#include "fio/fio.h"
#include "fio/open-unit.h"
#include "fio/runtime-error.h"

namespace zuna {

UnitTable& unit_table() {
  static UnitTable table;
  return table;
}

Unit* UnitTable::find(int number) {
  for (Unit& unit : slots_) {
    if (unit.connected && unit.number == number) {
      return &unit;
    }
  }
  return nullptr;
}

Unit* UnitTable::free_slot() {
  for (Unit& unit : slots_) {
    if (!unit.connected) {
      return &unit;
    }
  }
  return nullptr;
}

void UnitTable::reset() {
  std::lock_guard table_lock(mutex_);
  for (Unit& unit : slots_) {
    std::lock_guard unit_lock(unit.lock);
    unit_abandon(unit);
  }
  std::lock_guard unit_lock(default_unit_.lock);
  default_unit_.disconnect();
  default_unit_.connected = true;
  default_unit_.number = kDefaultUnit;
  default_unit_.kind = UnitKind::window;
  default_unit_.record_length = kWindowRecordLength;
  default_unit_.first_char_control = true;
  default_unit_.delete_on_close = true;
  default_unit_.window = runtime_host().default_window();
  default_unit_.owns_window = false;
}

bool UnitTable::close_at_program_end() {
  std::lock_guard table_lock(mutex_);
  bool all_closed = true;
  for (Unit& unit : slots_) {
    std::lock_guard unit_lock(unit.lock);
    if (!unit.connected || unit.is_window()) {
      continue;
    }
    std::string name = unit.file_name;
    clear_system_error();
    IoError e = unit_close(unit, !unit.delete_on_close, false);
    if (e != IoError::ok) {
      report_only(e, StatementKind::close, name);
      all_closed = false;
    }
  }
  return all_closed;
}

void UnitTable::abandon_at_program_end() {
  std::lock_guard table_lock(mutex_);
  for (Unit& unit : slots_) {
    std::lock_guard unit_lock(unit.lock);
    if (unit.connected && !unit.is_window()) {
      unit_abandon(unit);
    }
  }
}

IoError select_unit(int number, Unit*& unit, std::unique_lock<std::recursive_mutex>& unit_lock,
                    std::string& file_name) {
  UnitTable& table = unit_table();
  std::lock_guard table_lock(table.mutex());
  clear_system_error();
  unit = nullptr;
  if (number == kDefaultUnit) {
    unit = &table.default_unit();
  } else if (!unit_number_valid(number)) {
    return IoError::unit_number_out_of_range;
  } else if (Unit* connected = table.find(number)) {
    unit = connected;
  } else if (number == 0 || number == 5 || number == 6) {
    unit = &table.default_unit();
  } else {
    OpenOptions options;
    options.file = std::string_view();
    if (IoError e = open_connection(number, options, file_name); e != IoError::ok) {
      return e;
    }
    unit = table.find(number);
  }
  unit_lock = std::unique_lock(unit->lock);
  file_name = unit->file_name;
  return IoError::ok;
}

}  // namespace zuna
