// The one check of the species data every reader of the engine makes once a
// record is read: values that read as numbers but would give infinite or
// meaningless results at every point of a calculation. The program's own
// reader of zuna.dat (inputs/read-thermo-data.cpp) refuses the same values.
#pragma once

#include <string>

#include "engine/engine.h"

namespace zuna::engine::detail {

// Where a fault lies: the molar mass, or coefficient `coefficient` (0-6 for
// a0..a6, 7 for b1, 8 for b2) of range `range` of the record.
struct DataFault {
  std::string what;  // empty when the record passes
  int range = -1;    // -1: the molar mass
  int coefficient = -1;
  explicit operator bool() const { return !what.empty(); }
};

// A molar mass outside 0.5 to 1000 g/mol (the six species of a calculation,
// as the program's own reader) or to 1e5 g/mol (any record of a database of
// species, whose reactants include waxes and polymers; the electron's own,
// about 5.5e-4, is taken for a species that is an electron), or a coefficient whose terms
// in cp/R, h/RT, s/R or g/RT leave 1e300 at the ends of its range or at the
// ends of 200-6000 K, where the searches go. `ranges` holds `count` ranges.
enum class RecordKind { six_species, database, electron };
DataFault species_data_fault(double M_g_mol, const PolyRange* ranges, int count, RecordKind kind);

// The message of a fault of a 9-coefficient record: "coefficient a4 of the
// range 1000-6000 K is too large: ...", a1..a7 and b1, b2 as in the records.
std::string fault_text(const DataFault& fault, const PolyRange* ranges);

}  // namespace zuna::engine::detail
