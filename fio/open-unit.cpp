// The open statement.
#include "fio/open-unit.h"

#include <unistd.h>

#include <cerrno>

#include "fio/file-names.h"
#include "fio/open-keywords.h"
#include "fio/runtime-error.h"
#include "fio/unit-table.h"

namespace zuna {

namespace {

constexpr std::size_t kMaxFileName = 259;

// Reopening a unit on what it is connected to already only changes these.
void update_properties(Unit& unit, const OpenRequest& request) {
  unit.blank = request.blank;
  unit.pad = request.pad;
  unit.delimiter = request.delimiter;
  if (request.first_char_control) {
    unit.first_char_control = *request.first_char_control;
  }
}

bool same_connection(const Unit& unit, SpecialName special, const std::string& name) {
  if (unit.is_window() || names_window(special)) {
    return unit.is_window() && names_window(special) &&
           classify_file_name(unit.file_name) == special;
  }
  if (unit.scratch || name.empty()) {
    return false;
  }
  return unit.file.stands_for(name);
}

IoError connect_window(Unit& unit, SpecialName special, const OpenRequest& request, int number) {
  Host& host = runtime_host();
  if (special == SpecialName::console) {
    unit.window = host.default_window();
    unit.owns_window = false;
    return IoError::ok;
  }
  // A blank title is no title.
  bool titled = request.title && !request.title->empty();
  unit.title = titled ? *request.title : "Unit " + std::to_string(number);
  unit.window = host.text_window_open(unit.title);
  if (unit.window < 0) {
    return IoError::window_open_failed;
  }
  unit.owns_window = true;
  return IoError::ok;
}

IoError connect_file(Unit& unit, SpecialName special, const OpenRequest& request) {
  std::optional<FileAction> action = request.action ? request.action : request.mode;
  IoError e = IoError::ok;
  switch (special) {
    case SpecialName::null: e = unit.file.open("/dev/null", FileStatus::old_file, action); break;
    case SpecialName::error: e = unit.file.open_duplicate(STDERR_FILENO); break;
    default:
      if (request.status == FileStatus::scratch) {
        e = unit.file.open_scratch(unit.path);
      } else {
        unit.path = *request.file_name;
        e = unit.file.open(unit.path, request.status, action);
      }
      break;
  }
  if (e == IoError::ok && request.position == Position::append) {
    e = unit.file.seek_end();
  }
  if (e != IoError::ok) {
    unit.file.abandon();
    unit.path.clear();
  }
  return e;
}

// The request of an open statement with its file name settled: a blank
// name replaced by one the user gives, the kind of unit it makes checked.
IoError settle_request(int number, const OpenOptions& options, OpenRequest& request,
                       std::string& file_name, SpecialName& special, UnitKind& kind) {
  if (IoError e = decode_open_options(options, request); e != IoError::ok) {
    return e;
  }
  if (request.status != FileStatus::scratch && (!request.file_name || request.file_name->empty())) {
    request.file_name = std::string(trim_trailing_blanks(obtain_file_name(number)));
  }
  if (request.file_name) {
    file_name = *request.file_name;
    if (file_name.size() > kMaxFileName) {
      note_system_error(ENAMETOOLONG);
      return IoError::file_open_failed;
    }
  }
  special = request.file_name ? classify_file_name(*request.file_name) : SpecialName::none;
  kind = names_window(special) ? UnitKind::window : unit_kind(request.access, request.form);
  if (special != SpecialName::none &&
      (request.access == Access::direct || request.form == Form::unformatted)) {
    return IoError::device_needs_sequential_formatted;
  }
  if (special == SpecialName::port) {
    note_system_error(ENODEV);
    return IoError::file_open_failed;
  }
  return IoError::ok;
}

// A unit number that is connected already: on the same file only some
// properties change (done = true); on another the old connection is closed
// first, with its default disposition.
IoError settle_earlier_connection(Unit& unit, SpecialName special, UnitKind kind,
                                  const OpenRequest& request, std::string& file_name, bool& done) {
  std::lock_guard unit_lock(unit.lock);
  done = same_connection(unit, special, file_name);
  if (done) {
    if (unit.kind != kind) {
      return IoError::kind_change_on_reopen;
    }
    update_properties(unit, request);
    return IoError::ok;
  }
  std::string old_name = unit.file_name;
  IoError e = unit_close(unit, !unit.delete_on_close, true);
  if (e != IoError::ok) {
    file_name = old_name;
  }
  return e;
}

void record_connection(Unit& unit, int number, const std::string& file_name, UnitKind kind,
                       SpecialName special, const OpenRequest& request) {
  unit.number = number;
  unit.file_name = file_name;
  unit.kind = kind;
  bool device = special != SpecialName::none;
  unit.record_length = device ? kWindowRecordLength : request.record_length;
  unit.first_char_control = request.first_char_control.value_or(kind == UnitKind::window);
  unit.scratch = request.status == FileStatus::scratch;
  unit.delete_on_close = unit.scratch || kind == UnitKind::window;
  update_properties(unit, request);
  unit.connected = true;
}

}  // namespace

IoError open_connection(int number, const OpenOptions& options, std::string& file_name) {
  clear_system_error();
  file_name.clear();
  if (options.file) {
    file_name = std::string(trim_trailing_blanks(*options.file));
  }
  if (!unit_number_valid(number)) {
    return IoError::unit_number_out_of_range;
  }
  OpenRequest request;
  SpecialName special = SpecialName::none;
  UnitKind kind = UnitKind::formatted_sequential;
  if (IoError e = settle_request(number, options, request, file_name, special, kind);
      e != IoError::ok) {
    return e;
  }

  UnitTable& table = unit_table();
  std::lock_guard table_lock(table.mutex());
  if (Unit* unit = table.find(number)) {
    bool done = false;
    IoError e = settle_earlier_connection(*unit, special, kind, request, file_name, done);
    if (e != IoError::ok || done) {
      return e;
    }
  }
  Unit* unit = table.free_slot();
  if (unit == nullptr) {
    return IoError::too_many_units;
  }
  std::lock_guard unit_lock(unit->lock);
  unit->disconnect();
  IoError e = kind == UnitKind::window ? connect_window(*unit, special, request, number)
                                       : connect_file(*unit, special, request);
  if (e != IoError::ok) {
    unit->disconnect();
    return e;
  }
  record_connection(*unit, number, file_name, kind, special, request);
  return IoError::ok;
}

int open_unit(int unit, const OpenOptions& options) {
  std::string file_name;
  IoError e = open_connection(unit, options, file_name);
  return signal_error(e, StatementKind::open, options.error_return, file_name);
}

}  // namespace zuna
