// The rocket facade: the rocket library with the built-in data; its
// problem and results are the library's.
#include "zuna4/rocket.h"

#include "rocket/rocket.h"
#include "src/engine-errors.h"

namespace zuna4 {

namespace engine = zuna::engine;
namespace rk = zuna::rocket;

void check_input(const RocketInput& input) {
  detail::translating_errors(
      [&] { rk::check_problem(engine::builtin_nasa9_data(), input); });
}

RocketResult rocket(const RocketInput& input, const RocketResult* warm) {
  return detail::translating_errors([&] {
    return rk::rocket_performance(engine::builtin_nasa9_data(), input, warm);
  });
}

std::vector<RocketResult> rocket_sweep(const RocketInput& input, std::span<const double> of) {
  return detail::translating_errors([&] {
    return rk::rocket_sweep(engine::builtin_nasa9_data(), input, of);
  });
}

std::vector<BestIsp> best_isp(const RocketInput& input, const BestIspSearch& search) {
  return detail::translating_errors([&] {
    return rk::best_isp(engine::builtin_nasa9_data(), input, search);
  });
}

}  // namespace zuna4
