// Runs a call on the GUI thread for another thread and waits for it.
//
// From the GUI thread the call runs at once. From any other thread it is
// queued under our own mutex, the GUI thread is told through a queued Qt
// invocation that carries no data (so everything the call needs passes
// through the mutex, where ThreadSanitizer can see it), and the caller waits
// on a condition variable until the call has run.
//
// The way out: close() (when the frame closes) drops every call that has not
// started and wakes its caller with false; later calls answer false at once.
// A call that has started always runs to its end before its caller wakes,
// because it may use the caller's stack.
#pragma once

#include <QObject>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace zuna {

class GuiCaller : public QObject {
  Q_OBJECT

 public:
  // Must be made on the GUI thread.
  explicit GuiCaller(QObject* parent = nullptr);

  bool on_gui_thread() const { return std::this_thread::get_id() == gui_thread_; }

  // Runs fn on the GUI thread and waits. False when it was not run because
  // the host is closing. An exception of fn is rethrown to the caller.
  bool call(const std::function<void()>& fn);

  // GUI thread.
  void close();
  bool closed() const;

 private:
  Q_INVOKABLE void drain();

  struct Request {
    const std::function<void()>* fn = nullptr;
    bool done = false;
    bool dropped = false;
    std::exception_ptr error;
  };

  const std::thread::id gui_thread_;
  mutable std::mutex mutex_;
  std::condition_variable finished_;
  std::deque<Request*> queue_;  // requests live on their callers' stacks
  bool closed_ = false;
};

}  // namespace zuna
