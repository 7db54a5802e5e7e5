// NASA 9-coefficient thermodynamic records: the reader of the fixed-column
// layout and the evaluation of the dimensionless functions.
//
// One species record:
//   line 1   name (columns 1-18) and a free comment;
//   line 2   number of ranges (1-2), reference code (4-9), formula (11-50),
//            phase (51-52), molar mass [g/mol] (53-65), heat of formation
//            at 298.15 K [J/mol] (66-80);
//   per range, three lines:
//            T low, T high [K] (1-11, 12-22), number of exponents (23),
//            the exponents (24-63), H(298.15) - H(0) [J/mol] (66-80);
//            a1..a5 (5 x 16 columns);
//            a6, a7 (1-32), b1, b2 (49-80).
// Numbers may use the D exponent letter. Lines that start with '!' or '#'
// and blank lines between records are comments.
//
// With the standard exponents -2, -1, 0, 1, 2, 3, 4:
//   cp/R   = a1 T^-2 + a2 T^-1 + a3 + a4 T + a5 T^2 + a6 T^3 + a7 T^4
//   H/(RT) = -a1 T^-2 + a2 ln(T)/T + a3 + a4 T/2 + a5 T^2/3 + a6 T^3/4
//            + a7 T^4/5 + b1/T
//   S/R    = -a1 T^-2/2 - a2/T + a3 ln T + a4 T + a5 T^2/2 + a6 T^3/3
//            + a7 T^4/4 + b2
// The standard state of the records is 1 bar.
#pragma once

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace zuna::thermodata {

// A record the reader cannot use; the message names the species and the line.
class RecordError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Nasa9Range {
  double t_low = 0.0, t_high = 0.0;  // [K]
  double a[7] = {};
  double b1 = 0.0, b2 = 0.0;
};

struct Nasa9Species {
  std::string name;                // first word of columns 1-18
  std::string comment;             // the rest of line 1, trimmed
  std::string code;                // reference code, for example "g 8/89"
  int line = 0;                    // line of the file where the record starts (1-based)
  double molar_mass = 0.0;         // [g/mol]
  double heat_of_formation = 0.0;  // at 298.15 K [J/mol]
  // The formula (columns 11-50): up to five elements with their numbers of
  // atoms, symbols as written (for example "AR"), those with 0 atoms left out.
  struct Atoms {
    std::string element;
    double count = 0.0;
  };
  std::vector<Atoms> formula;
  int phase = 0;               // columns 51-52: 0 gas, otherwise condensed
  bool reactant_only = false;  // the record follows a line "END PRODUCTS"
  std::vector<Nasa9Range> ranges;
  // A record without ranges (a reactant at one temperature): that
  // temperature [K] (columns 1-11 of its one line); its heat_of_formation
  // is then its enthalpy at that temperature.
  double assigned_t = 0.0;

  // The dimensionless functions at t [K], from the first range that holds t.
  // t must lie in a range (covers() answers that).
  double cp_r(double t) const;
  double h_rt(double t) const;
  double s_r(double t) const;  // 1 bar standard state

  // True when the ranges, taken together, hold every temperature of
  // [t_from, t_to] without a gap.
  bool covers(double t_from, double t_to) const;

 private:
  const Nasa9Range& range_at(double t) const;
};

struct Nasa9File {
  std::vector<std::string> header;  // the comment lines before the first record
  std::vector<Nasa9Species> species;
};

// Reads every record of a file in the layout above. Throws RecordError, with
// the species and the line, on a record that does not follow it.
Nasa9File read_nasa9(std::istream& in);

// The record of the species named `name`; throws RecordError when absent.
const Nasa9Species& find_species(const std::vector<Nasa9Species>& records, const std::string& name);

}  // namespace zuna::thermodata
