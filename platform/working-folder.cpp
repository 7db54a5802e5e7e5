#include "platform/working-folder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/install-paths.h"

namespace zuna {
namespace {

namespace fs = std::filesystem;

constexpr const char* kDataFile = "zuna.dat";

std::string quoted(const fs::path& p) { return "\"" + p.string() + "\""; }

// "what: reason" for a failed system call.
std::string because(const std::error_code& error) { return error.message(); }

bool absolute_setting(const char* value) { return value != nullptr && value[0] == '/'; }

std::string home_folder() {
  if (const char* home = std::getenv("HOME"); absolute_setting(home)) {
    return home;
  }
  if (const passwd* entry = getpwuid(getuid());
      entry != nullptr && absolute_setting(entry->pw_dir)) {
    return entry->pw_dir;
  }
  return {};
}

// Whether the folder holds an entry named zuna.dat, whatever it is (a link
// that leads nowhere included: the program then reports the missing file).
bool has_data_entry(const fs::path& folder) {
  std::error_code error;
  return fs::exists(fs::symlink_status(folder / kDataFile, error));
}

// A message when the folder's zuna.dat is a folder: the program could never
// read it, and nothing may be put in its place.
std::optional<std::string> data_entry_unusable(const fs::path& folder) {
  std::error_code error;
  if (fs::is_directory(folder / kDataFile, error)) {
    return "The data file " + quoted(folder / kDataFile) +
           " is a folder, not a file. Rename or remove that folder, or start the program "
           "with another working folder.";
  }
  return std::nullopt;
}

// Creates the folder and its parents when missing.
std::optional<std::string> make_folder(const fs::path& folder) {
  std::error_code error;
  if (fs::is_directory(folder, error)) {
    return std::nullopt;
  }
  fs::create_directories(folder, error);
  // A folder there now, made here or by another program started at the
  // same moment, serves; only then is something else in the way.
  std::error_code again;
  if (!error || fs::is_directory(folder, again)) {
    return std::nullopt;
  }
  if (fs::exists(fs::symlink_status(folder, again))) {
    return "The working folder " + quoted(folder) +
           " cannot be used: a file of that name is in the way. Move the file, or start the "
           "program with another working folder.";
  }
  return "The working folder " + quoted(folder) + " cannot be created: " + because(error) +
         ". Create it yourself, or start the program with another working folder.";
}

// The program writes its report and plot files into the folder: checked by
// creating (and removing) a file, which also holds for read-only file
// systems and for the superuser.
std::optional<std::string> check_writable(const fs::path& folder) {
  std::string probe = (folder / ".zuna4-probe-XXXXXX").string();
  const int fd = mkstemp(probe.data());
  if (fd < 0) {
    return "The working folder " + quoted(folder) + " cannot be written: " + std::strerror(errno) +
           ". Give yourself write permission there, or start the program with another "
           "working folder.";
  }
  close(fd);
  unlink(probe.c_str());
  return std::nullopt;
}

// Copies `from` to `to` only when `to` does not exist. The copy is written
// under a temporary name of its own (".zuna4-copy-NAME.xxxxxx", unique to
// this process, so that programs started together in a new folder never
// take each other's copy) and then linked to its name, which fails rather
// than replaces when a file of that name appeared meanwhile: another program
// seeding the same folder got there first, which is as good. An interrupted
// copy never leaves a partial file under the real name. Answers whether
// this call put the file there; `error` holds the system's reason of a
// failure.
bool copy_if_missing(const fs::path& from, const fs::path& to, std::error_code& error) {
  if (fs::exists(fs::symlink_status(to, error))) {
    error.clear();
    return false;
  }
  std::string temporary =
      (to.parent_path() / (".zuna4-copy-" + to.filename().string() + ".XXXXXX")).string();
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) {
    error.assign(errno, std::generic_category());
    return false;
  }
  close(fd);
  bool copied = false;
  fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error);
  if (!error) {
    if (link(temporary.c_str(), to.c_str()) == 0) {
      copied = true;
    } else if (errno != EEXIST) {
      error.assign(errno, std::generic_category());
    }
  }
  unlink(temporary.c_str());
  return copied;
}

// Gives the folder the shared data file and plot scripts it lacks.
std::variant<bool, std::string> seed(const fs::path& folder) {
  const std::string shared = shared_data_folder();
  if (shared.empty()) {
    if (has_data_entry(folder)) {
      return false;
    }
    // An installed program names the file it lacks; it never looks elsewhere.
    const std::string installed = installed_data_folder();
    std::string message = "The working folder " + quoted(folder) + " holds no zuna.dat, and ";
    if (installed.empty()) {
      message += "the program's own copy cannot be found";
    } else {
      message += "the program's own copy " + quoted(fs::path(installed) / kDataFile) +
                 " is missing";
    }
    message += ". Put a zuna.dat there, or reinstall the program.";
    return message;
  }
  std::vector<fs::path> sources;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(shared, error)) {
    const fs::path name = entry.path().filename();
    if (name == kDataFile || name.extension() == ".gnu") {
      sources.push_back(entry.path());
    }
  }
  bool seeded = false;
  for (const fs::path& source : sources) {
    const fs::path target = folder / source.filename();
    seeded = copy_if_missing(source, target, error) || seeded;
    if (error) {
      return "The file " + quoted(target) + " cannot be written: " + because(error) +
             ". Free some space or give yourself write permission there, then start the "
             "program again.";
    }
  }
  return seeded;
}

}  // namespace

std::string per_user_working_folder() {
  if (const char* data_home = std::getenv("XDG_DATA_HOME"); absolute_setting(data_home)) {
    return (fs::path(data_home) / "zuna4").string();
  }
  const std::string home = home_folder();
  return home.empty() ? std::string() : (fs::path(home) / ".local/share/zuna4").string();
}

std::variant<WorkingFolder, std::string> enter_working_folder(
    const std::optional<std::string>& explicit_folder) {
  std::error_code error;
  WorkingFolder chosen;
  bool seed_it = true;
  if (explicit_folder) {
    if (explicit_folder->empty()) {
      return std::string("The working folder named on the command line is empty. Name a folder.");
    }
    chosen.path = fs::absolute(*explicit_folder, error).lexically_normal().string();
  } else {
    const fs::path current = fs::current_path(error);
    if (!error && has_data_entry(current)) {
      chosen.path = current.string();
      seed_it = false;
    } else {
      chosen.path = per_user_working_folder();
      chosen.per_user = true;
      if (chosen.path.empty()) {
        return std::string(
            "No working folder: the current folder holds no zuna.dat and no home folder is "
            "known (HOME is not set). Start the program in a folder that holds zuna.dat, or "
            "name a working folder.");
      }
    }
  }
  if (!chosen.path.empty() && chosen.path.size() > 1 && chosen.path.back() == '/') {
    chosen.path.pop_back();
  }
  const fs::path folder = chosen.path;

  if (std::optional<std::string> failure = make_folder(folder)) {
    return *failure;
  }
  if (std::optional<std::string> failure = check_writable(folder)) {
    return *failure;
  }
  if (std::optional<std::string> failure = data_entry_unusable(folder)) {
    return *failure;
  }
  if (seed_it) {
    std::variant<bool, std::string> seeded = seed(folder);
    if (std::holds_alternative<std::string>(seeded)) {
      return std::get<std::string>(seeded);
    }
    chosen.seeded = std::get<bool>(seeded);
  }
  if (chdir(folder.c_str()) != 0) {
    return "The working folder " + quoted(folder) + " cannot be entered: " + std::strerror(errno) +
           ". Check its permissions, or start the program with another "
           "working folder.";
  }
  return chosen;
}

}  // namespace zuna
