// The frame's command table and the small handlers of the commands that the
// frame's parts do not carry out themselves.
#include "host/qt/command-table.h"

#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <mutex>

#include "app/program-menu.h"
#include "host/qt/frame-menus.h"
#include "host/qt/frame-window.h"
#include "host/qt/help-viewer.h"
#include "host/qt/input-controller.h"
#include "host/qt/program-items.h"
#include "host/qt/screen-export.h"
#include "host/qt/window-table.h"

namespace zuna {
namespace {

// --- The frame and its windows ---------------------------------------------------------

void arrange_icons(FrameWindow& frame) {
  // The minimised windows in a row along the bottom of the client area.
  QMdiArea* area = frame.client_area();
  int x = 0;
  const int bottom = area->viewport()->height();
  for (QMdiSubWindow* window : area->subWindowList()) {
    if (window->isMinimized()) {
      window->move(x, bottom - window->height());
      x += window->width();
    }
  }
}

void toggle_status_bar(FrameWindow& frame) {
  frame.statusBar()->setVisible(frame.statusBar()->isHidden());
  frame.menus().update();
}

void about(FrameWindow& frame) {
  QMessageBox box(QMessageBox::Information, frame.program_name(), frame.about_text(),
                  QMessageBox::Ok, &frame);
  box.exec();
}

// --- The active text window ------------------------------------------------------------

void toggle_size_to_fit(FrameWindow& frame) {
  TextView* view = frame.active_text_window()->view();
  view->set_size_to_fit(!view->size_to_fit());
}

QImage image_copy(TextWindow& window) {
  std::lock_guard lock(window.state()->drawing);
  return window.state()->screen.image().copy();
}

void print(FrameWindow& frame) {
  QString failure = print_image(image_copy(*frame.active_text_window()), &frame);
  if (!failure.isEmpty()) {
    QMessageBox box(QMessageBox::Warning, frame.program_name(), failure, QMessageBox::Ok, &frame);
    box.exec();
  }
}

void save(FrameWindow& frame) {
  TextWindow* active = frame.active_text_window();
  QFileDialog dialog(&frame, QStringLiteral("Save"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setNameFilters({QStringLiteral("Bitmap Files(*.bmp)"), QStringLiteral("All Files(*.*)")});
  dialog.setDefaultSuffix(QStringLiteral("bmp"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || frame.closing()) {
    return;
  }
  if (!save_bitmap(image_copy(*active), dialog.selectedFiles().constFirst())) {
    frame.show_host_error(HostErrorLevel::error, kHostInternalError, __FILE__, __LINE__);
  }
}

// --- When a command is available and checked -----------------------------------------------

bool has_selection(const FrameWindow& frame) {
  TextWindow* active = frame.active_text_window();
  return active != nullptr && active->has_selection();
}

bool can_paste(const FrameWindow& frame) { return frame.input().can_paste(); }

bool paste_under_way(const FrameWindow& frame) { return frame.input().paste_under_way(); }

bool read_pending(const FrameWindow& frame) { return frame.input().pending_read_window() != 0; }

bool program_item_runs(const FrameWindow& frame) { return frame.program_items().can_run(); }

bool program_outputs_shown(const FrameWindow& frame) {
  return frame.program_items().outputs_ready();
}

bool sized_to_fit(const FrameWindow& frame) {
  TextWindow* active = frame.active_text_window();
  return active != nullptr && active->view()->size_to_fit();
}

bool status_bar_shown(const FrameWindow& frame) { return !frame.statusBar()->isHidden(); }

// clang-format off
constexpr MenuTitle kMenus[] = {
    {Menu::start_file, "&File"},
    {Menu::file, "&File"},
    {Menu::edit, "&Edit"},
    {Menu::view, "&View"},
    {Menu::state, "&State"},
    {Menu::program, "&Cálculo"},
    {Menu::window, "&Window"},
    {Menu::help, "&Help"},
};

constexpr CommandEntry kCommands[] = {
    {kCmdExitReduced, Menu::start_file, false, "E&xit", false,
     [](FrameWindow& f) { f.close(); }, nullptr, nullptr, nullptr},

    {kCmdPrint, Menu::file, false, "&Print...", true, print, nullptr, nullptr, "print"},
    {kCmdSave, Menu::file, false, "&Save...", true, save, nullptr, nullptr, "save"},
    {kCmdExit, Menu::file, true, "E&xit\tCtrl+C", false,
     [](FrameWindow& f) { f.close(); }, nullptr, nullptr, "exit"},

    {kCmdSelectText, Menu::edit, false, "Select &Text", true,
     [](FrameWindow& f) { f.input().begin_selection(SelectionMode::text); },
     nullptr, nullptr, "select-text"},
    {kCmdSelectGraphics, Menu::edit, false, "Select &Graphics", true,
     [](FrameWindow& f) { f.input().begin_selection(SelectionMode::graphics); },
     nullptr, nullptr, "select-graphics"},
    {kCmdSelectAll, Menu::edit, false, "Select &All", true,
     [](FrameWindow& f) { f.input().select_all(); }, nullptr, nullptr, "select-all"},
    {kCmdCopy, Menu::edit, true, "&Copy\tCtrl+Ins", true,
     [](FrameWindow& f) { f.input().copy(); }, has_selection, nullptr, "copy"},
    {kCmdPaste, Menu::edit, false, "&Paste", true,
     [](FrameWindow& f) { f.input().paste(); }, can_paste, nullptr, "paste"},

    {kCmdSizeToFit, Menu::view, false, "&Size To Fit", true,
     toggle_size_to_fit, nullptr, sized_to_fit, "size-to-fit"},
    {kCmdFullScreen, Menu::view, false, "&Full Screen\tAlt+Enter", true,
     [](FrameWindow& f) { f.toggle_full_screen(); }, nullptr, nullptr, "full-screen"},

    // One item, Pause while the computation runs and Resume while it is paused.
    {kCmdPause, Menu::state, false, "&Pause\tCtrl+S", false,
     [](FrameWindow& f) { f.input().pause(); }, nullptr, nullptr, "pause"},
    {kCmdResume, Menu::none, false, "&Resume\tCtrl+Q", false,
     [](FrameWindow& f) { f.input().resume(); }, nullptr, nullptr, "pause"},

    {kCmdRocket, Menu::program, false, "&Desempenho como motor-foguete...", false,
     [](FrameWindow& f) { f.program_items().run(&run_rocket_performance); },
     program_item_runs, nullptr, "rocket"},
    {kCmdRocketPlot, Menu::program, true, "&Gráfico do impulso específico", false,
     [](FrameWindow& f) { f.program_items().run(&run_rocket_plot); },
     program_outputs_shown, nullptr, "rocket-plot"},
    {kCmdRocketListing, Menu::program, false, "&Listagem do desempenho", false,
     [](FrameWindow& f) { f.program_items().run(&run_rocket_listing); },
     program_outputs_shown, nullptr, "rocket-listing"},

    {kCmdCascade, Menu::window, false, "&Cascade", false,
     [](FrameWindow& f) { f.client_area()->cascadeSubWindows(); }, nullptr, nullptr, "cascade"},
    {kCmdTile, Menu::window, false, "&Tile", false,
     [](FrameWindow& f) { f.client_area()->tileSubWindows(); }, nullptr, nullptr, "tile"},
    {kCmdArrangeIcons, Menu::window, false, "&Arrange Icons", false,
     arrange_icons, nullptr, nullptr, "arrange-icons"},
    {kCmdInput, Menu::window, false, "&Input", false,
     [](FrameWindow& f) { f.input().activate_input_window(); }, read_pending, nullptr, "input"},
    {kCmdClearPaste, Menu::window, false, "C&lear Paste", false,
     [](FrameWindow& f) { f.input().clear_paste(); }, paste_under_way, nullptr, "clear-paste"},
    {kCmdStatusBar, Menu::window, false, "&Status Bar", false,
     toggle_status_bar, nullptr, status_bar_shown, "status-bar"},

    {kCmdContents, Menu::help, false, "&Contents", false,
     [](FrameWindow& f) { f.menus().help().show_contents(); }, nullptr, nullptr, nullptr},
    {kCmdUsingHelp, Menu::help, false, "Using &Help", false,
     [](FrameWindow& f) { f.menus().help().show_using_help(); }, nullptr, nullptr, nullptr},
    {kCmdAbout, Menu::help, true, "&About", false, about, nullptr, nullptr, nullptr},
};
// clang-format on

}  // namespace

std::span<const MenuTitle> menu_titles() { return kMenus; }

std::span<const CommandEntry> command_table() { return kCommands; }

const CommandEntry* find_command(int id) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.id == id) {
      return &entry;
    }
  }
  return nullptr;
}

}  // namespace zuna
