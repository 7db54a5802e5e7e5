#include "host/console/cp1252.h"

#include <cstdint>

namespace zuna {
namespace {

// Unicode of the bytes 0x80..0x9F; 0 where the code page defines nothing.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88..8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98..9F
};

char32_t cp1252_char(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) {
    return kHighControls[byte - 0x80];
  }
  return byte;
}

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

// The Windows-1252 byte of a character, or "?" when the code page lacks it.
char cp1252_byte(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    return static_cast<char>(c);
  }
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] != 0 && kHighControls[i] == c) {
      return static_cast<char>(0x80 + i);
    }
  }
  return '?';
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
    const char32_t c = cp1252_char(static_cast<unsigned char>(ch));
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
      out += cp1252_byte(c);
      i += static_cast<std::size_t>(length);
    }
  }
  return out;
}

}  // namespace zuna
