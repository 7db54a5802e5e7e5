// The console program's batch run as a process, from start to exit:
// `zuna4c --batch --csv FILE` over the default grid (33 points), and over
// 10 pressures x 103 points. Target for the default grid: at most 6 ms wall
// time (median). BM_EmptyProcess measures what starting any process costs on
// the machine at hand; counters give the processor time of one run and, for
// the large run, its cost per point.
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

namespace {

namespace fs = std::filesystem;

class BatchFolder {
 public:
  BatchFolder() {
    dir_ = fs::temp_directory_path() / ("zuna-bench-batch-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::copy_file(fs::path(ZUNA_DATA_DIR) / "zuna.dat", dir_ / "zuna.dat");
  }
  ~BatchFolder() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }
  const fs::path& dir() const { return dir_; }

 private:
  fs::path dir_;
};

// One run of `program` with `arguments` in the folder; answers the exit code,
// or -1 when it could not be started.
int run_process(const BatchFolder& folder, const char* program,
                std::vector<std::string> arguments) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
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

double children_cpu_seconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

void run_batch(benchmark::State& state, const std::vector<std::string>& arguments, double points) {
  BatchFolder folder;
  const double cpu_before = children_cpu_seconds();
  for (auto _ : state) {
    if (run_process(folder, ZUNA4C_PATH, arguments) != 0) {
      state.SkipWithError("the batch run did not end with exit code 0");
      break;
    }
  }
  const double runs = static_cast<double>(state.iterations());
  state.counters["child_cpu_ms"] = (children_cpu_seconds() - cpu_before) * 1e3 / runs;
  // Wall time per point, the process's start included.
  state.counters["us_per_point"] = benchmark::Counter(
      runs * points * 1e-6, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_BatchDefaultGrid(benchmark::State& state) {
  run_batch(state, {"--batch", "--csv=out.csv"}, 33);
}
BENCHMARK(BM_BatchDefaultGrid)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// npmin + npmax = 100: 103 points per calculation.
void BM_BatchTenPressures(benchmark::State& state) {
  run_batch(state,
            {"--batch", "--npmin=50", "--npmax=50", "--pressure=1e-2:1e3:10", "--csv=out.csv"},
            10 * 103);
}
BENCHMARK(BM_BatchTenPressures)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_EmptyProcess(benchmark::State& state) {
  BatchFolder folder;
  for (auto _ : state) {
    if (run_process(folder, "/bin/true", {}) != 0) {
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
