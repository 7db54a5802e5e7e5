// The external command launcher of the results menu.
#pragma once

#include <vector>

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
// session), or the command runs in a group of its own (below), the child's
// standard input is /dev/null, so that it cannot eat the script's next
// answers nor stop on the terminal.
bool run_command(const char* text, int length);

// The windowed program's commands outlive their shell: a plot or a viewer
// stays on screen after the command that opened it has ended, and ends with
// the program. From this call on, every command runs in a process group of
// its own (its shell's process id), which the launcher keeps until no
// process of it is left; and this process adopts the processes its commands
// leave behind (on Linux), so that a group's id cannot be taken by another
// program while it is kept. A program on a terminal never calls it: there a
// command in a group of its own could not use the terminal. Once only, on
// the program's first thread, before the first command.
void launch_commands_in_groups();

// Ends what the commands left running: SIGTERM to every kept process group.
// A process that left its command's group (a desktop editor started in a
// session of its own) is the user's and is not touched. Answers the number
// of groups signalled. Any thread, any number of times.
int end_launched_commands();

// The process groups kept, oldest first, after forgetting those that have
// ended (for the tests).
std::vector<int> launched_command_groups();

}  // namespace zuna
