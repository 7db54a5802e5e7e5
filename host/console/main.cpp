// zuna4c: the program on a terminal, and a command-line tool.
//
// Without options it is the interactive session: window units, dialogs and
// the stop line use standard input and output; run-time errors go to
// standard error. With --batch it makes its calculations from the options
// alone and may write every point as CSV or JSON.
//
// Exit codes: 0 after the stop or a batch run that succeeded, 1 after a
// run-time error, the end of the input or an output that cannot be written,
// 2 for a usage error.
//
// The working folder is that of --dir, else the current folder when it holds
// zuna.dat, else the per-user folder (see platform/working-folder.h).
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "app/batch-run.h"
#include "app/command-line.h"
#include "app/engine-comparison.h"
#include "app/results-export.h"
#include "app/zuna4.h"
#include "dialogs/dialog-host.h"
#include "fio/file-stream.h"
#include "fio/fio.h"
#include "fio/io-error.h"
#include "host/console/console-host.h"
#include "host/console/equilibrium-command.h"
#include "host/console/rocket-command.h"
#include "platform/working-folder.h"

namespace {

constexpr char kProgram[] = "zuna4c";
constexpr int kUsageExit = 2;

void print_error(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
}

// A results file named relative to the folder the program was started in
// stays there: only --dir, which the user gives on purpose, moves such names
// into the working folder. Without it the working folder may be the per-user
// folder, where a script would not look for the file it named.
void anchor_results_files(zuna::CommandLine& c) {
  if (c.folder) {
    return;
  }
  for (std::optional<std::string>* name : {&c.batch.csv_file, &c.batch.json_file}) {
    if (*name && **name != "-" && !(*name)->empty()) {
      std::error_code error;
      const std::filesystem::path absolute = std::filesystem::absolute(**name, error);
      if (!error) {
        *name = absolute.string();
      }
    }
  }
}

// Enters the working folder: the one of --dir, created and seeded with the
// shipped data file and plot scripts when new; else the current folder when
// it holds zuna.dat; else the per-user folder. A data file named with --data
// alone is taken from the current folder, which is then kept as it is.
// False, after a message, when the folder cannot be used.
bool enter_folder(const zuna::CommandLine& c) {
  if (!c.folder && c.batch.data_file != "zuna.dat") {
    return true;
  }
  const auto entered = zuna::enter_working_folder(c.folder);
  if (const auto* failure = std::get_if<std::string>(&entered)) {
    print_error(*failure);
    return false;
  }
  return true;
}

// A results file of --csv or --json. Its open makes a staging file beside
// it, so that a file that cannot be written is known before the
// calculations; the results go into the staging file, which takes the
// named file's place only when the whole text is written and closed. A run
// that fails leaves an earlier file of that name as it was, and no staging
// file (nor an empty file that the open created) behind.
class ResultsFile {
 public:
  explicit ResultsFile(const std::optional<std::string>& name) : name_(name) {}
  ResultsFile(const ResultsFile&) = delete;
  ResultsFile& operator=(const ResultsFile&) = delete;

  bool wanted() const { return name_.has_value(); }

  bool open() {
    if (!wanted() || to_stdout()) {
      return true;
    }
    zuna::clear_system_error();
    const zuna::IoError e = file_.open(*name_, zuna::FileStatus::replace, zuna::FileAction::write);
    return e == zuna::IoError::ok || fail(e);
  }

  // Writes the whole text and closes the file; false after a message.
  bool write(const std::string& text) {
    if (to_stdout()) {
      const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
      return (std::fflush(stdout) == 0 && written) || fail(zuna::IoError::file_write_failed);
    }
    zuna::clear_system_error();
    zuna::IoError e = file_.write(text);
    if (e != zuna::IoError::ok) {
      file_.abandon();
      return fail(e);
    }
    e = file_.close();
    return e == zuna::IoError::ok || fail(e);
  }

 private:
  bool to_stdout() const { return *name_ == "-"; }

  bool fail(zuna::IoError e) {
    const int error = to_stdout() ? errno : zuna::noted_system_error();
    print_error("cannot write '" + *name_ +
                "': " + (error != 0 ? zuna::system_error_text(error) : zuna::error_message(e)));
    return false;
  }

  std::optional<std::string> name_;
  zuna::FileStream file_;  // abandoned, if still open, when the run ends
};

int run_interactive(const zuna::CommandLine& c) {
  std::vector<const char*> operands;
  for (const std::string& s : c.operands) {
    operands.push_back(s.c_str());
  }
  zuna::ConsoleHost host;
  zuna::runtime_start(host, static_cast<int>(operands.size()),
                      operands.empty() ? nullptr : operands.data());
  zuna::dialogs_start(host);
  try {
    zuna::zuna4_main(c.batch.data_file);
    zuna::end_program(0);  // not reached: the program ends through the stop
  } catch (const zuna::ProgramExit& e) {
    return host.finish(e.exit_code);
  }
}

int run_batch(const zuna::BatchSettings& settings) {
  ResultsFile csv(settings.csv_file);
  ResultsFile json(settings.json_file);
  if (!csv.open() || !json.open()) {
    return 1;
  }
  zuna::ConsoleHost host;
  zuna::runtime_start(host);
  try {
    const std::vector<zuna::Calculation> results =
        zuna::run_batch(settings, isatty(STDERR_FILENO) == 1);
    std::optional<zuna::EngineComparison> engine;
    if (settings.compare_engine && (csv.wanted() || json.wanted())) {
      try {
        engine = zuna::compare_with_engine(results, settings.data_file);
      } catch (const std::runtime_error& e) {
        print_error(e.what());
        zuna::end_program(1);
      }
    }
    const zuna::EngineComparison* compared = engine ? &*engine : nullptr;
    // The results files go in place together, after every calculation,
    // at the end of a run that succeeds (end_program(0) commits the group).
    zuna::begin_file_group();
    if (csv.wanted() && !csv.write(zuna::results_csv(results, compared))) {
      zuna::end_program(1);
    }
    if (json.wanted()) {
      zuna::ExportSource source;
      source.data_file = settings.data_file;
      source.data_sha256 = zuna::file_sha256(settings.data_file).value_or("");
      source.version = ZUNA_VERSION;
      if (!json.write(zuna::results_json(results, source, compared))) {
        zuna::end_program(1);
      }
    }
    zuna::end_program(0);
  } catch (const zuna::ProgramExit& e) {
    return e.exit_code;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string_view(argv[1]) == "equilibrium") {
    return run_equilibrium_command(argc - 1, argv + 1);
  }
  if (argc > 1 && std::string_view(argv[1]) == "rocket") {
    return zuna::console::run_rocket_command(argc - 1, argv + 1);
  }
  // Before anything is opened: a closed standard descriptor would otherwise be
  // taken by the first file the program opens.
  zuna::open_closed_standard_files();
  zuna::CommandLine c = zuna::parse_command_line(argc, argv);
  switch (c.action) {
    case zuna::CommandAction::help:
      std::fputs(zuna::usage_text(kProgram).c_str(), stdout);
      return std::fflush(stdout) == 0 ? 0 : 1;
    case zuna::CommandAction::version:
      std::printf("%s (zuna4) %s\n", kProgram, ZUNA_VERSION);
      return std::fflush(stdout) == 0 ? 0 : 1;
    case zuna::CommandAction::usage_error:
      std::fprintf(stderr, "%s: %s (try '%s --help')\n", kProgram, c.error.c_str(), kProgram);
      return kUsageExit;
    case zuna::CommandAction::interactive:
    case zuna::CommandAction::batch: break;
  }
  anchor_results_files(c);
  if (!enter_folder(c)) {
    return 1;
  }
  return c.action == zuna::CommandAction::batch ? run_batch(c.batch) : run_interactive(c);
}
