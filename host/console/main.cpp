// zuna4c: the program on a terminal, and a command-line tool.
//
// Without options it is the interactive session: window units, dialogs and
// the stop line use standard input and output; run-time errors go to
// standard error. With --batch it makes its calculations from the options
// alone and may write every point as CSV or JSON.
//
// "zuna4c equilibrium ...", "zuna4c rocket ...", "zuna4c detonation ..."
// and "zuna4c shock ..." are commands of their own (equilibrium-command.h,
// rocket-command.h, wave-command.h): the first argument alone selects them.
//
// Exit codes: 0 after the stop or a batch run that succeeded, 1 after a
// run-time error, the end of the input or an output that cannot be written,
// 2 for a usage error.
//
// The working folder is that of --dir, else the current folder when it holds
// zuna.dat, else the per-user folder (see platform/working-folder.h).
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

#include "app/batch-run.h"
#include "app/engine-comparison.h"
#include "app/program-data.h"
#include "app/results-export.h"
#include "app/results-file-clash.h"
#include "app/zuna4.h"
#include "dialogs/dialog-host.h"
#include "fio/file-stream.h"
#include "fio/fio.h"
#include "fio/io-error.h"
#include "commands/command-line.h"
#include "host/console/console-host.h"
#include "commands/equilibrium-command.h"
#include "commands/option-table.h"
#include "commands/results-output.h"
#include "commands/rocket-command.h"
#include "commands/wave-command.h"
#include "platform/working-folder.h"

namespace {

constexpr char kProgram[] = "zuna4c";

void print_error(const std::string& message) {
  std::fprintf(stderr, "%s: %s\n", kProgram, zuna::printable(message).c_str());
}

int usage_error(const std::string& message) { return zuna::usage_exit(kProgram, message); }

// Standard output as the program was started with it: closed, it is
// reopened on /dev/null (open_closed_standard_files), which suits a session
// that only writes its usual files, but not output that was asked for.
bool stdout_closed_at_start = false;

bool stdout_was_closed() {
  if (stdout_closed_at_start) {
    print_error("cannot write to standard output: " + zuna::system_error_text(EBADF));
  }
  return stdout_closed_at_start;
}

// The console host with what the program adds to its messages: a batch
// run's progress line is cleared before any message, so that the message
// starts on a line of its own; and a message about the data file of the
// per-user folder names that folder, where the user would not look.
class ProgramHost final : public zuna::ConsoleHost {
 public:
  zuna::BatchProgress* progress = nullptr;
  std::string data_file;    // as the program opens it
  std::string data_folder;  // the per-user folder it is in, if so

  zuna::MessageAnswer message_box(std::string_view caption, std::string_view text,
                                  zuna::MessageIcon icon, zuna::MessageButtons buttons,
                                  zuna::MessageAnswer default_answer) override {
    before_message();
    std::string told(text);
    if (!data_folder.empty() && caption == data_file) {
      told += "\n(" + data_file + " of the folder " + data_folder + ")";
    }
    return ConsoleHost::message_box(caption, told, icon, buttons, default_answer);
  }

  void report_runtime_error(const zuna::RuntimeErrorReport& report) override {
    before_message();
    zuna::RuntimeErrorReport told = report;
    if (!report.file_name.empty() && report.file_name == zuna::held_data_file_name()) {
      told.file_name = data_file;  // a pipe's bytes, read from their copy in memory
    }
    if (!data_folder.empty() && report.file_name == data_file) {
      told.file_name = (std::filesystem::path(data_folder) / data_file).string();
    }
    ConsoleHost::report_runtime_error(told);
  }

 private:
  void before_message() {
    if (progress != nullptr) {
      progress->clear_line();
    }
  }
};

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
// alone is taken from the current folder, which is then kept as it is, also
// for --data=zuna.dat: a file the user names is never looked for elsewhere.
// False, after a message, when the folder cannot be used; `per_user`
// receives the per-user folder when that is the one entered.
bool enter_folder(const zuna::CommandLine& c, std::string& per_user) {
  if (!c.folder && c.batch.data_given) {
    return true;
  }
  const auto entered = zuna::enter_working_folder(c.folder);
  if (const auto* failure = std::get_if<std::string>(&entered)) {
    print_error(*failure);
    return false;
  }
  const auto& folder = std::get<zuna::WorkingFolder>(entered);
  if (folder.per_user) {
    per_user = folder.path;
  }
  return true;
}

// A results file of --csv or --json, written through the results target
// of every command (commands/results-output.h): its open makes a staging
// file beside it, so that a file that cannot be written is known before the
// calculations; the results go into the staging file, which takes the
// named file's place only when the whole text is written and closed. A run
// that fails leaves an earlier file of that name as it was, and no staging
// file (nor an empty file that the open created) behind.
class ResultsFile {
 public:
  explicit ResultsFile(const std::optional<std::string>& name) {
    if (name) {
      target_ = std::make_unique<zuna::ResultsTarget>(kProgram, *name);
    }
  }
  ResultsFile(const ResultsFile&) = delete;
  ResultsFile& operator=(const ResultsFile&) = delete;

  bool wanted() const { return target_ != nullptr; }

  bool open() {
    if (!wanted()) {
      return true;
    }
    if (target_->to_stdout()) {
      return !stdout_was_closed();
    }
    return target_->open();
  }

  // Writes the next part of the text; false after a message.
  bool write(const std::string& text) {
    if (!target_->write(text)) {
      target_->close(false);  // the message; the staging file is dropped
      return false;
    }
    return true;
  }

  // After the last part: the text complete in place of the named file (or
  // handed to the open file group), or on standard output; false after a
  // message.
  bool close() { return target_->close(true); }

 private:
  std::unique_ptr<zuna::ResultsTarget> target_;  // abandoned, if still open, when the run ends
};

// The results files of a batch run, written as each calculation finishes.
class StreamedResults final : public zuna::BatchResults {
 public:
  StreamedResults(ResultsFile& csv, ResultsFile& json, const zuna::BatchSettings& settings)
      : csv_(csv), json_(json), settings_(settings) {}

  void data_read(const std::string& data_sha256) override {
    // --compare-engine: the same data file, read again by the engine's own
    // reader (a pipe has been read; its bytes are not there a second time).
    compare_ = settings_.compare_engine && (csv_.wanted() || json_.wanted());
    if (compare_) {
      std::error_code error;
      if (!std::filesystem::is_regular_file(settings_.data_file, error)) {
        print_error("--compare-engine: the data file '" + settings_.data_file +
                    "' is not a regular file and cannot be read a second time");
        zuna::end_program(1);
      }
      try {
        engine_data_ = zuna::read_engine_data(settings_.data_file);
      } catch (const std::runtime_error& e) {
        print_error(e.what());
        zuna::end_program(1);
      }
    }
    if (csv_.wanted()) {
      put(csv_, zuna::results_csv_header(compare_));
    }
    if (json_.wanted()) {
      zuna::ExportSource source;
      source.data_file = settings_.data_file;
      source.data_sha256 = data_sha256;
      source.version = ZUNA_VERSION;
      put(json_, zuna::results_json_head(source, compare_));
    }
  }

  void calculation_done(std::size_t number, const zuna::Calculation& c) override {
    std::vector<zuna::EngineFlame> flames;
    if (compare_) {
      flames = zuna::compare_with_engine(c, engine_data_);
    }
    const std::vector<zuna::EngineFlame>* engine = compare_ ? &flames : nullptr;
    if (csv_.wanted()) {
      put(csv_, zuna::results_csv_rows(number, c, engine));
    }
    if (json_.wanted()) {
      put(json_, zuna::results_json_calculation(number, c, engine));
    }
  }

  // The results files go in place together, after every calculation's own
  // files, at the end of a run that succeeds (end_program(0) commits the
  // group; a failure discards it).
  void finish() {
    zuna::begin_file_group();
    if (csv_.wanted() && !csv_.close()) {
      zuna::end_program(1);
    }
    if (json_.wanted()) {
      put(json_, zuna::results_json_tail());
      if (!json_.close()) {
        zuna::end_program(1);
      }
    }
  }

 private:
  static void put(ResultsFile& file, const std::string& text) {
    if (!file.write(text)) {
      zuna::end_program(1);
    }
  }

  ResultsFile& csv_;
  ResultsFile& json_;
  const zuna::BatchSettings& settings_;
  bool compare_ = false;
  zuna::engine::ThermoData engine_data_;
};

int run_interactive(const zuna::CommandLine& c, const std::string& per_user) {
  ProgramHost host;
  host.data_file = c.batch.data_file;
  host.data_folder = per_user;
  zuna::runtime_start(host, 0, nullptr);
  zuna::dialogs_start(host);
  try {
    zuna::zuna4_main(c.batch.data_file);
    zuna::end_program(0);  // not reached: the program ends through the stop
  } catch (const zuna::ProgramExit& e) {
    return host.finish(e.exit_code);
  }
}

int run_batch(const zuna::BatchSettings& settings, const std::string& per_user) {
  ResultsFile csv(settings.csv_file);
  ResultsFile json(settings.json_file);
  if (!csv.open() || !json.open()) {
    return 1;
  }
  zuna::BatchProgress progress(isatty(STDERR_FILENO) == 1, settings.pressures.size());
  ProgramHost host;
  host.progress = &progress;
  host.data_file = settings.data_file;
  host.data_folder = per_user;
  zuna::runtime_start(host);
  try {
    StreamedResults results(csv, json, settings);
    zuna::run_batch(settings, progress, results, json.wanted());
    progress.clear_line();
    results.finish();
    zuna::end_program(0);
  } catch (const zuna::ProgramExit& e) {
    return e.exit_code;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "equilibrium") == 0) {
    return run_equilibrium_command(argc - 1, argv + 1);
  }
  if (argc > 1 && std::strcmp(argv[1], "rocket") == 0) {
    return zuna::console::run_rocket_command(argc - 1, argv + 1);
  }
  if (argc > 1 && std::strcmp(argv[1], "detonation") == 0) {
    return run_detonation_command(argc - 1, argv + 1);
  }
  if (argc > 1 && std::strcmp(argv[1], "shock") == 0) {
    return run_shock_command(argc - 1, argv + 1);
  }
  stdout_closed_at_start = ::fcntl(STDOUT_FILENO, F_GETFD) == -1 && errno == EBADF;
  // Before anything is opened: a closed standard descriptor would otherwise be
  // taken by the first file the program opens.
  zuna::open_closed_standard_files();
  zuna::CommandLine c = zuna::parse_command_line(argc, argv);
  switch (c.action) {
    case zuna::CommandAction::help:
      if (stdout_was_closed()) {
        return 1;
      }
      return zuna::print_help(kProgram, zuna::usage_text(kProgram), false);
    case zuna::CommandAction::version:
      if (stdout_was_closed()) {
        return 1;
      }
      if (stdout_was_closed()) {
        return 1;
      }
      return zuna::print_help(kProgram, std::string(kProgram) + " (zuna4) " + ZUNA_VERSION + "\n",
                              false);
    case zuna::CommandAction::usage_error: return usage_error(c.error);
    case zuna::CommandAction::interactive:
    case zuna::CommandAction::batch: break;
  }
  const std::optional<std::string> given_csv = c.batch.csv_file;
  const std::optional<std::string> given_json = c.batch.json_file;
  anchor_results_files(c);
  std::string per_user;
  if (!enter_folder(c, per_user)) {
    return 1;
  }
  if (c.action == zuna::CommandAction::interactive) {
    return run_interactive(c, per_user);
  }
  if (const auto clash = zuna::results_file_clash(c.batch, given_csv, given_json)) {
    return usage_error(*clash);
  }
  return run_batch(c.batch, per_user);
}
