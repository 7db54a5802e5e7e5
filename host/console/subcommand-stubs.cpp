// Stand-ins for the commands of subcommands.h until they are built: each
// says so and ends as a usage error would.
#include <cstdio>

#include "host/console/subcommands.h"

namespace {

int not_built(const char* command) {
  std::fprintf(stderr, "zuna4c: %s: not built yet\n", command);
  return 2;
}

}  // namespace

int run_equilibrium_command(int, char**) { return not_built("equilibrium"); }

int run_rocket_command(int, char**) { return not_built("rocket"); }
