// The form of every failed system call of the file layer: the system's
// reason is noted for the report (io-error.h) and the condition answered.
#pragma once

#include "fio/io-error.h"

namespace zuna {

inline IoError file_failure(IoError e, int error) {
  note_system_error(error);
  return e;
}

}  // namespace zuna
