#include "commands/results-output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "app/results-export.h"
#include "fio/fio.h"

namespace zuna {

namespace {

// The largest species data file read (the NASA Glenn records of every
// species they hold are a few MiB).
constexpr std::size_t kMaxSpeciesDataBytes = std::size_t{64} << 20;

}  // namespace

std::unique_ptr<LoadedData> load_thermo_data(const char* command, ThermoSource source,
                                             const std::string& file_name, bool digest) {
  auto loaded = std::make_unique<LoadedData>();
  if (source == ThermoSource::builtin) {
    loaded->data = engine::builtin_nasa9_data();
    if (digest) {
      loaded->sha256 = sha256_hex(engine::builtin_nasa9_text());
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
    std::fprintf(stderr, "%s: cannot read '%s': %s\n", command, file_name.c_str(),
                 system_error_text(errno).c_str());
    return nullptr;
  }
  if (text.size() > kMaxSpeciesDataBytes) {
    std::fprintf(stderr, "%s: cannot read '%s': it holds more than %zu MiB, no species data\n",
                 command, file_name.c_str(), kMaxSpeciesDataBytes >> 20);
    return nullptr;
  }
  std::istringstream in(text);
  try {
    loaded->data = source == ThermoSource::nasa9_file ? engine::read_nasa9_data(in, file_name)
                                                      : engine::read_data7(in, file_name);
  } catch (const engine::InputError& e) {
    std::fprintf(stderr, "%s: %s\n", command, e.what());
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
  const std::string what = to_stdout() ? "standard output" : "'" + name_ + "'";
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

}  // namespace zuna
