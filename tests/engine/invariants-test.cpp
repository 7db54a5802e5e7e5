// What every state of the Gibbs engine must satisfy, whatever the published
// tables say: the elements fed are those of the products, each reaction is
// at equilibrium, the Gibbs energy is at a minimum, the quantity each
// problem holds is held, and the analytic derivatives are the slopes of
// neighbouring equilibria.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/engine.h"

namespace zuna::engine {
namespace {

constexpr double kAtoms[kElementCount][kSpeciesCount] = {{2, 0, 2, 1, 0, 1}, {1, 2, 0, 0, 1, 1}};
// Four independent reactions, products minus reactants:
// H2O = H2 + O2/2, H2 = 2 H, O2 = 2 O, OH = O2/2 + H2/2.
constexpr double kReactions[4][kSpeciesCount] = {
    {-1, 0.5, 1, 0, 0, 0}, {0, 0, -1, 2, 0, 0}, {0, -1, 0, 0, 2, 0}, {0, 0.5, 0.5, 0, 0, -1}};

const ThermoData& data() { return builtin_nasa9_data(); }

// mu_j/RT of a point: g_j0/RT + ln x_j + ln(P/P0).
std::vector<double> potentials(const State& p) {
  const SpeciesFunctions f = species_functions(data(), p.T_K);
  std::vector<double> mu(kSpeciesCount);
  for (int j = 0; j < kSpeciesCount; ++j) {
    mu[j] = f.h_RT[j] - f.s0_R[j] + std::log(p.x[j]) + std::log(p.P_bar / data().p_ref_bar);
  }
  return mu;
}

void expect_equilibrium(const State& p, const Feed& feed, const char* what) {
  ASSERT_TRUE(p.converged()) << what << ", flags " << p.flags;
  for (int i = 0; i < kElementCount; ++i) {
    double b = 0.0;
    for (int j = 0; j < kSpeciesCount; ++j) {
      b += kAtoms[i][j] * p.n_mol_kg[j];
    }
    EXPECT_NEAR(b, feed.b_mol_kg[i], 1e-12 * feed.b_mol_kg[i]) << what << ", element " << i;
  }
  // Mass action: sum_j nu_j mu_j/RT = 0, i.e. the ratio of the amounts in
  // each law of mass action holds to 1e-12 relative.
  const std::vector<double> mu = potentials(p);
  for (const auto& nu : kReactions) {
    double r = 0.0;
    for (int j = 0; j < kSpeciesCount; ++j) {
      r += nu[j] * mu[j];
    }
    EXPECT_NEAR(r, 0.0, 1e-12) << what << ": a reaction off equilibrium";
  }
}

struct Case {
  double r;  // O/F over the stoichiometric O/F
  double p_atm;
};

std::vector<Case> grid() {
  std::vector<Case> cases;
  for (double r : {0.1, 0.25, 0.5, 1.0, 2.0, 5.0, 20.0, 40.0}) {
    for (double p : {1e-6, 1e-2, 1.0, 100.0, 1e5}) {
      cases.push_back({r, p});
    }
  }
  return cases;
}

Mixture gas_mixture(double r) {
  Reactants gas;
  gas.set = ReactantSet::gas;
  return Mixture{r * stoichiometric_of(data()), gas};
}

TEST(EngineInvariants, TpHoldsElementsAndMassAction) {
  for (const Case& c : grid()) {
    const Feed feed = feed_of(data(), gas_mixture(c.r));
    for (double T : {200.0, 500.0, 1500.0, 3000.0, 4500.0, 6000.0}) {
      Condition tp;
      tp.mode = Mode::TP;
      tp.T_K = T;
      tp.p_atm = c.p_atm;
      const State p = equilibrium(data(), feed, tp);
      expect_equilibrium(p, feed, "TP");
      EXPECT_EQ(p.T_K, T);
      EXPECT_NEAR(p.p_atm, c.p_atm, 1e-15 * c.p_atm);
    }
  }
}

TEST(EngineInvariants, HpHoldsEnthalpyAndSpEntropyAndUvEnergyAndVolume) {
  for (const Case& c : grid()) {
    const Feed feed = feed_of(data(), gas_mixture(c.r));
    const State hp = flame(data(), gas_mixture(c.r), c.p_atm);
    expect_equilibrium(hp, feed, "HP");
    const double nRT = hp.n_total_mol_kg * data().R_J_molK * hp.T_K / 1000.0;  // [kJ/kg]
    EXPECT_NEAR(hp.H_kJ_kg, feed.h0_kJ_kg, 1e-12 * nRT);

    // SP: the flame's entropy at a tenth of its pressure (ten times at the lowest).
    Condition sp;
    sp.mode = Mode::SP;
    sp.p_atm = c.p_atm > 1e-5 ? c.p_atm / 10.0 : c.p_atm * 10.0;
    sp.s_kJ_kgK = hp.S_kJ_kgK;
    const State s = equilibrium(data(), feed, sp, &hp);
    expect_equilibrium(s, feed, "SP");
    EXPECT_NEAR(s.S_kJ_kgK, hp.S_kJ_kgK, 1e-12 * std::fabs(hp.S_kJ_kgK));

    // UV: the flame's energy and volume give back the flame.
    Condition uv;
    uv.mode = Mode::UV;
    uv.u_kJ_kg = hp.U_kJ_kg;
    uv.v_m3_kg = 1.0 / hp.rho_kg_m3;
    const State u = equilibrium(data(), feed, uv);
    expect_equilibrium(u, feed, "UV");
    EXPECT_NEAR(u.U_kJ_kg, hp.U_kJ_kg, 1e-12 * nRT);
    EXPECT_NEAR(1.0 / u.rho_kg_m3, uv.v_m3_kg, 1e-12 * uv.v_m3_kg);
    EXPECT_NEAR(u.T_K, hp.T_K, 1e-10 * hp.T_K);
    EXPECT_NEAR(u.p_atm, hp.p_atm, 1e-10 * hp.p_atm);
  }
}

TEST(EngineInvariants, FrozenSolvesHoldTheirQuantityAtTheirComposition) {
  for (double r : {0.2, 1.0, 10.0}) {
    const State hot = flame(data(), gas_mixture(r), 50.0);
    const Composition c = composition_of(hot);
    // At the state's own h (or s) and p, the frozen solves give back its T.
    const State h = frozen_hp(data(), c, hot.H_kJ_kg, 50.0);
    const State s = frozen_sp(data(), c, hot.S_kJ_kgK, 50.0, 1000.0);
    ASSERT_TRUE(h.converged() && s.converged());
    EXPECT_NEAR(h.T_K, hot.T_K, 1e-12 * hot.T_K);
    EXPECT_NEAR(s.T_K, hot.T_K, 1e-12 * hot.T_K);
    // Expanded to a hundredth of the pressure at fixed composition, the
    // entropy is held and the amounts are those given.
    const State low = frozen_sp(data(), c, hot.S_kJ_kgK, 0.5, hot.T_K);
    ASSERT_TRUE(low.converged());
    EXPECT_NEAR(low.S_kJ_kgK, hot.S_kJ_kgK, 1e-12 * hot.S_kJ_kgK);
    EXPECT_LT(low.T_K, hot.T_K);
    for (int j = 0; j < kSpeciesCount; ++j) {
      EXPECT_NEAR(low.n_mol_kg[j], hot.n_mol_kg[j], 1e-15 * hot.n_mol_kg[j]);
    }
    // The frozen state at that T is that point.
    const State again = frozen_state(data(), c, low.T_K, 0.5);
    EXPECT_EQ(again.H_kJ_kg, low.H_kJ_kg);
    EXPECT_EQ(again.gamma_fr, low.gamma_fr);
  }
}

// G/RT of the amounts n + eps nu minus that of n, at fixed T and P, computed
// from the differences so that a change of second order is not lost:
// sum_j eps nu_j mu_j/RT + sum_j (n_j + eps nu_j) ln((x_j')/(x_j)).
double gibbs_change(const State& p, const std::vector<double>& mu, const double (&nu)[6],
                    double eps) {
  double dn = 0.0;
  for (int j = 0; j < kSpeciesCount; ++j) {
    dn += eps * nu[j];
  }
  const double n = p.n_total_mol_kg;
  double first = 0.0, second = 0.0;
  for (int j = 0; j < kSpeciesCount; ++j) {
    const double d = eps * nu[j];
    first += d * mu[j];
    second += (p.n_mol_kg[j] + d) * (std::log1p(d / p.n_mol_kg[j]) - std::log1p(dn / n));
  }
  return first + second;
}

TEST(EngineInvariants, GibbsEnergyIsAtItsMinimum) {
  for (double r : {0.5, 1.0, 2.0}) {
    for (double p_atm : {0.1, 1.0, 10.0}) {
      Condition tp;
      tp.mode = Mode::TP;
      tp.T_K = 3200.0;
      tp.p_atm = p_atm;
      const State p = equilibrium(data(), feed_of(data(), gas_mixture(r)), tp);
      ASSERT_TRUE(p.converged());
      const std::vector<double> mu = potentials(p);
      for (const auto& nu : kReactions) {
        double least = HUGE_VAL;
        for (int j = 0; j < kSpeciesCount; ++j) {
          if (nu[j] != 0.0) {
            least = std::min(least, p.n_mol_kg[j]);
          }
        }
        for (double sign : {-1.0, 1.0}) {
          EXPECT_GT(gibbs_change(p, mu, nu, sign * 1e-3 * least), 0.0)
              << "r " << r << ", p " << p_atm << ": a reaction step lowers G";
        }
      }
    }
  }
}

TEST(EngineInvariants, DerivativesAreTheSlopesOfNeighbouringEquilibria) {
  const double d = 1e-5;  // relative step of T and p
  for (double r : {0.5, 1.0, 3.0}) {
    for (double p_atm : {0.01, 1.0, 100.0}) {
      const Feed feed = feed_of(data(), gas_mixture(r));
      auto tp = [&](double T, double p) {
        Condition c;
        c.mode = Mode::TP;
        c.T_K = T;
        c.p_atm = p;
        return equilibrium(data(), feed, c);
      };
      const double T = 3000.0;
      const State mid = tp(T, p_atm);
      const State hot = tp(T * (1 + d), p_atm), cold = tp(T * (1 - d), p_atm);
      const State high = tp(T, p_atm * (1 + d)), low = tp(T, p_atm * (1 - d));
      const double lnv_hot = -std::log(hot.rho_kg_m3), lnv_cold = -std::log(cold.rho_kg_m3);
      const double cp = (hot.H_kJ_kg - cold.H_kJ_kg) / (2 * d * T);
      EXPECT_NEAR(mid.Cp_kJ_kgK, cp, 1e-7 * cp);
      EXPECT_NEAR(mid.dlnV_dlnT_P, (lnv_hot - lnv_cold) / (std::log1p(d) - std::log1p(-d)), 1e-8);
      EXPECT_NEAR(
          mid.dlnV_dlnP_T,
          (std::log(low.rho_kg_m3) - std::log(high.rho_kg_m3)) / (std::log1p(d) - std::log1p(-d)),
          1e-8);
      // gamma_s = (dln p/dln rho)_s, from SP solves about the point.
      Condition sp;
      sp.mode = Mode::SP;
      sp.s_kJ_kgK = mid.S_kJ_kgK;
      sp.p_atm = p_atm * (1 + d);
      const State up = equilibrium(data(), feed, sp, &mid);
      sp.p_atm = p_atm * (1 - d);
      const State down = equilibrium(data(), feed, sp, &mid);
      const double gamma_s =
          (std::log1p(d) - std::log1p(-d)) / (std::log(up.rho_kg_m3) - std::log(down.rho_kg_m3));
      EXPECT_NEAR(mid.gamma_s, gamma_s, 1e-7 * gamma_s);
      const double a = std::sqrt(mid.gamma_s * mid.P_bar * 1e5 / mid.rho_kg_m3);
      EXPECT_NEAR(mid.son_vel_m_s, a, 1e-12 * a);
    }
  }
}

}  // namespace
}  // namespace zuna::engine
