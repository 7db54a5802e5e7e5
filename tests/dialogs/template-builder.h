// Builds binary dialog templates for the tests, item by item.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/dialog-template.h"

namespace zuna::testing {

class TemplateBuilder {
 public:
  explicit TemplateBuilder(std::uint32_t style = 0x80C80040 /* modal frame, popup, caption, sysmenu, setfont */)
      : style_(style) {}

  // An item of a predefined class (0x80..0x85, or any other code).
  TemplateBuilder& item(std::uint16_t class_code, std::uint32_t style, std::uint16_t id,
                        const std::string& title = "", std::uint16_t creation_data = 0) {
    items_.push_back({class_code, {}, style, id, title, creation_data, -1});
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
    items_.push_back({0, class_name, style, id, title, 0, -1});
    return *this;
  }

  std::vector<std::uint8_t> bytes() const {
    std::vector<std::uint8_t> b;
    dword(b, style_);
    dword(b, 0);
    word(b, static_cast<std::uint16_t>(items_.size()));
    for (int v : {0, 0, 200, 100}) {
      word(b, static_cast<std::uint16_t>(v));
    }
    word(b, 0);  // menu
    word(b, 0);  // class
    text(b, "Test");
    if ((style_ & kDsSetFont) != 0) {
      word(b, 8);
      text(b, "MS Sans Serif");
    }
    for (const Item& it : items_) {
      while (b.size() % 4 != 0) {
        b.push_back(0);
      }
      dword(b, it.style | kWsChild | kWsVisible);
      dword(b, 0);
      for (int v : {1, 2, 30, 10}) {
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

 private:
  struct Item {
    std::uint16_t class_code;
    std::string class_name;
    std::uint32_t style;
    std::uint16_t id;
    std::string title;  // Windows-1252 bytes, widened unit by unit
    std::uint16_t creation_data;
    int title_ordinal;  // -1: the title is a text
  };

  static void word(std::vector<std::uint8_t>& b, std::uint16_t w) {
    b.push_back(static_cast<std::uint8_t>(w & 0xFF));
    b.push_back(static_cast<std::uint8_t>(w >> 8));
  }
  static void dword(std::vector<std::uint8_t>& b, std::uint32_t d) {
    word(b, static_cast<std::uint16_t>(d & 0xFFFF));
    word(b, static_cast<std::uint16_t>(d >> 16));
  }
  static void text(std::vector<std::uint8_t>& b, const std::string& s) {
    for (char c : s) {
      word(b, static_cast<std::uint8_t>(c));
    }
    word(b, 0);
  }

  std::uint32_t style_;
  std::vector<Item> items_;
};

}  // namespace zuna::testing
