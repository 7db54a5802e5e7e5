// The condensed species after a converged iteration (RP-1311 Part I,
// section 3.5, the tests for condensed phases): a species of negative
// amount leaves; a species outside the temperatures of its data gives way
// to the phase of the same substance that holds T, or leaves; two phases of
// one substance that keep taking each other's place stay together, and the
// temperature settles where their Gibbs energies meet; and a species whose
// Gibbs energy lies below what the gas's element potentials give,
//   d_c = g_c0/RT - sum_i a_ic pi_i < 0    (the derivative of G/RT by n_c),
// comes in, the most negative first, with amount 0.
#include <algorithm>
#include <cmath>

#include "engine/set-work.h"

namespace zuna::engine::detail {
namespace {

// Removes the condensed species of most negative amount; false when none.
bool remove_negative(Work& w) {
  int worst = -1;
  for (int c = w.ng; c < w.ns; ++c) {
    if (w.active[c] && w.nj[c] <= 0.0 && (worst < 0 || w.nj[c] < w.nj[worst])) worst = c;
  }
  if (worst < 0) return false;
  w.active[worst] = 0;
  w.nj[worst] = 0.0;
  if (w.pair_T > 0.0) {  // the pair ends: T free again, from the transition
    w.ln_T = std::log(w.pair_T);
    w.pair_T = 0.0;
  }
  return true;
}

// A species present outside its data: its neighbour phase takes its place
// (the same amount), or both stay when they have taken each other's place
// before and T is free; with no neighbour it leaves.
bool change_out_of_range(Work& w) {
  const double T = w.T();
  for (int c = w.ng; c < w.ns; ++c) {
    if (!w.active[c]) continue;
    const bool above = T > w.T_high[c], below = T < w.T_low[c];
    if (!above && !below) continue;
    const int p = above ? w.set->partner_above[c] : w.set->partner_below[c];
    if (p >= 0 && w.active[p]) continue;  // the pair at its transition
    if (p >= 0 && T >= w.T_low[p] && T <= w.T_high[p]) {
      w.active[p] = 1;
      if (w.swapped[p] && !w.fixed_T) {
        w.nj[p] = 0.5 * w.nj[c];
        w.nj[c] *= 0.5;
        w.pair_T = above ? w.T_high[c] : w.T_low[c];
        w.ln_T = std::log(w.pair_T);
      } else {
        w.nj[p] = w.nj[c];
        w.active[c] = 0;
        w.nj[c] = 0.0;
        w.swapped[c] = 1;
      }
    } else {
      w.active[c] = 0;
      w.nj[c] = 0.0;
    }
    return true;
  }
  return false;
}

// Brings in the species of most negative d_c among those whose data hold T
// and whose substance is not present in another phase.
bool add_condensed(Work& w) {
  const double T = w.T();
  int best = -1;
  double lowest = -1e-10;  // below the rounding of a converged state
  for (int c = w.ng; c < w.ns; ++c) {
    if (w.active[c] || T < w.T_low[c] || T > w.T_high[c]) continue;
    const int below = w.set->partner_below[c], above = w.set->partner_above[c];
    if ((below >= 0 && w.active[below]) || (above >= 0 && w.active[above])) continue;
    double d = w.g0[c];
    for (int i = 0; i < w.m; ++i) d -= w.a(i, c) * w.pi[i];
    if (d < lowest) {  // equal d: the first in the set's order (ice before liquid)
      lowest = d;
      best = c;
    }
  }
  if (best < 0) return false;
  w.active[best] = 1;
  w.nj[best] = 0.0;
  return true;
}

}  // namespace

bool force_condensed(Work& w) {
  int best = -1;
  double lowest = 0.0, T_best = 0.0;
  for (int c = w.ng; c < w.ns; ++c) {
    if (w.active[c]) continue;
    const double T = std::min(std::max(w.T(), w.T_low[c]), w.T_high[c]);
    set_terms(w, T);
    double d = w.g0[c];
    for (int i = 0; i < w.m; ++i) d -= w.a(i, c) * w.pi[i];
    if (best < 0 || d < lowest) {
      best = c;
      lowest = d;
      T_best = T;
    }
  }
  if (best < 0) return false;
  w.active[best] = 1;
  w.nj[best] = 0.0;
  w.ln_T = std::log(T_best);
  return true;
}

bool change_phases(Work& w) {
  if (w.ns == w.ng) return false;
  set_terms(w, w.T());
  return remove_negative(w) || change_out_of_range(w) || add_condensed(w);
}

}  // namespace zuna::engine::detail
