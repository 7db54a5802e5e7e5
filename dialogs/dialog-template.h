// The binary dialog template (the platform's published in-memory form of a
// dialog resource), read with bounds checks: a malformed or truncated
// template is refused, never read past its end. Both hosts build their
// on-screen dialogs from this, and the dialog manager its control list.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "dialogs/control-kind.h"
#include "dialogs/template-styles.h"

namespace zuna {

struct DialogTemplateItem {
  std::uint32_t style = 0;
  std::uint32_t ex_style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::uint16_t id = 0;                       // unsigned: -1 is 65535
  std::uint16_t class_code = 0;               // 0x80..0x85, or 0 when given by name
  std::u16string class_name;                  // when the class is given by name
  bool title_is_ordinal = false;
  std::uint16_t title_ordinal = 0;
  std::u16string title;  // 16-bit text as stored
  std::uint16_t creation_data_length = 0;
};

struct DialogTemplate {
  std::uint32_t style = 0;
  std::uint32_t ex_style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::u16string caption;
  std::uint16_t point_size = 0;  // with DS_SETFONT
  std::u16string font_face;      // with DS_SETFONT
  std::vector<DialogTemplateItem> items;
};

// Nothing when the bytes are not a complete template.
std::optional<DialogTemplate> parse_dialog_template(std::span<const std::uint8_t> bytes);

// The 8-bit form of a template text: the low byte of each 16-bit unit.
std::string low_bytes(const std::u16string& text);

// The registry of templates by number. The program registers its stored
// templates at start (resources/); tests register their own. Registering
// keeps a copy of the bytes and replaces what the number had; registering no
// bytes leaves the number without a template. find answers an empty span
// for a number without a template; a span found stays valid until its
// number is registered again.
std::span<const std::uint8_t> find_dialog_template(int id);
void register_dialog_template(int id, std::span<const std::uint8_t> bytes);

}  // namespace zuna
