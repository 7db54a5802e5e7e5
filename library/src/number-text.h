// Numbers in the library's messages: the shortest text that reads back as
// the same double.
#pragma once

#include <charconv>
#include <string>

namespace zuna4::detail {

inline std::string number_text(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

}  // namespace zuna4::detail
