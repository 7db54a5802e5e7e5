// The programs' sweep without the run-time. Each point is computed exactly
// as the programs compute it point by point (app/sweep.cpp, whose
// side-by-side lanes give the same table to the last bit): the same
// thermochemistry routines, called with the same arguments in the same
// order. Where the programs end the run on a floating-point fault, the point
// here carries kSweepFloatingPoint and the sweep goes on; the caller's
// exception flags are left as they were.
#include "zuna4/sweep.h"

#include <cfenv>
#include <cmath>
#include <sstream>
#include <string>

#include "thermodata/data7.h"
#include "thermodata/nasa9.h"
#include "src/conversions.h"
#include "src/shipped-data.h"
#include "thermo/thermo.h"

namespace zuna4 {

namespace {

using zuna::CoefBlock;
using zuna::ThermoConstants;

constexpr int kFaults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
constexpr int kMaxInnerPoints = 100;
constexpr double kMaxRatio = 100.0;

// The scalars the programs carry from point to point (SweepScalars).
struct Scalars {
  std::int32_t npts = 0;
  double ofst = 0.0, ofmin = 0.0, ofmax = 0.0, dof = 0.0;
  double hreac = 0.0;  // [J]
};

// The run parameters as the thermochemistry takes them.
struct Settings {
  std::int32_t npmin, npmax, itmaxh, itmaxn;
  double rmin, rmax, ptot, tolh, toln;
  double act[4];
};

// Products without dissociation of point i (app/sweep.cpp, point_products).
void point_products(std::int32_t i, const Settings& p, const ThermoConstants& tc, SweepPoint& t,
                    Scalars& s) {
  if (i == 0 || i == p.npmin + 2) {
    zuna::prod_stoich(t.no2r, t.nh2o, t.no2, t.nh2);
  }
  if (1 <= i && i <= p.npmin + 1) {
    s.ofmin = p.rmin * s.ofst;
    s.dof = (s.ofst - s.ofmin) / static_cast<double>(p.npmin + 1);
    const double of_abs = static_cast<double>(i - 1) * s.dof + s.ofmin;
    t.no2r = of_abs * tc.mwk(4) / tc.mwk(5);
    zuna::prod_rich(t.no2r, t.nh2o, t.no2, t.nh2);
  }
  if (p.npmin + 2 < i && i <= s.npts) {
    s.ofmax = p.rmax * s.ofst;
    s.dof = (s.ofmax - s.ofst) / static_cast<double>(p.npmax + 1);
    const double of_abs = static_cast<double>(i - p.npmin - 2) * s.dof + s.ofst;
    t.no2r = of_abs * tc.mwk(4) / tc.mwk(5);
    zuna::prod_lean(t.no2r, t.nh2o, t.no2, t.nh2);
  }
}

// Totals, mean molar masses [g/mol], mole and mass fractions (point_mixture).
void point_mixture(const ThermoConstants& tc, SweepPoint& t) {
  const double mw1 = tc.mwk(1), mw2 = tc.mwk(2), mw3 = tc.mwk(3);
  t.ntotalp = t.nh2 + t.no2 + t.nh2o;
  t.mmp = (t.nh2 * mw3 + t.no2 * mw2 + t.nh2o * mw1) / t.ntotalp;
  t.ntotalr = t.no2r + 1.0;
  t.mmr = (t.no2r * mw2 + mw3) / t.ntotalr;
  t.yh2o = t.nh2o / t.ntotalp;
  t.yo2 = t.no2 / t.ntotalp;
  t.yh2 = t.nh2 / t.ntotalp;
  t.yh2r = 1.0 / t.ntotalr;
  t.yo2r = t.no2r / t.ntotalr;
  t.fmh2o = t.yh2o * mw1 / t.mmp;
  t.fmo2 = t.yo2 * mw2 / t.mmp;
  t.fmh2 = t.yh2 * mw3 / t.mmp;
  t.fmh2r = t.yh2r * mw3 / t.mmr;
  t.fmo2r = t.yo2r * mw2 / t.mmr;
}

// The reported O/F divided by the stoichiometric one, which point 0 fixes
// (point_of); the absolute O/F as the programs' CSV computes it.
void point_of(std::int32_t i, const ThermoConstants& tc, SweepPoint& t, Scalars& s) {
  t.of = t.no2r * tc.mwk(2) / tc.mwk(3);
  t.r = t.of;
  if (i == 0) {
    s.ofst = t.r;
  }
  t.r = t.r / s.ofst;
}

// Mass fractions and mean molar mass with dissociation (point_fractions).
void point_fractions(const ThermoConstants& tc, SweepPoint& t) {
  for (int k = 0; k < 6; ++k) {
    t.fmd[k] = t.nd[k] * tc.mw[k] / t.ntd;
  }
  double mmd = 0.0;
  for (int k = 0; k < 6; ++k) {
    mmd = mmd + t.fmd[k];
  }
  t.mmd = mmd;
  for (int k = 0; k < 6; ++k) {
    t.fmd[k] = t.fmd[k] / mmd;
  }
  for (int k = 0; k < 6; ++k) {
    t.yd[k] = t.nd[k] / t.ntd;  // the CSV's mole fractions, nd(k) / ntd
  }
}

// Point i, as sweep_point of app/sweep.cpp.
void sweep_point(std::int32_t i, const Settings& p, const ThermoConstants& tc,
                 const CoefBlock& coef, SweepPoint& t, Scalars& s) {
  point_products(i, p, tc, t, s);
  point_mixture(tc, t);
  point_of(i, tc, t, s);
  s.hreac = t.no2r * tc.ho2 + tc.hh2;
  zuna::tad_nodiss(t.nh2o, t.no2, t.nh2, s.hreac, t.tadsem, p.itmaxh, p.tolh, tc, coef, &t.flags);
  if (i < 1) {
    return;
  }
  t.x[0] = t.x[1] = t.x[2] = t.x[3] = 0.0;
  t.nd[0] = t.nh2o;
  t.nd[1] = t.no2;
  t.nd[2] = t.nh2;
  t.nd[3] = t.nd[4] = t.nd[5] = 0.0;
  t.ntd = t.nh2o + t.no2 + t.nh2;
  unsigned flags = 0;
  zuna::tad_diss(s.hreac, t.tadcom, p.ptot, t.nh2o, t.no2, t.nh2, t.x[0], t.x[1], t.x[2], t.x[3],
                 t.nd[0], t.nd[1], t.nd[2], t.nd[3], t.nd[4], t.nd[5], t.ntd, p.itmaxh, p.tolh,
                 p.itmaxn, p.toln, tc, coef, p.act[0], p.act[1], p.act[2], p.act[3], &flags);
  t.flags |= flags;
  point_fractions(tc, t);
}

bool real_within(double v, double low, double high, bool open_low) {
  return (open_low ? v > low : v >= low) && v <= high;
}

void refuse(const char* name, const std::string& value, const char* range) {
  throw InputError(std::string(name) + " = " + value + ": must be " + range);
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

void check_sweep_parameters(const SweepParameters& p) {
  using detail::number_text;
  if (!real_within(p.rmin, 0.0, 1.0, true)) {
    refuse("rmin", number_text(p.rmin), "above 0 and at most 1");
  }
  if (!real_within(p.rmax, 1.0, kMaxRatio, false)) {
    refuse("rmax", number_text(p.rmax), "in 1..100");
  }
  if (p.npmin < 0 || p.npmin > kMaxInnerPoints) {
    refuse("npmin", std::to_string(p.npmin), "in 0..100, with npmin + npmax at most 100");
  }
  if (p.npmax < 0 || std::int64_t{p.npmin} + p.npmax > kMaxInnerPoints) {
    refuse("npmax", std::to_string(p.npmax), "in 0..100, with npmin + npmax at most 100");
  }
  if (!real_within(p.p_atm, 1.0e-6, 1.0e5, false)) {
    refuse("p_atm", number_text(p.p_atm), "in 1e-06..100000");
  }
  if (!real_within(p.tolh, 0.0, HUGE_VAL, true)) {
    refuse("tolh", number_text(p.tolh), "above 0");
  }
  if (p.itmaxh < 1 || p.itmaxh > 99999) {
    refuse("itmaxh", std::to_string(p.itmaxh), "in 1..99999");
  }
  if (!real_within(p.toln, 0.0, HUGE_VAL, true)) {
    refuse("toln", number_text(p.toln), "above 0");
  }
  if (p.itmaxn < 1 || p.itmaxn > 99999) {
    refuse("itmaxn", std::to_string(p.itmaxn), "in 1..99999");
  }
}

SweepData read_sweep_data(std::istream& in) {
  try {
    return checked(zuna::thermodata::read_data7(in));
  } catch (const zuna::thermodata::RecordError& e) {
    throw InputError(e.what());
  }
}

const SweepData& shipped_sweep_data() {
  // Parsed once, on first use; C++ makes the initialisation thread-safe.
  static const SweepData data = [] {
    std::istringstream in{std::string(detail::kShippedZunaDat)};
    return read_sweep_data(in);
  }();
  return data;
}

SweepResult sweep(const SweepParameters& p) { return sweep(p, shipped_sweep_data()); }

SweepResult sweep(const SweepParameters& params, const SweepData& data) {
  check_sweep_parameters(params);
  const Settings p{params.npmin,
                   params.npmax,
                   params.itmaxh,
                   params.itmaxn,
                   params.rmin,
                   params.rmax,
                   params.p_atm,
                   params.tolh,
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
  std::fexcept_t caller_flags;
  std::fegetexceptflag(&caller_flags, kFaults);

  SweepResult result;
  Scalars s;
  s.npts = p.npmin + p.npmax + 3;
  result.points.resize(static_cast<std::size_t>(s.npts));
  for (std::int32_t i = 0; i <= s.npts; ++i) {
    SweepPoint reference;
    SweepPoint& t = i == 0 ? reference : result.points[static_cast<std::size_t>(i - 1)];
    std::feclearexcept(kFaults);
    sweep_point(i, p, tc, coef, t, s);
    if (std::fetestexcept(kFaults) != 0) {
      t.flags |= kSweepFloatingPoint;
      result.ok = false;
    }
  }
  result.ofst = s.ofst;
  std::fesetexceptflag(&caller_flags, kFaults);
  return result;
}

}  // namespace zuna4
