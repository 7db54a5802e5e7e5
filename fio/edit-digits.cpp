// Exact decimal conversion of a double.
//
// With x = m * 2^e (m < 2^53) and the decimal exponent q (10^(q-1) <= x <
// 10^q), the 17 digits are N = floor(x * 10^(17-q) + 1/2): the 18th digit is
// 5 or more exactly when the part of x * 10^(17-q) after the point is at least
// one half. So all that is needed is the integer part of x * 10^p and whether
// its fraction reaches 1/2, both computed exactly:
//   p >= 0:  x * 10^p = m * 5^p * 2^(e+p)
//   p <  0:  x * 10^p = m * 2^(e+p) / 5^(-p)
// Values between about 1e-39 and 1e44 take a path of 128-bit products; the
// others use a small fixed-size big integer.
#include "fio/edit-digits.h"

#include <bit>
#include <cmath>
#include <cstring>

namespace zuna {
namespace {

using u128 = unsigned __int128;

constexpr std::uint64_t kTen16 = 10'000'000'000'000'000ULL;
constexpr std::uint64_t kTen17 = 100'000'000'000'000'000ULL;

constexpr int kFastPow5 = 27;  // 5^27 < 2^63
constexpr std::uint64_t pow5(int n) {
  std::uint64_t value = 1;
  for (int i = 0; i < n; ++i) {
    value *= 5;
  }
  return value;
}
constexpr auto kPow5 = [] {
  struct Table {
    std::uint64_t value[kFastPow5 + 1];
  } table{};
  for (int i = 0; i <= kFastPow5; ++i) {
    table.value[i] = pow5(i);
  }
  return table;
}();

// floor(x * 10^p) and whether the fraction left over is at least 1/2.
struct Scaled {
  std::uint64_t integer = 0;
  bool half = false;
};

// An unsigned integer of up to kLimbs * 32 bits, enough for m * 5^342 and
// for 5^292 * 2^63, the largest operands a double needs.
class BigUint {
 public:
  static constexpr int kLimbs = 48;

  explicit BigUint(std::uint64_t value) {
    limb_[0] = static_cast<std::uint32_t>(value);
    limb_[1] = static_cast<std::uint32_t>(value >> 32);
    size_ = limb_[1] != 0 ? 2 : (limb_[0] != 0 ? 1 : 0);
  }

  void multiply(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (int i = 0; i < size_; ++i) {
      std::uint64_t product = static_cast<std::uint64_t>(limb_[i]) * factor + carry;
      limb_[i] = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0 && size_ < kLimbs) {
      limb_[size_++] = static_cast<std::uint32_t>(carry);
    }
  }

  void multiply_pow5(int n) {
    constexpr int kStep = 13;  // 5^13 < 2^32
    for (; n >= kStep; n -= kStep) {
      multiply(static_cast<std::uint32_t>(pow5(kStep)));
    }
    if (n > 0) {
      multiply(static_cast<std::uint32_t>(pow5(n)));
    }
  }

  void shift_left(int bits) {
    int words = bits / 32;
    int rest = bits % 32;
    if (size_ == 0) {
      return;
    }
    int new_size = size_ + words + 1;
    if (new_size > kLimbs) {
      new_size = kLimbs;
    }
    for (int i = new_size - 1; i >= 0; --i) {
      std::uint64_t high = word(i - words);
      std::uint64_t low = word(i - words - 1);
      std::uint64_t value = rest == 0 ? high : ((high << rest) | (low >> (32 - rest)));
      limb_[i] = static_cast<std::uint32_t>(value);
    }
    size_ = new_size;
    trim();
  }

  void shift_right_one() {
    for (int i = 0; i < size_; ++i) {
      limb_[i] = (limb_[i] >> 1) | (word(i + 1) << 31);
    }
    trim();
  }

  bool bit(int index) const {
    if (index < 0) {
      return false;
    }
    return ((word(index / 32) >> (index % 32)) & 1U) != 0;
  }

  // 64 bits starting at bit `from`.
  std::uint64_t bits_from(int from) const {
    std::uint64_t value = 0;
    for (int i = 0; i < 64; ++i) {
      if (bit(from + i)) {
        value |= std::uint64_t{1} << i;
      }
    }
    return value;
  }

  int compare(const BigUint& other) const {
    if (size_ != other.size_) {
      return size_ < other.size_ ? -1 : 1;
    }
    for (int i = size_ - 1; i >= 0; --i) {
      if (limb_[i] != other.limb_[i]) {
        return limb_[i] < other.limb_[i] ? -1 : 1;
      }
    }
    return 0;
  }

  // *this -= other, with *this >= other.
  void subtract(const BigUint& other) {
    std::int64_t borrow = 0;
    for (int i = 0; i < size_; ++i) {
      std::int64_t difference = static_cast<std::int64_t>(limb_[i]) - other.word(i) - borrow;
      borrow = difference < 0 ? 1 : 0;
      limb_[i] = static_cast<std::uint32_t>(difference + (borrow << 32));
    }
    trim();
  }

 private:
  std::uint32_t word(int i) const { return i >= 0 && i < size_ ? limb_[i] : 0; }
  void trim() {
    while (size_ > 0 && limb_[size_ - 1] == 0) {
      --size_;
    }
  }

  std::uint32_t limb_[kLimbs] = {};
  int size_ = 0;
};

Scaled scale_slow(std::uint64_t m, int e, int p) {
  int b2 = e + p;
  Scaled result;
  if (p >= 0) {
    BigUint a(m);
    a.multiply_pow5(p);
    if (b2 >= 0) {
      a.shift_left(b2);
      result.integer = a.bits_from(0);
    } else {
      result.integer = a.bits_from(-b2);
      result.half = a.bit(-b2 - 1);
    }
    return result;
  }
  // Long division, one quotient bit at a time; the quotient is below 2^64.
  BigUint remainder(m);
  BigUint divisor(1);
  divisor.multiply_pow5(-p);
  if (b2 >= 0) {
    remainder.shift_left(b2);
  } else {
    divisor.shift_left(-b2);
  }
  BigUint step = divisor;
  step.shift_left(63);
  for (int i = 63; i >= 0; --i) {
    if (remainder.compare(step) >= 0) {
      remainder.subtract(step);
      result.integer |= std::uint64_t{1} << i;
    }
    step.shift_right_one();
  }
  // The fraction is remainder / divisor; it reaches 1/2 when 2 * remainder
  // >= divisor.
  remainder.shift_left(1);
  result.half = remainder.compare(divisor) >= 0;
  return result;
}

// m * 5^p for p <= kFastPow5Wide, as three 64-bit words (low first), and
// the 64 bits of it starting at bit `from` together with the bit below.
constexpr int kFastPow5Wide = 55;  // 5^55 < 2^128
constexpr auto kPow5Wide = [] {
  struct Table {
    u128 value[kFastPow5Wide + 1];
  } table{};
  u128 value = 1;
  for (int i = 0; i <= kFastPow5Wide; ++i) {
    table.value[i] = value;
    value *= 5;
  }
  return table;
}();

Scaled shifted_product(std::uint64_t m, int p, int from) {
  u128 power = kPow5Wide.value[p];
  u128 low = static_cast<u128>(m) * static_cast<std::uint64_t>(power);
  u128 high = static_cast<u128>(m) * static_cast<std::uint64_t>(power >> 64);
  u128 middle = (low >> 64) + static_cast<std::uint64_t>(high);
  const std::uint64_t words[3] = {
      static_cast<std::uint64_t>(low), static_cast<std::uint64_t>(middle),
      static_cast<std::uint64_t>(high >> 64) + static_cast<std::uint64_t>(middle >> 64)};
  auto bits_at = [&](int at) -> std::uint64_t {  // 64 bits from bit `at`, 0 <= at < 192
    int word = at / 64;
    int shift = at % 64;
    std::uint64_t value = words[word] >> shift;
    if (shift != 0 && word + 1 < 3) {
      value |= words[word + 1] << (64 - shift);
    }
    return value;
  };
  if (from >= 192) {
    return {0, false};
  }
  return {bits_at(from), ((bits_at(from - 1) & 1U) != 0)};
}

Scaled scale_exact(std::uint64_t m, int e, int p) {
  int b2 = e + p;
  if (p >= 0 && p <= kFastPow5 && b2 >= 0 && b2 <= 11) {
    u128 a = static_cast<u128>(m) * kPow5.value[p];  // below 2^116
    return {static_cast<std::uint64_t>(a << b2), false};
  }
  if (p >= 0 && p <= kFastPow5Wide && b2 < 0) {
    return shifted_product(m, p, -b2);
  }
  if (p < 0 && -p <= kFastPow5 && b2 >= 0 && b2 <= 74) {
    u128 numerator = static_cast<u128>(m) << b2;  // below 2^127
    std::uint64_t divisor = kPow5.value[-p];
    auto remainder = static_cast<std::uint64_t>(numerator % divisor);
    return {static_cast<std::uint64_t>(numerator / divisor), 2 * remainder >= divisor};
  }
  return scale_slow(m, e, p);
}

}  // namespace

DecimalDigits decimal_digits(double value) {
  DecimalDigits result;
  auto bits = std::bit_cast<std::uint64_t>(value);
  auto biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  if (biased == 0 && m == 0) {
    return result;  // "0", q = 0, no sign
  }
  int e = -1074;
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    e = biased - 1075;
  }
  result.zero = false;
  result.negative = (bits >> 63) != 0;

  // 2^(L-1) <= x < 2^L, so q is floor((L-1) log10 2) + 1 or one more.
  int length = 64 - std::countl_zero(m) + e;
  int q = static_cast<int>(std::floor((length - 1) * 0.30102999566398119521)) + 1;
  Scaled scaled = scale_exact(m, e, kConversionDigits - q);
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (scaled.integer >= kTen17) {
      ++q;
    } else if (scaled.integer < kTen16) {
      --q;
    } else {
      break;
    }
    scaled = scale_exact(m, e, kConversionDigits - q);
  }
  std::uint64_t n = scaled.integer + (scaled.half ? 1 : 0);
  if (n == kTen17) {
    n = kTen16;  // 99...9|5 carried into a new leading digit
    ++q;
  }
  for (int i = kConversionDigits - 1; i >= 0; --i) {
    result.digits[i] = static_cast<char>('0' + n % 10);
    n /= 10;
  }
  result.count = kConversionDigits;
  while (result.count > 1 && result.digits[result.count - 1] == '0') {
    --result.count;
  }
  result.exponent = q;
  return result;
}

void round_digits(DecimalDigits& value, int keep) {
  if (value.zero || keep >= value.count) {
    return;
  }
  if (keep < 0) {
    keep = 0;
  }
  bool up = value.digits[keep] >= '5';
  value.count = keep;
  if (up) {
    int i = keep - 1;
    while (i >= 0 && value.digits[i] == '9') {
      --i;
    }
    if (i < 0) {
      value.digits[0] = '1';
      value.count = 1;
      ++value.exponent;
    } else {
      ++value.digits[i];
      value.count = i + 1;
    }
    return;
  }
  while (value.count > 0 && value.digits[value.count - 1] == '0') {
    --value.count;
  }
}

}  // namespace zuna
