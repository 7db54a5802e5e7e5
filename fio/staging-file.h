// The file that takes the writing of a regular output file until its close
// puts it in place of the named one: made empty beside the target (named
// and locked as staging-leftovers.h says, entered for removal by a fatal
// signal, transient-files.h), so that a rename can replace the target in
// one step and a run that dies leaves the target as it was.
//
// Its life: made at the open (a folder that takes no new file is refused
// there, before anything is computed); waiting until the first write, when
// what stood before the writing position is copied over and the writing
// moves to it (take_writing); then put in place by the close, at once or by
// an open commit group (commit-group.h), or dropped with whatever it holds.
// The named file's own descriptor stays open until the rename, so that the
// old contents are freed by a close in the background (background-close.h)
// rather than by the rename itself.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <string>

#include "fio/io-error.h"

namespace zuna {

class StagingFile {
 public:
  StagingFile() = default;
  StagingFile(const StagingFile&) = delete;
  StagingFile& operator=(const StagingFile&) = delete;
  ~StagingFile() { drop(); }

  // Makes the staging file of `target`. It takes the permissions and, where
  // the system lets it, the owner of `model`, the file it replaces, so that
  // the replacement is the same file to everyone but in contents; for a new
  // file (no model) the permissions a file created by name would have.
  // file_cannot_be_replaced (file_open_failed for a new file) when the
  // folder takes no new file.
  IoError make(const std::string& target, const struct stat* model);

  // Made, and the writing not moved to it yet.
  bool waiting() const { return fd_ >= 0; }
  // The writing goes to it.
  bool active() const { return active_; }
  // Active in place of a file that exists (not a new file).
  bool replaces_a_file() const { return replaced_fd_ >= 0; }

  // Copies the first `length` bytes of `from` (the named file), whose
  // offset stays where it is. After it the staging file holds exactly those
  // bytes and its descriptor stands at their end, whatever an earlier,
  // failed copy left. A failed write of the copy sets `damaged`.
  IoError copy_from(int from, off_t length, bool& damaged);
  // The writing moves to the staging file: answers its descriptor, for the
  // caller to write through and close.
  int take_writing();
  // The named file's descriptor, kept open until the rename.
  void hold_replaced(int fd) { replaced_fd_ = fd; }

  // Puts the active staging file in place of `target` (`name` as opened,
  // for a report), or hands it to an open commit group, which does so with
  // the rest of its files. The writing descriptor must be closed already.
  IoError put_in_place(const std::string& target, const std::string& name);
  // Removes the staging file with whatever it holds; nothing when none.
  void drop();

 private:
  int fd_ = -1;           // made at the open, not written yet
  int lock_fd_ = -1;      // holds the lock until the rename or the removal
  int replaced_fd_ = -1;  // the named file, while the staging file takes its writing
  std::string path_;
  int slot_ = -1;  // entered for removal by a fatal signal (transient-files.h)
  bool active_ = false;
  bool copy_tried_ = false;  // a copy_from may have written to fd_
};

}  // namespace zuna
