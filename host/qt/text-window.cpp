#include "host/qt/text-window.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <mutex>

#include "host/qt/commands.h"
#include "host/qt/cp1252.h"
#include "host/qt/window-table.h"

namespace zuna {

TextWindow::TextWindow(std::shared_ptr<TextWindowState> state, const QString& title,
                       TextWindowOwner& owner, QWidget* parent)
    : QMdiSubWindow(parent),
      state_(std::move(state)),
      owner_(owner),
      view_(new TextView(state_, this)),
      title_(title) {
  setWidget(view_);
  setAttribute(Qt::WA_DeleteOnClose);
  // The unit decides when the window may close: no Close item until then.
  if (QMenu* menu = systemMenu()) {
    QList<QAction*> actions = menu->actions();
    for (qsizetype i = actions.size() - 1; i >= 0; --i) {
      if (actions[i]->shortcut() == QKeySequence::Close || actions[i]->text().contains("Close")) {
        menu->removeAction(actions[i]);
        if (i > 0 && actions[i - 1]->isSeparator()) {
          menu->removeAction(actions[i - 1]);
        }
        break;
      }
    }
  }
  view_->on_key = [this](QKeyEvent* event) { handle_key(event); };
  view_->on_marked = [this] {
    refresh_title();
    owner_.window_selection_changed(*this);
  };
  refresh_title();
}

int TextWindow::number() const { return state_->number; }

void TextWindow::mark_closed() {
  if (kept_) {
    return;
  }
  kept_ = true;
  auto* close_action = new QAction(QStringLiteral("&Close\tCtrl+F4"), this);
  close_action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F4));
  close_action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  connect(close_action, &QAction::triggered, this, &QWidget::close);
  addAction(close_action);
  if (QMenu* menu = systemMenu()) {
    menu->addSeparator();
    menu->addAction(close_action);
  }
  refresh_title();
}

void TextWindow::refresh_title() {
  QString prefix;
  switch (view_->selection_mode()) {
    case SelectionMode::none: break;
    case SelectionMode::text:
      prefix = has_selection() ? QStringLiteral("Select Text - ") : QStringLiteral("Mark Text - ");
      break;
    case SelectionMode::graphics:
      prefix = has_selection() ? QStringLiteral("Select Graphics in ")
                               : QStringLiteral("Mark Graphics - ");
      break;
  }
  setWindowTitle(prefix + title_ + (kept_ ? QStringLiteral("-Closed") : QString()));
}

void TextWindow::begin_selection(SelectionMode mode) {
  view_->set_selection_mode(mode);
  refresh_title();
  owner_.window_selection_changed(*this);
}

void TextWindow::select_all() {
  if (!selecting()) {
    view_->set_selection_mode(SelectionMode::text);
  }
  view_->mark_all();
}

void TextWindow::end_selection() {
  if (!selecting()) {
    return;
  }
  view_->set_selection_mode(SelectionMode::none);
  refresh_title();
  owner_.window_selection_changed(*this);
}

void TextWindow::copy_selection() {
  if (!has_selection()) {
    return;
  }
  QRect area = view_->marked_area();
  if (view_->selection_mode() == SelectionMode::text) {
    std::string text;
    {
      std::lock_guard lock(state_->drawing);
      const TextConfig& config = state_->screen.config();
      QRect cells(area.left() / config.cell_width, area.top() / config.cell_height,
                  area.width() / config.cell_width, area.height() / config.cell_height);
      text = state_->screen.text_in(cells);
    }
    QGuiApplication::clipboard()->setText(from_cp1252(text));
  } else {
    QImage part;
    {
      std::lock_guard lock(state_->drawing);
      part = state_->screen.image().copy(area);
    }
    QGuiApplication::clipboard()->setImage(part);
  }
}

// A read that starts waiting brings its caret into view, so that the line
// being answered is seen, not only the status bar's word that input is
// awaited. Output alone never moves the view.
void TextWindow::set_input_pending(bool pending) {
  view_->set_caret_visible(pending);
  if (pending) {
    view_->scroll_to_caret();
  }
}

void TextWindow::closeEvent(QCloseEvent* event) {
  if (!kept_) {
    event->ignore();  // the unit is still open
    return;
  }
  event->accept();
  owner_.window_closed(number());
  QMdiSubWindow::closeEvent(event);
}

void TextWindow::handle_key(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const bool ctrl = mods & Qt::ControlModifier;
  const int key = event->key();
  int command = 0;
  if (ctrl && key == Qt::Key_C) {
    command = kCmdExit;
  } else if (ctrl && key == Qt::Key_S) {
    command = kCmdPause;
  } else if ((ctrl && key == Qt::Key_Q) || key == Qt::Key_Escape) {
    command = kCmdResume;
  } else if (ctrl && key == Qt::Key_Insert) {
    command = kCmdCopy;
  } else if ((mods & Qt::ShiftModifier) && key == Qt::Key_Insert) {
    command = kCmdPaste;
  } else if ((mods & Qt::AltModifier) && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
    command = kCmdFullScreen;
  }
  if (command != 0) {
    if (owner_.window_command_enabled(command)) {
      owner_.window_command(command);
    }
    return;
  }
  if (ctrl || (mods & Qt::AltModifier) || (event->text().isEmpty() && key != Qt::Key_Backtab)) {
    return;  // not a character
  }
  owner_.window_typed(*this, event);
}

}  // namespace zuna
