// The wave solver's arrays, the unburned gas and its mixture.
#include <cmath>
#include <string>

#include "waves/frozen-gas.h"
#include "waves/wave-work.h"

namespace zuna::waves {

using engine::InputError;

Mixture mixture_of(const engine::ProductSet& set, std::span<const ReactantMoles> reactants) {
  if (reactants.empty()) throw InputError("reactants: at least one");
  Mixture mix;
  mix.n_mol_kg.assign(static_cast<std::size_t>(set.size()), 0.0);
  double mass_g = 0.0;  // of the moles as given
  for (const ReactantMoles& r : reactants) {
    const int j = set.index_of(r.species);
    if (j < 0 || j >= set.gas_count) {
      throw InputError("reactants: " + r.species + " is no gas among the products");
    }
    if (!(r.moles >= 0.0) || !std::isfinite(r.moles)) {
      throw InputError("reactants: the moles of " + r.species + " must be a number not negative");
    }
    mix.n_mol_kg[j] += r.moles;
    mass_g += r.moles * set.species[j]->M_g_mol;
  }
  if (!(mass_g > 0.0)) throw InputError("reactants: the moles must not all be 0");
  // Per kilogram, and the elements through the engine's feed (the
  // enthalpy is the records' at T1, computed with each state).
  std::vector<engine::ReactantShare> shares;
  for (int j = 0; j < set.gas_count; ++j) {
    if (mix.n_mol_kg[j] == 0.0) continue;
    const engine::SpeciesRecord& record = *set.species[j];
    mix.n_mol_kg[j] *= 1000.0 / mass_g;
    shares.push_back({record.formula, record.M_g_mol, mix.n_mol_kg[j] * record.M_g_mol / 1000.0, 0.0});
  }
  double total = 0.0;
  for (const engine::ReactantShare& s : shares) total += s.mass_fraction;
  for (engine::ReactantShare& s : shares) s.mass_fraction /= total;
  mix.b_mol_kg = engine::feed_of(set, shares).b_mol_kg;
  return mix;
}

namespace detail {

void check_initial(const engine::ProductSet& set, const Mixture& mixture, const Initial& initial) {
  const auto ns = static_cast<std::size_t>(set.size());
  if (mixture.n_mol_kg.size() != ns || mixture.b_mol_kg.size() != set.elements.size()) {
    throw InputError("mixture: not made for this product set");
  }
  if (!(initial.T1_K >= engine::kTMinK && initial.T1_K <= engine::kTMaxK)) {
    throw InputError("T1: from 200 to 6000 K");
  }
  if (!(initial.P1_bar >= engine::kPMinAtm * engine::kAtmBar &&
        initial.P1_bar <= engine::kPMaxAtm * engine::kAtmBar)) {
    throw InputError("P1: from 1e-6 to 1e5 atm");
  }
}

void check_point(const engine::ProductSet& set, const engine::SetPoint& p) {
  const auto ns = static_cast<std::size_t>(set.size());
  if (p.n_mol_kg.size() != ns || p.x.size() != ns || p.y.size() != ns) {
    throw InputError("the result must come from make_detonation or make_shock of this solver");
  }
}

}  // namespace detail

WaveSolver::WaveSolver(const engine::ProductSet& set) : work_(std::make_unique<Work>(set)) {
  work_->cj = make_detonation();
  work_->cj_b.assign(set.elements.size(), 0.0);
}

WaveSolver::~WaveSolver() = default;

Detonation WaveSolver::make_detonation() const {
  Detonation d;
  d.unburned = work_->cj_eq.make_point();
  d.burned = work_->cj_eq.make_point();
  return d;
}

Shock WaveSolver::make_shock() const {
  Shock s;
  s.unburned = work_->cj_eq.make_point();
  s.incident = work_->cj_eq.make_point();
  s.reflected = work_->cj_eq.make_point();
  return s;
}

void WaveSolver::reset() {
  Work& w = *work_;
  w.have_cj = false;
  w.cj_known = false;
  for (engine::SetSolver* s : {&w.cj_eq, &w.hp, &w.shock_eq, &w.reflected_eq}) s->reset();
}

void WaveSolver::unburned(const Mixture& mixture, const Initial& initial, engine::SetPoint& out) {
  detail::check_initial(*work_->set, mixture, initial);
  detail::check_point(*work_->set, out);
  detail::frozen_state(*work_->set, mixture.n_mol_kg, initial.T1_K, initial.P1_bar, out);
}

}  // namespace zuna::waves
