// One calculation: output units and progress window, run parameters, the
// sweep, the processing time, the report and the plot files.
#pragma once

#include "app/program-state.h"

namespace zuna {

// Opens the report, the plot files and the progress window (every file
// rewritten from its start), asks the run parameters, sweeps, and writes the
// report and plot files. When it returns, every unit it opened is closed.
void run_calculation(ProgramState& state);

}  // namespace zuna
