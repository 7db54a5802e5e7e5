// How a staging file is named and locked, so that the staging files a run
// left behind when it was killed outright (no signal handler ran, the
// machine stopped) can be told from those of a live run and removed.
//
// The staging files of a target are ".NAME.xxxxxx" beside it. A live run
// holds each of its staging files locked from its creation until its rename
// or removal; a file of that exact name pattern that nobody holds locked is
// a leftover, and the first open of its target in a later run removes it.
#pragma once

#include <string>

namespace zuna {

// The mkostemp template of a staging file of `target`: ".NAME.XXXXXX" in
// the target's folder, a long name shortened to fit a folder entry.
std::string staging_template(const std::string& target);

// Locks a staging file just made under `name`. False when the name has been
// taken from it meanwhile (a run sweeping leftovers locked or removed it
// before the lock): the caller makes another. On a file system without
// locks the file stays unlocked, and the sweep, refused its lock too, leaves
// it alone.
bool lock_staging_file(int fd, const std::string& name);

// Removes the leftover staging files of `target`; this process's own are
// skipped outright. Once per target and process (a relative name counts
// in each folder it is opened in): the leftovers of a later death are the
// next run's to take.
void remove_abandoned_staging_files(const std::string& target);

}  // namespace zuna
