#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "engine/fp-guard.h"
#include "rocket/refusal.h"
#include "rocket/rocket.h"
#include "rocket/warm-start.h"

namespace zuna::rocket {

namespace {

// The value maximised: Isp or Ivac of the one exit of a result; an exit
// without valid values ranks below every valid one.
using Measure = double Station::*;
double value_of(const RocketResult& r, Measure m) {
  const Station& exit = r.exits().front();
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

// The scan's point of the highest value.
std::size_t best_scanned(Measure m, const std::vector<RocketResult>& scan) {
  std::size_t k = 0;
  for (std::size_t i = 1; i < scan.size(); ++i) {
    if (value_of(scan[i], m) > value_of(scan[k], m)) {
      k = i;
    }
  }
  return k;
}

// The interval searched: the search's, or by default a quarter to 1.5 times
// the stoichiometric O/F.
std::pair<double, double> interval(const engine::ThermoData& data, const BestIspSearch& s) {
  const double st = engine::stoichiometric_of(data);
  return {s.of_low != 0.0 ? s.of_low : 0.25 * st, s.of_high != 0.0 ? s.of_high : 1.5 * st};
}

// The optimum of one exit for one measure, with the station there: the
// scan's best point and its neighbours bracket the maximum, the search
// refines it there. Where no exit of the scan is valid there is no optimum:
// the O/F is NaN and the station, without values, carries the reasons met.
void optimum(ExitAtOf& exit, Measure m, const std::vector<double>& grid,
             const std::vector<RocketResult>& scan, double& of, Station& at, unsigned& flags) {
  const std::size_t k = best_scanned(m, scan);
  if (!scan[k].exits().front().valid()) {
    of = std::numeric_limits<double>::quiet_NaN();
    at = scan[0].exits().front();
    for (const RocketResult& r : scan) {
      at.flags |= r.exits().front().flags;
    }
    flags |= at.flags;
    return;
  }
  const double a = grid[k == 0 ? 0 : k - 1];
  const double b = grid[k + 1 == grid.size() ? k : k + 1];
  of = golden_max(exit, m, a, b, kBestOfTolerance);
  at = exit.at(of).exits().front();
  if (!at.valid()) {
    // The refinement left the valid part of the bracket: the scan's point.
    of = grid[k];
    at = scan[k].exits().front();
  }
  if (of - grid.front() <= kBestOfTolerance || grid.back() - of <= kBestOfTolerance) {
    at.flags |= kOptimumAtBound;
  }
  flags |= at.flags;
}

}  // namespace

void check_best_isp_search(const engine::ThermoData& data, const BestIspSearch& s) {
  const engine::FpGuard guard;
  const double st = engine::stoichiometric_of(data);
  const double min = engine::kOfMinFactor * st, max = engine::kOfMaxFactor * st;
  // Each bound is 0 (its default) or an O/F of the engine's range; the
  // refusal is the interval's, as given, its message names the bound.
  auto check_bound = [&](const char* name, double v, const char* by_default) {
    if (v != 0.0 && !(v >= min && v <= max)) {
      engine::Refusal r =
          refusal(engine::Argument::of_interval, s.of_low, engine::Bounds::closed, min, max);
      r.value2 = s.of_high;
      throw InputError(r, std::string(name) + " = " + shortest_text(v) +
                              " is outside the accepted range: 0 (" + by_default + ") or " +
                              shortest_text(min) + " to " + shortest_text(max));
    }
  };
  check_bound("of_low", s.of_low, "a quarter of the stoichiometric O/F");
  check_bound("of_high", s.of_high, "1.5 times the stoichiometric O/F");
  const auto [lo, hi] = interval(data, s);
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
  const engine::FpGuard guard;
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
  const std::size_t n_pi = problem.pi_p.size(), n_sub = problem.sub_ae_at.size();
  const std::size_t exits = n_pi + n_sub + problem.ae_at.size();
  for (std::size_t j = 0; j < exits; ++j) {
    RocketInput one = problem;
    one.pi_p.clear();
    one.sub_ae_at.clear();
    one.ae_at.clear();
    BestIsp best;
    if (j < n_pi) {
      one.pi_p.push_back(problem.pi_p[j]);
      best.kind = StationKind::pressure_ratio;
      best.exit_value = problem.pi_p[j];
    } else if (j < n_pi + n_sub) {
      one.sub_ae_at.push_back(problem.sub_ae_at[j - n_pi]);
      best.kind = StationKind::sub_area_ratio;
      best.exit_value = one.sub_ae_at[0];
    } else {
      one.ae_at.push_back(problem.ae_at[j - n_pi - n_sub]);
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
