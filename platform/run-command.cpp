#include "platform/run-command.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <fcntl.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
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

// The process groups of the commands started since launch_commands_in_groups,
// while a process of theirs may be left.
struct LaunchedGroups {
  std::mutex mutex;
  bool enabled = false;
  bool adopting = false;  // this process adopts its commands' orphans
  std::vector<pid_t> groups;
};

LaunchedGroups& launched() {
  static LaunchedGroups groups;
  return groups;
}

// Reaps the ended processes of one group; false when no process of it is
// left. An adopted orphan that has ended stays a zombie until reaped here,
// and keeps the group's id from being reused meanwhile.
bool group_alive(pid_t group) {
  for (;;) {
    int status = 0;
    const pid_t reaped = waitpid(-group, &status, WNOHANG);
    if (reaped > 0) {
      continue;
    }
    if (reaped == 0) {
      return true;  // a child in the group still runs
    }
    if (errno == EINTR) {
      continue;
    }
    // None of our children is left in it: others may be (the orphans of a
    // program that does not adopt them).
    return kill(-group, 0) == 0 || errno == EPERM;
  }
}

// Forgets the groups that have ended. With adoption on, also reaps the
// adopted orphans of other groups (a viewer started in a session of its
// own), which would otherwise stay zombies until the program ends. Called
// with the mutex held.
void forget_ended_groups(LaunchedGroups& state) {
  std::erase_if(state.groups, [](pid_t group) { return !group_alive(group); });
  if (!state.adopting) {
    return;
  }
  for (;;) {
    siginfo_t info{};
    if (waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == 0) {
      return;
    }
    const pid_t pid = info.si_pid;
    const pid_t group = getpgid(pid);
    if (std::find(state.groups.begin(), state.groups.end(), group) != state.groups.end()) {
      if (!group_alive(group)) {
        std::erase(state.groups, group);
      }
    } else {
      int status = 0;
      waitpid(pid, &status, WNOHANG);
    }
  }
}

}  // namespace

void launch_commands_in_groups() {
  LaunchedGroups& state = launched();
  std::lock_guard lock(state.mutex);
  state.enabled = true;
#ifdef __linux__
  state.adopting = prctl(PR_SET_CHILD_SUBREAPER, 1L, 0L, 0L, 0L) == 0;
#endif
}

int end_launched_commands() {
  LaunchedGroups& state = launched();
  std::lock_guard lock(state.mutex);
  forget_ended_groups(state);
  int signalled = 0;
  for (pid_t group : state.groups) {
    if (kill(-group, SIGTERM) == 0) {
      ++signalled;
    }
  }
  return signalled;
}

std::vector<int> launched_command_groups() {
  LaunchedGroups& state = launched();
  std::lock_guard lock(state.mutex);
  forget_ended_groups(state);
  return std::vector<int>(state.groups.begin(), state.groups.end());
}

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
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    errno = ENOMEM;
    return false;
  }
  LaunchedGroups& state = launched();
  std::unique_lock lock(state.mutex);
  const bool grouped = state.enabled;
  if (grouped) {
    forget_ended_groups(state);
    // A group of its own, whose id is the shell's process id. A process
    // outside the terminal's foreground group that reads the terminal is
    // stopped: the child reads nothing from it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  if (grouped || isatty(STDIN_FILENO) == 0) {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  char shell[] = "/bin/sh";
  char option[] = "-c";
  char* argv[] = {shell, option, line.data(), nullptr};
  pid_t pid = 0;
  int error = 0;
  try {
    if (grouped) {
      state.groups.reserve(state.groups.size() + 1);
    }
    error = posix_spawn(&pid, shell, &actions, &attributes, argv, environment.get());
  } catch (const std::bad_alloc&) {
    error = ENOMEM;
  }
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    errno = error;
    return false;
  }
  if (grouped) {
    state.groups.push_back(pid);
  }
  lock.unlock();
  wait_for(pid);
  return true;
}

}  // namespace zuna
