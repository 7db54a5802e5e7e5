#include "commands/results-output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/results-export.h"
#include "app/results-file-clash.h"
#include "commands/option-table.h"
#include "fio/commit-group.h"
#include "fio/fio.h"
#include "fio/transient-files.h"

namespace zuna {

namespace {

// The largest species data file read (the NASA Glenn records of every
// species they hold are a few MiB).
constexpr std::size_t kMaxSpeciesDataBytes = std::size_t{64} << 20;

}  // namespace

std::unique_ptr<LoadedData> load_thermo_data(const char* command, ThermoSource source,
                                             const std::string& file_name, bool digest,
                                             bool species) {
  auto loaded = std::make_unique<LoadedData>();
  if (source == ThermoSource::builtin) {
    loaded->data = engine::builtin_nasa9_data();
    if (species) {
      loaded->species = engine::builtin_species();
    }
    if (digest) {
      loaded->sha256 = sha256_hex(species ? engine::builtin_species_text()
                                          : engine::builtin_nasa9_text());
    }
    return loaded;
  }
  std::ifstream file(file_name, std::ios::binary);
  std::string text;
  if (file) {
    // Read in blocks up to a bound: a device or a pipe without end (a data
    // file named /dev/zero) is refused instead of filling the memory.
    char block[1 << 16];
    while (text.size() <= kMaxSpeciesDataBytes && file.read(block, sizeof block).gcount() > 0) {
      text.append(block, static_cast<std::size_t>(file.gcount()));
    }
  }
  if (!file.is_open() || file.bad()) {
    std::fprintf(stderr, "%s: cannot read '%s': %s\n", command, printable(file_name).c_str(),
                 system_error_text(errno).c_str());
    return nullptr;
  }
  if (text.size() > kMaxSpeciesDataBytes) {
    std::fprintf(stderr, "%s: cannot read '%s': it holds more than %zu MiB, no species data\n",
                 command, printable(file_name).c_str(), kMaxSpeciesDataBytes >> 20);
    return nullptr;
  }
  std::istringstream in(text);
  try {
    loaded->data = source == ThermoSource::nasa9_file ? engine::read_nasa9_data(in, file_name)
                                                      : engine::read_data7(in, file_name);
    if (species && source == ThermoSource::nasa9_file) {
      std::istringstream again(text);
      loaded->species = engine::read_species(again, file_name);
    }
  } catch (const engine::InputError& e) {
    std::fprintf(stderr, "%s: %s\n", command, printable(e.what()).c_str());
    return nullptr;
  }
  if (digest) {
    loaded->sha256 = sha256_hex(text);
  }
  return loaded;
}

ResultsTarget::ResultsTarget(const char* command, std::string name)
    : command_(command), name_(std::move(name)), stdout_(STDOUT_FILENO) {}

bool ResultsTarget::open() {
  if (to_stdout()) {
    return true;
  }
  clear_system_error();
  const IoError e = file_.open(name_, FileStatus::replace, FileAction::write);
  return e == IoError::ok || fail(e);
}

bool ResultsTarget::write(std::string_view bytes) {
  if (to_stdout()) {
    return stdout_.write(bytes);
  }
  error_ = file_.write(bytes);
  return error_ == IoError::ok;
}

void ResultsTarget::abandon() {
  if (!to_stdout()) {
    file_.abandon();
  }
}

bool ResultsTarget::close(bool written) {
  if (to_stdout()) {
    return written || fail(IoError::file_write_failed);
  }
  if (!written) {
    file_.abandon();
    return fail(error_);
  }
  clear_system_error();
  const IoError e = file_.close();
  return e == IoError::ok || fail(e);
}

bool ResultsTarget::fail(IoError e) {
  const int error = to_stdout() ? stdout_.error() : noted_system_error();
  const std::string what = to_stdout() ? "standard output" : "'" + printable(name_) + "'";
  std::fprintf(stderr, "%s: cannot write %s: %s\n", command_, what.c_str(),
               (error != 0 ? system_error_text(error) : error_message(e)).c_str());
  return false;
}

ResultsOutput results_output(const char* command, const std::string& name) {
  ResultsOutput o;
  o.target = std::make_unique<ResultsTarget>(command, name);
  o.buffer = o.target->to_stdout()
                 ? std::make_unique<tables::OutputBuffer>(*o.target)
                 : std::make_unique<tables::OutputBuffer>(*o.target, kResultsFileBuffer);
  return o;
}

int usage_exit(const char* command, const std::string& message) {
  std::fprintf(stderr, "%s: %s (try '%s --help')\n", command, printable(message).c_str(), command);
  return 2;
}

int print_help(const char* command, const std::string& text, bool stdout_closed) {
  if (stdout_closed) {
    std::fprintf(stderr, "%s: cannot write standard output: it is closed\n", command);
    return 1;
  }
  errno = 0;
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  if (std::fflush(stdout) != 0 || !written) {
    const int error = errno;
    std::fprintf(stderr, "%s: cannot write standard output: %s\n", command,
                 error != 0 ? system_error_text(error).c_str() : "the write failed");
    return 1;
  }
  return 0;
}

ResultsFiles::ResultsFiles(const char* command) : command_(command) {
  // Interrupt, termination, hang-up and quit remove the staging files.
  install_transient_file_cleanup();
}

ResultsFiles::~ResultsFiles() { discard_commit_group(); }

ResultsOutput& ResultsFiles::add(const char* option, const std::string& name) {
  results_.push_back({option, name});
  outputs_.push_back(results_output(command_, name));
  return outputs_.back();
}

void ResultsFiles::add_input(const char* option, const std::string& name) {
  inputs_.push_back({option, name});
}

std::optional<std::string> ResultsFiles::clash() const {
  for (std::size_t k = 0; k < results_.size(); ++k) {
    const Named& r = results_[k];
    for (const Named& input : inputs_) {
      if (same_results_file(r.name, input.name)) {
        return std::string(r.option) + ": '" + printable(r.name) + "' is the file of " +
               input.option + ", which the run reads";
      }
    }
    for (std::size_t j = 0; j < k; ++j) {
      if (same_results_file(r.name, results_[j].name)) {
        return std::string(r.option) + ": '" + printable(r.name) + "' is the file of " +
               results_[j].option + " too";
      }
    }
  }
  return std::nullopt;
}

bool ResultsFiles::open(bool stdout_closed) {
  for (ResultsOutput& o : outputs_) {
    if (o.target->to_stdout() && stdout_closed) {
      std::fprintf(stderr, "%s: cannot write standard output: it is closed\n", command_);
      return false;
    }
    if (!o.target->open()) {
      return false;
    }
  }
  return true;
}

bool ResultsFiles::finish(bool complete) {
  // The closes are gathered and renamed together by the commit; standard
  // output, which is not staged, is flushed first, so that its failure
  // drops the files too.
  begin_file_group();
  bool ok = complete;
  for (int pass = 0; pass < 2; ++pass) {
    for (ResultsOutput& o : outputs_) {
      if (o.target->to_stdout() != (pass == 0)) {
        continue;
      }
      const bool written = o.writer ? o.writer->finish() : o.buffer->flush();
      if (!ok && written) {
        o.target->abandon();  // another output failed: this one is a part only
        continue;
      }
      ok = o.target->close(written) && ok;
    }
  }
  if (!ok) {
    discard_commit_group();
    return false;
  }
  std::string failed;
  const IoError e = commit_group(failed);
  if (e != IoError::ok) {
    std::fprintf(stderr, "%s: cannot write '%s': %s\n", command_, printable(failed).c_str(),
                 error_message(e));
    return false;
  }
  return true;
}

}  // namespace zuna
