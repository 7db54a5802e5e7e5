// The zuna4 library: combustion of hydrogen with oxygen.
//
//   zuna4/equilibrium.h   chemical equilibrium of the six products (TP, HP,
//                         SP, UV), at one point or over arrays of points
//   zuna4/rocket.h        rocket performance of the infinite-area combustor
//                         and the O/F of the highest Isp
//   zuna4/sweep.h         the program's own sweep over the O/F grid, the
//                         values its report prints, without writing a file
//   zuna4/state.h, zuna4/stations.h, zuna4/sweep-point.h, zuna4/refusal.h
//                         the types the engine, the rocket library and the
//                         sweep compute in, which the calls above return
//
// Conventions of every header. One namespace, zuna4. Plain structs in and
// out, every quantity with its unit in its name (T_K, p_atm, h_kJ_kg).
// Errors: an input out of range throws zuna4::InputError (a
// std::invalid_argument whose refusal() holds the argument, its value and
// the range accepted, and whose message words them) before anything is
// computed; a point that cannot be computed is
// no exception but comes back with flags saying why. No call keeps state
// between calls, none prints, none ends the process, none changes the
// caller's floating-point exception flags: two threads may compute at once.
#pragma once

#include "zuna4/equilibrium.h"
#include "zuna4/rocket.h"
#include "zuna4/sweep.h"
#include "zuna4/version.h"
