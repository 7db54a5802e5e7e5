// Chemical equilibrium of the H2/O2 products H2O, O2, H2, H, O, OH (ideal
// gas) by minimisation of the Gibbs energy: element potentials and Newton
// steps on the logarithms of the amounts, as published by Gordon and McBride
// (NASA RP-1311, 1994), with the equilibrium derivatives (Cp, gamma_s, sound
// speed) computed analytically from the converged state.
//
// Units. Every value that crosses this interface carries its unit in its
// name. Per unit mass like the NASA Glenn tables: h, u, g in kJ/kg, s and cp
// in kJ/(kg K), amounts n in mol/kg. Pressures handed in are in atm
// (1 atm = 1.01325 bar); a point gives both P_bar and p_atm.
//
// Species order everywhere: 0 H2O, 1 O2, 2 H2, 3 H, 4 O, 5 OH.
//
// The state a solve gives, the reactants and the flags are the library's
// public types (zuna4/state.h), named here too.
//
// Errors. An input outside the engine's range (O/F, p, T, a data file that
// cannot be used) throws InputError, whose message names the argument. A
// point that cannot be computed is not an exception: it comes back with flags
// saying why, and a point flagged kNoSolution has every value NaN.
//
// Floating point. Every call leaves the floating-point exception flags as it
// found them; an invalid operation, division by zero or overflow inside a
// solve becomes kFloatingPoint on the point (underflow of a trace amount is
// harmless and not reported).
//
// Threads. No call keeps state between calls; the built-in data are parsed
// once, on first use, thread-safely. Two threads may compute at once.
#pragma once

#include <cstddef>
#include <istream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "zuna4/state.h"

namespace zuna::engine {

using zuna4::kSpeciesCount;
using zuna4::Species;
using zuna4::SpeciesInfo;
using enum zuna4::Species;
inline constexpr int kElementCount = 2;  // 0 H, 1 O

// The species' names in species order: "H2O", "O2", "H2", "H", "O", "OH".
const char* species_name(int j);

// An input the engine refuses; the message names the argument and its range.
class InputError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// ---------------------------------------------------------------------------
// Species data

// One temperature range in the NASA 9-coefficient form (exponents -2..4):
//   cp/R   = a1 T^-2 + a2 T^-1 + a3 + a4 T + a5 T^2 + a6 T^3 + a7 T^4
//   H/(RT) = -a1 T^-2 + a2 ln(T)/T + a3 + a4 T/2 + a5 T^2/3 + a6 T^3/4
//            + a7 T^4/5 + b1/T
//   S/R    = -a1 T^-2/2 - a2/T + a3 ln T + a4 T + a5 T^2/2 + a6 T^3/3
//            + a7 T^4/4 + b2
// A 7-coefficient range (a1..a7 of the program's data file) is this form
// with a1 = a2 = 0, a3..a7 = its a1..a5, b1 = its a6, b2 = its a7.
struct PolyRange {
  double T_low_K = 0.0, T_high_K = 0.0;
  double a[7] = {};
  double b1 = 0.0;  // [K]
  double b2 = 0.0;
};

// Ranges of one species, ordered and contiguous, together covering at least
// 200-6000 K. Only ranges that begin below 6000 K are kept: above 6000 K and
// below 200 K the nearest range is extrapolated (see the flags).
struct SpeciesPoly {
  double M_g_mol = 0.0;  // molar mass [g/mol]
  int range_count = 0;
  PolyRange range[3];
};

// The data of the six species for one calculation.
struct ThermoData {
  SpeciesPoly species[kSpeciesCount];
  double R_J_molK = 8.314510;  // gas constant the coefficients were made with
  double p_ref_bar = 1.0;      // pressure of the standard state [bar]
  std::string source;          // what the data are, for reports
};

// The NASA Glenn 9-coefficient records of the six species (standard state
// 1 bar, R = 8.314510 J/(mol K)), compiled into the library at build time and
// parsed on first use. With these the engine reproduces NASA CEA 3.0.
const ThermoData& builtin_nasa9_data();

// The text those records are parsed from, byte for byte as compiled in (the
// program's data/nasa9-h2o2.inp): for a digest that names the data of a
// result, or a copy of them. Valid for the life of the program.
std::string_view builtin_nasa9_text();

// Another file of NASA 9-coefficient records; it must hold the six species.
// `name` is used in the messages. Throws InputError naming the line.
ThermoData read_nasa9_data(std::istream& in, const std::string& name);

// The program's 7-coefficient data file (six blocks of 22 records, the
// layout of zuna.dat; standard state 1 atm, R = 8.31451 J/(mol K)).
// Throws InputError naming the record.
ThermoData read_data7(std::istream& in, const std::string& name);

// Dimensionless functions of every species at one temperature, from the
// range that holds T (the nearest range outside the data).
struct SpeciesFunctions {
  double cp_R[kSpeciesCount];
  double h_RT[kSpeciesCount];
  double s0_R[kSpeciesCount];  // at the standard-state pressure of the data
};
SpeciesFunctions species_functions(const ThermoData& data, double T_K);

// ---------------------------------------------------------------------------
// Problem

// How the reactants enter (zuna4::Reactants): liquid H2 and O2 with the
// enthalpies of the NASA Glenn tables, gases at T_K (enthalpy from the
// data), or enthalpies given by the caller.
using zuna4::ReactantSet;
using zuna4::Reactants;
inline constexpr double kLiquidH2_J_mol = -9016.0;
inline constexpr double kLiquidO2_J_mol = -12984.0;

// The mixture fed: O/F mass ratio [kg O2 per kg H2]. Accepted from 0.1 to 40
// times the stoichiometric value (half the ratio of the molar masses).
struct Mixture {
  double of = 0.0;
  Reactants reactants;
};

// Elements of one kilogram of mixture and the enthalpy it enters with.
struct Feed {
  double b_mol_kg[kElementCount] = {};  // moles of H and O atoms per kg
  double h0_kJ_kg = 0.0;                // enthalpy of the reactants [kJ/kg]
};

double stoichiometric_of(const ThermoData& data);
// Throws InputError when of or the reactants are out of range.
Feed feed_of(const ThermoData& data, const Mixture& mixture);

// What is held fixed. TP: T_K and p_atm; HP: h_kJ_kg and p_atm; SP: s_kJ_kgK
// and p_atm; UV: u_kJ_kg and v_m3_kg. Accepted: p 1e-6..1e5 atm, T 200..6000 K.
enum class Mode { TP, HP, SP, UV };
struct Condition {
  Mode mode = Mode::TP;
  double T_K = 0.0;
  double p_atm = 0.0;
  double h_kJ_kg = 0.0;
  double s_kJ_kgK = 0.0;
  double u_kJ_kg = 0.0;
  double v_m3_kg = 0.0;
};

// ---------------------------------------------------------------------------
// Results

// The result of a solve (zuna4::State) and its flags (zuna4::StateFlag:
// the two extrapolation bits come with values; every other bit of the
// engine's comes with kNoSolution, and the state's values are NaN).
using zuna4::State;
using zuna4::StateFlag;
using enum zuna4::StateFlag;
using Point [[deprecated("zuna4::State")]] = State;

// The elements of a computed state, and its enthalpy as h0: the feed of an
// expansion from a chamber state.
Feed feed_of(const State& state);

// ---------------------------------------------------------------------------
// Equilibrium

// Equilibrium of the elements `feed.b_mol_kg` under `condition`. `guess`,
// when given, is a previous result (for example the previous O/F at the
// same pressure, or a chamber state for an expansion) the solve starts from;
// without it the solve starts cold. A guess without values is ignored.
// Throws InputError for a condition out of range.
State equilibrium(const ThermoData& data, const Feed& feed, const Condition& condition,
                  const State* guess = nullptr);

// The adiabatic flame: HP at p_atm with the enthalpy of the reactants.
State flame(const ThermoData& data, const Mixture& mixture, double p_atm,
            const State* guess = nullptr);

// Flames at many O/F ratios at one pressure, each solve started from the
// one before. out.size() must equal of.size(); throws InputError (before
// computing anything) when an O/F is out of range.
void flame_sweep(const ThermoData& data, std::span<const double> of, const Reactants& reactants,
                 double p_atm, std::span<State> out);

// ---------------------------------------------------------------------------
// Frozen composition

// The amounts of a fixed composition [mol/kg]; every amount >= 0, not all 0.
struct Composition {
  double n_mol_kg[kSpeciesCount] = {};
};
Composition composition_of(const State& point);

// The state of a fixed composition at T_K and p_atm (no solve).
State frozen_state(const ThermoData& data, const Composition& composition, double T_K,
                   double p_atm);

// The temperature at which the fixed composition has entropy s_kJ_kgK
// (frozen SP) or enthalpy h_kJ_kg (frozen HP) at p_atm, by Newton on ln T
// from T_guess_K (0: from 3000 K). A temperature below 100 K ends the solve
// at once with kBelowRange and no values.
State frozen_sp(const ThermoData& data, const Composition& composition, double s_kJ_kgK,
                double p_atm, double T_guess_K = 0.0);
State frozen_hp(const ThermoData& data, const Composition& composition, double h_kJ_kg,
                double p_atm, double T_guess_K = 0.0);

// Ranges accepted.
inline constexpr double kOfMinFactor = 0.1;  // times the stoichiometric O/F
inline constexpr double kOfMaxFactor = 40.0;
inline constexpr double kPMinAtm = 1e-6;
inline constexpr double kPMaxAtm = 1e5;
inline constexpr double kTMinK = 200.0;  // range of the data
inline constexpr double kTMaxK = 6000.0;
inline constexpr double kTExtrapolatedMinK = 100.0;  // extrapolation allowed to
inline constexpr double kTExtrapolatedMaxK = 6500.0;
inline constexpr double kAtmBar = 1.01325;  // bar per atm

}  // namespace zuna::engine
