#include "fit/tool-files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace zuna::fit {
namespace {

namespace fs = std::filesystem;

std::string reason(int error) { return error != 0 ? std::strerror(error) : "unknown error"; }

const char* kind_of(mode_t mode) {
  if (S_ISDIR(mode)) {
    return "a folder";
  }
  if (S_ISLNK(mode)) {
    return "a symbolic link";
  }
  if (S_ISCHR(mode) || S_ISBLK(mode)) {
    return "a device";
  }
  if (S_ISFIFO(mode)) {
    return "a pipe";
  }
  if (S_ISSOCK(mode)) {
    return "a socket";
  }
  return "not a regular file";
}

// Writes all of `text` to `fd`; false with errno set on failure.
bool write_all(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool open_input(const std::string& name, std::ifstream& in, std::string& error) {
  struct stat st {};
  if (::stat(name.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    error = "cannot open " + name + ": " + reason(EISDIR);
    return false;
  }
  errno = 0;
  in.open(name, std::ios::binary);
  if (!in) {
    error = "cannot open " + name + ": " + reason(errno);
    return false;
  }
  return true;
}


bool replace_file(const std::string& output, const std::string& text, std::string& error) {
  struct stat st {};
  if (::lstat(output.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) {
      error = output + " is " + kind_of(st.st_mode) + ", not a regular file: it is not replaced";
      return false;
    }
  } else if (errno != ENOENT) {
    error = "cannot write " + output + ": " + reason(errno);
    return false;
  }
  const fs::path path(output);
  if (!path.has_filename()) {
    error = "cannot write " + output + ": " + reason(EISDIR);
    return false;
  }
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const std::string pattern = (folder / ("." + path.filename().string() + ".XXXXXX")).string();
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  // mkstemp opens with O_CREAT | O_EXCL: a name that exists, a planted link
  // among them, is never opened.
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    error = "cannot create a file in " + folder.string() + ": " + reason(errno);
    return false;
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  bool written = ::fchmod(fd, 0666 & ~mask) == 0 && write_all(fd, text);
  int saved = errno;
  if (::close(fd) != 0 && written) {
    written = false;
    saved = errno;
  }
  if (!written) {
    error = "cannot write " + std::string(temporary.data()) + ": " + reason(saved);
    ::unlink(temporary.data());
    return false;
  }
  if (::rename(temporary.data(), output.c_str()) != 0) {
    saved = errno;
    error = "cannot rename " + std::string(temporary.data()) + " to " + output + ": " +
            reason(saved);
    ::unlink(temporary.data());
    return false;
  }
  return true;
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool finish_standard_output(std::string& error) {
  const bool failed_before = std::ferror(stdout) != 0;
  errno = 0;
  const bool closed = std::fclose(stdout) == 0;
  if (closed && !failed_before) {
    return true;
  }
  error = std::string("cannot write the standard output: ") +
          (errno != 0 ? std::strerror(errno) : "a write failed");
  return false;
}

}  // namespace zuna::fit
