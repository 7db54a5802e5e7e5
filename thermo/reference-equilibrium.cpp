// The dissociation equilibrium, one set of products at a time (see
// equilibrium.cpp for the relations and their quadratics). A pass solves
// R1 to R4 in turn, each for its own extent with the others and the total N
// held; passes go on while N changes by more than toln, at most itmaxn.
#include <cmath>

#include "thermo/reference.h"

namespace zuna {

namespace {

// Newton on a2 x^2 + a1 x + a0 = 0 for the extent x, at most itmaxn steps.
// Every step evaluates the quadratic at x; the first one steps from the
// reference value r, the later ones from x itself:
//   x = from - q(x) / q'(x),   q'(x) = (2 a2) x + a1.
// While the step is larger than toln, r takes the new x and the solve goes
// on; a stationary point (q'(x) = 0) ends it before the division.
void solve_extent(double a2, double a1, double a0, int itmaxn, double toln, double& x, double& r) {
  const double two_a2 = 2.0 * a2;
  double from = r;
  for (int step = 0; step < itmaxn; ++step) {
    const double f = a2 * (x * x) + a1 * x + a0;
    const double df = two_a2 * x + a1;
    if (df == 0.0) {
      return;
    }
    x = from - f / df;
    if (!(toln < std::fabs(x - from))) {
      return;
    }
    r = x;
    from = x;
  }
}

}  // namespace

DissociationEquilibrium reference_dissociation_equilibrium(const double (&k)[4],
                                                           const ProductMoles& n,
                                                           const DissociationSettings& c) {
  const double p = c.ptot;
  double x1 = 0.0, x2 = 0.0, x3 = 0.0, x4 = 0.0;  // extents [mol]
  double r1 = 0.0, r2 = 0.0, r3 = 0.0, r4 = 0.0;  // their Newton reference values
  double total = n.nh2o + n.no2 + n.nh2;          // N
  bool settled = false;
  for (int pass = 0; pass < c.itmaxn && !settled; ++pass) {
    if (c.act[0] != 0.0) {
      // R1: P (x1 + b)(x1 + e) = K1 N (nh2o - x1), b = 2 x2 + x4, e = -x4.
      const double b = 2.0 * x2 + x4;
      const double e = -x4;
      solve_extent(p, p * (b + e) + k[0] * total, p * b * e - k[0] * total * n.nh2o, c.itmaxn,
                   c.toln, x1, r1);
    }
    if (c.act[1] != 0.0) {
      // R2: P (2 x2 + d)^2 = K2 N (nh2 - x2), d = x1 + x4.
      const double d = x1 + x4;
      solve_extent(4.0 * p, k[1] * total + 4.0 * p * d, p * (d * d) - k[1] * total * n.nh2,
                   c.itmaxn, c.toln, x2, r2);
    }
    if (c.act[2] != 0.0) {
      // R3: P (2 x3 + e)^2 = K3 N (no2 - x3), e = x4.
      const double e = x4;
      solve_extent(4.0 * p, k[2] * total + 4.0 * p * e, p * (e * e) - k[2] * total * n.no2,
                   c.itmaxn, c.toln, x3, r3);
    }
    if (c.act[3] != 0.0) {
      // R4: P (x4 + e)(x4 + b) = K4 N (x1 - x4), b = 2 x2 + x1, e = 2 x3.
      const double b = 2.0 * x2 + x1;
      const double e = 2.0 * x3;
      solve_extent(p, p * (b + e) + k[3] * total, p * b * e - k[3] * total * x1, c.itmaxn, c.toln,
                   x4, r4);
    }
    const double total_old = total;
    total = n.nh2o + n.no2 + n.nh2 + x1 + x2 + x3 + x4;
    settled = !(std::fabs(total - total_old) > c.toln);
  }
  DissociationEquilibrium eq;
  eq.capped = !settled;
  x1 = c.act[0] * x1;
  x2 = c.act[1] * x2;
  x3 = c.act[2] * x3;
  x4 = c.act[3] * x4;
  eq.x[0] = x1, eq.x[1] = x2, eq.x[2] = x3, eq.x[3] = x4;
  eq.nd[0] = n.nh2o - x1;
  eq.nd[1] = n.no2 - x3;
  eq.nd[2] = n.nh2 - x2;
  eq.nd[3] = x1 + 2.0 * x2 + x4;
  eq.nd[4] = 2.0 * x3 + x4;
  eq.nd[5] = x1 - x4;
  eq.ntd = total;
  return eq;
}

}  // namespace zuna
