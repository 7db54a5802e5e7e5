// Runs a piece of a program that is expected to end it, and answers the exit
// code it ended with (std::nullopt when it did not end).
#pragma once

#include <optional>

#include "fio/fio.h"

namespace zuna::testing {

template <typename Body>
std::optional<int> exit_code_of(Body&& body) {
  try {
    body();
  } catch (const ProgramExit& exit) {
    return exit.exit_code;
  }
  return std::nullopt;
}

}  // namespace zuna::testing
