// Species as data: the records of a NASA 9-coefficient file with their
// formulas and phases, and the set of products of one calculation chosen
// from them (every species whose elements the reactants hold, or a list).
//
// The general solver (engine/set-solver.h) takes any such set: gases and
// condensed species, any elements. Units as in engine.h.
#pragma once

#include <istream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine.h"

namespace zuna::engine {

// One species of a database: its formula, phase and ranges.
struct SpeciesRecord {
  std::string name;  // as in the file, for example "H2O(L)" or "C4H10,n-butane"
  std::string comment;  // the rest of the record's first line (sources, a stated composition)
  struct Atoms {
    std::string element;  // "H", "O", "N", "C", "Ar", "He", ...: capital, then small letters
    double count = 0.0;
  };
  std::vector<Atoms> formula;
  bool condensed = false;
  bool reactant_only = false;  // listed after the products in its file
  double M_g_mol = 0.0;
  double h_formation_J_mol = 0.0;  // at 298.15 K; without ranges, at T_assigned_K
  double T_assigned_K = 0.0;       // a record without ranges: its one temperature
  std::vector<PolyRange> ranges;   // ordered, contiguous
  int line = 0;                    // where the record starts in its file

  double T_low_K() const { return ranges.empty() ? 0.0 : ranges.front().T_low_K; }
  double T_high_K() const { return ranges.empty() ? 0.0 : ranges.back().T_high_K; }
  double atoms_of(std::string_view element) const;
};

struct SpeciesDatabase {
  std::vector<SpeciesRecord> species;
  double R_J_molK = 8.314510;
  double p_ref_bar = 1.0;
  std::string source;

  // The record named `name`, or nullptr.
  const SpeciesRecord* find(std::string_view name) const;
};

// The compiled-in records: every species of the NASA Glenn database made
// only of H, O, N, Ar, He and C, gases and condensed, no ions (the
// program's data/nasa9-chon-ar-he.inp), parsed once on first use.
const SpeciesDatabase& builtin_species();
std::string_view builtin_species_text();

// Every record of another NASA 9-coefficient file. Throws InputError naming
// the line. Records without ranges (reactants at one temperature) are kept,
// with no ranges; they are never products.
SpeciesDatabase read_species(std::istream& in, const std::string& name);

// Which products a calculation considers: every product record of the
// database whose elements are all among the reactants' (`only` empty), or
// exactly the species of `only`; less those of `omit`.
struct ProductChoice {
  std::vector<std::string> only;
  std::vector<std::string> omit;
};

// The products of a calculation, gases first and then condensed species,
// each group in the database's order, with the element rows a_ij.
struct ProductSet {
  const SpeciesDatabase* database = nullptr;
  std::vector<std::string> elements;  // the rows, in the order given
  std::vector<const SpeciesRecord*> species;
  int gas_count = 0;           // species [0, gas_count) are gases
  std::vector<double> atoms;   // a_ij = atoms[i * size() + j]
  std::vector<int> partner_below, partner_above;  // the same substance's phase on each side, or -1

  int size() const { return static_cast<int>(species.size()); }
  int element_count() const { return static_cast<int>(elements.size()); }
  double a(int i, int j) const { return atoms[static_cast<std::size_t>(i) * species.size() + j]; }
  int index_of(std::string_view name) const;  // -1 when not a product
};

// The products for reactants holding `elements` (symbols as in
// SpeciesRecord). Throws InputError for a name of `only` or `omit` that is
// no product of the database, a product of `only` with an element the
// reactants lack, an ion, and a set in which some element of the reactants
// is carried by no gas (the equilibrium would have no solution).
ProductSet select_products(const SpeciesDatabase& database, std::span<const std::string> elements,
                           const ProductChoice& choice = {});

// One reactant: a formula, its share of the mixture and its enthalpy.
struct ReactantShare {
  std::vector<SpeciesRecord::Atoms> formula;
  double M_g_mol = 0.0;
  double mass_fraction = 0.0;  // of the mixture; the shares must add up to 1
  double h_J_mol = 0.0;
};

// Moles of each element of `set` per kilogram of mixture, and its enthalpy.
struct SetFeed {
  std::vector<double> b_mol_kg;
  double h0_kJ_kg = 0.0;
};
SetFeed feed_of(const ProductSet& set, std::span<const ReactantShare> reactants);

}  // namespace zuna::engine
