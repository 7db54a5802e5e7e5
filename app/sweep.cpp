// The sweep of one calculation over the O/F grid. Point 0 is the
// stoichiometric reference that fixes ofst; points 1..npmin+1 are fuel-rich,
// point npmin+2 is stoichiometric again and points npmin+3..npts are
// oxidizer-rich. Amounts are per mole of H2 fed; species order H2O, O2, H2,
// H, O, OH; mw(k) [g/mol].
//
// Once point 0 has fixed ofst the points are independent, and nearly all the
// time goes into their searches with dissociation: long chains of dependent
// Newton steps. run_sweep therefore takes the points after 0 in batches of
// kSearchLanes and runs their searches side by side through tad_diss_lanes,
// which computes on every lane exactly what tad_diss computes alone.
//
// The batches are computed in pairs, the first on the calling thread and the
// second on the sweep worker (sweep-worker.h), which halves the wall time of
// a sweep on two cores. Everything else stays on the calling thread and in
// the order of the points: the values before the searches, which carry the
// scalars from point to point, the storing of the results and the observer.
#include "app/sweep.h"

#include <algorithm>
#include <cfenv>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

#include "app/sweep-worker.h"
#include "thermo/dissociation-lanes.h"

namespace zuna {

namespace {

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
    const double of_abs = static_cast<double>(i - 1) * s.dof + s.ofmin;
    t.no2r[i] = of_abs * tc.mwk(4) / tc.mwk(5);
    prod_rich(t.no2r[i], t.nh2o[i], t.no2[i], t.nh2[i]);
  }
  if (p.npmin + 2 < i && i <= s.npts) {
    s.ofmax = p.rmax * s.ofst;
    s.dof = (s.ofmax - s.ofst) / static_cast<double>(p.npmax + 1);
    const double of_abs = static_cast<double>(i - p.npmin - 2) * s.dof + s.ofst;
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
  t.of[i] = t.no2r[i] * tc.mwk(2) / tc.mwk(3);
  if (i == 0) {
    s.ofst = t.of[0];
  }
  t.of[i] = t.of[i] / s.ofst;
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

// Point i on its own, the search with dissociation by tad_diss.
void sweep_point(std::int32_t i, const RunParameters& p, const ThermoConstants& tc,
                 const CoefBlock& coef, SweepTable& t, SweepScalars& s) {
  point_without_dissociation(i, p, tc, coef, t, s);
  if (i < 1) {
    return;
  }
  double* const x = t.x[i];
  double* const nd = t.nd[i];
  preset_dissociation(i, t);
  unsigned flags = 0;
  tad_diss(s.hreac, t.tadcom[i], p.ptot, t.nh2o[i], t.no2[i], t.nh2[i], x[0], x[1], x[2], x[3],
           nd[0], nd[1], nd[2], nd[3], nd[4], nd[5], t.ntd[i], p.itmaxh, p.tolh, p.itmaxn, p.toln,
           tc, coef, p.act1, p.act2, p.act3, p.act4, &flags);
  t.flags[i] |= flags;
  point_fractions(i, tc, t);
}

void notify(SweepObserver* observer, std::int32_t i, std::int32_t npts) {
  if (observer != nullptr) {
    observer->point_done(i, npts);
  }
}

using SearchLanes = DissociationLanes<kSearchLanes>;

// A batch: points first .. first + count - 1, one per lane, with the scalars
// as they stood after each point, which the observer is shown, and whether
// computing it raised a fault flag.
struct Batch {
  std::int32_t first = 0;
  int count = 0;
  SweepScalars after[kSearchLanes];
  SearchLanes lanes;
  bool faulted = false;
};

// Everything before the searches, point after point as sweep_point does it;
// then the products and hreac of each point into its lane. The lanes beyond
// count repeat the last point: they take no more steps than it does and
// raise no flag that it does not.
void load_batch(Batch& b, const RunParameters& p, const ThermoConstants& tc, const CoefBlock& coef,
                SweepTable& t, SweepScalars& s) {
  for (int j = 0; j < b.count; ++j) {
    point_without_dissociation(b.first + j, p, tc, coef, t, s);
    preset_dissociation(b.first + j, t);
    b.after[j] = s;
  }
  for (int j = 0; j < kSearchLanes; ++j) {
    const int m = std::min(j, b.count - 1);
    const std::int32_t i = b.first + m;
    b.lanes.hreac.set(j, b.after[m].hreac);
    b.lanes.nh2o.set(j, t.nh2o[i]);
    b.lanes.no2.set(j, t.no2[i]);
    b.lanes.nh2.set(j, t.nh2[i]);
  }
  b.faulted = take_faults();
}

// The results of each lane into its point, as tad_diss leaves them: extents,
// moles and total only where an equilibrium was solved.
void store_batch(Batch& b, const ThermoConstants& tc, SweepTable& t) {
  const SearchLanes& d = b.lanes;
  for (int j = 0; j < b.count; ++j) {
    const std::int32_t i = b.first + j;
    t.tadcom[i] = d.tad[j];
    t.flags[i] |= d.flags[j];
    if (d.solved[j]) {
      for (int k = 0; k < 4; ++k) {
        t.x[i][k] = d.x[k][j];
      }
      for (int k = 0; k < 6; ++k) {
        t.nd[i][k] = d.nd[k][j];
      }
      t.ntd[i] = d.ntd[j];
    }
    point_fractions(i, tc, t);
  }
  b.faulted = take_faults() || b.faulted;
}

// The observer for each point of the batch, in order. If the batch raised a
// fault flag it is computed again point by point, from the scalars and with
// the flags as they were before it, so that a fault reaches the observer,
// and a failing exp the math error handler, at its own point as in
// run_sweep_point_by_point: lanes are computed together and cannot tell
// whose flag it was, and they also compute on lanes that have stopped,
// which can raise a flag on their own.
void report_batch(const Batch& b, const RunParameters& p, const ThermoConstants& tc,
                  const CoefBlock& coef, SweepTable& t, SweepScalars& s, SweepObserver* observer) {
  for (int j = 0; j < b.count; ++j) {
    if (b.faulted) {
      sweep_point(b.first + j, p, tc, coef, t, s);
    } else {
      s = b.after[j];
    }
    notify(observer, b.first + j, s.npts);
  }
}

// Two batches, the second starting at a.first + a.count (b.count may be 0):
// their points before the searches in order on this thread, then the
// searches of a here and those of b on the worker at the same time, then the
// observer for the points of a and of b in order. Nobody is told of a point
// before both batches are done, so an observer or a math error handler that
// ends the run (by an exception) never leaves the worker writing into a
// batch that is gone; between post and wait nothing reports or throws.
void sweep_pair(Batch& a, Batch& b, const RunParameters& p, const ThermoConstants& tc,
                const CoefBlock& coef, SweepTable& t, SweepScalars& s, SweepObserver* observer,
                SweepWorker* worker) {
  const SweepScalars before = s;
  std::fexcept_t flags;
  std::fegetexceptflag(&flags, kFloatingPointFaults);
  std::feclearexcept(kFloatingPointFaults);
  load_batch(a, p, tc, coef, t, s);
  if (b.count > 0) {
    load_batch(b, p, tc, coef, t, s);
  }
  const DissociationSettings c{p.ptot,   p.itmaxh, p.tolh,
                               p.itmaxn, p.toln,   {p.act1, p.act2, p.act3, p.act4}};
  const bool handed = worker != nullptr && b.count > 0;
  if (handed) {
    LaneJob job{&b.lanes, &c, &tc, &coef, {}};
    std::fegetenv(&job.env);
    worker->post(job);
  }
  tad_diss_lanes(a.lanes, c, tc, coef, ConstantFailures::flags_only);
  store_batch(a, tc, t);
  if (handed) {
    b.faulted = worker->wait() || b.faulted;
  } else if (b.count > 0) {
    tad_diss_lanes(b.lanes, c, tc, coef, ConstantFailures::flags_only);
  }
  if (b.count > 0) {
    store_batch(b, tc, t);
  }
  std::fesetexceptflag(&flags, kFloatingPointFaults);
  s = before;
  report_batch(a, p, tc, coef, t, s, observer);
  report_batch(b, p, tc, coef, t, s, observer);
}

}  // namespace

void prepare_sweep() { SweepWorker::instance(); }

bool sweep_fits(const RunParameters& p) {
  if (p.npmin < 0 || p.npmax < 0) {
    return false;
  }
  // Both counts are non-negative here, so the difference cannot overflow.
  return p.npmin <= kMaxInnerPoints - p.npmax;
}

std::string flagged_points_message(const SweepTable& t, const SweepScalars& s) {
  struct Reason {
    unsigned flag;
    const char* text;
  };
  static constexpr Reason kReasons[] = {
      {kBisectionBound,
       "Temperatura com dissociação fora de 1000 a 6000 K (a busca parou no limite do "
       "intervalo)"},
      {kBisectionCap, "Busca da temperatura com dissociação parou no limite de iterações"},
      {kEquilibriumCap, "Equilíbrio de dissociação parou no limite de iterações"},
      {kNewtonOutside, "Temperatura sem dissociação fora de 200 a 6000 K"},
      {kNewtonCap, "Busca da temperatura sem dissociação parou no limite de iterações"},
  };
  const std::int32_t last = std::min<std::int32_t>(s.npts, kMaxPoint);
  std::string text;
  for (const Reason& reason : kReasons) {
    std::string points;
    int on_line = 0;
    for (std::int32_t i = 1; i <= last; ++i) {
      if ((t.flags[i] & reason.flag) == 0) {
        continue;
      }
      char of[32];
      std::snprintf(of, sizeof of, "%.2E", t.of[i]);
      points += points.empty() ? "\n   " : on_line == 0 ? ",\n   " : ",";
      points += " ";
      points += of;
      on_line = (on_line + 1) % 8;
    }
    if (!points.empty()) {
      text.append(reason.text).append(", o/f =").append(points).append("\n");
    }
  }
  if (text.empty()) {
    return text;
  }
  return "Os resultados destes pontos não são válidos (o/f dividido pelo estequiométrico, "
         "como no relatório):\n\n" +
         text;
}

bool run_sweep(const RunParameters& p, const ThermoConstants& tc, const CoefBlock& coef,
               SweepTable& table, SweepScalars& s, SweepObserver* observer) {
  if (!sweep_fits(p)) {
    return false;
  }
  s.npts = p.npmin + p.npmax + 3;
  sweep_point(0, p, tc, coef, table, s);
  notify(observer, 0, s.npts);
  // The worker serves one sweep at a time; a sweep that finds it busy with
  // another computes both batches of each pair itself.
  SweepWorker& worker = SweepWorker::instance();
  std::unique_lock<std::mutex> use(worker.use(), std::try_to_lock);
  Batch a;
  Batch b;
  for (std::int32_t first = 1; first <= s.npts; first += 2 * kSearchLanes) {
    a.first = first;
    a.count = std::min<std::int32_t>(kSearchLanes, s.npts - first + 1);
    b.first = first + kSearchLanes;
    b.count = std::max<std::int32_t>(0, std::min<std::int32_t>(kSearchLanes, s.npts - b.first + 1));
    sweep_pair(a, b, p, tc, coef, table, s, observer, use ? &worker : nullptr);
  }
  return true;
}

bool run_sweep_point_by_point(const RunParameters& p, const ThermoConstants& tc,
                              const CoefBlock& coef, SweepTable& table, SweepScalars& s,
                              SweepObserver* observer) {
  if (!sweep_fits(p)) {
    return false;
  }
  s.npts = p.npmin + p.npmax + 3;
  for (std::int32_t i = 0; i <= s.npts; ++i) {
    sweep_point(i, p, tc, coef, table, s);
    notify(observer, i, s.npts);
  }
  return true;
}

}  // namespace zuna
