#include "host/qt/input-controller.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>
#include <mutex>

#include "host/qt/cp1252.h"
#include "host/qt/line-handoff.h"
#include "host/qt/pause-gate.h"
#include "host/qt/text-window.h"
#include "host/qt/window-table.h"

namespace zuna {

InputController::InputController(InputFrame& frame, PauseGate& gate, LineHandoff& handoff)
    : frame_(frame), gate_(gate), handoff_(handoff) {}

// --- Pause and selection ------------------------------------------------------------
//
// Selecting text or graphics pauses the computation, so that the screen
// holds still under the selection; Copy ends the selection and lets the
// computation go on. A Pause chosen during the selection is kept by the gate
// for one resume (PauseGate), so Copy then leaves it paused.

void InputController::pause() {
  gate_.pause();
  frame_.show_run_state();
}

void InputController::resume() {
  if (TextWindow* active = frame_.active_text_window()) {
    active->end_selection();
  }
  gate_.resume();
  frame_.show_run_state();
  feed_paste();  // a paste waits while paused
}

void InputController::begin_selection(SelectionMode mode) {
  TextWindow* active = frame_.active_text_window();
  const bool was_selecting = active->selecting();
  active->begin_selection(mode);
  if (!was_selecting) {
    pause();
  }
}

void InputController::select_all() {
  TextWindow* active = frame_.active_text_window();
  const bool was_selecting = active->selecting();
  active->select_all();
  if (!was_selecting) {
    pause();
  }
}

void InputController::copy() {
  TextWindow* active = frame_.active_text_window();
  if (!active->has_selection()) {
    return;
  }
  active->copy_selection();
  resume();
}

// --- Typed line -----------------------------------------------------------------------

bool InputController::begin_read(int number) {
  if (!frame_.configure_window(number)) {
    return false;
  }
  TextWindow* window = frame_.text_window(number);
  pending_read_ = number;
  typed_.clear();
  window->set_input_pending(true);
  frame_.set_status_message(QStringLiteral("Input pending in ") + window->title());
  frame_.update_menus();
  feed_paste();
  return true;
}

void InputController::activate_input_window() {
  if (pending_read_ != 0) {
    frame_.activate_window(pending_read_);
  }
}

void InputController::typed(TextWindow& window, const QKeyEvent& event) {
  // Keys go to the line of a read waiting in this window, and only while
  // the computation runs.
  if (gate_.state() == RunState::paused || pending_read_ != window.number()) {
    beep();
    return;
  }
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: complete_line(); return;
    case Qt::Key_Backspace: erase_typed(window); return;
    case Qt::Key_Tab: show_effect(window, typed_.tab()); return;
    default: type_key(window, event); return;
  }
}

// The key's characters, each typed when the line has room and Windows-1252
// has it; a beep for every other.
void InputController::type_key(TextWindow& window, const QKeyEvent& event) {
  for (QChar ch : event.text()) {
    char c = 0;
    if (!ch.isPrint() || !to_cp1252_char(ch, c)) {
      beep();
      continue;
    }
    show_effect(window, typed_.type(c));
  }
}

void InputController::erase_typed(TextWindow& window) {
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

void InputController::show_effect(TextWindow& window, const TypedLine::Effect& effect) {
  echo(window, effect.echo);
  if (effect.beep) {
    beep();
  }
}

void InputController::echo(TextWindow& window, const std::string& text) {
  if (text.empty()) {
    return;
  }
  {
    std::lock_guard lock(window.state()->drawing);
    window.state()->screen.write(text);
  }
  window.view()->viewport()->update();
}

void InputController::complete_line() {
  const int number = pending_read_;
  pending_read_ = 0;
  if (TextWindow* window = frame_.text_window(number)) {
    window->set_input_pending(false);
  }
  frame_.set_status_message(QString());
  frame_.update_menus();
  std::string line = typed_.text();
  typed_.clear();
  handoff_.complete(std::move(line));
}

void InputController::beep() {
  ++beeps_;
  QApplication::beep();
}

// --- Paste ------------------------------------------------------------------------------

void InputController::paste() {
  const QString text = QGuiApplication::clipboard()->text();
  if (text.isEmpty() || !paste_.start(to_cp1252(text), frame_.active_text_window()->number())) {
    return;
  }
  feed_paste();
}

bool InputController::can_paste() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  return paste_.empty() && data != nullptr && data->hasText();
}

void InputController::window_closing(int number) {
  if (paste_.window() == number) {
    clear_paste();
  }
}

void InputController::clear_paste() {
  paste_.clear();
  frame_.update_menus();
}

void InputController::feed_paste() {
  // Up to the first line end, which completes the pending read; the rest
  // waits for the next read in the same window. Other control characters
  // are dropped, a Tab is typed as one.
  if (paste_.empty()) {
    return;
  }
  while (!paste_.empty() && paste_.feeds(pending_read_) && gate_.state() != RunState::paused) {
    TextWindow* window = frame_.text_window(pending_read_);
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
    frame_.update_menus();  // Paste again, Clear Paste no more
  }
}

}  // namespace zuna
