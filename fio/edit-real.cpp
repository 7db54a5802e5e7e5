// The real editors. All of them start from the 17-digit conversion of
// edit-digits.h, round it half up to the digits they show and lay it out as
//   [sign] [digits before the point | "0"] "." [zeros] [digits] [exponent]
// The length c of that string is worked out before anything is written: a
// string longer than the field gives w asterisks instead, so nothing longer
// than the field (at most kFieldBufferSize) is ever put into the buffer.
#include "fio/edit-real.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "fio/edit-digits.h"

namespace zuna {
namespace {

// How a rounded digit string is laid out around the point.
struct Layout {
  bool minus = false;
  bool plus = false;
  std::int64_t before = 0;  // digit positions before the point
  bool lone_zero = false;   // a "0" before the point
  std::int64_t zeros = 0;   // zeros right after the point
  std::int64_t after = 0;   // digit positions after those zeros
};

// The exponent part of E, D, EN, ES, and G resolved to E.
struct Exponent {
  bool present = false;
  char letter = 'E';  // 0 when left out
  std::int64_t value = 0;
  std::int64_t digits = 0;  // zero-padded to this many digits
  bool fits = true;

  std::int64_t length() const {
    if (!present) {
      return 0;
    }
    return (letter != 0 ? 1 : 0) + 1 + digits;
  }
};

int decimal_length(std::uint64_t magnitude) {
  int length = 1;
  while (magnitude >= 10) {
    magnitude /= 10;
    ++length;
  }
  return length;
}

// The exponent is the letter, its sign and e digits; when e is 2 (the
// default too) and the magnitude exceeds 99, the letter gives way to a third
// digit. An exponent that still does not fit makes the field asterisks.
Exponent make_exponent(char letter, std::int64_t value, std::int32_t e) {
  Exponent exponent;
  exponent.present = true;
  exponent.letter = letter;
  exponent.value = value;
  auto magnitude = static_cast<std::uint64_t>(value < 0 ? -value : value);
  int needed = decimal_length(magnitude);
  if (e == 2 && magnitude > 99) {
    exponent.letter = 0;
    exponent.digits = 3;
    exponent.fits = needed <= 3;
  } else {
    exponent.digits = e;
    exponent.fits = needed <= e;
  }
  return exponent;
}

class Renderer {
 public:
  Renderer(const DataEdit& edit, FieldBuffer& buffer, Field& field)
      : width_(edit.width), buffer_(buffer), field_(field) {}

  // Writes the number right-justified in `width` (or width asterisks when it
  // does not fit), then `trailing` blanks; the whole field is `width` +
  // `trailing` <= the edit's w.
  void number(const Layout& layout, const DecimalDigits& digits, const Exponent& exponent,
              std::int64_t width, std::int64_t trailing = 0) {
    std::int64_t length = (layout.minus || layout.plus ? 1 : 0) + layout.before +
                          (layout.lone_zero ? 1 : 0) + 1 + layout.zeros + layout.after +
                          exponent.length();
    if (!exponent.fits || length > width || width < 0) {
      asterisks();
      return;
    }
    char* out = buffer_.text;
    if (layout.minus) {
      *out++ = '-';
    } else if (layout.plus) {
      *out++ = '+';
    }
    std::int64_t index = 0;
    for (std::int64_t i = 0; i < layout.before; ++i) {
      *out++ = digits.at(index++);
    }
    if (layout.lone_zero) {
      *out++ = '0';
    }
    *out++ = '.';
    out = std::fill_n(out, layout.zeros, '0');
    for (std::int64_t i = 0; i < layout.after; ++i) {
      *out++ = digits.at(index++);
    }
    if (exponent.present) {
      if (exponent.letter != 0) {
        *out++ = exponent.letter;
      }
      *out++ = exponent.value < 0 ? '-' : '+';
      auto magnitude =
          static_cast<std::uint64_t>(exponent.value < 0 ? -exponent.value : exponent.value);
      char* end = out + exponent.digits;
      for (char* p = end; p > out;) {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
      }
      out = end;
    }
    field_.leading_blanks = width - length;
    field_.text = std::string_view(buffer_.text, static_cast<std::size_t>(out - buffer_.text));
    field_.trailing_blanks = trailing;
  }

  void asterisks() {
    std::fill_n(buffer_.text, width_, '*');
    field_ = Field{0, std::string_view(buffer_.text, static_cast<std::size_t>(width_)), 0};
  }

  void special(const char* text) {
    std::size_t length = std::strlen(text);
    auto width = static_cast<std::size_t>(width_);
    std::size_t copied = std::min(length, width);
    std::memcpy(buffer_.text, text, copied);
    std::fill(buffer_.text + copied, buffer_.text + width, '.');
    field_ = Field{0, std::string_view(buffer_.text, width), 0};
  }

 private:
  std::int32_t width_;
  FieldBuffer& buffer_;
  Field& field_;
};

char exponent_letter(const DataEdit& edit) {
  return edit.descriptor == 'D' || edit.variation == 'D' ? 'D' : 'E';
}

void apply_sign(Layout& layout, const DecimalDigits& digits, const EditModes& modes) {
  layout.minus = digits.negative && !digits.all_zero();
  layout.plus = !layout.minus && modes.sign_plus;
}

// E and D with the scale factor k (ES is E with k = 1).
void edit_e(const DataEdit& edit, const EditModes& modes, int k, DecimalDigits digits, int limit,
            Renderer& out) {
  std::int64_t d = edit.digits;
  Layout layout;
  std::int64_t shown = 0;
  if (k < -d) {
    // Nothing significant is left: the point and d zeros, no minus sign.
    layout.plus = modes.sign_plus;
    layout.zeros = d;
    shown = digits.zero ? 0 : -static_cast<std::int64_t>(k);
  } else {
    std::int64_t s = k > 0 ? d + 1 : d + k;
    round_digits(digits, static_cast<int>(std::min<std::int64_t>(s, limit)));
    apply_sign(layout, digits, modes);
    if (k > 0) {
      layout.before = k;
      layout.after = std::max<std::int64_t>(d - k + 1, 0);
    } else {
      layout.lone_zero = k == 0 && s == 0;
      layout.zeros = -k;
      layout.after = d + k;
    }
    shown = digits.zero ? 0 : digits.exponent - static_cast<std::int64_t>(k);
  }
  out.number(layout, digits, make_exponent(exponent_letter(edit), shown, edit.exponent),
             edit.width);
}

// EN: one to three digits before the point, so that the shown exponent is a
// multiple of 3. A carry in rounding can move the value to the next group of
// three; the digits are then rounded again from the conversion.
void edit_en(const DataEdit& edit, const EditModes& modes, const DecimalDigits& converted,
             int limit, Renderer& out) {
  std::int64_t d = edit.digits;
  DecimalDigits digits = converted;
  int before = 1;
  if (!converted.zero) {
    int q = converted.exponent;
    for (int attempt = 0; attempt < 2; ++attempt) {
      before = ((q - 1) % 3 + 3) % 3 + 1;
      digits = converted;
      round_digits(digits, static_cast<int>(std::min<std::int64_t>(before + d, limit)));
      if (digits.exponent == q) {
        break;
      }
      q = digits.exponent;
    }
  }
  Layout layout;
  apply_sign(layout, digits, modes);
  layout.before = before;
  layout.after = d;
  std::int64_t shown = digits.zero ? 0 : digits.exponent - before;
  out.number(layout, digits, make_exponent('E', shown, edit.exponent), edit.width);
}

// F with the scale factor k (the value times 10^k), in `width` columns.
void edit_f(std::int64_t d, const EditModes& modes, int k, DecimalDigits digits, int limit,
            std::int64_t width, std::int64_t trailing, Renderer& out) {
  Layout layout;
  std::int64_t q = digits.zero ? 0 : digits.exponent + static_cast<std::int64_t>(k);
  if (q < -d) {
    layout.plus = modes.sign_plus;
    layout.zeros = d;
  } else {
    std::int64_t s = q + d;
    if (!digits.zero) {
      int before_rounding = digits.exponent;
      round_digits(digits, static_cast<int>(std::min<std::int64_t>(s, limit)));
      q += digits.exponent - before_rounding;  // a carry adds a digit before the point
    }
    apply_sign(layout, digits, modes);
    if (q > 0) {
      layout.before = q;
      layout.after = d;
    } else {
      layout.zeros = std::min(-q, d);
      layout.after = d - layout.zeros;
    }
  }
  layout.lone_zero = layout.before == 0 && d == 0;
  out.number(layout, digits, Exponent{}, width, trailing);
}

}  // namespace

const char* non_finite_text(double value) {
  auto bits = std::bit_cast<std::uint64_t>(value);
  constexpr std::uint64_t kQuietBit = std::uint64_t{1} << 51;
  constexpr std::uint64_t kFraction = (std::uint64_t{1} << 52) - 1;
  std::uint64_t fraction = bits & kFraction;
  if (fraction == 0) {
    return "1#INF";
  }
  if ((fraction & kQuietBit) == 0) {
    return "1#SNAN";
  }
  bool negative = (bits >> 63) != 0;
  if (negative && fraction == kQuietBit) {
    return "1#IND";
  }
  return "1#QNAN";
}

IoError edit_real(const DataEdit& edit, const EditModes& modes, double value, bool single,
                  FieldBuffer& buffer, Field& field) {
  if (edit.width > kFieldBufferSize) {
    return IoError::format_field_too_wide;
  }
  Renderer out(edit, buffer, field);
  if (!std::isfinite(value)) {
    out.special(non_finite_text(value));
    return IoError::ok;
  }
  const int limit = single ? 7 : 16;
  DecimalDigits digits = decimal_digits(value);
  switch (edit.descriptor) {
    case 'F':
      edit_f(edit.digits, modes, modes.scale, digits, limit, edit.width, 0, out);
      return IoError::ok;
    case 'G': {
      // F when 0 <= q <= d, with d - q digits after the point, then e + 2
      // blanks where the exponent would stand; E (with the scale factor)
      // otherwise. q is that of the conversion.
      int q = digits.exponent;
      if (q < 0 || q > edit.digits) {
        edit_e(edit, modes, modes.scale, digits, limit, out);
        return IoError::ok;
      }
      std::int64_t trailing = static_cast<std::int64_t>(edit.exponent) + 2;
      edit_f(edit.digits - q, modes, 0, digits, limit, edit.width - trailing, trailing, out);
      return IoError::ok;
    }
    default: break;
  }
  if (edit.variation == 'N') {
    edit_en(edit, modes, digits, limit, out);
  } else if (edit.variation == 'S') {
    edit_e(edit, modes, 1, digits, limit, out);
  } else {
    edit_e(edit, modes, modes.scale, digits, limit, out);
  }
  return IoError::ok;
}

}  // namespace zuna
