// `zuna4c detonation` and `zuna4c shock`: the Chapman-Jouguet detonation
// and the incident and reflected shocks of a mixture of named gases
// (waves/waves.h), written as a readable table, CSV or JSON.
//
// argv[0] is the subcommand's name, the rest its options
// (wave-options.h). Answers the exit status: 0 when every row was written
// (refused points included: their flags tell), 1 for a run-time error (an
// output that cannot be written), 2 for a usage error, told on one line of
// standard error before anything is computed.
#pragma once

#include <span>

#include "tables/table-writer.h"

int run_detonation_command(int argc, char** argv);
int run_shock_command(int argc, char** argv);

namespace zuna {

// The columns of each command's rows, in their order, less the species
// columns x_NAME, which stand where `species_at` says (one per product).
std::span<const tables::Column> detonation_columns();
std::span<const tables::Column> shock_columns();
std::size_t detonation_species_at();
std::size_t shock_species_at();

}  // namespace zuna
