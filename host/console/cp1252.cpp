#include "host/console/cp1252.h"

#include <cstdint>

#include "host/common/code-page.h"

namespace zuna {
namespace {

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes one UTF-8 sequence at text[i]; answers its length, or 0 when the
// bytes there are not a well-formed sequence.
int decode_utf8(std::string_view text, std::size_t i, char32_t& c) {
  const auto b0 = static_cast<unsigned char>(text[i]);
  int length = 0;
  char32_t min = 0;  // smallest character of that length: shorter forms are refused
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    c = b0 & 0x1F;
    min = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    c = b0 & 0x0F;
    min = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    c = b0 & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (i + length > text.size()) {
    return 0;
  }
  for (int k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(text[i + k]);
    if ((b & 0xC0) != 0x80) {
      return 0;
    }
    c = (c << 6) | (b & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    return 0;
  }
  return length;
}

}  // namespace

std::string cp1252_to_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (char ch : text) {
    const char32_t c = cp1252_to_unicode(static_cast<unsigned char>(ch));
    if (c == 0) {
      out += '?';
    } else {
      append_utf8(out, c);
    }
  }
  return out;
}

std::string utf8_to_cp1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    char32_t c = 0;
    const int length = b < 0x80 ? 0 : decode_utf8(text, i, c);
    if (length == 0) {
      out += static_cast<char>(b);
      ++i;
    } else {
      char byte = '?';
      unicode_to_cp1252(c, byte);
      out += byte;
      i += static_cast<std::size_t>(length);
    }
  }
  return out;
}

}  // namespace zuna
