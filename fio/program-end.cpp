// The end of the program: the stop statement and the end-of-program
// processing shared by stop, run-time errors and a terminated file selection.
#include "fio/program-end.h"

#include <mutex>
#include <string>

#include "fio/commit-group.h"
#include "fio/fio.h"
#include "fio/runtime-error.h"
#include "fio/statement.h"
#include "fio/unit-table.h"
#include "fio/unit.h"

namespace zuna {

namespace {

// Set once the end-of-program processing has begun on this thread: an error
// raised while ending (a file that fails to close) does not end it again.
thread_local bool t_ending = false;

}  // namespace

void reset_program_end() { t_ending = false; }

namespace {

// complete: the program reached its end, and the files it still has open
// are as complete as it made them; otherwise it dies, and those files keep
// what they held before it opened them.
[[noreturn]] void finish(int exit_code, bool complete) {
  if (t_ending) {
    throw ProgramExit{exit_code};
  }
  t_ending = true;
  abandon_statement();
  int code = exit_code;
  if (!complete) {
    unit_table().abandon_at_program_end();
  } else if (!unit_table().close_at_program_end()) {
    // A file that could not be completed makes the run a failed one.
    code = 1;
  }
  // The files of an open group stand in place only after a successful end.
  if (complete && code == 0) {
    clear_system_error();
    std::string name;
    if (IoError e = commit_group(name); e != IoError::ok) {
      report_only(e, StatementKind::close, name);
      code = 1;
    }
  } else {
    discard_commit_group();
  }
  runtime_host().end_of_run(code);
  throw ProgramExit{code};
}

}  // namespace

void end_program(int exit_code) { finish(exit_code, true); }

void abort_program(int exit_code) { finish(exit_code, false); }

void stop_program(const char* text, int length) {
  abandon_statement();
  Host& host = runtime_host();
  {
    UnitTable& table = unit_table();
    std::scoped_lock locks(table.mutex(), table.default_unit().lock);
    Unit& unit = table.default_unit();
    // The stop line starts a line of its own unless the last record was
    // left open for it; it is shown even when the line end could not be.
    (void)unit_start_line(unit);
    std::string line = text == nullptr
                           ? std::string("Stop - Program terminated.")
                           : std::string(text, static_cast<std::size_t>(length < 0 ? 0 : length));
    line += "\r\n";
    host.text_window_write(unit.window, line);
  }
  end_program(0);
}

}  // namespace zuna
