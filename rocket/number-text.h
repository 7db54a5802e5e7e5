// Numbers in the messages of refused input: the shortest text that reads
// back as the same double ("1e-06", "0.99", "68046000.00000001").
#pragma once

#include <charconv>
#include <string>

namespace zuna::rocket {

inline std::string number_text(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

}  // namespace zuna::rocket
