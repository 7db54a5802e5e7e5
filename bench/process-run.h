// What the benchmarks of whole processes share: a scratch folder holding the
// shipped data file, one run of a program in it, the processor time its
// children used, the task clock of one run as perf counts it, and the floor
// every process start costs on the machine.
#pragma once

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <linux/perf_event.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <limits>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace zuna::bench {

namespace fs = std::filesystem;

class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name) {
    dir_ = fs::temp_directory_path() / (name + "-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::copy_file(fs::path(ZUNA_DATA_DIR) / "zuna.dat", dir_ / "zuna.dat");
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const fs::path& dir() const { return dir_; }

 private:
  fs::path dir_;
};

// One run of `program` with `arguments` in the folder, standard input from
// `input` (a file of the folder, or /dev/null when empty), standard output
// and error to /dev/null; answers the exit code, or -1 when it could not be
// started.
inline int run_process(const ScratchFolder& folder, const char* program,
                       std::vector<std::string> arguments, const std::string& input = "") {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string in = input.empty() ? "/dev/null" : (folder.dir() / input).string();
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, folder.dir().c_str());
  std::string name = program;
  std::vector<char*> argv = {name.data()};
  for (std::string& a : arguments) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    return -1;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One run of `program` as run_process does, with stdin from /dev/null,
// timed the way `perf stat -e task-clock` times a command: a task-clock
// counter is attached to the child between its fork and its exec and
// counts from the exec to the exit, every thread of it. The child's time
// before the exec (the fork's side of it and the exec's own work up to the
// new program's mapping) is not counted, while the children's rusage
// (children_cpu_seconds) holds it. `task_clock_s` is NaN when the system
// refuses the counter (perf_event_paranoid).
inline int run_process_task_clock(const ScratchFolder& folder, const char* program,
                                  std::vector<std::string> arguments, double& task_clock_s) {
  task_clock_s = std::numeric_limits<double>::quiet_NaN();
  std::string name = program;
  std::vector<char*> argv = {name.data()};
  for (std::string& a : arguments) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  const std::string dir = folder.dir().string();
  int go[2];
  if (pipe2(go, O_CLOEXEC) != 0) {
    return -1;
  }
  const pid_t pid = fork();
  if (pid < 0) {
    close(go[0]);
    close(go[1]);
    return -1;
  }
  if (pid == 0) {  // only async-signal-safe calls until the exec
    close(go[1]);
    char c;
    while (read(go[0], &c, 1) < 0 && errno == EINTR) {
    }
    const int null_in = open("/dev/null", O_RDONLY);
    const int null_out = open("/dev/null", O_WRONLY);
    if (null_in < 0 || null_out < 0 || dup2(null_in, STDIN_FILENO) < 0 ||
        dup2(null_out, STDOUT_FILENO) < 0 || dup2(null_out, STDERR_FILENO) < 0 ||
        chdir(dir.c_str()) != 0) {
      _exit(127);
    }
    execve(program, argv.data(), environ);
    _exit(127);
  }
  close(go[0]);
  perf_event_attr attr{};
  attr.size = sizeof attr;
  attr.type = PERF_TYPE_SOFTWARE;
  attr.config = PERF_COUNT_SW_TASK_CLOCK;
  attr.disabled = 1;
  attr.enable_on_exec = 1;
  attr.inherit = 1;
  const int counter = static_cast<int>(
      syscall(SYS_perf_event_open, &attr, pid, -1, -1, PERF_FLAG_FD_CLOEXEC));
  close(go[1]);  // the end of the pipe lets the child go on to its exec
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  if (counter >= 0) {
    std::uint64_t ns = 0;
    if (read(counter, &ns, sizeof ns) == static_cast<ssize_t>(sizeof ns)) {
      task_clock_s = static_cast<double>(ns) * 1e-9;
    }
    close(counter);
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// User and system time of every child waited for so far [s].
inline double children_cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The floor under a process's wall time on this machine: creating, starting
// and waiting for a process that does nothing, with the same standard files
// and folder. A program's own work is the difference between the medians.
inline void BM_EmptyProcess(benchmark::State& state) {
  ScratchFolder folder("zuna-bench-empty");
  for (auto _ : state) {
    if (run_process(folder, "/bin/true", {}) != 0) {
      state.SkipWithError("/bin/true did not end with exit code 0");
      break;
    }
  }
}

}  // namespace zuna::bench
