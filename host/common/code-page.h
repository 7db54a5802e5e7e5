// The Windows-1252 code page of the program's texts, character by character.
// Each host decides what its screen does with the five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
#pragma once

namespace zuna {

// The Unicode character of a byte; 0 for the five undefined bytes.
char32_t cp1252_to_unicode(unsigned char byte);

// The byte of a Unicode character; false when the code page has none (the
// code points of the five undefined bytes included).
bool unicode_to_cp1252(char32_t c, char& byte);

}  // namespace zuna
