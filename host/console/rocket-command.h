// `zuna4c rocket`: rocket performance of the infinite-area combustor
// (chamber, throat, exits) for a list of O/F ratios and expansion models, or
// the O/F of the highest Isp and Ivac at each exit, written as a readable
// table, CSV or JSON.
//
//   zuna4c rocket --pc=68.046 --of=4,6 --pi-p=10,100 --ae-at=10,50
//   zuna4c rocket --of=2:12:101 --model=equilibrium,frozen_chamber --csv=-
//   zuna4c rocket --best --pi-p=10,1000 --json=best.json
//
// Options (getopt_long style; lists are comma-separated, FIRST:LAST:COUNT is
// COUNT values in equal steps):
//   --pc=ATM          chamber pressure (default 68.046 atm)
//   --of=LIST         O/F ratios (required unless --best)
//   --pi-p=LIST       pressure ratios Pc/Pe of the exits
//   --ae-at=LIST      supersonic area ratios Ae/At of the exits
//   --model=LIST      equilibrium, frozen_chamber, frozen_throat (default equilibrium)
//   --reactants=KIND  liquid (default), gas, custom
//   --t-gas=K         temperature of gaseous reactants (default 298.15 K)
//   --h-fuel=J/MOL, --h-oxid=J/MOL   enthalpies of custom reactants
//   --best[=LOW:HIGH] the best O/F of each exit, searched in LOW..HIGH
//   --csv=FILE, --json=FILE   results as CSV or JSON ("-": standard output);
//                     without either, the readable table on standard output
//
// Rows: one per station (chamber, throat, exits in the order pressure
// ratios, area ratios) of each model of each O/F, O/F by O/F; impulses in m/s in CSV and
// JSON, in seconds in the readable table. A station that could not be
// computed has empty values and its flags (the engine's PointFlag bits, the
// rocket's StationFlag bits).
//
// Exit status: 0 when every row was written (flagged stations included),
// 1 when an output could not be written, 2 for a usage error or a value out
// of range, told on one line of standard error before anything is computed.
#pragma once

namespace zuna::console {

// argv[0] is "rocket", the rest its options.
int run_rocket_command(int argc, char** argv);

}  // namespace zuna::console
