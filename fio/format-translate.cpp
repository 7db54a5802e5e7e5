// Translation of a format text, one item at a time, left to right.
//
// Blanks and tabs are ignored everywhere outside literal text, also between
// the digits of a number and between the letters of a descriptor ("T L5" is
// TL5). Letters are taken without regard to case. Commas between items are
// optional.
#include "fio/format-translate.h"

#include <cstdint>
#include <limits>

#include "fio/format-ops.h"
#include "fio/io-error.h"

namespace zuna {
namespace {

constexpr int kEndOfText = -1;

int upper(int c) {
  if (c >= 'a' && c <= 'z') {
    return c - 'a' + 'A';
  }
  return c;
}

bool is_digit(int c) { return c >= '0' && c <= '9'; }

// A number as written before or inside an item; `present` is false when no
// digit was there.
struct Number {
  bool present = false;
  std::int32_t value = 0;
};

class Translator {
 public:
  Translator(const char* text, std::size_t length, std::vector<std::uint8_t>& ops)
      : text_(text), length_(length), out_(ops) {}

  void run() {
    if (peek() != '(') {
      fail(IoError::format_no_open_paren);
      return;
    }
    ++at_;
    for (;;) {
      Step step = item();
      if (step.error != IoError::ok) {
        fail(step.error);
        return;
      }
      if (step.done) {
        return;
      }
    }
  }

 private:
  struct Step {
    IoError error = IoError::ok;
    bool done = false;
  };

  // The next significant character, upper-cased, without consuming it.
  int peek() {
    while (at_ < length_ && (text_[at_] == ' ' || text_[at_] == '\t')) {
      ++at_;
    }
    if (at_ >= length_) {
      return kEndOfText;
    }
    return upper(static_cast<unsigned char>(text_[at_]));
  }

  // Consumes the next significant character when it is `c`.
  bool accept(int c) {
    if (peek() == c) {
      ++at_;
      return true;
    }
    return false;
  }

  // Reads an unsigned number of at most kMaxNumberDigits digits. A longer one,
  // or one beyond the 32-bit range, is a format error at that digit.
  IoError read_number(Number& number) {
    number = Number{};
    std::int64_t value = 0;
    int digits = 0;
    while (is_digit(peek())) {
      if (++digits > kMaxNumberDigits) {
        return IoError::format_bad_character;
      }
      value = value * 10 + (text_[at_] - '0');
      if (value > std::numeric_limits<std::int32_t>::max()) {
        return IoError::format_bad_character;
      }
      ++at_;
    }
    number.present = digits > 0;
    number.value = static_cast<std::int32_t>(value);
    return IoError::ok;
  }

  // A repeat count must be positive where one is given: a zero count would
  // make a descriptor that never takes an item, and reversion would spin.
  static IoError check_repeat(const Number& repeat) {
    if (repeat.present && repeat.value == 0) {
      return IoError::format_repeat_not_allowed;
    }
    return IoError::ok;
  }

  static std::int32_t repeat_or_one(const Number& repeat) {
    return repeat.present ? repeat.value : 1;
  }

  Step item() {
    int c = peek();
    if (c == ',') {
      ++at_;
      return {};
    }
    // An optional sign, then an optional number: a repeat count, the count
    // of nH, or the scale factor of kP.
    bool negative = false;
    bool signed_number = false;
    if (c == '+' || c == '-') {
      negative = c == '-';
      signed_number = true;
      ++at_;
    }
    Number count;
    if (IoError e = read_number(count); e != IoError::ok) {
      return {e};
    }
    c = peek();
    if (c == 'P') {
      ++at_;
      if (!count.present) {
        return {IoError::format_count_required};
      }
      out_.op(FormatOp::scale);
      out_.number(negative ? -count.value : count.value);
      return {};
    }
    if (signed_number) {
      return {IoError::format_bad_character};
    }
    if (c == kEndOfText) {
      // The text ends before the parenthesis that closes the first one.
      return {IoError::format_bad_character};
    }
    ++at_;
    return after_count(c, count);
  }

  // The item whose first letter or sign `c` has just been consumed, after an
  // optional count.
  Step after_count(int c, const Number& count) {
    switch (c) {
      case '(': return group_start(count);
      case ')': return group_end(count);
      case '\'':
      case '"':
        if (count.present) {
          return {IoError::format_repeat_not_allowed};
        }
        return quoted_literal(static_cast<char>(c));
      case 'H': return counted_literal(count);
      case '/': return repeated(FormatOp::record_end, count);
      case 'X': return repeated(FormatOp::move_right, count);
      default: break;
    }
    if (c == ':' || c == '\\' || c == '$' || c == 'T' || c == 'S' || c == 'Q') {
      if (count.present) {
        return {IoError::format_repeat_not_allowed};
      }
      return unrepeatable(c);
    }
    if (c == 'B' && (peek() == 'N' || peek() == 'Z')) {
      if (count.present) {
        return {IoError::format_repeat_not_allowed};
      }
      out_.op(FormatOp::blank_mode);
      out_.byte(peek() == 'Z' ? 1 : 0);
      ++at_;
      return {};
    }
    return data_descriptor(c, count);
  }

  // "/" and "X": the count is how many times, 1 when not written.
  Step repeated(FormatOp op, const Number& count) {
    if (IoError e = check_repeat(count); e != IoError::ok) {
      return {e};
    }
    out_.op(op);
    out_.number(repeat_or_one(count));
    return {};
  }

  Step group_start(const Number& repeat) {
    if (IoError e = check_repeat(repeat); e != IoError::ok) {
      return {e};
    }
    if (depth_ >= kMaxGroupDepth) {
      return {IoError::format_nesting_too_deep};
    }
    if (depth_ == 0) {
      // The reversion point: the last group opened at the first level,
      // together with its repeat count.
      reversion_ = out_.offset();
    }
    ++depth_;
    out_.op(FormatOp::group_start);
    out_.number(repeat_or_one(repeat));
    return {};
  }

  Step group_end(const Number& repeat) {
    if (repeat.present) {
      return {IoError::format_repeat_not_allowed};
    }
    if (depth_ > 0) {
      --depth_;
      out_.op(FormatOp::group_end);
      return {};
    }
    out_.op(FormatOp::end);
    out_.number(static_cast<std::int32_t>(reversion_));
    // Whether reversion can ever take an item: some data descriptor stands at
    // or after the reversion point.
    out_.byte(last_data_ >= static_cast<std::int64_t>(reversion_) ? 1 : 0);
    return {IoError::ok, true};
  }

  Step quoted_literal(char delimiter) {
    // The length goes before the text in the list, so the undoubled length
    // is counted first.
    std::size_t scan = at_;
    std::size_t count = 0;
    for (;;) {
      if (scan >= length_) {
        return {IoError::format_unclosed_literal};
      }
      if (text_[scan] == delimiter) {
        if (scan + 1 < length_ && text_[scan + 1] == delimiter) {
          scan += 2;
          ++count;
          continue;
        }
        break;
      }
      ++scan;
      ++count;
    }
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      return {IoError::format_bad_character};
    }
    out_.op(FormatOp::literal);
    out_.number(static_cast<std::int32_t>(count));
    while (at_ < scan) {
      out_.byte(static_cast<std::uint8_t>(text_[at_]));
      at_ += text_[at_] == delimiter ? 2 : 1;
    }
    at_ = scan + 1;
    return {};
  }

  Step counted_literal(const Number& count) {
    if (!count.present) {
      return {IoError::format_count_required};
    }
    auto n = static_cast<std::size_t>(count.value);
    if (n > length_ - at_) {
      return {IoError::format_unclosed_literal};
    }
    out_.op(FormatOp::literal);
    out_.number(count.value);
    out_.text(text_ + at_, n);
    at_ += n;
    return {};
  }

  // Items that take no repeat count; the letter has been consumed.
  Step unrepeatable(int c) {
    switch (c) {
      case ':': out_.op(FormatOp::colon); return {};
      case '\\':
      case '$': out_.op(FormatOp::suppress_end); return {};
      case 'Q': out_.op(FormatOp::q_edit); return {};
      case 'S': {
        SignMode mode = SignMode::processor;
        if (accept('P')) {
          mode = SignMode::plus;
        } else if (accept('S')) {
          mode = SignMode::suppress;
        }
        out_.op(FormatOp::sign_mode);
        out_.byte(static_cast<std::uint8_t>(mode));
        return {};
      }
      default: return tab();
    }
  }

  Step tab() {
    FormatOp op = FormatOp::tab_to;
    if (accept('L')) {
      op = FormatOp::move_left;
    } else if (accept('R')) {
      op = FormatOp::move_right;
    }
    Number n;
    if (IoError e = read_number(n); e != IoError::ok) {
      return {e};
    }
    if (!n.present) {
      return {IoError::format_count_required};
    }
    out_.op(op);
    out_.number(n.value);
    return {};
  }

  // What may follow the letters of a data edit descriptor.
  struct Shape {
    bool known = true;
    char variation = 0;           // 'N' for EN, 'S' for ES
    bool needs_digits = false;    // ".d" is required
    bool takes_minimum = false;   // ".m" may follow
    bool takes_exponent = false;  // "Ee" (and for E also "De") may follow
  };

  // The shape of the descriptor whose first letter `c` has been consumed;
  // the second letter of EN and ES is consumed here.
  Shape shape_of(int c) {
    Shape shape;
    switch (c) {
      case 'I':
      case 'Z':
      case 'O':
      case 'B': shape.takes_minimum = true; break;
      case 'F':
      case 'D': shape.needs_digits = true; break;
      case 'G':
        shape.needs_digits = true;
        shape.takes_exponent = true;
        break;
      case 'E':
        shape.needs_digits = true;
        if (accept('N')) {
          shape.variation = 'N';
        } else if (accept('S')) {
          shape.variation = 'S';
        } else {
          shape.takes_exponent = true;
        }
        break;
      case 'A':
      case 'L': break;
      default: shape.known = false; break;
    }
    return shape;
  }

  // A number that must follow once its introducing character has been seen.
  IoError read_required(Number& number) {
    if (IoError e = read_number(number); e != IoError::ok) {
      return e;
    }
    return number.present ? IoError::ok : IoError::format_missing_width;
  }

  Step data_descriptor(int c, const Number& repeat) {
    Shape shape = shape_of(c);
    if (!shape.known) {
      return {IoError::format_bad_character};
    }
    if (IoError e = check_repeat(repeat); e != IoError::ok) {
      return {e};
    }
    auto descriptor = static_cast<char>(c);
    char variation = shape.variation;
    Number width, digits, exponent;
    IoError e = descriptor == 'A' ? read_number(width) : read_required(width);
    if (e == IoError::ok && (shape.needs_digits || shape.takes_minimum)) {
      if (accept('.')) {
        e = read_required(digits);
      } else if (shape.needs_digits) {
        e = IoError::format_missing_width;
      }
    }
    if (e == IoError::ok && shape.takes_exponent &&
        (peek() == 'E' || (descriptor == 'E' && peek() == 'D'))) {
      variation = peek() == 'D' ? 'D' : 0;
      ++at_;
      e = read_required(exponent);
    }
    if (e != IoError::ok) {
      return {e};
    }
    last_data_ = static_cast<std::int64_t>(out_.offset());
    out_.op(FormatOp::data);
    out_.byte(static_cast<std::uint8_t>(descriptor));
    out_.byte(static_cast<std::uint8_t>(variation));
    out_.number(repeat_or_one(repeat));
    out_.number(width.present ? width.value : 0);
    out_.number(digits.present ? digits.value : 1);
    out_.number(exponent.present ? exponent.value : 2);
    return {};
  }

  void fail(IoError error) {
    out_.op(FormatOp::error);
    out_.number(static_cast<std::int32_t>(error));
  }

  const char* text_;
  std::size_t length_;
  std::size_t at_ = 0;
  FormatOpWriter out_;
  int depth_ = 0;
  std::size_t reversion_ = 0;
  std::int64_t last_data_ = -1;
};

}  // namespace

void translate_format(const char* text, std::size_t length, std::vector<std::uint8_t>& ops) {
  ops.clear();
  Translator(text, length, ops).run();
}

}  // namespace zuna
