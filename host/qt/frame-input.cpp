// What the user gives the computation through the frame: the pause and the
// selection that pauses it, the typed line of a pending read, and the paste
// that types for the user.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <mutex>

#include "host/qt/cp1252.h"
#include "host/qt/frame-window.h"
#include "host/qt/line-handoff.h"
#include "host/qt/pause-gate.h"
#include "host/qt/window-table.h"

namespace zuna {

// --- Pause and selection ------------------------------------------------------------
//
// Selecting text or graphics pauses the computation, so that the screen
// holds still under the selection; Copy ends the selection and lets the
// computation go on. A Pause chosen during the selection is kept by the gate
// for one resume (PauseGate), so Copy then leaves it paused.

void FrameWindow::pause() {
  gate_.pause();
  show_run_state();
}

void FrameWindow::resume() {
  if (TextWindow* active = active_text_window()) {
    active->end_selection();
  }
  gate_.resume();
  show_run_state();
  feed_paste();  // a paste waits while paused
}

void FrameWindow::begin_text_selection() { begin_selection(SelectionMode::text); }

void FrameWindow::begin_graphics_selection() { begin_selection(SelectionMode::graphics); }

void FrameWindow::begin_selection(SelectionMode mode) {
  TextWindow* active = active_text_window();
  const bool was_selecting = active->selecting();
  active->begin_selection(mode);
  if (!was_selecting) {
    pause();
  }
}

void FrameWindow::select_all() {
  TextWindow* active = active_text_window();
  const bool was_selecting = active->selecting();
  active->select_all();
  if (!was_selecting) {
    pause();
  }
}

void FrameWindow::copy() {
  TextWindow* active = active_text_window();
  if (!active->has_selection()) {
    return;
  }
  active->copy_selection();
  resume();
}

void FrameWindow::window_selection_changed(TextWindow&) { update_menus(); }

// --- Typed line -----------------------------------------------------------------------

bool FrameWindow::begin_read(int number) {
  if (!configure_window(number)) {
    return false;
  }
  TextWindow* window = text_window(number);
  pending_read_ = number;
  typed_.clear();
  window->set_input_pending(true);
  set_status_message(QStringLiteral("Input pending in ") + window->title());
  update_menus();
  feed_paste();
  return true;
}

void FrameWindow::activate_input_window() {
  if (pending_read_ != 0) {
    activate_window(pending_read_);
  }
}

void FrameWindow::window_typed(TextWindow& window, QKeyEvent* event) {
  // Keys go to the line of a read waiting in this window, and only while
  // the computation runs.
  if (gate_.state() == RunState::paused || pending_read_ != window.number()) {
    beep();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: complete_line(); return;
    case Qt::Key_Backspace: erase_typed(window); return;
    case Qt::Key_Tab: show_effect(window, typed_.tab()); return;
    default: type_key(window, *event); return;
  }
}

// The key's characters, each typed when the line has room and Windows-1252
// has it; a beep for every other.
void FrameWindow::type_key(TextWindow& window, const QKeyEvent& event) {
  for (QChar ch : event.text()) {
    char c = 0;
    if (!ch.isPrint() || !to_cp1252_char(ch, c)) {
      beep();
      continue;
    }
    show_effect(window, typed_.type(c));
  }
}

void FrameWindow::erase_typed(TextWindow& window) {
  bool erased = false;
  if (typed_.backspace()) {
    std::lock_guard lock(window.state()->drawing);
    erased = window.state()->screen.erase_back();
  }
  if (!erased) {
    beep();
  }
  window.view()->viewport()->update();
}

void FrameWindow::show_effect(TextWindow& window, const TypedLine::Effect& effect) {
  echo(window, effect.echo);
  if (effect.beep) {
    beep();
  }
}

void FrameWindow::echo(TextWindow& window, const std::string& text) {
  if (text.empty()) {
    return;
  }
  {
    std::lock_guard lock(window.state()->drawing);
    window.state()->screen.write(text);
  }
  window.view()->viewport()->update();
}

void FrameWindow::complete_line() {
  const int number = pending_read_;
  pending_read_ = 0;
  if (TextWindow* window = text_window(number)) {
    window->set_input_pending(false);
  }
  set_status_message(QString());
  update_menus();
  std::string line = typed_.text();
  typed_.clear();
  handoff_.complete(std::move(line));
}

void FrameWindow::beep() {
  ++beeps_;
  QApplication::beep();
}

// --- Paste ------------------------------------------------------------------------------

void FrameWindow::paste() {
  const QString text = QGuiApplication::clipboard()->text();
  if (text.isEmpty() || !paste_.start(to_cp1252(text), active_text_window()->number())) {
    return;
  }
  feed_paste();
}

void FrameWindow::clear_paste() {
  paste_.clear();
  update_menus();
}

void FrameWindow::feed_paste() {
  // Up to the first line end, which completes the pending read; the rest
  // waits for the next read in the same window. Other control characters
  // are dropped, a Tab is typed as one.
  if (paste_.empty()) {
    return;
  }
  while (!paste_.empty() && paste_.feeds(pending_read_) && gate_.state() != RunState::paused) {
    TextWindow* window = text_window(pending_read_);
    const char c = paste_.take();
    if (c == '\n') {
      complete_line();
      break;
    }
    if (c == '\t') {
      show_effect(*window, typed_.tab());
    } else if (static_cast<unsigned char>(c) >= 0x20) {
      show_effect(*window, typed_.type(c));
    }
  }
  if (paste_.empty()) {
    update_menus();  // Paste again, Clear Paste no more
  }
}

}  // namespace zuna
