// The frame: the program's main window with its client area of text
// windows, the menu bar, the status bar with the run state and the status
// message, and everything the GUI thread does for the computation (text
// windows, typed lines, boxes, dialogs, file selection). Only the GUI thread
// calls it; QtHost forwards the computation's requests here.
//
// The frame composes its parts, each with one job:
//   FrameMenus       the menus and commands, made from the command table
//                    (frame-menus.h, command-table.h)
//   InputController  pause and selection, the typed line and the paste
//                    (input-controller.h)
//   ProgramItems     the program's own menu "Cálculo" and the thread of its
//                    items (program-items.h, program-thread.h)
// and keeps for itself:
//   frame-window.cpp    construction, status bar, text windows, full screen,
//                       closing
//   frame-messages.cpp  message boxes, dialogs, file selection, end of run
#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>
#include <span>

#include "dialogs/dialog-host.h"
#include "fio/host.h"
#include "host/qt/glyph-atlas.h"
#include "host/qt/host-error.h"
#include "host/qt/input-controller.h"
#include "host/qt/program-items.h"
#include "host/qt/status-message.h"
#include "host/qt/text-screen.h"
#include "host/qt/text-window.h"

class QLabel;
class QMdiArea;

namespace zuna {

class FrameMenus;
class LineHandoff;
class PauseGate;
class WindowTable;

struct FrameOptions {
  QString program_name = QStringLiteral("zuna4");
  QSize screen_size;      // [px]; empty: the primary screen's
  int screen_depth = 0;   // [bits per pixel]; 0: the primary screen's
  QString settings_file;  // empty: the per-user settings file of the program
};

class FrameWindow : public QMainWindow, public TextWindowOwner, public InputFrame {
  Q_OBJECT

 public:
  FrameWindow(const FrameOptions& options, WindowTable& table, PauseGate& gate,
              LineHandoff& handoff);
  ~FrameWindow() override;

  // Maximised when the profile setting CRVNMaximized is non-zero.
  void show_at_start();
  bool starts_maximized() const;
  const QString& program_name() const { return program_name_; }
  void set_about_text(const QString& text) { about_text_ = text.left(512); }
  const QString& about_text() const { return about_text_; }

  // --- Components --------------------------------------------------------------------
  FrameMenus& menus() { return *menus_; }
  const FrameMenus& menus() const { return *menus_; }
  InputController& input() { return input_; }
  const InputController& input() const { return input_; }
  ProgramItems& program_items() { return program_items_; }
  const ProgramItems& program_items() const { return program_items_; }
  QMdiArea* client_area() const { return mdi_; }

  // --- Text windows -----------------------------------------------------------
  // A hidden child window in the first free slot: its number, or -1.
  int open_text_window(const QString& title);
  // Configures and shows a window on its first output or input. False when
  // the number names no window.
  bool configure_window(int number) override;
  void close_text_window(int number, bool keep);
  TextWindow* text_window(int number) const override;
  TextWindow* active_text_window() const override;
  void activate_window(int number) override;
  int active_window_number() const;  // 0 when no text window is active
  const TextConfig& text_config() const { return config_; }
  // The active text window alone on the whole screen, and back.
  void toggle_full_screen();

  // --- Status bar ----------------------------------------------------------------
  void set_status_message(const QString& text) override;
  void show_run_state() override;  // after the run state changed
  QString run_state_pane() const;
  QString message_pane() const;

  // --- Boxes and dialogs (modal; the computation waits) ---------------------------
  MessageAnswer message_box(const QString& caption, const QString& text, MessageIcon icon,
                            MessageButtons buttons, MessageAnswer default_answer);
  void show_runtime_error(const QString& text);
  // "Program Terminated with exit code N" / "Exit Window?": true for Yes.
  bool ask_exit_window(int exit_code);
  // The file dialog for a unit opened with a blank name: the file chosen, or
  // nothing when the user cancelled. What follows a cancel (the question
  // whether to end the program) is the run-time's to ask.
  std::optional<QString> select_file(int unit);
  int run_dialog(std::span<const std::uint8_t> dialog_template, DialogController& controller);
  void show_host_error(HostErrorLevel level, int code, const char* file, int line);

  bool closing() const { return closing_; }

 signals:
  void closed();       // the frame closed: the process ends
  void fatal_error();  // a fatal host error was shown

 public slots:
  // Queued by the computation after it drew into windows.
  void repaint_text_windows();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // TextWindowOwner
  void window_command(int command) override;
  bool window_command_enabled(int command) override;
  void window_typed(TextWindow& window, QKeyEvent* event) override;
  void window_selection_changed(TextWindow& window) override;
  void window_closed(int number) override;
  // InputFrame
  void update_menus() override;

  void create_client_area();
  void create_status_bar();
  void configure_text_windows();

  const FrameOptions options_;
  const QString program_name_;
  WindowTable& table_;
  PauseGate& gate_;

  QMdiArea* mdi_ = nullptr;
  QLabel* run_state_label_ = nullptr;
  QLabel* message_label_ = nullptr;
  StatusMessage status_;
  QString about_text_;

  TextConfig config_;
  std::shared_ptr<const GlyphAtlas> atlas_;

  InputController input_;
  ProgramItems program_items_;
  std::unique_ptr<FrameMenus> menus_;

  bool full_screen_ = false;
  bool was_maximized_ = false;
  bool status_bar_was_visible_ = true;
  QPointer<TextWindow> full_screen_window_;
  bool closing_ = false;
};

}  // namespace zuna
