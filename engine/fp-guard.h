// The floating-point environment of one public call, the one guard of every
// entry point of the engine, the rocket library and the zuna4 library: the
// caller's exception flags are put aside on entry and traps are held off
// (a caller that enabled them gets no SIGFPE from an invalid operation the
// call meets and handles, such as an ordered comparison with a NaN), the
// call's own flags are looked at for faults, and the caller's environment
// comes back on exit, whatever the call raised. The program's run-time ends
// the program on sticky flags, so nothing a call does may leave one behind.
// Guards nest: an inner one hands the outer one back what it found.
//
// On x86-64 the doubles are computed in the SSE unit, whose flags and masks
// are one register (MXCSR): saving and restoring it is a few cycles, where
// feholdexcept/fesetenv also save and load the x87 environment (hundreds of
// cycles, a fifth of a warm-started point). The x87 unit is only looked at:
// its control word is loaded only when the caller unmasked an exception
// there, and its flags are compared on exit and any the call added are
// cleared, which does not happen in practice; they are read from the x87
// status word alone (fnstsw), not by fetestexcept, which is a call into the
// C library that reads both units. Elsewhere the standard calls do it all.
#pragma once

#include <cfenv>

#if defined(__x86_64__) && defined(__SSE2__)
#include <immintrin.h>
#endif

namespace zuna::engine {

#if defined(__x86_64__) && defined(__SSE2__)

class FpGuard {
 public:
  FpGuard() : caller_x87_(x87_flags()), csr_(_mm_getcsr()), x87_control_(x87_control()) {
    // Every exception masked (bits 7-12), every flag clear (bits 0-5).
    _mm_setcsr((csr_ | 0x1F80u) & ~0x3Fu);
    if ((x87_control_ & kAllFlags) != kAllFlags) {
      set_x87_control(x87_control_ | kAllFlags);
    }
  }
  ~FpGuard() {
    _mm_setcsr(csr_);
    const unsigned added = x87_flags() & ~caller_x87_;
    if (added != 0) {
      std::feclearexcept(static_cast<int>(added));
    }
    // The caller's masks last, once no flag of the call is left to trap on.
    if ((x87_control_ & kAllFlags) != kAllFlags) {
      set_x87_control(x87_control_);
    }
  }
  FpGuard(const FpGuard&) = delete;
  FpGuard& operator=(const FpGuard&) = delete;

  // Forgets the flags raised so far: a call that computes several points
  // looks at each point's own.
  void restart() { _mm_setcsr(_mm_getcsr() & ~0x3Fu); }

  // An invalid operation, a division by zero or an overflow since entry (or
  // the last restart). Underflow (a trace amount) and inexact results are no
  // fault.
  bool faulted() const {
    constexpr unsigned kFaults = kInvalid | kDivByZero | kOverflow;
    return (_mm_getcsr() & kFaults) != 0 || (x87_flags() & ~caller_x87_ & kFaults) != 0;
  }

 private:
  // The same bits in MXCSR, in the x87 status and control words (there the
  // masks) and in FE_* of <cfenv>.
  static constexpr unsigned kInvalid = 0x01, kDivByZero = 0x04, kOverflow = 0x08;
  static constexpr unsigned kAllFlags = FE_ALL_EXCEPT;
  static_assert(FE_INVALID == kInvalid && FE_DIVBYZERO == kDivByZero && FE_OVERFLOW == kOverflow);

  static unsigned x87_flags() {
    unsigned short status;
    __asm__ volatile("fnstsw %0" : "=am"(status));
    return status & kAllFlags;
  }
  static unsigned short x87_control() {
    unsigned short control;
    __asm__ volatile("fnstcw %0" : "=m"(control));
    return control;
  }
  static void set_x87_control(unsigned short control) {
    __asm__ volatile("fldcw %0" : : "m"(control));
  }

  unsigned caller_x87_;
  unsigned csr_;
  unsigned short x87_control_;
};

#else

class FpGuard {
 public:
  FpGuard() { std::feholdexcept(&saved_); }
  ~FpGuard() { std::fesetenv(&saved_); }
  FpGuard(const FpGuard&) = delete;
  FpGuard& operator=(const FpGuard&) = delete;

  void restart() { std::feclearexcept(FE_ALL_EXCEPT); }

  bool faulted() const { return std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0; }

 private:
  std::fenv_t saved_;
};

#endif

// The engine's own sources name it as they always have.
namespace detail {
using engine::FpGuard;
}

}  // namespace zuna::engine
