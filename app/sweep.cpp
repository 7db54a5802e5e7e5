// The sweep of one calculation over the O/F grid. Point 0 is the
// stoichiometric reference that fixes ofst; points 1..npmin+1 are fuel-rich,
// point npmin+2 is stoichiometric again and points npmin+3..npts are
// oxidizer-rich. Amounts are per mole of H2 fed; species order H2O, O2, H2,
// H, O, OH; mw(k) [g/mol].
//
// Once point 0 has fixed ofst the points are independent, and nearly all the
// time goes into their searches with dissociation. run_sweep therefore takes
// the points after 0 in groups and hands the searches of each group to
// compute_searches (sweep-worker.h), which gives what tad_diss gives alone,
// in a fraction of the time. Everything else stays on the calling thread and
// in the order of the points: the values before the searches, which carry
// the scalars from point to point, the storing of the results and the
// observer.
#include "app/sweep.h"

#include <algorithm>
#include <cfenv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/sweep-worker.h"
#include "fio/fio.h"
#include "thermo/reference.h"

namespace zuna {

namespace {

SweepGrid grid_of(const RunParameters& p) { return SweepGrid{p.npmin, p.npmax, p.rmin, p.rmax}; }

// Products without dissociation of point i. The three tests are independent
// and made in this order; with counts that fit they never overlap. O/F is
// turned into moles with the atomic masses, no2r = O/F * mw(H) / mw(O).
void point_products(std::int32_t i, const RunParameters& p, const ThermoConstants& tc,
                    SweepTable& t, SweepScalars& s) {
  if (i == 0 || i == p.npmin + 2) {
    prod_stoich(t.no2r[i], t.nh2o[i], t.no2[i], t.nh2[i]);
  }
  if (1 <= i && i <= p.npmin + 1) {
    s.ofmin = p.rmin * s.ofst;
    s.dof = (s.ofst - s.ofmin) / static_cast<double>(p.npmin + 1);
    const double of_abs = sweep_grid_of(i, grid_of(p), s.ofst);
    t.no2r[i] = of_abs * tc.mwk(4) / tc.mwk(5);
    prod_rich(t.no2r[i], t.nh2o[i], t.no2[i], t.nh2[i]);
  }
  if (p.npmin + 2 < i && i <= s.npts) {
    s.ofmax = p.rmax * s.ofst;
    s.dof = (s.ofmax - s.ofst) / static_cast<double>(p.npmax + 1);
    const double of_abs = sweep_grid_of(i, grid_of(p), s.ofst);
    t.no2r[i] = of_abs * tc.mwk(4) / tc.mwk(5);
    prod_lean(t.no2r[i], t.nh2o[i], t.no2[i], t.nh2[i]);
  }
}

// Totals, mean molar masses [g/mol], mole and mass fractions of the reactants
// (suffix r) and of the products without dissociation, in this order.
void point_mixture(std::int32_t i, const ThermoConstants& tc, SweepTable& t) {
  const double mw1 = tc.mwk(1), mw2 = tc.mwk(2), mw3 = tc.mwk(3);
  t.ntotalp[i] = t.nh2[i] + t.no2[i] + t.nh2o[i];
  t.mmp[i] = (t.nh2[i] * mw3 + t.no2[i] * mw2 + t.nh2o[i] * mw1) / t.ntotalp[i];
  t.ntotalr[i] = t.no2r[i] + 1.0;
  t.mmr[i] = (t.no2r[i] * mw2 + mw3) / t.ntotalr[i];
  t.yh2o[i] = t.nh2o[i] / t.ntotalp[i];
  t.yo2[i] = t.no2[i] / t.ntotalp[i];
  t.yh2[i] = t.nh2[i] / t.ntotalp[i];
  t.yh2r[i] = 1.0 / t.ntotalr[i];
  t.yo2r[i] = t.no2r[i] / t.ntotalr[i];
  t.fmh2o[i] = t.yh2o[i] * mw1 / t.mmp[i];
  t.fmo2[i] = t.yo2[i] * mw2 / t.mmp[i];
  t.fmh2[i] = t.yh2[i] * mw3 / t.mmp[i];
  t.fmh2r[i] = t.yh2r[i] * mw3 / t.mmr[i];
  t.fmo2r[i] = t.yo2r[i] * mw2 / t.mmr[i];
}

// The reported O/F, back from moles with the molecular masses and divided by
// the stoichiometric O/F, which point 0 fixes.
void point_of(std::int32_t i, const ThermoConstants& tc, SweepTable& t, SweepScalars& s) {
  t.r[i] = t.no2r[i] * tc.mwk(2) / tc.mwk(3);
  if (i == 0) {
    s.ofst = t.r[0];
  }
  t.r[i] = t.r[i] / s.ofst;
}

// The point's equilibrium storage first receives the products without
// dissociation, so that a search that solves no equilibrium (itmaxh <= 0)
// leaves this point's own undissociated moles, never those of an earlier
// calculation or a table of zeros.
void preset_dissociation(std::int32_t i, SweepTable& t) {
  double* const x = t.x[i];
  double* const nd = t.nd[i];
  x[0] = x[1] = x[2] = x[3] = 0.0;
  nd[0] = t.nh2o[i];
  nd[1] = t.no2[i];
  nd[2] = t.nh2[i];
  nd[3] = nd[4] = nd[5] = 0.0;
  t.ntd[i] = t.nh2o[i] + t.no2[i] + t.nh2[i];
}

// The mass fractions and the mean molar mass [g/mol] of the equilibrium moles:
//   fmd(k) = nd(k) mw(k) / ntd, mmd = sum of fmd(k), fmd(k) = fmd(k) / mmd.
void point_fractions(std::int32_t i, const ThermoConstants& tc, SweepTable& t) {
  const double* const nd = t.nd[i];
  double* const fmd = t.fmd[i];
  for (int k = 0; k < 6; ++k) {
    fmd[k] = nd[k] * tc.mw[k] / t.ntd[i];
  }
  double mmd = 0.0;
  for (int k = 0; k < 6; ++k) {
    mmd = mmd + fmd[k];
  }
  t.mmd[i] = mmd;
  for (int k = 0; k < 6; ++k) {
    fmd[k] = fmd[k] / mmd;
  }
}

// Everything of point i before the search with dissociation.
void point_without_dissociation(std::int32_t i, const RunParameters& p, const ThermoConstants& tc,
                                const CoefBlock& coef, SweepTable& t, SweepScalars& s) {
  point_products(i, p, tc, t, s);
  point_mixture(i, tc, t);
  point_of(i, tc, t, s);
  s.hreac = t.no2r[i] * tc.ho2 + tc.hh2;
  tad_nodiss(t.nh2o[i], t.no2[i], t.nh2[i], s.hreac, t.tadsem[i], p.itmaxh, p.tolh, tc, coef,
             &t.flags[i]);
}

// The search's results into point i, as tad_diss leaves them: extents,
// moles and total only where an equilibrium was solved; then the fractions.
void store_search(std::int32_t i, const FlameTemperature& r, const ThermoConstants& tc,
                  SweepTable& t) {
  t.tadcom[i] = r.tad;
  t.flags[i] |= r.flags;
  if (r.solved) {
    for (int k = 0; k < 4; ++k) {
      t.x[i][k] = r.eq.x[k];
    }
    for (int k = 0; k < 6; ++k) {
      t.nd[i][k] = r.eq.nd[k];
    }
    t.ntd[i] = r.eq.ntd;
  }
  point_fractions(i, tc, t);
}

DissociationSettings search_settings(const RunParameters& p) {
  return {p.ptot, p.itmaxh, p.tolh, p.itmaxn, p.toln, {p.act1, p.act2, p.act3, p.act4}};
}

FlameInputs search_inputs(std::int32_t i, const SweepTable& t, const SweepScalars& s) {
  return {s.hreac, {t.nh2o[i], t.no2[i], t.nh2[i]}};
}

// Point i on its own, the search with dissociation by tad_diss.
void sweep_point(std::int32_t i, const RunParameters& p, const ThermoConstants& tc,
                 const CoefBlock& coef, SweepTable& t, SweepScalars& s) {
  point_without_dissociation(i, p, tc, coef, t, s);
  if (i < 1) {
    return;
  }
  preset_dissociation(i, t);
  store_search(i, tad_diss(search_inputs(i, t, s), search_settings(p), tc, coef), tc, t);
}

void notify(SweepObserver* observer, std::int32_t i, std::int32_t npts) {
  if (observer != nullptr) {
    observer->point_done(i, npts);
  }
}

// True when a floating-point fault was raised since the last call; clears
// the fault flags, so that each step of a group is judged on its own flags.
bool take_faults() {
  const bool faulted = std::fetestexcept(kFloatingPointFaults) != 0;
  std::feclearexcept(kFloatingPointFaults);
  return faulted;
}

// A group: points first .. first + count - 1, with the scalars as they stood
// after each point, which the observer is shown.
struct Group {
  std::int32_t first = 0;
  int count = 0;
  SweepScalars after[kGroupPoints];
  FlameInputs in[kGroupPoints];
  FlameTemperature out[kGroupPoints];
};

// The points of a group before their searches, in order as sweep_point
// computes them, then their searches together, then the results stored;
// the observer is told of the points only once all of them are done, so
// that an observer or a math error handler that ends the run (by an
// exception) never leaves a search running on the group. If computing the
// group raised a fault flag it is computed again point by point, from the
// scalars and with the flags as they were before it, so that a fault
// reaches the observer, and a failing exp the math error handler, at its own
// point as in run_sweep_point_by_point.
void sweep_group(Group& g, const RunParameters& p, const ThermoConstants& tc, const CoefBlock& coef,
                 SweepTable& t, SweepScalars& s, SweepObserver* observer) {
  const SweepScalars before = s;
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, kFloatingPointFaults);
  std::feclearexcept(kFloatingPointFaults);
  for (int j = 0; j < g.count; ++j) {
    const std::int32_t i = g.first + j;
    point_without_dissociation(i, p, tc, coef, t, s);
    preset_dissociation(i, t);
    g.after[j] = s;
    g.in[j] = search_inputs(i, t, s);
  }
  bool faulted = take_faults();
  faulted = compute_searches(g.in, g.count, g.out, search_settings(p), tc, coef) || faulted;
  for (int j = 0; j < g.count; ++j) {
    store_search(g.first + j, g.out[j], tc, t);
  }
  faulted = take_faults() || faulted;
  std::fesetexceptflag(&flags, kFloatingPointFaults);
  s = before;
  for (int j = 0; j < g.count; ++j) {
    if (faulted) {
      sweep_point(g.first + j, p, tc, coef, t, s);
    } else {
      s = g.after[j];
    }
    notify(observer, g.first + j, s.npts);
  }
}

// The counts are checked with the other run parameters before any sweep
// (check_run_parameters); counts that would run past the tables end here.
void expect_counts_fit(const RunParameters& p) {
  if (p.npmin < 0 || p.npmax < 0 || p.npmin > kMaxInnerPoints - p.npmax) {
    std::fprintf(stderr, "sweep: the counts npmin = %d, npmax = %d do not fit the tables\n",
                 static_cast<int>(p.npmin), static_cast<int>(p.npmax));
    std::abort();
  }
}

}  // namespace

void run_sweep(const RunParameters& p, const ThermoConstants& tc, const CoefBlock& coef,
               SweepTable& table, SweepScalars& s, SweepObserver* observer) {
  expect_counts_fit(p);
  s.npts = p.npmin + p.npmax + 3;
  sweep_point(0, p, tc, coef, table, s);
  notify(observer, 0, s.npts);
  Group g;
  for (std::int32_t first = 1; first <= s.npts; first += kGroupPoints) {
    g.first = first;
    g.count = std::min<std::int32_t>(kGroupPoints, s.npts - first + 1);
    sweep_group(g, p, tc, coef, table, s, observer);
  }
}

void run_sweep_point_by_point(const RunParameters& p, const ThermoConstants& tc,
                              const CoefBlock& coef, SweepTable& table, SweepScalars& s,
                              SweepObserver* observer) {
  expect_counts_fit(p);
  s.npts = p.npmin + p.npmax + 3;
  for (std::int32_t i = 0; i <= s.npts; ++i) {
    sweep_point(i, p, tc, coef, table, s);
    notify(observer, i, s.npts);
  }
}

}  // namespace zuna
