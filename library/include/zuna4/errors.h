// The one error of the library: an input out of range, thrown before
// anything is computed. Its refusal() says which argument, the value and
// the range accepted (zuna4/refusal.h); what() words it in English.
#pragma once

#if __cplusplus < 202002L
#error "the zuna4 headers need C++20: compile with -std=c++20 (pkg-config --cflags zuna4)"
#endif

#include "zuna4/refusal.h"
