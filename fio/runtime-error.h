// The one error path of the run-time. A statement that asked for a status
// gets the error's number back; any other error is shown by the host and
// ends the program with exit code 1.
#pragma once

#include <string>
#include <string_view>

#include "fio/io-error.h"

namespace zuna {

// The kind of statement an error belongs to; it selects the tag of the report.
enum class StatementKind {
  unspecified,
  close,
  write,
  end_file,
  inquire,
  locking,
  open,
  read,
  rewind,
  backspace,
  eof_query,
  debug,
  allocate,
  deallocate,
  thread_start,
  math,
  none,
  window_host
};

// ": WRITE(", ": MATH\r\n- ", ...
std::string_view statement_tag(StatementKind kind);
// The tags of the I/O statements open a parenthesis that the report closes.
bool tag_opens_paren(StatementKind kind);

// The message text of a condition, followed for a condition of the file
// system by the system's reason noted for it ("write to file failed: No
// space left on device").
std::string condition_text(IoError e);

// The status a statement answers for an error: 0 for ok, -1 for the end of
// file, otherwise the displayed number.
int error_status(IoError e);

// Answers error_status(e) when the statement asked for a status (or e is ok);
// otherwise reports the error and ends the program. file_name is the file of
// the statement's unit; message, when not empty, replaces the condition's
// own text.
int signal_error(IoError e, StatementKind kind, bool status_request,
                 std::string_view file_name = {}, std::string_view message = {});

// Reports an error and ends the program with exit code 1. An error raised
// while the program is already ending is shown but does not end it twice.
[[noreturn]] void report_and_end(IoError e, StatementKind kind, std::string_view file_name,
                                 std::string_view message = {});

// Shows an error without ending: the end-of-program processing uses it for a
// file that fails to close.
void report_only(IoError e, StatementKind kind, std::string_view file_name,
                 std::string_view message = {});

// Routes the failures of the math intrinsics to the report (math kind, "M").
void install_math_error_handler();

}  // namespace zuna
