// The floating-point environment of one engine call: the caller's exception
// flags are put aside on entry (and traps held off), the call's own flags are
// looked at for faults, and the caller's environment comes back on exit,
// whatever the call raised. The program's run-time ends the program on
// sticky flags, so nothing the engine does may leave one behind.
#pragma once

#include <cfenv>

namespace zuna::engine::detail {

class FpGuard {
 public:
  FpGuard() { std::feholdexcept(&saved_); }
  ~FpGuard() { std::fesetenv(&saved_); }
  FpGuard(const FpGuard&) = delete;
  FpGuard& operator=(const FpGuard&) = delete;

  // An invalid operation, a division by zero or an overflow since entry.
  // Underflow (a trace amount) and inexact results are no fault.
  bool faulted() const { return std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0; }

 private:
  std::fenv_t saved_;
};

}  // namespace zuna::engine::detail
