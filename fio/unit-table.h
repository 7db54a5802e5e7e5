// The table of connected units: 61 slots for the units the program opens,
// and the default unit (the asterisk, and units 0, 5 and 6 until the program
// opens them), a window unit on the host's default window.
//
// Both hosts, windowed and console, serve the default window, so one default
// record stands for the console too; an internal unit lives in the statement
// of its thread (two threads may read their own variables at once).
//
// Lock order: the table, then a unit. Opening, closing and the selection of
// a unit for a statement are done under the table lock; a statement holds
// its unit's lock from its begin to its end.
#pragma once

#include <array>
#include <mutex>
#include <string>

#include "fio/io-error.h"
#include "fio/unit.h"

namespace zuna {

class UnitTable {
 public:
  static constexpr int kSlots = 61;

  // Recursive: the end of the program closes units from inside a statement
  // that failed while it held the table.
  std::recursive_mutex& mutex() { return mutex_; }

  // The connected slot of `number`, or nullptr (under the table lock).
  Unit* find(int number);
  Unit* free_slot();
  Unit& default_unit() { return default_unit_; }

  // Forgets every connection without a report: files are abandoned (their
  // earlier contents stay, scratch files go), windows are left to the host. The default unit starts
  // afresh on the host's default window.
  void reset();

  // The end-of-program closing: every unit that is not a window is closed
  // with its default disposition (a record left open stays so); windows stay.
  // A file that fails to close is reported; answers false then.
  bool close_at_program_end();
  // The end of a program that dies: every file unit is abandoned, so that
  // its file keeps the contents it had before the open; windows stay.
  void abandon_at_program_end();

 private:
  std::recursive_mutex mutex_;
  std::array<Unit, kSlots> slots_;
  Unit default_unit_;
};

UnitTable& unit_table();

// Selects the unit of a statement: a connected unit, the default unit for
// the asterisk and for 0, 5 and 6 not opened by the program, else an implicit
// open as a formatted sequential file with a blank name. Takes the unit's
// lock into `unit_lock`. `file_name` receives the unit's file name for a
// report.
IoError select_unit(int number, Unit*& unit, std::unique_lock<std::recursive_mutex>& unit_lock,
                    std::string& file_name);

}  // namespace zuna
