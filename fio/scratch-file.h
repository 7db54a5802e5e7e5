// The file of a scratch unit: "ZZxxxxxx", new in the temporary folder
// ($TMPDIR, else /tmp), entered for removal by a fatal signal
// (transient-files.h) and removed when its unit is abandoned; a unit's
// close removes it by name (unit.h).
#pragma once

#include <sys/types.h>

#include <string>

#include "fio/io-error.h"

namespace zuna {

class ScratchFile {
 public:
  ScratchFile() = default;
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile() { remove(); }

  // Makes the file; `fd` receives its descriptor, opened for reading and
  // writing.
  IoError make(int& fd);
  const std::string& path() const { return path_; }
  // Enters the file, opened as (device, inode), for removal by a signal.
  void track(dev_t device, ino_t inode);

  // The file is left to its unit, which removes it by name: from here on
  // neither a signal nor remove() touches it.
  void release();
  // Removes the file; nothing when none.
  void remove();

 private:
  std::string path_;
  int slot_ = -1;
};

}  // namespace zuna
