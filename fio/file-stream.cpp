#include "fio/file-stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace zuna {

namespace {

constexpr std::size_t kWriteBufferSize = 8192;
constexpr std::size_t kReadChunk = 4096;

bool permission_refused(int error) {
  return error == EACCES || error == EPERM || error == EROFS || error == ETXTBSY;
}

int open_flags(FileStatus status) {
  switch (status) {
    case FileStatus::old_file: return 0;
    case FileStatus::new_file: return O_CREAT | O_EXCL;
    case FileStatus::replace: return O_CREAT | O_TRUNC;
    case FileStatus::unknown: return O_CREAT;
    case FileStatus::scratch: return O_CREAT | O_EXCL;
  }
  return O_CREAT;
}

}  // namespace

FileStream::~FileStream() {
  abandon();
}

IoError FileStream::open(const std::string& path, FileStatus status,
                         std::optional<FileAction> action) {
  if (path.empty()) {
    return IoError::file_open_failed;
  }
  if (status == FileStatus::replace) {
    // Deleted and created anew: another name linked to the old file keeps
    // its contents.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::unlink(path.c_str()) != 0) {
      return IoError::file_open_failed;
    }
  }
  int base = open_flags(status) | O_CLOEXEC;
  std::vector<int> modes;
  if (action) {
    modes.push_back(*action == FileAction::read    ? O_RDONLY
                    : *action == FileAction::write ? O_WRONLY
                                                   : O_RDWR);
  } else {
    modes = {O_RDWR, O_RDONLY, O_WRONLY};
  }
  int error = 0;
  for (int mode : modes) {
    // Truncation belongs to the mode that may write.
    int flags = base | mode;
    if (mode == O_RDONLY) {
      flags &= ~O_TRUNC;
    }
    int fd = ::open(path.c_str(), flags, 0666);
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
  if (status == FileStatus::old_file && error == ENOENT) {
    return IoError::file_not_found;
  }
  if (status == FileStatus::new_file && error == EEXIST) {
    return IoError::file_already_exists;
  }
  return IoError::file_open_failed;
}

IoError FileStream::open_scratch(std::string& path) {
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
  if (ec) {
    folder = "/tmp";
  }
  std::string name = (folder / "ZZXXXXXX").string();
  int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    return IoError::file_open_failed;
  }
  path = name;
  can_read_ = true;
  can_write_ = true;
  return finish_open(fd);
}

IoError FileStream::open_duplicate(int fd) {
  int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (copy < 0) {
    return IoError::file_open_failed;
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
    ::close(fd);
    can_read_ = can_write_ = false;
    return IoError::file_open_failed;
  }
  fd_ = fd;
  regular_ = S_ISREG(info.st_mode);
  device_ = info.st_dev;
  inode_ = info.st_ino;
  out_.clear();
  out_.reserve(kWriteBufferSize);
  in_.clear();
  in_pos_ = 0;
  at_end_ = false;
  ends_here_ = false;
  end_ = 0;
  return IoError::ok;
}

IoError FileStream::seek_end() {
  if (regular_ && ::lseek(fd_, 0, SEEK_END) < 0) {
    return IoError::file_open_failed;
  }
  return IoError::ok;
}

IoError FileStream::truncate_here() {
  if (!regular_) {
    in_.clear();
    in_pos_ = 0;
    return IoError::ok;
  }
  // Bytes of an earlier switch go first, with their own cut.
  if (!out_.empty()) {
    if (IoError e = flush(); e != IoError::ok) {
      return e;
    }
  }
  // The descriptor stands after the read-ahead; the unit stands before it.
  auto unread = static_cast<off_t>(in_.size() - in_pos_);
  in_.clear();
  in_pos_ = 0;
  at_end_ = false;
  off_t here = ::lseek(fd_, -unread, SEEK_CUR);
  if (here < 0) {
    return IoError::file_write_failed;
  }
  ends_here_ = true;
  end_ = here;
  return IoError::ok;
}

IoError FileStream::cut_off_after_writing() {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    return IoError::file_write_failed;
  }
  if (info.st_size > end_ && ::ftruncate(fd_, end_) != 0) {
    return IoError::file_write_failed;
  }
  return IoError::ok;
}

IoError FileStream::write(std::string_view bytes) {
  if (!can_write_) {
    return IoError::write_to_read_only;
  }
  out_.append(bytes);
  if (out_.size() >= kWriteBufferSize) {
    return write_out();
  }
  return IoError::ok;
}

IoError FileStream::flush() {
  IoError result = write_out();
  if (result == IoError::ok && ends_here_ && fd_ >= 0) {
    result = cut_off_after_writing();
  }
  return result;
}

IoError FileStream::write_out() {
  std::size_t done = 0;
  IoError result = IoError::ok;
  while (done < out_.size()) {
    ssize_t n = ::write(fd_, out_.data() + done, out_.size() - done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      result = IoError::file_write_failed;
      break;
    }
    if (n == 0) {
      result = IoError::file_write_failed;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  // What could not be written is reported, not kept for a later retry that
  // would write it out of order.
  out_.clear();
  end_ += static_cast<off_t>(done);
  return result;
}

IoError FileStream::fill() {
  if (in_pos_ > 0) {
    in_.erase(0, in_pos_);
    in_pos_ = 0;
  }
  std::size_t old_size = in_.size();
  in_.resize(old_size + kReadChunk);
  for (;;) {
    ssize_t n = ::read(fd_, in_.data() + old_size, kReadChunk);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0) {
      in_.resize(old_size);
      return IoError::file_read_failed;
    }
    in_.resize(old_size + static_cast<std::size_t>(n));
    at_end_ = n == 0;
    return IoError::ok;
  }
}

IoError FileStream::read_record(std::string& record, std::size_t max_length) {
  record.clear();
  if (!can_read_) {
    return IoError::read_from_write_only;
  }
  // Records written before this read reach the file first.
  if (!out_.empty()) {
    if (IoError e = flush(); e != IoError::ok) {
      return e;
    }
  }
  bool any = false;  // a last record without a line end still counts
  for (;;) {
    std::size_t nl = in_.find('\n', in_pos_);
    std::size_t stop = nl == std::string::npos ? in_.size() : nl;
    if (stop > in_pos_) {
      any = true;
      // One more for the carriage return of the line end.
      if (record.size() + (stop - in_pos_) > max_length + 1) {
        return IoError::read_record_too_long;
      }
      record.append(in_, in_pos_, stop - in_pos_);
    }
    if (nl != std::string::npos) {
      in_pos_ = nl + 1;
      break;
    }
    in_pos_ = in_.size();
    if (at_end_) {
      if (!any) {
        return IoError::end_of_file;
      }
      break;
    }
    if (IoError e = fill(); e != IoError::ok) {
      return e;
    }
  }
  if (!record.empty() && record.back() == '\r') {
    record.pop_back();
  }
  if (record.size() > max_length) {
    return IoError::read_record_too_long;
  }
  return IoError::ok;
}

IoError FileStream::close() {
  if (fd_ < 0) {
    return IoError::ok;
  }
  IoError result = flush();
  if (::close(fd_) != 0 && errno != EINTR && result == IoError::ok) {
    result = IoError::file_write_failed;
  }
  fd_ = -1;
  can_read_ = can_write_ = false;
  return result;
}

void FileStream::abandon() {
  if (fd_ >= 0) {
    (void)flush();
    ::close(fd_);
    fd_ = -1;
  }
  can_read_ = can_write_ = false;
}

}  // namespace zuna
