// Mixtures of named reactants: one mixture reached by every ratio, the
// diluents' shares of the whole, the same elements and enthalpy as the
// engine's feed, and the refusals naming what is wrong.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "reactants/mixture.h"

namespace zuna::reactants {
namespace {

constexpr double kM_H2 = 2.01588, kM_O2 = 31.9988;
constexpr double kOFst = kM_O2 / (2.0 * kM_H2);  // H2 + O2/2 = H2O

struct Item {
  Role role;
  const char* text;
};

MixtureRequest spec_of(std::vector<Item> items, ShareBasis by = ShareBasis::moles) {
  MixtureRequest request;
  request.by = by;
  for (const Item& i : items) {
    Result<ReactantItem> item = parse_reactant(i.role, i.text);
    EXPECT_TRUE(item.ok()) << i.text;
    if (item.ok()) {
      request.items.push_back(item.value());
    }
  }
  return request;
}

Mixture made(const MixtureRequest& request) {
  const Result<Mixture> m = make_mixture(request, engine::builtin_species());
  EXPECT_TRUE(m.ok()) << (m.ok() ? "" : m.refusal().message());
  return m.ok() ? m.value() : Mixture{};
}

void expect_same_elements(const Mixture& a, const Mixture& b, double rel) {
  ASSERT_EQ(a.elements, b.elements);
  for (std::size_t i = 0; i < a.b_mol_kg.size(); ++i) {
    EXPECT_NEAR(a.b_mol_kg[i], b.b_mol_kg[i], rel * a.b_mol_kg[i]) << a.elements[i];
  }
  EXPECT_NEAR(a.h_kJ_kg, b.h_kJ_kg, rel * std::fabs(a.h_kJ_kg) + 1e-12);
}

TEST(MixtureRatios, OneMixtureByEveryRatio) {
  const std::vector<Item> h2_o2 = {{Role::fuel, "H2"}, {Role::oxidant, "O2"}};
  for (double phi : {0.3, 0.8, 1.0, 2.5}) {
    const double of = kOFst / phi;
    MixtureRequest by_of = spec_of(h2_o2), by_pct = by_of, by_phi = by_of, by_r = by_of;
    by_of.of = of;
    by_pct.fuel_pct = 100.0 / (1.0 + of);
    by_phi.phi = phi;
    by_r.r_eq = phi;  // no carbon: the valences of fuel and oxidant are one element each
    const Mixture m = made(by_of);
    for (const MixtureRequest* other : {&by_pct, &by_phi, &by_r}) {
      expect_same_elements(m, made(*other), 1e-14);
    }
    const MixtureDescription& d = made(by_phi).description;
    EXPECT_EQ(d.phi, phi);
    EXPECT_NEAR(d.of, of, 1e-14 * of);
    EXPECT_NEAR(d.r_eq, phi, 1e-14);
    EXPECT_NEAR(d.of_st, kOFst, 1e-14 * kOFst);
    EXPECT_NEAR(d.fuel_pct, 100.0 / (1.0 + of), 1e-12);
    // Rich above 1: the hydrogen atoms per oxygen atom, 2 phi.
    EXPECT_NEAR(m.b_mol_kg[0] / m.b_mol_kg[1], 2.0 * phi, 1e-14 * phi) << phi;
  }
}

TEST(MixtureRatios, SharesWithinARoleByMolesOrMass) {
  // A fuel of H2 and CH4 half and half by moles, and the same by mass: the
  // blend's carbon per hydrogen follows the basis.
  for (ShareBasis by : {ShareBasis::moles, ShareBasis::mass}) {
    MixtureRequest request =
        spec_of({{Role::fuel, "H2:1"}, {Role::fuel, "CH4:1"}, {Role::oxidant, "O2"}}, by);
    request.phi = 1.0;
    const Mixture m = made(request);
    ASSERT_EQ(m.elements, (std::vector<std::string>{"H", "O", "C"}));
    const double n_h2 = by == ShareBasis::moles ? 1.0 : 1.0 / kM_H2;
    const double n_ch4 = by == ShareBasis::moles ? 1.0 : 1.0 / 16.04246;
    EXPECT_NEAR(m.b_mol_kg[2] / m.b_mol_kg[0], n_ch4 / (2.0 * n_h2 + 4.0 * n_ch4), 1e-14);
    // Stoichiometric: the oxygen atoms burn every C to CO2 and H to H2O.
    EXPECT_NEAR(m.b_mol_kg[1], 2.0 * m.b_mol_kg[2] + 0.5 * m.b_mol_kg[0], 1e-12);
    EXPECT_NEAR(m.description.r_eq, 1.0, 1e-14);
  }
  // Percentages are the same shares.
  MixtureRequest pct =
      spec_of({{Role::fuel, "H2:25%"}, {Role::fuel, "CH4:75%"}, {Role::oxidant, "O2"}});
  MixtureRequest plain = spec_of({{Role::fuel, "H2:1"}, {Role::fuel, "CH4:3"}, {Role::oxidant, "O2"}});
  pct.of = plain.of = 3.0;
  expect_same_elements(made(pct), made(plain), 1e-15);
}

TEST(MixtureRatios, DiluentsAreFractionsOfTheWholeOutsideTheRatios) {
  // The report's example 7: H2, O2 and Ar 0.05, 0.05 and 0.90 by moles.
  const Mixture ex7 = made(
      spec_of({{Role::fuel, "H2:0.05"}, {Role::oxidant, "O2:0.05"}, {Role::diluent, "Ar:0.90"}}));
  const std::vector<double> x = {0.05, 0.05, 0.90};
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_NEAR(ex7.description.reactants[k].mole_fraction, x[k], 1e-15);
  }
  EXPECT_NEAR(ex7.description.of, kM_O2 / kM_H2, 1e-13);
  EXPECT_NEAR(ex7.description.phi, 0.5, 1e-15);
  expect_same_elements(
      ex7,
      made(spec_of({{Role::fuel, "H2:5%"}, {Role::oxidant, "O2:5%"}, {Role::diluent, "Ar:90%"}})),
      1e-15);
  // With a ratio: argon stays 90 % of the moles, H2 and O2 at phi = 1.
  MixtureRequest at_phi =
      spec_of({{Role::fuel, "H2"}, {Role::oxidant, "O2"}, {Role::diluent, "Ar:0.9"}});
  at_phi.phi = 1.0;
  const MixtureDescription d = made(at_phi).description;
  EXPECT_NEAR(d.reactants[2].mole_fraction, 0.9, 1e-15);
  EXPECT_NEAR(d.reactants[0].mole_fraction, 0.1 * 2.0 / 3.0, 1e-15);
  EXPECT_NEAR(d.of, kOFst, 1e-13);
  // By mass: nitrogen is half the mass.
  MixtureRequest by_mass = spec_of(
      {{Role::fuel, "H2"}, {Role::oxidant, "O2"}, {Role::diluent, "N2:50%"}}, ShareBasis::mass);
  by_mass.of = 8.0;
  const MixtureDescription dm = made(by_mass).description;
  EXPECT_NEAR(dm.reactants[2].mass_fraction, 0.5, 1e-15);
  EXPECT_NEAR(dm.reactants[0].mass_fraction, 0.5 / 9.0, 1e-15);
}

TEST(MixtureFeed, TheEngineFeedsTheSameElementsAndEnthalpy) {
  MixtureRequest request = spec_of({{Role::fuel, "CH4:20%"},
                              {Role::fuel, "H2:80%"},
                              {Role::oxidant, "Air"},
                              {Role::diluent, "He:0.1"}});
  request.phi = 0.7;
  const Mixture m = made(request);
  // A set over the same elements in another order.
  std::vector<std::string> elements(m.elements.rbegin(), m.elements.rend());
  const engine::ProductSet set = engine::select_products(engine::builtin_species(), elements);
  const engine::SetFeed feed = engine::feed_of(set, m.shares);
  const std::vector<double> b = m.b_for(set);
  for (std::size_t i = 0; i < b.size(); ++i) {
    EXPECT_NEAR(b[i], feed.b_mol_kg[i], 1e-13 * b[i]) << set.elements[i];
  }
  EXPECT_NEAR(m.h_kJ_kg, feed.h0_kJ_kg, 1e-12 * std::fabs(feed.h0_kJ_kg));
  // Every reactant a gas: u = h - R T per mole, at 298.15 K and Air's 300 K.
  double RT_n = 0.0;
  for (const MixtureEntry& e : m.description.reactants) {
    const double M = engine::builtin_species().find(e.name)->M_g_mol;
    RT_n += e.mass_fraction * 1000.0 / M * 8.314510 * e.T_K / 1000.0;
  }
  EXPECT_NEAR(m.u_kJ_kg, m.h_kJ_kg - RT_n, 1e-12);
  // A condensed reactant holds no R T.
  const Mixture liquid = made(spec_of({{Role::fuel, "H2(L)"}}));
  EXPECT_EQ(liquid.u_kJ_kg, liquid.h_kJ_kg);
  EXPECT_TRUE(std::isnan(liquid.description.of));
  EXPECT_TRUE(std::isnan(liquid.description.phi));
}

TEST(MixtureRefusals, EachNamesWhatIsWrong) {
  using Set = std::function<void(MixtureRequest&)>;
  const Set none = [](MixtureRequest&) {};
  const struct {
    std::vector<Item> items;
    Set ratio;
    const char* subject;
    const char* item;
    const char* says;
  } cases[] = {
      {{{Role::fuel, "H2"}, {Role::oxidant, "O2"}},
       [](MixtureRequest& s) { s.of = 8.0, s.phi = 1.0; },
       "phi",
       "",
       "of is given too"},
      {{{Role::fuel, "H2"}}, [](MixtureRequest& s) { s.phi = 1.0; }, "phi", "", "no oxidant"},
      {{{Role::oxidant, "O2"}}, [](MixtureRequest& s) { s.of = 1.0; }, "of", "", "no fuel"},
      {{{Role::diluent, "Ar:0.5"}}, none, "diluent", "Ar:0.5", "only reactant"},
      {{}, none, "fuel", "", "no reactants"},
      {{{Role::fuel, "H2"}, {Role::oxidant, "O2"}}, none, "fuel", "H2", "needs its share"},
      {{{Role::fuel, "H2:60%"}, {Role::fuel, "CH4:30%"}, {Role::oxidant, "O2"}},
       [](MixtureRequest& s) { s.of = 8.0; },
       "fuel",
       "",
       "sum to 90"},
      {{{Role::fuel, "H2:60%"}, {Role::fuel, "CH4:1"}, {Role::oxidant, "O2"}},
       [](MixtureRequest& s) { s.of = 8.0; },
       "fuel",
       "CH4:1",
       "all percentages or none"},
      {{{Role::fuel, "H2"}, {Role::oxidant, "O2:1"}, {Role::oxidant, "Air"}},
       [](MixtureRequest& s) { s.of = 8.0; },
       "oxidant",
       "Air",
       "share of each oxidant"},
      {{{Role::fuel, "H2:5%"}, {Role::oxidant, "O2:5%"}, {Role::diluent, "Ar:80%"}},
       none,
       "fuel",
       "",
       "sum to 90"},
      {{{Role::fuel, "H2"}, {Role::oxidant, "O2"}, {Role::diluent, "Ar:2"}},
       [](MixtureRequest& s) { s.of = 8.0; },
       "diluent",
       "Ar:2",
       "below 1"},
      {{{Role::fuel, "H2"},
        {Role::oxidant, "O2"},
        {Role::diluent, "Ar:60%"},
        {Role::diluent, "He:40%"}},
       [](MixtureRequest& s) { s.of = 8.0; },
       "diluent",
       "",
       "whole mixture"},
      {{{Role::fuel, "H2"}, {Role::oxidant, "O2"}, {Role::diluent, "Ar"}},
       [](MixtureRequest& s) { s.of = 8.0; },
       "diluent",
       "Ar",
       "needs its share"},
      {{{Role::fuel, "H2"}, {Role::oxidant, "O2"}},
       [](MixtureRequest& s) { s.fuel_pct = 100.0; },
       "fuel_pct",
       "",
       "between 0 and 100"},
      {{{Role::fuel, "H2"}, {Role::oxidant, "O2"}},
       [](MixtureRequest& s) { s.r_eq = -1.0; },
       "r_eq",
       "",
       "positive"},
      // Steam oxidises nothing in the sense of the valences: no O/F is stoichiometric.
      {{{Role::fuel, "H2"}, {Role::oxidant, "H2O"}},
       [](MixtureRequest& s) { s.phi = 1.0; },
       "phi",
       "",
       "no O/F"},
      {{{Role::fuel, "H2"}, {Role::oxidant, "O3(L)@90"}},
       [](MixtureRequest& s) { s.of = 8.0; },
       "oxidant",
       "O3(L)@90",
       "recorded at 161.85 K only"},
  };
  for (const auto& c : cases) {
    MixtureRequest request = spec_of(c.items);
    c.ratio(request);
    const Result<Mixture> m = make_mixture(request, engine::builtin_species());
    ASSERT_FALSE(m.ok()) << c.says;
    EXPECT_EQ(m.refusal().subject, c.subject) << m.refusal().message();
    EXPECT_EQ(m.refusal().item, c.item) << m.refusal().message();
    EXPECT_NE(m.refusal().reason.find(c.says), std::string::npos) << m.refusal().message();
  }
}

}  // namespace
}  // namespace zuna::reactants
