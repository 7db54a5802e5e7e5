// The rocket's problem and results: the types the rocket library computes
// with and the zuna4 library hands its callers (zuna4::Station is
// zuna::rocket::Station). Published with the library (include/zuna4/).
//
// Impulses and c* are in m/s (divide by kG0_m_s2 for seconds). A station
// that cannot be computed carries flags (the StateFlag bits of its state and
// those of the stations, 16 and up) and NaN for every performance value.
#pragma once

#include <span>
#include <vector>

#include "zuna4/state.h"

namespace zuna4 {

inline constexpr double kG0_m_s2 = 9.80665;  // standard gravity, Isp [s] = Isp [m/s] / g0

// equilibrium: the composition shifts all the way; frozen_chamber: the
// chamber's composition holds; frozen_throat: shifting to the throat (and
// at a subsonic exit), frozen at the throat's composition after it (an exit
// of Ae/At = 1 is the throat's gas with its frozen properties).
enum class Model { equilibrium, frozen_chamber, frozen_throat };

// Accepted: pc_atm 1e-4..1e4, O/F from 0.1 to 40 times the stoichiometric
// value, each pi_p > 1, each ae_at >= 1, at most 20 exits together.
struct RocketInput {
  double pc_atm = 0.0;        // chamber pressure
  double of = 0.0;            // O/F mass ratio [kg O2 / kg H2]
  Reactants reactants;        // liquid by default
  std::vector<double> pi_p;   // pressure ratios Pc/Pe
  std::vector<double> ae_at;  // supersonic area ratios Ae/At
  // Subsonic area ratios Ae/At, exits between the chamber and the throat,
  // each above 1 (and at most Ac/At in a finite-area combustor).
  std::vector<double> sub_ae_at;
  Model model = Model::equilibrium;
  // A finite-area combustor: its contraction ratio Ac/At (1.05 to 1e4), or
  // its mass flux mdot/Ac [kg/(s m2)] (positive, below the flux that chokes
  // the combustor). 0 for both: an infinite-area combustor. Then pc_atm is
  // the injector's pressure, pi_p are Pinj/Pe and pinf_p is Pinj/P.
  double contraction = 0.0;
  double mass_flux = 0.0;
};

// In a finite-area combustor the chamber station is the injector's and
// comb_end follows it.
enum class StationKind { chamber, throat, pressure_ratio, area_ratio, comb_end, sub_area_ratio };

// The bits after which a station has no valid values (extrapolated
// temperatures are valid, only flagged).
inline constexpr unsigned kInvalidStation = kNotConverged | kBelowRange | kAboveRange |
                                            kFloatingPoint | kSingular | kNoSolution |
                                            kChamberFailed | kThroatNotFound | kExitNotFound;

struct Station {
  State state;  // the gas at the station (frozen Cp, gamma and sound speed where frozen)
  StationKind kind = StationKind::chamber;
  double exit_value = 0.0;  // the Pc/Pe or Ae/At asked for (exits); 0 otherwise
  double mach = 0.0;        // u / a
  double pinf_p = 0.0;      // Pc / P
  double ae_at = 0.0;       // area per unit of throat area; NaN at the chamber
  double cstar_m_s = 0.0;   // characteristic velocity; NaN at the chamber
  double cf = 0.0;          // thrust coefficient; NaN at the chamber
  double ivac_m_s = 0.0;    // vacuum specific impulse; NaN at the chamber
  double isp_m_s = 0.0;     // specific impulse (ambient pressure = Pe); NaN at the chamber
  unsigned flags = 0;       // state.flags | the stations' StateFlag bits

  // False: the performance values are NaN.
  bool valid() const { return (flags & kInvalidStation) == 0; }
};

// Stations in order: chamber (the injector), the combustor's end (a
// finite-area combustor only), throat, then the exits as given, the
// pressure ratios first, then the subsonic and the supersonic area ratios.
struct RocketResult {
  double of = 0.0;
  Model model = Model::equilibrium;
  std::vector<Station> stations;

  const Station& chamber() const { return stations[0]; }
  bool finite_chamber() const {
    return stations.size() > 1 && stations[1].kind == StationKind::comb_end;
  }
  std::size_t throat_index() const { return finite_chamber() ? 2 : 1; }
  const Station& throat() const { return stations[throat_index()]; }
  std::span<const Station> exits() const {
    return std::span(stations).subspan(throat_index() + 1);
  }
};

// The O/F of the highest Isp and of the highest Ivac at one exit condition,
// by golden-section search inside the interval of a coarse scan of
// [of_low, of_high] that holds the highest value.
struct BestIspSearch {
  double of_low = 0.0;   // 0: a quarter of the stoichiometric O/F; else 0.1..40 times it
  double of_high = 0.0;  // 0: 1.5 times the stoichiometric O/F; else 0.1..40 times it
  int scan_points = 12;  // coarse scan, 3..1000
};
struct BestIsp {
  StationKind kind = StationKind::pressure_ratio;
  double exit_value = 0.0;  // the exit's Pc/Pe or Ae/At
  double of_isp = 0.0;      // O/F of the highest Isp; NaN when no exit of the interval is valid
  Station at_isp;           // the exit at that O/F, with kOptimumAtBound of this optimum
  double of_ivac = 0.0;     // O/F of the highest Ivac; NaN as of_isp
  Station at_ivac;          // the exit at that O/F, with kOptimumAtBound of this optimum
  unsigned flags = 0;       // at_isp.flags | at_ivac.flags
};
// Without an optimum (O/F NaN) the station has no values and its flags are
// those of the scan's exits together.

}  // namespace zuna4
