#include "fio/output-target.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "fio/file-failure.h"

namespace zuna {

IoError resolve_output_target(const std::string& path, bool existing_only, std::string& target) {
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
    target = path;
    return IoError::ok;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return existing_only && errno == ENOENT ? IoError::file_not_found
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
    return file_failure(IoError::file_open_failed, errno);
  }
  target = resolved;
  std::free(resolved);
  return IoError::ok;
}

}  // namespace zuna
