// The statement in progress on a thread: one at a time, from its begin call
// to its end call. Its buffers keep their capacity from one statement to the
// next, so that a statement allocates nothing once the program is running.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "fio/format.h"
#include "fio/list-read.h"
#include "fio/runtime-error.h"
#include "fio/unit.h"

namespace zuna {

struct Statement {
  enum class Mode { idle, write, read };

  Mode mode = Mode::idle;
  Unit* unit = nullptr;  // nullptr for an internal read
  std::unique_lock<std::recursive_mutex> unit_lock;
  std::string file_name;  // for a report
  bool status_request = false;
  int status = 0;  // the first error's status; later items do nothing

  // Output.
  const char* format = nullptr;
  int format_length = 0;
  std::vector<OutputItem> items;

  // Input.
  ListReader reader;
  const char* internal_text = nullptr;
  int internal_length = 0;
  bool internal_taken = false;
  bool any_item = false;

  // Ends the statement where it stands and lets go of its unit.
  void clear();
};

// The calling thread's statement.
Statement& current_statement();

// Lets go of the calling thread's statement, if any: before the program
// ends, and before a new statement begins.
void abandon_statement();

}  // namespace zuna
