// The windowed program's own menu, "Cálculo": rocket performance over an
// O/F range of its own, its result table, its plot and its listing.
//
// The computation offers the menu while the results menu waits for a
// choice; the frame runs a chosen item on a thread of its own, while the
// computation thread stays blocked in the results menu, so that the program
// state, the units and the dialogs are never used by two threads at once.
// The frame keeps the results menu from closing meanwhile.
//
// The console program has no such menu (its results menu is the text form
// of template 104); it offers the same calculation as "zuna4c rocket".
#pragma once

#include <functional>
#include <memory>

#include "app/program-state.h"

namespace zuna {

// The program's story holds the menu for its whole run and offers it after
// each calculation; the menu is withdrawn when the run ends, however it
// ends.
class ProgramMenu {
 public:
  ProgramMenu() = default;
  ~ProgramMenu();
  ProgramMenu(const ProgramMenu&) = delete;
  ProgramMenu& operator=(const ProgramMenu&) = delete;
  void offer_rocket_performance(const ProgramState& state);
  // "Novo Cálculo": the rocket performance's results, window, plot and
  // listing belong to the calculation that ends.
  void withdraw_results();
};

// Held by the results menu while it waits for a choice.
class ResultsMenuWait {
 public:
  ResultsMenuWait();
  ~ResultsMenuWait();
  ResultsMenuWait(const ResultsMenuWait&) = delete;
  ResultsMenuWait& operator=(const ResultsMenuWait&) = delete;
};

// Any thread. True once a calculation has been made in this run.
bool program_menu_shown();
// Any thread. True while the results menu waits for a choice: the items may
// run now.
bool program_menu_ready();
// Any thread. True while the files of the rocket performance hold the
// results of the latest run since the last calculation: false from the
// start, after "Novo Cálculo" and after a run that failed.
bool rocket_files_written();

struct RocketTable;
// Any thread. The results of the latest rocket performance, while they are
// current (as rocket_files_written), else null.
std::shared_ptr<const RocketTable> rocket_results();
// Called, on the thread that changed them, whenever rocket_results()
// changes; null for none. The windowed program's frame sets it.
void set_rocket_results_listener(std::function<void()> listener);

// The items, each run while program_menu_ready() on a thread that is
// neither the GUI thread nor the computation thread. Each may use the
// run-time and the dialogs; each returns when its work is done.
void run_rocket_performance();  // dialog 105, the calculation, its table and files
void run_rocket_plot();         // "wgnuplot isp.gnu"
void run_rocket_listing();      // "notepad foguete"

}  // namespace zuna
