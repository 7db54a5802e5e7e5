// The external command launcher of the results menu.
#pragma once

namespace zuna {

// Runs a command line through the system shell (/bin/sh -c) and waits,
// without a time limit, until the shell has ended. `length` is the declared
// length of a blank-padded text; trailing blanks are dropped.
//
// Answers true when the shell was started, false when it could not be (errno
// tells why; ENOMEM when the command line could not be copied). The command's
// own exit status is not reported: a command the shell cannot find still
// answers true.
//
// The child inherits the environment (an installed program puts its helper
// commands' folder first on PATH, see install-paths.h), the working folder and standard output
// and error. When the program's standard input is not a terminal (a scripted
// session) the child's standard input is /dev/null, so that it cannot eat the
// script's next answers.
bool run_command(const char* text, int length);

}  // namespace zuna
