// Bounded line reading for the readers of text data files.
#pragma once

#include <cstddef>
#include <istream>
#include <string>

namespace zuna::thermodata {

enum class LineRead { line, end, too_long, failed };

// The next line of `in` into `line`, without its LF and a CR before it. A
// line of more than `max_length` characters is not taken (too_long): the
// readers bound their lines so that a file that is no text of theirs (a
// device, a binary) is refused at once instead of filling the memory.
// `failed` is a read error of the stream (errno holds the reason).
LineRead read_line(std::istream& in, std::string& line, std::size_t max_length);

}  // namespace zuna::thermodata
