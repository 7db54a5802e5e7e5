#include "host/qt/cp1252.h"

#include "host/common/code-page.h"

namespace zuna {
namespace {

// The five bytes that Windows-1252 leaves undefined stand for the control
// characters of the same number, as Latin-1 has them, so that every byte
// survives the trip to the screen and back.
char16_t unicode_of(unsigned char byte) {
  const char32_t c = cp1252_to_unicode(byte);
  return c != 0 ? static_cast<char16_t>(c) : byte;
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
  const char16_t u = ch.unicode();
  if (unicode_to_cp1252(u, out)) {
    return true;
  }
  if (u >= 0x80 && u < 0xA0 && cp1252_to_unicode(static_cast<unsigned char>(u)) == 0) {
    out = static_cast<char>(u);
    return true;
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
