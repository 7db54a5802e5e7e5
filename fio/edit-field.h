// What an editor receives and what it gives back.
//
// The walker hands each data edit to an editor as a small value: the
// descriptor with its numbers and a snapshot of the statement's modes. The
// editor renders into a fixed per-call buffer and answers a Field: blanks,
// then text, then blanks, which the walker copies into the record. Editors
// never touch the record themselves.
#pragma once

#include <cstdint>
#include <string_view>

#include "fio/io-error.h"

namespace zuna {

// The render buffer of one field. A field wider than this is refused with
// IoError::format_field_too_wide instead of being built.
inline constexpr int kFieldBufferSize = 520;

struct EditModes {
  int scale = 0;            // k of kP
  bool sign_plus = false;   // SP
  bool blank_zero = false;  // BZ: input only, carried along
};

struct DataEdit {
  char descriptor = 'I';      // I F E D G A L Z O B
  char variation = 0;         // E: 'D' for Ew.dDe, 'N' for EN, 'S' for ES
  std::int32_t width = 0;     // w
  std::int32_t digits = 1;    // d, or m of Iw.m, Zw.m, Ow.m, Bw.m
  std::int32_t exponent = 2;  // e
};

struct Field {
  std::int64_t leading_blanks = 0;
  std::string_view text;
  std::int64_t trailing_blanks = 0;
};

struct FieldBuffer {
  char text[kFieldBufferSize];
};

}  // namespace zuna
