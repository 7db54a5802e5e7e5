// The program's data file of 7-coefficient polynomials (zuna.dat), read
// without the run-time: six blocks of 22 records in the order H2O, O2, H2,
// H, O, OH.
//
// Block layout (records): 1-2 free text; 3 molar mass [g/mol]; 4 free text;
// 5-11 a1..a7 of 1000-6000 K; 12 free text; 13-19 a1..a7 of 200-1000 K;
// 20 free text; 21 one further value (not used); 22 free text. A value record
// is read for its first item (up to a blank or a comma; the D exponent letter
// is accepted); the rest of the record is not looked at. The file may end
// right after the last block's record 21; what follows is not read. Records
// end with LF or CR LF and are bounded in length, so that a file that is no
// data file (a device, a binary) is refused at once instead of filling the
// memory.
//
// With the 7 coefficients (standard state 1 atm):
//   cp/R   = a1 + a2 T + a3 T^2 + a4 T^3 + a5 T^4
//   H/(RT) = a1 + a2 T/2 + a3 T^2/3 + a4 T^3/4 + a5 T^4/5 + a6/T
//   S/R    = a1 ln T + a2 T + a3 T^2/2 + a4 T^3/3 + a5 T^4/4 + a7
//
// The run-time's reader (inputs/) reads the same records through list-
// directed reads, which end the program on a bad value; this one throws. It
// serves the engine, the library and the tools (zuna4-validate).
#pragma once

#include <cstddef>
#include <istream>

namespace zuna::thermodata {

// The longest record taken; the longest of a data file, a block's
// description, has about 100 characters.
inline constexpr std::size_t kMaxData7RecordLength = 1024;

struct Data7Species {
  double molar_mass = 0.0;  // [g/mol]
  double high[7] = {};      // a1..a7, 1000-6000 K
  double low[7] = {};       // a1..a7, 200-1000 K
};

struct Data7File {
  Data7Species species[6];  // H2O, O2, H2, H, O, OH
};

// Throws RecordError (thermodata/nasa9.h) naming the record (and for a value,
// the species and the value) on a file that ends early or cannot be read, a
// record longer than kMaxData7RecordLength, a value record without a number,
// a value that is not finite or a molar mass that is not positive.
Data7File read_data7(std::istream& in);

}  // namespace zuna::thermodata
