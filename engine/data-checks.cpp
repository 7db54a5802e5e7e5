#include "engine/data-checks.h"

#include <cmath>
#include <cstdio>

namespace zuna::engine::detail {
namespace {

constexpr double kLowestMolarMass = 0.5;     // [g/mol], below H (1.008)
constexpr double kHighestMolarMass = 1000.0;  // [g/mol], the six species
constexpr double kHighestRecordMolarMass = 1e5;  // [g/mol], a record of a database
constexpr double kLowestElectronMass = 5e-4;  // [g/mol], the electron 5.486e-4
constexpr double kHighestElectronMass = 6e-4;

// A term must stay below this: far above any real coefficient's terms (about
// 1e4) and far below the overflow at 1.8e308, with room for the products and
// sums a calculation makes of it.
constexpr double kLargestTerm = 1e300;

// The largest factor coefficient k (a0..a6, b1, b2) is multiplied by at T in
// the 9-coefficient forms of cp/R, h/RT and s/R.
double largest_factor(int k, double T) {
  const double ln_T = std::fabs(std::log(T));
  switch (k) {
    case 0: return 1.0 / (T * T);                  // a0 / T^2
    case 1: return std::fmax(1.0, ln_T) / T;       // a1 / T, a1 ln T / T
    case 2: return std::fmax(1.0, ln_T);           // a2, a2 ln T
    case 7: return 1.0 / T;                        // b1 / T
    case 8: return 1.0;                            // b2
    default: return std::pow(T, k - 2);            // a3 T .. a6 T^4
  }
}

double coefficient(const PolyRange& r, int k) { return k < 7 ? r.a[k] : k == 7 ? r.b1 : r.b2; }

}  // namespace

DataFault species_data_fault(double M_g_mol, const PolyRange* ranges, int count, RecordKind kind) {
  DataFault fault;
  const bool electron = kind == RecordKind::electron;
  const double lowest = electron ? kLowestElectronMass : kLowestMolarMass;
  const double highest = electron                         ? kHighestElectronMass
                         : kind == RecordKind::six_species ? kHighestMolarMass
                                                           : kHighestRecordMolarMass;
  if (!(M_g_mol >= lowest && M_g_mol <= highest)) {
    fault.what = electron ? "the molar mass of the electron must lie between 5e-4 and 6e-4 g/mol"
                 : kind == RecordKind::six_species
                     ? "the molar mass must lie between 0.5 and 1000 g/mol"
                     : "the molar mass must lie between 0.5 and 1e5 g/mol";
    return fault;
  }
  for (int r = 0; r < count; ++r) {
    const double temperatures[4] = {ranges[r].T_low_K, ranges[r].T_high_K, kTMinK, kTMaxK};
    for (int k = 0; k < 9; ++k) {
      const double a = coefficient(ranges[r], k);
      for (double T : temperatures) {
        if (!(T > 0.0) || !std::isfinite(T)) {
          continue;
        }
        if (!(std::fabs(a) <= kLargestTerm / largest_factor(k, T))) {
          fault.range = r;
          fault.coefficient = k;
          fault.what = "a coefficient is too large";
          return fault;
        }
      }
    }
  }
  return fault;
}

std::string fault_text(const DataFault& fault, const PolyRange* ranges) {
  if (fault.range < 0) {
    return fault.what;
  }
  const PolyRange& r = ranges[fault.range];
  const int k = fault.coefficient;
  const std::string name = k < 7 ? "a" + std::to_string(k + 1) : "b" + std::to_string(k - 6);
  auto kelvin = [](double T) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", T);
    return std::string(text);
  };
  return "coefficient " + name + " of the range " + kelvin(r.T_low_K) + "-" + kelvin(r.T_high_K) +
         " K is too large: its terms leave the range of the numbers";
}

}  // namespace zuna::engine::detail
