// The options naming reactants and products, read through the equilibrium
// command's table: the lists of --only and --omit (';' between names, commas
// inside them), the items and their enthalpies, one mixture per ratio, and
// the combinations refused before any data is read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/equilibrium-options.h"
#include "commands/mixture-options.h"

namespace zuna {
namespace {

EquilibriumCommandLine parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "equilibrium");
  std::vector<char*> argv;
  for (std::string& a : arguments) {
    argv.push_back(a.data());
  }
  argv.push_back(nullptr);
  return parse_equilibrium_options(static_cast<int>(arguments.size()), argv.data());
}

TEST(MixtureOptions, ProductNamesAreSeparatedBySemicolonsAndKeepTheirCommas) {
  const EquilibriumCommandLine c =
      parse({"--only", " H2O ; C4H10,n-butane", "--only=OH", "--omit", "H2O(L);H2O(cr)"});
  ASSERT_TRUE(c.error.empty()) << c.error;
  const engine::ProductChoice& p = c.settings.mixture.products;
  EXPECT_EQ(p.only, (std::vector<std::string>{"H2O", "C4H10,n-butane", "OH"}));
  EXPECT_EQ(p.omit, (std::vector<std::string>{"H2O(L)", "H2O(cr)"}));
  EXPECT_TRUE(c.settings.general);
  for (const char* bad : {"--omit=;", "--only="}) {
    const EquilibriumCommandLine e = parse({bad});
    EXPECT_NE(e.error.find(std::string(bad).substr(0, 6)), std::string::npos) << bad << e.error;
  }
}

TEST(MixtureOptions, ItemsInOrderWithTheirEnthalpiesAndOneMixturePerRatio) {
  const EquilibriumCommandLine c =
      parse({"--fuel=H2(L)", "--oxidant", "O2@300:2", "--diluent=Ar:10%", "--fuel=CH4@500:1",
             "--enthalpy-of=H2(L)=-9000", "--by=mass", "--phi=0.5:2:4"});
  ASSERT_TRUE(c.error.empty()) << c.error;
  const MixtureOptions& m = c.settings.mixture;
  ASSERT_EQ(m.request.items.size(), 4u);
  EXPECT_EQ(m.request.items[0].name, "H2(L)");
  EXPECT_EQ(m.request.items[0].h_J_mol, -9000.0);
  EXPECT_FALSE(m.request.items[3].h_J_mol.has_value());
  EXPECT_EQ(m.request.items[1].role, reactants::Role::oxidant);
  EXPECT_EQ(*m.request.items[1].T_K, 300.0);
  EXPECT_TRUE(m.request.items[2].percent);
  EXPECT_EQ(m.request.by, reactants::ShareBasis::mass);
  EXPECT_EQ(m.ratio_option, kPhiOption);
  ASSERT_EQ(mixture_count(m), 4u);
  EXPECT_NEAR(m.ratios[3], 2.0, 1e-15);
  // --of of named reactants is their ratio; the amounts alone make one.
  const EquilibriumCommandLine of = parse({"--fuel=H2", "--oxidant=O2", "--of=4,8"});
  ASSERT_TRUE(of.error.empty()) << of.error;
  EXPECT_EQ(of.settings.mixture.ratio_option, kMixtureOfOption);
  EXPECT_EQ(mixture_count(of.settings.mixture), 2u);
  const EquilibriumCommandLine amounts = parse({"--fuel=H2(L):100", "--oxidant=O2(L):60"});
  ASSERT_TRUE(amounts.error.empty()) << amounts.error;
  EXPECT_EQ(mixture_count(amounts.settings.mixture), 1u);
  EXPECT_EQ(amounts.settings.mixture.ratio_option, 0);
}

TEST(MixtureOptions, CombinationsRefusedBeforeTheDataAreRead) {
  const struct {
    std::vector<std::string> arguments;
    const char* first_words;
  } cases[] = {
      {{"--fuel=H2", "--oxidant=O2", "--of=8", "--r-eq=1"}, "--of cannot be combined with --r-eq"},
      {{"--fuel=H2", "--oxidant=O2", "--fuel-pct=10", "--phi=1"}, "--phi cannot be combined with --fuel-pct"},
      {{"--r-eq=1"}, "--r-eq applies only"},
      {{"--by=mass"}, "--by applies only"},
      {{"--diluent=N2:0.5"}, "--diluent: a diluent alone"},
      {{"--fuel=H2", "--enthalpy-of=O2=1"}, "--enthalpy-of: 'O2'"},
      {{"--fuel=H2", "--enthalpy-of=H2"}, "--enthalpy-of: 'H2' is not"},
      {{"--fuel=H2@-3", "--oxidant=O2"}, "--fuel H2@-3: "},
      {{"--fuel=H2", "--oxidant=O2", "--rmin=0.5"}, "--rmin applies only to the presets"},
      {{"--fuel=H2", "--oxidant=O2", "--t-reactants=300"}, "--t-reactants applies only"},
      {{"--fuel=H2", "--oxidant=O2", "--problem=uv", "--t0=300", "--p0=1"}, "--t0 applies only"},
      {{"--fuel=H2", "--oxidant=O2", "--problem=sv", "--rho=1", "-p", "2"}, "--pressure does"},
      {{"--problem=tp", "--temperature=3000", "--enthalpy=3"}, "--enthalpy applies only"},
      {{"--problem=tv", "--temperature=3000"}, "--problem tv needs --rho"},
      {{"--problem=sp", "--entropy=1", "--mass-fractions", "--temperature=300"}, "--temperature"},
      {{"--only=H2O", "--data=zuna.dat"}, "--data holds the six gases"},
  };
  for (const auto& c : cases) {
    const EquilibriumCommandLine r = parse(c.arguments);
    EXPECT_EQ(r.error.rfind(c.first_words, 0), 0u) << c.arguments.front() << ": " << r.error;
  }
}

}  // namespace
}  // namespace zuna
