// The data file, read once per program run.
#pragma once

#include <string>
#include <string_view>

#include "app/program-state.h"

namespace zuna {

// The data file's name when none is given.
inline constexpr std::string_view kDefaultDataFile = "zuna.dat";

// Reads the data file `name` into state.data and builds state.tc from it.
// Its errors (missing file, short file, a value that does not read) are
// run-time errors that end the program. The file must exist: opened as a new
// file it would be left behind empty, and the user told of an end of file
// rather than of the missing file. A name the run-time would take for a
// device or a window ("user", "con", ...) is read as the file of that name
// in the working folder.
//
// With `sha256`, it receives the SHA-256 (lower-case hexadecimal) of the
// file's bytes as this load read them: the file is read once, so that a
// pipe or a FIFO (--data=/dev/stdin) is digested and read alike, once.
void load_program_data(ProgramState& state, std::string_view name = kDefaultDataFile,
                       std::string* sha256 = nullptr);

// While load_program_data reads a data file held in memory, the name its
// unit reads under ("/dev/fd/N"), which a message should show as the data
// file's own name; empty otherwise.
const std::string& held_data_file_name();

}  // namespace zuna
