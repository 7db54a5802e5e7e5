// The NASA Glenn transport fits: viscosity and thermal conductivity of pure
// species and interaction viscosities of binary pairs, as functions of T
// (B. J. McBride, S. Gordon, M. A. Reno, NASA TM-4513, 1993; R. A. Svehla,
// NASA TM-4647, 1995). Each range holds
//   ln(eta)    = A ln(T) + B/T + C/T^2 + D   eta    [micropoise]
//   ln(lambda) = A ln(T) + B/T + C/T^2 + D   lambda [microwatt/(cm K)]
// with T in K. A pair's viscosity fit is the interaction viscosity eta_ij of
// the mixture rules (NASA RP-1311 Part I, section 5); the database has no
// interaction conductivities.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace zuna::transport {

struct FitRange {
  double T_low_K = 0.0, T_high_K = 0.0;
  double A = 0.0, B = 0.0, C = 0.0, D = 0.0;
};

// One entry: a species (partner empty) or a pair, with its ranges in order.
struct TransportRecord {
  std::string name, partner;
  std::vector<FitRange> viscosity, conductivity;
  int line = 0;  // where the entry starts in its file
};

struct TransportDatabase {
  std::vector<TransportRecord> records;
  std::string source;

  // The species `name`, or the pair of `name` and `partner` in either
  // order; nullptr when the database has none.
  const TransportRecord* find(std::string_view name, std::string_view partner = {}) const;
};

// The compiled-in fits: every species and pair of the NASA Glenn transport
// database made only of H, O, N, Ar, He and C, no ions (the program's
// data/nasa-glenn-trans-chon-ar-he.inp), parsed once on first use.
const TransportDatabase& builtin_transport();

// Every entry of a file in the layout of that database ('!' comments, a
// heading line, the entries, "end"). Throws engine::InputError naming the
// line.
TransportDatabase read_transport(std::istream& in, const std::string& name);

// The range of `ranges` that holds T, else the nearest one (extrapolated);
// a common end belongs to the upper range.
const FitRange& fit_range_at(const std::vector<FitRange>& ranges, double T_K);

namespace detail {
const char* builtin_fits_text();
}

}  // namespace zuna::transport
