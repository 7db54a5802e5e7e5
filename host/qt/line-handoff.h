// The input event of a pending read: the GUI thread completes the typed line
// and signals; the reading computation thread waits for it. Closing wakes the
// reader with nothing, so a read never keeps the process alive.
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>

namespace zuna {

class LineHandoff {
 public:
  // GUI thread: the line is complete.
  void complete(std::string line);
  // Wakes the reader for good.
  void close();

  // Computation thread: waits for the next completed line; nothing once closing.
  std::optional<std::string> wait();
  // A read on the GUI thread itself polls instead of waiting.
  std::optional<std::string> take();
  bool closed() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable completed_;
  std::optional<std::string> line_;
  bool closed_ = false;
};

}  // namespace zuna
