#include "fio/number-text.h"

#include <cfenv>
#include <charconv>
#include <cstdio>
#include <limits>

namespace zuna {

namespace {

constexpr int kMaxSignificantDigits = 25;
// Exponents are summed with saturation far beyond any double's range.
constexpr std::int64_t kExponentCap = 1'000'000'000;
// 0.1E310 overflows and 0.9E-324 is below half the smallest denormal: both
// decided without a conversion.
constexpr std::int64_t kOverflowExponent = 310;
constexpr std::int64_t kZeroExponent = -324;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::int64_t saturate(std::int64_t v) {
  return v > kExponentCap ? kExponentCap : v < -kExponentCap ? -kExponentCap : v;
}

// A real value split into sign, significant digits and exponent:
// value = sign 0.d1d2...dn * 10^exponent.
struct DecimalText {
  bool negative = false;
  char digits[kMaxSignificantDigits] = {};
  int count = 0;
  std::int64_t exponent = 0;
};

// Blanks, tabs and line ends, then an optional sign; `i` moves past them.
void scan_sign(std::string_view text, std::size_t& i, DecimalText& d) {
  while (i < text.size() && is_space(text[i])) {
    ++i;
  }
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    d.negative = text[i] == '-';
    ++i;
  }
}

// Digits with at most one decimal point among them. Leading zeros are not
// significant; digits beyond the 25th only move the exponent. Answers
// whether there was a digit at all.
bool scan_mantissa(std::string_view text, std::size_t& i, DecimalText& d) {
  bool any_digit = false;
  bool point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (!is_digit(c)) {
      break;
    }
    any_digit = true;
    if (d.count == 0 && c == '0') {
      // A leading zero: after the point it moves the first significant
      // digit one place down.
      if (point) {
        d.exponent = saturate(d.exponent - 1);
      }
      continue;
    }
    if (d.count < kMaxSignificantDigits) {
      d.digits[d.count++] = c;
    }
    if (!point) {
      d.exponent = saturate(d.exponent + 1);
    }
  }
  return any_digit;
}

// The exponent to the end of the text: E, e, D or d with an optional sign,
// or a sign alone (1.0-3 is 1.0E-3), then digits and nothing else.
IoError scan_exponent(std::string_view text, std::size_t i, DecimalText& d) {
  std::size_t n = text.size();
  char c = text[i];
  bool letter = c == 'E' || c == 'e' || c == 'D' || c == 'd';
  if (!letter && c != '+' && c != '-') {
    return IoError::read_bad_real;
  }
  if (letter) {
    ++i;
  }
  bool minus = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    minus = text[i] == '-';
    ++i;
  }
  if (i >= n || !is_digit(text[i])) {
    return IoError::read_bad_real;
  }
  std::int64_t e = 0;
  for (; i < n && is_digit(text[i]); ++i) {
    e = saturate(e * 10 + (text[i] - '0'));
  }
  if (i < n) {
    return IoError::read_bad_real;
  }
  d.exponent = saturate(d.exponent + (minus ? -e : e));
  return IoError::ok;
}

IoError scan_real(std::string_view text, DecimalText& d) {
  std::size_t i = 0;
  scan_sign(text, i, d);
  if (!scan_mantissa(text, i, d)) {
    return IoError::read_bad_real;
  }
  return i < text.size() ? scan_exponent(text, i, d) : IoError::ok;
}

// The nearest value of the decimal, by the standard library's correctly
// rounded conversion of the normalised text "0.<digits>e<exponent>".
template <typename Real>
IoError to_binary(const DecimalText& d, Real& value) {
  Real magnitude = 0;
  if (d.count > 0 && d.exponent > kOverflowExponent) {
    return IoError::read_real_overflow;
  }
  if (d.count > 0 && d.exponent >= kZeroExponent) {
    char text[kMaxSignificantDigits + 32];
    int length = std::snprintf(text, sizeof text, "0.%.*se%lld", d.count, d.digits,
                               static_cast<long long>(d.exponent));
    // The conversion must leave no floating-point flag behind: the next
    // output statement would take it for a fault of the computation.
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    auto [end, ec] = std::from_chars(text, text + length, magnitude);
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
    if (ec == std::errc::result_out_of_range) {
      if (d.exponent > 0) {
        return IoError::read_real_overflow;
      }
      magnitude = 0;
    } else if (ec != std::errc() || end != text + length) {
      return IoError::read_bad_real;
    }
  }
  value = d.negative ? -magnitude : magnitude;
  return IoError::ok;
}

}  // namespace

IoError parse_integer(std::string_view text, std::int64_t low, std::int64_t high,
                      std::int64_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= text.size()) {
    return IoError::read_bad_integer;
  }
  // Accumulated as a negative number, whose range holds the lowest value.
  constexpr std::int64_t kLowest = std::numeric_limits<std::int64_t>::min();
  std::int64_t v = 0;
  bool overflow = false;
  for (; i < text.size(); ++i) {
    if (!is_digit(text[i])) {
      return IoError::read_bad_integer;
    }
    int digit = text[i] - '0';
    if (v < (kLowest + digit) / 10) {
      overflow = true;
    } else {
      v = v * 10 - digit;
    }
  }
  if (!negative) {
    if (v == kLowest) {
      overflow = true;
    } else {
      v = -v;
    }
  }
  if (overflow || v < low || v > high) {
    return IoError::read_integer_overflow;
  }
  value = v;
  return IoError::ok;
}

IoError parse_real(std::string_view text, double& value) {
  DecimalText d;
  if (IoError e = scan_real(text, d); e != IoError::ok) {
    return e;
  }
  return to_binary(d, value);
}

IoError parse_real32(std::string_view text, float& value) {
  DecimalText d;
  if (IoError e = scan_real(text, d); e != IoError::ok) {
    return e;
  }
  double wide = 0.0;
  if (IoError e = to_binary(d, wide); e != IoError::ok) {
    return e;
  }
  constexpr double kLargestSingle = 3.402823466E38;
  if (wide > kLargestSingle || wide < -kLargestSingle) {
    return IoError::read_real_overflow;
  }
  // Rounded once, from the decimal, not through the double.
  return to_binary(d, value);
}

IoError parse_logical(std::string_view text, bool& value) {
  std::size_t i = 0;
  if (i < text.size() && text[i] == '.') {
    ++i;
  }
  if (i >= text.size()) {
    return IoError::read_bad_logical;
  }
  char c = text[i];
  if (c == 'T' || c == 't') {
    value = true;
    return IoError::ok;
  }
  if (c == 'F' || c == 'f') {
    value = false;
    return IoError::ok;
  }
  return IoError::read_bad_logical;
}

}  // namespace zuna
