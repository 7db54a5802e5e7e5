// `zuna4c rocket`: rocket performance of the infinite-area combustor
// (chamber, throat, exits) for lists of chamber pressures, O/F ratios and
// expansion models, written as readable tables, CSV and/or JSON; with
// --best, also the O/F of the highest Isp and Ivac at each exit.
//
//   zuna4c rocket --pc 68.046 --of 4:8:5 --pi-p 10,100 --ae-at 25
//   zuna4c rocket --pc 10,100 --model equilibrium,frozen_chamber --csv out.csv
//   zuna4c rocket --best --pi-p 10,1000 --json best.json
//
// The options and their ranges are those of `zuna4c rocket --help` and
// zuna4c(1); lists, the O/F grid, the reactants, --thermo, --csv and --json
// read and behave as those of `zuna4c equilibrium` (command-options.h,
// results-output.h).
//
// Rows: one per station, by chamber pressure, then model, then O/F, then
// station (chamber, throat, the pressure-ratio exits, the area-ratio exits
// as given). The computation goes one chamber pressure at a time, the
// models of one O/F sharing their chamber; only that pressure's results are
// kept. A station that could not be computed has empty values and its flags
// (zuna4::StateFlag bits of the state and of the station).
//
// Exit status: 0 when every row was written (flagged stations included),
// 1 when the data or an output could not be read or written (standard output
// closed included), 2 for a usage error or a value out of range, told on one
// line of standard error before anything is computed.
#pragma once

namespace zuna::console {

// argv[0] is "rocket", the rest its options.
int run_rocket_command(int argc, char** argv);

}  // namespace zuna::console
