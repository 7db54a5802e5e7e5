// The elapsed-time clock. Its base is process-wide, so each case that needs
// a first call runs in a child process of its own.
#include "platform/timef.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

namespace zuna {
namespace {

// A re-executed child runs only the one test, so its first timef is the
// process's first.
class TimefChild : public ::testing::Test {
 protected:
  void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(TimefChild, FirstCallIsExactlyZeroAndLaterCallsFollowTheWallClock) {
  EXPECT_EXIT(
      {
        if (timef() != 0.0) {
          std::exit(1);
        }
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double t = timef();
        // Within a few clock ticks of the steady clock's reading.
        std::exit(t >= 0.299 && t - elapsed > -0.02 && t - elapsed < 0.02 ? 0 : 2);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(Timef, ReadingsComeInStepsOf200Nanoseconds) {
  timef();
  for (int k = 0; k < 100; ++k) {
    const double steps = timef() / 2e-7;
    EXPECT_NEAR(steps, std::round(steps), 1e-3) << "reading " << k;
  }
}

// Concurrent first calls agree on one base: exactly the winner's call is the
// base, every thread's reading is small and non-negative, and later readings
// are the same for everyone.
using TimefThreaded = TimefChild;

TEST_F(TimefThreaded, ConcurrentFirstCallsAgreeOnOneBase) {
  EXPECT_EXIT(
      {
        constexpr int kThreads = 8;
        std::vector<double> first(kThreads, -1.0);
        std::vector<std::thread> threads;
        for (int k = 0; k < kThreads; ++k) {
          threads.emplace_back([&first, k] { first[static_cast<std::size_t>(k)] = timef(); });
        }
        for (auto& t : threads) {
          t.join();
        }
        bool some_zero = false;
        for (double v : first) {
          if (v < 0.0 || v > 1.0) {
            std::exit(1);
          }
          some_zero = some_zero || v == 0.0;
        }
        std::exit(some_zero ? 0 : 2);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace zuna
