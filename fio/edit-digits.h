// Decimal digits of a double, shared by the E, D, F, G, EN and ES editors.
//
// A finite value x is written as 0.d1d2d3... times 10^q. The digit string
// carries 17 significant digits: the exact value is cut after an 18th digit
// and rounded half up on it (a 5 always rounds up), then trailing zeros are
// dropped. The editors round that string again, half up, to the digits they
// show; the two roundings are part of the program's output and are kept.
#pragma once

#include <cstdint>

namespace zuna {

inline constexpr int kConversionDigits = 17;

struct DecimalDigits {
  char digits[kConversionDigits + 1] = {'0'};  // '0'..'9'; [count] is not used
  int count = 1;     // significant digits, no trailing zeros; 0 once rounded away
  int exponent = 0;  // q
  bool negative = false;
  bool zero = true;  // the value is zero (of either sign): digits "0", q = 0

  // The digit at 0-based position i; positions beyond the string are 0.
  char at(std::int64_t i) const { return i < count ? digits[i] : '0'; }
  // No nonzero digit is left (a value rounded away entirely, or zero).
  bool all_zero() const { return count == 0 || zero; }
};

// The 17-digit conversion of a finite double. Zero of either sign gives the
// digit string "0", q = 0 and no minus sign.
DecimalDigits decimal_digits(double value);

// Rounds to at most `keep` significant digits (keep >= 0), half up with
// carry: if every kept digit was 9 the string becomes "1" and q grows by one.
// When nothing nonzero remains, count is 0. A zero value is left as it is.
void round_digits(DecimalDigits& value, int keep);

}  // namespace zuna
