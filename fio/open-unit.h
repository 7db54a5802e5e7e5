// The open statement's work, shared by open_unit and the implicit open of a
// statement on a unit that is not connected.
#pragma once

#include <string>

#include "fio/fio.h"
#include "fio/io-error.h"

namespace zuna {

// Connects `number` as `options` say; `file_name` receives the name the
// statement concerns, for a report. Takes the table lock.
IoError open_connection(int number, const OpenOptions& options, std::string& file_name);

}  // namespace zuna
