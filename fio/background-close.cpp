#include "fio/background-close.h"

#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace zuna {

namespace {

class Closer {
 public:
  void close_later(int fd) {
    {
      std::lock_guard<std::mutex> lock(m_);
      fds_.push_back(fd);
    }
    cv_.notify_one();
  }

 private:
  void run() {
    std::unique_lock<std::mutex> lock(m_);
    for (;;) {
      cv_.wait(lock, [this] { return !fds_.empty(); });
      const int fd = fds_.front();
      fds_.pop_front();
      lock.unlock();
      ::close(fd);
      lock.lock();
    }
  }

  std::mutex m_;
  std::condition_variable cv_;
  std::deque<int> fds_;
  std::thread thread_{[this] { run(); }};  // last: starts after the members above
};

}  // namespace

void close_in_background(int fd) {
  // Started on first use and never destroyed: at the end of the process the
  // thread may be waiting on the condition, which a destructor would wait
  // for in turn; the system closes what is still queued.
  static Closer* const closer = new Closer;
  closer->close_later(fd);
}

}  // namespace zuna
