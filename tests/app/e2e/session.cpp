#include "session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace zuna::testing {

namespace fs = std::filesystem;

namespace {

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read " + p.string());
  }
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Replaces the standard streams of the child; ends it at once on failure.
void redirect(const fs::path& p, int fd, int flags) {
  const int f = open(p.c_str(), flags, 0644);
  if (f < 0 || dup2(f, fd) < 0) {
    _exit(125);
  }
  close(f);
}

}  // namespace

WorkFolder::WorkFolder() {
  static std::atomic<int> counter{0};
  base_ = fs::temp_directory_path() /
          ("zuna-e2e-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  work_ = base_ / "work";
  fs::remove_all(base_);
  fs::create_directories(work_);
  fs::copy_file(fs::path(ZUNA_DATA_DIR) / "zuna.dat", work_ / "zuna.dat");
}

WorkFolder::~WorkFolder() {
  std::error_code ignored;
  fs::remove_all(base_, ignored);
}

std::string WorkFolder::read(const std::string& name) const { return slurp(work_ / name); }

void WorkFolder::write(const std::string& name, std::string_view bytes) const {
  std::ofstream(work_ / name, std::ios::binary) << bytes;
}

SessionResult WorkFolder::run(std::string_view input,
                              const std::vector<std::string>& environment) const {
  RunOptions options;
  options.environment = environment;
  return run(input, options);
}

// In the child: the working folder, the standard files, the environment,
// then the program (through the launcher, if any). Never returns.
[[noreturn]] void WorkFolder::start_child(int stdin_fd, const RunOptions& options) const {
  if (chdir(work_.c_str()) != 0) {
    _exit(125);
  }
  if (stdin_fd >= 0) {
    if (dup2(stdin_fd, STDIN_FILENO) < 0) {
      _exit(125);
    }
    close(stdin_fd);
  } else {
    redirect(base_ / "stdin", STDIN_FILENO, O_RDONLY);
  }
  redirect(options.stdout_path.empty() ? base_ / "stdout" : fs::path(options.stdout_path),
           STDOUT_FILENO, O_WRONLY | O_CREAT | O_TRUNC);
  redirect(base_ / "stderr", STDERR_FILENO, O_WRONLY | O_CREAT | O_TRUNC);
  if (options.close_stdout) {
    close(STDOUT_FILENO);
  }
  if (options.close_stderr) {
    close(STDERR_FILENO);
  }
  for (const std::string& e : options.environment) {
    const auto sign = e.find('=');
    if (sign == std::string::npos) {
      unsetenv(e.c_str());
    } else {
      setenv(e.substr(0, sign).c_str(), e.substr(sign + 1).c_str(), 1);
    }
  }
  alarm(120);  // a session that hangs is ended rather than the whole suite
  std::vector<const char*> argv;
  for (const std::string& word : options.launcher) {
    argv.push_back(word.c_str());
  }
  argv.push_back(ZUNA4C_PATH);
  for (const std::string& word : options.arguments) {
    argv.push_back(word.c_str());
  }
  argv.push_back(nullptr);
  execvp(argv[0], const_cast<char* const*>(argv.data()));
  _exit(127);
}

SessionResult WorkFolder::finish_child(int pid) const {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      throw std::runtime_error("lost the session's process");
    }
  }
  SessionResult r;
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  r.out = fs::exists(base_ / "stdout") ? slurp(base_ / "stdout") : std::string();
  r.err = slurp(base_ / "stderr");
  return r;
}

SessionResult WorkFolder::run(std::string_view input, const RunOptions& options) const {
  std::ofstream(base_ / "stdin", std::ios::binary) << input;
  const pid_t pid = fork();
  if (pid < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid == 0) {
    start_child(-1, options);
  }
  return finish_child(pid);
}

SessionResult WorkFolder::run_with_arguments(const std::vector<std::string>& arguments,
                                             std::string_view input) const {
  RunOptions options;
  options.arguments = arguments;
  return run(input, options);
}

SessionResult WorkFolder::run_and_signal(std::string_view input, std::string_view shown,
                                         int signal,
                                         const std::function<void()>& meanwhile) const {
  fs::remove(base_ / "stdout");  // the poll below must see this run's output only
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) {
    throw std::runtime_error("pipe failed");
  }
  const pid_t pid = fork();
  if (pid < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid == 0) {
    close(pipe_fds[1]);
    start_child(pipe_fds[0], RunOptions{});
  }
  close(pipe_fds[0]);
  if (::write(pipe_fds[1], input.data(), input.size()) != static_cast<ssize_t>(input.size())) {
    throw std::runtime_error("the session took no input");
  }
  for (int tries = 0; tries < 1000; ++tries) {
    if (fs::exists(base_ / "stdout") && slurp(base_ / "stdout").find(shown) != std::string::npos) {
      break;
    }
    usleep(10000);
  }
  if (meanwhile) {
    meanwhile();
  }
  kill(pid, signal);
  SessionResult r = finish_child(pid);
  close(pipe_fds[1]);
  return r;
}

bool mask_processing_times(std::string& text) {
  static const std::string marker = "Tempo de processamento (s) = ";
  static const std::regex field(" *[0-9]\\.[0-9][0-9]E[-+][0-9][0-9]");
  bool ok = true;
  for (auto at = text.find(marker); at != std::string::npos; at = text.find(marker, at)) {
    at += marker.size();
    const std::string value = text.substr(at, 10);
    ok = ok && value.size() == 10 && std::regex_match(value, field);
    text.replace(at, std::min<std::size_t>(10, text.size() - at), "TTTTTTTTTT");
  }
  return ok;
}

std::string golden(const std::string& session, const std::string& name) {
  return slurp(fs::path(ZUNA_GOLDEN_DIR) / session / name);
}

}  // namespace zuna::testing
