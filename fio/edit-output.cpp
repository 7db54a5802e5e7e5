#include "fio/edit-output.h"

#include <bit>
#include <cstdint>

#include "fio/edit-integer.h"
#include "fio/edit-real.h"

namespace zuna {
namespace {

using Kind = OutputItem::Kind;

bool is_radix(char descriptor) {
  return descriptor == 'Z' || descriptor == 'O' || descriptor == 'B';
}

int integer_bits(Kind kind) {
  switch (kind) {
    case Kind::int8: return 8;
    case Kind::int16: return 16;
    case Kind::int32: return 32;
    default: return 64;
  }
}

// Aw, or A: the whole text when w is 0 or at least its length (blanks first
// when w is longer), else its first w characters.
Field edit_chars(const DataEdit& edit, const OutputItem& item) {
  std::int64_t length = item.text != nullptr && item.length > 0 ? item.length : 0;
  std::int64_t width = edit.width;
  if (width == 0 || width >= length) {
    std::int64_t blanks = width > length ? width - length : 0;
    return Field{blanks, std::string_view(item.text, static_cast<std::size_t>(length)), 0};
  }
  return Field{0, std::string_view(item.text, static_cast<std::size_t>(width)), 0};
}

// Lw: "T" or "F" right-justified in w.
Field edit_logical(const DataEdit& edit, const OutputItem& item) {
  if (edit.width == 0) {
    return Field{};
  }
  return Field{edit.width - 1, item.i != 0 ? "T" : "F", 0};
}

IoError edit_real_part(const DataEdit& edit, const EditModes& modes, const OutputItem& item,
                       int part, FieldBuffer& buffer, Field& field) {
  double value = part == 0 ? item.re : item.im;
  bool single = item.kind == Kind::real32 || item.kind == Kind::complex64;
  if (is_radix(edit.descriptor)) {
    if (single) {
      return edit_radix(edit, std::bit_cast<std::uint32_t>(static_cast<float>(value)), 32, buffer,
                        field);
    }
    return edit_radix(edit, std::bit_cast<std::uint64_t>(value), 64, buffer, field);
  }
  switch (edit.descriptor) {
    case 'E':
    case 'D':
    case 'F':
    case 'G': return edit_real(edit, modes, value, single, buffer, field);
    default: return IoError::format_item_mismatch;
  }
}

}  // namespace

IoError edit_item(const DataEdit& edit, const EditModes& modes, const OutputItem& item, int part,
                  FieldBuffer& buffer, Field& field) {
  char descriptor = edit.descriptor;
  switch (item.kind) {
    case Kind::int8:
    case Kind::int16:
    case Kind::int32:
    case Kind::int64:
      if (descriptor == 'I' || descriptor == 'G') {
        DataEdit as_i = edit;
        if (descriptor == 'G') {
          as_i.descriptor = 'I';
          as_i.digits = 1;
        }
        return edit_integer(as_i, modes, item.i, buffer, field);
      }
      if (is_radix(descriptor)) {
        return edit_radix(edit, static_cast<std::uint64_t>(item.i), integer_bits(item.kind), buffer,
                          field);
      }
      return IoError::format_item_mismatch;
    case Kind::real32:
    case Kind::real64:
    case Kind::complex64:
    case Kind::complex128: return edit_real_part(edit, modes, item, part, buffer, field);
    case Kind::logical:
      if (descriptor == 'L' || descriptor == 'G') {
        field = edit_logical(edit, item);
        return IoError::ok;
      }
      return IoError::format_item_mismatch;
    case Kind::chars:
      if (descriptor == 'A' || descriptor == 'G') {
        field = edit_chars(edit, item);
        return IoError::ok;
      }
      return IoError::format_item_mismatch;
  }
  return IoError::format_item_mismatch;
}

}  // namespace zuna
