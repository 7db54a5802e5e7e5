// Files of the two tools, zuna4-fit and zuna4-validate: inputs opened and
// read line by line with a bound on every line, the output file replaced
// through a temporary of its own, and standard output checked before exit.
// Every refusal carries the system's reason (strerror).
#pragma once

#include <cstddef>
#include <fstream>
#include <istream>
#include <string>

#include "thermodata/line-read.h"

namespace zuna::fit {

// Opens the file `name` for reading. A folder, or a file that cannot be
// opened, is refused: false, with "cannot open NAME: <reason>" in `error`.
bool open_input(const std::string& name, std::ifstream& in, std::string& error);

// Inputs are read line by line with the species readers' bounded reader.
using thermodata::LineRead;
using thermodata::read_line;

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
