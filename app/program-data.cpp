#include "app/program-data.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "app/results-export.h"
#include "fio/file-names.h"
#include "fio/fio.h"
#include "inputs/inputs.h"

namespace zuna {
namespace {

// rgas, hh2 and ho2 keep their fixed values; the molar masses come from the
// data file.
void build_constants(const ThermoData& data, ThermoConstants& tc) {
  tc = ThermoConstants{};
  for (int k = 0; k < 6; ++k) {
    tc.mw[k] = data.mw[k];
  }
}

std::string held_name;  // see held_data_file_name()

// A data file that is not a regular file (a pipe, a FIFO) is held in memory
// for its one read; the shipped file has 5 KB.
constexpr std::size_t kMaxStreamedDataFile = std::size_t{16} << 20;  // [bytes]
// Beyond this a regular file is left to the unit, which refuses it, undigested.
constexpr std::size_t kMaxRegularDataFile = std::size_t{1} << 30;  // [bytes]

// Every byte of the descriptor up to `limit`; false on a read error or when
// there are more.
bool read_all(int fd, std::string& bytes, std::size_t limit) {
  char block[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, block, sizeof block);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return got == 0;
    }
    if (bytes.size() + static_cast<std::size_t>(got) > limit) {
      return false;
    }
    bytes.append(block, static_cast<std::size_t>(got));
  }
}

// Reads the data file `path` once for its digest and answers the name the
// unit is to open. A regular file keeps its own name: the unit reads it
// again as it stands, and its messages name it. A pipe or a FIFO cannot be
// read twice: its bytes go into an anonymous file in memory, which the unit
// reads through the descriptor's name (`held` keeps it open). A file that
// cannot be opened or read is left to the unit's open, which tells why.
std::string digest_data_file(const std::string& path, std::string& sha256, int& held) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return path;
  }
  struct stat info {};
  std::string bytes;
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  const bool whole = read_all(fd, bytes, regular ? kMaxRegularDataFile : kMaxStreamedDataFile);
  ::close(fd);
  if (!whole) {
    if (!regular && bytes.size() >= kMaxStreamedDataFile) {
      runtime_host().message_box(path, "The data file holds more than 16 MB: it is not one.",
                                 MessageIcon::error, MessageButtons::ok, MessageAnswer::ok);
      end_program(1);
    }
    return path;
  }
  sha256 = sha256_hex(bytes);
  if (regular) {
    return path;
  }
  held = ::memfd_create("zuna-data", MFD_CLOEXEC);
  if (held < 0 || ::write(held, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    runtime_host().message_box(path, "The data file cannot be held in memory.", MessageIcon::error,
                               MessageButtons::ok, MessageAnswer::ok);
    end_program(1);
  }
  held_name = "/dev/fd/" + std::to_string(held);
  return held_name;
}

}  // namespace

const std::string& held_data_file_name() { return held_name; }

void load_program_data(ProgramState& state, std::string_view name, std::string* sha256) {
  std::string path(name);
  if (classify_file_name(path) != SpecialName::none) {
    path.insert(0, "./");
  }
  int held = -1;  // the in-memory copy of a data file that is not a regular file
  if (sha256 != nullptr) {
    path = digest_data_file(path, *sha256, held);
  }
  OpenOptions options;
  options.file = path;
  options.status = "old";
  options.form = "formatted";
  // Only read: a write-protected data file, or one in a folder of its own,
  // serves as well.
  options.action = "read";
  open_unit(kDataUnit, options);
  read_thermo_data(state.data.mw, state.data.lastval, state.data.coef);
  close_unit(kDataUnit);
  if (held >= 0) {
    ::close(held);
    held_name.clear();
  }
  build_constants(state.data, state.tc);
}

}  // namespace zuna
