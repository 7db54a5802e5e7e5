// The frame's commands: the menu items and the keys of the text windows that
// stand for them, each carried out by one small handler.
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <mutex>

#include "host/qt/commands.h"
#include "host/qt/frame-window.h"
#include "host/qt/help-viewer.h"
#include "host/qt/screen-export.h"
#include "host/qt/window-table.h"

namespace zuna {

// A command and what carries it out. The commands of a text window act on
// the active one: without an active window they do nothing, and after them
// the menus follow what changed (a selection, a check mark).
struct FrameWindow::CommandHandler {
  int command;
  bool on_active_window;
  void (FrameWindow::*run)();
};

const FrameWindow::CommandHandler* FrameWindow::find_command(int command) {
  static constexpr CommandHandler kHandlers[] = {
      {kCmdExit, false, &FrameWindow::exit_program},
      {kCmdExitReduced, false, &FrameWindow::exit_program},
      {kCmdPause, false, &FrameWindow::pause},
      {kCmdResume, false, &FrameWindow::resume},
      {kCmdCascade, false, &FrameWindow::cascade},
      {kCmdTile, false, &FrameWindow::tile},
      {kCmdArrangeIcons, false, &FrameWindow::arrange_icons},
      {kCmdStatusBar, false, &FrameWindow::toggle_status_bar},
      {kCmdContents, false, &FrameWindow::show_contents},
      {kCmdUsingHelp, false, &FrameWindow::show_using_help},
      {kCmdAbout, false, &FrameWindow::about},
      {kCmdInput, false, &FrameWindow::activate_input_window},
      {kCmdClearPaste, false, &FrameWindow::clear_paste},
      {kCmdSelectText, true, &FrameWindow::begin_text_selection},
      {kCmdSelectGraphics, true, &FrameWindow::begin_graphics_selection},
      {kCmdSelectAll, true, &FrameWindow::select_all},
      {kCmdCopy, true, &FrameWindow::copy},
      {kCmdPaste, true, &FrameWindow::paste},
      {kCmdSizeToFit, true, &FrameWindow::toggle_size_to_fit},
      {kCmdFullScreen, true, &FrameWindow::toggle_full_screen},
      {kCmdPrint, true, &FrameWindow::print},
      {kCmdSave, true, &FrameWindow::save},
      {kCmdRocket, false, &FrameWindow::rocket_performance},
      {kCmdRocketPlot, false, &FrameWindow::rocket_plot},
      {kCmdRocketListing, false, &FrameWindow::rocket_listing},
  };
  for (const CommandHandler& handler : kHandlers) {
    if (handler.command == command) {
      return &handler;
    }
  }
  return nullptr;
}

void FrameWindow::run_command(int command) {
  const CommandHandler* handler = find_command(command);
  if (handler == nullptr) {
    return;
  }
  if (!handler->on_active_window) {
    (this->*handler->run)();
    return;
  }
  if (active_text_window() == nullptr) {
    return;
  }
  (this->*handler->run)();
  update_menus();
}

void FrameWindow::menu_command(int command) {
  if (help_mode_) {
    help_mode_ = false;
    show_menu_help(command);
    return;
  }
  run_command(command);
}

// F1 was pressed in the open menu: the item chosen shows its topic instead.
void FrameWindow::show_menu_help(int command) {
  QString topic = help_topic(command);
  if (topic.isEmpty()) {
    QMessageBox::information(this, program_name_,
                             QStringLiteral("Help not available for menu item"));
    return;
  }
  help().show_topic(topic);
}

bool FrameWindow::command_enabled(int command) const {
  TextWindow* active = active_text_window();
  switch (command) {
    case kCmdCopy: return active != nullptr && active->has_selection();
    case kCmdPaste: {
      const QMimeData* data = QGuiApplication::clipboard()->mimeData();
      return paste_.empty() && data != nullptr && data->hasText();
    }
    case kCmdClearPaste: return !paste_.empty();
    case kCmdInput: return pending_read_ != 0;
    case kCmdRocket:
    case kCmdRocketPlot:
    case kCmdRocketListing: return program_item_enabled(command);
    default: return true;
  }
}

QAction* FrameWindow::command_action(int command) const {
  auto it = actions_.find(command);
  return it != actions_.end() ? it->second : nullptr;
}

void FrameWindow::window_command(int command) { run_command(command); }

bool FrameWindow::window_command_enabled(int command) { return command_enabled(command); }

// --- Frame and window commands ------------------------------------------------------

void FrameWindow::exit_program() { close(); }

void FrameWindow::cascade() { mdi_->cascadeSubWindows(); }

void FrameWindow::tile() { mdi_->tileSubWindows(); }

void FrameWindow::arrange_icons() {
  // The minimised windows in a row along the bottom of the client area.
  int x = 0;
  const int bottom = mdi_->viewport()->height();
  for (QMdiSubWindow* window : mdi_->subWindowList()) {
    if (window->isMinimized()) {
      window->move(x, bottom - window->height());
      x += window->width();
    }
  }
}

void FrameWindow::toggle_status_bar() {
  statusBar()->setVisible(statusBar()->isHidden());
  update_menus();
}

// --- Help ----------------------------------------------------------------------------

HelpViewer& FrameWindow::help() {
  if (!help_) {
    help_ = new HelpViewer(program_name_, this);
  }
  return *help_;
}

HelpViewer* FrameWindow::help_viewer() const { return help_.data(); }

void FrameWindow::show_contents() { help().show_contents(); }

void FrameWindow::show_using_help() { help().show_using_help(); }

void FrameWindow::about() {
  QMessageBox box(QMessageBox::Information, program_name_, about_text_, QMessageBox::Ok, this);
  box.exec();
}

// --- Commands on the active text window ------------------------------------------------

void FrameWindow::toggle_size_to_fit() {
  TextWindow* active = active_text_window();
  active->view()->set_size_to_fit(!active->view()->size_to_fit());
}

void FrameWindow::toggle_full_screen() {
  if (!full_screen_) {
    full_screen_window_ = active_text_window();
    was_maximized_ = isMaximized();
    status_bar_was_visible_ = !statusBar()->isHidden();
    menuBar()->hide();
    statusBar()->hide();
    full_screen_window_->showMaximized();
    showFullScreen();
    full_screen_ = true;
  } else {
    menuBar()->show();
    statusBar()->setVisible(status_bar_was_visible_);
    if (full_screen_window_) {
      full_screen_window_->showNormal();
    }
    was_maximized_ ? showMaximized() : showNormal();
    full_screen_ = false;
  }
}

QImage FrameWindow::image_copy(TextWindow& window) {
  std::lock_guard lock(window.state()->drawing);
  return window.state()->screen.image().copy();
}

void FrameWindow::print() {
  QString failure = print_image(image_copy(*active_text_window()), this);
  if (!failure.isEmpty()) {
    QMessageBox box(QMessageBox::Warning, program_name_, failure, QMessageBox::Ok, this);
    box.exec();
  }
}

void FrameWindow::save() {
  TextWindow* active = active_text_window();
  QFileDialog dialog(this, QStringLiteral("Save"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters({QStringLiteral("Bitmap Files(*.bmp)"), QStringLiteral("All Files(*.*)")});
  dialog.setDefaultSuffix(QStringLiteral("bmp"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || closing_) {
    return;
  }
  if (!save_bitmap(image_copy(*active), dialog.selectedFiles().constFirst())) {
    show_host_error(HostErrorLevel::error, kHostInternalError, __FILE__, __LINE__);
  }
}

}  // namespace zuna
