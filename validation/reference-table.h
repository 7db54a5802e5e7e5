// The reference table of equilibrium results that zuna4-validate sets the
// program's default sweep beside.
//
// The table is tab-separated: comment lines start with '#', one of them giving
// the complete-combustion temperature at r = 1 as " T = <value> K"; a heading
// line starts with "r"; each row holds r, O/F, T, T with every species, then
// the mole fractions of H2O, O2, H2, H, O and OH.
//
// This reader needs nothing of the program, so that the fuzzing build, which
// does not build the program, takes it too.
#pragma once

#include <istream>
#include <stdexcept>
#include <vector>

namespace zuna::validation {

class ReferenceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ReferencePoint {
  double r = 0.0;  // O/F divided by the stoichiometric O/F
  double t = 0.0;  // [K], the same six products as the program
  double x[6] = {};
};

struct Reference {
  std::vector<ReferencePoint> points;
  double t_complete = 0.0;  // [K], no dissociation, r = 1
};

// A table's lines hold at most this many characters and its rows are at most
// this many: a table of a sweep has a few dozen rows of some 150 characters.
inline constexpr std::size_t kMaxReferenceLine = 1024;
inline constexpr std::size_t kMaxReferencePoints = 10000;

// Reads a table in the layout above. Throws ReferenceError, naming the line,
// on a row without its ten columns, a cell that is no finite number, a line
// too long, too many rows, a read error, or a table without points or
// without a positive complete-combustion temperature.
Reference read_reference(std::istream& in);

}  // namespace zuna::validation
