// Conversion between the program's Windows-1252 texts and the terminal's
// UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace zuna {

// Every byte becomes its character in UTF-8. The five bytes that Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become "?".
std::string cp1252_to_utf8(std::string_view text);

// Typed UTF-8 back to Windows-1252. A character the code page lacks becomes
// "?". Bytes that are not valid UTF-8 are taken as Windows-1252 already, so
// a script written in the program's own code page passes unchanged.
std::string utf8_to_cp1252(std::string_view text);

}  // namespace zuna
