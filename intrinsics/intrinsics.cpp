// The failing cases are recognised from the standard library's own result, so
// the value returned is always exactly std::exp, std::log or std::pow:
//
//   exp(x)    overflow  x finite and the result infinite (underflow is silent)
//   log(x)    sing      x = 0 (the result is -infinity)
//             domain    x < 0 or x NaN (the result is NaN)
//   pow(x, y) domain    the result is NaN (x < 0 with y not an integer, or a
//                       NaN operand that the result keeps)
//             sing      x = 0 and y < 0 (a pole, the result is infinite)
//             overflow  x and y finite and the result infinite otherwise
#include "intrinsics/intrinsics.h"

#include <atomic>
#include <cmath>

namespace zuna {

namespace {

// Installed once by the run-time at start-up and read on every failure; atomic
// so that a handler installed on one thread is seen by the computation thread.
std::atomic<MathErrorHandler> installed_handler{nullptr};

void report(const char* name, MathFailure failure) {
  const MathErrorHandler handler = installed_handler.load(std::memory_order_acquire);
  if (handler != nullptr) {
    handler(name, failure);
  }
}

}  // namespace

void set_math_error_handler(MathErrorHandler handler) {
  installed_handler.store(handler, std::memory_order_release);
}

double rt_exp(double x) {
  const double result = std::exp(x);
  if (std::isinf(result) && std::isfinite(x)) {
    report("exp", MathFailure::overflow);
  }
  return result;
}

double rt_log(double x) {
  const double result = std::log(x);
  if (x == 0.0) {
    report("log", MathFailure::sing);
  } else if (std::isnan(result)) {
    report("log", MathFailure::domain);
  }
  return result;
}

double rt_pow(double x, double y) {
  const double result = std::pow(x, y);
  if (std::isnan(result)) {
    report("pow", MathFailure::domain);
  } else if (x == 0.0 && y < 0.0) {
    report("pow", MathFailure::sing);
  } else if (std::isinf(result) && std::isfinite(x) && std::isfinite(y)) {
    report("pow", MathFailure::overflow);
  }
  return result;
}

}  // namespace zuna
