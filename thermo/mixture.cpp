// Heat capacity [J/K] and enthalpy [J] of a mixture of the given moles:
//   cp = sum_k n(k) * rgas * (Cp/R)_k(T)
//   h  = sum_k n(k) * rgas * T * (H/(R T))_k(T)
// Each species term is formed from the left, (n(k) * rgas) * (Cp/R) and
// ((n(k) * rgas) * T) * (H/(R T)), and added to a sum that starts at 0, for
// k = 1 to m in species order. nsel = 1 takes m = 3 (H2O, O2, H2) and never
// reads n4..n6; any other value takes all six species.
//
// Nothing is checked: T must be positive (the enthalpy divides by T); a
// fault in the arithmetic is left to the run-time's floating-point checks.
#include "thermo/polynomial.h"
#include "thermo/thermo.h"

namespace zuna {

namespace {

int species_count(int nsel) {
  if (nsel == 1) {
    return 3;
  }
  return 6;
}

}  // namespace

void cp_mix(const double& n1, const double& n2, const double& n3, const double& n4,
            const double& n5, const double& n6, const double& t, double& cp, const double& rgas,
            const CoefBlock& coef, const int& nsel) {
  const int m = species_count(nsel);
  const int r = coef_range(t);
  const TemperaturePowers p(t);
  const double* const n[6] = {&n1, &n2, &n3, &n4, &n5, &n6};
  double sum = 0.0;
  for (int k = 1; k <= m; ++k) {
    sum = sum + *n[k - 1] * rgas * cp_r(coef, k, r, p);
  }
  cp = sum;
}

void h_mix(const double& n1, const double& n2, const double& n3, const double& n4, const double& n5,
           const double& n6, const double& t, double& h, const double& rgas, const CoefBlock& coef,
           const int& nsel) {
  const int m = species_count(nsel);
  const int r = coef_range(t);
  const TemperaturePowers p(t);
  const double* const n[6] = {&n1, &n2, &n3, &n4, &n5, &n6};
  double sum = 0.0;
  for (int k = 1; k <= m; ++k) {
    sum = sum + *n[k - 1] * rgas * t * h_rt(coef, k, r, p);
  }
  h = sum;
}

}  // namespace zuna
