// The shortest text that reads back as the same double, the one way every
// part of the system writes a number exactly: "0.1", "68.046", "1e-06",
// "1e+300", "-2.5e-08", "1152921504606846976"; std::to_chars' shortest form
// (fixed or scientific, whichever is shorter, fixed on a tie), byte for
// byte. The CSV and JSON writers, the messages of refused input, the
// windowed program's rocket texts and the Python module all use it.
#pragma once

#include <string>

namespace zuna::tables {

std::string shortest_text(double v);

}  // namespace zuna::tables
