// The host seam: what the run-time needs from the program's surroundings.
// The windowed program, the console program and the tests' recording host
// implement it; they implement the dialog layer's seam (dialogs/dialog-host.h)
// beside it. All texts crossing it are Windows-1252 bytes; a host converts
// them where its screen needs Unicode.
//
// Every call is made on the computation thread; a windowed host forwards it to
// its GUI thread and blocks until it is answered.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zuna {

// A run-time error as the report shows it.
struct RuntimeErrorReport {
  char letter = 'F';             // 'F', or 'M' for math errors
  int number = 0;                // 6000..6999
  std::string tag;               // statement tag, for example ": WRITE("
  bool tag_opens_paren = false;  // the tags of I/O statements open a parenthesis
  std::string file_name;         // file of the statement's unit, may be empty
  std::string message;           // message text, may be empty

  // "F6xxx" + tag [+ ")"] [+ " - " + message]: the text of the message box.
  std::string box_text() const;
  // "\r\nrun-time error F6xxx" + tag + file name + ")\r\n- " + message + "\r\n".
  std::string console_text() const;
};

enum class MessageIcon { none, information, warning, error };
enum class MessageButtons { ok, yes_no };
enum class MessageAnswer { ok, yes, no };

class Host {
 public:
  virtual ~Host() = default;

  // Text windows. Window numbers are 1024 + slot (0..39); -1 means failure.
  virtual int text_window_open(std::string_view title) = 0;              // empty: "Graphic" + n
  virtual int text_window_write(int window, std::string_view text) = 0;  // length or -1
  // Waits until a line is typed in the window; copies at most `capacity`
  // characters (left-over characters wait for the next read). Answers the
  // count delivered, or -1 for a window number that names no window.
  virtual int text_window_read_line(int window, char* buffer, int capacity) = 0;
  virtual void text_window_close(int window, bool keep) = 0;
  virtual int default_window() const { return 1024; }

  // The status message beside the run state (empty clears it).
  virtual void set_status_message(std::string_view text) = 0;

  virtual MessageAnswer message_box(std::string_view caption, std::string_view text,
                                    MessageIcon icon, MessageButtons buttons,
                                    MessageAnswer default_answer) = 0;

  // Shows a run-time error (the windowed host: a message box captioned
  // "run-time error "; the console host: the console form on standard error).
  virtual void report_runtime_error(const RuntimeErrorReport& report) = 0;

  // The computation has ended with this exit code. Returns when the host no
  // longer needs the computation thread.
  virtual void end_of_run(int exit_code) = 0;

  // Blocks while the user has paused the computation.
  virtual void pause_gate() = 0;

  // A file name for a unit opened with a blank name when no command-line
  // argument is left; nothing when the user cancelled. The host asks nothing
  // more: the run-time owns the question whether to end the program then.
  virtual std::optional<std::string> select_file(int unit) = 0;
};

}  // namespace zuna
