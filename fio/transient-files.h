// Files that exist only while a unit is open: the staging file beside an
// output file and a scratch file. A signal that ends the process (hang-up,
// interrupt, quit, termination, a broken pipe) removes them before the
// process dies, so that a killed program leaves the folder as it found it:
// the earlier files whole, no half-written ones, no strays.
//
// Each file is entered with its device and inode, and the handler removes a
// name only while it still stands for that file: a name that another
// program has put its own file under since (a run that finished in the same
// folder) is not this process's to remove.
//
// The table has fixed slots and the handler only calls fstatat and unlink,
// so that it is safe in a signal handler on any thread.
#pragma once

#include <sys/types.h>

#include <string>

namespace zuna {

// Enters a file (made absolute) for removal by a fatal signal. Answers the
// slot to release, or -1 when the table is full or the name too long (the
// file is then only left behind by a signal, nothing else changes).
int track_transient_file(const std::string& path, dev_t device, ino_t inode);
// The file is kept or gone: a signal leaves it alone from here on.
void release_transient_file(int slot);
// Whether the file is one of this process's entered files.
bool is_transient_file(dev_t device, ino_t inode);

// Installs the removing handler for the fatal signals whose disposition is
// still the default one (an ignored signal stays ignored, a host's own
// handler stays). Once per process; later calls do nothing.
void install_transient_file_cleanup();

}  // namespace zuna
