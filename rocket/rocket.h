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
// A finite-area combustor (problem.contraction or problem.mass_flux,
// rocket/combustor.h): the chamber is the injector's HP state at rest at
// Pc; the combustor's end follows, from mass, momentum and energy across
// the duct; the nozzle expands isentropically from the end (its entropy, the
// injector's enthalpy as stagnation enthalpy), and c* is the stagnation
// pressure of that flow times At / mdot. With a contraction ratio, the mass
// flux is the one whose throat passes Ac/At times it.
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
// speed are the frozen ones, and its State follows the engine's convention
// for frozen states (dlnV_dlnP_T = -1, dlnV_dlnT_P = 1, Cp = Cp_fr,
// gamma_s = gamma_fr, son_vel = son_vel_fr). The chamber and throat
// of frozen_throat are exactly those of equilibrium.
//
// Errors. A problem out of range throws InputError naming the value and the
// accepted range, before anything is computed. A station that cannot be
// computed is not an exception: its flags say why (the StateFlag bits of its
// state and those of the stations), and a station that is
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
#include "zuna4/stations.h"

namespace zuna::rocket {

// The problem and the results are the library's public types
// (zuna4/stations.h).
using zuna4::BestIsp;
using zuna4::BestIspSearch;
using zuna4::kG0_m_s2;
using zuna4::kInvalidStation;
using zuna4::Model;
using zuna4::RocketInput;
using zuna4::RocketResult;
using zuna4::StateFlag;
using zuna4::Station;
using zuna4::StationKind;
using enum zuna4::StateFlag;  // the stations' bits among them

// Ranges accepted.
inline constexpr double kPcMinAtm = 1e-4;
inline constexpr double kPcMaxAtm = 1e4;
inline constexpr int kMaxExits = 20;  // pressure ratios and area ratios together
inline constexpr double kContractionMin = 1.05;  // Ac/At of a finite-area combustor
inline constexpr double kContractionMax = 1e4;

// A problem out of range: the engine's InputError, its refusal() naming the
// argument, the value and the accepted range.
using engine::InputError;

// Throws InputError when the problem is out of range.
void check_problem(const engine::ThermoData& data, const RocketInput& problem);

// One O/F (problem.of). `previous`, when given, is the result of a
// nearby O/F of the same problem and model: its stations start the solves
// (warm start); a result of another model or other exits is not used.
RocketResult rocket_performance(const engine::ThermoData& data, const RocketInput& problem,
                                const RocketResult* previous = nullptr);
RocketResult rocket_performance(const RocketInput& problem);  // built-in NASA Glenn data

// Several models of one O/F (problem.model is ignored), one result per
// model in their order: the chamber is solved once for all of them, the
// shifting throat once for equilibrium and frozen_throat. `previous`, when
// not empty, holds the results of a nearby O/F, model by model, to start
// from.
std::vector<RocketResult> rocket_performance(const engine::ThermoData& data,
                                             const RocketInput& problem,
                                             std::span<const Model> models,
                                             std::span<const RocketResult> previous = {});

// Many O/F at the problem's Pc, each computed warm from the ones before:
// each chamber from the previous chamber, each station from the same
// station of the previous O/F, each searched pressure (throat, area-ratio
// exits) from the parabola in O/F through the three previous ones.
// problem.of is ignored. Throws
// InputError, before computing anything, when an O/F is out of range.
std::vector<RocketResult> rocket_sweep(const engine::ThermoData& data, const RocketInput& problem,
                                       std::span<const double> of);

// The same for several models (problem.model is ignored): out[i][m] is
// O/F i with model m, the models of one O/F sharing their chamber and
// shifting throat.
std::vector<std::vector<RocketResult>> rocket_sweep(const engine::ThermoData& data,
                                                    const RocketInput& problem,
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
void rocket_sweep_each(const engine::ThermoData& data, const RocketInput& problem,
                       std::span<const double> of, std::span<const Model> models,
                       const SweepResultSink& each);

// The O/F of the highest Isp and of the highest Ivac at one exit condition
// (BestIsp), by golden-section search to kBestOfTolerance in O/F.
inline constexpr double kBestOfTolerance = 1e-4;
// Throws InputError when the search's interval or scan is out of range.
void check_best_isp_search(const engine::ThermoData& data, const BestIspSearch& search);

// One BestIsp per exit of the problem, in the stations' order;
// problem.of is ignored. Throws InputError when the problem or the
// interval is out of range.
std::vector<BestIsp> best_isp(const engine::ThermoData& data, const RocketInput& problem,
                              const BestIspSearch& search = {});

}  // namespace zuna::rocket
