// The commands of zuna4c that its first argument selects:
//   zuna4c equilibrium [ARGUMENT]...
//   zuna4c rocket [ARGUMENT]...
// Each gets the arguments from its own name on (argv[0] is "equilibrium" or
// "rocket") and answers the program's exit code: 0 success, 1 run-time
// error, 2 usage error.
#pragma once

int run_equilibrium_command(int argc, char** argv);
int run_rocket_command(int argc, char** argv);
