// Numbers in the messages of refused input: the shortest text that reads
// back as the same double ("1e-06", "0.99", "68046000.00000001").
#pragma once

#include <charconv>
#include <string>

#include "engine/engine.h"

namespace zuna::rocket {

// The refusal of `value` of `argument` with its range.
inline engine::Refusal refusal(engine::Argument argument, double value, engine::Bounds bounds,
                               double low, double high) {
  engine::Refusal r;
  r.argument = argument;
  r.value = value;
  r.bounds = bounds;
  r.low = low;
  r.high = high;
  return r;
}

inline std::string number_text(double v) {
  char text[32];
  return std::string(text, std::to_chars(text, text + sizeof text, v).ptr);
}

}  // namespace zuna::rocket
