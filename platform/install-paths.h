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
// <prefix>/bin and that folder holds zuna.dat; else, for the programs of the
// build tree and the tests only, the source tree's data folder. Empty when
// neither holds zuna.dat. An installed program never looks into the source
// tree: it is linked without that folder's name (see build_tree_data_folder).
std::string shared_data_folder();

// Where an installed program looks for its shared data, <prefix>/share/zuna4
// beside its bin folder, whether that folder exists or not: the name a
// message gives when the shared data is missing. Empty when the program
// file cannot be found.
std::string installed_data_folder();

// The source tree's data folder that the build tree's programs fall back to,
// or nullptr. Defined twice: install-paths-build-tree.cpp (the name, in a
// library of its own that every program and test of the build tree links)
// and install-paths-installed.cpp (nullptr, linked into the installed
// programs instead, see packaging/CMakeLists.txt), so that an installed
// program holds no path of the machine it was built on and never reads
// files there.
const char* build_tree_data_folder();

// The folder of the helper commands "wgnuplot" and "notepad" of an installed
// program (<prefix>/libexec/zuna4); empty when the program is not installed,
// where the commands are looked for on the search path alone.
std::string helper_command_folder();

}  // namespace zuna
