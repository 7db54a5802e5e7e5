// The host seam: what the run-time needs from the program's surroundings.
// The windowed program, the console program and the tests' recording host
// implement it. All texts crossing it are Windows-1252 bytes; a host converts
// them where its screen needs Unicode.
//
// Every call is made on the computation thread; a windowed host forwards it to
// its GUI thread and blocks until it is answered.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zuna {

// A run-time error as the report shows it.
struct RuntimeErrorReport {
  char letter = 'F';       // 'F', or 'M' for math errors
  int number = 0;          // 6000..6999
  std::string tag;         // statement tag, for example ": WRITE("
  bool tag_opens_paren = false;  // the tags of I/O statements open a parenthesis
  std::string file_name;   // file of the statement's unit, may be empty
  std::string message;     // message text, may be empty

  // "F6xxx" + tag [+ ")"] [+ " - " + message]: the text of the message box.
  std::string box_text() const;
  // "\r\nrun-time error F6xxx" + tag + file name + ")\r\n- " + message + "\r\n".
  std::string console_text() const;
};

enum class MessageIcon { none, information, warning, error };
enum class MessageButtons { ok, yes_no };
enum class MessageAnswer { ok, yes, no };

// The on-screen controls of a displayed dialog, addressed by identifier (the
// first control with that identifier). Implemented by the hosts.
class DialogWindow {
 public:
  virtual void set_text(int id, std::string_view text) = 0;  // window text
  virtual std::string get_text(int id) = 0;                  // at most 255 characters
  virtual void set_enabled(int id, bool enabled) = 0;
  virtual bool is_enabled(int id) = 0;
  virtual void set_check(int id, bool checked) = 0;
  virtual bool get_check(int id) = 0;
  virtual void set_scroll_range(int id, int low, int high) = 0;
  virtual void set_scroll_pos(int id, int pos) = 0;
  virtual int get_scroll_pos(int id) = 0;
  virtual int get_scroll_range_max(int id) = 0;
  // List boxes, combo boxes and drop-down lists; entries 0-based.
  virtual void list_reset(int id) = 0;
  virtual void list_add(int id, std::string_view text) = 0;
  virtual int list_count(int id) = 0;
  virtual std::string list_text(int id, int index) = 0;
  virtual void list_set_selected(int id, int index, bool selected) = 0;
  virtual bool list_selected(int id, int index) = 0;
  virtual void combo_set_current(int id, int index) = 0;
  virtual int combo_current(int id) = 0;  // -1 when nothing is selected
  // Ends the modal run (the dialog disappears once the handler returns).
  virtual void end_dialog(int result) = 0;

 protected:
  ~DialogWindow() = default;
};

// Notification codes a host sends with dialog_command.
inline constexpr int kBnClicked = 0;
inline constexpr int kLbnSelChange = 1;
inline constexpr int kLbnDblClk = 2;
inline constexpr int kCbnEditChange = 5;
inline constexpr int kCbnEditUpdate = 6;
inline constexpr int kEnChange = 0x300;
inline constexpr int kEnUpdate = 0x400;
// Scroll requests for dialog_scroll.
enum ScrollRequest : int {
  kSbLineUp = 0, kSbLineDown = 1, kSbPageUp = 2, kSbPageDown = 3,
  kSbThumbPosition = 4, kSbThumbTrack = 5, kSbTop = 6, kSbBottom = 7, kSbEndScroll = 8
};

// The dialog manager's side of a displayed dialog. The host calls it on the
// thread that runs the dialog on screen, while the computation waits.
class DialogController {
 public:
  virtual void dialog_opened(DialogWindow& window) = 0;       // the dialog is on screen
  virtual bool dialog_command(int id, int notification) = 0;  // a control's command
  virtual void dialog_scroll(int id, int request, int thumb) = 0;

 protected:
  ~DialogController() = default;
};

class Host {
 public:
  virtual ~Host() = default;

  // Text windows. Window numbers are 1024 + slot (0..39); -1 means failure.
  virtual int text_window_open(std::string_view title) = 0;  // empty: "Graphic" + n
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

  // Runs a dialog modally from its binary template. Answers -1 when the dialog
  // cannot be created, otherwise the value passed to end_dialog.
  virtual int run_dialog_modal(std::span<const std::uint8_t> dialog_template,
                               DialogController& controller) = 0;
};

}  // namespace zuna
