#include "app/sweep-worker.h"

namespace zuna {

namespace {

// The faults the run-time reports after each point (check_floating_point).
constexpr int kFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

}  // namespace

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
    std::feclearexcept(kFaults);
    tad_diss_lanes(*job.lanes, *job.settings, *job.tc, *job.coef, ConstantFailures::flags_only);
    const bool faulted = std::fetestexcept(kFaults) != 0;
    std::feclearexcept(kFaults);
    lock.lock();
    faulted_ = faulted;
    pending_ = false;
    cv_.notify_all();
  }
}

}  // namespace zuna
