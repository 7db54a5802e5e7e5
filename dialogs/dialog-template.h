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

namespace zuna {

// Styles the templates and hosts use.
inline constexpr std::uint32_t kWsGroup = 0x00020000;
inline constexpr std::uint32_t kWsTabStop = 0x00010000;
inline constexpr std::uint32_t kWsBorder = 0x00800000;
inline constexpr std::uint32_t kWsVisible = 0x10000000;
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kDsSetFont = 0x40;

// Predefined window classes.
inline constexpr std::uint16_t kClassButton = 0x80;
inline constexpr std::uint16_t kClassEdit = 0x81;
inline constexpr std::uint16_t kClassStatic = 0x82;
inline constexpr std::uint16_t kClassListBox = 0x83;
inline constexpr std::uint16_t kClassScrollBar = 0x84;
inline constexpr std::uint16_t kClassComboBox = 0x85;

struct DialogTemplateItem {
  std::uint32_t style = 0;
  std::uint32_t ex_style = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;  // dialog units
  std::uint16_t id = 0;                        // unsigned: -1 is 65535
  std::uint16_t class_code = 0;                // 0x80..0x85, or 0 when given by name
  std::u16string class_name;                   // when the class is given by name
  bool title_is_ordinal = false;
  std::uint16_t title_ordinal = 0;
  std::u16string title;                        // 16-bit text as stored
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

// The templates stored with the program, by number; empty when there is none.
// Tests may add templates of their own: a registered template (a copy of the
// bytes is kept) takes the place of a stored one with the same number, and
// registering no bytes hides the stored one. A span found stays valid until
// its number is registered again.
std::span<const std::uint8_t> find_dialog_template(int id);
void register_dialog_template(int id, std::span<const std::uint8_t> bytes);

}  // namespace zuna
