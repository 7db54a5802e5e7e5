#include "fio/unit.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "fio/carriage-control.h"
#include "fio/fio.h"

namespace zuna {

namespace {

bool formatted_sequential(const Unit& unit) {
  return unit.kind == UnitKind::window || unit.kind == UnitKind::formatted_sequential;
}

IoError window_send(const Unit& unit, std::string_view text) {
  // An empty text would show a blank on the window.
  if (text.empty()) {
    return IoError::ok;
  }
  if (runtime_host().text_window_write(unit.window, text) < 0) {
    return IoError::file_write_failed;
  }
  return IoError::ok;
}

IoError write_window_record(Unit& unit, std::string_view text, bool leave_open) {
  std::string& out = unit.window_text;
  out.clear();
  if (unit.record_open) {
    // Continues the open line, shown in full.
    out.append(text);
  } else if (unit.first_char_control) {
    char control = text.empty() ? ' ' : text.front();
    out.append(window_control_prefix(control, unit.first_record));
    out.append(text.substr(std::min<std::size_t>(1, text.size())));
  } else {
    if (!unit.first_record) {
      out.append("\r\n");
    }
    out.append(text);
  }
  unit.first_record = false;
  unit.record_open = leave_open;
  return window_send(unit, out);
}

IoError write_file_record(Unit& unit, std::string_view text, bool leave_open) {
  IoError e = IoError::ok;
  if (unit.record_open) {
    e = unit.file.write(text);
  } else if (unit.first_char_control) {
    char control = text.empty() ? ' ' : text.front();
    e = unit.file.write(file_control_prefix(control));
    if (e == IoError::ok) {
      e = unit.file.write(text.substr(std::min<std::size_t>(1, text.size())));
    }
  } else {
    e = unit.file.write(text);
  }
  if (e == IoError::ok && !leave_open) {
    e = unit.file.write("\r\n");
    ++unit.records;
  }
  unit.record_open = leave_open;
  return e;
}

}  // namespace

void Unit::disconnect() {
  file.abandon();
  connected = false;
  number = 0;
  file_name.clear();
  path.clear();
  kind = UnitKind::formatted_sequential;
  record_length = 1024;
  first_char_control = false;
  delete_on_close = false;
  scratch = false;
  blank = BlankMode::null;
  pad = true;
  delimiter = Delimiter::none;
  last_was_write = false;
  record_open = false;
  first_record = true;
  records = 0;
  window = -1;
  owns_window = false;
  title.clear();
}

IoError unit_begin_write(Unit& unit) {
  if (!formatted_sequential(unit)) {
    return IoError::unit_not_formatted_sequential;
  }
  if (unit.is_window()) {
    unit.last_was_write = true;
    return IoError::ok;
  }
  if (!unit.file.can_write()) {
    return IoError::write_to_read_only;
  }
  if (!unit.last_was_write) {
    unit.last_was_write = true;
    return unit.file.truncate_here();
  }
  return IoError::ok;
}

IoError unit_write_record(Unit& unit, std::string_view text, bool leave_open) {
  if (unit.is_window()) {
    return write_window_record(unit, text, leave_open);
  }
  return write_file_record(unit, text, leave_open);
}

// A regular file keeps its records in the unit's buffer until the buffer is
// full, the unit is read or closed, or the program ends; each of these
// flushes and checks, so a failed write is still reported and a file is never
// left short without an error. Devices get their records at once.
IoError unit_end_write(Unit& unit) {
  if (unit.is_window() || unit.file.is_regular()) {
    return IoError::ok;
  }
  return unit.file.flush();
}

IoError unit_begin_read(Unit& unit) {
  if (!formatted_sequential(unit)) {
    return IoError::unit_not_formatted_sequential;
  }
  if (!unit.is_window() && !unit.file.can_read()) {
    return IoError::read_from_write_only;
  }
  return IoError::ok;
}

IoError unit_start_line(Unit& unit) {
  if (!unit.first_record && !unit.record_open) {
    if (IoError e = window_send(unit, "\r\n"); e != IoError::ok) {
      return e;
    }
  }
  unit.first_record = true;
  unit.record_open = false;
  return IoError::ok;
}

IoError unit_read_record(Unit& unit) {
  unit.last_was_write = false;
  if (!unit.is_window()) {
    IoError e = unit.file.read_record(unit.record, static_cast<std::size_t>(unit.record_length));
    if (e == IoError::ok) {
      ++unit.records;
    }
    return e;
  }
  // The user types on a fresh line after a completed record, on the open
  // line after a record left open, and where the last Enter left the cursor
  // after a read.
  if (IoError e = unit_start_line(unit); e != IoError::ok) {
    return e;
  }
  unit.record.resize(kWindowRecordLength);
  int n =
      runtime_host().text_window_read_line(unit.window, unit.record.data(), kWindowRecordLength);
  if (n < 0) {
    unit.record.clear();
    return IoError::file_read_failed;
  }
  unit.record.resize(static_cast<std::size_t>(std::min(n, kWindowRecordLength)));
  return IoError::ok;
}

void unit_abandon(Unit& unit) {
  unit.file.abandon();
  unit.disconnect();
}

IoError unit_close(Unit& unit, bool keep, bool complete_record) {
  IoError result = IoError::ok;
  bool complete = complete_record && unit.last_was_write && unit.record_open;
  if (unit.is_window()) {
    if (complete && keep) {
      result = window_send(unit, "\r\n");
    }
    if (unit.owns_window) {
      runtime_host().text_window_close(unit.window, keep);
    }
  } else if (keep) {
    if (complete) {
      result = unit.file.write("\r\n");
    }
    IoError closed = unit.file.close();
    if (result == IoError::ok) {
      result = closed;
    }
  } else {
    // Only a regular file is ever deleted: never a device such as NUL.
    bool deletable = unit.file.is_regular() && !unit.path.empty();
    unit.file.abandon();
    if (deletable && ::unlink(unit.path.c_str()) != 0 && errno != ENOENT) {
      note_system_error(errno);
      result = IoError::file_delete_failed;
    }
  }
  unit.disconnect();
  return result;
}

}  // namespace zuna
