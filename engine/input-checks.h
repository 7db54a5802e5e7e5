// The engine's ranges of a pressure and a temperature, checked in one place
// for every call that takes them: each throws InputError with its Refusal
// (the argument, the value, the range) when the value is outside.
#pragma once

#include "engine/engine.h"

namespace zuna::engine::detail {

// kPMinAtm <= p_atm <= kPMaxAtm.
void check_pressure(double p_atm);

// kTMinK <= T_K <= kTMaxK; `name` is the argument's name in the message.
void check_temperature(Argument argument, const char* name, double T_K);

}  // namespace zuna::engine::detail
