// The program's texts are Windows-1252 bytes; the screen speaks Unicode.
// These two functions are the only crossing between them in the windowed
// host.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace zuna {

// Every byte has a character: the five bytes that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of
// the same number, as Latin-1 has them.
QString from_cp1252(std::string_view bytes);

// A character that Windows-1252 cannot hold becomes '?'.
std::string to_cp1252(const QString& text);

// One character, or nothing when Windows-1252 cannot hold it.
bool to_cp1252_char(QChar ch, char& out);

}  // namespace zuna
