// The seven-coefficient polynomials of one species, dimensionless results
// named by their divisor. With a1..a7 the coefficients of the range that T
// selects (range 1 for T >= 1000 K, range 2 below):
//
//   Cp/R     = a1 + a2 T + a3 T^2 + a4 T^3 + a5 T^4
//   H/(R T)  = a1 + a2 T/2 + a3 T^2/3 + a4 T^3/4 + a5 T^4/5 + a6/T
//   G/(R T)  = a1 (1 - ln T) - a2 T/2 - a3 T^2/6 - a4 T^3/12 - a5 T^4/20
//              + a6/T - a7
//
// Order of evaluation (fixed, results are compared digit for digit):
// - the powers are formed once per temperature as repeated products from the
//   left: T^2 = T*T, T^3 = T^2*T, T^4 = T^3*T;
// - a term "a2 T/2" is (a2*T)/2, "a3 T^2/3" is (a3*T^2)/3, and so on: the
//   coefficient times the power, then the division;
// - the terms are added and subtracted strictly from the left, in the order
//   the formula writes them; a6/T is a division, not a product with 1/T.
#pragma once

#include "thermo/thermo.h"

namespace zuna {

// Range 1 at and above 1000 K, range 2 below: exactly 1000 K uses range 1.
inline int coef_range(double t) {
  if (t >= 1000.0) {
    return 1;
  }
  return 2;
}

// The powers of one temperature t [K].
struct TemperaturePowers {
  double t, t2, t3, t4;

  explicit TemperaturePowers(double temperature)
      : t(temperature), t2(t * t), t3(t2 * t), t4(t3 * t) {}
};

// Cp/R of species k in range r.
inline double cp_r(const CoefBlock& coef, int k, int r, const TemperaturePowers& p) {
  return coef(k, 1, r) + coef(k, 2, r) * p.t + coef(k, 3, r) * p.t2 + coef(k, 4, r) * p.t3 +
         coef(k, 5, r) * p.t4;
}

// H/(R T) of species k in range r.
inline double h_rt(const CoefBlock& coef, int k, int r, const TemperaturePowers& p) {
  return coef(k, 1, r) + coef(k, 2, r) * p.t / 2.0 + coef(k, 3, r) * p.t2 / 3.0 +
         coef(k, 4, r) * p.t3 / 4.0 + coef(k, 5, r) * p.t4 / 5.0 + coef(k, 6, r) / p.t;
}

// G/(R T) of species k in range r; ln_t = ln T, taken once per temperature.
inline double g_rt(const CoefBlock& coef, int k, int r, const TemperaturePowers& p, double ln_t) {
  return coef(k, 1, r) * (1.0 - ln_t) - coef(k, 2, r) * p.t / 2.0 - coef(k, 3, r) * p.t2 / 6.0 -
         coef(k, 4, r) * p.t3 / 12.0 - coef(k, 5, r) * p.t4 / 20.0 + coef(k, 6, r) / p.t -
         coef(k, 7, r);
}

}  // namespace zuna
