// The console program's host: the terminal stands for every text window.
//
// - A window unit's output goes to standard output. When a window opens, and
//   when its output resumes after something else was shown, a title line
//   "--- TITLE ---" stands on a line of its own; the default window (1024)
//   has no title line.
// - A read takes one line of standard input, at most 128 characters of it as
//   a window's input line does. When the input is a script (not
//   the terminal that shows the output), the line end that the user's Enter
//   would have echoed is written, so a transcript reads like a terminal
//   session.
// - Dialogs are text forms (text-form.h), shown after "=== CAPTION ===".
// - Message boxes and run-time errors go to standard error.
// - End of standard input while the program waits for an answer ends the
//   program with exit code 1 after a message on standard error; files already
//   closed stay complete, files still open keep their earlier contents.
// - A failure to write standard output (a full disk, a closed pipe's end)
//   makes the exit code 1, with a message on standard error.
// - There is no pause: the gate is always open.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "dialogs/dialog-host.h"
#include "fio/host.h"
#include "host/console/terminal.h"

namespace zuna {

class ConsoleHost : public Host, public DialogHost {
 public:
  // Standard output, input and error unless told otherwise (the tests).
  ConsoleHost(std::FILE* out = stdout, std::FILE* in = stdin, std::FILE* err = stderr);

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

  // The exit code of the program once its output has been written out: 1
  // with a message on standard error when standard output refused it.
  int finish(int exit_code);

 private:
  static constexpr int kFirstWindow = 1024;
  static constexpr int kSlots = 40;
  static constexpr int kNoWindow = -1;
  static constexpr std::size_t kLineCapacity = 128;

  struct Window {
    bool taken = false;  // the slot holds a window
    bool open = false;   // its unit is connected (a kept window is taken, not open)
    std::string title;
  };

  Window* open_window(int number);
  void show(int window);
  std::string read_answer();
  [[noreturn]] void end_of_input();
  void write_error(std::string_view cp1252);

  TerminalOutput out_;
  TerminalInput in_;
  TerminalOutput err_;
  std::array<Window, kSlots> windows_;
  int shown_ = kFirstWindow;  // window whose output stands last on the terminal
  std::string left_over_;     // typed characters a read did not take yet
};

}  // namespace zuna
