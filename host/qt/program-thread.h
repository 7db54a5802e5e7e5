// The handshake between the GUI thread and the thread of a program item of
// the menu "Cálculo": the item runs on a thread of its own while the GUI
// thread keeps its events flowing in a local loop until the item tells it,
// through a mutex of ours, that it has ended.
//
// The item's thread may outlive the wait only when the application quits
// while the item waits for an external command: it then owns all it uses,
// and the process ends without it.
#pragma once

#include <memory>
#include <thread>

namespace zuna {

class ProgramThread {
 public:
  enum class Outcome {
    ended,      // the item returned, or ended the program (ProgramExit)
    failed,     // the item threw anything else
    abandoned,  // the loop ended first: the application quits
  };

  // Starts the item on its thread.
  explicit ProgramThread(void (*item)());
  ~ProgramThread();
  ProgramThread(const ProgramThread&) = delete;
  ProgramThread& operator=(const ProgramThread&) = delete;

  // Keeps the events flowing until the item ends; once only.
  Outcome wait();

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace zuna
