#include "fio/file-stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "fio/background-close.h"
#include "fio/transient-files.h"

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

// The file a name stands for: a symbolic link is followed, so that the
// link stays and its target is the file replaced.
std::string replaced_file(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved != nullptr) {
      std::string target(resolved);
      std::free(resolved);
      return target;
    }
  }
  return path;
}

// ".NAME.XXXXXX" beside `target`; a long name is shortened to stay within a
// folder entry's 255 bytes.
std::string staging_template(const std::string& target) {
  std::filesystem::path p(target);
  std::string base = p.filename().string().substr(0, 200);
  std::filesystem::path folder = p.parent_path();
  return (folder / ("." + base + ".XXXXXX")).string();
}

IoError failed(IoError e, int error) {
  note_system_error(error);
  return e;
}

}  // namespace

FileStream::~FileStream() { abandon(); }

IoError FileStream::open(const std::string& path, FileStatus status,
                         std::optional<FileAction> action) {
  if (path.empty()) {
    return failed(IoError::file_open_failed, ENOENT);
  }
  target_ = replaced_file(path);
  if (IoError e = open_descriptor(path, status, action); e != IoError::ok) {
    return e;
  }
  if (created_) {
    created_slot_ = track_transient_file(target_);
  }
  IoError e = IoError::ok;
  if (can_write_ && regular_) {
    e = prepare_staging();
    if (e != IoError::ok && status == FileStatus::old_file && can_read_) {
      // A file to read whose folder takes no new file: read only, as for a
      // file that cannot be written.
      can_write_ = false;
      e = IoError::ok;
    }
  }
  if (e == IoError::ok && status == FileStatus::replace && staging_.fd >= 0) {
    // The old contents count as gone: reads find the new file, and the close
    // puts it in place even when nothing was written.
    e = start_staging();
  }
  if (e != IoError::ok) {
    abandon();
  }
  return e;
}

IoError FileStream::open_descriptor(const std::string& path, FileStatus status,
                                    std::optional<FileAction> action) {
  struct stat before {};
  bool existed = ::stat(path.c_str(), &before) == 0;
  int base = open_flags(status) | O_CLOEXEC;
  int error = 0;
  for (int mode : open_modes(status, action)) {
    int fd = ::open(path.c_str(), base | mode, 0666);
    if (fd >= 0) {
      can_read_ = mode != O_WRONLY;
      can_write_ = mode != O_RDONLY;
      created_ = !existed && (base & O_CREAT) != 0;
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
  return failed(IoError::file_open_failed, error);
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
    return failed(IoError::file_open_failed, errno);
  }
  path = name;
  can_read_ = true;
  can_write_ = true;
  scratch_path_ = name;
  scratch_slot_ = track_transient_file(name);
  return finish_open(fd);
}

IoError FileStream::open_duplicate(int fd) {
  int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (copy < 0) {
    return failed(IoError::file_open_failed, errno);
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
    return failed(IoError::file_open_failed, error);
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
  damaged_ = false;
  return IoError::ok;
}

// The staging file takes the named file's permissions and, where the
// system lets it, its owner, so that the replacement is the same file to
// everyone but in contents.
IoError FileStream::prepare_staging() {
  std::string name = staging_template(target_);
  int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) {
    return failed(IoError::file_cannot_be_replaced, errno);
  }
  struct stat info {};
  if (::fstat(fd_, &info) == 0) {
    (void)::fchmod(fd, info.st_mode & 07777);
    if (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) {
      (void)::fchown(fd, info.st_uid, info.st_gid);
    }
  }
  staging_.fd = fd;
  staging_.path = name;
  staging_.slot = track_transient_file(name);
  staging_.active = false;
  return IoError::ok;
}

// The first write: what stands before the unit's position goes over, and
// the staging file takes the descriptor's place.
IoError FileStream::start_staging() {
  auto unread = static_cast<off_t>(in_.size() - in_pos_);
  off_t here = ::lseek(fd_, 0, SEEK_CUR);
  if (here < 0) {
    return failed(IoError::file_write_failed, errno);
  }
  here -= unread;
  if (here > 0) {
    if (IoError e = copy_written_part(staging_.fd, here); e != IoError::ok) {
      return e;
    }
  }
  replaced_fd_ = fd_;
  fd_ = staging_.fd;
  staging_.fd = -1;
  staging_.active = true;
  in_.clear();
  in_pos_ = 0;
  at_end_ = false;
  ends_here_ = false;
  end_ = here;
  return IoError::ok;
}

IoError FileStream::copy_written_part(int to, off_t length) {
  std::vector<char> chunk(65536);
  off_t done = 0;
  while (done < length) {
    auto want = static_cast<std::size_t>(std::min<off_t>(length - done, 65536));
    ssize_t n = ::pread(fd_, chunk.data(), want, done);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return failed(IoError::file_write_failed, n < 0 ? errno : EIO);
    }
    for (ssize_t put = 0; put < n;) {
      ssize_t m = ::write(to, chunk.data() + put, static_cast<std::size_t>(n - put));
      if (m < 0 && errno == EINTR) {
        continue;
      }
      if (m <= 0) {
        damaged_ = true;
        return failed(IoError::file_write_failed, m < 0 ? errno : EIO);
      }
      put += m;
    }
    done += n;
  }
  return IoError::ok;
}

IoError FileStream::put_in_place() {
  // From here the named file is the new one: a signal must not take it.
  forget_created(false);
  if (::rename(staging_.path.c_str(), target_.c_str()) != 0) {
    return failed(IoError::file_write_failed, errno);
  }
  release_transient_file(staging_.slot);
  staging_ = Staging{};
  // The old contents have no name now; they are freed when their last
  // descriptor goes.
  if (replaced_fd_ >= 0) {
    close_in_background(replaced_fd_);
    replaced_fd_ = -1;
  }
  return IoError::ok;
}

// The staging file goes, with whatever was written to it.
void FileStream::drop_staging() {
  if (!staging_.path.empty()) {
    if (staging_.fd >= 0) {
      ::close(staging_.fd);
    }
    ::unlink(staging_.path.c_str());
    release_transient_file(staging_.slot);
  }
  staging_ = Staging{};
}

// remove: the named file was created by this open and nothing was put in
// its place; it goes unless someone else wrote to it meanwhile.
void FileStream::forget_created(bool remove) {
  if (remove && created_) {
    struct stat info {};
    if (::stat(target_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_ &&
        info.st_size == 0) {
      ::unlink(target_.c_str());
    }
  }
  release_transient_file(created_slot_);
  created_slot_ = -1;
  created_ = false;
}

void FileStream::close_descriptors() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (replaced_fd_ >= 0) {
    ::close(replaced_fd_);
    replaced_fd_ = -1;
  }
  can_read_ = can_write_ = false;
  out_.clear();
  in_.clear();
  in_pos_ = 0;
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
  if (staging_.fd >= 0 && !staging_.active) {
    return start_staging();
  }
  // The descriptor stands after the read-ahead; the unit stands before it.
  auto unread = static_cast<off_t>(in_.size() - in_pos_);
  in_.clear();
  in_pos_ = 0;
  at_end_ = false;
  off_t here = ::lseek(fd_, -unread, SEEK_CUR);
  if (here < 0) {
    return failed(IoError::file_write_failed, errno);
  }
  ends_here_ = true;
  end_ = here;
  return IoError::ok;
}

IoError FileStream::cut_off_after_writing() {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) {
    return failed(IoError::file_write_failed, errno);
  }
  if (info.st_size > end_ && ::ftruncate(fd_, end_) != 0) {
    return failed(IoError::file_write_failed, errno);
  }
  return IoError::ok;
}

IoError FileStream::write(std::string_view bytes) {
  if (!can_write_) {
    return IoError::write_to_read_only;
  }
  if (staging_.fd >= 0 && !staging_.active) {
    if (IoError e = start_staging(); e != IoError::ok) {
      return e;
    }
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
      result = failed(IoError::file_write_failed, errno);
      break;
    }
    if (n == 0) {
      result = failed(IoError::file_write_failed, EIO);
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  // What could not be written is reported, not kept for a later retry that
  // would write it out of order; the file misses it for good.
  out_.clear();
  damaged_ = damaged_ || result != IoError::ok;
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
      int error = errno;
      in_.resize(old_size);
      return failed(IoError::file_read_failed, error);
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
    result = failed(IoError::file_write_failed, errno);
  }
  fd_ = -1;
  if (result == IoError::ok && damaged_) {
    result = IoError::file_write_failed;  // reported when it happened
  }
  if (staging_.active && result == IoError::ok) {
    result = put_in_place();
  }
  drop_staging();
  forget_created(false);
  // A scratch file is deleted by the unit's close from here.
  release_transient_file(scratch_slot_);
  scratch_slot_ = -1;
  scratch_path_.clear();
  close_descriptors();
  return result;
}

void FileStream::abandon() {
  if (fd_ >= 0 && !regular_) {
    // A device has its records at the end of each statement; a last piece
    // in the buffer still goes.
    (void)write_out();
  }
  close_descriptors();
  drop_staging();
  forget_created(true);
  if (!scratch_path_.empty()) {
    ::unlink(scratch_path_.c_str());
  }
  release_transient_file(scratch_slot_);
  scratch_slot_ = -1;
  scratch_path_.clear();
}

}  // namespace zuna
