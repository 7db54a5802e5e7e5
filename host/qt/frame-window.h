// The frame: the program's main window with its client area of text
// windows, the menu bar, the status bar with the run state and the status
// message, and everything the GUI thread does for the computation (text
// windows, typed lines, boxes, dialogs, file selection). Only the GUI thread
// calls it; QtHost forwards the computation's requests here.
//
// One class, its implementation spread by concern:
//   frame-window.cpp    construction, menus, status bar, text windows, closing
//   frame-commands.cpp  the menu commands and the keys that stand for them
//   frame-input.cpp     pause and selection, the typed line and the paste
//   frame-messages.cpp  message boxes, dialogs, file selection, end of run
//   frame-program.cpp   the program's own menu "Cálculo" and its items
#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <map>
#include <memory>
#include <optional>
#include <span>

#include "dialogs/dialog-host.h"
#include "dialogs/dialog-template.h"
#include "fio/host.h"
#include "host/qt/glyph-atlas.h"
#include "host/qt/host-error.h"
#include "host/qt/paste-queue.h"
#include "host/qt/status-message.h"
#include "host/qt/text-screen.h"
#include "host/qt/text-window.h"
#include "host/qt/typed-line.h"

class QLabel;
class QMdiArea;
class QMenu;

namespace zuna {

class HelpViewer;
class LineHandoff;
class PauseGate;
class WindowTable;

struct FrameOptions {
  QString program_name = QStringLiteral("zuna4");
  QSize screen_size;      // [px]; empty: the primary screen's
  int screen_depth = 0;   // [bits per pixel]; 0: the primary screen's
  QString settings_file;  // empty: the per-user settings file of the program
};

class FrameWindow : public QMainWindow, public TextWindowOwner {
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

  // --- Text windows -----------------------------------------------------------
  // A hidden child window in the first free slot: its number, or -1.
  int open_text_window(const QString& title);
  // Configures and shows a window on its first output or input. False when
  // the number names no window.
  bool configure_window(int number);
  void close_text_window(int number, bool keep);
  // A read waits in this window: the typed line starts. False when the
  // number names no window.
  bool begin_read(int number);
  TextWindow* text_window(int number) const;
  TextWindow* active_text_window() const;
  void activate_window(int number);
  int active_window_number() const;  // 0 when no text window is active
  int pending_read_window() const { return pending_read_; }
  const TextConfig& text_config() const { return config_; }

  // --- Status bar ----------------------------------------------------------------
  void set_status_message(const QString& text);
  void show_run_state();  // after the run state changed
  QString run_state_pane() const;
  QString message_pane() const;

  // --- Commands ------------------------------------------------------------------
  void run_command(int command);
  bool command_enabled(int command) const;
  QAction* command_action(int command) const;
  bool help_mode() const { return help_mode_; }
  // The results menu while it leaves the menu "Cálculo" usable, or null.
  QDialog* open_results_menu() const { return results_menu_view_.data(); }
  HelpViewer* help_viewer() const;

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

  int beep_count() const { return beeps_; }
  bool closing() const { return closing_; }

 signals:
  void closed();       // the frame closed: the process ends
  void fatal_error();  // a fatal host error was shown

 public slots:
  // Queued by the computation after it drew into windows.
  void repaint_text_windows();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // TextWindowOwner
  void window_command(int command) override;
  bool window_command_enabled(int command) override;
  void window_typed(TextWindow& window, QKeyEvent* event) override;
  void window_selection_changed(TextWindow& window) override;
  void window_closed(int number) override;

  // The frame and its menus (frame-window.cpp)
  void create_client_area();
  void create_actions();
  void create_menus();
  void create_status_bar();
  void configure_text_windows();
  void update_menus();
  void update_window_menu();
  QAction* make_command(const QString& text, int command, bool checkable = false);
  void add_commands(QMenu* menu, std::initializer_list<int> commands);

  // The commands (frame-commands.cpp)
  struct CommandHandler;
  static const CommandHandler* find_command(int command);
  void menu_command(int command);
  void show_menu_help(int command);
  void exit_program();
  void cascade();
  void tile();
  void arrange_icons();
  void toggle_status_bar();
  void show_contents();
  void show_using_help();
  HelpViewer& help();
  void about();
  void toggle_size_to_fit();
  void toggle_full_screen();
  void print();
  void save();
  QImage image_copy(TextWindow& window);

  // The program's own menu (frame-program.cpp)
  void create_program_menu();
  void update_program_menu();
  bool program_item_enabled(int command) const;
  void rocket_performance();
  void rocket_plot();
  void rocket_listing();
  void run_program_item(void (*item)());
  int run_dialog_beside_menu(const DialogTemplate& dialog, DialogController& controller);

  // Pause, selection, typed line and paste (frame-input.cpp)
  void pause();
  void resume();
  void begin_text_selection();
  void begin_graphics_selection();
  void begin_selection(SelectionMode mode);
  void select_all();
  void copy();
  void paste();
  void clear_paste();
  void activate_input_window();
  void type_key(TextWindow& window, const QKeyEvent& event);
  void erase_typed(TextWindow& window);
  void show_effect(TextWindow& window, const TypedLine::Effect& effect);
  void echo(TextWindow& window, const std::string& text);
  void complete_line();
  void feed_paste();
  void beep();

  const FrameOptions options_;
  const QString program_name_;
  WindowTable& table_;
  PauseGate& gate_;
  LineHandoff& handoff_;

  QMdiArea* mdi_ = nullptr;
  QLabel* run_state_label_ = nullptr;
  QLabel* message_label_ = nullptr;
  QMenu* reduced_file_menu_ = nullptr;
  std::vector<QMenu*> full_menus_;
  QMenu* window_menu_ = nullptr;
  QMenu* program_menu_ = nullptr;  // "Cálculo", shown once a calculation has been made
  std::map<int, QAction*> actions_;
  QAction* state_action_ = nullptr;  // Pause or Resume
  QPointer<HelpViewer> help_;

  TextConfig config_;
  std::shared_ptr<const GlyphAtlas> atlas_;
  StatusMessage status_;
  QString about_text_;

  TypedLine typed_;
  int pending_read_ = 0;  // the window a read waits in, 0 for none
  PasteQueue paste_;

  bool help_mode_ = false;
  bool full_screen_ = false;
  bool was_maximized_ = false;
  bool status_bar_was_visible_ = true;
  QPointer<TextWindow> full_screen_window_;
  bool closing_ = false;
  int beeps_ = 0;
  QPointer<QDialog> results_menu_view_;  // see open_results_menu()
  bool program_item_running_ = false;
};

}  // namespace zuna
