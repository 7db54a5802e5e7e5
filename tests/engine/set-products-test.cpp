// The products of a calculation and the sets the solver refuses; the six
// gases against the fast path; the equilibrium derivatives against
// differences of neighbouring states; the state with no gas left.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "engine/engine.h"
#include "engine/set-solver.h"

namespace zuna::engine {
namespace {

const std::vector<std::string> kHO = {"H", "O"};

std::vector<std::string> names(const ProductSet& set) {
  std::vector<std::string> out;
  for (const SpeciesRecord* r : set.species) out.push_back(r->name);
  return out;
}

TEST(SetProducts, EveryProductOfTheReactantsElementsGasesFirstNoIons) {
  const ProductSet ho = select_products(builtin_species(), kHO);
  EXPECT_EQ(names(ho), (std::vector<std::string>{"H", "HO2", "H2", "H2O", "H2O2", "O", "OH", "O2",
                                                 "O3", "H2O(cr)", "H2O(L)"}));
  EXPECT_EQ(ho.gas_count, 9);
  EXPECT_EQ(ho.partner_above[ho.index_of("H2O(cr)")], ho.index_of("H2O(L)"));
  EXPECT_EQ(ho.partner_below[ho.index_of("H2O(L)")], ho.index_of("H2O(cr)"));
  const std::vector<std::string> air = {"N", "O", "Ar", "C", "H", "He"};
  const ProductSet all = select_products(builtin_species(), air);
  EXPECT_GT(all.size(), 150);
  for (const SpeciesRecord* r : all.species) {
    EXPECT_FALSE(r->reactant_only) << r->name;
    EXPECT_EQ(r->name.find('+'), std::string::npos);
    EXPECT_NE(r->name.back(), '-');
  }
  EXPECT_GE(all.index_of("C(gr)"), all.gas_count);
  EXPECT_GE(all.index_of("C4H10,n-butane"), 0);  // a name with a comma
  EXPECT_LT(all.index_of("Air"), 0);              // a reactant only
  // The reactants' records are there for the feed.
  ASSERT_NE(builtin_species().find("H2(L)"), nullptr);
  EXPECT_TRUE(builtin_species().find("H2(L)")->reactant_only);
}

TEST(SetProducts, OnlyAndOmitRestrictTheSet) {
  const ProductSet six =
      select_products(builtin_species(), kHO, {{"H2O", "O2", "H2", "H", "O", "OH"}, {}});
  EXPECT_EQ(six.size(), 6);
  EXPECT_EQ(six.gas_count, 6);
  const ProductSet dry = select_products(builtin_species(), kHO, {{}, {"H2O(L)", "H2O(cr)"}});
  EXPECT_EQ(dry.size(), 9);
  EXPECT_EQ(dry.index_of("H2O(L)"), -1);
}

TEST(SetProducts, SetsWithoutASolutionAreRefused) {
  const auto refused = [](const std::vector<std::string>& elements, const ProductChoice& choice) {
    EXPECT_THROW(select_products(builtin_species(), elements, choice), InputError);
  };
  refused(kHO, {{"H2O(L)"}, {}});           // no gas at all
  refused(kHO, {{"H2", "H", "H2O(L)"}, {}});  // O only in the liquid
  refused({"H", "O", "C"}, {{"H2", "H2O", "O2", "C(gr)"}, {}});  // C only condensed
  refused(kHO, {{"CO2", "H2O"}, {}});       // C not among the reactants' elements
  refused(kHO, {{"H2O", "Unobtainium"}, {}});
  refused(kHO, {{"Air"}, {}});              // a reactant only
  refused(kHO, {{}, {"Unobtainium"}});
  refused({"H", "O", "Xe"}, {});            // an element no product holds
  // The elements of the feed must all be present.
  const ProductSet ho = select_products(builtin_species(), kHO);
  SetSolver solver(ho);
  SetPoint p = solver.make_point();
  EXPECT_THROW(solver.solve(std::vector<double>{1.0, 0.0}, {SetProblem::tp, 1000.0, 1.0}, p), InputError);
  EXPECT_THROW(solver.solve(std::vector<double>{1.0}, {SetProblem::tp, 1000.0, 1.0}, p), InputError);
  EXPECT_THROW(solver.solve(std::vector<double>{1.0, 1.0}, {SetProblem::tp, 100.0, 1.0}, p), InputError);
  EXPECT_THROW(solver.solve(std::vector<double>{1.0, 1.0}, {SetProblem::tv, 1000.0, 0.0, -1.0}, p), InputError);
}

TEST(SetProducts, ASetReadFromAFileKeepsItsFormulasAndPhases) {
  std::istringstream in{std::string(builtin_species_text())};
  const SpeciesDatabase db = read_species(in, "copy");
  ASSERT_EQ(db.species.size(), builtin_species().species.size());
  const SpeciesRecord* ice = db.find("H2O(cr)");
  ASSERT_NE(ice, nullptr);
  EXPECT_TRUE(ice->condensed);
  EXPECT_EQ(ice->atoms_of("H"), 2.0);
  EXPECT_EQ(ice->atoms_of("O"), 1.0);
  EXPECT_EQ(ice->T_high_K(), 273.15);
  EXPECT_EQ(db.find("Ar")->atoms_of("Ar"), 1.0);  // "AR" in the file
}

// The six gases with `only` are the fast path's problem: the same state to
// 1e-9 relative in every quantity.
TEST(SetProducts, TheSixGasesReproduceTheFastPath) {
  const ThermoData& data = builtin_nasa9_data();
  const ProductSet six =
      select_products(builtin_species(), kHO, {{"H2O", "O2", "H2", "H", "O", "OH"}, {}});
  SetSolver solver(six);
  SetPoint q = solver.make_point();
  for (double of : {1.0, 4.0, 7.937, 16.0, 100.0}) {
    const Feed feed = feed_of(data, Mixture{of, {}});
    const std::vector<double> b = {feed.b_mol_kg[0], feed.b_mol_kg[1]};
    for (double p_atm : {0.01, 1.0, 200.0}) {
      const State hot = equilibrium(data, feed, {Mode::HP, 0.0, p_atm, feed.h0_kJ_kg});
      ASSERT_TRUE(hot.converged());
      Condition uv{Mode::UV};
      uv.u_kJ_kg = hot.U_kJ_kg;
      uv.v_m3_kg = 1.0 / hot.rho_kg_m3;
      Condition sp{Mode::SP, 0.0, p_atm / 30.0};
      sp.s_kJ_kgK = hot.S_kJ_kgK;
      for (const Condition& c : {Condition{Mode::TP, 2500.0, p_atm},
                                 Condition{Mode::HP, 0.0, p_atm, feed.h0_kJ_kg}, sp, uv}) {
        const State ref = equilibrium(data, feed, c);
        ASSERT_TRUE(ref.converged());
        SetCondition sc{c.mode == Mode::TP   ? SetProblem::tp
                        : c.mode == Mode::HP ? SetProblem::hp
                        : c.mode == Mode::SP ? SetProblem::sp
                                             : SetProblem::uv,
                        c.T_K, c.p_atm * kAtmBar, c.v_m3_kg, c.h_kJ_kg, c.u_kJ_kg, c.s_kJ_kgK};
        solver.solve(b, sc, q);
        ASSERT_TRUE(q.has_values());
        const auto near = [](double a, double r) { return std::fabs(a - r) <= 1e-9 * std::fabs(r); };
        const std::string at = "O/F " + std::to_string(of) + " p " + std::to_string(p_atm) +
                               " mode " + std::to_string(static_cast<int>(c.mode));
        for (const auto& [mine, theirs] :
             {std::pair{q.T_K, ref.T_K}, {q.P_bar, ref.P_bar}, {q.rho_kg_m3, ref.rho_kg_m3},
              {q.h_kJ_kg, ref.H_kJ_kg}, {q.u_kJ_kg, ref.U_kJ_kg}, {q.g_kJ_kg, ref.G_kJ_kg},
              {q.s_kJ_kgK, ref.S_kJ_kgK}, {q.M_g_mol, ref.M},
              {q.dlnV_dlnP_T, ref.dlnV_dlnP_T}, {q.dlnV_dlnT_P, ref.dlnV_dlnT_P},
              {q.cp_eq_kJ_kgK, ref.Cp_kJ_kgK}, {q.gamma_s, ref.gamma_s},
              {q.sound_speed_m_s, ref.son_vel_m_s}, {q.cp_fr_kJ_kgK, ref.Cp_fr_kJ_kgK},
              {q.gamma_fr, ref.gamma_fr}, {q.sound_speed_fr_m_s, ref.son_vel_fr_m_s}}) {
          EXPECT_PRED2(near, mine, theirs) << at;
        }
        for (int k = 0; k < kSpeciesCount; ++k) {
          const int j = six.index_of(species_name(k));
          EXPECT_NEAR(q.x[j], ref.x[k], 1e-9 * ref.x[k] + 1e-300) << at << " " << species_name(k);
        }
      }
    }
  }
}

// Cp, (dlnV/dlnT)_P, (dlnV/dlnP)_T and gamma_s against central differences
// of equilibrium states: one phase hot, and with liquid water present.
TEST(SetProducts, TheDerivativesAreThoseOfTheEquilibriumStates) {
  const ProductSet set = select_products(builtin_species(), kHO);
  SetSolver solver(set);
  SetPoint p = solver.make_point(), lo = solver.make_point(), hi = solver.make_point();
  const double of = 60.0 * 31.9988 / (100.0 * 2.01588);
  const std::vector<double> b = {2.0 * 1000.0 / 2.01588 / (1.0 + of),
                                 2.0 * 1000.0 * of / 31.9988 / (1.0 + of)};
  for (const auto& [T, P] : {std::pair{3500.0, 20.0}, {1500.0, 0.1}, {304.0, 0.05 * kAtmBar},
                             {290.0, 1.0}}) {
    solver.solve(b, {SetProblem::tp, T, P}, p);
    ASSERT_TRUE(p.has_values());
    const double e = 1e-5;
    solver.solve(b, {SetProblem::tp, T * (1 - e), P}, lo);
    solver.solve(b, {SetProblem::tp, T * (1 + e), P}, hi);
    const double dT = 2 * e * T;
    EXPECT_NEAR(p.cp_eq_kJ_kgK, (hi.h_kJ_kg - lo.h_kJ_kg) / dT, 1e-4 * p.cp_eq_kJ_kgK) << T;
    EXPECT_NEAR(p.dlnV_dlnT_P, -std::log(hi.rho_kg_m3 / lo.rho_kg_m3) / (2 * e),
                1e-4 * p.dlnV_dlnT_P)
        << T;
    solver.solve(b, {SetProblem::tp, T, P * (1 - e)}, lo);
    solver.solve(b, {SetProblem::tp, T, P * (1 + e)}, hi);
    EXPECT_NEAR(p.dlnV_dlnP_T, -std::log(hi.rho_kg_m3 / lo.rho_kg_m3) / (2 * e),
                1e-4 * std::fabs(p.dlnV_dlnP_T))
        << T;
    SetCondition s_lo{SetProblem::sp, 0.0, P * (1 - e)}, s_hi{SetProblem::sp, 0.0, P * (1 + e)};
    s_lo.s_kJ_kgK = s_hi.s_kJ_kgK = p.s_kJ_kgK;
    solver.solve(b, s_lo, lo);
    solver.solve(b, s_hi, hi);
    EXPECT_NEAR(p.gamma_s, std::log(hi.P_bar / lo.P_bar) / std::log(hi.rho_kg_m3 / lo.rho_kg_m3),
                1e-4 * p.gamma_s)
        << T;
  }
}

// The adapter to the one state type: the names of the columns, the
// amounts in the caller's storage, the six products where the set has them.
TEST(SetProducts, APointBecomesAStateWithItsAmountsInTheCallersStorage) {
  const ProductSet set = select_products(builtin_species(), kHO);
  const std::vector<SpeciesInfo> list = species_info(set);
  ASSERT_EQ(list.size(), 11u);
  EXPECT_STREQ(list[set.index_of("H2O(L)")].name, "H2O(L)");
  EXPECT_EQ(list[set.index_of("H2O(L)")].phase, zuna4::Phase::condensed);
  SetSolver solver(set);
  SetPoint p = solver.make_point();
  solver.solve(std::vector<double>{100.0, 60.0}, {SetProblem::tp, 300.0, 0.05}, p);
  ASSERT_TRUE(p.flags & kCondensedPhase);
  std::vector<double> storage(11, -1.0);
  State state;
  to_state(p, set, list, storage, state);
  EXPECT_EQ(state.T_K, 300.0);
  EXPECT_EQ(state.H_kJ_kg, p.h_kJ_kg);
  EXPECT_EQ(state.Cp_kJ_kgK, p.cp_eq_kJ_kgK);
  EXPECT_EQ(state.M, p.M_g_mol);
  EXPECT_EQ(state.amounts_mol_kg.data(), storage.data());
  EXPECT_EQ(state.amounts_mol_kg[set.index_of("H2O(L)")], p.n_mol_kg[set.index_of("H2O(L)")]);
  EXPECT_EQ(state.n_mol_kg[kH2O], p.n_mol_kg[set.index_of("H2O")]);
  EXPECT_NEAR(state.x[kH2O] + state.x[kO2], 1.0, 1e-12);  // of the gas
  EXPECT_TRUE(state.flags & kCondensedPhase);
  std::vector<double> small(3);
  EXPECT_THROW(to_state(p, set, list, small, state), InputError);
}

TEST(SetProducts, AStateWithNoGasLeftHasNoValues) {
  const ProductSet set =
      select_products(builtin_species(), kHO, {{"H2O", "H2", "O2", "H2O(L)"}, {}});
  SetSolver solver(set);
  SetPoint p = solver.make_point();
  // Water and nothing else, at 1 atm and 300 K: all of it liquid.
  solver.solve(std::vector<double>{2.0, 1.0}, {SetProblem::tp, 300.0, 1.0}, p);
  EXPECT_FALSE(p.has_values());
  EXPECT_TRUE(p.flags & kNoGasPhase);
  EXPECT_TRUE(std::isnan(p.T_K));
  EXPECT_TRUE(std::isnan(p.x[0]));
  // The same water at 400 K is steam.
  solver.solve(std::vector<double>{2.0, 1.0}, {SetProblem::tp, 400.0, 1.0}, p);
  EXPECT_TRUE(p.has_values());
  EXPECT_FALSE(p.flags & kCondensedPhase);
}

}  // namespace
}  // namespace zuna::engine
