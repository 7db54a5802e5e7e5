// What the results subcommands (equilibrium, rocket) share beyond their
// options: the thermodynamic data they compute with and its digest, and
// the outputs their tables go to.
//
// A results file is written under a staging name beside it and put in place
// by the close (fio/file-stream.h), so that a run that fails leaves the file
// it named as it was; "-" is standard output. Messages go to standard error
// as "COMMAND: cannot write ...".
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"
#include "engine/product-set.h"
#include "fio/file-stream.h"
#include "fio/io-error.h"
#include "tables/output-buffer.h"
#include "tables/table-writer.h"

namespace zuna {

struct LoadedData {
  engine::ThermoData data;
  std::string sha256;  // of the text the data were read from, when asked for
  // Every record of the same text, for the general solver (with `species`).
  engine::SpeciesDatabase species;
};

enum class ThermoSource { builtin, nasa9_file, data7_file };

// The built-in records, or a file read once: its bytes are both digested and
// parsed (digested only with `digest`). Nothing, after a message naming
// `command`, when the file cannot be read or used. With `species`, the
// records of every species too: those compiled in (digested) or the file's.
std::unique_ptr<LoadedData> load_thermo_data(const char* command, ThermoSource source,
                                             const std::string& file, bool digest = true,
                                             bool species = false);

class ResultsTarget final : public tables::ByteSink {
 public:
  ResultsTarget(const char* command, std::string name);

  bool to_stdout() const { return name_ == "-"; }

  // Opens the staging file: an output that cannot be written is known before
  // the computation.
  bool open();
  bool write(std::string_view bytes) override;
  // Drops the staging file: the named file keeps what it held.
  void abandon();
  // After the last flush: puts the file in place. False after a message.
  bool close(bool written);

 private:
  bool fail(IoError e);

  const char* command_;
  std::string name_;
  FileStream file_;  // abandoned by its destructor if still open
  tables::DescriptorSink stdout_;
  IoError error_ = IoError::ok;
};

// A file takes the table in pieces of a quarter of a megabyte (a few dozen
// writes for a sweep of ten thousand points), which pass to the staging
// file without a copy (FileStream::write); standard output keeps the
// buffer's default.
constexpr std::size_t kResultsFileBuffer = std::size_t{1} << 18;

// "COMMAND: MESSAGE (try 'COMMAND --help')" on standard error, its
// control characters escaped; answers the exit status of a usage error, 2.
int usage_exit(const char* command, const std::string& message);

// --help: the text on standard output; 0, or 1 after a message when standard
// output is closed or cannot take it.
int print_help(const char* command, const std::string& text, bool stdout_closed);

// One output: its target, buffer and writer.
struct ResultsOutput {
  std::unique_ptr<ResultsTarget> target;
  std::unique_ptr<tables::OutputBuffer> buffer;
  std::unique_ptr<tables::TableWriter> writer;
};

// The target and buffer of `name`; the caller makes the writer.
ResultsOutput results_output(const char* command, const std::string& name);

// The results files of one run, with the discipline of every command of the
// program: before anything is computed, no results file may be a file the
// run reads, nor the file of another results file (the same device and
// inode after links; "-", /dev/stdout and /proc/self/fd/1 are one);
// the files are written under staging names, entered for removal by a
// fatal signal, and put in place together, only when every one of them is
// complete. A run that fails leaves every file it named as it was.
class ResultsFiles {
 public:
  explicit ResultsFiles(const char* command);
  ~ResultsFiles();
  ResultsFiles(const ResultsFiles&) = delete;
  ResultsFiles& operator=(const ResultsFiles&) = delete;

  // A file of option `option` ("--csv"); answers its output, whose writer
  // the caller makes.
  ResultsOutput& add(const char* option, const std::string& name);
  // A file the run reads, named by `option`.
  void add_input(const char* option, const std::string& name);

  // The usage error of a results file that is an input or another results
  // file, or nothing.
  std::optional<std::string> clash() const;

  // Opens every staging file (standard output closed at the start is an
  // error); false after a message.
  bool open(bool stdout_closed);

  std::vector<ResultsOutput>& outputs() { return outputs_; }

  // After the computation: finishes every writer and, when the run is
  // complete and every output was written, puts the files in place
  // together; otherwise drops them all. False after a message.
  bool finish(bool complete);

 private:
  struct Named {
    const char* option;
    std::string name;
  };
  const char* command_;
  std::vector<ResultsOutput> outputs_;
  std::vector<Named> results_, inputs_;
};

}  // namespace zuna
