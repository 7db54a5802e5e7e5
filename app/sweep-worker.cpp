#include "app/sweep-worker.h"

#include <algorithm>
#include <cfenv>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "fio/fio.h"

namespace zuna {

namespace {

using SearchLanes = DissociationLanes<kSearchLanes>;

// True when a floating-point fault was raised since the last call; clears
// the fault flags, so that each step is judged on its own flags.
bool take_faults() {
  const bool faulted = std::fetestexcept(kFloatingPointFaults) != 0;
  std::feclearexcept(kFloatingPointFaults);
  return faulted;
}

// One batch for the worker: it writes only *lanes and reads the rest.
struct LaneJob {
  SearchLanes* lanes = nullptr;
  const DissociationSettings* settings = nullptr;
  const ThermoConstants* tc = nullptr;
  const CoefBlock* coef = nullptr;
  std::fenv_t env;  // the caller's floating-point environment
};

// The second thread. Floating-point flags and modes belong to each thread,
// so it takes the caller's environment for each batch and answers whether
// the batch raised a fault flag.
class SearchWorker {
 public:
  // The program's worker, started on the first call.
  static SearchWorker& instance() {
    // Created once, thread-safely, on first use; never destroyed (see the
    // header).
    static SearchWorker* const worker = new SearchWorker;
    return *worker;
  }

  // Held by the caller that uses the worker, so that two callers on two
  // threads cannot hand it batches at the same time.
  std::mutex& use() { return use_; }

  // Starts tad_diss_lanes on the job; the caller keeps the job and its data
  // alive and untouched until wait() returns.
  void post(const LaneJob& job) {
    {
      std::lock_guard<std::mutex> lock(m_);
      job_ = job;
      pending_ = true;
    }
    cv_.notify_all();
  }

  // Waits for the job posted last; true when it raised a floating-point
  // fault.
  bool wait() {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [this] { return !pending_; });
    return faulted_;
  }

 private:
  SearchWorker() : thread_([this] { run(); }) {}

  void run() {
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

  std::mutex use_;
  std::mutex m_;
  std::condition_variable cv_;
  LaneJob job_;
  bool pending_ = false;  // a job is posted and not yet finished
  bool faulted_ = false;  // verdict of the last finished job
  std::thread thread_;    // last, so that it starts after the members above
};

// in[0..count) into the lanes, count in 1..kSearchLanes. The lanes beyond
// count repeat the last point: they take no more steps than it does and
// raise no flag that it does not.
void load(const FlameInputs* in, int count, SearchLanes& d) {
  for (int j = 0; j < kSearchLanes; ++j) {
    const FlameInputs& p = in[std::min(j, count - 1)];
    d.hreac.set(j, p.hreac);
    d.nh2o.set(j, p.n.nh2o);
    d.no2.set(j, p.n.no2);
    d.nh2.set(j, p.n.nh2);
  }
}

// The lanes' results, as tad_diss returns them: the equilibrium only where
// one was solved.
void store(const SearchLanes& d, int count, FlameTemperature* out) {
  for (int j = 0; j < count; ++j) {
    FlameTemperature& r = out[j];
    r = FlameTemperature{};
    r.tad = d.tad[j];
    r.flags = d.flags[j];
    r.solved = d.solved[j];
    if (r.solved) {
      for (int k = 0; k < 4; ++k) {
        r.eq.x[k] = d.x[k][j];
      }
      for (int k = 0; k < 6; ++k) {
        r.eq.nd[k] = d.nd[k][j];
      }
      r.eq.ntd = d.ntd[j];
      r.eq.capped = d.capped[j];
    }
  }
}

}  // namespace

void start_search_worker() { SearchWorker::instance(); }

bool compute_searches(const FlameInputs* in, int count, FlameTemperature* out,
                      const DissociationSettings& c, const ThermoConstants& tc,
                      const CoefBlock& coef) {
  const int count_a = std::min(count, kSearchLanes);
  const int count_b = count - count_a;
  std::fexcept_t caller_flags;
  std::fegetexceptflag(&caller_flags, kFloatingPointFaults);
  std::feclearexcept(kFloatingPointFaults);
  SearchLanes a;
  SearchLanes b;
  load(in, count_a, a);
  if (count_b > 0) {
    load(in + count_a, count_b, b);
  }
  SearchWorker& worker = SearchWorker::instance();
  std::unique_lock<std::mutex> use(worker.use(), std::defer_lock);
  const bool handed = count_b > 0 && use.try_lock();
  if (handed) {
    LaneJob job{&b, &c, &tc, &coef, {}};
    std::fegetenv(&job.env);
    worker.post(job);
  }
  tad_diss_lanes(a, c, tc, coef, ConstantFailures::flags_only);
  bool faulted = take_faults();
  if (handed) {
    faulted = worker.wait() || faulted;
  } else if (count_b > 0) {
    tad_diss_lanes(b, c, tc, coef, ConstantFailures::flags_only);
    faulted = take_faults() || faulted;
  }
  store(a, count_a, out);
  if (count_b > 0) {
    store(b, count_b, out + count_a);
  }
  std::fesetexceptflag(&caller_flags, kFloatingPointFaults);
  return faulted;
}

}  // namespace zuna
