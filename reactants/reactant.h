// One reactant named from the species database: the item a user writes,
// NAME[@T_K][:share[%]], parsed into a value, and that value resolved
// against the records (formula, molar mass, temperature, enthalpy).
//
// Temperatures. A reactant without a temperature is at 298.15 K unless its
// record starts higher (Air: 300 K); a record without ranges (H2(L) at
// 20.27 K, O2(L) at 90.17 K) holds one temperature, and a reactant of it is
// at that temperature. A temperature outside the record is refused unless
// the user gives the enthalpy there.
//
// Enthalpies [J/mol], on the scale of the records (elements in their
// reference states at 298.15 K, 0): from the record's functions at T,
//   H(T) = R T (-a1 T^-2 + a2 ln(T)/T + a3 + a4 T/2 + a5 T^2/3 + a6 T^3/4
//               + a7 T^4/5 + b1/T),
// or the one enthalpy of a record without ranges. The database's H2(L) is
// -9012 J/mol at 20.27 K and O2(L) -12979 J/mol at 90.17 K, the values the
// report's examples use; the engine's preset `liquid` (engine.h) keeps its
// own -9016 and -12984 J/mol and is another thing: only a reactant named
// H2(L) or O2(L) here takes the database's values.
//
// No check throws: what cannot be used comes back as a Refusal naming the
// role and the item as written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/product-set.h"
#include "reactants/refusal.h"

namespace zuna::reactants {

enum class Role { fuel, oxidant, diluent };
const char* role_name(Role role);  // "fuel", "oxidant", "diluent"

inline constexpr double kStandardT_K = 298.15;

// An item as written, before the database is read.
struct ReactantItem {
  Role role = Role::fuel;
  std::string text;               // the whole item, for messages
  std::string name;               // the species, as in the database ("H2(L)")
  std::optional<double> T_K;      // after '@'
  std::optional<double> share;    // after ':', a number > 0
  bool percent = false;           // the share was written with '%'
  std::optional<double> h_J_mol;  // the user's enthalpy at T_K, where the database has none
};

// "H2", "H2(L)@20.27", "Air@300:79", "Ar:90%". Refuses an empty name, a
// temperature or share that is no positive finite number, anything after
// the share but '%'.
Result<ReactantItem> parse_reactant(Role role, std::string_view text);

// A reactant resolved against a database.
struct Reactant {
  ReactantItem item;
  const engine::SpeciesRecord* record = nullptr;  // in the database resolved against
  double T_K = 0.0;
  double h_J_mol = 0.0;      // at T_K
  bool h_from_user = false;  // the user's enthalpy, not the record's
  // Atoms per molecule: the record's, or those of the composition its
  // heading states (see stated_formula).
  std::vector<engine::SpeciesRecord::Atoms> formula;

  const std::string& name() const { return record->name; }
  double M_g_mol() const { return record->M_g_mol; }
  bool condensed() const { return record->condensed; }
};

// Refuses a name the database does not hold, a species with an element no
// gaseous product of the database holds (no equilibrium could carry it), a
// temperature outside the record without the user's enthalpy, and a user's
// enthalpy where the record gives one.
Result<Reactant> resolve_reactant(const ReactantItem& item, const engine::SpeciesDatabase& db);

// The formula of a mixture's record from the composition its heading
// states, "Mole%:N2 78.084,O2 20.9476,Ar .9365,CO2 .0319." (Air): the
// formula field has six columns a number (Ar .00937, C .00032), the
// heading every digit (Ar .009365, C .000319); the report's examples with
// Air use the latter. The record's own formula where the heading states
// none, names a species `db` does not hold, or disagrees with the field
// beyond its rounding.
std::vector<engine::SpeciesRecord::Atoms> stated_formula(const engine::SpeciesRecord& record,
                                                         const engine::SpeciesDatabase& db);

// The enthalpy of a record with ranges at T_K (within them) [J/mol].
double record_enthalpy_J_mol(const engine::SpeciesRecord& record, double T_K, double R_J_molK);

}  // namespace zuna::reactants
