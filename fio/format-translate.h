// Translation of a format text into the operation list of format-ops.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zuna {

// Deepest nesting of groups inside the outer parentheses.
inline constexpr int kMaxGroupDepth = 16;
// Most digit characters a number of the format text may have.
inline constexpr int kMaxNumberDigits = 16;

// Replaces `ops` with the translation of text[0, length). Translation stops
// at the parenthesis that closes the first one; whatever follows is ignored.
// At the first syntax fault an error operation takes the place of the faulty
// item and translation ends: the operations before it stay usable, and the
// fault is only reported if the walk gets that far.
void translate_format(const char* text, std::size_t length, std::vector<std::uint8_t>& ops);

}  // namespace zuna
