// The integer editors: I, and Z, O, B on the bits of a value.
#pragma once

#include <cstdint>

#include "fio/edit-field.h"

namespace zuna {

// Iw.m: the decimal digits zero-padded to at least m, with "-" for a
// negative value or "+" under SP. Zero with m = 0 is an empty string.
IoError edit_integer(const DataEdit& edit, const EditModes& modes, std::int64_t value,
                     FieldBuffer& buffer, Field& field);

// Zw.m, Ow.m, Bw.m: the low `bit_count` bits of `bits` in base 16, 8 or 2,
// unsigned, zero-padded to at least m digits (m defaults to 1; zero with
// m = 0 is an empty string). The walker passes an integer's two's complement
// at its kind's width and a real's IEEE bits at its own precision.
IoError edit_radix(const DataEdit& edit, std::uint64_t bits, int bit_count, FieldBuffer& buffer,
                   Field& field);

}  // namespace zuna
