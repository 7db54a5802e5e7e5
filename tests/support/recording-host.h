// A host for the tests: text windows are kept in memory, reads are answered
// from scripted lines, dialogs are run by a scripted function, and every call
// is recorded.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/control-states.h"
#include "dialogs/dialog-host.h"
#include "fio/host.h"

namespace zuna::testing {

// The on-screen controls of a dialog, kept in memory by identifier. The first
// use of an identifier makes its control.
class MemoryDialogWindow : public ControlStates {
 public:
  void end_dialog(int result) override;

  std::map<int, ControlState> controls;
  bool ended = false;
  int result = 0;

 protected:
  ControlState* control(int id) override { return &controls[id]; }
};

// What a scripted dialog does once it is on screen: edit controls and send
// commands through the controller, as a user would.
using DialogScript = std::function<void(MemoryDialogWindow& window, DialogController& controller)>;

class RecordingHost : public Host, public DialogHost {
 public:
  RecordingHost();

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

  struct Window {
    std::string title;
    std::string output;  // everything written, in order
    bool open = true;
    bool kept = false;
  };

  // Scripted answers.
  std::deque<std::string> input_lines;      // one per read_line
  std::deque<DialogScript> dialog_scripts;  // one per modal run
  std::deque<std::optional<std::string>> file_selections;
  std::deque<MessageAnswer> message_answers;  // else the default answer

  // What happened.
  std::vector<std::string> events;  // "open 1025 title", "write 1025 text", "read 1025", ...
  std::map<int, Window> windows;    // by window number, 1024 is the default window
  std::vector<RuntimeErrorReport> errors;
  std::vector<std::string> message_boxes;  // caption + "|" + text
  std::optional<int> exit_code;
  int pause_count = 0;
  std::string status_message;                // the last one set
  std::vector<std::string> status_messages;  // every one set, in order

  // Output of one window, or of the default window.
  const std::string& output(int window = 1024) const;
  // A dialog that is not scripted presses the default button (identifier 1).
  static void press_ok(MemoryDialogWindow& window, DialogController& controller);
};

}  // namespace zuna::testing
