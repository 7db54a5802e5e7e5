// Writes a DialogTemplate in the binary form parse_dialog_template reads.
// Header only: the template compiler, built before any library, uses it too.
//
// Layout, every number little-endian:
//   header   style (32), extended style (32), item count (16),
//            x, y, cx, cy (16 each), menu 0x0000, class 0x0000, caption,
//            and with DS_SETFONT the point size (16) and the face name
//   item     at the next 4-byte boundary: style (32), extended style (32),
//            x, y, cx, cy (16 each), id (16), class 0xFFFF + code (or a
//            name), title (0xFFFF + ordinal, or a text), creation-data
//            length (16) and the creation data
// Texts are zero-terminated 16-bit characters.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/dialog-template.h"

namespace zuna {

// An item's class is written as its code unless the code is 0; then by its
// name. Creation data are not kept in the model: a length above 2 (it counts
// the length word) is followed by that many bytes less 2 of creation_data_fill.
inline std::vector<std::uint8_t> write_dialog_template(const DialogTemplate& t,
                                                       std::uint8_t creation_data_fill = 0) {
  std::vector<std::uint8_t> b;
  auto word = [&b](std::uint16_t w) {
    b.push_back(static_cast<std::uint8_t>(w & 0xFF));
    b.push_back(static_cast<std::uint8_t>(w >> 8));
  };
  auto dword = [&word](std::uint32_t d) {
    word(static_cast<std::uint16_t>(d & 0xFFFF));
    word(static_cast<std::uint16_t>(d >> 16));
  };
  auto text = [&word](const std::u16string& s) {
    for (char16_t c : s) {
      word(static_cast<std::uint16_t>(c));
    }
    word(0);
  };
  auto place = [&word](std::int16_t x, std::int16_t y, std::int16_t cx, std::int16_t cy) {
    for (std::int16_t v : {x, y, cx, cy}) {
      word(static_cast<std::uint16_t>(v));
    }
  };

  dword(t.style);
  dword(t.ex_style);
  word(static_cast<std::uint16_t>(t.items.size()));
  place(t.x, t.y, t.cx, t.cy);
  word(0);  // no menu
  word(0);  // the platform's dialog class
  text(t.caption);
  if ((t.style & kDsSetFont) != 0) {
    word(t.point_size);
    text(t.font_face);
  }
  for (const DialogTemplateItem& item : t.items) {
    b.resize((b.size() + 3) / 4 * 4, 0);
    dword(item.style);
    dword(item.ex_style);
    place(item.x, item.y, item.cx, item.cy);
    word(item.id);
    if (item.class_code != 0) {
      word(0xFFFF);
      word(item.class_code);
    } else {
      text(item.class_name);
    }
    if (item.title_is_ordinal) {
      word(0xFFFF);
      word(item.title_ordinal);
    } else {
      text(item.title);
    }
    word(item.creation_data_length);
    if (item.creation_data_length > 2) {
      b.insert(b.end(), item.creation_data_length - 2u, creation_data_fill);
    }
  }
  return b;
}

}  // namespace zuna
