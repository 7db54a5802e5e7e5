#include "fio/format-record.h"

#include <algorithm>
#include <cstring>

namespace zuna {

bool FormatRecord::prepare(std::int64_t count) {
  if (count > kMaxRecordLength - position_) {
    return false;
  }
  auto needed = static_cast<std::size_t>(position_ + count);
  if (storage_.size() < needed) {
    storage_.resize(
        std::max(needed, std::min<std::size_t>(2 * storage_.size() + 64, kMaxRecordLength)));
  }
  if (position_ > length_) {
    std::memset(storage_.data() + length_, ' ', static_cast<std::size_t>(position_ - length_));
    length_ = position_;
  }
  return true;
}

bool FormatRecord::write(std::string_view text) {
  auto count = static_cast<std::int64_t>(text.size());
  if (count == 0) {
    return true;  // nothing is written beyond the passed-over columns
  }
  if (!prepare(count)) {
    return false;
  }
  std::memcpy(storage_.data() + position_, text.data(), text.size());
  position_ += count;
  length_ = std::max(length_, position_);
  return true;
}

bool FormatRecord::write_repeated(char c, std::int64_t count) {
  if (count <= 0) {
    return true;
  }
  if (!prepare(count)) {
    return false;
  }
  std::memset(storage_.data() + position_, c, static_cast<std::size_t>(count));
  position_ += count;
  length_ = std::max(length_, position_);
  return true;
}

void FormatRecord::move_right(std::int64_t columns) {
  // Held just past the limit: the next write then fails instead of the
  // position overflowing.
  position_ = std::min(position_ + std::max<std::int64_t>(columns, 0), kMaxRecordLength + 1);
}

void FormatRecord::move_left(std::int64_t columns) {
  position_ = std::max<std::int64_t>(position_ - std::max<std::int64_t>(columns, 0), 0);
}

void FormatRecord::tab_to(std::int64_t column) {
  position_ = std::min(std::max<std::int64_t>(column - 1, 0), kMaxRecordLength + 1);
}

}  // namespace zuna
