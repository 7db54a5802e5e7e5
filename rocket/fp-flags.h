// The floating-point exception flags of the caller, put back when a call
// ends (also by an exception): the library's own invalid operations are
// read from the values they leave, never from the flags.
#pragma once

#include <cfenv>

namespace zuna::rocket {

class FpFlagsKept {
 public:
  FpFlagsKept() { std::fegetexceptflag(&saved_, FE_ALL_EXCEPT); }
  ~FpFlagsKept() { std::fesetexceptflag(&saved_, FE_ALL_EXCEPT); }
  FpFlagsKept(const FpFlagsKept&) = delete;
  FpFlagsKept& operator=(const FpFlagsKept&) = delete;

 private:
  std::fexcept_t saved_;
};

}  // namespace zuna::rocket
