// The program's working folder: where it reads zuna.dat and writes the report
// and the plot files.
#pragma once

#include <optional>
#include <string>
#include <variant>

namespace zuna {

struct WorkingFolder {
  std::string path;       // absolute
  bool per_user = false;  // the per-user folder, chosen because the current one has no zuna.dat
  bool seeded = false;    // files of the shared data folder were copied in on this call
};

// Chooses the working folder and enters it (chdir):
// - the explicit folder when one is given: created when missing;
// - else the current folder when it holds an entry named zuna.dat, used as
//   it is (nothing is seeded there);
// - else the per-user folder $XDG_DATA_HOME/zuna4 (~/.local/share/zuna4 when
//   XDG_DATA_HOME is unset or not absolute), created on first use.
// An explicit or per-user folder is seeded with the shared data folder's
// zuna.dat and plot scripts that it lacks; a file the user already has there
// is never replaced.
//
// On failure answers the message to show (plain English, naming the folder
// or file and what to do) and has changed neither the current folder nor any
// file of the user.
std::variant<WorkingFolder, std::string> enter_working_folder(
    const std::optional<std::string>& explicit_folder);

// The per-user folder that enter_working_folder would use, from the
// environment (XDG_DATA_HOME, HOME, else the password database); empty when
// no home folder can be found.
std::string per_user_working_folder();

}  // namespace zuna
