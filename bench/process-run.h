// What the benchmarks of whole processes share: a scratch folder holding the
// shipped data file, one run of a program in it, the processor time its
// children used, and the floor every process start costs on the machine.
#pragma once

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
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
