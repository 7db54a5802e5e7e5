#include "host/qt/program-thread.h"

#include <QEventLoop>
#include <cfenv>
#include <mutex>

#include "fio/fio.h"

namespace zuna {

// What the two threads share. The loop is named to the item's thread under
// the mutex only while the loop exists.
struct ProgramThread::Shared {
  std::mutex mutex;
  QEventLoop* loop = nullptr;
  bool done = false;
  bool failed = false;
};

ProgramThread::ProgramThread(void (*item)()) : shared_(std::make_shared<Shared>()) {
  thread_ = std::thread([item, shared = shared_] {
    // A new thread starts with its creator's floating-point flags: those the
    // GUI thread raised (printing raises some) would be taken by the item's
    // run-time for a fault of its own, which ends the program.
    std::feclearexcept(FE_ALL_EXCEPT);
    bool failed = false;
    try {
      item();
    } catch (const ProgramExit&) {
      // The frame closed, or a run-time error ended the program.
    } catch (...) {
      failed = true;
    }
    std::lock_guard lock(shared->mutex);
    shared->done = true;
    shared->failed = failed;
    if (shared->loop != nullptr) {
      QMetaObject::invokeMethod(shared->loop, "quit", Qt::QueuedConnection);
    }
  });
}

ProgramThread::~ProgramThread() {
  if (thread_.joinable()) {
    thread_.join();  // wait() was not called
  }
}

ProgramThread::Outcome ProgramThread::wait() {
  QEventLoop loop;
  bool done = false, failed = false;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->loop = &loop;
    done = shared_->done;
  }
  if (!done) {
    loop.exec();
  }
  {
    std::lock_guard lock(shared_->mutex);
    shared_->loop = nullptr;
    done = shared_->done;
    failed = shared_->failed;
  }
  if (!done) {
    thread_.detach();  // the frame is closing; the process ends without it
    return Outcome::abandoned;
  }
  thread_.join();
  return failed ? Outcome::failed : Outcome::ended;
}

}  // namespace zuna
