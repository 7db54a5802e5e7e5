// The rocket facade: the rocket library with the built-in data; its
// problem and results are the library's.
#include "zuna4/rocket.h"

#include <string>

#include "engine/fp-guard.h"
#include "rocket/rocket.h"

namespace zuna4 {

namespace engine = zuna::engine;
namespace rk = zuna::rocket;

void check_input(const RocketInput& input) {
  const zuna::engine::FpGuard guard;
  rk::check_problem(engine::builtin_nasa9_data(), input);
}

RocketResult rocket(const RocketInput& input, const RocketResult* warm) {
  const zuna::engine::FpGuard guard;
  return rk::rocket_performance(engine::builtin_nasa9_data(), input, warm);
}

std::vector<RocketResult> rocket_sweep(const RocketInput& input, std::span<const double> of) {
  const zuna::engine::FpGuard guard;
  return rk::rocket_sweep(engine::builtin_nasa9_data(), input, of);
}

std::vector<BestIsp> best_isp(const RocketInput& input, const BestIspSearch& search) {
  const zuna::engine::FpGuard guard;
  return rk::best_isp(engine::builtin_nasa9_data(), input, search);
}

void rocket(std::size_t n, const RocketInput& problem,
            const std::function<void(std::size_t, RocketInput&)>& input,
            const std::function<void(std::size_t, const RocketResult&)>& output,
            const ArrayOptions& options) {
  for_each_block(n, options, [&](std::size_t begin, std::size_t end) {
    RocketInput in = problem;
    for (std::size_t i = begin; i < end; ++i) {
      input(i, in);
      try {
        check_input(in);
      } catch (const InputError& e) {
        Refusal r = e.refusal();
        r.index = static_cast<long long>(i);
        throw InputError(r, "point " + std::to_string(i) + ": " + e.what());
      }
    }
  });
  for_each_block(n, options, [&](std::size_t begin, std::size_t end) {
    RocketInput in = problem;
    std::vector<double> of;
    for (std::size_t first = begin; first < end;) {
      input(first, in);
      const double pc = in.pc_atm;
      of.assign(1, in.of);
      std::size_t last = first + 1;
      for (; last < end; ++last) {
        input(last, in);
        if (!(in.pc_atm == pc)) {
          break;
        }
        of.push_back(in.of);
      }
      in.pc_atm = pc;
      if (options.warm_start) {
        const std::vector<RocketResult> run = rocket_sweep(in, of);
        for (std::size_t k = 0; k < run.size(); ++k) {
          output(first + k, run[k]);
        }
      } else {
        for (std::size_t k = 0; k < of.size(); ++k) {
          in.of = of[k];
          output(first + k, rocket(in));
        }
      }
      first = last;
    }
  });
}

}  // namespace zuna4
