// The sweep's point, computed on its own. Points 1..npmin+1 are fuel-rich,
// point npmin+2 is stoichiometric again and points npmin+3..npts are
// oxidizer-rich; point 0 is the stoichiometric point, which fixes ofst.
#include "thermo/reference.h"

namespace zuna {

namespace {

// Products without dissociation of point i. The three tests are independent
// and made in this order; with counts that fit they never overlap. O/F is
// turned into moles with the atomic masses, no2r = O/F * mw(H) / mw(O).
void point_products(std::int32_t i, const SweepGrid& g, const ThermoConstants& tc,
                    SweepPointValues& t, SweepCarry& s) {
  if (i == 0 || i == g.npmin + 2) {
    prod_stoich(t.no2r, t.nh2o, t.no2, t.nh2);
  }
  if (1 <= i && i <= g.npmin + 1) {
    s.ofmin = g.rmin * s.ofst;
    s.dof = (s.ofst - s.ofmin) / static_cast<double>(g.npmin + 1);
    const double of_abs = sweep_grid_of(i, g, s.ofst);
    t.no2r = of_abs * tc.mwk(4) / tc.mwk(5);
    prod_rich(t.no2r, t.nh2o, t.no2, t.nh2);
  }
  if (g.npmin + 2 < i && i <= s.npts) {
    s.ofmax = g.rmax * s.ofst;
    s.dof = (s.ofmax - s.ofst) / static_cast<double>(g.npmax + 1);
    const double of_abs = sweep_grid_of(i, g, s.ofst);
    t.no2r = of_abs * tc.mwk(4) / tc.mwk(5);
    prod_lean(t.no2r, t.nh2o, t.no2, t.nh2);
  }
}

// Totals, mean molar masses [g/mol], mole and mass fractions of the reactants
// (suffix r) and of the products without dissociation.
void point_mixture(const ThermoConstants& tc, SweepPointValues& t) {
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

// The O/F, back from moles with the molecular masses, and divided by the
// stoichiometric O/F, which point 0 fixes.
void point_of(std::int32_t i, const ThermoConstants& tc, SweepPointValues& t, SweepCarry& s) {
  t.of = t.no2r * tc.mwk(2) / tc.mwk(3);
  t.r = t.of;
  if (i == 0) {
    s.ofst = t.r;
  }
  t.r = t.r / s.ofst;
}

// Mass fractions, mean molar mass [g/mol] and mole fractions of the
// equilibrium moles: fmd(k) = nd(k) mw(k) / ntd, mmd = sum of fmd(k),
// fmd(k) = fmd(k) / mmd; yd(k) = nd(k) / ntd.
void point_fractions(const ThermoConstants& tc, SweepPointValues& t) {
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
    t.yd[k] = t.nd[k] / t.ntd;
  }
}

}  // namespace

void sweep_point_without_dissociation(std::int32_t i, const SweepGrid& g,
                                      const DissociationSettings& c, const ThermoConstants& tc,
                                      const CoefBlock& coef, SweepPointValues& t, SweepCarry& s) {
  point_products(i, g, tc, t, s);
  point_mixture(tc, t);
  point_of(i, tc, t, s);
  s.hreac = t.no2r * tc.ho2 + tc.hh2;
  tad_nodiss(t.nh2o, t.no2, t.nh2, s.hreac, t.tadsem, c.itmaxh, c.tolh, tc, coef, &t.flags);
}

void preset_dissociation(SweepPointValues& t) {
  t.x[0] = t.x[1] = t.x[2] = t.x[3] = 0.0;
  t.nd[0] = t.nh2o;
  t.nd[1] = t.no2;
  t.nd[2] = t.nh2;
  t.nd[3] = t.nd[4] = t.nd[5] = 0.0;
  t.ntd = t.nh2o + t.no2 + t.nh2;
}

void store_search(const FlameTemperature& search, const ThermoConstants& tc, SweepPointValues& t) {
  t.tadcom = search.tad;
  t.flags |= search.flags;
  if (search.solved) {
    for (int j = 0; j < 4; ++j) {
      t.x[j] = search.eq.x[j];
    }
    for (int j = 0; j < 6; ++j) {
      t.nd[j] = search.eq.nd[j];
    }
    t.ntd = search.eq.ntd;
  }
  point_fractions(tc, t);
}

void reference_sweep_point(std::int32_t i, const SweepGrid& g, const DissociationSettings& c,
                           const ThermoConstants& tc, const CoefBlock& coef, SweepPointValues& t,
                           SweepCarry& s) {
  sweep_point_without_dissociation(i, g, c, tc, coef, t, s);
  if (i < 1) {
    return;
  }
  preset_dissociation(t);
  store_search(reference_flame_temperature(sweep_search_inputs(t, s), c, tc, coef), tc, t);
}

}  // namespace zuna
