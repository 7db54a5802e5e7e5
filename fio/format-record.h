// The record being built by a format walk: its text and the position where
// the next character goes.
//
// Positioning (nX, Tn, TLn, TRn) only moves the position. Columns passed over
// become blanks once later text is written beyond them; positions moved over
// at the end of a record, with nothing written after them, add nothing.
// Writing at a position left of the record's end (after TL or T) replaces the
// characters there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zuna {

// The longest record a statement may build. The program's records are at most
// 80 characters and a unit's record length is at most this; the limit keeps a
// runaway format (a huge repeat count of a literal, T2000000000) from growing
// a record without bound.
inline constexpr std::int64_t kMaxRecordLength = 65536;

class FormatRecord {
 public:
  // `storage` is a reusable buffer (it keeps its size from one statement to
  // the next, so building records does not allocate once it has grown).
  explicit FormatRecord(std::string& storage) : storage_(storage) {}

  // Each answers false, writing nothing, when the record would grow beyond
  // kMaxRecordLength.
  bool write(std::string_view text);
  bool write_repeated(char c, std::int64_t count);

  void move_right(std::int64_t columns);
  void move_left(std::int64_t columns);  // not before column 1
  void tab_to(std::int64_t column);      // 1-based; 0 or less means column 1

  std::string_view text() const {
    return std::string_view(storage_.data(), static_cast<std::size_t>(length_));
  }
  void clear() {
    length_ = 0;
    position_ = 0;
  }

 private:
  // Pays the blanks owed up to the position and makes room for `count`
  // characters there; false when that exceeds the limit.
  bool prepare(std::int64_t count);

  std::string& storage_;
  std::int64_t length_ = 0;    // characters in the record
  std::int64_t position_ = 0;  // 0-based column of the next character
};

}  // namespace zuna
