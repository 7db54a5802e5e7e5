// Standard descriptors that the program was started without.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "fio/fio.h"

namespace zuna {

void open_closed_standard_files() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
      continue;
    }
    // The lowest free number is taken: this one, as the lower ones are open.
    int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      ::dup2(opened, fd);
      ::close(opened);
    }
  }
}

}  // namespace zuna
