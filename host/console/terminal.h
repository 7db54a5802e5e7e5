// The terminal of the console program: Windows-1252 text out as UTF-8, typed
// UTF-8 lines in as Windows-1252.
//
// Output is a stream of the bytes the run-time sends to its text windows,
// whose line ends stand in front of records. Rendering:
//   CR LF          a plain newline
//   LF             a newline
//   CR alone       returns to the start of the line (the next text overwrites)
//   form feed      a newline, so a new page shows as an empty line
//   tab            kept
//   other controls "?", so no text can steer the terminal
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace zuna {

// One output stream with the rendering above.
class TerminalOutput {
 public:
  explicit TerminalOutput(std::FILE* stream);

  void write(std::string_view cp1252);
  // Moves to a fresh line when the current one holds text.
  void begin_line();
  // A whole line on a fresh line.
  void write_line(std::string_view cp1252);
  void flush();
  bool is_terminal() const { return is_terminal_; }
  // The cursor stands after text on the current line.
  bool line_has_text() const { return line_has_text_; }
  // The user's Enter ended the line (its echo, or the newline written for a
  // line that came from a script).
  void line_ended_by_input(bool echoed);
  // The system's reason for the first write that failed, 0 while none did.
  int error() const { return error_; }

 private:
  void emit_pending_return();
  void note_failure();

  std::FILE* stream_;
  bool is_terminal_;
  bool pending_return_ = false;  // a CR whose meaning depends on the next byte
  bool line_has_text_ = false;
  int error_ = 0;
};

// Standard input, one line at a time.
class TerminalInput {
 public:
  explicit TerminalInput(std::FILE* stream);
  // The next line without its line end, in Windows-1252; nothing at the end
  // of input.
  std::optional<std::string> read_line();
  bool is_terminal() const { return is_terminal_; }

 private:
  std::FILE* stream_;
  bool is_terminal_;
};

}  // namespace zuna
