// The sweep of one calculation over the O/F grid. Point 0 is the
// stoichiometric point that fixes ofst; points 1..npmin+1 are fuel-rich,
// point npmin+2 is stoichiometric again and points npmin+3..npts are
// oxidizer-rich. Amounts are per mole of H2 fed; species order H2O, O2, H2,
// H, O, OH. Each point is computed by the steps of the plain reference
// (thermo/reference.h); only its search with dissociation is the lanes'.
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

DissociationSettings search_settings(const RunParameters& p) {
  return {p.ptot, p.itmaxh, p.tolh, p.itmaxn, p.toln, {p.act1, p.act2, p.act3, p.act4}};
}

// Everything of point i before the search with dissociation, and for points
// after 0 the preset of the values with dissociation.
void point_before_search(std::int32_t i, const RunParameters& p, const ThermoConstants& tc,
                         const CoefBlock& coef, SweepTable& t, SweepScalars& s) {
  sweep_point_without_dissociation(i, grid_of(p), search_settings(p), tc, coef, t.point[i], s);
  if (i >= 1) {
    preset_dissociation(t.point[i]);
  }
}

// Point i on its own, the search with dissociation by tad_diss.
void sweep_point(std::int32_t i, const RunParameters& p, const ThermoConstants& tc,
                 const CoefBlock& coef, SweepTable& t, SweepScalars& s) {
  point_before_search(i, p, tc, coef, t, s);
  if (i < 1) {
    return;
  }
  SweepPointValues& v = t.point[i];
  store_search(tad_diss(sweep_search_inputs(v, s), search_settings(p), tc, coef), tc, v);
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
// point, as when every point is computed on its own.
void sweep_group(Group& g, const RunParameters& p, const ThermoConstants& tc, const CoefBlock& coef,
                 SweepTable& t, SweepScalars& s, SweepObserver* observer) {
  const SweepScalars before = s;
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, kFloatingPointFaults);
  std::feclearexcept(kFloatingPointFaults);
  for (int j = 0; j < g.count; ++j) {
    const std::int32_t i = g.first + j;
    point_before_search(i, p, tc, coef, t, s);
    g.after[j] = s;
    g.in[j] = sweep_search_inputs(t.point[i], s);
  }
  bool faulted = take_faults();
  faulted = compute_searches(g.in, g.count, g.out, search_settings(p), tc, coef) || faulted;
  for (int j = 0; j < g.count; ++j) {
    store_search(g.out[j], tc, t.point[g.first + j]);
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
  if (point_count_fit(p.npmin, p.npmax) != PointCountFit::fits) {
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

}  // namespace zuna
