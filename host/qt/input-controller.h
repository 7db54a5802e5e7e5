// What the user gives the computation through the frame's text windows: the
// pause and the selection that pauses it, the typed line of a pending read,
// and the paste that types for the user. Only the GUI thread uses it.
#pragma once

#include <QString>
#include <string>

#include "host/qt/paste-queue.h"
#include "host/qt/text-view.h"
#include "host/qt/typed-line.h"

class QKeyEvent;

namespace zuna {

class LineHandoff;
class PauseGate;
class TextWindow;

// The frame's side of the input: its text windows, its status bar and its
// menus.
class InputFrame {
 public:
  virtual TextWindow* text_window(int number) const = 0;
  virtual TextWindow* active_text_window() const = 0;
  // Shows the window on its first input; false when the number names none.
  virtual bool configure_window(int number) = 0;
  virtual void activate_window(int number) = 0;
  virtual void set_status_message(const QString& text) = 0;
  virtual void show_run_state() = 0;
  virtual void update_menus() = 0;

 protected:
  ~InputFrame() = default;
};

class InputController {
 public:
  InputController(InputFrame& frame, PauseGate& gate, LineHandoff& handoff);

  // --- Pause and selection --------------------------------------------------------
  void pause();
  void resume();
  // On the active text window.
  void begin_selection(SelectionMode mode);
  void select_all();
  void copy();

  // --- Typed line --------------------------------------------------------------------
  // A read waits in this window: the typed line starts. False when the
  // number names no window.
  bool begin_read(int number);
  int pending_read_window() const { return pending_read_; }  // 0 for none
  void activate_input_window();
  // A key typed in a text window.
  void typed(TextWindow& window, const QKeyEvent& event);
  int beep_count() const { return beeps_; }

  // --- Paste ---------------------------------------------------------------------------
  // Into the active text window.
  void paste();
  void clear_paste();
  bool can_paste() const;  // no paste under way and text on the clipboard
  bool paste_under_way() const { return !paste_.empty(); }
  // The window closes: a paste into it ends.
  void window_closing(int number);

 private:
  void type_key(TextWindow& window, const QKeyEvent& event);
  void erase_typed(TextWindow& window);
  void show_effect(TextWindow& window, const TypedLine::Effect& effect);
  void echo(TextWindow& window, const std::string& text);
  void complete_line();
  void feed_paste();
  void beep();

  InputFrame& frame_;
  PauseGate& gate_;
  LineHandoff& handoff_;
  TypedLine typed_;
  int pending_read_ = 0;  // the window a read waits in, 0 for none
  PasteQueue paste_;
  int beeps_ = 0;
};

}  // namespace zuna
