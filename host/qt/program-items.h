// The program's own menu, "Cálculo": the rocket performance over an O/F
// range of its own, its result window, its plot and its listing
// (app/program-menu.h).
//
// The items can run only while the computation waits in the results menu.
// That dialog is then shown modal to no window, kept above the frame (not
// above the program's other windows), with the client area disabled, so that the frame's menus stay usable while the
// text windows take no input; every other dialog is modal as always. A
// chosen item runs on a thread of its own (ProgramThread), while the GUI
// thread keeps the events flowing (the item's dialogs, windows and boxes
// come to the frame through the host as the computation's do) and the
// results menu is disabled and minimised until the item ends.
//
// The results of the rocket performance are shown in a window of their
// own (RocketWindow), which follows app/program-menu.h's rocket_results():
// a new run replaces its contents, "Novo Cálculo" or a failed run closes
// it, and it closes with the frame.
#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

#include "host/qt/rocket-window.h"

#include "dialogs/dialog-host.h"
#include "dialogs/dialog-template.h"

namespace zuna {

class FrameWindow;
class RocketWindow;
struct RocketTable;

class ProgramItems {
 public:
  explicit ProgramItems(FrameWindow& frame);
  ~ProgramItems();
  ProgramItems(const ProgramItems&) = delete;
  ProgramItems& operator=(const ProgramItems&) = delete;

  // The menu is on the bar once a calculation has been made.
  bool menu_shown() const;
  // An item may start: the results menu waits beside the bar and no item runs.
  bool can_run() const;
  // ... and the rocket performance has written its files (plot, listing).
  bool outputs_ready() const;
  // Runs an item of app/program-menu.h to its end.
  void run(void (*item)());

  // The computation's next dialog is the results menu, to be shown beside
  // the menu bar rather than modal to the frame.
  bool dialog_beside_menu() const;
  int run_dialog_beside_menu(const DialogTemplate& dialog, DialogController& controller);
  // The results menu while it leaves the menu usable, or null.
  QDialog* open_results_menu() const { return results_menu_view_.data(); }

  // The result window as rocket_results() stands: shown with them, closed
  // without them.
  void show_rocket_results();
  RocketWindow* rocket_window() const { return rocket_window_.data(); }
  void close_rocket_window();

 private:
  FrameWindow& frame_;
  QPointer<QDialog> results_menu_view_;
  QPointer<RocketWindow> rocket_window_;
  // The results last shown: a weak reference keeps their identity
  // without keeping them.
  std::weak_ptr<const RocketTable> shown_results_;
  bool running_ = false;
};

}  // namespace zuna
