#include "host/common/code-page.h"

namespace zuna {
namespace {

// Unicode of the bytes 0x80..0x9F; 0 where the code page defines nothing.
// Every other byte is its own Latin-1 character.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88..8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98..9F
};

}  // namespace

char32_t cp1252_to_unicode(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) {
    return kHighControls[byte - 0x80];
  }
  return byte;
}

bool unicode_to_cp1252(char32_t c, char& byte) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    byte = static_cast<char>(c);
    return true;
  }
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] != 0 && kHighControls[i] == c) {
      byte = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

}  // namespace zuna
