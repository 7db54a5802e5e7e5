#include "fio/file-stream.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <vector>

#include "fio/background-close.h"
#include "fio/commit-group.h"
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

IoError failed(IoError e, int error) {
  note_system_error(error);
  return e;
}

// The file an output name stands for. A plain name is itself. A symbolic
// link that leads to a regular file stands for that file: the link stays
// and its target is replaced whole, staged beside the target. A link that
// leads to a device or a pipe (/dev/null, /dev/stdout, which are links
// themselves on most systems) is written through, as the device named
// directly is. A link that leads nowhere, or to a folder or a socket, is
// refused: writing through it would make a file at a target nobody named,
// or put a new file in the link's place. For a file to read (status OLD)
// a link that leads nowhere is a file not found.
IoError resolve_output_name(const std::string& path, FileStatus status, std::string& target) {
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
    target = path;
    return IoError::ok;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return status == FileStatus::old_file && errno == ENOENT ? IoError::file_not_found
                                                             : IoError::link_to_no_regular_file;
  }
  if (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode)) {
    target = path;
    return IoError::ok;
  }
  if (!S_ISREG(info.st_mode)) {
    return IoError::link_to_no_regular_file;
  }
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) {
    return failed(IoError::file_open_failed, errno);
  }
  target = resolved;
  std::free(resolved);
  return IoError::ok;
}

constexpr std::size_t kStagingBaseLength = 200;
constexpr std::size_t kStagingSuffixLength = 6;  // mkostemp's "XXXXXX"

std::filesystem::path folder_of(const std::string& target) {
  std::filesystem::path folder = std::filesystem::path(target).parent_path();
  return folder.empty() ? std::filesystem::path(".") : folder;
}

// ".NAME." of the staging files of `target`; a long name is shortened to
// stay within a folder entry's 255 bytes.
std::string staging_prefix(const std::string& target) {
  return "." + std::filesystem::path(target).filename().string().substr(0, kStagingBaseLength) +
         ".";
}

// ".NAME.XXXXXX" beside `target`.
std::string staging_template(const std::string& target) {
  return (folder_of(target) / (staging_prefix(target) + "XXXXXX")).string();
}

bool is_staging_name(const char* entry, const std::string& prefix) {
  const std::size_t length = std::strlen(entry);
  if (length != prefix.size() + kStagingSuffixLength ||
      std::strncmp(entry, prefix.c_str(), prefix.size()) != 0) {
    return false;
  }
  return std::all_of(entry + prefix.size(), entry + length,
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// The staging files are locked while they are written, with locks of the
// open file (F_OFD_SETLK): unlike a process's lock, such a lock is not let
// go when the process closes some other descriptor of the same file, and
// it conflicts with another open of the file in the same process too.
int lock_file(int fd, short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
#ifdef F_OFD_SETLK
  return ::fcntl(fd, F_OFD_SETLK, &lock);
#else
  return ::fcntl(fd, F_SETLK, &lock);
#endif
}

bool lock_refused(int error) { return error == EAGAIN || error == EACCES; }

// Removes the staging files of `target` that a run which died without its
// signal handler (killed outright, the machine stopped) left in the folder:
// the names of exactly that pattern whose file nobody holds locked. A live
// run's staging files are locked from their creation until their rename or
// removal, and this process's own are skipped outright. Once per target and
// process: the leftovers of a later death are the next run's to take.
void remove_abandoned_staging_files(const std::string& target) {
  static std::mutex mutex;
  static std::set<std::string> swept;
  {
    std::lock_guard lock(mutex);
    if (!swept.insert(target).second) {
      return;
    }
  }
  const std::string prefix = staging_prefix(target);
  DIR* folder = ::opendir(folder_of(target).c_str());
  if (folder == nullptr) {
    return;
  }
  const int folder_fd = ::dirfd(folder);
  while (const dirent* entry = ::readdir(folder)) {
    if (!is_staging_name(entry->d_name, prefix)) {
      continue;
    }
    struct stat named {};
    if (::fstatat(folder_fd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(named.st_mode) || is_transient_file(named.st_dev, named.st_ino)) {
      continue;
    }
    const int fd =
        ::openat(folder_fd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
      continue;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) == 0 && opened.st_dev == named.st_dev &&
        opened.st_ino == named.st_ino && lock_file(fd, F_RDLCK) == 0) {
      ::unlinkat(folder_fd, entry->d_name, 0);
    }
    ::close(fd);
  }
  ::closedir(folder);
}

// Locks a staging file just made. False when the name has been taken from
// it meanwhile (a run sweeping leftovers locked or removed it before the
// lock): the caller makes another. A file system without locks has the
// sweep refused too, so the file stays unlocked and safe.
bool lock_staging(int fd, const std::string& name) {
  if (lock_file(fd, F_WRLCK) != 0 && lock_refused(errno)) {
    return false;
  }
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 && ::lstat(name.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

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

}  // namespace

FileStream::~FileStream() { abandon(); }

IoError FileStream::open(const std::string& path, FileStatus status,
                         std::optional<FileAction> action) {
  if (path.empty()) {
    return failed(IoError::file_open_failed, ENOENT);
  }
  name_ = path;
  // A file only read is opened through its name as it stands: a link is
  // followed by the open itself (also one to a descriptor, /dev/fd/N, whose
  // target has no name to open), and nothing is ever staged or replaced.
  if (action == FileAction::read) {
    target_ = path;
  } else if (IoError e = resolve_output_name(path, status, target_); e != IoError::ok) {
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
// be written is refused now, and a regular one gets its staging file.
IoError FileStream::open_existing(FileStatus status, std::optional<FileAction> action) {
  if (IoError e = open_descriptor(target_, status, action); e != IoError::ok) {
    // Gone since it was looked at: a new file after all.
    return e == IoError::file_not_found && status != FileStatus::old_file ? open_new(action) : e;
  }
  IoError e = IoError::ok;
  if (can_write_ && regular_) {
    struct stat model {};
    e = ::fstat(fd_, &model) == 0 ? prepare_staging(&model)
                                  : failed(IoError::file_open_failed, errno);
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
  return e;
}

// No file of that name: the staging file is the file from the start, and
// the name appears only when the close renames it into place. Made now, so
// that a folder that takes no new file is refused at the open.
IoError FileStream::open_new(std::optional<FileAction> action) {
  if (IoError e = prepare_staging(nullptr); e != IoError::ok) {
    return e;
  }
  can_read_ = !action || *action != FileAction::write;
  can_write_ = !action || *action != FileAction::read;
  const int fd = staging_.fd;
  staging_.fd = -1;
  staging_.active = true;
  return finish_open(fd);
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
  return failed(IoError::file_open_failed, error);
}

bool FileStream::stands_for(const std::string& name) const {
  if (!is_open()) {
    return false;
  }
  struct stat info {};
  if (::stat(name.c_str(), &info) == 0) {
    return same_file(info.st_dev, info.st_ino);
  }
  return staging_.active && replaced_fd_ < 0 && name == name_;
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
  IoError e = finish_open(fd);
  if (e == IoError::ok) {
    scratch_slot_ = track_transient_file(name, device_, inode_);
  }
  return e;
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
// everyone but in contents; a new file (no model) has the permissions a
// file created by name would have. It is locked (see
// remove_abandoned_staging_files) until it is renamed or removed, through
// a descriptor of its own that outlives the unit's close.
IoError FileStream::prepare_staging(const struct stat* model) {
  remove_abandoned_staging_files(target_);
  std::string name;
  int fd = -1;
  int error = EAGAIN;
  for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
    name = staging_template(target_);
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
      error = errno;
      break;
    }
    if (!lock_staging(fd, name)) {
      ::close(fd);
      fd = -1;
    }
  }
  if (fd < 0) {
    return failed(model != nullptr ? IoError::file_cannot_be_replaced : IoError::file_open_failed,
                  error);
  }
  if (model != nullptr) {
    (void)::fchmod(fd, model->st_mode & 07777);
    if (model->st_uid != ::geteuid() || model->st_gid != ::getegid()) {
      if (::fchown(fd, model->st_uid, model->st_gid) != 0) {
        // Not permitted (we are not root, or not in that group): the file
        // stays ours, as a new file would.
      }
    }
  } else {
    (void)::fchmod(fd, new_file_mode());
  }
  struct stat made {};
  (void)::fstat(fd, &made);
  staging_.fd = fd;
  staging_.lock_fd = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  staging_.path = name;
  staging_.slot = track_transient_file(name, made.st_dev, made.st_ino);
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

// The written staging file goes in place of the named file, or to the open
// commit group, which puts it there with the rest of its files.
IoError FileStream::put_in_place() {
  StagedFile file;
  file.fd = staging_.lock_fd;
  file.path = staging_.path;
  file.target = target_;
  file.name = name_;
  file.slot = staging_.slot;
  file.replaced_fd = replaced_fd_;
  staging_ = Staging{};
  replaced_fd_ = -1;
  if (defer_to_commit_group(file)) {
    return IoError::ok;
  }
  return put_staged_in_place(file);
}

// The staging file goes, with whatever was written to it. Removed before
// its lock goes, so that no other run takes it for a leftover meanwhile.
void FileStream::drop_staging() {
  if (!staging_.path.empty()) {
    ::unlink(staging_.path.c_str());
  }
  for (int fd : {staging_.fd, staging_.lock_fd}) {
    if (fd >= 0) {
      ::close(fd);
    }
  }
  release_transient_file(staging_.slot);
  staging_ = Staging{};
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
  if (out_.empty() && bytes.size() >= kWriteBufferSize) {
    // A whole buffer's worth or more, with nothing before it: written
    // straight from the caller's bytes, without the copy into out_.
    return write_bytes(bytes);
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
  const IoError result = write_bytes(out_);
  out_.clear();
  return result;
}

IoError FileStream::write_bytes(std::string_view bytes) {
  std::size_t done = 0;
  IoError result = IoError::ok;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
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
  if (!scratch_path_.empty()) {
    ::unlink(scratch_path_.c_str());
  }
  release_transient_file(scratch_slot_);
  scratch_slot_ = -1;
  scratch_path_.clear();
}

}  // namespace zuna
