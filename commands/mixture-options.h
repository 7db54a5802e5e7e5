// The options that name a mixture from the species database and choose
// its products, for every command that takes named reactants: the
// reactants (--fuel, --oxidant, --diluent, each repeatable, each item
// NAME[@T_K][:share[%]]), the basis of their shares (--by), the mixture
// ratio (one of --of, --phi, --r-eq, --fuel-pct, each a list; none: the
// amounts alone) and the products (--only, --omit, names separated by
// ';'). Their table entries are defined here once; a command lists those it
// takes in its own table and hands each value to take_mixture_option.
//
// What the reactants' layer refuses (reactants/refusal.h) is worded here
// with the option that gave it: "--fuel H2(X): no species H2(X) in the
// data".
#pragma once

#include <optional>
#include <utility>
#include <span>
#include <string>
#include <vector>

#include "commands/option-table.h"
#include "engine/product-set.h"
#include "reactants/mixture.h"

namespace zuna {

// The ids of the mixture's options, apart from the commands' own ids.
enum MixtureOptionId : int {
  kFuelOption = 100,
  kOxidantOption,
  kDiluentOption,
  kByOption,
  kMixtureOfOption,
  kPhiOption,
  kREqOption,
  kFuelPctOption,
  kOnlyOption,
  kOmitOption,
  kEnthalpyOfOption,
};

inline constexpr OptionEntry kFuelEntry{
    .id = kFuelOption,
    .name = "fuel",
    .type = ValueType::text,
    .value = "ITEM",
    .help =
        "a fuel NAME[@T_K][:share] of the data (repeatable): H2,\n"
        "H2(L) (the data's -9012 J/mol at 20.27 K, not the preset\n"
        "liquid's -9016), CH4, ..."};
inline constexpr OptionEntry kOxidantEntry{
    .id = kOxidantOption,
    .name = "oxidant",
    .type = ValueType::text,
    .value = "ITEM",
    .help =
        "an oxidant, the same way (repeatable): O2, O2(L) (the\n"
        "data's -12979 J/mol at 90.17 K), Air, ..."};
inline constexpr OptionEntry kDiluentEntry{
    .id = kDiluentOption,
    .name = "diluent",
    .type = ValueType::text,
    .value = "ITEM",
    .help =
        "a diluent NAME[@T_K]:share (repeatable), its share a mole\n"
        "or mass fraction of the whole mixture: Ar:0.9, N2:20%"};
inline constexpr OptionEntry kByEntry{
    .id = kByOption,
    .name = "by",
    .type = ValueType::word,
    .value = "BASIS",
    .default_text = "moles",
    .help = "moles or mass: the basis of the shares ({default})",
    .choices = "moles,mass"};
inline constexpr OptionEntry kMixtureOfEntry{
    .id = kMixtureOfOption,
    .name = "of",
    .type = ValueType::list,
    .value = "LIST",
    .lowest = 0.0,
    .open_below = true,
    .range = "above 0",
    .help =
        "the O/F mass ratios of oxidant to fuel; values and\n"
        "FIRST:LAST:COUNT ranges in logarithmic steps",
    .column = "of",
    .example = "4,8 or 2:32:5"};
inline constexpr OptionEntry kPhiEntry{
    .id = kPhiOption,
    .name = "phi",
    .type = ValueType::list,
    .value = "LIST",
    .lowest = 0.0,
    .open_below = true,
    .range = "above 0",
    .help = "or equivalence ratios (O/F)st/(O/F), rich above 1",
    .column = "phi",
    .example = "1 or 0.3:3:10"};
inline constexpr OptionEntry kREqEntry{
    .id = kREqOption,
    .name = "r-eq",
    .type = ValueType::list,
    .value = "LIST",
    .lowest = 0.0,
    .open_below = true,
    .range = "above 0",
    .help =
        "or ratios of the positive to the negative valences,\n"
        "rich above 1",
    .column = "r_eq",
    .example = "1 or 0.5:2:5"};
inline constexpr OptionEntry kFuelPctEntry{
    .id = kFuelPctOption,
    .name = "fuel-pct",
    .type = ValueType::list,
    .value = "LIST",
    .lowest = 0.0,
    .highest = 100.0,
    .open_below = true,
    .range = "above {lo} and at most {hi}",
    .help =
        "or the fuel's mass percent of fuel and oxidant; none of\n"
        "these four: the reactants' shares are their amounts",
    .example = "11.19 or 5:50:4"};
inline constexpr OptionEntry kOnlyEntry{
    .id = kOnlyOption,
    .name = "only",
    .type = ValueType::text,
    .value = "NAMES",
    .help =
        "these products only, separated by ';' (otherwise every\n"
        "species of the data whose elements the reactants hold)"};
inline constexpr OptionEntry kOmitEntry{.id = kOmitOption,
                                      .name = "omit",
                                      .type = ValueType::text,
                                      .value = "NAMES",
                                      .help = "not these products, separated by ';'"};

inline constexpr OptionEntry kEnthalpyOfEntry{
    .id = kEnthalpyOfOption,
    .name = "enthalpy-of",
    .type = ValueType::text,
    .value = "NAME=H",
    .help =
        "the enthalpy [J/mol] of a named reactant at its temperature\n"
        "where the data have none (repeatable)"};

// The mixture options as given.
struct MixtureOptions {
  reactants::MixtureRequest request;  // the items and their basis; no ratio
  int ratio_option = 0;         // the id of the ratio given, 0 for none
  std::vector<double> ratios;   // its values
  engine::ProductChoice products;
  bool by_given = false;
  std::vector<std::pair<std::string, double>> enthalpies;  // --enthalpy-of NAME=J/mol

  bool named() const { return !request.items.empty(); }
  bool restricted() const { return !products.only.empty() || !products.omit.empty(); }
};

// Takes a mixture option's value into `m` (an item is parsed here, so that
// a bad item is a usage error of its option); false for any other option.
// Throws UsageError.
bool take_mixture_option(const OptionEntry& entry, OptionValue& value, MixtureOptions& m);

// After every option: without a fuel and an oxidant named, the defaults
// take their place (none when nullptr), stoichiometric (phi 1) unless a
// ratio is given; a diluent alone is refused; each --enthalpy-of goes to
// the items of its name (refused when it names none of them).
void finish_mixture_options(MixtureOptions& m, const char* default_fuel,
                            const char* default_oxidant);

// The header of results: the reactants as a JSON array ([{"name", "role",
// "T_K", "mole_fraction", "mass_fraction", "h_J_mol"}, ...]) and as the
// lines above a readable table.
std::string reactants_json(const reactants::MixtureDescription& d);
std::string reactants_text(const reactants::MixtureDescription& d);

// The number of mixtures: one per ratio value, or one.
std::size_t mixture_count(const MixtureOptions& m);

// The mixtures, one per ratio value (or the one by the amounts), resolved
// against `db`; a refusal is thrown as the UsageError of its option.
std::vector<reactants::Mixture> make_mixtures(const MixtureOptions& m,
                                              const engine::SpeciesDatabase& db);

// The products for the mixtures' elements; a refusal of the engine is the
// UsageError of --only (or --omit, or of the reactants when neither).
engine::ProductSet make_products(const MixtureOptions& m, const engine::SpeciesDatabase& db,
                                 const reactants::Mixture& mixture);

// The option of a refusal's subject: "fuel" -> "--fuel", "r_eq" -> "--r-eq".
std::string refusal_option(const std::string& subject);
// "--fuel H2(X): reason".
std::string refusal_line(const reactants::Refusal& r);

}  // namespace zuna
