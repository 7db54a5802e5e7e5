#include "dialogs/dialog-template.h"

#include <map>
#include <mutex>

namespace zuna {

namespace {

// Reads little-endian words from the template. Every read checks that the
// bytes are there and answers false when they are not; nothing is ever read
// outside the span.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  bool word(std::uint16_t& out) {
    if (bytes_.size() - pos_ < 2) {
      return false;
    }
    out = static_cast<std::uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
  }

  bool signed_word(std::int16_t& out) {
    std::uint16_t w = 0;
    if (!word(w)) {
      return false;
    }
    out = static_cast<std::int16_t>(w);
    return true;
  }

  bool dword(std::uint32_t& out) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (!word(low) || !word(high)) {
      return false;
    }
    out = static_cast<std::uint32_t>(low) | (static_cast<std::uint32_t>(high) << 16);
    return true;
  }

  // Zero-terminated 16-bit text, the first unit already read.
  bool text_from(std::uint16_t first, std::u16string& out) {
    out.clear();
    std::uint16_t unit = first;
    while (unit != 0) {
      out.push_back(static_cast<char16_t>(unit));
      if (!word(unit)) {
        return false;
      }
    }
    return true;
  }

  bool text(std::u16string& out) {
    std::uint16_t first = 0;
    return word(first) && text_from(first, out);
  }

  bool skip(std::size_t count) {
    if (bytes_.size() - pos_ < count) {
      return false;
    }
    pos_ += count;
    return true;
  }

  // Items start at 4-byte boundaries counted from the template's start.
  bool align4() { return skip((4 - pos_ % 4) % 4); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
};

// A header field that is absent (0x0000), an ordinal (0xFFFF, number) or a
// name; only its extent matters here.
bool skip_name_or_ordinal(ByteReader& r) {
  std::uint16_t first = 0;
  if (!r.word(first)) {
    return false;
  }
  if (first == 0) {
    return true;
  }
  if (first == 0xFFFF) {
    std::uint16_t ordinal = 0;
    return r.word(ordinal);
  }
  std::u16string name;
  return r.text_from(first, name);
}

bool read_header(ByteReader& r, DialogTemplate& t, std::uint16_t& count) {
  if (!r.dword(t.style) || !r.dword(t.ex_style) || !r.word(count) || !r.signed_word(t.x) ||
      !r.signed_word(t.y) || !r.signed_word(t.cx) || !r.signed_word(t.cy)) {
    return false;
  }
  // The extended form starts with version 1 and the signature 0xFFFF; it is
  // another layout, which this reader does not take.
  if (t.style == 0xFFFF0001u) {
    return false;
  }
  if (!skip_name_or_ordinal(r) || !skip_name_or_ordinal(r) || !r.text(t.caption)) {
    return false;
  }
  if ((t.style & kDsSetFont) != 0) {
    return r.word(t.point_size) && r.text(t.font_face);
  }
  return true;
}

bool read_item(ByteReader& r, DialogTemplateItem& item) {
  if (!r.align4() || !r.dword(item.style) || !r.dword(item.ex_style) || !r.signed_word(item.x) ||
      !r.signed_word(item.y) || !r.signed_word(item.cx) || !r.signed_word(item.cy) ||
      !r.word(item.id)) {
    return false;
  }
  std::uint16_t first = 0;
  if (!r.word(first)) {
    return false;
  }
  if (first == 0xFFFF) {
    if (!r.word(item.class_code)) {
      return false;
    }
  } else if (!r.text_from(first, item.class_name)) {
    return false;
  }
  if (!r.word(first)) {
    return false;
  }
  if (first == 0xFFFF) {
    item.title_is_ordinal = true;
    if (!r.word(item.title_ordinal)) {
      return false;
    }
  } else if (!r.text_from(first, item.title)) {
    return false;
  }
  if (!r.word(item.creation_data_length)) {
    return false;
  }
  // A non-zero length counts the creation data in bytes including the
  // length word itself; the data are skipped. The next item begins at the
  // following 4-byte boundary.
  if (item.creation_data_length > 2) {
    return r.skip(item.creation_data_length - 2u);
  }
  return true;
}

struct Registry {
  std::mutex lock;
  std::map<int, std::vector<std::uint8_t>> templates;
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

std::optional<DialogTemplate> parse_dialog_template(std::span<const std::uint8_t> bytes) {
  ByteReader r(bytes);
  DialogTemplate t;
  std::uint16_t count = 0;
  if (!read_header(r, t, count)) {
    return std::nullopt;
  }
  // Each item takes at least 24 bytes, so a count the bytes cannot hold is
  // refused before anything is reserved for it.
  if (static_cast<std::size_t>(count) > bytes.size() / 24 + 1) {
    return std::nullopt;
  }
  t.items.reserve(count);
  for (std::uint16_t i = 0; i < count; ++i) {
    DialogTemplateItem item;
    if (!read_item(r, item)) {
      return std::nullopt;
    }
    t.items.push_back(std::move(item));
  }
  return t;
}

std::string low_bytes(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) {
    out.push_back(static_cast<char>(static_cast<std::uint16_t>(c) & 0xFF));
  }
  return out;
}

std::span<const std::uint8_t> find_dialog_template(int id) {
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.lock);
  auto it = reg.templates.find(id);
  if (it == reg.templates.end()) {
    return {};
  }
  return it->second;
}

void register_dialog_template(int id, std::span<const std::uint8_t> bytes) {
  Registry& reg = registry();
  std::lock_guard<std::mutex> guard(reg.lock);
  reg.templates[id].assign(bytes.begin(), bytes.end());
}

}  // namespace zuna
