// A second thread for the sweep's searches with dissociation. run_sweep hands
// it every other batch of lanes while the calling thread computes the batch
// before; the two batches share nothing but read-only inputs, and each lane
// computes the same operations in the same order on either thread, so the
// results are the same to the last bit.
//
// One worker serves the whole program: it is created on first use, best
// ahead of the first sweep (prepare_sweep), so that a sweep allocates nothing
// and starts no thread. It is never destroyed: no sweep outlives the end of
// the program, so at exit the worker is asleep waiting for a batch, and
// joining it would only lengthen the end of every run. Floating-point flags and modes belong to
// each thread, so the worker takes the caller's environment for each batch and answers whether the
// batch raised a fault flag.
#pragma once

#include <cfenv>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "fio/fio.h"
#include "thermo/dissociation-lanes.h"

namespace zuna {

// One batch for the worker: it writes only *lanes and reads the rest.
struct LaneJob {
  DissociationLanes<kSearchLanes>* lanes = nullptr;
  const DissociationSettings* settings = nullptr;
  const ThermoConstants* tc = nullptr;
  const CoefBlock* coef = nullptr;
  std::fenv_t env;  // the caller's floating-point environment
};

// True when a floating-point fault was raised since the last call; clears
// the fault flags, so that each step of a batch is judged on its own flags.
inline bool take_faults() {
  const bool faulted = std::fetestexcept(kFloatingPointFaults) != 0;
  std::feclearexcept(kFloatingPointFaults);
  return faulted;
}

class SweepWorker {
 public:
  // The program's worker, started on the first call.
  static SweepWorker& instance();

  // Held by the sweep that uses the worker, so that two sweeps on two threads
  // cannot hand it batches at the same time.
  std::mutex& use() { return use_; }

  // Starts tad_diss_lanes on the job; the caller keeps the job and its data
  // alive and untouched until wait() returns.
  void post(const LaneJob& job);

  // Waits for the job posted last; true when it raised a floating-point
  // fault.
  bool wait();

 private:
  SweepWorker();
  void run();

  std::mutex use_;
  std::mutex m_;
  std::condition_variable cv_;
  LaneJob job_;
  bool pending_ = false;  // a job is posted and not yet finished
  bool faulted_ = false;  // verdict of the last finished job
  std::thread thread_;    // last, so that it starts after the members above
};

}  // namespace zuna
