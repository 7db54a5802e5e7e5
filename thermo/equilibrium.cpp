// Dissociation equilibrium of the products at one temperature.
//
// Extents x1..x4 of R1..R4 give the moles
//   H2O = nh2o - x1      O2 = no2 - x3       H2 = nh2 - x2
//   H   = x1 + 2 x2 + x4 O  = 2 x3 + x4      OH = x1 - x4
// and the total N = nh2o + no2 + nh2 + x1 + x2 + x3 + x4 [mol]. With P the
// total pressure [atm] the four relations are
//   R1 P H OH = K1 N H2O     R2 P H^2 = K2 N H2
//   R3 P O^2  = K3 N O2      R4 P O H = K4 N OH.
// A pass solves them one at a time, R1 to R4, each as a quadratic in its own
// extent with the other extents and N held (block Gauss-Seidel); passes go on
// until N changes by no more than toln. Each quadratic is solved by Newton's
// method from the extent's reference value, which persists across passes.
//
// Order of evaluation: powers first (d^2 = d*d, x^2 = x*x), then products
// and sums from the left as the formulas write them.
#include <cmath>

#include "thermo/thermo.h"

namespace zuna {

namespace {

// q(x) = a2 x^2 + a1 x + a0 (a, A and B of the relation).
struct Quadratic {
  double a2, a1, a0;
};

// Newton on q(x) = 0, at most itmaxn steps. Each step evaluates q and
// q' = 2 a2 x + a1 at the current x and steps from the reference value:
//   x = r - q(x) / q'(x).
// While |x - r| > toln, r takes x and another step follows; otherwise r is
// left as it was. At a stationary point (q'(x) = 0) no step is possible:
// the solve ends there with x and r unchanged instead of dividing by zero.
void solve_extent(const Quadratic& q, double& x, double& r, int itmaxn, double toln) {
  for (int step = 0; step < itmaxn; ++step) {
    const double f = q.a2 * (x * x) + q.a1 * x + q.a0;
    const double df = 2.0 * q.a2 * x + q.a1;
    if (df == 0.0) {
      return;
    }
    x = r - f / df;
    if (!(std::fabs(x - r) > toln)) {
      return;
    }
    r = x;
  }
}

// R1 in x1: P (x1 + b)(x1 + c) = K1 N (nh2o - x1), b = 2 x2 + x4 (the H not
// made by R1), c = -x4 (the OH not made by R1).
Quadratic r1_quadratic(double p, double k1, double n, double nh2o, double x2, double x4) {
  const double b = 2.0 * x2 + x4;
  const double c = -x4;
  return {p, p * (b + c) + k1 * n, p * b * c - k1 * n * nh2o};
}

// R2 in x2: P (2 x2 + d)^2 = K2 N (nh2 - x2), d = x1 + x4.
Quadratic r2_quadratic(double p, double k2, double n, double nh2, double x1, double x4) {
  const double d = x1 + x4;
  return {4.0 * p, k2 * n + 4.0 * p * d, p * (d * d) - k2 * n * nh2};
}

// R3 in x3: P (2 x3 + e)^2 = K3 N (no2 - x3), e = x4.
Quadratic r3_quadratic(double p, double k3, double n, double no2, double x4) {
  const double e = x4;
  return {4.0 * p, k3 * n + 4.0 * p * e, p * (e * e) - k3 * n * no2};
}

// R4 in x4: P (x4 + c)(x4 + b) = K4 N (x1 - x4), b = 2 x2 + x1 (the H not
// made by R4), c = 2 x3 (the O not made by R4).
Quadratic r4_quadratic(double p, double k4, double n, double x1, double x2, double x3) {
  const double b = 2.0 * x2 + x1;
  const double c = 2.0 * x3;
  return {p, p * (b + c) + k4 * n, p * b * c - k4 * n * x1};
}

}  // namespace

// The passes work on local extents; the results are written once at the end.
// The switches act1..act4 (1.0 on, 0.0 off) take no part in the passes: they
// scale the extents afterwards, and ntd stays the total of the last pass.
void equil_diss(const double& k1, const double& k2, const double& k3, const double& k4,
                const double& ptot, const double& nh2o, const double& no2, const double& nh2,
                double& nd1, double& nd2, double& nd3, double& nd4, double& nd5, double& nd6,
                double& x1, double& x2, double& x3, double& x4, double& ntd,
                const int& itmaxn, const double& toln, const double& act1, const double& act2,
                const double& act3, const double& act4) {
  double e1 = 0.0, e2 = 0.0, e3 = 0.0, e4 = 0.0;  // extents [mol]
  double r1 = 0.0, r2 = 0.0, r3 = 0.0, r4 = 0.0;  // their Newton reference values
  double n = nh2o + no2 + nh2;                    // total moles N
  for (int pass = 0; pass < itmaxn; ++pass) {
    solve_extent(r1_quadratic(ptot, k1, n, nh2o, e2, e4), e1, r1, itmaxn, toln);
    solve_extent(r2_quadratic(ptot, k2, n, nh2, e1, e4), e2, r2, itmaxn, toln);
    solve_extent(r3_quadratic(ptot, k3, n, no2, e4), e3, r3, itmaxn, toln);
    solve_extent(r4_quadratic(ptot, k4, n, e1, e2, e3), e4, r4, itmaxn, toln);
    const double n_old = n;
    n = nh2o + no2 + nh2 + e1 + e2 + e3 + e4;
    if (!(std::fabs(n - n_old) > toln)) {
      break;
    }
  }
  e1 = act1 * e1;
  e2 = act2 * e2;
  e3 = act3 * e3;
  e4 = act4 * e4;
  x1 = e1;
  x2 = e2;
  x3 = e3;
  x4 = e4;
  nd1 = nh2o - e1;
  nd2 = no2 - e3;
  nd3 = nh2 - e2;
  nd4 = e1 + 2.0 * e2 + e4;
  nd5 = 2.0 * e3 + e4;
  nd6 = e1 - e4;
  ntd = n;
}

}  // namespace zuna
