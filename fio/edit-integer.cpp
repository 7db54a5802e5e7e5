// Digits are generated from the right into a small scratch array; the length
// of the whole string is known before the field is written, so a number that
// does not fit gives w asterisks without touching more than w characters.
#include "fio/edit-integer.h"

#include <algorithm>

namespace zuna {
namespace {

constexpr int kMaxIntegerDigits = 64;  // 64 binary digits

// Lays out [sign] [zeros up to m] [digits] right-justified in the field.
void place(const DataEdit& edit, char sign, const char* digits, int count, FieldBuffer& buffer,
           Field& field) {
  std::int64_t width = edit.width;
  std::int64_t shown = std::max<std::int64_t>(count, edit.digits);
  std::int64_t length = (sign != 0 ? 1 : 0) + shown;
  if (length > width) {
    std::fill_n(buffer.text, width, '*');
    field = Field{0, std::string_view(buffer.text, static_cast<std::size_t>(width)), 0};
    return;
  }
  char* out = buffer.text;
  if (sign != 0) {
    *out++ = sign;
  }
  out = std::fill_n(out, shown - count, '0');
  out = std::copy_n(digits, count, out);
  field = Field{width - length, std::string_view(buffer.text, static_cast<std::size_t>(length)), 0};
}

// The digits of `magnitude` in `base`, none for zero; answers the count and
// leaves them at the end of `scratch`.
int digits_of(std::uint64_t magnitude, unsigned base, char (&scratch)[kMaxIntegerDigits],
              const char*& first) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char* p = scratch + kMaxIntegerDigits;
  while (magnitude != 0) {
    *--p = kDigits[magnitude % base];
    magnitude /= base;
  }
  first = p;
  return static_cast<int>(scratch + kMaxIntegerDigits - p);
}

}  // namespace

IoError edit_integer(const DataEdit& edit, const EditModes& modes, std::int64_t value,
                     FieldBuffer& buffer, Field& field) {
  if (edit.width > kFieldBufferSize) {
    return IoError::format_field_too_wide;
  }
  std::uint64_t magnitude =
      value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  char scratch[kMaxIntegerDigits];
  const char* first = nullptr;
  int count = digits_of(magnitude, 10, scratch, first);
  char sign = 0;
  if (value < 0) {
    sign = '-';
  } else if (modes.sign_plus) {
    sign = '+';
  }
  if (value == 0 && edit.digits == 0) {
    sign = 0;  // an empty string: the field is all blanks
  }
  place(edit, sign, first, count, buffer, field);
  return IoError::ok;
}

IoError edit_radix(const DataEdit& edit, std::uint64_t bits, int bit_count, FieldBuffer& buffer,
                   Field& field) {
  if (edit.width > kFieldBufferSize) {
    return IoError::format_field_too_wide;
  }
  if (bit_count < 64) {
    bits &= (std::uint64_t{1} << bit_count) - 1;
  }
  unsigned base = edit.descriptor == 'Z' ? 16 : (edit.descriptor == 'O' ? 8 : 2);
  char scratch[kMaxIntegerDigits];
  const char* first = nullptr;
  int count = digits_of(bits, base, scratch, first);
  place(edit, 0, first, count, buffer, field);
  return IoError::ok;
}

}  // namespace zuna
