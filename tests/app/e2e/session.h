// Runs the console program as a process in a working folder of its own.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace zuna::testing {

struct SessionResult {
  int exit_code = -1;  // -1 when the program did not exit normally
  int signal = 0;      // the signal it died of
  std::string out;     // standard output
  std::string err;     // standard error
};

// The eight files a calculation writes, report first.
inline const std::vector<std::string> kOutputFiles = {
    "saida", "tad.dat", "fmx.dat", "mol.dat", "fmos.dat", "fmas.dat", "fmoc.dat", "fmac.dat"};

// How a session's process is started, beyond its input and environment.
struct RunOptions {
  std::vector<std::string> environment;  // "NAME=value" to set, "NAME" to unset
  bool close_stdout = false;             // started with standard output closed
  bool close_stderr = false;             // started with standard error closed
  std::string stdout_path;               // standard output to this file (e.g. /dev/full)
  // A command that starts the program, e.g. {"setpriv", "--reuid=65534", ...}.
  std::vector<std::string> launcher;
  std::vector<std::string> arguments;  // the program's command-line arguments
};

class WorkFolder {
 public:
  // A fresh folder holding the shipped zuna.dat.
  WorkFolder();
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  const std::filesystem::path& path() const { return work_; }
  std::string read(const std::string& name) const;
  void write(const std::string& name, std::string_view bytes) const;

  // Runs zuna4c with `input` as its standard input (a file, not a terminal).
  // `environment` holds "NAME=value" to set and "NAME" to unset.
  SessionResult run(std::string_view input, const std::vector<std::string>& environment = {}) const;
  SessionResult run(std::string_view input, const RunOptions& options) const;
  // Runs zuna4c with these command-line arguments.
  SessionResult run_with_arguments(const std::vector<std::string>& arguments,
                                   std::string_view input = {}) const;
  // Gives `input` on a pipe that stays open, waits until standard output
  // shows `shown` (the program then waits for more), calls `meanwhile` and
  // sends `signal`. exit_code is -1 and signal set when the program died of
  // it.
  SessionResult run_and_signal(std::string_view input, std::string_view shown, int signal,
                               const std::function<void()>& meanwhile = {}) const;

 private:
  [[noreturn]] void start_child(int stdin_fd, const RunOptions& options) const;
  SessionResult finish_child(int pid) const;

  std::filesystem::path base_;
  std::filesystem::path work_;
};

// The processing time, the only value that differs between runs: the ten
// characters of its field after "Tempo de processamento (s) = " become
// "TTTTTTTTTT". Answers false when a field does not look like E10.2 output.
bool mask_processing_times(std::string& text);

std::string golden(const std::string& session, const std::string& name);

}  // namespace zuna::testing
