// Start of the windowed program: from the process's start to its frame
// mapped on a virtual display (Xvfb), the presentation window inside it.
// Target: median under 300 ms on 2 cores. BM_EmptyQtWindow starts the
// emptiest Qt Widgets program with one window, the floor under that time.
// Each start is ended with SIGKILL once its window is mapped.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// One Xvfb for the whole run, on a display it picks itself.
class VirtualDisplay {
 public:
  VirtualDisplay() {
    int ready[2];
    if (pipe(ready) != 0) {
      return;
    }
    const std::string fd = std::to_string(ready[1]);
    char* argv[] = {const_cast<char*>("Xvfb"),
                    const_cast<char*>("-displayfd"),
                    const_cast<char*>(fd.c_str()),
                    const_cast<char*>("-screen"),
                    const_cast<char*>("0"),
                    const_cast<char*>("1024x768x24"),
                    const_cast<char*>("-nolisten"),
                    const_cast<char*>("tcp"),
                    nullptr};
    if (posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, argv, environ) != 0) {
      pid_ = -1;
    }
    close(ready[1]);
    std::string number;
    pollfd wait_for{ready[0], POLLIN, 0};
    char c = 0;
    while (pid_ > 0 && poll(&wait_for, 1, 20000) == 1 && read(ready[0], &c, 1) == 1 && c != '\n') {
      number += c;
    }
    close(ready[0]);
    if (!number.empty()) {
      name_ = ":" + number;
      display_ = XOpenDisplay(name_.c_str());
    }
  }
  ~VirtualDisplay() {
    if (display_ != nullptr) {
      XCloseDisplay(display_);
    }
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  Display* display() const { return display_; }
  const std::string& name() const { return name_; }

 private:
  pid_t pid_ = -1;
  std::string name_;
  Display* display_ = nullptr;
};

VirtualDisplay& virtual_display() {
  static VirtualDisplay d;
  return d;
}

bool named(Display* d, Window w, const std::string& title) {
  char* name = nullptr;
  if (XFetchName(d, w, &name) == 0 || name == nullptr) {
    return false;
  }
  const bool same = title == name;
  XFree(name);
  return same;
}

// Starts `program` in `folder` and answers the seconds until a top-level
// window titled `title` is mapped; -1 on failure.
double start_until_mapped(const std::string& program, const fs::path& folder,
                          const std::string& title) {
  VirtualDisplay& vd = virtual_display();
  Display* d = vd.display();
  XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
  XSync(d, True);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::string display = "DISPLAY=" + vd.name();
  std::string platform = "QT_QPA_PLATFORM=xcb";
  std::string home = "HOME=" + folder.string();
  char* envp[] = {display.data(), platform.data(), home.data(), nullptr};
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  pid_t pid = 0;
  const auto start = std::chrono::steady_clock::now();
  const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    return -1;
  }
  double seconds = -1;
  const int fd = ConnectionNumber(d);
  while (seconds < 0 && std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
    while (XPending(d) > 0) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type == MapNotify && named(d, e.xmap.window, title)) {
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        break;
      }
    }
    if (seconds < 0) {
      pollfd p{fd, POLLIN, 0};
      poll(&p, 1, 50);
    }
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return seconds;
}

void measure(benchmark::State& state, const std::string& program, const std::string& title) {
  if (virtual_display().display() == nullptr) {
    state.SkipWithError("Xvfb could not be started");
    return;
  }
  const fs::path folder =
      fs::temp_directory_path() / ("zuna-bench-startup-" + std::to_string(getpid()));
  fs::create_directories(folder);
  fs::copy_file(fs::path(ZUNA_DATA_DIR) / "zuna.dat", folder / "zuna.dat",
                fs::copy_options::overwrite_existing);
  for (auto _ : state) {
    const double seconds = start_until_mapped(program, folder, title);
    if (seconds < 0) {
      state.SkipWithError("the window did not appear");
      break;
    }
    state.SetIterationTime(seconds);
  }
  fs::remove_all(folder);
}

void BM_Zuna4ToPresentation(benchmark::State& state) { measure(state, ZUNA4_PATH, "zuna4"); }
void BM_EmptyQtWindow(benchmark::State& state) {
  measure(state, ZUNA_EMPTY_WINDOW_PATH, "zuna4-floor");
}

// One start per repetition: the median is one of the aggregates reported.
BENCHMARK(BM_Zuna4ToPresentation)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmptyQtWindow)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
