// One named reactant: the item's syntax and its refusals, and the
// resolution against the built-in records (temperatures, enthalpies, the
// stated composition of Air) with theirs.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "reactants/reactant.h"

namespace zuna::reactants {
namespace {

const engine::SpeciesDatabase& db() { return engine::builtin_species(); }

TEST(ParseReactant, ReadsNameTemperatureAndShare) {
  const struct {
    const char* text;
    const char* name;
    double T_K;  // 0: none
    double share;
    bool percent;
  } cases[] = {{"H2", "H2", 0, 0, false},
               {"H2(L)@20.27", "H2(L)", 20.27, 0, false},
               {"Air@300:79", "Air", 300, 79, false},
               {"Ar:90%", "Ar", 0, 90, true},
               {"C4H10,n-butane@300:1e-3", "C4H10,n-butane", 300, 1e-3, false}};
  for (const auto& c : cases) {
    const Result<ReactantItem> r = parse_reactant(Role::oxidant, c.text);
    ASSERT_TRUE(r.ok()) << c.text << ": " << r.refusal().message();
    const ReactantItem& item = r.value();
    EXPECT_EQ(item.name, c.name) << c.text;
    EXPECT_EQ(item.text, c.text);
    EXPECT_EQ(item.role, Role::oxidant);
    EXPECT_EQ(item.T_K.value_or(0.0), c.T_K) << c.text;
    EXPECT_EQ(item.share.value_or(0.0), c.share) << c.text;
    EXPECT_EQ(item.percent, c.percent) << c.text;
  }
}

TEST(ParseReactant, RefusesWhatIsNoItem) {
  const struct {
    const char* text;
    const char* says;
  } cases[] = {{"", "species name"},      {"@300", "species name"}, {"H2 O2", "without spaces"},
               {"H2@", "temperature"},    {"H2@-5", "temperature"}, {"H2@300K", "temperature"},
               {"H2@nan", "temperature"}, {"H2:", "share"},         {"H2:0", "share"},
               {"H2:-1", "share"},        {"H2:1%%", "share"},      {"H2:120%", "100"},
               {"H2:inf", "share"}};
  for (const auto& c : cases) {
    const Result<ReactantItem> r = parse_reactant(Role::diluent, c.text);
    ASSERT_FALSE(r.ok()) << c.text;
    EXPECT_EQ(r.refusal().subject, "diluent");
    EXPECT_EQ(r.refusal().item, c.text);
    EXPECT_NE(r.refusal().reason.find(c.says), std::string::npos)
        << c.text << ": " << r.refusal().message();
  }
}

Reactant resolved(const char* text, std::optional<double> h = std::nullopt) {
  Result<ReactantItem> item = parse_reactant(Role::fuel, text);
  EXPECT_TRUE(item.ok()) << text;
  item.value().h_J_mol = h;
  const Result<Reactant> r = resolve_reactant(item.value(), db());
  EXPECT_TRUE(r.ok()) << text << ": " << (r.ok() ? "" : r.refusal().message());
  return r.ok() ? r.value() : Reactant{};
}

TEST(ResolveReactant, TemperaturesAndEnthalpiesFromTheRecords) {
  // Gases without a temperature at 298.15 K, where the record's functions
  // give back the heat of formation the record states.
  for (const char* name : {"H2", "O2", "H2O", "CH4", "CO2", "N2", "Ar"}) {
    const Reactant r = resolved(name);
    EXPECT_EQ(r.T_K, 298.15) << name;
    EXPECT_NEAR(r.h_J_mol, r.record->h_formation_J_mol, 0.01) << name;
  }
  // Air's and helium's records start at 300 K: Air 1.85 K of its cp
  // (29.1 J/(mol K)) above its heat of formation.
  EXPECT_EQ(resolved("He").T_K, 300.0);
  const Reactant air = resolved("Air");
  EXPECT_EQ(air.T_K, 300.0);
  EXPECT_NEAR(air.h_J_mol, -125.530 + 1.85 * 29.1, 0.5);
  // Liquids recorded at one temperature, with the enthalpy there.
  const Reactant h2l = resolved("H2(L)"), o2l = resolved("O2(L)@90.17");
  EXPECT_EQ(h2l.T_K, 20.27);
  EXPECT_EQ(h2l.h_J_mol, -9012.0);
  EXPECT_EQ(o2l.h_J_mol, -12979.0);
  EXPECT_FALSE(h2l.h_from_user);
  // A condensed phase with ranges: liquid water at 298.15 K; steam at 500 K
  // 6.9 kJ/mol above its heat of formation (cp about 34.5 J/(mol K)).
  EXPECT_NEAR(resolved("H2O(L)").h_J_mol, -285830.0, 0.5);
  EXPECT_NEAR(resolved("H2O@500").h_J_mol - (-241826.0), 6920.0, 30.0);
  // The user's enthalpy where the record has none.
  const Reactant warm = resolved("H2(L)@25", -8900.0);
  EXPECT_EQ(warm.T_K, 25.0);
  EXPECT_EQ(warm.h_J_mol, -8900.0);
  EXPECT_TRUE(warm.h_from_user);
  EXPECT_EQ(resolved("H2@100", 5.0).h_J_mol, 5.0);
}

TEST(ResolveReactant, TheDatabasesLiquidsAreNotTheEnginesPreset) {
  // The preset `liquid` keeps its enthalpies; H2(L) and O2(L) by name take
  // the database's, as the report's examples do.
  EXPECT_EQ(engine::kLiquidH2_J_mol, -9016.0);
  EXPECT_EQ(engine::kLiquidO2_J_mol, -12984.0);
  EXPECT_EQ(db().find("H2(L)")->h_formation_J_mol, -9012.0);
  EXPECT_EQ(db().find("O2(L)")->h_formation_J_mol, -12979.0);
}

TEST(ResolveReactant, AirTakesTheCompositionItsRecordStates) {
  const Reactant air = resolved("Air");
  ASSERT_EQ(air.formula.size(), 4u);
  const struct {
    const char* element;
    double count;
  } expected[] = {
      {"N", 2 * 0.78084}, {"O", 2 * 0.209476 + 2 * 0.000319}, {"Ar", 0.009365}, {"C", 0.000319}};
  for (std::size_t k = 0; k < 4; ++k) {
    EXPECT_EQ(air.formula[k].element, expected[k].element);
    EXPECT_NEAR(air.formula[k].count, expected[k].count, 1e-15) << expected[k].element;
  }
  // A heading that disagrees with the formula field is not taken.
  engine::SpeciesRecord odd = *db().find("Air");
  odd.comment = "Mole%:N2 50,O2 50.";
  const auto f = stated_formula(odd, db());
  ASSERT_EQ(f.size(), 4u);
  EXPECT_EQ(f[2].count, 0.00937);
}

TEST(ResolveReactant, RefusesWhatTheDatabaseCannotGive) {
  engine::SpeciesDatabase with_xenon = db();
  engine::SpeciesRecord xe;
  xe.name = "Xe";
  xe.formula = {{"Xe", 1.0}};
  xe.M_g_mol = 131.29;
  xe.reactant_only = true;
  xe.T_assigned_K = 298.15;
  with_xenon.species.push_back(xe);
  const struct {
    const char* text;
    std::optional<double> h;
    const char* says;
  } cases[] = {{"H3", {}, "no species H3"},
               {"Xe", {}, "no product of the database holds Xe"},
               {"H2@100", {}, "outside the record of H2"},
               {"H2@30000", {}, "outside"},
               {"H2(L)@25", {}, "recorded at 20.27 K only"},
               {"H2O(cr)", {}, "give its temperature"},
               {"H2@300", -1.0, "the database gives the enthalpy"},
               {"O2(L)", -1.0, "the database gives the enthalpy"}};
  ReactantItem made_otherwise;
  made_otherwise.name = "O2";
  made_otherwise.share = -1.0;
  EXPECT_FALSE(resolve_reactant(made_otherwise, db()).ok());
  for (const auto& c : cases) {
    Result<ReactantItem> item = parse_reactant(Role::oxidant, c.text);
    ASSERT_TRUE(item.ok());
    item.value().h_J_mol = c.h;
    const Result<Reactant> r = resolve_reactant(item.value(), with_xenon);
    ASSERT_FALSE(r.ok()) << c.text;
    EXPECT_EQ(r.refusal().subject, "oxidant");
    EXPECT_EQ(r.refusal().item, c.text);
    EXPECT_NE(r.refusal().reason.find(c.says), std::string::npos) << r.refusal().message();
  }
}

}  // namespace
}  // namespace zuna::reactants
