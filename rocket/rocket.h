// Rocket performance of H2/O2 with an infinite-area combustor, the model of
// the NASA Glenn reports (Gordon and McBride, NASA RP-1311, part I, ch. 6):
//
//   chamber  HP equilibrium of the reactants at the chamber pressure Pc,
//            at rest (Mach 0);
//   throat   the isentropic expansion (S of the chamber) to the pressure at
//            which the flow speed equals the sound speed;
//   exits    the isentropic expansion to each pressure ratio Pc/Pe and to
//            each supersonic area ratio Ae/At.
//
// Along the expansion, with h in J/kg and the chamber's enthalpy h_c:
//   u           = sqrt(2 (h_c - h))           flow speed [m/s]
//   rho u                                     mass flux per area [kg/(m2 s)]
//   Ae/At       = (rho u)_throat / (rho u)_exit
//   c*          = Pc At / mdot = Pc / (rho u)_throat           [m/s]
//   Isp         = u                  (ambient pressure = Pe)   [m/s]
//   Ivac        = u + Pe Ae / mdot = u + Pe / (rho u)          [m/s]
//   Cf          = Isp / c*
//   Mach        = u / a,  Pinf/P = Pc / P
// Impulses are in m/s; divide by kG0_m_s2 for seconds.
//
// Three expansion models. `equilibrium`: the composition shifts, in
// equilibrium at every station. `frozen_chamber`: the composition of the
// chamber holds all the way. `frozen_throat`: shifting to the throat (and
// at a subsonic exit, Pc/Pe below the throat's), frozen at the throat's
// composition after it (an exit of Ae/At = 1 is the throat's gas with its
// frozen properties). Wherever the composition is frozen
// (the chamber too, for frozen_chamber) a station's cp, gamma_s and sound
// speed are the frozen ones, and its Point follows the engine's convention
// for frozen points (dlnV_dlnP_T = -1, dlnV_dlnT_P = 1, cp_eq = cp_fr,
// gamma_s = gamma_fr, sound_speed = sound_speed_fr). The chamber and throat
// of frozen_throat are exactly those of equilibrium.
//
// Errors. A problem out of range throws InputError naming the value and the
// accepted range, before anything is computed. A station that cannot be
// computed is not an exception: its flags say why (the engine's PointFlag
// bits of its state and the StationFlag bits below), and a station that is
// not valid() has NaN for every performance value.
//
// Floating point. Every call holds the floating-point traps off while it
// computes and leaves the floating-point environment (flags and traps) as it
// found it.
//
// Threads. No call keeps state between calls; two threads may compute at
// once.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

#include "engine/engine.h"

namespace zuna::rocket {

inline constexpr double kG0_m_s2 = 9.80665;  // standard gravity, Isp [s] = Isp [m/s] / g0

// Ranges accepted.
inline constexpr double kPcMinAtm = 1e-4;
inline constexpr double kPcMaxAtm = 1e4;
inline constexpr int kMaxExits = 20;  // pressure ratios and area ratios together

// A problem out of range; the message names the value and the accepted range.
class InputError : public engine::InputError {
 public:
  using engine::InputError::InputError;
};

enum class Model { equilibrium, frozen_chamber, frozen_throat };

struct RocketProblem {
  double pc_atm = 0.0;        // chamber pressure, 1e-4..1e4 atm
  engine::Mixture mixture;    // O/F and reactants (liquid by default)
  std::vector<double> pi_p;   // pressure ratios Pc/Pe, each > 1
  std::vector<double> ae_at;  // supersonic area ratios Ae/At, each >= 1
  Model model = Model::equilibrium;
};

enum class StationKind { chamber, throat, pressure_ratio, area_ratio };

// Why a station is not a plain converged result, beside the engine's
// PointFlag bits (which occupy the low byte).
enum StationFlag : unsigned {
  kChamberFailed = 1u << 16,   // the chamber has no valid state: nothing downstream
  kThroatNotFound = 1u << 17,  // no sonic point found: the throat and every exit
                               // (which all need its mass flux or state) are NaN
  kExitNotFound = 1u << 18,    // no pressure down to the engine's lowest (1e-6 atm),
                               // or to where the gas leaves the engine's range,
                               // gives the area ratio asked for
  kOptimumAtBound = 1u << 19,  // best_isp: the highest value lies at an end of the
                               // interval searched, not at a maximum inside it (on
                               // the station of that optimum, Isp or Ivac)
};

// The bits after which a station has no valid values (extrapolated
// temperatures are valid, only flagged).
inline constexpr unsigned kInvalidStation =
    engine::kNotConverged | engine::kBelowRange | engine::kAboveRange | engine::kFloatingPoint |
    engine::kSingular | engine::kNoSolution | kChamberFailed | kThroatNotFound | kExitNotFound;

struct Station {
  engine::Point state;  // the gas at the station (frozen properties where frozen)
  StationKind kind = StationKind::chamber;
  double exit_value = 0.0;  // the Pc/Pe or Ae/At asked for (exits); 0 otherwise
  double mach = 0.0;        // u / a
  double pinf_p = 0.0;      // Pc / P
  double ae_at = 0.0;       // area per unit of throat area; NaN at the chamber
  double cstar_m_s = 0.0;   // characteristic velocity; NaN at the chamber
  double cf = 0.0;          // thrust coefficient; NaN at the chamber
  double ivac_m_s = 0.0;    // vacuum specific impulse; NaN at the chamber
  double isp_m_s = 0.0;     // specific impulse (Pamb = Pe); NaN at the chamber
  unsigned flags = 0;       // state.flags | StationFlag bits

  bool valid() const { return (flags & kInvalidStation) == 0; }
};

// Stations in order: chamber, throat, then the exits as given, the pressure
// ratios first and then the area ratios.
struct RocketResult {
  double of = 0.0;
  Model model = Model::equilibrium;
  std::vector<Station> stations;

  const Station& chamber() const { return stations[0]; }
  const Station& throat() const { return stations[1]; }
  std::span<const Station> exits() const { return std::span(stations).subspan(2); }
};

// Throws InputError when the problem is out of range.
void check_problem(const engine::ThermoData& data, const RocketProblem& problem);

// One O/F (problem.mixture.of). `previous`, when given, is the result of a
// nearby O/F of the same problem and model: its stations start the solves
// (warm start); a result of another model or other exits is not used.
RocketResult rocket_performance(const engine::ThermoData& data, const RocketProblem& problem,
                                const RocketResult* previous = nullptr);
RocketResult rocket_performance(const RocketProblem& problem);  // built-in NASA Glenn data

// Several models of one O/F (problem.model is ignored), one result per
// model in their order: the chamber is solved once for all of them, the
// shifting throat once for equilibrium and frozen_throat. `previous`, when
// not empty, holds the results of a nearby O/F, model by model, to start
// from.
std::vector<RocketResult> rocket_performance(const engine::ThermoData& data,
                                             const RocketProblem& problem,
                                             std::span<const Model> models,
                                             std::span<const RocketResult> previous = {});

// Many O/F at the problem's Pc, each computed warm from the ones before:
// each chamber from the previous chamber, each station from the same
// station of the previous O/F, each searched pressure (throat, area-ratio
// exits) from the parabola in O/F through the three previous ones.
// problem.mixture.of is ignored. Throws
// InputError, before computing anything, when an O/F is out of range.
std::vector<RocketResult> rocket_sweep(const engine::ThermoData& data, const RocketProblem& problem,
                                       std::span<const double> of);

// The same for several models (problem.model is ignored): out[i][m] is
// O/F i with model m, the models of one O/F sharing their chamber and
// shifting throat.
std::vector<std::vector<RocketResult>> rocket_sweep(const engine::ThermoData& data,
                                                    const RocketProblem& problem,
                                                    std::span<const double> of,
                                                    std::span<const Model> models);

// The same results handed over as they are computed, model by model: every
// O/F of models[0] in order, then of models[1], and so on, each as
// each(m, i, result) for O/F i and model m; `result` lasts until `each`
// returns, and a false from it ends the sweep; `each` runs in the caller's
// floating-point environment. Only the results a warm start needs are kept,
// so that memory does not grow with the sweep.
using SweepResultSink =
    std::function<bool(std::size_t model, std::size_t of_index, const RocketResult& result)>;
void rocket_sweep_each(const engine::ThermoData& data, const RocketProblem& problem,
                       std::span<const double> of, std::span<const Model> models,
                       const SweepResultSink& each);

// The O/F of the highest Isp and of the highest Ivac at one exit condition,
// by golden-section search to kBestOfTolerance in O/F inside the interval
// of a coarse scan of [of_low, of_high] that holds the highest value.
inline constexpr double kBestOfTolerance = 1e-4;
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

// Throws InputError when the search's interval or scan is out of range.
void check_best_isp_search(const engine::ThermoData& data, const BestIspSearch& search);

// One BestIsp per exit of the problem, in the stations' order;
// problem.mixture.of is ignored. Throws InputError when the problem or the
// interval is out of range.
std::vector<BestIsp> best_isp(const engine::ThermoData& data, const RocketProblem& problem,
                              const BestIspSearch& search = {});

}  // namespace zuna::rocket
