#include "platform/timef.h"

#include <atomic>
#include <cstdint>
#include <ctime>
#include <mutex>

namespace zuna {
namespace {

// 100-ns intervals between 1601-01-01 and 1970-01-01, so that counts are the
// same as the system's file-time counts (their parity decides the halving
// below).
constexpr std::int64_t kUnixEpochIn100ns = 116444736000000000;

std::int64_t utc_now_in_100ns() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return kUnixEpochIn100ns + static_cast<std::int64_t>(ts.tv_sec) * 10000000 + ts.tv_nsec / 100;
}

std::mutex base_lock;
std::atomic<bool> base_set{false};
std::int64_t base_count = 0;  // 100-ns count of the first call, written once under base_lock

}  // namespace

double timef() {
  if (!base_set.load(std::memory_order_acquire)) {
    std::lock_guard<std::mutex> guard(base_lock);
    if (!base_set.load(std::memory_order_relaxed)) {
      base_count = utc_now_in_100ns();
      base_set.store(true, std::memory_order_release);
      return 0.0;
    }
  }
  // Read after the base is known to be set, so that a call racing with the
  // first never reads a time before the base.
  const std::int64_t now = utc_now_in_100ns();
  // The difference is taken on halved counts, (now / 2 - base / 2) in 200-ns
  // steps. In 64 bits it is exact, and it converts to a double exactly for
  // any span below 57 years; the only rounding is the final product.
  const std::int64_t halved = (now >> 1) - (base_count >> 1);
  return static_cast<double>(halved) * 2e-7;
}

}  // namespace zuna
