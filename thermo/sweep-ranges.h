// The values the parameters of the program's sweep accept, and the rule of
// its point counts: checked once, here, for the parameter form, zuna4c's
// options and the zuna4 library (inputs/run-parameters.h puts the ranges in
// the run parameters' table beside the texts of each front end).
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace zuna {

// Highest point index of the sweep's tables: a calculation has
// npts = npmin + npmax + 3 reported points, so npmin + npmax may be at most
// this minus 3.
inline constexpr int kMaxPoint = 103;
inline constexpr int kMaxInnerPoints = kMaxPoint - 3;

// The accepted domain. The O/F range must hold the stoichiometric point
// (0 < rmin <= 1 <= rmax <= kMaxRatio); the pressure is kept where the
// equilibrium constants and moles stay well inside double range; the caps
// fit the report's five-digit field.
inline constexpr double kMinPressure = 1.0E-6;  // [atm]
inline constexpr double kMaxPressure = 1.0E5;   // [atm]
inline constexpr double kMaxRatio = 100.0;
inline constexpr std::int32_t kMaxIterations = 99999;

// The values a parameter accepts: lowest <= v <= highest, or
// lowest < v <= highest when open_below.
struct ParameterRange {
  double lowest = 0.0;
  double highest = 0.0;
  bool open_below = false;
};

inline constexpr ParameterRange kRminRange{0.0, 1.0, true};
inline constexpr ParameterRange kRmaxRange{1.0, kMaxRatio, false};
inline constexpr ParameterRange kPointCountRange{0, kMaxInnerPoints, false};  // npmin, npmax
inline constexpr ParameterRange kPressureRange{kMinPressure, kMaxPressure, false};
inline constexpr ParameterRange kToleranceRange{0.0, std::numeric_limits<double>::infinity(),
                                                true};                      // tolh [K], toln
inline constexpr ParameterRange kIterationRange{1, kMaxIterations, false};  // itmaxh, itmaxn

// True when v lies in r; a value that is not a finite number lies in none.
inline bool within_range(double v, const ParameterRange& r) {
  return std::isfinite(v) && (r.open_below ? v > r.lowest : v >= r.lowest) && v <= r.highest;
}

// How the point counts fit the tables, which hold points 0 to kMaxPoint:
// each count within kPointCountRange, the two adding up to at most its
// highest value (summed in 64 bits, so that no sum overflows).
enum class PointCountFit {
  fits,
  npmin_out,      // npmin outside its range
  npmax_out,      // npmin inside, npmax outside
  sum_too_large,  // each inside, their sum too large
};

inline PointCountFit point_count_fit(std::int32_t npmin, std::int32_t npmax) {
  const bool low_fits = within_range(npmin, kPointCountRange);
  const bool high_fits = within_range(npmax, kPointCountRange);
  if (!low_fits) {
    return PointCountFit::npmin_out;
  }
  if (!high_fits) {
    return PointCountFit::npmax_out;
  }
  if (std::int64_t{npmin} + npmax > std::int64_t{kMaxInnerPoints}) {
    return PointCountFit::sum_too_large;
  }
  return PointCountFit::fits;
}

}  // namespace zuna
