// write_shortest against std::to_chars, whose text it must reproduce byte
// for byte: random doubles of every exponent, the values at the edges of
// the double range and of the choice between fixed and scientific form,
// integers (where std::to_chars writes every digit the double holds), and
// the room the writer may use.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tables/shortest.h"
#include "tables/table-writer.h"

namespace zuna::tables {
namespace {

std::string expected(double v) {
  char text[64];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

// The text written, checked to stay within kShortestRoom of a buffer whose
// bytes beyond it are a canary.
std::string written(double v) {
  char buffer[kShortestRoom + 16];
  std::memset(buffer, 0x5A, sizeof buffer);
  const char* end = write_shortest(buffer, v);
  for (std::size_t k = kShortestRoom; k < sizeof buffer; ++k) {
    EXPECT_EQ(buffer[k], 0x5A) << "wrote past its room for " << expected(v);
  }
  return std::string(static_cast<const char*>(buffer), end);
}

// Each value and its negative; returns how many differed (the first few
// are reported).
int mismatches(const std::vector<double>& values) {
  int bad = 0;
  for (double v : values) {
    for (double s : {v, -v}) {
      const std::string want = expected(s), got = written(s);
      if (want != got && ++bad <= 5) {
        ADD_FAILURE() << "write_shortest gave " << got << ", std::to_chars " << want;
      }
    }
  }
  return bad;
}

TEST(WriteShortest, RandomBitPatternsAndDecimalScalesAsStdToChars) {
  std::mt19937_64 random(20261208);
  std::vector<double> values;
  for (int k = 0; k < 300000; ++k) {
    const double v = std::bit_cast<double>(random());
    if (std::isfinite(v)) {
      values.push_back(std::fabs(v));
    }
  }
  // Numbers as results come: 1e-40 to 1e+40, with 15 to 17 digits.
  std::uniform_real_distribution<double> exponent(-40.0, 40.0);
  for (int k = 0; k < 300000; ++k) {
    values.push_back(std::pow(10.0, exponent(random)));
  }
  EXPECT_EQ(mismatches(values), 0);
}

TEST(WriteShortest, EdgesOfTheRangeAndOfTheChoiceOfFormAsStdToChars) {
  std::vector<double> values = {std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::epsilon(),
                                0.1,
                                0.3,
                                2.0 / 3.0,
                                9007199254740993.0,
                                1.2345678901234567e16,
                                123456789012345680000.0};
  // Powers of two (the shorter interval of the shortest digits) and of ten,
  // with their neighbours.
  for (int k = -1074; k <= 1023; ++k) {
    const double x = std::ldexp(1.0, k);
    values.insert(values.end(), {x, std::nextafter(x, 0.0), std::nextafter(x, HUGE_VAL)});
  }
  for (int k = -323; k <= 308; ++k) {
    const double x = std::strtod(("1e" + std::to_string(k)).c_str(), nullptr);
    values.insert(values.end(), {x, std::nextafter(x, 0.0), std::nextafter(x, HUGE_VAL)});
  }
  // Fixed and scientific forms of equal and nearly equal length: 0.001 and
  // 1e-03, 0.0001 and 1e-04, 12e-5, 100000 and 1e+05.
  for (int digits = 1; digits <= 17; ++digits) {
    for (int e = -25; e <= 25; ++e) {
      const std::string text = std::string(1, '1') + std::string(digits - 1, '7') + "e" +
                               std::to_string(e);
      values.push_back(std::strtod(text.c_str(), nullptr));
    }
  }
  // Integers, whose fixed form std::to_chars writes digit for digit.
  for (int k = 1; k <= 200000; ++k) {
    values.insert(values.end(), {static_cast<double>(k), k * 0.001, k * 1e-7});
  }
  EXPECT_EQ(mismatches(values), 0);
}

TEST(WriteShortest, ZeroAndValuesThatAreNoNumbersAsStdToChars) {
  for (double v : {0.0, -0.0, HUGE_VAL, -HUGE_VAL, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ(written(v), expected(v));
  }
}

// The one shortest text of the system, the writers' digits as a string:
// the longest texts whole, and the forms the messages and exits rely on.
TEST(ShortestText, IsTheWritersTextWhole) {
  for (double v : {-2.2250738585072014e-308, 1.7976931348623157e308, 0.1, 68.046, 1e-06, 1e+300,
                   -2.5e-08, 1152921504606846976.0, -0.0, std::nan("")}) {
    EXPECT_EQ(shortest_text(v), expected(v));
  }
  EXPECT_EQ(shortest_text(1e5), "1e+05");
  EXPECT_EQ(shortest_text(1e4), "10000");
  EXPECT_EQ(shortest_text(68046000.00000001), "68046000.00000001");
}

}  // namespace
}  // namespace zuna::tables
