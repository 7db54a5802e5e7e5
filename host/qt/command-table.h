// The frame's commands in one table: for each its menu and place there, its
// text, what carries it out, whether it needs an active text window, when it
// is available, whether it carries a check mark and its help topic. The
// menus, their enabling and check marks and the topics of the menu help are
// all made from it (FrameMenus); the keys of a text window that stand for
// commands name them by number (commands.h).
#pragma once

#include <span>

#include "host/qt/commands.h"

namespace zuna {

class FrameWindow;

// The frame's menus, in the order of the menu bar.
enum class Menu {
  none,        // a command reached by a key, or shown in place of another
  start_file,  // "File" of the bar shown while no text window is active
  file,
  edit,
  view,
  state,
  program,  // "Cálculo", shown once a calculation has been made
  window,
  help,
};

struct MenuTitle {
  Menu menu;
  const char* title;  // UTF-8
};

struct CommandEntry {
  int id;
  Menu menu;
  bool separator_before;
  // UTF-8. A shortcut after a tab is for show only: the keys are taken by
  // the active text window.
  const char* text;
  // Acts on the active text window: without one it does nothing, and after
  // it the menus follow what changed (a selection, a check mark).
  bool on_active_window;
  void (*run)(FrameWindow& frame);
  bool (*enabled)(const FrameWindow& frame);  // null: always available
  bool (*checked)(const FrameWindow& frame);  // null: no check mark
  const char* help_topic;                     // an anchor of the help text; null: none
};

// The menus in the order of the bar, the commands in the order of their menus.
std::span<const MenuTitle> menu_titles();
std::span<const CommandEntry> command_table();
// The entry of a command number, or null.
const CommandEntry* find_command(int id);

}  // namespace zuna
