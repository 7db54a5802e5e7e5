#include "host/qt/program-items.h"

#include <QMdiArea>

#include "app/program-menu.h"
#include "host/qt/dialog-view.h"
#include "host/qt/frame-menus.h"
#include "host/qt/frame-window.h"
#include "host/qt/help-viewer.h"
#include "host/qt/program-thread.h"

namespace zuna {

ProgramItems::ProgramItems(FrameWindow& frame) : frame_(frame) {
  // Results change on an item's thread, or the computation's: the window
  // follows them on the GUI thread.
  set_rocket_results_listener([this] {
    QMetaObject::invokeMethod(&frame_, [this] { show_rocket_results(); }, Qt::QueuedConnection);
  });
}

ProgramItems::~ProgramItems() { set_rocket_results_listener(nullptr); }

void ProgramItems::show_rocket_results() {
  std::shared_ptr<const RocketTable> results = rocket_results();
  if (!results || frame_.closing()) {
    close_rocket_window();
    return;
  }
  if (!shown_results_.owner_before(results) && !results.owner_before(shown_results_)) {
    return;  // shown, or closed by the user: only new results come back
  }
  shown_results_ = results;
  const bool first = !rocket_window_;
  if (first) {
    rocket_window_ = new RocketWindow(&frame_);
  }
  rocket_window_->show_table(std::move(results));
  if (first) {
    rocket_window_->move(frame_.frameGeometry().topLeft() + QPoint(40, 60));
  }
  rocket_window_->show();
  rocket_window_->raise();
  frame_.menus().update();
}

void ProgramItems::close_rocket_window() {
  shown_results_.reset();
  if (rocket_window_) {
    rocket_window_->close();  // deleted on close
    rocket_window_ = nullptr;
  }
  frame_.menus().update();
}

bool ProgramItems::menu_shown() const { return !frame_.closing() && program_menu_shown(); }

bool ProgramItems::can_run() const { return results_menu_view_ && !running_ && !frame_.closing(); }

bool ProgramItems::outputs_ready() const { return can_run() && rocket_files_written(); }

bool ProgramItems::dialog_beside_menu() const { return program_menu_ready() && !running_; }

int ProgramItems::run_dialog_beside_menu(const DialogTemplate& dialog,
                                         DialogController& controller) {
  // A dialog of the frame, modal to no window: it stays above the frame
  // (not above the program's other windows, the help among them) and blocks
  // nothing; the frame's text windows are disabled meanwhile. F1 shows its
  // help.
  DialogView view(dialog, controller, &frame_);
  view.set_help([this] { frame_.menus().help().show_topic(QStringLiteral("results-menu")); });
  view.move(frame_.frameGeometry().center() - view.rect().center());
  results_menu_view_ = &view;
  frame_.client_area()->setEnabled(false);
  frame_.menus().update();
  const int result = view.run(DialogView::Mode::beside_parent);
  results_menu_view_ = nullptr;
  frame_.client_area()->setEnabled(true);
  frame_.menus().update();
  return result;
}

void ProgramItems::run(void (*item)()) {
  if (!can_run()) {
    return;
  }
  // The results menu stays above the frame: out of the way of the item's
  // dialogs and window until it ends (minimised, not hidden, which would end
  // its modal run).
  running_ = true;
  results_menu_view_->setEnabled(false);
  results_menu_view_->showMinimized();
  frame_.menus().update();

  ProgramThread thread(item);
  const ProgramThread::Outcome outcome = thread.wait();

  running_ = false;
  show_rocket_results();
  if (results_menu_view_ && !frame_.closing()) {
    results_menu_view_->setEnabled(true);
    results_menu_view_->showNormal();
    results_menu_view_->raise();
    results_menu_view_->activateWindow();
  }
  frame_.menus().update();
  if (outcome == ProgramThread::Outcome::failed && !frame_.closing()) {
    frame_.show_host_error(HostErrorLevel::error, kHostInternalError, __FILE__, __LINE__);
  }
}

}  // namespace zuna
