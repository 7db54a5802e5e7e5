#include "fio/scratch-file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "fio/file-failure.h"
#include "fio/transient-files.h"

namespace zuna {

IoError ScratchFile::make(int& fd) {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  if (ec) {
    folder = "/tmp";
  }
  std::string name = (folder / "ZZXXXXXX").string();
  fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    return file_failure(IoError::file_open_failed, errno);
  }
  path_ = name;
  return IoError::ok;
}

void ScratchFile::track(dev_t device, ino_t inode) {
  slot_ = track_transient_file(path_, device, inode);
}

void ScratchFile::release() {
  release_transient_file(slot_);
  slot_ = -1;
  path_.clear();
}

void ScratchFile::remove() {
  if (!path_.empty()) {
    ::unlink(path_.c_str());
  }
  release();
}

}  // namespace zuna
