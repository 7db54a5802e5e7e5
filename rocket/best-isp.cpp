#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "rocket/fp-flags.h"
#include "rocket/refusal.h"
#include "rocket/rocket.h"
#include "rocket/warm-start.h"

namespace zuna::rocket {

namespace {

// The value maximised: Isp or Ivac of the one exit of a result; an exit
// without valid values ranks below every valid one.
using Measure = double Station::*;
double value_of(const RocketResult& r, Measure m) {
  const Station& exit = r.stations[2];
  return exit.valid() ? exit.*m : -std::numeric_limits<double>::infinity();
}

// One exit at any O/F of the checked interval, each computed warm from the
// two computed before.
class ExitAtOf {
 public:
  ExitAtOf(const engine::ThermoData& data, RocketInput problem)
      : data_(data), problem_(std::move(problem)) {}
  const RocketResult& at(double of) {
    problem_.of = of;
    std::swap(before_, last_);
    WarmStart warm;
    warm.previous = before_.stations.empty() ? nullptr : &before_;
    warm.before = last_.stations.empty() ? nullptr : &last_;
    RocketResult next;
    compute_stations(data_, problem_, warm, next);
    last_ = std::move(next);
    return last_;
  }

 private:
  const engine::ThermoData& data_;
  RocketInput problem_;
  RocketResult last_, before_;
};

// Golden-section search for the maximum of m on [a, b], to `tolerance`:
// each step keeps the part of the interval, between the two inner points
// c < d at the golden ratio, that holds the better of them.
double golden_max(ExitAtOf& exit, Measure m, double a, double b, double tolerance) {
  const double inv_phi = (std::sqrt(5.0) - 1.0) / 2.0;
  double c = b - inv_phi * (b - a), d = a + inv_phi * (b - a);
  double fc = value_of(exit.at(c), m), fd = value_of(exit.at(d), m);
  while (b - a > tolerance) {
    if (fc >= fd) {
      b = d;
      d = c;
      fd = fc;
      c = b - inv_phi * (b - a);
      fc = value_of(exit.at(c), m);
    } else {
      a = c;
      c = d;
      fc = fd;
      d = a + inv_phi * (b - a);
      fd = value_of(exit.at(d), m);
    }
  }
  return fc >= fd ? c : d;
}

// The scan's best point and its neighbours bracket the maximum; the search
// refines it there.
double best_of(ExitAtOf& exit, Measure m, const std::vector<double>& grid,
               const std::vector<RocketResult>& scan) {
  std::size_t k = 0;
  for (std::size_t i = 1; i < scan.size(); ++i) {
    if (value_of(scan[i], m) > value_of(scan[k], m)) {
      k = i;
    }
  }
  const double a = grid[k == 0 ? 0 : k - 1];
  const double b = grid[k + 1 == grid.size() ? k : k + 1];
  return golden_max(exit, m, a, b, kBestOfTolerance);
}

// The interval searched: the search's, or by default a quarter to 1.5 times
// the stoichiometric O/F.
std::pair<double, double> interval(const engine::ThermoData& data, const BestIspSearch& s) {
  const double st = engine::stoichiometric_of(data);
  return {s.of_low > 0.0 ? s.of_low : 0.25 * st, s.of_high > 0.0 ? s.of_high : 1.5 * st};
}

// The optimum of one exit for one measure, with the station there.
void optimum(ExitAtOf& exit, Measure m, const std::vector<double>& grid,
             const std::vector<RocketResult>& scan, double& of, Station& at, unsigned& flags) {
  of = best_of(exit, m, grid, scan);
  at = exit.at(of).stations[2];
  flags |= at.flags;
  if (of - grid.front() <= kBestOfTolerance || grid.back() - of <= kBestOfTolerance) {
    flags |= kOptimumAtBound;
  }
}

}  // namespace

void check_best_isp_search(const engine::ThermoData& data, const BestIspSearch& s) {
  const FpFlagsKept kept;
  const auto [lo, hi] = interval(data, s);
  const double st = engine::stoichiometric_of(data);
  const double min = engine::kOfMinFactor * st, max = engine::kOfMaxFactor * st;
  if (!(lo >= min && hi <= max && lo + 10 * kBestOfTolerance < hi)) {
    engine::Refusal r =
        refusal(engine::Argument::of_interval, lo, engine::Bounds::closed, min, max);
    r.value2 = hi;
    throw InputError(r, "O/F interval of_low = " + shortest_text(lo) +
                            ", of_high = " + shortest_text(hi) + " is outside the accepted range: " +
                            shortest_text(min) + " <= of_low < of_high <= " + shortest_text(max) +
                            ", at least " + shortest_text(10 * kBestOfTolerance) + " wide");
  }
  if (s.scan_points < 3 || s.scan_points > 1000) {
    throw InputError(
        refusal(engine::Argument::scan_points, s.scan_points, engine::Bounds::closed, 3, 1000),
        "scan_points = " + std::to_string(s.scan_points) + " is outside 3 to 1000");
  }
}

std::vector<BestIsp> best_isp(const engine::ThermoData& data, const RocketInput& problem,
                              const BestIspSearch& search) {
  const FpFlagsKept kept;
  check_best_isp_search(data, search);
  const auto [lo, hi] = interval(data, search);
  RocketInput p = problem;
  p.of = lo;
  check_problem(data, p);

  std::vector<double> grid(search.scan_points);
  for (int i = 0; i < search.scan_points; ++i) {
    grid[i] = lo + (hi - lo) * i / (search.scan_points - 1);
  }
  std::vector<BestIsp> out;
  const std::size_t exits = problem.pi_p.size() + problem.ae_at.size();
  for (std::size_t j = 0; j < exits; ++j) {
    RocketInput one = problem;
    one.pi_p.clear();
    one.ae_at.clear();
    BestIsp best;
    if (j < problem.pi_p.size()) {
      one.pi_p.push_back(problem.pi_p[j]);
      best.kind = StationKind::pressure_ratio;
      best.exit_value = problem.pi_p[j];
    } else {
      one.ae_at.push_back(problem.ae_at[j - problem.pi_p.size()]);
      best.kind = StationKind::area_ratio;
      best.exit_value = one.ae_at[0];
    }
    const std::vector<RocketResult> scan = rocket_sweep(data, one, grid);
    ExitAtOf exit(data, one);
    optimum(exit, &Station::isp_m_s, grid, scan, best.of_isp, best.at_isp, best.flags);
    optimum(exit, &Station::ivac_m_s, grid, scan, best.of_ivac, best.at_ivac, best.flags);
    out.push_back(best);
  }
  return out;
}

}  // namespace zuna::rocket
