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
//
// The solve is written once, over lanes (dissociation-lanes.h): equil_diss is
// its one-lane case. A lane that has stopped (its inner solve, or all its
// passes) keeps its values while the others go on.
#include "thermo/dissociation-lanes.h"
#include "thermo/thermo.h"

namespace zuna {

namespace {

// q(x) = a2 x^2 + a1 x + a0 (a, A and B of the relation).
template <int L>
struct Quadratic {
  Lanes<L> a2, a1, a0;
};

// A Newton step, on the lanes of one chunk (see lanes.h): a double, or a
// pair of doubles. Each live lane evaluates q and q' = (2 a2) x + a1 at its
// x; a lane at a stationary point (q'(x) = 0) stops there, before dividing.
template <class V, class M>
void newton_slope(const V& a2, const V& a1, const V& a0, const V& two_a2, const V& x, V& f, V& df,
                  M& live) {
  f = a2 * (x * x) + a1 * x + a0;
  df = two_a2 * x + a1;
  live = chunk::both(live, chunk::not_equal(df, V{}));
}

// The lanes still live step from `from`:
//   x = from - q(x) / q'(x),
// where from is the reference value r on the first step of a solve and x
// itself afterwards, because a lane that goes on sets r = x. While
// |x - from| > tol the lane goes on and r takes x; otherwise r is left as
// it was. A lane that has stopped steps from its own x by 0, which leaves
// x as it is without a select on the chain from x to the next x.
template <bool kFromReference, class V, class M>
void newton_move(const V& f, const V& df, const V& tol, V& x, V& r, M& live) {
  const V step = chunk::divide_where(live, f, df);
  V from = x;
  if constexpr (kFromReference) {
    from = chunk::select(live, r, x);
  }
  const V x_new = from - step;
  live = chunk::both(live, chunk::less(tol, chunk::fabs(x_new - from)));
  r = chunk::select(live, x_new, r);
  x = x_new;
}

// Newton on q(x) = 0 for the extent x with its reference value r, at most
// itmaxn steps, on the lanes of `live`; it ends when no lane goes on.
//
// A single lane leaves the loop at a stationary point before the division,
// as a scalar loop does: a compiler that takes divisions for free of side
// effects (clang by default) would otherwise compute the quotient that
// divide_where() discards, and raise the flags of a division by zero.
//
// Inlined into the pass, and stepping one chunk at a time rather than one
// operation at a time over all lanes, so that the values stay in registers:
// each of the two saves a tenth or more of the sweep's time.
template <int L>
__attribute__((always_inline)) inline void solve_extent(const Quadratic<L>& q, Lanes<L>& x_io,
                                                        Lanes<L>& r_io, LaneMask<L> live,
                                                        int itmaxn, double toln) {
  constexpr int chunks = Lanes<L>::kChunks;
  Lanes<L> x = x_io;
  Lanes<L> r = r_io;
  const Lanes<L> two_a2 = 2.0 * q.a2;  // q' = (2 a2) x + a1, grouped as the scalar form
  const Lanes<L> tol = toln;
  for (int step = 0; step < itmaxn && any(live); ++step) {
    for (int i = 0; i < chunks; ++i) {
      typename Lanes<L>::Value f, df;
      newton_slope(q.a2.c[i], q.a1.c[i], q.a0.c[i], two_a2.c[i], x.c[i], f, df, live.c[i]);
      if constexpr (L == 1) {
        if (!live.c[i]) {
          break;  // stopped at a stationary point, see above
        }
      }
      if (step == 0) {
        newton_move<true>(f, df, tol.c[i], x.c[i], r.c[i], live.c[i]);
      } else {
        newton_move<false>(f, df, tol.c[i], x.c[i], r.c[i], live.c[i]);
      }
    }
  }
  x_io = x;
  r_io = r;
}

// R1 in x1: P (x1 + b)(x1 + c) = K1 N (nh2o - x1), b = 2 x2 + x4 (the H not
// made by R1), c = -x4 (the OH not made by R1).
template <int L>
Quadratic<L> r1_quadratic(double p, const Lanes<L>& k1, const Lanes<L>& n, const Lanes<L>& nh2o,
                          const Lanes<L>& x2, const Lanes<L>& x4) {
  const Lanes<L> b = 2.0 * x2 + x4;
  const Lanes<L> c = -x4;
  return {p, p * (b + c) + k1 * n, p * b * c - k1 * n * nh2o};
}

// R2 in x2: P (2 x2 + d)^2 = K2 N (nh2 - x2), d = x1 + x4.
template <int L>
Quadratic<L> r2_quadratic(double p, const Lanes<L>& k2, const Lanes<L>& n, const Lanes<L>& nh2,
                          const Lanes<L>& x1, const Lanes<L>& x4) {
  const Lanes<L> d = x1 + x4;
  return {4.0 * p, k2 * n + 4.0 * p * d, p * (d * d) - k2 * n * nh2};
}

// R3 in x3: P (2 x3 + e)^2 = K3 N (no2 - x3), e = x4.
template <int L>
Quadratic<L> r3_quadratic(double p, const Lanes<L>& k3, const Lanes<L>& n, const Lanes<L>& no2,
                          const Lanes<L>& x4) {
  const Lanes<L> e = x4;
  return {4.0 * p, k3 * n + 4.0 * p * e, p * (e * e) - k3 * n * no2};
}

// R4 in x4: P (x4 + c)(x4 + b) = K4 N (x1 - x4), b = 2 x2 + x1 (the H not
// made by R4), c = 2 x3 (the O not made by R4).
template <int L>
Quadratic<L> r4_quadratic(double p, const Lanes<L>& k4, const Lanes<L>& n, const Lanes<L>& x1,
                          const Lanes<L>& x2, const Lanes<L>& x3) {
  const Lanes<L> b = 2.0 * x2 + x1;
  const Lanes<L> c = 2.0 * x3;
  return {p, p * (b + c) + k4 * n, p * b * c - k4 * n * x1};
}

}  // namespace

// The passes work on local extents; the results are written once at the end,
// on the lanes of `solve` only. A reaction switched off (act 0.0) takes no
// part in the passes: its extent and reference value stay 0 and its inner
// solve is not run, so the other relations and N see no amount of it, and
// ntd, the total of the last pass, is the sum of the moles formed from the
// extents. The extents are still multiplied by their switches afterwards
// (1.0 leaves them as they are, bit for bit).
template <int L>
void equil_lanes(const Lanes<L> (&k)[4], const LaneMask<L>& solve, DissociationLanes<L>& d,
                 const DissociationSettings& c) {
  const double p = c.ptot;
  const bool on[4] = {c.act[0] != 0.0, c.act[1] != 0.0, c.act[2] != 0.0, c.act[3] != 0.0};
  Lanes<L> e1 = 0.0, e2 = 0.0, e3 = 0.0, e4 = 0.0;  // extents [mol]
  Lanes<L> r1 = 0.0, r2 = 0.0, r3 = 0.0, r4 = 0.0;  // their Newton reference values
  Lanes<L> n = d.nh2o + d.no2 + d.nh2;              // total moles N
  LaneMask<L> live = solve;
  for (int pass = 0; pass < c.itmaxn && any(live); ++pass) {
    if (on[0]) {
      solve_extent(r1_quadratic(p, k[0], n, d.nh2o, e2, e4), e1, r1, live, c.itmaxn, c.toln);
    }
    if (on[1]) {
      solve_extent(r2_quadratic(p, k[1], n, d.nh2, e1, e4), e2, r2, live, c.itmaxn, c.toln);
    }
    if (on[2]) {
      solve_extent(r3_quadratic(p, k[2], n, d.no2, e4), e3, r3, live, c.itmaxn, c.toln);
    }
    if (on[3]) {
      solve_extent(r4_quadratic(p, k[3], n, e1, e2, e3), e4, r4, live, c.itmaxn, c.toln);
    }
    const Lanes<L> n_old = n;
    n = select(live, d.nh2o + d.no2 + d.nh2 + e1 + e2 + e3 + e4, n);
    live = live & (fabs(n - n_old) > c.toln);
  }
  // The lanes still live have used every pass without N settling.
  d.capped = (d.capped & !solve) | live;
  e1 = c.act[0] * e1;
  e2 = c.act[1] * e2;
  e3 = c.act[2] * e3;
  e4 = c.act[3] * e4;
  const Lanes<L> x[4] = {e1, e2, e3, e4};
  const Lanes<L> nd[6] = {d.nh2o - e1,        d.no2 - e3,    d.nh2 - e2,
                          e1 + 2.0 * e2 + e4, 2.0 * e3 + e4, e1 - e4};
  for (int j = 0; j < 4; ++j) {
    d.x[j] = select(solve, x[j], d.x[j]);
  }
  for (int k = 0; k < 6; ++k) {
    d.nd[k] = select(solve, nd[k], d.nd[k]);
  }
  d.ntd = select(solve, n, d.ntd);
}

template void equil_lanes<1>(const Lanes<1> (&)[4], const LaneMask<1>&, DissociationLanes<1>&,
                             const DissociationSettings&);
template void equil_lanes<kSearchLanes>(const Lanes<kSearchLanes> (&)[4],
                                        const LaneMask<kSearchLanes>&,
                                        DissociationLanes<kSearchLanes>&,
                                        const DissociationSettings&);

DissociationEquilibrium equil_diss(const double (&k)[4], const ProductMoles& n,
                                   const DissociationSettings& c) {
  DissociationLanes<1> d;
  d.nh2o = n.nh2o;
  d.no2 = n.no2;
  d.nh2 = n.nh2;
  const Lanes<1> kl[4] = {k[0], k[1], k[2], k[3]};
  equil_lanes(kl, LaneMask<1>::all(), d, c);
  DissociationEquilibrium e;
  for (int j = 0; j < 4; ++j) {
    e.x[j] = d.x[j][0];
  }
  for (int j = 0; j < 6; ++j) {
    e.nd[j] = d.nd[j][0];
  }
  e.ntd = d.ntd[0];
  e.capped = d.capped[0];
  return e;
}

}  // namespace zuna
