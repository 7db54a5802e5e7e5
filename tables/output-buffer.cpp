#include "tables/output-buffer.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace zuna::tables {

bool DescriptorSink::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      error_ = errno;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

OutputBuffer::OutputBuffer(ByteSink& sink, std::size_t capacity)
    : sink_(sink), data_(new char[std::max(capacity, kMaxRoom)]) {
  begin_ = at_ = data_.get();
  end_ = begin_ + std::max(capacity, kMaxRoom);
}

void OutputBuffer::put(std::string_view text) {
  while (!text.empty()) {
    const std::size_t n = std::min(text.size(), kMaxRoom);
    char* to = room(n);
    std::copy_n(text.data(), n, to);
    at_ = to + n;
    text.remove_prefix(n);
  }
}

bool OutputBuffer::flush() {
  if (ok_ && at_ != begin_) {
    ok_ = sink_.write(std::string_view(begin_, static_cast<std::size_t>(at_ - begin_)));
  }
  at_ = begin_;  // after a failure the bytes are dropped
  return ok_;
}

void OutputBuffer::make_room(std::size_t /*n*/) {
  // The capacity is at least kMaxRoom, so an empty buffer always has room.
  flush();
}

}  // namespace zuna::tables
