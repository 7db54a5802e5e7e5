// The array calls over threads: the same bits whatever the threads, warm
// starts cut at the blocks, the first refused point named whichever worker
// met it, the calling thread's check stopping the workers, and the
// caller's floating-point traps not reaching them. Solved under the thread
// sanitizer (label threaded).
#include <gtest/gtest.h>

#include <atomic>
#include <cfenv>
#include <cmath>
#include <cstring>
#include <vector>

#include "zuna4/zuna4.h"

namespace {

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Three blocks and a piece: O/F from 2 to 14 in small steps, at two pressures.
std::vector<zuna4::EquilibriumInput> grid(std::size_t n) {
  std::vector<zuna4::EquilibriumInput> in(n);
  for (std::size_t i = 0; i < n; ++i) {
    in[i].problem = zuna4::Problem::hp;
    in[i].of = 2.0 + 12.0 * static_cast<double>(i) / static_cast<double>(n);
    in[i].p_atm = i % 2 == 0 ? 1.0 : 50.0;
  }
  return in;
}

struct Solved {
  std::vector<double> T;
  std::vector<int> iterations;
};

Solved run(const std::vector<zuna4::EquilibriumInput>& in, unsigned threads, bool warm = true) {
  Solved r;
  r.T.assign(in.size(), 0.0);
  r.iterations.assign(in.size(), 0);
  zuna4::ArrayOptions options;
  options.threads = threads;
  options.warm_start = warm;
  options.interrupted = [] { return false; };
  zuna4::equilibrium(
      in.size(), [&](std::size_t i) { return in[i]; },
      [&](std::size_t i, const zuna4::State& s) {
        r.T[i] = s.T_K;
        r.iterations[i] = s.iterations;
      },
      options);
  return r;
}

TEST(ThreadedArrayCall, ThreadsGiveTheSameBitsAsOne) {
  const auto in = grid(3 * zuna4::kWarmBlock + 100);
  const Solved one = run(in, 1);
  for (unsigned threads : {2u, 3u, 0u}) {
    const Solved many = run(in, threads);
    for (std::size_t i = 0; i < in.size(); ++i) {
      ASSERT_TRUE(same_bits(one.T[i], many.T[i])) << "threads " << threads << " point " << i;
    }
  }
}

TEST(ThreadedArrayCall, EachBlockStartsCold) {
  const auto in = grid(2 * zuna4::kWarmBlock);
  const Solved warm = run(in, 2);
  const Solved cold = run(in, 2, false);
  for (std::size_t first : {std::size_t{0}, zuna4::kWarmBlock}) {
    EXPECT_TRUE(same_bits(warm.T[first], cold.T[first])) << first;
    EXPECT_EQ(warm.iterations[first], cold.iterations[first]) << first;
  }
  // Within a block the warm start saves steps.
  long warm_steps = 0, cold_steps = 0;
  for (std::size_t i = 0; i < in.size(); ++i) {
    warm_steps += warm.iterations[i];
    cold_steps += cold.iterations[i];
  }
  EXPECT_LT(warm_steps, cold_steps);
}

TEST(ThreadedArrayCall, TheFirstRefusedPointIsNamedWhicheverWorkerMetIt) {
  auto in = grid(4 * zuna4::kWarmBlock);
  in[3 * zuna4::kWarmBlock + 7].of = -1.0;
  in[zuna4::kWarmBlock + 5].p_atm = std::nan("");
  std::atomic<int> computed{0};
  zuna4::ArrayOptions options;
  options.threads = 4;
  try {
    zuna4::equilibrium(
        in.size(), [&](std::size_t i) { return in[i]; },
        [&](std::size_t, const zuna4::State&) { ++computed; }, options);
    FAIL() << "no InputError";
  } catch (const zuna4::InputError& e) {
    EXPECT_EQ(e.refusal().index, static_cast<long long>(zuna4::kWarmBlock + 5));
    EXPECT_EQ(e.refusal().argument, zuna4::Argument::p_atm);
  }
  EXPECT_EQ(computed.load(), 0);  // checked before any point is solved
}

TEST(ThreadedArrayCall, TheCallersCheckStopsTheWorkers) {
  const auto in = grid(64 * zuna4::kWarmBlock);
  std::atomic<std::size_t> computed{0};
  zuna4::ArrayOptions options;
  options.threads = 2;
  int asked = 0;
  options.interrupted = [&] { return ++asked == 2; };
  EXPECT_THROW(zuna4::equilibrium(
                   in.size(), [&](std::size_t i) { return in[i]; },
                   [&](std::size_t, const zuna4::State&) { ++computed; }, options),
               zuna4::Interrupted);
  EXPECT_LT(computed.load(), in.size());
}

TEST(ThreadedArrayCall, RocketThreadsGiveTheSameBitsAsOne) {
  zuna4::RocketInput problem;
  problem.pi_p = {10.0, 100.0};
  problem.ae_at = {20.0};
  const std::size_t n = zuna4::kWarmBlock + 40;
  auto set = [&](std::size_t i, zuna4::RocketInput& in) {
    in.pc_atm = i < n / 2 ? 20.0 : 70.0;
    in.of = 3.0 + 5.0 * static_cast<double>(i % 300) / 300.0;
  };
  auto isp = [&](unsigned threads) {
    std::vector<double> out(n * 5);
    zuna4::ArrayOptions options;
    options.threads = threads;
    zuna4::rocket(
        n, problem, set,
        [&](std::size_t i, const zuna4::RocketResult& r) {
          for (std::size_t k = 0; k < r.stations.size(); ++k) {
            out[i * 5 + k] = r.stations[k].isp_m_s;
          }
        },
        options);
    return out;
  };
  const std::vector<double> one = isp(1), two = isp(2);
  for (std::size_t i = 0; i < one.size(); ++i) {
    ASSERT_TRUE(same_bits(one[i], two[i])) << i;
  }
}

TEST(ThreadedArrayCall, TheCallersTrapsDoNotReachTheWorkers) {
#if defined(__GLIBC__)
  const auto in = grid(2 * zuna4::kWarmBlock);
  feenableexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
  const Solved r = run(in, 2);
  fedisableexcept(FE_ALL_EXCEPT);
  EXPECT_TRUE(std::isfinite(r.T[0]));
#endif
}

}  // namespace
