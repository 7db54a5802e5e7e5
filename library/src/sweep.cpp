// The programs' sweep without the run-time, point by point on the plain
// reference of thermo/ (reference.h), which the programs' side-by-side lanes
// match to the last bit. Where the programs end the run on a floating-point
// fault, the point here carries kSweepFloatingPoint and the sweep goes on;
// the caller's floating-point environment is left as it was.
#include "zuna4/sweep.h"

#include <cmath>
#include <sstream>
#include <string>

#include "engine/fp-guard.h"
#include "src/shipped-data.h"
#include "tables/shortest.h"
#include "thermo/reference.h"
#include "thermo/sweep-ranges.h"
#include "thermodata/data7.h"
#include "thermodata/nasa9.h"

namespace zuna4 {

namespace {

using zuna::CoefBlock;
using zuna::ThermoConstants;

// The parameters in the order of SweepParameters: a refusal's index.
enum Parameter : int { kRmin, kRmax, kNpmin, kNpmax, kP, kTolh, kItmaxh, kToln, kItmaxn };

[[noreturn]] void refuse(Parameter field, const char* name, double value, const std::string& text,
                         Bounds bounds, double low, double high, const char* range) {
  Refusal r;
  r.argument = Argument::sweep_parameter;
  r.index = field;
  r.value = value;
  r.bounds = bounds;
  r.low = low;
  r.high = high;
  throw InputError(r, std::string(name) + " = " + text + ": must be " + range);
}

// The checks of zuna.dat's reader beyond those of the species reader: a
// molar mass of a species of this file, coefficients whose terms stay far
// from overflow between 200 and 6000 K.
constexpr const char* kSpecies[6] = {"H2O", "O2", "H2", "H", "O", "OH"};

bool coefficient_stays_finite(double a, int j) {
  constexpr double kLargestTerm = 1e300;
  for (double t : {200.0, 1000.0, 6000.0}) {
    double power = 0.0;
    switch (j) {
      case 1: power = std::fmax(1.0, std::log(t)); break;
      case 6: power = 1.0 / t; break;
      case 7: power = 1.0; break;
      default: power = std::pow(t, j - 1); break;
    }
    if (!(std::fabs(a) <= kLargestTerm / power)) {
      return false;
    }
  }
  return true;
}

SweepData checked(const zuna::thermodata::Data7File& file) {
  SweepData d;
  for (int k = 0; k < 6; ++k) {
    const zuna::thermodata::Data7Species& sp = file.species[k];
    const int block = k * 22;
    if (!(sp.molar_mass >= 0.5 && sp.molar_mass <= 1000.0)) {
      throw InputError("record " + std::to_string(block + 3) + " (species " + kSpecies[k] +
                       "): the molar mass must lie in 0.5..1000 g/mol");
    }
    d.mw_g_mol[k] = sp.molar_mass;
    for (int j = 0; j < 7; ++j) {
      d.coef[0][j][k] = sp.high[j];
      d.coef[1][j][k] = sp.low[j];
      for (int r = 0; r < 2; ++r) {
        if (!coefficient_stays_finite(d.coef[r][j][k], j + 1)) {
          throw InputError("record " + std::to_string(block + 5 + 8 * r + j) + " (species " +
                           kSpecies[k] + "): coefficient a" + std::to_string(j + 1) +
                           " is too large for 200..6000 K");
        }
      }
    }
  }
  return d;
}

}  // namespace

// The ranges and the rule of the counts are the sweep's own
// (thermo/sweep-ranges.h); the words are the library's.
void check_sweep_parameters(const SweepParameters& p) {
  const zuna::engine::FpGuard guard;
  using zuna::tables::shortest_text;
  const auto check = [](Parameter field, const char* name, double v, const zuna::ParameterRange& r,
                        const char* range) {
    if (!zuna::within_range(v, r)) {
      refuse(field, name, v, shortest_text(v), r.open_below ? Bounds::above : Bounds::closed,
             r.lowest, r.highest, range);
    }
  };
  check(kRmin, "rmin", p.rmin, zuna::kRminRange, "above 0 and at most 1");
  check(kRmax, "rmax", p.rmax, zuna::kRmaxRange, "in 1..100");
  constexpr const char* kCounts = "in 0..100, with npmin + npmax at most 100";
  switch (zuna::point_count_fit(p.npmin, p.npmax)) {
    case zuna::PointCountFit::fits: break;
    case zuna::PointCountFit::npmin_out:
      refuse(kNpmin, "npmin", p.npmin, std::to_string(p.npmin), Bounds::closed, 0,
             zuna::kMaxInnerPoints, kCounts);
    case zuna::PointCountFit::npmax_out:
    case zuna::PointCountFit::sum_too_large:
      refuse(kNpmax, "npmax", p.npmax, std::to_string(p.npmax), Bounds::closed, 0,
             zuna::kMaxInnerPoints - p.npmin, kCounts);
  }
  check(kP, "p_atm", p.p_atm, zuna::kPressureRange, "in 1e-06..100000");
  check(kTolh, "tolh", p.tolh, zuna::kToleranceRange, "above 0");
  if (!zuna::within_range(p.itmaxh, zuna::kIterationRange)) {
    refuse(kItmaxh, "itmaxh", p.itmaxh, std::to_string(p.itmaxh), Bounds::closed, 1,
           zuna::kMaxIterations, "in 1..99999");
  }
  check(kToln, "toln", p.toln, zuna::kToleranceRange, "above 0");
  if (!zuna::within_range(p.itmaxn, zuna::kIterationRange)) {
    refuse(kItmaxn, "itmaxn", p.itmaxn, std::to_string(p.itmaxn), Bounds::closed, 1,
           zuna::kMaxIterations, "in 1..99999");
  }
}

SweepData read_sweep_data(std::istream& in) {
  const zuna::engine::FpGuard guard;
  try {
    return checked(zuna::thermodata::read_data7(in));
  } catch (const zuna::thermodata::RecordError& e) {
    throw InputError(e.what());
  }
}

const SweepData& shipped_sweep_data() {
  // Parsed once, on first use; C++ makes the initialisation thread-safe.
  const zuna::engine::FpGuard guard;
  static const SweepData data = [] {
    std::istringstream in{std::string(detail::kShippedZunaDat)};
    return read_sweep_data(in);
  }();
  return data;
}

SweepResult sweep(const SweepParameters& p) {
  const zuna::engine::FpGuard guard;
  return sweep(p, shipped_sweep_data());
}

SweepResult sweep(const SweepParameters& params, const SweepData& data) {
  zuna::engine::FpGuard guard;
  check_sweep_parameters(params);
  const zuna::SweepGrid grid{params.npmin, params.npmax, params.rmin, params.rmax};
  const zuna::DissociationSettings search{
      params.p_atm,
      params.itmaxh,
      params.tolh,
      params.itmaxn,
      params.toln,
      {params.reaction[0] ? 1.0 : 0.0, params.reaction[1] ? 1.0 : 0.0,
       params.reaction[2] ? 1.0 : 0.0, params.reaction[3] ? 1.0 : 0.0}};
  ThermoConstants tc;  // rgas, hh2 and ho2 as the programs fix them
  CoefBlock coef;
  for (int k = 0; k < 6; ++k) {
    tc.mw[k] = data.mw_g_mol[k];
    for (int j = 0; j < 7; ++j) {
      coef.v[0][j][k] = data.coef[0][j][k];
      coef.v[1][j][k] = data.coef[1][j][k];
    }
  }
  SweepResult result;
  zuna::SweepCarry s;
  s.npts = grid.npmin + grid.npmax + 3;
  result.points.resize(static_cast<std::size_t>(s.npts));
  for (std::int32_t i = 0; i <= s.npts; ++i) {
    // Point 0, the stoichiometric point, is computed for ofst and never
    // reported; the others are computed in their place of the result.
    SweepPoint stoichiometric;
    SweepPoint& v = i > 0 ? result.points[static_cast<std::size_t>(i - 1)] : stoichiometric;
    guard.restart();
    zuna::reference_sweep_point(i, grid, search, tc, coef, v, s);
    if (guard.faulted()) {
      v.flags |= kSweepFloatingPoint;
      result.ok = false;
    }
  }
  result.ofst = s.ofst;
  return result;
}

}  // namespace zuna4
