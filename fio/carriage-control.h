// First-character control: the first character of a record is taken away
// and decides what goes out in front of the rest of it.
#pragma once

#include <string_view>

namespace zuna {

// On a window line ends stand in front of a record, so that a record left
// open stays the line the user types on:
//   blank      CR LF (nothing for the first record)
//   '0'        CR LF CR LF, an empty line (only CR LF for the first record)
//   '1'        CR LF FF CR blank CR, a new page (also for the first record)
//   '+'        CR, overwrite the current line (also for the first record)
//   any other  as blank
std::string_view window_control_prefix(char control, bool first_record);

// On a file each record still ends with CR LF:
//   blank, '+' and any other  nothing ('+' cannot go back over a line that
//                              has already been written)
//   '0'        CR LF, an extra empty line
//   '1'        FF CR blank CR, a new page
std::string_view file_control_prefix(char control);

}  // namespace zuna
