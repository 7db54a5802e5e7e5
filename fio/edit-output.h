// One data edit applied to one value: the check that the descriptor suits
// the item's kind, and the choice of editor.
#pragma once

#include "fio/edit-field.h"
#include "fio/format.h"

namespace zuna {

// Renders part `part` of `item` (0, or 1 for the imaginary part of a
// complex item) under `edit`. Answers format_item_mismatch when the
// descriptor does not suit the kind:
//   integers   I, G (as Iw), Z, O, B
//   reals      E, D, F, G, EN, ES, Z, O, B (a complex item's parts are reals)
//   logical    L, G (as Lw)
//   characters A, G (as Aw)
// and format_field_too_wide when a numeric field is wider than the render
// buffer. Field texts point into `buffer` or into the item's own characters.
IoError edit_item(const DataEdit& edit, const EditModes& modes, const OutputItem& item, int part,
                  FieldBuffer& buffer, Field& field);

// Number of values an item hands to data edits: 2 for complex, else 1.
inline int item_parts(const OutputItem& item) {
  return item.kind == OutputItem::Kind::complex64 || item.kind == OutputItem::Kind::complex128 ? 2
                                                                                               : 1;
}

}  // namespace zuna
