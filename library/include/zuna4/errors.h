// The one error of the library: an input out of range, thrown before
// anything is computed. Its refusal() says which argument, the value and
// the range accepted (zuna4/refusal.h); what() words it in English.
#pragma once

#include "zuna4/refusal.h"
