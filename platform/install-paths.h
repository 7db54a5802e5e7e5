// Where the program finds what is installed beside it: the shared data (the
// data file and the plot scripts) and the helper commands of the results
// menu. Everything is found relative to the program file, so an installation
// under any prefix works without settings.
#pragma once

#include <string>

namespace zuna {

// The program file's absolute path; empty when it cannot be had.
std::string executable_path();

// The shared data folder: <prefix>/share/zuna4 when the program runs from
// <prefix>/bin and that folder holds zuna.dat, else the source tree's data
// folder of an uninstalled build. Empty when neither holds zuna.dat.
std::string shared_data_folder();

// The folder of the helper commands "wgnuplot" and "notepad" of an installed
// program (<prefix>/libexec/zuna4); empty when the program is not installed,
// where the commands are looked for on the search path alone.
std::string helper_command_folder();

}  // namespace zuna
