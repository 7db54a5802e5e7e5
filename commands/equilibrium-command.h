// `zuna4c equilibrium`: chemical equilibrium of the H2/O2 products for lists
// of conditions and O/F ratios, written as a readable table, CSV or JSON.
//
// argv[0] is "equilibrium", the rest the subcommand's options (getopt_long
// style, see equilibrium-options.h). Answers the exit status: 0 when every
// row was written (flagged points included: their flags tell), 1 for a
// run-time error (a data file that cannot be read or used, an output that
// cannot be written, a closed standard output that was to receive the
// results), 2 for a usage error, told on one line of standard error before
// anything is computed.
//
// It must be called before the program makes its closed standard
// descriptors refer to /dev/null: a closed standard output is found out here.
#pragma once

#include <span>

#include "tables/table-writer.h"

int run_equilibrium_command(int argc, char** argv);

namespace zuna {

// The columns of the CSV and of the JSON's rows, in their order.
std::span<const tables::Column> equilibrium_columns();

}  // namespace zuna
