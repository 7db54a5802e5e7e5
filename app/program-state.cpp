#include "app/program-state.h"

namespace zuna {

ProgramState& program_state() {
  static ProgramState state;
  return state;
}

}  // namespace zuna
