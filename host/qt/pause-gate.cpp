#include "host/qt/pause-gate.h"

namespace zuna {

const char* run_state_text(RunState state) {
  switch (state) {
    case RunState::running: return "Running";
    case RunState::paused: return "Paused";
    case RunState::finished: return "Finished";
  }
  return "";
}

bool PauseGate::pause() {
  std::lock_guard lock(mutex_);
  switch (state_) {
    case RunState::running: state_ = RunState::paused; return true;
    case RunState::paused: pause_requested_ = true; return false;
    case RunState::finished: return false;
  }
  return false;
}

bool PauseGate::resume() {
  bool changed = false;
  {
    std::lock_guard lock(mutex_);
    if (state_ != RunState::paused) {
      return false;
    }
    if (pause_requested_) {
      pause_requested_ = false;
    } else {
      state_ = RunState::running;
      changed = true;
    }
  }
  changed_.notify_all();
  return changed;
}

void PauseGate::finish() {
  {
    std::lock_guard lock(mutex_);
    state_ = RunState::finished;
    pause_requested_ = false;
  }
  changed_.notify_all();
}

void PauseGate::close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
  }
  changed_.notify_all();
}

RunState PauseGate::state() const {
  std::lock_guard lock(mutex_);
  return state_;
}

bool PauseGate::pause_requested() const {
  std::lock_guard lock(mutex_);
  return pause_requested_;
}

bool PauseGate::closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

bool PauseGate::wait_while_paused() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return closed_ || state_ != RunState::paused; });
  return !closed_;
}

}  // namespace zuna
