// Runs the console program as a process in a working folder of its own.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zuna::testing {

struct SessionResult {
  int exit_code = -1;  // -1 when the program did not exit normally
  std::string out;     // standard output
  std::string err;     // standard error
};

// The eight files a calculation writes, report first.
inline const std::vector<std::string> kOutputFiles = {
    "saida", "tad.dat", "fmx.dat", "mol.dat", "fmos.dat", "fmas.dat", "fmoc.dat", "fmac.dat"};

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
  // Runs zuna4c with these command-line arguments.
  SessionResult run_with_arguments(const std::vector<std::string>& arguments,
                                   std::string_view input = {}) const;

 private:
  SessionResult run_process(const std::vector<std::string>& arguments, std::string_view input,
                            const std::vector<std::string>& environment) const;

  std::filesystem::path base_;
  std::filesystem::path work_;
};

// The processing time, the only value that differs between runs: the ten
// characters of its field after "Tempo de processamento (s) = " become
// "TTTTTTTTTT". Answers false when a field does not look like E10.2 output.
bool mask_processing_times(std::string& text);

std::string golden(const std::string& session, const std::string& name);

}  // namespace zuna::testing
