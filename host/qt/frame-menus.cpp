#include "host/qt/frame-menus.h"

#include <QAction>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "host/qt/command-table.h"
#include "host/qt/frame-window.h"
#include "host/qt/help-viewer.h"
#include "host/qt/program-items.h"

namespace zuna {

FrameMenus::FrameMenus(FrameWindow& frame) : frame_(frame) {
  create_actions();
  create_menus();
}

void FrameMenus::create_actions() {
  for (const CommandEntry& entry : command_table()) {
    if (entry.menu == Menu::none) {
      continue;
    }
    auto* action = new QAction(QString::fromUtf8(entry.text), &frame_);
    action->setData(entry.id);
    action->setCheckable(entry.checked != nullptr);
    connect(action, &QAction::triggered, this,
            [this, action] { menu_command(action->data().toInt()); });
    actions_[entry.id] = action;
  }
  state_action_ = actions_.at(kCmdPause);
}

void FrameMenus::create_menus() {
  QMenuBar* bar = frame_.menuBar();
  for (const MenuTitle& title : menu_titles()) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(title.title));
    for (const CommandEntry& entry : command_table()) {
      if (entry.menu != title.menu) {
        continue;
      }
      if (entry.separator_before) {
        menu->addSeparator();
      }
      menu->addAction(actions_.at(entry.id));
    }
    menu->installEventFilter(this);
    switch (title.menu) {
      case Menu::start_file: start_menu_ = menu; continue;
      case Menu::program:
        program_menu_ = menu;
        menu->menuAction()->setVisible(false);
        break;
      case Menu::window:
        window_menu_ = menu;
        connect(menu, &QMenu::aboutToShow, this, [this] { update_window_menu(); });
        full_menus_.push_back(menu);
        break;
      default: full_menus_.push_back(menu); break;
    }
    connect(menu, &QMenu::aboutToShow, this, [this] { update(); });
  }
}

// --- Commands ----------------------------------------------------------------------

void FrameMenus::run_command(int command) {
  const CommandEntry* entry = find_command(command);
  if (entry == nullptr) {
    return;
  }
  if (!entry->on_active_window) {
    entry->run(frame_);
    return;
  }
  if (frame_.active_text_window() == nullptr) {
    return;
  }
  entry->run(frame_);
  update();
}

bool FrameMenus::command_enabled(int command) const {
  const CommandEntry* entry = find_command(command);
  return entry == nullptr || entry->enabled == nullptr || entry->enabled(frame_);
}

QAction* FrameMenus::command_action(int command) const {
  auto it = actions_.find(command);
  return it != actions_.end() ? it->second : nullptr;
}

void FrameMenus::menu_command(int command) {
  if (help_mode_) {
    help_mode_ = false;
    show_menu_help(command);
    return;
  }
  run_command(command);
}

// --- The bar ---------------------------------------------------------------------------

void FrameMenus::update() {
  const bool full = frame_.active_text_window() != nullptr;
  for (QMenu* menu : full_menus_) {
    menu->menuAction()->setVisible(full);
  }
  start_menu_->menuAction()->setVisible(!full);
  program_menu_->menuAction()->setVisible(frame_.program_items().menu_shown());
  for (auto& [command, action] : actions_) {
    action->setEnabled(command_enabled(command));
  }
  for (const CommandEntry& entry : command_table()) {
    if (entry.checked != nullptr) {
      actions_.at(entry.id)->setChecked(entry.checked(frame_));
    }
  }
}

void FrameMenus::update_window_menu() {
  update();
  // The fixed items, then one item per text window on screen.
  for (QAction* action : window_menu_->actions()) {
    if (action->property("zuna_window_item").toBool()) {
      window_menu_->removeAction(action);
      action->deleteLater();
    }
  }
  QMdiArea* area = frame_.client_area();
  int shown = 0;
  for (QMdiSubWindow* sub : area->subWindowList()) {
    auto* window = qobject_cast<TextWindow*>(sub);
    if (window == nullptr || window->isHidden()) {
      continue;
    }
    if (shown == 0) {
      QAction* separator = window_menu_->addSeparator();
      separator->setProperty("zuna_window_item", true);
    }
    ++shown;
    QString text = shown < 10 ? QStringLiteral("&%1 %2").arg(shown).arg(window->windowTitle())
                              : QStringLiteral("%1 %2").arg(shown).arg(window->windowTitle());
    QAction* item = window_menu_->addAction(text);
    item->setProperty("zuna_window_item", true);
    item->setCheckable(true);
    item->setChecked(window == frame_.active_text_window());
    QPointer<TextWindow> target(window);
    connect(item, &QAction::triggered, this, [area, target] {
      if (target) {
        area->setActiveSubWindow(target);
      }
    });
  }
}

void FrameMenus::show_run_state(RunState state) {
  // The item follows the state until the computation has finished.
  int command = 0;
  if (state == RunState::running) {
    command = kCmdPause;
  } else if (state == RunState::paused) {
    command = kCmdResume;
  } else {
    return;
  }
  state_action_->setText(QString::fromUtf8(find_command(command)->text));
  state_action_->setData(command);
}

void FrameMenus::show_start_bar() {
  for (QMenu* menu : full_menus_) {
    menu->menuAction()->setVisible(false);
  }
  program_menu_->menuAction()->setVisible(false);
  start_menu_->menuAction()->setVisible(true);
}

// --- Help -----------------------------------------------------------------------------

bool FrameMenus::eventFilter(QObject* watched, QEvent* event) {
  // F1 while a menu is open: the next item chosen shows its help topic.
  if (event->type() == QEvent::KeyPress && qobject_cast<QMenu*>(watched) != nullptr &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
    help_mode_ = true;
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void FrameMenus::show_menu_help(int command) {
  const CommandEntry* entry = find_command(command);
  if (entry == nullptr || entry->help_topic == nullptr) {
    QMessageBox::information(&frame_, frame_.program_name(),
                             QStringLiteral("Help not available for menu item"));
    return;
  }
  help().show_topic(QString::fromUtf8(entry->help_topic));
}

HelpViewer& FrameMenus::help() {
  if (!help_) {
    help_ = new HelpViewer(frame_.program_name(), &frame_);
  }
  return *help_;
}

HelpViewer* FrameMenus::help_viewer() const { return help_.data(); }

}  // namespace zuna
