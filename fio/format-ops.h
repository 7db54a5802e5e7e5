// The translated form of a format text: a plain byte sequence of small
// operations, written once by the translator and read by the walker.
//
// Every operation is one opcode byte followed by its operands. A number
// operand takes one byte when it lies in -120..120 and otherwise the marker
// byte kWideNumber followed by the value's four bytes (least significant
// first), so the common formats stay a few dozen bytes long.
//
//   literal       n, then n text bytes (delimiters already undoubled)
//   move_right    n          nX, TRn
//   move_left     n          TLn
//   tab_to        n          Tn (column n, 1-based)
//   record_end    n          / and n/
//   scale         k          kP
//   sign_mode     SignMode   S, SP, SS
//   blank_mode    0 or 1     BN, BZ
//   colon
//   suppress_end             \ and $
//   group_start   r          "r(" ; the group's body follows
//   group_end                the ")" of an inner group
//   data          descriptor, variation, r, w, d, e
//   q_edit                   Q: input only, does nothing on output
//   end           reversion offset, has-data byte
//   error         IoError code
//
// The list always ends with an `end` or an `error` operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zuna {

enum class FormatOp : std::uint8_t {
  literal,
  move_right,
  move_left,
  tab_to,
  record_end,
  scale,
  sign_mode,
  blank_mode,
  colon,
  suppress_end,
  group_start,
  group_end,
  data,
  q_edit,
  end,
  error,
};

enum class SignMode : std::uint8_t { processor = 0, plus = 1, suppress = 2 };

inline constexpr int kSmallNumberLimit = 120;
inline constexpr std::uint8_t kWideNumber = 0x7F;

// Appends operations to a growing byte list.
class FormatOpWriter {
 public:
  explicit FormatOpWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  std::size_t offset() const { return out_.size(); }
  void op(FormatOp op) { out_.push_back(static_cast<std::uint8_t>(op)); }
  void byte(std::uint8_t value) { out_.push_back(value); }
  void number(std::int32_t value) {
    if (value >= -kSmallNumberLimit && value <= kSmallNumberLimit) {
      out_.push_back(static_cast<std::uint8_t>(static_cast<std::int8_t>(value)));
      return;
    }
    out_.push_back(kWideNumber);
    auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
      out_.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
  }
  void text(const char* data, std::size_t length) { out_.insert(out_.end(), data, data + length); }

 private:
  std::vector<std::uint8_t>& out_;
};

// Reads operations back. The writer is trusted: the list is well formed.
class FormatOpReader {
 public:
  FormatOpReader(const std::uint8_t* begin, std::size_t offset)
      : begin_(begin), at_(begin + offset) {}

  std::size_t offset() const { return static_cast<std::size_t>(at_ - begin_); }
  void jump(std::size_t offset) { at_ = begin_ + offset; }
  FormatOp op() { return static_cast<FormatOp>(*at_++); }
  std::uint8_t byte() { return *at_++; }
  std::int32_t number() {
    std::uint8_t first = *at_++;
    if (first != kWideNumber) {
      return static_cast<std::int8_t>(first);
    }
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
      bits |= static_cast<std::uint32_t>(*at_++) << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
  }
  const char* text(std::size_t length) {
    const char* start = reinterpret_cast<const char*>(at_);
    at_ += length;
    return start;
  }

 private:
  const std::uint8_t* begin_;
  const std::uint8_t* at_;
};

}  // namespace zuna
