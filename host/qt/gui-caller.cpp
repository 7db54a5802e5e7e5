#include "host/qt/gui-caller.h"

#include <QMetaObject>

namespace zuna {

GuiCaller::GuiCaller(QObject* parent) : QObject(parent), gui_thread_(std::this_thread::get_id()) {}

bool GuiCaller::call(const std::function<void()>& fn) {
  if (on_gui_thread()) {
    fn();
    return true;
  }
  Request request;
  request.fn = &fn;
  {
    std::lock_guard lock(mutex_);
    if (closed_) {
      return false;
    }
    queue_.push_back(&request);
  }
  QMetaObject::invokeMethod(this, "drain", Qt::QueuedConnection);
  std::unique_lock lock(mutex_);
  finished_.wait(lock, [&request] { return request.done || request.dropped; });
  if (request.error) {
    std::rethrow_exception(request.error);
  }
  return request.done;
}

void GuiCaller::drain() {
  for (;;) {
    Request* request = nullptr;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) {
        return;
      }
      request = queue_.front();
      queue_.pop_front();
    }
    std::exception_ptr error;
    try {
      (*request->fn)();
    } catch (...) {
      error = std::current_exception();
    }
    {
      std::lock_guard lock(mutex_);
      request->error = error;
      request->done = true;  // from here on the request may be gone
    }
    finished_.notify_all();
  }
}

void GuiCaller::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    for (Request* request : queue_) {
      request->dropped = true;
    }
    queue_.clear();
  }
  finished_.notify_all();
}

bool GuiCaller::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

}  // namespace zuna
