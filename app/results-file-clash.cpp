#include "app/results-file-clash.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace zuna {
namespace {

namespace fs = std::filesystem;

// The report first, then the plot files by their stems ("tad" is tad.dat).
constexpr std::string_view kReport = "saida";
constexpr std::array<std::string_view, 7> kPlotStems = {"tad",  "fmx",  "mol", "fmos",
                                                        "fmas", "fmoc", "fmac"};

// "_N" with N from 1 to `calculations`, written as the run writes it.
bool is_calculation_suffix(std::string_view text, std::size_t calculations) {
  if (text.size() < 2 || text[0] != '_' || text[1] == '0') {
    return false;
  }
  std::size_t n = 0;
  const auto r = std::from_chars(text.data() + 1, text.data() + text.size(), n);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() && n >= 1 && n <= calculations;
}

// What a name leads to: the file's identity when it exists, and its
// absolute form with the links of the existing part resolved.
struct FileIdentity {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  fs::path path;
};

// Names that stand for standard output itself: "-", and the names the
// system gives the open descriptor 1.
bool names_stdout(const std::string& name) {
  return name == "-" || name == "/dev/stdout" || name == "/proc/self/fd/1" || name == "/dev/fd/1";
}

FileIdentity identify(const fs::path& name) {
  FileIdentity id;
  struct stat info {};
  if (names_stdout(name.string())) {
    // What standard output is: a file, a pipe, a terminal.
    if (::fstat(STDOUT_FILENO, &info) == 0) {
      id.exists = true;
      id.device = info.st_dev;
      id.inode = info.st_ino;
    }
    id.path = "/dev/stdout";
    return id;
  }
  if (::stat(name.c_str(), &info) == 0) {
    id.exists = true;
    id.device = info.st_dev;
    id.inode = info.st_ino;
  }
  // A link whose target does not exist yet leads to where the file will be
  // made; followed by hand, as the file system's own resolution stops at it.
  std::error_code error;
  fs::path resolved = fs::absolute(name, error);
  for (int hop = 0; hop < 40 && fs::is_symlink(resolved, error); ++hop) {
    const fs::path target = fs::read_symlink(resolved, error);
    if (error) {
      break;
    }
    resolved = target.is_absolute() ? target : resolved.parent_path() / target;
  }
  id.path = fs::weakly_canonical(resolved, error);
  if (error) {
    id.path = resolved.lexically_normal();
  }
  return id;
}

bool same_file(const FileIdentity& a, const FileIdentity& b) {
  if (a.exists && b.exists) {
    return a.device == b.device && a.inode == b.inode;
  }
  return a.path == b.path;
}

struct ResultsFile {
  const char* option;
  const std::optional<std::string>& given;
  const std::optional<std::string>& name;

  bool is_file() const { return name && *name != "-" && !name->empty(); }
  std::string refused(const std::string& why) const {
    return std::string(option) + ": '" + *given + "' " + why;
  }
};

// The report and plot files this results file would replace: one that the
// run will write by that name in the working folder, or one that exists
// there (a link to the results file, or the same file under another name).
bool is_report_file(const FileIdentity& results, const BatchSettings& settings) {
  const std::size_t count = settings.pressures.size();
  std::error_code error;
  const fs::path here = fs::weakly_canonical(fs::current_path(error), error);
  if (results.path.parent_path() == here &&
      is_report_file_name(results.path.filename().string(), count, settings.suffix)) {
    return true;
  }
  for (const fs::directory_entry& entry : fs::directory_iterator(".", error)) {
    const std::string name = entry.path().filename().string();
    if (is_report_file_name(name, count, settings.suffix) &&
        same_file(identify(entry.path()), results)) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool same_results_file(const std::string& a, const std::string& b) {
  return same_file(identify(a), identify(b));
}

bool is_report_file_name(std::string_view name, std::size_t calculations, bool suffix) {
  auto numbered = [&](std::string_view rest) {
    return suffix ? is_calculation_suffix(rest, calculations) : rest.empty();
  };
  if (name.starts_with(kReport) && numbered(name.substr(kReport.size()))) {
    return true;
  }
  if (!name.ends_with(".dat")) {
    return false;
  }
  name.remove_suffix(4);
  for (std::string_view stem : kPlotStems) {
    if (name.starts_with(stem) && numbered(name.substr(stem.size()))) {
      return true;
    }
  }
  return false;
}

std::optional<std::string> results_file_clash(const BatchSettings& settings,
                                              const std::optional<std::string>& given_csv,
                                              const std::optional<std::string>& given_json) {
  const ResultsFile csv{"--csv", given_csv, settings.csv_file};
  const ResultsFile json{"--json", given_json, settings.json_file};
  const FileIdentity data = identify(settings.data_file);
  for (const ResultsFile* file : {&csv, &json}) {
    if (!file->is_file()) {
      continue;
    }
    const FileIdentity results = identify(*file->name);
    if (same_file(results, data)) {
      return file->refused("is the data file");
    }
    if (is_report_file(results, settings)) {
      return file->refused("is a report or plot file of the run");
    }
  }
  if (csv.name && json.name && same_results_file(*csv.name, *json.name)) {
    return json.refused("is the file of --csv too");
  }
  return std::nullopt;
}

}  // namespace zuna
