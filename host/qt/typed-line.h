// The line being typed for a pending read. One per host: only one read waits
// at a time. Edited on the GUI thread; the echo goes to the reading window's
// screen through the caller.
#pragma once

#include <string>
#include <string_view>

namespace zuna {

class TypedLine {
 public:
  static constexpr std::size_t kCapacity = 128;  // characters of one typed line
  static constexpr std::size_t kTabWidth = 8;    // blanks a Tab appends
  static constexpr std::size_t kTabLimit = 126;  // a Tab stops appending here

  // What one key did: the characters to echo, and whether to beep.
  struct Effect {
    std::string echo;
    bool beep = false;
  };

  void clear() { text_.clear(); }
  const std::string& text() const { return text_; }

  // A printable character: appended while the line holds fewer than 128.
  Effect type(char c);
  // Tab: up to 8 blanks, stopping with a beep once the line holds 126.
  Effect tab();
  // Backspace: removes the last character (the caller erases its echo);
  // false when the line is empty.
  bool backspace();

 private:
  std::string text_;
};

// The characters of a completed line not yet delivered: a read that asks for
// fewer than were typed leaves the rest for the next read, which takes them
// without waiting.
class LeftOver {
 public:
  bool empty() const { return text_.empty(); }
  void keep(std::string_view rest) { text_.assign(rest); }
  // Delivers min(left over, capacity) characters into buffer; answers the count.
  int deliver(char* buffer, int capacity);

 private:
  std::string text_;
};

}  // namespace zuna
