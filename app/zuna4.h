// The main program: presentation, data file, then calculations until the
// user ends the program from the results menu.
#pragma once

#include <string_view>

#include "app/program-data.h"

namespace zuna {

// Runs on the computation thread after runtime_start. Never returns normally:
// the program ends through the stop statement or a run-time error, both of
// which throw ProgramExit.
void zuna4_main(std::string_view data_file = kDefaultDataFile);

}  // namespace zuna
