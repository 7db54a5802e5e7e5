#include "host/qt/line-handoff.h"

namespace zuna {

void LineHandoff::complete(std::string line) {
  {
    std::lock_guard lock(mutex_);
    line_ = std::move(line);
  }
  completed_.notify_all();
}

void LineHandoff::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  completed_.notify_all();
}

std::optional<std::string> LineHandoff::wait() {
  std::unique_lock lock(mutex_);
  completed_.wait(lock, [this] { return closed_ || line_.has_value(); });
  if (closed_) {
    return std::nullopt;
  }
  std::optional<std::string> line = std::move(line_);
  line_.reset();
  return line;
}

std::optional<std::string> LineHandoff::take() {
  std::lock_guard lock(mutex_);
  std::optional<std::string> line = std::move(line_);
  line_.reset();
  return line;
}

bool LineHandoff::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

}  // namespace zuna
