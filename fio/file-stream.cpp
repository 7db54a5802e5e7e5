#include "fio/file-stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "fio/file-failure.h"
#include "fio/output-target.h"

namespace zuna {

namespace {

bool permission_refused(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == ETXTBSY;
}

int open_flags(FileStatus status) {
  switch (status) {
    case FileStatus::old_file: return 0;
    case FileStatus::new_file: return O_CREAT | O_EXCL;
    case FileStatus::replace: return O_CREAT;
    case FileStatus::unknown: return O_CREAT;
    case FileStatus::scratch: return O_CREAT | O_EXCL;
  }
  return O_CREAT;
}

// The modes an open tries, in turn.
std::vector<int> open_modes(FileStatus status, std::optional<FileAction> action) {
  if (action) {
    return {*action == FileAction::read    ? O_RDONLY
            : *action == FileAction::write ? O_WRONLY
                                           : O_RDWR};
  }
  if (status == FileStatus::old_file) {
    return {O_RDWR, O_RDONLY, O_WRONLY};
  }
  return {O_RDWR, O_WRONLY};
}

}  // namespace

FileStream::~FileStream() { abandon(); }

IoError FileStream::open(const std::string& path, FileStatus status,
                         std::optional<FileAction> action) {
  if (path.empty()) {
    return file_failure(IoError::file_open_failed, ENOENT);
  }
  name_ = path;
  // A file only read is opened through its name as it stands: a link is
  // followed by the open itself (also one to a descriptor, /dev/fd/N, whose
  // target has no name to open), and nothing is ever staged or replaced.
  if (action == FileAction::read) {
    target_ = path;
  } else if (IoError e = resolve_output_target(path, status == FileStatus::old_file, target_);
             e != IoError::ok) {
    return e;
  }
  struct stat before {};
  IoError e = IoError::ok;
  if (::stat(target_.c_str(), &before) != 0 && errno == ENOENT) {
    e = status == FileStatus::old_file ? IoError::file_not_found : open_new(action);
  } else if (status == FileStatus::new_file) {
    return IoError::file_already_exists;
  } else {
    e = open_existing(status, action);
  }
  if (e != IoError::ok) {
    abandon();
  }
  return e;
}

// A file of that name is there: it is opened, so that a file which may not
// be written is refused at the open, and a regular one gets its staging
// file.
IoError FileStream::open_existing(FileStatus status, std::optional<FileAction> action) {
  if (IoError e = open_descriptor(target_, status, action); e != IoError::ok) {
    // Gone since it was looked at: a new file after all.
    return e == IoError::file_not_found && status != FileStatus::old_file ? open_new(action) : e;
  }
  IoError e = IoError::ok;
  if (can_write_ && regular_) {
    struct stat model {};
    e = ::fstat(buffer_.fd(), &model) == 0 ? staging_.make(target_, &model)
                                           : file_failure(IoError::file_open_failed, errno);
    if (e != IoError::ok && status == FileStatus::old_file && can_read_) {
      // A file to read whose folder takes no new file: read only, as for a
      // file that cannot be written.
      can_write_ = false;
      e = IoError::ok;
    }
  }
  if (e == IoError::ok && status == FileStatus::replace && staging_.waiting()) {
    // The old contents count as gone: reads find the new file, and the close
    // puts it in place even when nothing is written.
    e = start_staging();
  }
  return e;
}

// No file of that name: the staging file is the file from the start, and
// the name appears only when the close renames it into place. Made at the
// open, so that a folder that takes no new file is refused there.
IoError FileStream::open_new(std::optional<FileAction> action) {
  if (IoError e = staging_.make(target_, nullptr); e != IoError::ok) {
    return e;
  }
  can_read_ = !action || *action != FileAction::write;
  can_write_ = !action || *action != FileAction::read;
  return finish_open(staging_.take_writing());
}

IoError FileStream::open_descriptor(const std::string& path, FileStatus status,
                                    std::optional<FileAction> action) {
  // The name is never created here: a new file is a staging file first.
  const int base = (open_flags(status) & ~(O_CREAT | O_EXCL)) | O_CLOEXEC;
  int error = 0;
  for (int mode : open_modes(status, action)) {
    int fd = ::open(path.c_str(), base | mode);
    if (fd >= 0) {
      can_read_ = mode != O_WRONLY;
      can_write_ = mode != O_RDONLY;
      return finish_open(fd);
    }
    error = errno;
    if (!permission_refused(error)) {
      break;
    }
  }
  if (error == ENOENT) {
    return IoError::file_not_found;
  }
  return file_failure(IoError::file_open_failed, error);
}

bool FileStream::stands_for(const std::string& name) const {
  if (!is_open()) {
    return false;
  }
  struct stat info {};
  if (::stat(name.c_str(), &info) == 0) {
    return same_file(info.st_dev, info.st_ino);
  }
  return staging_.active() && !staging_.replaces_a_file() && name == name_;
}

IoError FileStream::open_scratch(std::string& path) {
  int fd = -1;
  if (IoError e = scratch_.make(fd); e != IoError::ok) {
    return e;
  }
  path = scratch_.path();
  can_read_ = true;
  can_write_ = true;
  IoError e = finish_open(fd);
  if (e == IoError::ok) {
    scratch_.track(device_, inode_);
  }
  return e;
}

IoError FileStream::open_duplicate(int fd) {
  int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (copy < 0) {
    return file_failure(IoError::file_open_failed, errno);
  }
  can_read_ = false;
  can_write_ = true;
  IoError e = finish_open(copy);
  mark_device();
  return e;
}

IoError FileStream::finish_open(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    can_read_ = can_write_ = false;
    return file_failure(IoError::file_open_failed, error);
  }
  buffer_.attach(fd);
  regular_ = S_ISREG(info.st_mode);
  device_ = info.st_dev;
  inode_ = info.st_ino;
  return IoError::ok;
}

IoError FileStream::start_staging() {
  off_t here = 0;
  if (IoError e = buffer_.position(here); e != IoError::ok) {
    return e;
  }
  if (IoError e = copy_to_staging(here); e != IoError::ok) {
    return e;
  }
  staging_.hold_replaced(buffer_.switch_to(staging_.take_writing(), here));
  return IoError::ok;
}

// A unit opened for writing only cannot read the named file through its own
// descriptor: the copy reads it through one opened for the purpose, which
// must be the same file.
IoError FileStream::copy_to_staging(off_t length) {
  bool damaged = false;
  IoError e = IoError::ok;
  if (can_read_ || length == 0) {
    e = staging_.copy_from(buffer_.fd(), length, damaged);
  } else {
    const int fd = ::open(target_.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0) {
      e = file_failure(IoError::file_write_failed, errno);
    } else if (::fstat(fd, &info) != 0 || !same_file(info.st_dev, info.st_ino)) {
      e = file_failure(IoError::file_write_failed, ESTALE);
    } else {
      e = staging_.copy_from(fd, length, damaged);
    }
    if (fd >= 0) {
      ::close(fd);
    }
  }
  if (damaged) {
    buffer_.mark_damaged();
  }
  return e;
}

IoError FileStream::seek_end() {
  if (regular_ && ::lseek(buffer_.fd(), 0, SEEK_END) < 0) {
    return IoError::file_open_failed;
  }
  return IoError::ok;
}

IoError FileStream::truncate_here() {
  if (!regular_) {
    buffer_.drop_read_ahead();
    return IoError::ok;
  }
  // Bytes of an earlier switch go first, with their own cut.
  if (buffer_.holds_output()) {
    if (IoError e = buffer_.flush(); e != IoError::ok) {
      return e;
    }
  }
  if (staging_.waiting()) {
    return start_staging();
  }
  return buffer_.end_here();
}

IoError FileStream::write(std::string_view bytes) {
  if (!can_write_) {
    return IoError::write_to_read_only;
  }
  if (staging_.waiting()) {
    if (IoError e = start_staging(); e != IoError::ok) {
      return e;
    }
  }
  return buffer_.write(bytes);
}

IoError FileStream::flush() { return buffer_.flush(); }

IoError FileStream::read_record(std::string& record, std::size_t max_length) {
  record.clear();
  if (!can_read_) {
    return IoError::read_from_write_only;
  }
  return buffer_.read_record(record, max_length);
}

IoError FileStream::close() {
  if (!buffer_.attached()) {
    return IoError::ok;
  }
  IoError result = buffer_.close();
  if (staging_.active() && result == IoError::ok) {
    result = staging_.put_in_place(target_, name_);
  }
  staging_.drop();
  // A scratch file is deleted by the unit's close from here.
  scratch_.release();
  can_read_ = can_write_ = false;
  return result;
}

void FileStream::abandon() {
  if (buffer_.attached() && !regular_) {
    // A device has its records at the end of each statement; a last piece
    // in the buffer still goes.
    (void)buffer_.write_out();
  }
  buffer_.discard();
  can_read_ = can_write_ = false;
  staging_.drop();
  scratch_.remove();
}

}  // namespace zuna
