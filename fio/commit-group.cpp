#include "fio/commit-group.h"

#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <utility>
#include <vector>

#include "fio/background-close.h"
#include "fio/fio.h"
#include "fio/runtime-error.h"
#include "fio/transient-files.h"

namespace zuna {

namespace {

struct Group {
  std::mutex mutex;
  bool open = false;
  std::vector<StagedFile> files;  // in the order of their closes
};

Group& group() {
  static Group g;
  return g;
}

// The gathered files, taken out of the group, which is closed.
std::vector<StagedFile> take_group() {
  Group& g = group();
  std::lock_guard lock(g.mutex);
  g.open = false;
  return std::exchange(g.files, {});
}

}  // namespace

IoError put_staged_in_place(StagedFile& file) {
  if (::rename(file.path.c_str(), file.target.c_str()) != 0) {
    note_system_error(errno);
    discard_staged(file);
    return IoError::file_write_failed;
  }
  release_transient_file(file.slot);
  file.slot = -1;
  if (file.fd >= 0) {
    ::close(file.fd);
    file.fd = -1;
  }
  // The old contents have no name after the rename; they are freed when
  // their last descriptor goes.
  if (file.replaced_fd >= 0) {
    close_in_background(file.replaced_fd);
    file.replaced_fd = -1;
  }
  return IoError::ok;
}

void discard_staged(StagedFile& file) {
  if (!file.path.empty()) {
    // Removed before its descriptor goes: while the descriptor holds the
    // lock, no other run takes the file for a leftover of its own.
    ::unlink(file.path.c_str());
  }
  release_transient_file(file.slot);
  file.slot = -1;
  for (int* fd : {&file.fd, &file.replaced_fd}) {
    if (*fd >= 0) {
      ::close(*fd);
      *fd = -1;
    }
  }
}

bool defer_to_commit_group(StagedFile& file) {
  Group& g = group();
  std::lock_guard lock(g.mutex);
  if (!g.open) {
    return false;
  }
  g.files.push_back(std::exchange(file, StagedFile{}));
  return true;
}

IoError commit_group(std::string& failed_name) {
  std::vector<StagedFile> files = take_group();
  IoError result = IoError::ok;
  for (StagedFile& file : files) {
    if (result != IoError::ok) {
      discard_staged(file);
      continue;
    }
    result = put_staged_in_place(file);
    if (result != IoError::ok) {
      failed_name = file.name;
    }
  }
  return result;
}

void discard_commit_group() {
  for (StagedFile& file : take_group()) {
    discard_staged(file);
  }
}

// The statements of fio.h.

void begin_file_group() {
  Group& g = group();
  std::lock_guard lock(g.mutex);
  g.open = true;
}

int commit_file_group(bool error_return) {
  clear_system_error();
  std::string name;
  const IoError e = commit_group(name);
  return signal_error(e, StatementKind::close, error_return, name);
}

void discard_file_group() { discard_commit_group(); }

}  // namespace zuna
