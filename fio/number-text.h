// The text of one list-directed value as an integer, a real or a logical.
// The whole text must be a number of the item's kind; a failure leaves the
// output untouched.
#pragma once

#include <cstdint>
#include <string_view>

#include "fio/io-error.h"

namespace zuna {

// An optional sign and decimal digits, within [low, high].
IoError parse_integer(std::string_view text, std::int64_t low, std::int64_t high,
                      std::int64_t& value);

// [sign] digits with an optional point [exponent], where the exponent is
// E, e, D or d with an optional sign and digits, or a sign directly followed
// by digits ("1.0-3" is 1.0E-3). Leading zeros are skipped; 25 significant
// digits are used, further ones only shift the exponent. The nearest double
// of that decimal; overflow is an error, underflow gives zero or a denormal.
IoError parse_real(std::string_view text, double& value);
// The same for a single-precision item: a magnitude above 3.402823466E38 is
// an error.
IoError parse_real32(std::string_view text, float& value);

// [.]T or [.]F (either case), then anything: ".TRUE.", "t", "False".
IoError parse_logical(std::string_view text, bool& value);

}  // namespace zuna
