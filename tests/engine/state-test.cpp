// The one state: a state of another species set views the call's list and
// its amounts in the call's storage (copied out with copy_amounts), a state
// without values keeps what says why, and no two conditions share a flag.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <vector>

#include "engine/engine.h"

namespace zuna::engine {
namespace {

TEST(State, AnotherSpeciesSetLivesInTheCallsStorage) {
  const SpeciesInfo list[] = {{"H2O", 18.01528, zuna4::Phase::gas},
                              {"H2", 2.01588, zuna4::Phase::gas},
                              {"H2O(L)", 18.01528, zuna4::Phase::condensed}};
  std::vector<double> block = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0};  // two states of three
  State first, second;
  first.species = second.species = list;
  first.amounts_mol_kg = std::span(block).subspan(0, 3);
  second.amounts_mol_kg = std::span(block).subspan(3, 3);
  State kept = second;  // a copy shares the call's storage
  EXPECT_EQ(kept.amounts_mol_kg.data(), block.data() + 3);
  std::vector<double> own(3);
  copy_amounts(second, kept, own);
  block[4] = -1.0;  // the call reuses its storage
  EXPECT_EQ(kept.amounts_mol_kg[1], 5.0);
  EXPECT_EQ(kept.species.size(), 3u);
  EXPECT_EQ(kept.species[2].phase, zuna4::Phase::condensed);
  // Storage too small: only what fits is copied, and the view says so.
  std::vector<double> small(2);
  State partial;
  copy_amounts(first, partial, small);
  EXPECT_EQ(partial.amounts_mol_kg.size(), 2u);
  EXPECT_EQ(small[1], 2.0);
}

TEST(State, ClearedValuesKeepTheReasonAndTheSpeciesList) {
  const State flame_state = flame(builtin_nasa9_data(), Mixture{6.0, {}}, 1.0);
  ASSERT_TRUE(flame_state.has_values());
  EXPECT_TRUE(std::isnan(flame_state.transport.visc_Pa_s));  // not asked for
  EXPECT_FALSE(flame_state.transport.computed());
  const SpeciesInfo list[] = {{"H2O", 18.01528, zuna4::Phase::gas}};
  double amount = 3.0;
  State s = flame_state;
  s.species = list;
  s.amounts_mol_kg = std::span(&amount, 1);
  s.flags = kFloatingPoint;
  s.clear_values();
  EXPECT_EQ(s.flags, unsigned{kFloatingPoint});
  EXPECT_EQ(s.iterations, flame_state.iterations);
  EXPECT_EQ(s.species.size(), 1u);
  for (double v : {s.T_K, s.H_kJ_kg, s.M, s.son_vel_fr_m_s, s.x[5], s.n_mol_kg[0], amount}) {
    EXPECT_TRUE(std::isnan(v));
  }
  State f = flame_state;
  f.freeze_derivatives();
  EXPECT_EQ(f.son_vel_m_s, f.son_vel_fr_m_s);
  EXPECT_EQ(f.Cp_kJ_kgK, f.Cp_fr_kJ_kgK);
  EXPECT_EQ(f.dlnV_dlnP_T, -1.0);
}

TEST(State, EveryFlagIsOneBitOfItsOwn) {
  const unsigned all[] = {kNotConverged,   kExtrapolatedLow,     kExtrapolatedHigh, kBelowRange,
                          kAboveRange,     kFloatingPoint,       kSingular,         kNoSolution,
                          kCondensedPhase, kTransportIncomplete, kNoChapmanJouguet, kShockTooSlow,
                          kChamberFailed,  kThroatNotFound,      kExitNotFound,     kOptimumAtBound,
                          kNozzleSeparates};
  unsigned seen = 0;
  for (unsigned bit : all) {
    EXPECT_EQ(std::popcount(bit), 1) << bit;
    EXPECT_EQ(seen & bit, 0u) << bit << " is taken twice";
    seen |= bit;
  }
  // A state's conditions in the low half, those of problems on states above.
  EXPECT_EQ(seen & 0xFFFFu & (kChamberFailed | kNozzleSeparates), 0u);
  EXPECT_LT(unsigned{kShockTooSlow}, 1u << 16);
}

}  // namespace
}  // namespace zuna::engine
