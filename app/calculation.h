// One calculation: output units, run parameters, the sweep, the processing
// time, the report and the plot files. The interactive calculation and the
// batch run share every step but the progress window and the dialog.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/program-state.h"
#include "app/sweep.h"

namespace zuna {

// Opens the report and the seven plot files, each rewritten from its start,
// with `suffix` added to every name's stem ("saida" + suffix,
// "tad" + suffix + ".dat", ...). With `progress_window` the progress window
// opens too, between "fmx.dat" and "mol.dat", so that it stands empty
// behind the parameter dialog.
void open_calculation_units(bool progress_window, std::string_view suffix = {});

// What every sweep point passes through: the pause gate, then a
// floating-point fault of the point reported as the run-time's math error.
// Observers that show progress derive from it and call it first.
class PointChecks : public SweepObserver {
 public:
  void point_done(std::int32_t i, std::int32_t npts) override;

 protected:
  ~PointChecks() = default;
};

// Sweeps state.p between two clock readings (state.t0, state.t1); a sweep
// whose counts do not fit reports no point (npts = 0). Answers the processing
// time t1 - t0 [s].
double timed_sweep(ProgramState& state, PointChecks& observer);

// The interactive calculation: opens the units and the progress window, asks
// the run parameters, sweeps with a progress line per point, shows the
// processing time and waits for Enter, then writes the report and plot
// files. When it returns, every unit it opened is closed.
void run_calculation(ProgramState& state);

// The same calculation without window or dialog, for state.p as it stands:
// the report and plot files (named with `suffix`) hold the same bytes as
// after run_calculation with those parameters, the processing time aside.
void run_quiet_calculation(ProgramState& state, PointChecks& observer,
                           std::string_view suffix = {});

}  // namespace zuna
