// The refusals of the rocket's checks, and the numbers in their messages:
// the shortest text that reads back as the same double ("1e-06", "0.99",
// "68046000.00000001").
#pragma once

#include <string>

#include "engine/engine.h"
#include "tables/shortest.h"

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

using tables::shortest_text;

}  // namespace zuna::rocket
