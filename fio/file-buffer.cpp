#include "fio/file-buffer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "fio/file-failure.h"

namespace zuna {

namespace {

constexpr std::size_t kWriteBufferSize = 8192;
constexpr std::size_t kReadChunk = 4096;

}  // namespace

void FileBuffer::attach(int fd) {
  discard();
  fd_ = fd;
  out_.reserve(kWriteBufferSize);
  at_end_ = false;
  ends_here_ = false;
  end_ = 0;
  damaged_ = false;
}

IoError FileBuffer::position(off_t& here) const {
  auto unread = static_cast<off_t>(in_.size() - in_pos_);
  here = ::lseek(fd_, 0, SEEK_CUR);
  if (here < 0) {
    return file_failure(IoError::file_write_failed, errno);
  }
  here -= unread;
  return IoError::ok;
}

int FileBuffer::switch_to(int fd, off_t end) {
  const int previous = std::exchange(fd_, fd);
  in_.clear();
  in_pos_ = 0;
  at_end_ = false;
  ends_here_ = false;
  end_ = end;
  return previous;
}

IoError FileBuffer::end_here() {
  // The descriptor stands after the read-ahead; the reader stands before it.
  auto unread = static_cast<off_t>(in_.size() - in_pos_);
  in_.clear();
  in_pos_ = 0;
  at_end_ = false;
  off_t here = ::lseek(fd_, -unread, SEEK_CUR);
  if (here < 0) {
    return file_failure(IoError::file_write_failed, errno);
  }
  ends_here_ = true;
  end_ = here;
  return IoError::ok;
}

void FileBuffer::drop_read_ahead() {
  in_.clear();
  in_pos_ = 0;
}

IoError FileBuffer::write(std::string_view bytes) {
  if (out_.empty() && bytes.size() >= kWriteBufferSize) {
    return write_bytes(bytes);
  }
  out_.append(bytes);
  if (out_.size() >= kWriteBufferSize) {
    return write_out();
  }
  return IoError::ok;
}

IoError FileBuffer::flush() {
  IoError result = write_out();
  if (result == IoError::ok && ends_here_ && fd_ >= 0) {
    result = cut_off_after_writing();
  }
  return result;
}

IoError FileBuffer::write_out() {
  const IoError result = write_bytes(out_);
  out_.clear();
  return result;
}

IoError FileBuffer::write_bytes(std::string_view bytes) {
  std::size_t done = 0;
  IoError result = IoError::ok;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      result = file_failure(IoError::file_write_failed, errno);
      break;
    }
    if (n == 0) {
      result = file_failure(IoError::file_write_failed, EIO);
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  damaged_ = damaged_ || result != IoError::ok;
  end_ += static_cast<off_t>(done);
  return result;
}

IoError FileBuffer::cut_off_after_writing() {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    return file_failure(IoError::file_write_failed, errno);
  }
  if (info.st_size > end_ && ::ftruncate(fd_, end_) != 0) {
    return file_failure(IoError::file_write_failed, errno);
  }
  return IoError::ok;
}

IoError FileBuffer::fill() {
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
      int error = errno;
      in_.resize(old_size);
      return file_failure(IoError::file_read_failed, error);
    }
    in_.resize(old_size + static_cast<std::size_t>(n));
    at_end_ = n == 0;
    return IoError::ok;
  }
}

IoError FileBuffer::read_record(std::string& record, std::size_t max_length) {
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

IoError FileBuffer::close() {
  IoError result = flush();
  if (::close(fd_) != 0 && errno != EINTR && result == IoError::ok) {
    result = file_failure(IoError::file_write_failed, errno);
  }
  fd_ = -1;
  if (result == IoError::ok && damaged_) {
    result = IoError::file_write_failed;  // reported when it happened
  }
  clear();
  return result;
}

void FileBuffer::discard() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  clear();
}

void FileBuffer::clear() {
  out_.clear();
  in_.clear();
  in_pos_ = 0;
}

}  // namespace zuna
