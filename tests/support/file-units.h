// Units on files, as the suites of the formatted I/O layer open and write
// them: a formatted file by name, and one record of text.
#pragma once

#include <string_view>

#include "fio/fio.h"

namespace zuna::testing {

inline OpenOptions file_options(std::string_view name) {
  OpenOptions o;
  o.file = name;
  o.form = "formatted";
  return o;
}

inline void write_record(int unit, std::string_view text, const char* format = "(A)") {
  begin_write(unit, format, -1);
  put_chars(text.data(), static_cast<int>(text.size()));
  end_write();
}

}  // namespace zuna::testing
