// How the array calls run: over the machine's cores, in fixed blocks.
//
// The points of an array call are cut into blocks of kWarmBlock points of
// the flattened call. Warm starts chain within a block only, each block's
// first point started cold, so that the results are the same to the last
// bit whatever the number of threads. Every point is checked before any is
// computed; the checks run on the workers too. Each worker sets the
// floating-point environment of the library itself (every trap held off),
// whatever the caller's thread has.
#pragma once

#if __cplusplus < 202002L
#error "the zuna4 headers need C++20: compile with -std=c++20 (pkg-config --cflags zuna4)"
#endif

#include <cstddef>
#include <functional>
#include <stdexcept>

namespace zuna4 {

// The points of one block of warm starts.
inline constexpr std::size_t kWarmBlock = 4096;

struct ArrayOptions {
  // Start each point from the one before it in its block.
  bool warm_start = true;
  // Worker threads: 0 for one per core of the machine, 1 for one.
  unsigned threads = 1;
  // When given, called on the calling thread about every 20 ms while the
  // workers compute; answering true stops them (between blocks) and the
  // call throws Interrupted.
  std::function<bool()> interrupted;
};

// An array call stopped by ArrayOptions::interrupted.
class Interrupted : public std::runtime_error {
 public:
  Interrupted() : std::runtime_error("interrupted") {}
};

// The threads an ArrayOptions asks for (0: the machine's cores).
unsigned array_threads(const ArrayOptions& options);

// Runs work(begin, end) for every block of [0, n) on the threads of
// `options`. The exception of the first block (in index order) that threw
// is thrown again once every worker has ended; blocks after it may be left
// undone.
void for_each_block(std::size_t n, const ArrayOptions& options,
                    const std::function<void(std::size_t begin, std::size_t end)>& work);

}  // namespace zuna4
