// A batch run: the calculations of the command line, one per pressure,
// without presentation, dialogs or results menu.
#pragma once

#include <vector>

#include "app/command-line.h"
#include "app/results-export.h"

namespace zuna {

// Runs on the computation thread after runtime_start. Reads the data file,
// then makes one calculation per pressure, each writing the report and plot
// files exactly as an interactive calculation with the same parameters
// (with suffix "_N" for calculation N when settings.suffix is set). With
// `show_progress`, a run that lasts more than a moment shows on standard
// error which point it has reached. Answers every calculation; a run-time
// error ends the program (ProgramExit) as in the interactive session.
std::vector<Calculation> run_batch(const BatchSettings& settings, bool show_progress);

}  // namespace zuna
