#include "engine/product-set.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <sstream>

#include "engine/builtin-records.h"
#include "engine/data-checks.h"
#include "engine/fp-guard.h"
#include "thermodata/nasa9.h"

namespace zuna::engine {
namespace {

// "AR" -> "Ar": the element symbols of the files are upper case.
std::string element_symbol(std::string s) {
  for (std::size_t k = 0; k < s.size(); ++k) {
    const unsigned char c = static_cast<unsigned char>(s[k]);
    s[k] = static_cast<char>(k == 0 ? std::toupper(c) : std::tolower(c));
  }
  return s;
}

SpeciesRecord record_of(const thermodata::Nasa9Species& r, const std::string& file) {
  SpeciesRecord out;
  out.name = r.name;
  out.comment = r.comment;
  out.condensed = r.phase != 0;
  out.reactant_only = r.reactant_only;
  out.M_g_mol = r.molar_mass;
  out.h_formation_J_mol = r.heat_of_formation;
  out.T_assigned_K = r.assigned_t;
  out.line = r.line;
  for (const auto& a : r.formula) {
    out.formula.push_back({element_symbol(a.element), a.count});
  }
  std::vector<thermodata::Nasa9Range> ranges = r.ranges;
  std::sort(ranges.begin(), ranges.end(),
            [](const auto& x, const auto& y) { return x.t_low < y.t_low; });
  for (std::size_t k = 0; k < ranges.size(); ++k) {
    if (k > 0 && ranges[k].t_low != ranges[k - 1].t_high) {
      throw InputError(file + ", line " + std::to_string(r.line) + ", species " + r.name +
                       ": the ranges must follow one another");
    }
    PolyRange p;
    p.T_low_K = ranges[k].t_low;
    p.T_high_K = ranges[k].t_high;
    std::copy(std::begin(ranges[k].a), std::end(ranges[k].a), p.a);
    p.b1 = ranges[k].b1;
    p.b2 = ranges[k].b2;
    out.ranges.push_back(p);
  }
  const bool electron = out.formula.size() == 1 && out.formula[0].element == "E";
  if (const detail::DataFault fault = detail::species_data_fault(
          out.M_g_mol, out.ranges.data(), static_cast<int>(out.ranges.size()),
          electron ? detail::RecordKind::electron : detail::RecordKind::database)) {
    throw InputError(file + ", line " + std::to_string(r.line) + ", species " + r.name + ": " +
                     detail::fault_text(fault, out.ranges.data()));
  }
  return out;
}

bool is_ion(const SpeciesRecord& r) {
  return r.atoms_of("E") != 0.0 || r.name.find_first_of("+") != std::string::npos ||
         (!r.name.empty() && r.name.back() == '-');
}

bool listed(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

double SpeciesRecord::atoms_of(std::string_view element) const {
  for (const Atoms& a : formula) {
    if (a.element == element) {
      return a.count;
    }
  }
  return 0.0;
}

const SpeciesRecord* SpeciesDatabase::find(std::string_view name) const {
  for (const SpeciesRecord& r : species) {
    if (r.name == name) {
      return &r;
    }
  }
  return nullptr;
}

int ProductSet::index_of(std::string_view name) const {
  for (int j = 0; j < size(); ++j) {
    if (species[j]->name == name) {
      return j;
    }
  }
  return -1;
}

SpeciesDatabase read_species(std::istream& in, const std::string& name) {
  detail::FpGuard guard;
  thermodata::Nasa9File file;
  try {
    file = thermodata::read_nasa9(in);
  } catch (const thermodata::RecordError& e) {
    throw InputError(name + ": " + e.what());
  }
  SpeciesDatabase db;
  db.source = name + " (NASA 9-coefficient records, standard state 1 bar)";
  db.species.reserve(file.species.size());
  for (const thermodata::Nasa9Species& r : file.species) {
    db.species.push_back(record_of(r, name));
  }
  return db;
}

const SpeciesDatabase& builtin_species() {
  static const SpeciesDatabase db = [] {
    std::istringstream in(detail::builtin_species_text());
    SpeciesDatabase d = read_species(in, "nasa9-chon-ar-he.inp");
    d.source = "NASA Glenn 9-coefficient records of H, O, N, Ar, He, C (built in), standard state 1 bar";
    return d;
  }();
  return db;
}

std::string_view builtin_species_text() {
  static const std::string_view text(detail::builtin_species_text());
  return text;
}

ProductSet select_products(const SpeciesDatabase& db, std::span<const std::string> elements,
                           const ProductChoice& choice) {
  const auto known = [&](const SpeciesRecord& r) {
    return std::all_of(r.formula.begin(), r.formula.end(), [&](const SpeciesRecord::Atoms& a) {
      return std::find(elements.begin(), elements.end(), a.element) != elements.end();
    });
  };
  for (const std::string& name : choice.only) {
    const SpeciesRecord* r = db.find(name);
    if (r == nullptr || r->reactant_only || r->ranges.empty()) {
      throw InputError("only: " + name + " is no product of " + db.source);
    }
    if (is_ion(*r)) {
      throw InputError("only: " + name + " is an ion; ions are not considered");
    }
    if (!known(*r)) {
      throw InputError("only: " + name + " holds an element the reactants do not");
    }
  }
  for (const std::string& name : choice.omit) {
    if (db.find(name) == nullptr) {
      throw InputError("omit: " + name + " is no species of " + db.source);
    }
  }
  ProductSet set;
  set.database = &db;
  set.elements.assign(elements.begin(), elements.end());
  std::vector<const SpeciesRecord*> condensed;
  for (const SpeciesRecord& r : db.species) {
    const bool wanted = choice.only.empty() ? !r.reactant_only && !r.ranges.empty() &&
                                                  !is_ion(r) && known(r)
                                            : listed(choice.only, r.name);
    if (wanted && !listed(choice.omit, r.name)) {
      (r.condensed ? condensed : set.species).push_back(&r);
    }
  }
  set.gas_count = static_cast<int>(set.species.size());
  set.species.insert(set.species.end(), condensed.begin(), condensed.end());
  const int ns = set.size(), m = set.element_count();
  set.atoms.assign(static_cast<std::size_t>(m) * ns, 0.0);
  for (int i = 0; i < m; ++i) {
    bool in_gas = false;
    for (int j = 0; j < ns; ++j) {
      set.atoms[static_cast<std::size_t>(i) * ns + j] = set.species[j]->atoms_of(elements[i]);
      in_gas = in_gas || (j < set.gas_count && set.a(i, j) != 0.0);
    }
    if (!in_gas) {
      throw InputError("products: no gas of the set holds " + elements[i] +
                       "; the equilibrium has no solution");
    }
  }
  // The phases of one substance: condensed records of the same formula whose
  // ranges meet (ice and liquid water at 273.15 K).
  set.partner_below.assign(ns, -1);
  set.partner_above.assign(ns, -1);
  for (int j = set.gas_count; j < ns; ++j) {
    for (int k = set.gas_count; k < ns; ++k) {
      bool same = k != j;
      for (int i = 0; i < m && same; ++i) {
        same = set.a(i, j) == set.a(i, k);
      }
      if (same && set.species[k]->T_high_K() == set.species[j]->T_low_K()) {
        set.partner_below[j] = k;
        set.partner_above[k] = j;
      }
    }
  }
  return set;
}

SetFeed feed_of(const ProductSet& set, std::span<const ReactantShare> reactants) {
  SetFeed feed;
  feed.b_mol_kg.assign(set.elements.size(), 0.0);
  double total = 0.0;
  for (const ReactantShare& r : reactants) {
    if (!(r.M_g_mol > 0.0) || !(r.mass_fraction >= 0.0)) {
      throw InputError("reactants: a molar mass must be positive and a share not negative");
    }
    const double mol_kg = r.mass_fraction * 1000.0 / r.M_g_mol;
    for (const SpeciesRecord::Atoms& a : r.formula) {
      const auto at = std::find(set.elements.begin(), set.elements.end(), a.element);
      if (at == set.elements.end()) {
        throw InputError("reactants: the element " + a.element + " is not among the set's");
      }
      feed.b_mol_kg[static_cast<std::size_t>(at - set.elements.begin())] += a.count * mol_kg;
    }
    feed.h0_kJ_kg += mol_kg * r.h_J_mol / 1000.0;
    total += r.mass_fraction;
  }
  if (!(std::fabs(total - 1.0) <= 1e-12)) {
    throw InputError("reactants: the mass fractions must add up to 1");
  }
  return feed;
}

}  // namespace zuna::engine
