// The whole default session of the console program as a process, from start
// to exit, driven by its script: Enter for the presentation, OK in the
// parameter dialog, Enter after the processing time, "Encerrar o Programa",
// OK. Targets: under 3 ms wall time (median) and under 10 MB peak resident
// memory (the largest child so far). BM_EmptyProcess measures what starting
// any process costs on the machine at hand, which the wall time includes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

extern char** environ;

namespace {

namespace fs = std::filesystem;

class SessionFolder {
 public:
  SessionFolder() {
    dir_ = fs::temp_directory_path() / ("zuna-bench-session-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::copy_file(fs::path(ZUNA_DATA_DIR) / "zuna.dat", dir_ / "zuna.dat");
    std::ofstream(dir_ / "script") << "\n\n\n1034\n\n";
  }
  ~SessionFolder() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  const fs::path& dir() const { return dir_; }

 private:
  fs::path dir_;
};

// One run of `program` in the folder, its standard input the script; answers
// the exit code, or -1 when it could not be started.
int run_process(const SessionFolder& folder, const char* program) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  const std::string script = (folder.dir() / "script").string();
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, script.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, folder.dir().c_str());
  std::string name = program;
  char* argv[] = {name.data(), nullptr};
  pid_t pid = 0;
  const int error = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
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

double children_cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Counters: peak_rss_MB, and child_cpu_ms, the processor time of one session
// (user and system), which a busy machine does not inflate as it does the
// wall time.
void BM_DefaultSession(benchmark::State& state) {
  SessionFolder folder;
  const double cpu_before = children_cpu_seconds();
  for (auto _ : state) {
    if (run_process(folder, ZUNA4C_PATH) != 0) {
      state.SkipWithError("the session did not end with exit code 0");
      break;
    }
  }
  state.counters["child_cpu_ms"] =
      (children_cpu_seconds() - cpu_before) * 1e3 / static_cast<double>(state.iterations());
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_DefaultSession)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// The floor under the session's time on this machine: creating, starting and
// waiting for a process that does nothing, with the same standard files and
// folder. The session's own work is the difference between the two medians.
void BM_EmptyProcess(benchmark::State& state) {
  SessionFolder folder;
  for (auto _ : state) {
    if (run_process(folder, "/bin/true") != 0) {
      state.SkipWithError("/bin/true did not end with exit code 0");
      break;
    }
  }
}
BENCHMARK(BM_EmptyProcess)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
