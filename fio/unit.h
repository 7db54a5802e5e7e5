// One connection of a unit number to a file or a text window, and the
// transfer of records through it.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

#include "fio/file-stream.h"
#include "fio/io-error.h"

namespace zuna {

inline constexpr int kMinUnitNumber = -32767;
inline constexpr int kMaxUnitNumber = 32767;
inline constexpr int kWindowRecordLength = 132;

constexpr bool unit_number_valid(int number) {
  return number >= kMinUnitNumber && number <= kMaxUnitNumber;
}

// Derived from access and form. The program reads and writes only window
// units and formatted sequential files; the other kinds can be opened and
// closed but refuse formatted transfers.
enum class UnitKind {
  window,
  formatted_sequential,
  formatted_direct,
  binary_sequential,
  binary_direct,
  unformatted_sequential,
  unformatted_direct
};

enum class BlankMode { null, zero };
enum class Delimiter { none, apostrophe, quote };

struct Unit {
  // Held by a statement for its whole transfer; the end-of-program closing
  // takes it again on the same thread, hence recursive.
  std::recursive_mutex lock;

  bool connected = false;
  int number = 0;
  std::string file_name;  // as opened, trailing blanks removed ("" for scratch)
  std::string path;       // the name in the file system (a scratch file's own)
  UnitKind kind = UnitKind::formatted_sequential;
  int record_length = 1024;
  bool first_char_control = false;
  bool delete_on_close = false;  // the default close disposition
  bool scratch = false;
  BlankMode blank = BlankMode::null;
  bool pad = true;
  Delimiter delimiter = Delimiter::none;

  bool last_was_write = false;
  bool record_open = false;  // the last record was left open by "\" or "$"
  bool first_record = true;  // window: the next record starts the window's line
  long records = 0;          // file: records read or written since the open

  // Window units.
  int window = -1;
  bool owns_window = false;  // the default window (CON) is never closed
  std::string title;

  FileStream file;

  std::string record;       // the record being read
  std::string window_text;  // what goes to the window for one record

  bool is_window() const { return kind == UnitKind::window; }
  // Forgets the connection (the caller has closed what had to be closed).
  void disconnect();
};

// Before the first record of a write statement: the kind must be formatted
// sequential, the unit writable, and a sequential file that was not just
// written is cut off at its current position.
IoError unit_begin_write(Unit& unit);
// One record; leave_open keeps it open for the next statement ("\" or "$").
IoError unit_write_record(Unit& unit, std::string_view text, bool leave_open);
// At the end of a write statement: the file's buffer is flushed and checked.
IoError unit_end_write(Unit& unit);

// Before the first record of a read statement.
IoError unit_begin_read(Unit& unit);
// The next record into unit.record: a line typed in the window, or a line
// of the file. end_of_file when the file has no record left.
IoError unit_read_record(Unit& unit);
// A window unit about to take a line of its own (a typed line, the stop
// line): the line on screen is ended unless nothing was written yet or a
// record was left open for it, and the unit stands at the start of a line.
IoError unit_start_line(Unit& unit);

// Closes the file or the window. keep: the file stays, complete, in place of
// the one it replaces (else it is deleted); the window stays on the screen
// (else it is removed). complete_record writes the line end of a record left
// open by the last write.
IoError unit_close(Unit& unit, bool keep, bool complete_record);

// A file unit of a program that dies: what it wrote is dropped and the file
// keeps its earlier contents (see FileStream::abandon). Not for windows.
void unit_abandon(Unit& unit);

}  // namespace zuna
