// The files of one piece of work put in place together. Each replaced file
// is written to a staging file beside it; while a group is open, the close
// of such a file does not rename it but hands it to the group, which keeps
// it open (its lock held, see staging-leftovers.h), entered for removal by a
// fatal signal, and renamed only when the group is committed, in the order
// of the closes. A failure before the commit discards every file of the group: the
// files it would have replaced keep their earlier contents, all of them.
//
// Renaming several files is not one step: a process killed during a commit
// leaves the files renamed so far new and the others as they were (their
// staging files are removed by the signal, or by the next run in that folder
// after a kill that allows no handler).
#pragma once

#include <string>

#include "fio/io-error.h"

namespace zuna {

// A closed staging file that waits for its rename.
struct StagedFile {
  int fd = -1;            // the staging file, still open: its lock lasts until the rename
  std::string path;       // the staging file's name
  std::string target;     // the name it is renamed to
  std::string name;       // the name the program opened, for a report
  int slot = -1;          // entered for removal by a fatal signal (transient-files.h)
  int replaced_fd = -1;   // the replaced file, freed in the background after the rename
};

// Renames the staging file onto its target, then lets go of its descriptors
// and its slot; on failure the staging file is removed. Used by a single
// close as by a commit.
IoError put_staged_in_place(StagedFile& file);
// Removes the staging file and lets go of its descriptors and its slot.
void discard_staged(StagedFile& file);

// Whether closes are being gathered; if so, takes the file over.
bool defer_to_commit_group(StagedFile& file);

// Puts every gathered file in place, in order, and closes the group. On the
// first failure the rest is discarded; `failed_name` receives the name of the
// file that failed.
IoError commit_group(std::string& failed_name);
// Drops every gathered file and closes the group; nothing when none is open.
void discard_commit_group();

}  // namespace zuna
