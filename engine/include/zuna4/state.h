// The state of a gas mixture: what the equilibrium engine computes, what a
// rocket station carries and what the zuna4 library and the Python module
// hand their callers. One type for all of them: zuna4::State is
// zuna::engine::State. Published with the library (include/zuna4/).
//
// Names. A field is named like its column in the CSV and JSON files of
// `zuna4c equilibrium` and `zuna4c rocket` (T_K, H_kJ_kg, son_vel_m_s, M),
// with its unit in the name; per unit mass like the NASA Glenn tables: H, U,
// G in kJ/kg, S and Cp in kJ/(kg K), M in g/mol, amounts in mol/kg.
//
// Species. The amounts of the six products of the built-in set (H2O, O2,
// H2, H, O, OH: species order, indices 0..5, the enum Species) are held in
// the state itself (x, y, n_mol_kg), so that a state of the built-in set is
// a plain value, copied without an allocation. A solver of another set of
// species (any number, condensed ones included) fills a state so:
//   - `species` views the call's species list: one list for every state of
//     the call, owned by the call (its result or its caller) and alive as
//     long as the states;
//   - `amounts_mol_kg` views this state's amounts, species.size() of them
//     in the list's order, in storage that the call provides (a block of
//     points x species doubles of its result, or the caller's buffer): no
//     state allocates;
//   - x, y and n_mol_kg still hold the six products of the built-in set, as
//     found in the list (0 for one the list lacks); x are fractions of the
//     gas, y of the whole mass; n_total_mol_kg is the gas's total, the
//     moles that M, rho and the sound speeds are of;
//   - a condensed species present sets kCondensedPhase.
// A copy of a state shares its amounts' storage: copy_amounts() keeps them
// beyond the call.
//
// Transport. `transport` is filled only by a call that asks for it; its
// values are NaN otherwise.
//
// Flags. One enum, StateFlag, holds every bit of the `flags` columns of the
// states and of the rocket's stations, so that no two conditions share a
// bit; a bit once given is never given again.
#pragma once

#include <cmath>
#include <cstddef>
#include <limits>
#include <span>

namespace zuna4 {

// ---------------------------------------------------------------------------
// Species of the built-in set

inline constexpr int kSpeciesCount = 6;
enum Species : int { kH2O = 0, kO2 = 1, kH2 = 2, kH = 3, kO = 4, kOH = 5 };

// One species of a call's list.
enum class Phase : unsigned char { gas, condensed };
struct SpeciesInfo {
  const char* name = "";  // as in the NASA Glenn records ("H2O", "H2O(L)")
  double M_g_mol = 0.0;   // molar mass
  Phase phase = Phase::gas;
};

// ---------------------------------------------------------------------------
// Reactants

// Liquid H2 and O2 with the enthalpies of the NASA Glenn tables (-9016 and
// -12984 J/mol), both gases at T_K (enthalpy from the data), or enthalpies
// given by the caller.
enum class ReactantSet { liquid, gas, custom };
struct Reactants {
  ReactantSet set = ReactantSet::liquid;
  double T_K = 298.15;             // gas: temperature of both reactants, 200-6000 K
  double h_fuel_J_mol = -9016.0;   // custom: enthalpy of H2
  double h_oxid_J_mol = -12984.0;  // custom: enthalpy of O2

  [[deprecated("the field set")]] ReactantSet state() const { return set; }
  [[deprecated("the field T_K")]] double T_gas_K() const { return T_K; }
};

// ---------------------------------------------------------------------------
// Flags

// Why a state or a station is not a plain converged result, one bit each.
// Bits 0-15 are conditions of a state, bits 16-31 of a problem built on
// states (a rocket's stations, a detonation, a shock). The extrapolation
// bits, kCondensedPhase, kTransportIncomplete and kNozzleSeparates come with
// values; every other bit of a state comes with kNoSolution and NaN values.
enum StateFlag : unsigned {
  kNotConverged = 1u << 0,         // the Newton steps ran out before convergence
  kExtrapolatedLow = 1u << 1,      // T in 100..200 K: the lowest range extrapolated
  kExtrapolatedHigh = 1u << 2,     // T in 6000..6500 K: the highest range extrapolated
  kBelowRange = 1u << 3,           // T lies (or the steps stay) below 100 K
  kAboveRange = 1u << 4,           // T lies (or the steps stay) above 6500 K
  kFloatingPoint = 1u << 5,        // an invalid operation, division by zero or overflow
  kSingular = 1u << 6,             // the Newton system had no solution
  kNoSolution = 1u << 7,           // the state has no values
  kCondensedPhase = 1u << 8,       // a condensed species is present in the state
  kTransportIncomplete = 1u << 9,  // transport asked for, a species' data missing:
                                   // the transport values are NaN
  kNoChapmanJouguet = 1u << 10,    // a detonation without a Chapman-Jouguet solution
  kShockTooSlow = 1u << 11,        // a shock slower than the slowest one with a solution
  kNoGasPhase = 1u << 12,          // every mole condensed: no gas, no state (with kNoSolution)
  kPhasePair = 1u << 13,           // two phases of one substance at their transition
                                   // temperature (ice and liquid water at 273.15 K)

  kChamberFailed = 1u << 16,    // the chamber has no valid state: nothing downstream
  kThroatNotFound = 1u << 17,   // no sonic point found: the throat and every exit
                                // (which all need its mass flux or state) are NaN
  kExitNotFound = 1u << 18,     // no pressure down to the engine's lowest (1e-6 atm),
                                // or to where the gas leaves the engine's range,
                                // gives the area ratio asked for
  kOptimumAtBound = 1u << 19,   // best O/F: the highest value lies at an end of the
                                // interval searched, not at a maximum inside it (on
                                // the station of that optimum, Isp or Ivac)
  kNozzleSeparates = 1u << 20,  // the flow likely separates from the nozzle's wall
                                // before this exit
};

// The bits' names and meanings, for the bindings that name them (Python's
// zuna4.Flags): each enumerator without its k, in capitals.
struct StateFlagName {
  StateFlag flag;
  const char* name;
  const char* meaning;
};
inline constexpr StateFlagName kStateFlagNames[] = {
    {kNotConverged, "NOT_CONVERGED",
     "the Newton steps ran out before convergence"},
    {kExtrapolatedLow, "EXTRAPOLATED_LOW",
     "T in 100..200 K: the lowest range extrapolated"},
    {kExtrapolatedHigh, "EXTRAPOLATED_HIGH",
     "T in 6000..6500 K: the highest range extrapolated"},
    {kBelowRange, "BELOW_RANGE",
     "T lies (or the steps stay) below 100 K"},
    {kAboveRange, "ABOVE_RANGE",
     "T lies (or the steps stay) above 6500 K"},
    {kFloatingPoint, "FLOATING_POINT",
     "an invalid operation, division by zero or overflow"},
    {kSingular, "SINGULAR",
     "the Newton system had no solution"},
    {kNoSolution, "NO_SOLUTION",
     "the state has no values (NaN)"},
    {kCondensedPhase, "CONDENSED_PHASE",
     "a condensed species is present in the state"},
    {kTransportIncomplete, "TRANSPORT_INCOMPLETE",
     "transport asked for, a species' data missing"},
    {kNoChapmanJouguet, "NO_CHAPMAN_JOUGUET",
     "a detonation without a Chapman-Jouguet solution"},
    {kShockTooSlow, "SHOCK_TOO_SLOW",
     "a shock slower than the slowest one with a solution"},
    {kChamberFailed, "CHAMBER_FAILED",
     "the chamber has no valid state: nothing downstream"},
    {kThroatNotFound, "THROAT_NOT_FOUND",
     "no sonic point found: the throat and every exit are NaN"},
    {kExitNotFound, "EXIT_NOT_FOUND",
     "no pressure in the engine's range gives the area ratio asked for"},
    {kOptimumAtBound, "OPTIMUM_AT_BOUND",
     "best O/F: the highest value lies at an end of the interval"},
    {kNozzleSeparates, "NOZZLE_SEPARATES",
     "the flow likely separates from the nozzle's wall before this exit"},
};

// ---------------------------------------------------------------------------
// Transport properties

// Viscosity, thermal conductivities and Prandtl numbers of a state, with
// the reacting (equilibrium) and the frozen contributions; NaN when not
// computed.
struct Transport {
  static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  double visc_Pa_s = kNone;
  double cond_W_mK = kNone;     // equilibrium
  double Pr = kNone;            // equilibrium
  double cond_fr_W_mK = kNone;  // frozen
  double Pr_fr = kNone;         // frozen

  bool computed() const { return !std::isnan(visc_Pa_s); }
};

// ---------------------------------------------------------------------------
// The state

// One state, per unit mass. For an equilibrium state the equilibrium
// properties are those of the shifting composition and the frozen ones hold
// the composition fixed. For a state of a fixed composition (a frozen
// expansion) the equilibrium derivatives are those of the fixed
// composition: dlnV_dlnP_T = -1, dlnV_dlnT_P = 1, Cp = Cp_fr, gamma_s =
// gamma_fr, son_vel = son_vel_fr.
struct State {
  double P_bar = 0.0;
  double p_atm = 0.0;
  double T_K = 0.0;
  double rho_kg_m3 = 0.0;
  double H_kJ_kg = 0.0;
  double U_kJ_kg = 0.0;
  double G_kJ_kg = 0.0;
  double S_kJ_kgK = 0.0;
  double M = 0.0;  // mean molar mass [g/mol] = 1000 / n_total_mol_kg
  double dlnV_dlnP_T = 0.0;
  double dlnV_dlnT_P = 0.0;
  double Cp_kJ_kgK = 0.0;               // equilibrium (shifting) heat capacity
  double gamma_s = 0.0;                 // isentropic exponent (dln p / dln rho)_s
  double son_vel_m_s = 0.0;             // equilibrium sound speed
  double Cp_fr_kJ_kgK = 0.0;            // frozen heat capacity
  double gamma_fr = 0.0;                // frozen Cp / Cv
  double son_vel_fr_m_s = 0.0;          // frozen sound speed
  double x[kSpeciesCount] = {};         // mole fractions, the built-in six
  double y[kSpeciesCount] = {};         // mass fractions, the built-in six
  double n_mol_kg[kSpeciesCount] = {};  // amounts per kg of mixture, the built-in six
  double n_total_mol_kg = 0.0;          // the gas's total amount

  // Another set of species (see the top of this header); empty for the
  // built-in six.
  std::span<const SpeciesInfo> species;  // the call's list, shared
  std::span<double> amounts_mol_kg;      // this state's, in the call's storage

  Transport transport;  // NaN unless asked for

  int iterations = 0;  // Newton steps taken
  unsigned flags = 0;  // StateFlag bits

  bool has_values() const { return (flags & kNoSolution) == 0; }
  bool converged() const { return (flags & (kNotConverged | kNoSolution)) == 0; }

  // Every value NaN (the amounts in the call's storage and the transport
  // included); flags, iterations and the species list kept.
  void clear_values() {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    for (double* v : {&P_bar, &p_atm, &T_K, &rho_kg_m3, &H_kJ_kg, &U_kJ_kg, &G_kJ_kg, &S_kJ_kgK, &M,
                      &dlnV_dlnP_T, &dlnV_dlnT_P, &Cp_kJ_kgK, &gamma_s, &son_vel_m_s, &Cp_fr_kJ_kgK,
                      &gamma_fr, &son_vel_fr_m_s, &n_total_mol_kg}) {
      *v = nan;
    }
    for (int j = 0; j < kSpeciesCount; ++j) {
      n_mol_kg[j] = x[j] = y[j] = nan;
    }
    for (double& n : amounts_mol_kg) {
      n = nan;
    }
    transport = Transport{};
  }

  // The equilibrium derivatives of a fixed composition, the convention of
  // a frozen state (see above), from its frozen values.
  void freeze_derivatives() {
    dlnV_dlnT_P = 1.0;
    dlnV_dlnP_T = -1.0;
    Cp_kJ_kgK = Cp_fr_kJ_kgK;
    gamma_s = gamma_fr;
    son_vel_m_s = son_vel_fr_m_s;
  }

  // The names before the state was one type (the engine's), for one release.
  [[deprecated("H_kJ_kg")]] double h_kJ_kg() const { return H_kJ_kg; }
  [[deprecated("U_kJ_kg")]] double u_kJ_kg() const { return U_kJ_kg; }
  [[deprecated("G_kJ_kg")]] double g_kJ_kg() const { return G_kJ_kg; }
  [[deprecated("S_kJ_kgK")]] double s_kJ_kgK() const { return S_kJ_kgK; }
  [[deprecated("M")]] double M_g_mol() const { return M; }
  [[deprecated("Cp_kJ_kgK")]] double cp_eq_kJ_kgK() const { return Cp_kJ_kgK; }
  [[deprecated("son_vel_m_s")]] double sound_speed_m_s() const { return son_vel_m_s; }
  [[deprecated("Cp_fr_kJ_kgK")]] double cp_fr_kJ_kgK() const { return Cp_fr_kJ_kgK; }
  [[deprecated("son_vel_fr_m_s")]] double sound_speed_fr_m_s() const { return son_vel_fr_m_s; }
};

// Copies the amounts of `from` (those of another set, when it has them) to
// `storage` and points `to` at them: a state kept beyond the call whose
// storage held them. storage.size() must be at least from.species.size().
inline void copy_amounts(const State& from, State& to, std::span<double> storage) {
  to.species = from.species;
  const std::size_t n = from.species.size();
  for (std::size_t j = 0; j < n && j < storage.size(); ++j) {
    storage[j] = from.amounts_mol_kg[j];
  }
  to.amounts_mol_kg = storage.first(n < storage.size() ? n : storage.size());
}

}  // namespace zuna4
