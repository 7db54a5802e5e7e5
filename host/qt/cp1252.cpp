#include "host/qt/cp1252.h"

#include <array>

namespace zuna {
namespace {

// 0x80..0x9F; 0 marks the bytes without a character of their own.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t unicode_of(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F && kHighControls[byte - 0x80] != 0) {
    return kHighControls[byte - 0x80];
  }
  return byte;
}

}  // namespace

QString from_cp1252(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (char c : bytes) {
    text.append(QChar(unicode_of(static_cast<unsigned char>(c))));
  }
  return text;
}

bool to_cp1252_char(QChar ch, char& out) {
  char16_t u = ch.unicode();
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
    out = static_cast<char>(u);
    return true;
  }
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    bool undefined_byte = kHighControls[i] == 0;
    if ((undefined_byte && u == 0x80 + i) || (!undefined_byte && u == kHighControls[i])) {
      out = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

std::string to_cp1252(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (QChar ch : text) {
    char c = '?';
    to_cp1252_char(ch, c);
    bytes.push_back(c);
  }
  return bytes;
}

}  // namespace zuna
