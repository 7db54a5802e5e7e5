// Conversion of list-directed value texts to numbers: the syntax of reals
// (exponent letters, sign-only exponents, the 25-digit limit), correct
// rounding, overflow and underflow, and integer ranges.
#include "fio/number-text.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <string>

namespace zuna {
namespace {

struct RealCase {
  const char* text;
  double expected;
};

TEST(NumberText, RealSyntax) {
  const RealCase cases[] = {
      {"0.3298124D+01", 3.298124}, {"-1.0E+03", -1000.0},   {".5", 0.5},        {"5.", 5.0},
      {"+2.016", 2.016},           {"000123.4500", 123.45}, {"0.000001", 1e-6}, {"1.0-3", 1e-3},
  };
  for (const RealCase& c : cases) {
    double v = -7.0;
    EXPECT_EQ(parse_real(c.text, v), IoError::ok) << c.text;
    EXPECT_EQ(v, c.expected) << c.text;
  }
  double negative_zero = 1.0;
  ASSERT_EQ(parse_real("-0.0", negative_zero), IoError::ok);
  EXPECT_TRUE(std::signbit(negative_zero));
}

TEST(NumberText, MalformedRealsAreRefusedAndLeaveTheValue) {
  const char* bad[] = {"",      ".",      "-",  "1.0E", "1.0e+", "1.0+", "1.2.3",
                       "1.0Q5", "1.0E5x", "e5", "0x10", "inf",   "nan"};
  for (const char* text : bad) {
    double v = 42.0;
    EXPECT_EQ(parse_real(text, v), IoError::read_bad_real) << '"' << text << '"';
    EXPECT_EQ(v, 42.0) << text;
  }
}

TEST(NumberText, NearestDoubleOfTheDecimal) {
  // Halfway and near-halfway cases that naive digit-by-digit scaling gets
  // wrong; the expected values are the compiler's own correctly rounded
  // literals.
  double v = 0;
  ASSERT_EQ(parse_real("2.2250738585072011e-308", v), IoError::ok);
  EXPECT_EQ(v, 2.2250738585072011e-308);
  ASSERT_EQ(parse_real("9007199254740993", v), IoError::ok);  // 2^53 + 1: ties to even
  EXPECT_EQ(v, 9007199254740992.0);
  ASSERT_EQ(parse_real("0.1", v), IoError::ok);
  EXPECT_EQ(v, 0.1);
  ASSERT_EQ(parse_real("1.7976931348623157D308", v), IoError::ok);
  EXPECT_EQ(v, std::numeric_limits<double>::max());
}

TEST(NumberText, DigitsBeyondTwentyFiveOnlyShiftTheExponent) {
  // 25 significant digits are kept; the 26th and later are dropped, not
  // rounded, but still count for the position of the point.
  double v = 0;
  ASSERT_EQ(parse_real("1234567890123456789012345999", v), IoError::ok);
  EXPECT_EQ(v, 1234567890123456789012345000.0);
  ASSERT_EQ(parse_real("0.00000000001234567890123456789012345999", v), IoError::ok);
  EXPECT_EQ(v, 1.234567890123456789012345e-11);
  // Leading zeros are not significant digits.
  ASSERT_EQ(parse_real("00000000000000000000000000000000000001.5", v), IoError::ok);
  EXPECT_EQ(v, 1.5);
  std::string long_text = "1." + std::string(5000, '3') + "E-2";
  ASSERT_EQ(parse_real(long_text, v), IoError::ok);
  EXPECT_DOUBLE_EQ(v, 1.0 / 75.0);
}

TEST(NumberText, OverflowIsAnErrorUnderflowIsNot) {
  double v = 3.0;
  EXPECT_EQ(parse_real("1.0E309", v), IoError::read_real_overflow);
  EXPECT_EQ(parse_real("-1.0D400", v), IoError::read_real_overflow);
  EXPECT_EQ(parse_real("1E99999999999999999999", v), IoError::read_real_overflow);
  EXPECT_EQ(v, 3.0);
  ASSERT_EQ(parse_real("1.0E-320", v), IoError::ok);
  EXPECT_EQ(v, 1.0E-320);  // a denormal
  ASSERT_EQ(parse_real("1.0E-400", v), IoError::ok);
  EXPECT_EQ(v, 0.0);
  ASSERT_EQ(parse_real("1E-99999999999999999999", v), IoError::ok);
  EXPECT_EQ(v, 0.0);
  ASSERT_EQ(parse_real("0E99999", v), IoError::ok);
  EXPECT_EQ(v, 0.0);
}

TEST(NumberText, ConversionLeavesNoFloatingPointFlag) {
  // A flag left behind would be taken for a fault of the computation by the
  // next output statement.
  std::feclearexcept(FE_ALL_EXCEPT);
  double v = 0;
  float f = 0;
  (void)parse_real("1.0E999", v);
  (void)parse_real("1.0E-400", v);
  (void)parse_real("0.1", v);
  (void)parse_real32("1.0E39", f);
  (void)parse_real32("1.0E-50", f);
  EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
}

TEST(NumberText, IntegerRanges) {
  std::int64_t v = 5;
  constexpr std::int64_t lo32 = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t hi32 = std::numeric_limits<std::int32_t>::max();
  ASSERT_EQ(parse_integer("-2147483648", lo32, hi32, v), IoError::ok);
  EXPECT_EQ(v, lo32);
  EXPECT_EQ(parse_integer("2147483648", lo32, hi32, v), IoError::read_integer_overflow);
  EXPECT_EQ(parse_integer("99999999999999999999999", lo32, hi32, v),
            IoError::read_integer_overflow);
  constexpr std::int64_t lo64 = std::numeric_limits<std::int64_t>::min();
  constexpr std::int64_t hi64 = std::numeric_limits<std::int64_t>::max();
  ASSERT_EQ(parse_integer("-9223372036854775808", lo64, hi64, v), IoError::ok);
  EXPECT_EQ(v, lo64);
  EXPECT_EQ(parse_integer("9223372036854775808", lo64, hi64, v), IoError::read_integer_overflow);
  EXPECT_EQ(v, lo64);
  for (const char* bad : {"", "+", "-", "10.", "1e3", "0x1F"}) {
    EXPECT_EQ(parse_integer(bad, lo32, hi32, v), IoError::read_bad_integer) << bad;
  }
}

}  // namespace
}  // namespace zuna
