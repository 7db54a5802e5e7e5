// The program's own menu, "Cálculo": the rocket performance over the O/F
// points of the calculation just made, its plot and its listing
// (app/program-menu.h).
//
// The items can run only while the computation waits in the results menu.
// That dialog is then shown modal to no window, kept above the frame, with
// the client area disabled, so that the frame's menus stay usable while the
// text windows take no input; every other dialog is modal as always. A
// chosen item runs on a thread of its own, while this thread keeps the
// events flowing (its dialogs, windows and boxes come here through the
// host as the computation's do) and the results menu is disabled and
// minimised until the item ends.
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QMdiArea>
#include <QMenuBar>
#include <memory>
#include <mutex>
#include <thread>

#include "app/program-menu.h"
#include "fio/fio.h"
#include "host/qt/commands.h"
#include "host/qt/dialog-view.h"
#include "host/qt/frame-window.h"

namespace zuna {

void FrameWindow::create_program_menu() {
  program_menu_ = menuBar()->addMenu(QStringLiteral("&Cálculo"));
  add_commands(program_menu_, {kCmdRocket, 0, kCmdRocketPlot, kCmdRocketListing});
  program_menu_->menuAction()->setVisible(false);
}

void FrameWindow::update_program_menu() {
  program_menu_->menuAction()->setVisible(!closing_ && program_menu_shown());
}

bool FrameWindow::program_item_enabled(int command) const {
  if (!results_menu_view_ || program_item_running_ || closing_) {
    return false;
  }
  return command == kCmdRocket || rocket_files_written();
}

int FrameWindow::run_dialog_beside_menu(const DialogTemplate& dialog,
                                        DialogController& controller) {
  // Without a parent a window-modal dialog blocks no window; it stays above
  // the frame instead of being its child.
  DialogView view(dialog, controller, nullptr);
  view.setWindowModality(Qt::WindowModal);
  view.setWindowFlag(Qt::WindowStaysOnTopHint);
  view.move(frameGeometry().center() - view.rect().center());
  results_menu_view_ = &view;
  mdi_->setEnabled(false);
  update_menus();
  const int result = view.run();
  results_menu_view_ = nullptr;
  mdi_->setEnabled(true);
  update_menus();
  return result;
}

void FrameWindow::rocket_performance() { run_program_item(&zuna::run_rocket_performance); }

void FrameWindow::rocket_plot() { run_program_item(&zuna::run_rocket_plot); }

void FrameWindow::rocket_listing() { run_program_item(&zuna::run_rocket_listing); }

void FrameWindow::run_program_item(void (*item)()) {
  if (!program_item_enabled(kCmdRocket)) {
    return;
  }
  // The results menu stays above the frame: out of the way of the item's
  // dialogs and window until it ends (minimised, not hidden, which would end
  // its modal run).
  program_item_running_ = true;
  results_menu_view_->setEnabled(false);
  results_menu_view_->showMinimized();
  update_menus();

  // The thread may outlive this call only when the frame closes while the
  // item waits for an external command: it then owns all it uses. The loop
  // is named to it under the mutex only while the loop exists.
  struct Outcome {
    std::mutex mutex;
    QEventLoop* loop = nullptr;
    bool done = false;
    bool failed = false;
  };
  auto outcome = std::make_shared<Outcome>();
  std::thread worker([item, outcome] {
    bool failed = false;
    try {
      item();
    } catch (const ProgramExit&) {
      // The frame closed, or a run-time error ended the program.
    } catch (...) {
      failed = true;
    }
    std::lock_guard lock(outcome->mutex);
    outcome->done = true;
    outcome->failed = failed;
    if (outcome->loop != nullptr) {
      QMetaObject::invokeMethod(outcome->loop, "quit", Qt::QueuedConnection);
    }
  });
  QEventLoop loop;
  bool done = false, failed = false;
  {
    std::lock_guard lock(outcome->mutex);
    outcome->loop = &loop;
    done = outcome->done;
  }
  if (!done) {
    loop.exec();
  }
  {
    std::lock_guard lock(outcome->mutex);
    outcome->loop = nullptr;
    done = outcome->done;
    failed = outcome->failed;
  }
  if (done) {
    worker.join();
  } else {
    worker.detach();  // the frame is closing; the process ends without it
  }

  program_item_running_ = false;
  if (results_menu_view_ && !closing_) {
    results_menu_view_->setEnabled(true);
    results_menu_view_->showNormal();
    results_menu_view_->raise();
    results_menu_view_->activateWindow();
  }
  update_menus();
  if (failed && !closing_) {
    show_host_error(HostErrorLevel::error, kHostInternalError, __FILE__, __LINE__);
  }
}

}  // namespace zuna
