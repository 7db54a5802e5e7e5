#include "platform/run-command.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/install-paths.h"

extern char** environ;

namespace zuna {
namespace {

// The text up to its last non-blank character.
int trimmed_length(const char* text, int length) {
  int n = length > 0 ? length : 0;
  while (n > 0 && text[n - 1] == ' ') {
    --n;
  }
  return n;
}

// Waits for the child, retrying when a signal interrupts the wait.
void wait_for(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) == -1) {
    if (errno != EINTR) {
      return;
    }
  }
}

// The child's environment: the program's own, with the installed helper
// commands' folder first on PATH so that "wgnuplot" and "notepad" are found
// without the user changing the search path. An uninstalled program leaves
// PATH as it is.
class ChildEnvironment {
 public:
  void build() {
    static const std::string helpers = helper_command_folder();
    if (helpers.empty()) {
      return;
    }
    const char* path = std::getenv("PATH");
    path_ = "PATH=" + helpers + ":" + (path != nullptr && path[0] != '\0' ? path : "/usr/bin:/bin");
    for (char** e = environ; *e != nullptr; ++e) {
      if (std::string_view(*e).substr(0, 5) != "PATH=") {
        entries_.push_back(*e);
      }
    }
    entries_.push_back(path_.data());
    entries_.push_back(nullptr);
  }
  char** get() { return entries_.empty() ? environ : entries_.data(); }

 private:
  std::string path_;
  std::vector<char*> entries_;
};

}  // namespace

bool run_command(const char* text, int length) {
  std::string line;
  ChildEnvironment environment;
  try {
    environment.build();
    line.assign(text, static_cast<std::size_t>(trimmed_length(text, length)));
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return false;
  }

  // Whatever the program has buffered must reach the terminal before the
  // child writes to it.
  std::fflush(nullptr);

  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) {
    errno = ENOMEM;
    return false;
  }
  if (isatty(STDIN_FILENO) == 0) {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  char shell[] = "/bin/sh";
  char option[] = "-c";
  char* argv[] = {shell, option, line.data(), nullptr};
  pid_t pid = 0;
  const int error = posix_spawn(&pid, shell, &actions, nullptr, argv, environment.get());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    errno = error;
    return false;
  }
  wait_for(pid);
  return true;
}

}  // namespace zuna
