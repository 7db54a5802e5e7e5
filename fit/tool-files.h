// Files of the two tools, zuna4-fit and zuna4-validate: inputs opened and
// read line by line with a bound on every line, the output file replaced
// through a temporary of its own, and standard output checked before exit.
// Every refusal carries the system's reason (strerror).
#pragma once

#include <cstddef>
#include <fstream>
#include <istream>
#include <string>

namespace zuna::fit {

// Opens the file `name` for reading. A folder, or a file that cannot be
// opened, is refused: false, with "cannot open NAME: <reason>" in `error`.
bool open_input(const std::string& name, std::ifstream& in, std::string& error);

enum class LineRead { line, end, too_long, failed };

// The next line of `in` into `line`, without its LF and a CR before it. A
// line of more than `max_length` characters is not taken (too_long): the
// readers bound their lines so that a file that is no text of theirs (a
// device, a binary) is refused at once instead of filling the memory.
// `failed` is a read error of the stream (errno holds the reason).
LineRead read_line(std::istream& in, std::string& line, std::size_t max_length);

// Replaces the file `output` with `text`. An output that exists and is not a
// regular file (a device, a folder, a symbolic link) is refused, as is a
// folder where no file may be created. The text is written to a temporary
// file of a unique name beside `output`, created exclusively (never an
// existing file, never through a link), and renamed onto `output` when whole;
// on any failure `output` is as it was and the temporary is removed. The new
// file has the permissions a new file gets (0666 less the umask). False,
// with the reason in `error`, on failure.
bool replace_file(const std::string& output, const std::string& text, std::string& error);

// True when both names lead to the same existing file.
bool same_file(const std::string& a, const std::string& b);

// Flushes standard output and checks that everything written to it arrived
// (a full disk, a closed pipe); false with the reason in `error` otherwise.
bool finish_standard_output(std::string& error);

}  // namespace zuna::fit
