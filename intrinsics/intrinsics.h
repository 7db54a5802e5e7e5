// The mathematical intrinsics of the computation. They compute exactly what
// the standard library computes and, when a call fails (an argument outside
// the domain, a singularity, an overflow), tell the installed handler, which
// the run-time uses to report the math error and end the program.
#pragma once

namespace zuna {

enum class MathFailure { domain = 1, sing = 2, overflow = 3, underflow = 4, tloss = 5, ploss = 6 };

// name: "exp", "log" or "pow". The handler does not return in the program;
// without a handler the result of the standard library stands.
using MathErrorHandler = void (*)(const char* name, MathFailure failure);
void set_math_error_handler(MathErrorHandler handler);

double rt_exp(double x);
double rt_log(double x);
double rt_pow(double x, double y);

}  // namespace zuna
