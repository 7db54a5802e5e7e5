#include "app/sweep-worker.h"

namespace zuna {

SweepWorker& SweepWorker::instance() {
  // Created once, thread-safely, on first use; never destroyed (see above).
  static SweepWorker* const worker = new SweepWorker;
  return *worker;
}

SweepWorker::SweepWorker() : thread_([this] { run(); }) {}

void SweepWorker::post(const LaneJob& job) {
  {
    std::lock_guard<std::mutex> lock(m_);
    job_ = job;
    pending_ = true;
  }
  cv_.notify_all();
}

bool SweepWorker::wait() {
  std::unique_lock<std::mutex> lock(m_);
  cv_.wait(lock, [this] { return !pending_; });
  return faulted_;
}

void SweepWorker::run() {
  std::unique_lock<std::mutex> lock(m_);
  for (;;) {
    cv_.wait(lock, [this] { return pending_; });
    // The job is copied under the lock and computed without it; the caller
    // does not touch the job's data before wait() returns.
    const LaneJob job = job_;
    lock.unlock();
    std::fesetenv(&job.env);
    std::feclearexcept(kFloatingPointFaults);
    tad_diss_lanes(*job.lanes, *job.settings, *job.tc, *job.coef, ConstantFailures::flags_only);
    const bool faulted = take_faults();
    lock.lock();
    faulted_ = faulted;
    pending_ = false;
    cv_.notify_all();
  }
}

}  // namespace zuna
