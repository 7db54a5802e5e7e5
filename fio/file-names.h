// File names with a meaning of their own, and the name of a unit opened
// with a blank file name.
#pragma once

#include <string>
#include <string_view>

namespace zuna {

enum class SpecialName {
  none,     // an ordinary file
  user,     // "USER": a text window of its own
  console,  // "CON", "LINE": the default window
  null,     // "NUL": output thrown away, input at its end
  error,    // "ERR": the process's standard error
  port,     // "PRN", "AUX", "COM1".."COM4", "LPT1".."LPT4": no such device here
};

// The part of the name before an optional extension, case ignored. A name
// with a folder in it is always an ordinary file.
SpecialName classify_file_name(std::string_view name);

inline bool names_window(SpecialName name) {
  return name == SpecialName::user || name == SpecialName::console;
}

// The command-line arguments that blank file names take in turn (the
// program's own name not among them).
void set_command_line(int argc, const char* const* argv);

// A name for a unit opened with a blank file name: the next unused
// command-line argument, else the host's file selection. When the user
// selects nothing and then chooses to terminate, the program ends with exit
// code 1 (ProgramExit is thrown).
std::string obtain_file_name(int unit);

}  // namespace zuna
