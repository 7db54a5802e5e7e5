// Seven-coefficient polynomials fitted to a NASA 9-coefficient record: two
// ranges, 200-1000 K and 1000-6000 K, with cp, H and S continuous at 1000 K.
//
// The fit is a least-squares fit of cp/R, H/(RT) and S/R sampled every 10 K,
// each residual divided by the accuracy asked of that function (the samples
// of 2500-3200 K, where the flame temperatures lie, counting twice), under five
// equality constraints: cp/R, H/(RT) and S/R of the two ranges equal at
// 1000 K, and H/(RT) and S/R of the low range equal to the source at
// 298.15 K, so that the heat of formation and the standard entropy, which
// set the equilibrium constants, are those of the source.
//
// The source's standard state is 1 bar; the program's pressures are in atm,
// so the entropy is referred to 1 atm: S(1 atm) = S(1 bar) - R ln(1.01325).
#pragma once

#include <string>

#include "thermodata/nasa9.h"

namespace zuna::fit {

// The records come from the readers of thermodata/.
using thermodata::find_species;
using thermodata::Nasa9File;
using thermodata::Nasa9Range;
using thermodata::Nasa9Species;
using thermodata::read_nasa9;
using thermodata::RecordError;

inline constexpr double kFitLow = 200.0;      // [K]
inline constexpr double kFitCommon = 1000.0;  // [K], where the ranges meet
inline constexpr double kFitHigh = 6000.0;    // [K]

// ln(1 atm / 1 bar) = ln(1.01325): subtracted from S/R of the source.
double entropy_shift_to_atm();

// The coefficients a1..a7 of the two ranges, each rounded to the ten
// significant digits the data file holds, so that what is checked is what
// is written.
struct Fit7 {
  double high[7] = {};  // 1000 K and above
  double low[7] = {};   // below 1000 K
};

Fit7 fit_species(const Nasa9Species& source);

// Largest absolute differences between the fit and the source (S referred
// to 1 atm) at every kelvin of 200-6000 K, and where they occur.
struct Deviation {
  double cp_r = 0.0, h_rt = 0.0, s_r = 0.0;
  double t_cp = 0.0, t_h = 0.0, t_s = 0.0;  // [K]
};

Deviation deviation(const Fit7& fit, const Nasa9Species& source);

// The dimensionless functions of one range of a fit at t [K] (the range is
// chosen as the program chooses it: the high range from 1000 K up).
double fit_cp_r(const Fit7& fit, double t);
double fit_h_rt(const Fit7& fit, double t);
double fit_s_r(const Fit7& fit, double t);

// Why the program cannot use a fit: a coefficient that is not a finite
// number, or cp/R, H/(RT) or G/(RT), evaluated as the program evaluates them,
// overflowing at some kelvin of 200-6000 K. Empty when it can.
std::string unusable_fit(const Fit7& fit);

// The number as the data file writes it: ten significant digits, "%.9E".
std::string format_coefficient(double value);

}  // namespace zuna::fit
