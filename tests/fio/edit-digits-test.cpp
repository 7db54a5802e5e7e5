// The 17-digit conversion and the E editor against an independent exact
// decimal expansion of each double, over a large random sample of values.
//
// The reference expands m * 2^e in decimal with a base-10^9 big integer
// (m * 2^e for e >= 0, m * 5^-e shifted by -e decimal places otherwise),
// keeps every digit, and applies the conversion rule to the digit string:
// cut after the 18th digit, round half up on it, drop trailing zeros; then
// the E rule: round half up again to s = d + 1 (k = 1) or d (k = 0) digits,
// at most 16 (7 for real32 items).
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "fio/edit-digits.h"
#include "fio/edit-real.h"

namespace zuna {
namespace {

struct Decimal {
  std::string digits;  // no leading or trailing zeros; "0" for zero
  int q = 0;           // value = 0.digits * 10^q
  bool negative = false;
  bool zero = true;
};

// A non-negative integer in base 10^9, least significant limb first.
class BigDecimal {
 public:
  explicit BigDecimal(std::uint64_t value) {
    while (value != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(value % kBase));
      value /= kBase;
    }
  }
  void multiply(std::uint32_t factor) {
    std::uint64_t carry = 0;
    for (std::uint32_t& limb : limbs_) {
      std::uint64_t product = static_cast<std::uint64_t>(limb) * factor + carry;
      limb = static_cast<std::uint32_t>(product % kBase);
      carry = product / kBase;
    }
    while (carry != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(carry % kBase));
      carry /= kBase;
    }
  }
  std::string text() const {
    std::string out = std::to_string(limbs_.back());
    for (std::size_t i = limbs_.size() - 1; i-- > 0;) {
      std::string part = std::to_string(limbs_[i]);
      out += std::string(9 - part.size(), '0') + part;
    }
    return out;
  }

 private:
  static constexpr std::uint64_t kBase = 1'000'000'000;
  std::vector<std::uint32_t> limbs_;
};

Decimal exact_decimal(double x) {
  Decimal result;
  auto bits = std::bit_cast<std::uint64_t>(x);
  result.negative = (bits >> 63) != 0;
  auto biased = static_cast<int>((bits >> 52) & 0x7FF);
  std::uint64_t m = bits & ((std::uint64_t{1} << 52) - 1);
  int e = -1074;
  if (biased != 0) {
    m |= std::uint64_t{1} << 52;
    e = biased - 1075;
  }
  if (m == 0) {
    result.digits = "0";
    result.negative = false;
    return result;
  }
  result.zero = false;
  BigDecimal n(m);
  if (e >= 0) {
    for (int left = e; left > 0; left -= 28) {
      n.multiply(std::uint32_t{1} << (left < 28 ? left : 28));
    }
    result.digits = n.text();
    result.q = static_cast<int>(result.digits.size());
  } else {
    for (int left = -e; left > 0; left -= 12) {
      std::uint32_t factor = 1;
      for (int i = 0; i < (left < 12 ? left : 12); ++i) {
        factor *= 5;
      }
      n.multiply(factor);
    }
    result.digits = n.text();
    result.q = static_cast<int>(result.digits.size()) + e;
  }
  while (result.digits.size() > 1 && result.digits.back() == '0') {
    result.digits.pop_back();
  }
  return result;
}

// Keeps `keep` digits, half up on the first dropped one, with carry.
Decimal round_half_up(Decimal value, std::size_t keep) {
  if (value.zero || value.digits.size() <= keep) {
    return value;
  }
  bool up = value.digits[keep] >= '5';
  value.digits.resize(keep);
  if (up) {
    std::size_t i = keep;
    while (i > 0 && value.digits[i - 1] == '9') {
      value.digits[--i] = '0';
    }
    if (i == 0) {
      value.digits.insert(value.digits.begin(), '1');
      value.digits.pop_back();
      if (value.digits.empty()) {
        value.digits = "1";
      }
      ++value.q;
    } else {
      ++value.digits[i - 1];
    }
  }
  while (!value.digits.empty() && value.digits.back() == '0') {
    value.digits.pop_back();
  }
  return value;
}

Decimal reference_conversion(double x) { return round_half_up(exact_decimal(x), 17); }

std::string reference_e(const Decimal& converted, int k, int d, int w, int limit) {
  int s = k > 0 ? d + 1 : d + k;
  Decimal shown = round_half_up(converted, static_cast<std::size_t>(s < limit ? s : limit));
  std::string digits = shown.zero ? "0" : shown.digits;
  bool any_nonzero = digits.find_first_not_of('0') != std::string::npos;
  digits.resize(static_cast<std::size_t>(s), '0');
  std::string text = shown.negative && any_nonzero ? "-" : "";
  if (k == 1) {
    text += digits.substr(0, 1) + "." + digits.substr(1);
  } else {
    text += (s == 0 ? "0." : ".") + digits;
  }
  int exponent = shown.zero ? 0 : shown.q - k;
  int magnitude = exponent < 0 ? -exponent : exponent;
  char part[16];
  if (magnitude <= 99) {
    std::snprintf(part, sizeof part, "E%c%02d", exponent < 0 ? '-' : '+', magnitude);
  } else {
    std::snprintf(part, sizeof part, "%c%03d", exponent < 0 ? '-' : '+', magnitude);
  }
  text += part;
  if (static_cast<int>(text.size()) > w) {
    return std::string(static_cast<std::size_t>(w), '*');
  }
  return std::string(static_cast<std::size_t>(w) - text.size(), ' ') + text;
}

std::string rendered_e(double x, int k, int d, int w, bool single) {
  DataEdit edit;
  edit.descriptor = 'E';
  edit.width = w;
  edit.digits = d;
  EditModes modes;
  modes.scale = k;
  FieldBuffer buffer;
  Field field;
  EXPECT_EQ(edit_real(edit, modes, x, single, buffer, field), IoError::ok);
  return std::string(static_cast<std::size_t>(field.leading_blanks), ' ') +
         std::string(field.text) +
         std::string(static_cast<std::size_t>(field.trailing_blanks), ' ');
}

struct EForm {
  int k, d, w;
};
// The program's forms, one with 16 shown digits where both roundings meet,
// and k = 0.
constexpr EForm kForms[] = {{1, 2, 10},  {1, 4, 12}, {1, 4, 15}, {1, 5, 15},
                            {1, 15, 24}, {0, 2, 10}, {0, 4, 12}};

// Checks one value; answers false (after reporting) on the first difference.
bool check_value(double x, bool single) {
  Decimal expected = reference_conversion(x);
  DecimalDigits got = decimal_digits(x);
  std::string got_digits(got.digits, static_cast<std::size_t>(got.count));
  if (got_digits != expected.digits || got.exponent != expected.q ||
      got.negative != expected.negative || got.zero != expected.zero) {
    ADD_FAILURE() << "conversion of " << std::hexfloat << x << std::defaultfloat << " ("
                  << exact_decimal(x).digits << " q " << exact_decimal(x).q << ")\n  expected "
                  << expected.digits << " q " << expected.q << "\n  got      " << got_digits
                  << " q " << got.exponent;
    return false;
  }
  for (const EForm& form : kForms) {
    std::string want = reference_e(expected, form.k, form.d, form.w, single ? 7 : 16);
    std::string have = rendered_e(x, form.k, form.d, form.w, single);
    if (want != have) {
      ADD_FAILURE() << "format (" << form.k << "P,E" << form.w << "." << form.d << "), value "
                    << std::hexfloat << x << std::defaultfloat << " = " << exact_decimal(x).digits
                    << " q " << exact_decimal(x).q << "\n  expected [" << want << "]\n  got      ["
                    << have << "]";
      return false;
    }
  }
  return true;
}

// Runs `count` values from `next`, stopping after a few failures.
template <typename Next>
void check_sample(int count, bool single, Next next) {
  int failures = 0;
  for (int i = 0; i < count && failures < 5; ++i) {
    if (!check_value(next(), single)) {
      ++failures;
    }
  }
}

TEST(EditDigits, AgreesWithExactExpansionOverAllMagnitudes) {
  std::mt19937_64 random(20240501);
  check_sample(100'000, false, [&] {
    for (;;) {
      double x = std::bit_cast<double>(random());
      if (std::isfinite(x)) {
        return x;
      }
    }
  });
}

TEST(EditDigits, AgreesWithExactExpansionInTheProgramsRange) {
  // 1e-30 to 1e30: mole fractions, temperatures, ratios.
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int> exponent(1023 - 100, 1023 + 100);
  check_sample(100'000, false, [&] {
    std::uint64_t bits = (random() & ((std::uint64_t{1} << 52) - 1)) |
                         (static_cast<std::uint64_t>(exponent(random)) << 52) |
                         (random() & (std::uint64_t{1} << 63));
    return std::bit_cast<double>(bits);
  });
}

TEST(EditDigits, AgreesWithExactExpansionOnHalves) {
  // Values whose decimal expansion ends in a 5 right where a rounding cuts:
  // 18-digit ties of the conversion (15 integer digits and k/8) and short
  // binary fractions n/2^j for the shown digits.
  std::mt19937_64 random(11);
  std::uniform_int_distribution<std::uint64_t> big(100'000'000'000'000ULL,
                                                   (std::uint64_t{1} << 50) - 1);
  std::uniform_int_distribution<std::uint64_t> small(1, 1'000'000);
  std::uniform_int_distribution<int> eighths(0, 7);
  std::uniform_int_distribution<int> power(1, 12);
  check_sample(20'000, false,
               [&] { return static_cast<double>(big(random)) + eighths(random) / 8.0; });
  check_sample(20'000, false, [&] {
    return static_cast<double>(small(random)) /
           static_cast<double>(std::uint64_t{1} << power(random));
  });
}

TEST(EditDigits, AgreesWithExactExpansionAroundPowersOfTen) {
  int failures = 0;
  for (int p = -323; p <= 308 && failures < 5; ++p) {
    double x = std::strtod(("1e" + std::to_string(p)).c_str(), nullptr);
    for (double y : {x, std::nextafter(x, 0.0), std::nextafter(x, 2 * x), -x}) {
      if (!check_value(y, false)) {
        ++failures;
      }
    }
  }
  EXPECT_TRUE(check_value(0.0, false));
  EXPECT_TRUE(check_value(-0.0, false));
  EXPECT_TRUE(check_value(std::numeric_limits<double>::denorm_min(), false));
  EXPECT_TRUE(check_value(std::numeric_limits<double>::max(), false));
}

TEST(EditDigits, SinglePrecisionItemsAgreeWithExactExpansion) {
  std::mt19937 random(5);
  check_sample(50'000, true, [&] {
    for (;;) {
      auto x = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
      if (std::isfinite(x)) {
        return static_cast<double>(x);
      }
    }
  });
}

}  // namespace
}  // namespace zuna
