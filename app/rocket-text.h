// Numbers as text for the rocket performance's dialog and report (the
// shortest text of a number is tables::shortest_text).
//
// std::to_chars, not printf: the windowed program runs under the user's
// locale, whose decimal comma must not reach a field or the report.
#pragma once

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>

namespace zuna::rocket_text {

// v with `digits` decimals: 68.0460.
inline std::string fixed(double v, int digits) {
  char text[64];
  auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, digits);
  return std::string(text, r.ptr);
}

// v with `digits` decimals of its mantissa: 6.8948E+01.
inline std::string scientific(double v, int digits) {
  char text[64];
  auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, digits);
  std::string s(text, r.ptr);
  std::replace(s.begin(), s.end(), 'e', 'E');
  return s;
}

}  // namespace zuna::rocket_text
