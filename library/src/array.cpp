// The array calls' workers: blocks taken in index order from one counter,
// the calling thread waiting in slices.
#include "zuna4/array.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <limits>
#include <thread>
#include <vector>

#include "engine/fp-guard.h"

namespace zuna4 {

unsigned array_threads(const ArrayOptions& options) {
  if (options.threads != 0) {
    return options.threads;
  }
  return std::max(1u, std::thread::hardware_concurrency());
}

void for_each_block(std::size_t n, const ArrayOptions& options,
                    const std::function<void(std::size_t, std::size_t)>& work) {
  const std::size_t blocks = (n + kWarmBlock - 1) / kWarmBlock;
  constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
  std::atomic<std::size_t> next{0};
  std::atomic<std::size_t> failed{kNone};
  std::atomic<bool> stop{false};
  std::vector<std::exception_ptr> errors(blocks);

  auto worker = [&] {
    const zuna::engine::detail::FpGuard guard;
    for (;;) {
      const std::size_t b = next.fetch_add(1);
      if (b >= blocks || b > failed.load() || stop.load()) {
        break;
      }
      try {
        work(b * kWarmBlock, std::min(n, (b + 1) * kWarmBlock));
      } catch (...) {
        errors[b] = std::current_exception();
        std::size_t seen = failed.load();
        while (b < seen && !failed.compare_exchange_weak(seen, b)) {
        }
      }
    }
  };

  const std::size_t threads = std::min<std::size_t>(array_threads(options), blocks);
  if (threads <= 1 && !options.interrupted) {
    worker();
  } else {
    std::vector<std::thread> pool;
    const std::size_t count = std::max<std::size_t>(threads, 1);
    std::atomic<std::size_t> finished{0};
    for (std::size_t t = 0; t < count; ++t) {
      pool.emplace_back([&] {
        worker();
        finished.fetch_add(1);
      });
    }
    bool interrupted = false;
    while (finished.load() != count) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (options.interrupted && !interrupted && options.interrupted()) {
        interrupted = true;
        stop.store(true);
      }
    }
    for (std::thread& t : pool) {
      t.join();
    }
    if (interrupted) {
      throw Interrupted();
    }
  }
  if (const std::size_t b = failed.load(); b != kNone) {
    std::rethrow_exception(errors[b]);
  }
}

}  // namespace zuna4
