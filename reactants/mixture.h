// A mixture of named reactants, made ready for the general solver
// (engine/set-solver.h): the moles of each element per kilogram, the
// enthalpy and internal energy per kilogram, the elements to choose the
// products by, and a description of the mixture for the headers of results.
//
// Roles and shares. Each reactant is a fuel, an oxidant or a diluent. The
// shares of the fuels are their parts of the fuel, those of the oxidants
// their parts of the oxidant, by moles or by mass (`by`), normalised; shares
// written as percentages must sum to 100. A diluent's share is its mole or
// mass fraction of the whole mixture (a number below 1, or a percentage).
// One fuel or one oxidant alone needs no share.
//
// The mixture ratio, at most one of:
//   of        oxidant-to-fuel mass ratio O/F;
//   fuel_pct  the fuel's mass percent of fuel and oxidant, 100/(1 + O/F);
//   phi       (O/F)st/(O/F);
//   r_eq      the ratio of the positive to the negative valences of the
//             elements of fuel and oxidant, -sum V_i+ b_i / sum V_i- b_i
//             (the equivalence ratio of NASA RP-1311 Part I);
// phi and r_eq are 1 at the stoichiometric mixture and above 1 rich. None
// of them: the mixture is made by the amounts of every reactant alone, the
// shares of fuels and oxidants together (100 mol H2(L) and 60 mol O2(L));
// percentages then count the diluents too and sum to 100 over all.
// Diluents are outside O/F, the fuel percent and the equivalence ratios.
//
// Valences (as RP-1311 counts them): H +1, C +4, O -2; N, Ar and He 0.
// The stoichiometric ratio, where the valences of fuel and oxidant cancel:
//   (O/F)st = -(V+_f + V-_f) / (V+_o + V-_o)
// with V+ and V- the sums of the positive and the negative valences per
// gram of the fuel (f) and of the oxidant (o).
//
// Nothing throws: what cannot be made comes back as a Refusal.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/product-set.h"
#include "reactants/reactant.h"
#include "reactants/refusal.h"

namespace zuna::reactants {

enum class ShareBasis { moles, mass };

struct MixtureRequest {
  std::vector<ReactantItem> items;  // fuels, oxidants and diluents, in the user's order
  ShareBasis by = ShareBasis::moles;
  std::optional<double> of, fuel_pct, phi, r_eq;  // at most one
};

// One reactant of the mixture, as the header of a result shows it.
struct MixtureEntry {
  std::string name;
  std::string text;  // the item as written
  Role role = Role::fuel;
  double T_K = 0.0;
  double h_J_mol = 0.0;
  bool h_from_user = false;
  double mole_fraction = 0.0;  // of the whole mixture, diluents included
  double mass_fraction = 0.0;
};

// What the mixture is. The ratios are NaN without a fuel or an oxidant
// (of_st and phi also where the valences of fuel and oxidant cannot cancel).
struct MixtureDescription {
  std::vector<MixtureEntry> reactants;  // in the user's order
  ShareBasis by = ShareBasis::moles;
  double of = 0.0, fuel_pct = 0.0, phi = 0.0, r_eq = 0.0, of_st = 0.0;
};

struct Mixture {
  std::vector<std::string> elements;  // "H", "O", "N", "C", "Ar", "He" as present, in that order
  std::vector<double> b_mol_kg;       // moles of each element per kg of mixture
  double h_kJ_kg = 0.0;               // enthalpy of the reactants
  double u_kJ_kg = 0.0;               // their internal energy: h less R T per mole of gas
  std::vector<engine::ReactantShare> shares;  // the same mixture for engine::feed_of
  MixtureDescription description;

  // The element amounts in the order of `set`'s elements (a set chosen for
  // `elements`, in any order); 0 for an element the mixture lacks.
  std::vector<double> b_for(const engine::ProductSet& set) const;
};

// The valence of an element as above (0 for one not named there).
double valence(const std::string& element);

// Parses nothing: the items are parsed already (parse_reactant). Resolves
// them against `db` and makes the mixture.
Result<Mixture> make_mixture(const MixtureRequest& request, const engine::SpeciesDatabase& db);

}  // namespace zuna::reactants
