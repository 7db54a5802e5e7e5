// A text window: the frame's child window that stands for a unit. It paints
// its virtual screen (TextView), turns keys into commands or typed input for
// its owner, carries out the selection commands, and refuses to close until
// its unit has been closed with keep.
#pragma once

#include <QMdiSubWindow>
#include <memory>

#include "host/qt/text-view.h"

namespace zuna {

class TextWindow;
struct TextWindowState;

// The frame's side of its text windows.
class TextWindowOwner {
 public:
  virtual void window_command(int command) = 0;  // a key that stands for a menu command
  virtual bool window_command_enabled(int command) = 0;
  virtual void window_typed(TextWindow& window, QKeyEvent* event) = 0;  // input for a read
  virtual void window_selection_changed(TextWindow& window) = 0;
  virtual void window_closed(int number) = 0;  // the user closed a kept window

 protected:
  ~TextWindowOwner() = default;
};

class TextWindow : public QMdiSubWindow {
  Q_OBJECT

 public:
  TextWindow(std::shared_ptr<TextWindowState> state, const QString& title, TextWindowOwner& owner,
             QWidget* parent = nullptr);

  int number() const;
  const std::shared_ptr<TextWindowState>& state() const { return state_; }
  TextView* view() const { return view_; }

  const QString& title() const { return title_; }  // without prefix and suffix
  // The unit was closed with keep: "-Closed" is appended and the user may
  // close the window from now on.
  void mark_closed();
  bool kept() const { return kept_; }

  // Selection: Mark Text / Mark Graphics until an area is marked, then
  // Select Text / Select Graphics; ending it puts the plain title back.
  void begin_selection(SelectionMode mode);
  void select_all();
  void end_selection();
  bool selecting() const { return view_->selection_mode() != SelectionMode::none; }
  bool has_selection() const { return view_->has_marked_area(); }
  // Puts the marked area on the clipboard: text for a text selection, a
  // bitmap for a graphics one.
  void copy_selection();

  void set_input_pending(bool pending);
  void refresh_title();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void handle_key(QKeyEvent* event);

  std::shared_ptr<TextWindowState> state_;
  TextWindowOwner& owner_;
  TextView* view_;
  QString title_;
  bool kept_ = false;
};

}  // namespace zuna
