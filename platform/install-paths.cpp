#include "platform/install-paths.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace zuna {
namespace {

namespace fs = std::filesystem;

// The folder `relative` (a path from the installed bin/ folder, set by the
// build from the install layout) beside the program file; empty when it is
// not there.
fs::path beside_program(const char* relative) {
  const std::string program = executable_path();
  if (program.empty()) {
    return {};
  }
  std::error_code error;
  fs::path folder = fs::weakly_canonical(fs::path(program).parent_path() / relative, error);
  if (error || !fs::is_directory(folder, error)) {
    return {};
  }
  return folder;
}

bool holds_data_file(const fs::path& folder) {
  std::error_code error;
  return !folder.empty() && fs::is_regular_file(folder / "zuna.dat", error);
}

}  // namespace

std::string executable_path() {
  std::error_code error;
  fs::path path = fs::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

std::string shared_data_folder() {
  if (fs::path installed = beside_program(ZUNA_BIN_TO_DATA); holds_data_file(installed)) {
    return installed.string();
  }
  if (const char* source = build_tree_data_folder(); source != nullptr && holds_data_file(source)) {
    return source;
  }
  return {};
}

std::string installed_data_folder() {
  const std::string program = executable_path();
  if (program.empty()) {
    return {};
  }
  return (fs::path(program).parent_path() / ZUNA_BIN_TO_DATA).lexically_normal().string();
}

std::string helper_command_folder() {
  const fs::path folder = beside_program(ZUNA_BIN_TO_HELPERS);
  std::error_code error;
  if (folder.empty() || access((folder / "wgnuplot").c_str(), X_OK) != 0) {
    return {};
  }
  return folder.string();
}

}  // namespace zuna
