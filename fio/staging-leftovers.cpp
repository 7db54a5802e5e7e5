#include "fio/staging-leftovers.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>

#include "fio/transient-files.h"

namespace zuna {

namespace {

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

bool is_staging_name(const char* entry, const std::string& prefix) {
  const std::size_t length = std::strlen(entry);
  if (length != prefix.size() + kStagingSuffixLength ||
      std::strncmp(entry, prefix.c_str(), prefix.size()) != 0) {
    return false;
  }
  return std::all_of(entry + prefix.size(), entry + length,
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// The staging files are locked with locks of the open file (F_OFD_SETLK):
// unlike a process's lock, such a lock is not let go when the process
// closes some other descriptor of the same file, and it conflicts with
// another open of the file in the same process too.
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

// Removes the folder entry `entry` when it is a regular file that is not
// one of this process's and that nobody holds locked.
void remove_if_abandoned(int folder_fd, const char* entry) {
  struct stat named {};
  if (::fstatat(folder_fd, entry, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode) ||
      is_transient_file(named.st_dev, named.st_ino)) {
    return;
  }
  const int fd = ::openat(folder_fd, entry, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    return;
  }
  struct stat opened {};
  if (::fstat(fd, &opened) == 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino &&
      lock_file(fd, F_RDLCK) == 0) {
    ::unlinkat(folder_fd, entry, 0);
  }
  ::close(fd);
}

}  // namespace

std::string staging_template(const std::string& target) {
  return (folder_of(target) / (staging_prefix(target) + "XXXXXX")).string();
}

bool lock_staging_file(int fd, const std::string& name) {
  if (lock_file(fd, F_WRLCK) != 0 && lock_refused(errno)) {
    return false;
  }
  struct stat opened {};
  struct stat named {};
  return ::fstat(fd, &opened) == 0 && ::lstat(name.c_str(), &named) == 0 &&
         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

void remove_abandoned_staging_files(const std::string& target) {
  static std::mutex mutex;
  static std::set<std::string> swept;  // the absolute templates done
  const std::filesystem::path folder_path = folder_of(target);
  const std::string prefix = staging_prefix(target);
  {
    // A relative name stands for another file in another working folder.
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(folder_path, ec);
    std::lock_guard lock(mutex);
    if (!swept.insert(((ec ? folder_path : absolute) / prefix).string()).second) {
      return;
    }
  }
  DIR* folder = ::opendir(folder_path.c_str());
  if (folder == nullptr) {
    return;
  }
  const int folder_fd = ::dirfd(folder);
  while (const dirent* entry = ::readdir(folder)) {
    if (is_staging_name(entry->d_name, prefix)) {
      remove_if_abandoned(folder_fd, entry->d_name);
    }
  }
  ::closedir(folder);
}

}  // namespace zuna
