// Builds binary dialog templates for the tests, item by item.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/dialog-template-writer.h"
#include "dialogs/dialog-template.h"

namespace zuna::testing {

class TemplateBuilder {
 public:
  // Modal frame, pop-up, caption, system menu and the dialog font.
  static constexpr std::uint32_t kDefaultStyle = 0x80C80040;

  explicit TemplateBuilder(std::uint32_t style = kDefaultStyle, std::u16string caption = u"Test",
                           std::int16_t cx = 200, std::int16_t cy = 100) {
    t_.style = style;
    t_.caption = std::move(caption);
    t_.cx = cx;
    t_.cy = cy;
    t_.point_size = 8;  // written only with DS_SETFONT
    t_.font_face = u"MS Sans Serif";
  }
  TemplateBuilder(std::u16string caption, std::int16_t cx, std::int16_t cy)
      : TemplateBuilder(kDefaultStyle, std::move(caption), cx, cy) {}

  // An item of a predefined class (0x80..0x85, or any other code) at a
  // default place; its title in Windows-1252 bytes, widened byte by byte.
  TemplateBuilder& item(std::uint16_t class_code, std::uint32_t style, std::uint16_t id,
                        const std::string& title = "", std::uint16_t creation_data = 0) {
    add(class_code, {}, style, id, widen(title), 1, 2, 30, 10).creation_data_length = creation_data;
    return *this;
  }
  // An item of a predefined class with its title and a place of its own
  // [dialog units].
  TemplateBuilder& item(std::uint16_t class_code, std::uint32_t style, std::uint16_t id,
                        std::u16string title, std::int16_t x, std::int16_t y, std::int16_t cx,
                        std::int16_t cy) {
    add(class_code, {}, style, id, std::move(title), x, y, cx, cy);
    return *this;
  }
  // The last item's title as an ordinal (0xFFFF, number) instead of a text.
  TemplateBuilder& ordinal_title(std::uint16_t ordinal) {
    t_.items.back().title_is_ordinal = true;
    t_.items.back().title_ordinal = ordinal;
    return *this;
  }
  // An item whose class is given by name.
  TemplateBuilder& named(const std::string& class_name, std::uint32_t style, std::uint16_t id,
                         const std::string& title = "") {
    add(0, widen(class_name), style, id, widen(title), 1, 2, 30, 10);
    return *this;
  }

  // Creation data, which the reader skips, are filled with 0xEE.
  std::vector<std::uint8_t> bytes() const { return write_dialog_template(t_, 0xEE); }

  DialogTemplate parsed() const { return *parse_dialog_template(bytes()); }

 private:
  // Every item is a visible child.
  DialogTemplateItem& add(std::uint16_t class_code, std::u16string class_name, std::uint32_t style,
                          std::uint16_t id, std::u16string title, std::int16_t x, std::int16_t y,
                          std::int16_t cx, std::int16_t cy) {
    DialogTemplateItem& it = t_.items.emplace_back();
    it.style = style | kWsChild | kWsVisible;
    it.x = x;
    it.y = y;
    it.cx = cx;
    it.cy = cy;
    it.id = id;
    it.class_code = class_code;
    it.class_name = std::move(class_name);
    it.title = std::move(title);
    return it;
  }

  static std::u16string widen(const std::string& s) {
    std::u16string w;
    for (char c : s) {
      w.push_back(static_cast<unsigned char>(c));
    }
    return w;
  }

  DialogTemplate t_;
};

}  // namespace zuna::testing
