#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

// The shortest decimal digits of a double come from fmt's Dragonbox (fmt is
// used header-only: nothing of it is linked or installed).
#include <fmt/format.h>

#include "tables/shortest.h"
#include "tables/table-writer.h"

namespace zuna::tables {
namespace {

constexpr std::uint64_t kPow10[18] = {1u,
                                      10u,
                                      100u,
                                      1000u,
                                      10000u,
                                      100000u,
                                      1000000u,
                                      10000000u,
                                      100000000u,
                                      1000000000u,
                                      10000000000u,
                                      100000000000u,
                                      1000000000000u,
                                      10000000000000u,
                                      100000000000000u,
                                      1000000000000000u,
                                      10000000000000000u,
                                      100000000000000000u};

// The number of decimal digits of 0 < m < 10^17.
int digit_count(std::uint64_t m) {
  const int t = (std::bit_width(m) * 1233) >> 12;  // 1233 / 4096 ~ log10(2)
  return t + (m >= kPow10[t]);
}

// The eight decimal digits of v < 10^8, zero-padded, as the ASCII bytes of
// a little-endian word: stored, it reads "00012345". Each step splits every
// part in two at once (x * 10486 >> 20 is x / 100 for x < 10^4, x * 103 >> 10
// is x / 10 for x < 100).
std::uint64_t eight_digits(std::uint32_t v) {
  const std::uint64_t quads = (v / 10000) | (std::uint64_t{v % 10000} << 32);
  const std::uint64_t high_pairs = ((quads * 10486) >> 20) & 0x0000007F0000007Fu;
  const std::uint64_t pairs = high_pairs | ((quads - high_pairs * 100) << 16);
  const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000Fu;
  return (tens | ((pairs - tens * 10) << 8)) + 0x3030303030303030u;
}

}  // namespace

char* write_shortest(char* to, double v) {
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
  const std::uint64_t magnitude = bits & ~(std::uint64_t{1} << 63);
  if (magnitude == 0 || magnitude >= 0x7FF0000000000000u) {
    return std::to_chars(to, to + kShortestRoom, v).ptr;  // zero, not finite
  }
  const auto decimal = fmt::detail::dragonbox::to_decimal(std::bit_cast<double>(magnitude));
  const int e = decimal.exponent;
  if (e > 0) {
    // Zeros before the point: std::to_chars writes the integer the double
    // holds, digit for digit, not its shortest digits followed by zeros.
    return std::to_chars(to, to + kShortestRoom, v).ptr;
  }
  const std::uint64_t m = decimal.significand;  // |v| = m 10^e, m < 10^17
  const int n = digit_count(m);
  // The 17 digits of m, zero-padded, and zeros after them as far as the
  // fixed-size copies below read (17 bytes from the first of m's digits);
  // m's own digits are the last n of the 17.
  char digits[17 + 17];
  const std::uint64_t low = m % kPow10[16];
  const std::uint64_t a = eight_digits(static_cast<std::uint32_t>(low / kPow10[8]));
  const std::uint64_t b = eight_digits(static_cast<std::uint32_t>(low % kPow10[8]));
  digits[0] = static_cast<char>('0' + m / kPow10[16]);
  std::memcpy(digits + 1, &a, 8);
  std::memcpy(digits + 9, &b, 8);
  std::memset(digits + 17, '0', sizeof digits - 17);
  const char* d = digits + 17 - n;

  char* p = to;
  *p = '-';
  p += bits >> 63;
  // The form std::to_chars chooses: the shorter of scientific and fixed,
  // fixed when they are as long.
  const int sci_exp = e + n - 1;
  const int abs_exp = sci_exp < 0 ? -sci_exp : sci_exp;
  const int sci_length = n + (n > 1) + 2 + (abs_exp >= 100 ? 3 : 2);
  const int fixed_length = e == 0 ? n : (-e >= n ? 2 - e : n + 1);
  if (sci_length < fixed_length) {  // d.ddde-XX
    p[0] = d[0];
    p[1] = '.';
    std::memcpy(p + 2, d + 1, 16);
    p += n > 1 ? n + 1 : 1;
    p[0] = 'e';
    p[1] = sci_exp < 0 ? '-' : '+';
    p += 2;
    int x = abs_exp;
    if (x >= 100) {
      *p++ = static_cast<char>('0' + x / 100);
      x %= 100;
    }
    p[0] = static_cast<char>('0' + x / 10);
    p[1] = static_cast<char>('0' + x % 10);
    return p + 2;
  }
  if (e == 0) {  // ddd
    std::memcpy(p, d, 17);
    return p + n;
  }
  if (-e >= n) {  // 0.0ddd, no longer than the scientific form: three zeros at most
    std::memcpy(p, "0.000", 5);
    std::memcpy(p + 2 - e - n, d, 17);
    return p + 2 - e;
  }
  const int whole = n + e;  // dd.ddd
  std::memcpy(p, d, 16);
  p[whole] = '.';
  std::memcpy(p + whole + 1, d + whole, 16);
  return p + n + 1;
}

std::string shortest_text(double v) {
  char text[kShortestRoom];
  return std::string(text, write_shortest(text, v));
}

}  // namespace zuna::tables
