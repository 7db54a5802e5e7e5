// Builds binary dialog templates for the tests, item by item.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dialogs/dialog-template.h"

namespace zuna::testing {

class TemplateBuilder {
 public:
  // Modal frame, pop-up, caption, system menu and the dialog font.
  static constexpr std::uint32_t kDefaultStyle = 0x80C80040;

  explicit TemplateBuilder(std::uint32_t style = kDefaultStyle, std::u16string caption = u"Test",
                           std::int16_t cx = 200, std::int16_t cy = 100)
      : style_(style), caption_(std::move(caption)), cx_(cx), cy_(cy) {}
  TemplateBuilder(std::u16string caption, std::int16_t cx, std::int16_t cy)
      : TemplateBuilder(kDefaultStyle, std::move(caption), cx, cy) {}

  // An item of a predefined class (0x80..0x85, or any other code) at a
  // default place; its title in Windows-1252 bytes, widened byte by byte.
  TemplateBuilder& item(std::uint16_t class_code, std::uint32_t style, std::uint16_t id,
                        const std::string& title = "", std::uint16_t creation_data = 0) {
    items_.push_back({class_code, {}, style, id, widen(title), creation_data, -1, 1, 2, 30, 10});
    return *this;
  }
  // An item of a predefined class with its title and a place of its own
  // [dialog units].
  TemplateBuilder& item(std::uint16_t class_code, std::uint32_t style, std::uint16_t id,
                        std::u16string title, std::int16_t x, std::int16_t y, std::int16_t cx,
                        std::int16_t cy) {
    items_.push_back({class_code, {}, style, id, std::move(title), 0, -1, x, y, cx, cy});
    return *this;
  }
  // The last item's title as an ordinal (0xFFFF, number) instead of a text.
  TemplateBuilder& ordinal_title(std::uint16_t ordinal) {
    items_.back().title_ordinal = ordinal;
    return *this;
  }
  // An item whose class is given by name.
  TemplateBuilder& named(const std::string& class_name, std::uint32_t style, std::uint16_t id,
                         const std::string& title = "") {
    items_.push_back({0, widen(class_name), style, id, widen(title), 0, -1, 1, 2, 30, 10});
    return *this;
  }

  std::vector<std::uint8_t> bytes() const {
    std::vector<std::uint8_t> b;
    dword(b, style_);
    dword(b, 0);
    word(b, static_cast<std::uint16_t>(items_.size()));
    for (int v : {0, 0, static_cast<int>(cx_), static_cast<int>(cy_)}) {
      word(b, static_cast<std::uint16_t>(v));
    }
    word(b, 0);  // menu
    word(b, 0);  // class
    text(b, caption_);
    if ((style_ & kDsSetFont) != 0) {
      word(b, 8);
      text(b, u"MS Sans Serif");
    }
    for (const Item& it : items_) {
      while (b.size() % 4 != 0) {
        b.push_back(0);
      }
      dword(b, it.style | kWsChild | kWsVisible);
      dword(b, 0);
      for (int v : {it.x, it.y, it.cx, it.cy}) {
        word(b, static_cast<std::uint16_t>(v));
      }
      word(b, it.id);
      if (it.class_name.empty()) {
        word(b, 0xFFFF);
        word(b, it.class_code);
      } else {
        text(b, it.class_name);
      }
      if (it.title_ordinal >= 0) {
        word(b, 0xFFFF);
        word(b, static_cast<std::uint16_t>(it.title_ordinal));
      } else {
        text(b, it.title);
      }
      word(b, it.creation_data);
      for (int k = 2; k < it.creation_data; ++k) {
        b.push_back(0xEE);
      }
    }
    return b;
  }

  DialogTemplate parsed() const { return *parse_dialog_template(bytes()); }

 private:
  struct Item {
    std::uint16_t class_code;
    std::u16string class_name;
    std::uint32_t style;
    std::uint16_t id;
    std::u16string title;
    std::uint16_t creation_data;
    int title_ordinal;  // -1: the title is a text
    std::int16_t x, y, cx, cy;
  };

  static std::u16string widen(const std::string& s) {
    std::u16string w;
    for (char c : s) {
      w.push_back(static_cast<unsigned char>(c));
    }
    return w;
  }
  static void word(std::vector<std::uint8_t>& b, std::uint16_t w) {
    b.push_back(static_cast<std::uint8_t>(w & 0xFF));
    b.push_back(static_cast<std::uint8_t>(w >> 8));
  }
  static void dword(std::vector<std::uint8_t>& b, std::uint32_t d) {
    word(b, static_cast<std::uint16_t>(d & 0xFFFF));
    word(b, static_cast<std::uint16_t>(d >> 16));
  }
  static void text(std::vector<std::uint8_t>& b, const std::u16string& s) {
    for (char16_t c : s) {
      word(b, static_cast<std::uint16_t>(c));
    }
    word(b, 0);
  }

  std::uint32_t style_;
  std::u16string caption_;
  std::int16_t cx_, cy_;
  std::vector<Item> items_;
};

}  // namespace zuna::testing
