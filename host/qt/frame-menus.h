// The frame's menus and commands: the menu bar made from the command table
// (command-table.h), the enabling and check marks of its items, the list of
// text windows at the end of the Window menu, the State item that follows
// the run state, and the menu help (F1 in an open menu, then the item: its
// topic instead of the command). Only the GUI thread uses it.
#pragma once

#include <QObject>
#include <QPointer>
#include <map>
#include <vector>

#include "host/qt/pause-gate.h"

class QAction;
class QMenu;

namespace zuna {

class FrameWindow;
class HelpViewer;

class FrameMenus : public QObject {
  Q_OBJECT

 public:
  // Adds the menus to the frame's menu bar; the frame's client area exists.
  explicit FrameMenus(FrameWindow& frame);

  // Carries out a command (a menu item or a key that stands for one).
  void run_command(int command);
  bool command_enabled(int command) const;
  QAction* command_action(int command) const;  // null for a command without an item

  // The bar follows the active text window: the full menus with one, the
  // start's File menu without; items enabled and checked as things are now.
  void update();
  // The State item says what choosing it does: Pause or Resume.
  void show_run_state(RunState state);
  // The frame closes: the bar of the start comes back.
  void show_start_bar();

  bool help_mode() const { return help_mode_; }
  HelpViewer& help();
  HelpViewer* help_viewer() const;  // null until help was first shown

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void create_actions();
  void create_menus();
  void menu_command(int command);
  void show_menu_help(int command);
  void update_window_menu();

  FrameWindow& frame_;
  std::map<int, QAction*> actions_;
  QAction* state_action_ = nullptr;  // Pause or Resume
  QMenu* start_menu_ = nullptr;
  std::vector<QMenu*> full_menus_;
  QMenu* program_menu_ = nullptr;
  QMenu* window_menu_ = nullptr;
  QPointer<HelpViewer> help_;
  bool help_mode_ = false;
};

}  // namespace zuna
