// The rest of a paste under way. A paste belongs to the window it was pasted
// into and is fed only to the reads of that window, line by line: a line end
// completes the read, and the rest waits for the next read there. One per
// frame, used on the GUI thread only.
//
// Invariant: window() is 0 exactly when nothing is left to feed.
#pragma once

#include <string>

namespace zuna {

class PasteQueue {
 public:
  bool empty() const { return text_.empty(); }
  int window() const { return window_; }
  // True when the rest goes to a read waiting in `window`.
  bool feeds(int window) const { return window != 0 && window == window_; }

  // Starts a paste of Windows-1252 text into a window. False, and nothing
  // changes, while another paste is under way or the text is empty.
  bool start(std::string text, int window);
  void clear();

  // The next character, taken away; CR LF, CR and LF all come as one '\n'.
  // Only while !empty().
  char take();

 private:
  std::string text_;
  std::size_t used_ = 0;  // characters of text_ already taken
  int window_ = 0;
};

}  // namespace zuna
