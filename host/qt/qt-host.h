// The windowed host: zuna::Host on Qt Widgets.
//
// Two threads meet here. The GUI thread owns the frame and every widget; the
// computation thread runs the program and calls the Host operations, which
// forward each request to the GUI thread (GuiCaller) and block until it is
// answered. Output is the exception: the computation draws the text into the
// window's off-screen image itself, under the window's drawing lock, and
// only asks the GUI thread, without waiting, to repaint.
//
// Closing the frame (Exit, Ctrl+C, the close box, Yes at the end) wakes a
// computation blocked anywhere in the host; the host call then throws
// ProgramExit, so the computation thread unwinds and ends.
#pragma once

#include <QObject>
#include <QString>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "dialogs/dialog-host.h"
#include "fio/host.h"
#include "host/qt/frame-window.h"
#include "host/qt/gui-caller.h"
#include "host/qt/line-handoff.h"
#include "host/qt/pause-gate.h"
#include "host/qt/typed-line.h"
#include "host/qt/window-table.h"

namespace zuna {

// End-of-run modes.
enum class EndOfRunMode { ask = 1, close = 2, keep = 3 };

// The program's name: the program file's name without folder and extension,
// or "zuna4" when there is none.
QString program_name_from_path(const char* argv0);

class QtHost final : public QObject, public Host, public DialogHost {
  Q_OBJECT

 public:
  // On the GUI thread, after the QApplication: builds the frame, its menus,
  // status bar and window table, and opens the hidden default window 1024.
  explicit QtHost(const FrameOptions& options);
  ~QtHost() override;

  // Starts the computation thread at below-normal priority. The computation
  // runs inside a handler that takes ProgramExit as the program's end.
  void start(std::function<void()> computation);
  // After the GUI's event loop: closes what is still open, lets the
  // computation thread end and answers the process's exit code. A
  // computation that cannot end (blocked in an external command) is left
  // behind and the process ends at once with the code.
  int finish();

  FrameWindow& frame() { return *frame_; }
  PauseGate& gate() { return gate_; }
  int exit_code() const;
  bool computation_ended() const;
  // Waits until the computation thread has ended; false on time-out.
  bool wait_for_computation(std::chrono::milliseconds limit);

  void set_end_of_run_mode(EndOfRunMode mode);
  void set_about_text(const QString& text);

  // --- Host ---------------------------------------------------------------------
  int text_window_open(std::string_view title) override;
  int text_window_write(int window, std::string_view text) override;
  int text_window_read_line(int window, char* buffer, int capacity) override;
  void text_window_close(int window, bool keep) override;
  void set_status_message(std::string_view text) override;
  MessageAnswer message_box(std::string_view caption, std::string_view text, MessageIcon icon,
                            MessageButtons buttons, MessageAnswer default_answer) override;
  void report_runtime_error(const RuntimeErrorReport& report) override;
  void end_of_run(int exit_code) override;
  void pause_gate() override;
  std::optional<std::string> select_file(int unit) override;
  int run_dialog_modal(std::span<const std::uint8_t> dialog_template,
                       DialogController& controller) override;

  // The window that output went to last, 0 when none.
  int current_output_window() const;

 private:
  // Runs fn on the GUI thread; throws ProgramExit when the host is closing.
  void on_gui(const std::function<void()>& fn);
  [[noreturn]] void closing_exit();
  void shut_down();
  void computation_main(const std::function<void()>& computation);

  PauseGate gate_;
  LineHandoff handoff_;
  WindowTable table_;
  GuiCaller caller_;
  std::unique_ptr<FrameWindow> frame_;

  mutable std::mutex mutex_;  // guards the fields below
  std::condition_variable ended_;
  int exit_code_ = 0;
  bool computation_ended_ = false;
  EndOfRunMode end_of_run_mode_ = EndOfRunMode::ask;
  int current_output_ = 0;

  LeftOver left_over_;  // computation thread only
  std::thread thread_;
};

}  // namespace zuna
