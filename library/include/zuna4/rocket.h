// Rocket performance of H2/O2 (Gordon and McBride, NASA RP-1311): the
// chamber (HP equilibrium at Pc), the sonic throat and the exits, each an
// isentropic expansion to a pressure ratio Pc/Pe or a supersonic area ratio
// Ae/At, shifting or frozen. The combustor is of infinite area, or, with
// RocketInput::contraction or mass_flux, of finite area: the injector at Pc,
// the combustor's end, then the nozzle.
//
// Impulses and c* are in m/s (divide by kG0_m_s2 for seconds). A station
// that cannot be computed carries flags (StateFlag bits) and NaN for every
// performance value. The O/F of the highest Isp is searched to 1e-4.
#pragma once

#if __cplusplus < 202002L
#error "the zuna4 headers need C++20: compile with -std=c++20 (pkg-config --cflags zuna4)"
#endif

#include <functional>
#include <span>
#include <vector>

#include "zuna4/equilibrium.h"
#include "zuna4/stations.h"

namespace zuna4 {

// The problem and the results are those of zuna4/stations.h.

// The flags of a station before they were one enum with the state's.
using StationFlag [[deprecated("StateFlag")]] = StateFlag;

// Checks an input as rocket() does; throws InputError.
void check_input(const RocketInput& input);

// One O/F; `warm`, the result of a nearby O/F of the same problem, starts
// the solves. Throws InputError.
RocketResult rocket(const RocketInput& input, const RocketResult* warm = nullptr);

// Many O/F at input's Pc (input.of ignored), each warm from the one before,
// as `zuna4c rocket` sweeps them. Throws InputError before computing.
std::vector<RocketResult> rocket_sweep(const RocketInput& input, std::span<const double> of);

// Many points over the threads of `options`, in blocks of kWarmBlock
// (zuna4/array.h): each worker copies `problem`, input(i, problem) sets the
// i-th point's Pc and O/F in the copy, output(i, result) takes its result.
// Within a block, each run of consecutive points at one Pc is swept as
// rocket_sweep sweeps. Every point is checked before any is computed.
void rocket(std::size_t n, const RocketInput& problem,
            const std::function<void(std::size_t, RocketInput&)>& input,
            const std::function<void(std::size_t, const RocketResult&)>& output,
            const ArrayOptions& options);

// One BestIsp per exit of input, in the stations' order (input.of ignored).
// Throws InputError.
std::vector<BestIsp> best_isp(const RocketInput& input, const BestIspSearch& search = {});

}  // namespace zuna4
