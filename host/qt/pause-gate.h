// The run state of the computation and the gate where it waits while paused.
//
// Pause is cooperative: the computation passes the gate at every output
// statement, every sweep point and every write to a text window, and waits
// there while the state is paused. It is therefore never stopped in the
// middle of drawing into a window, and the GUI thread can always paint, save
// and print.
//
// Pause and Resume come from the GUI thread, the gate is passed on the
// computation thread; the state is guarded by one mutex. Closing opens the
// gate for good, so a paused computation never keeps the process alive.
#pragma once

#include <condition_variable>
#include <mutex>

namespace zuna {

enum class RunState { running = 0, paused = 1, finished = 2 };

const char* run_state_text(RunState state);  // "Running", "Paused", "Finished"

class PauseGate {
 public:
  // Running: the state becomes paused. Paused already: only the
  // pause-request flag is set, so that one Resume (the end of a selection)
  // keeps the computation paused. Finished: nothing. Answers whether the
  // state changed.
  bool pause();
  // Pause-request flag set: it is cleared and the state stays paused.
  // Paused: running again. Otherwise nothing. Answers whether the state changed.
  bool resume();
  // Finished is final.
  void finish();
  // Wakes every waiter; the gate stays open from now on.
  void close();

  RunState state() const;
  bool pause_requested() const;
  bool closed() const;

  // Computation thread: waits while paused. False once the host is closing.
  bool wait_while_paused();

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  RunState state_ = RunState::running;
  bool pause_requested_ = false;
  bool closed_ = false;
};

}  // namespace zuna
