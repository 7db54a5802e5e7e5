// The real editors: E, D, F, G, EN and ES on one real value.
#pragma once

#include "fio/edit-field.h"

namespace zuna {

// Renders `value` under `edit` (descriptor E, D, F or G; E with variation
// 'N' or 'S' for EN and ES). `single` marks a real32 item, whose digits are
// rounded to at most 7 significant digits instead of 16. Answers
// format_field_too_wide for a width beyond the render buffer, else ok.
IoError edit_real(const DataEdit& edit, const EditModes& modes, double value, bool single,
                  FieldBuffer& buffer, Field& field);

// The special text of a value that is not a finite number: "1#INF" for
// either infinity, "1#SNAN" for a signalling NaN, "1#IND" for the negative
// NaN with an empty payload that invalid operations produce, "1#QNAN" for
// every other NaN.
const char* non_finite_text(double value);

}  // namespace zuna
