// Rocket performance of H2/O2 with an infinite-area combustor (Gordon and
// McBride, NASA RP-1311): the chamber (HP equilibrium at Pc), the sonic
// throat and the exits, each an isentropic expansion to a pressure ratio
// Pc/Pe or a supersonic area ratio Ae/At, shifting or frozen.
//
// Impulses and c* are in m/s (divide by kG0_m_s2 for seconds). A station
// that cannot be computed carries flags (StateFlag bits of its state and the
// StationFlag bits) and NaN for every performance value.
#pragma once

#include <span>
#include <vector>

#include "zuna4/equilibrium.h"

namespace zuna4 {

inline constexpr double kG0_m_s2 = 9.80665;

// equilibrium: the composition shifts all the way; frozen_chamber: the
// chamber's composition holds; frozen_throat: shifting to the throat, frozen
// after it.
enum class Model { equilibrium, frozen_chamber, frozen_throat };

// Accepted: pc_atm 1e-4..1e4, O/F as in EquilibriumInput, each pi_p > 1,
// each ae_at >= 1, at most 20 exits together.
struct RocketInput {
  double pc_atm = 0.0;
  double of = 0.0;
  Reactants reactants;
  std::vector<double> pi_p;   // pressure ratios Pc/Pe
  std::vector<double> ae_at;  // supersonic area ratios Ae/At
  Model model = Model::equilibrium;
};

enum class StationKind { chamber, throat, pressure_ratio, area_ratio };

// Beside the StateFlag bits of the station's state (the low byte).
enum StationFlag : unsigned {
  kChamberFailed = 1u << 16,   // the chamber has no valid state
  kThroatNotFound = 1u << 17,  // no sonic point: values needing the throat are NaN
  kExitNotFound = 1u << 18,    // no pressure gives the area ratio asked for
  kOptimumAtBound = 1u << 19,  // best_isp: the highest value at an end of the interval
                               // (on the station of that optimum, Isp or Ivac)
};

struct Station {
  State state;  // the gas (frozen Cp, gamma and sound speed where frozen)
  StationKind kind = StationKind::chamber;
  double exit_value = 0.0;  // the Pc/Pe or Ae/At asked for; 0 at chamber and throat
  double pinf_p = 0.0;      // Pc / P
  double mach = 0.0;
  double ae_at = 0.0;      // NaN at the chamber
  double cstar_m_s = 0.0;  // NaN at the chamber
  double cf = 0.0;         // NaN at the chamber
  double ivac_m_s = 0.0;   // NaN at the chamber
  double isp_m_s = 0.0;    // ambient pressure = Pe; NaN at the chamber
  unsigned flags = 0;      // state.flags | StationFlag bits
  bool valid = false;      // false: the performance values are NaN
};

// Stations: chamber, throat, the pressure ratios, then the area ratios.
struct RocketResult {
  double of = 0.0;
  Model model = Model::equilibrium;
  std::vector<Station> stations;
};

// Checks an input as rocket() does; throws InputError.
void check_input(const RocketInput& input);

// One O/F; `warm`, the result of a nearby O/F of the same problem, starts
// the solves. Throws InputError.
RocketResult rocket(const RocketInput& input, const RocketResult* warm = nullptr);

// Many O/F at input's Pc (input.of ignored), each warm from the one before,
// as `zuna4c rocket` sweeps them. Throws InputError before computing.
std::vector<RocketResult> rocket_sweep(const RocketInput& input, std::span<const double> of);

// The interval and coarse scan of best_isp: 0 for of_low and of_high means
// a quarter and 1.5 times the stoichiometric O/F, any other value must be an
// O/F accepted by EquilibriumInput; scan_points 3..1000.
struct BestIspSearch {
  double of_low = 0.0;
  double of_high = 0.0;
  int scan_points = 12;
};

// The O/F of the highest Isp and of the highest Ivac at one exit, by a
// golden-section search to 1e-4 in O/F.
struct BestIsp {
  StationKind kind = StationKind::pressure_ratio;
  double exit_value = 0.0;  // the exit's Pc/Pe or Ae/At
  double of_isp = 0.0;  // NaN when no exit of the interval is valid
  Station at_isp;       // its flags hold kOptimumAtBound of the Isp optimum
  double of_ivac = 0.0;  // NaN as of_isp
  Station at_ivac;       // its flags hold kOptimumAtBound of the Ivac optimum
  unsigned flags = 0;    // at_isp.flags | at_ivac.flags
};

// One BestIsp per exit of input, in the stations' order (input.of ignored).
// Throws InputError.
std::vector<BestIsp> best_isp(const RocketInput& input, const BestIspSearch& search = {});

}  // namespace zuna4
