// The one error of the library: an input out of range.
#pragma once

#include <stdexcept>

namespace zuna4 {

// Thrown before anything is computed when an input lies outside the range
// the library accepts; what() names the argument and the range.
class InputError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

}  // namespace zuna4
