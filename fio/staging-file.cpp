#include "fio/staging-file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include "fio/commit-group.h"
#include "fio/file-failure.h"
#include "fio/staging-leftovers.h"
#include "fio/transient-files.h"

namespace zuna {

namespace {

constexpr int kMakeAttempts = 8;
constexpr std::size_t kCopyChunk = 65536;

// The permissions of a file the program creates: 0666 less the umask, read
// without changing it where the system tells it (a change, even undone at
// once, would hold for every thread meanwhile).
mode_t new_file_mode() {
  static const mode_t mode = [] {
    unsigned mask = 0;
    bool known = false;
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
      char line[256];
      while (!known && std::fgets(line, sizeof line, status) != nullptr) {
        known = std::sscanf(line, "Umask: %o", &mask) == 1;
      }
      std::fclose(status);
    }
    if (!known) {
      const mode_t old = ::umask(022);
      ::umask(old);
      mask = old;
    }
    return static_cast<mode_t>(0666 & ~mask);
  }();
  return mode;
}

void take_attributes(int fd, const struct stat* model) {
  if (model == nullptr) {
    (void)::fchmod(fd, new_file_mode());
    return;
  }
  (void)::fchmod(fd, model->st_mode & 07777);
  if (model->st_uid != ::geteuid() || model->st_gid != ::getegid()) {
    if (::fchown(fd, model->st_uid, model->st_gid) != 0) {
      // Not permitted (we are not root, or not in that group): the file
      // stays ours, as a new file would.
    }
  }
}

// Writes all of `bytes` at the descriptor's position.
bool write_all(int fd, const char* bytes, std::size_t count, int& error) {
  for (std::size_t put = 0; put < count;) {
    ssize_t m = ::write(fd, bytes + put, count - put);
    if (m < 0 && errno == EINTR) {
      continue;
    }
    if (m <= 0) {
      error = m < 0 ? errno : EIO;
      return false;
    }
    put += static_cast<std::size_t>(m);
  }
  return true;
}

}  // namespace

// The file is locked (staging-leftovers.h) until it is renamed or removed,
// through a descriptor of its own that outlives the unit's close.
IoError StagingFile::make(const std::string& target, const struct stat* model) {
  remove_abandoned_staging_files(target);
  std::string name;
  int fd = -1;
  int error = EAGAIN;
  for (int attempt = 0; attempt < kMakeAttempts && fd < 0; ++attempt) {
    name = staging_template(target);
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
      error = errno;
      break;
    }
    if (!lock_staging_file(fd, name)) {
      ::close(fd);
      fd = -1;
    }
  }
  if (fd < 0) {
    return file_failure(
        model != nullptr ? IoError::file_cannot_be_replaced : IoError::file_open_failed, error);
  }
  take_attributes(fd, model);
  struct stat made {};
  (void)::fstat(fd, &made);
  fd_ = fd;
  lock_fd_ = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  path_ = name;
  slot_ = track_transient_file(name, made.st_dev, made.st_ino);
  active_ = false;
  copy_tried_ = false;
  return IoError::ok;
}

IoError StagingFile::copy_from(int from, off_t length, bool& damaged) {
  // A copy tried before left a part of its own: the copy starts afresh.
  if (copy_tried_ && (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0)) {
    return file_failure(IoError::file_write_failed, errno);
  }
  if (length == 0) {
    return IoError::ok;
  }
  copy_tried_ = true;
  std::vector<char> chunk(kCopyChunk);
  off_t done = 0;
  while (done < length) {
    auto want = static_cast<std::size_t>(std::min(length - done, static_cast<off_t>(kCopyChunk)));
    ssize_t n = ::pread(from, chunk.data(), want, done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return file_failure(IoError::file_write_failed, n < 0 ? errno : EIO);
    }
    int error = 0;
    if (!write_all(fd_, chunk.data(), static_cast<std::size_t>(n), error)) {
      damaged = true;
      return file_failure(IoError::file_write_failed, error);
    }
    done += n;
  }
  return IoError::ok;
}

int StagingFile::take_writing() {
  active_ = true;
  return std::exchange(fd_, -1);
}

IoError StagingFile::put_in_place(const std::string& target, const std::string& name) {
  StagedFile file;
  file.fd = std::exchange(lock_fd_, -1);
  file.path = std::exchange(path_, {});
  file.target = target;
  file.name = name;
  file.slot = std::exchange(slot_, -1);
  file.replaced_fd = std::exchange(replaced_fd_, -1);
  active_ = false;
  if (defer_to_commit_group(file)) {
    return IoError::ok;
  }
  return put_staged_in_place(file);
}

// Removed before its lock goes, so that no other run takes it for a leftover
// meanwhile.
void StagingFile::drop() {
  if (!path_.empty()) {
    ::unlink(path_.c_str());
    path_.clear();
  }
  for (int* fd : {&fd_, &lock_fd_, &replaced_fd_}) {
    if (*fd >= 0) {
      ::close(*fd);
      *fd = -1;
    }
  }
  release_transient_file(slot_);
  slot_ = -1;
  active_ = false;
  copy_tried_ = false;
}

}  // namespace zuna
