// A refused input as data: which argument, the value given and the range
// accepted. The layer that owns a range checks it, once, and throws an
// InputError carrying the Refusal; each front end words it in its own
// language with its own name of the argument (the command line its option,
// Python its keyword) from these fields, never from the message. what() is
// the library's own English wording.
#pragma once

#include <cstddef>
#include <limits>
#include <stdexcept>
#include <string>

namespace zuna4 {

// The argument refused, by what it is (each front end has its own name for
// it). Values are never reused.
enum class Argument : unsigned char {
  none,             // no one argument: a data file, a call's shape (the message says)
  of,               // an O/F mass ratio
  p_atm,            // a pressure
  T_K,              // a temperature of the problem (TP, a frozen state)
  reactants_T_K,    // the temperature of the gaseous reactants
  h_fuel_J_mol,     // the enthalpy given for H2
  h_oxid_J_mol,     // the enthalpy given for O2
  h_kJ_kg,          // an enthalpy held fixed (HP)
  s_kJ_kgK,         // an entropy held fixed (SP)
  u_kJ_kg,          // an internal energy held fixed (UV)
  v_m3_kg,          // a specific volume held fixed (UV)
  rho_kg_m3,        // a density held fixed (UV)
  composition,      // the amounts of a fixed composition
  pc_atm,           // a chamber pressure
  pi_p,             // a pressure ratio Pc/Pe
  ae_at,            // an area ratio Ae/At
  exits,            // the number of exits, pressure and area ratios together
  of_interval,      // the O/F interval of a best-O/F search (value: of_low, of_high)
  scan_points,      // the points of a best-O/F search's coarse scan
  out,              // the size of an output array
  sweep_parameter,  // a run parameter of the program's sweep (see the index)
  contraction,      // the contraction ratio Ac/At of a finite-area combustor
  mass_flux,        // the mass flux mdot/Ac of a finite-area combustor [kg/(s m2)]
  sub_ae_at,        // a subsonic area ratio Ae/At
};

// The shape of the range accepted.
enum class Bounds : unsigned char {
  none,      // no range: a number was needed, or the message says what
  closed,    // low <= value <= high
  above,     // low < value <= high (high may be +inf)
  at_least,  // low <= value, finite
  at_most,   // value <= high (a count)
};

struct Refusal {
  static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  Argument argument = Argument::none;
  double value = kNone;   // the value refused (the first of two for of_interval)
  double value2 = kNone;  // of_interval: of_high
  Bounds bounds = Bounds::none;
  double low = kNone;
  double high = kNone;
  // The point of an array of inputs it belongs to, or -1; for
  // sweep_parameter the field of the run parameters' table.
  long long index = -1;
};

// Thrown before anything is computed when an input lies outside the range
// accepted.
class InputError : public std::invalid_argument {
 public:
  InputError(const Refusal& refusal, const std::string& what)
      : std::invalid_argument(what), refusal_(refusal) {}
  // A refusal that is no argument's (a data file's line, a call's shape).
  explicit InputError(const std::string& what) : std::invalid_argument(what) {}

  const Refusal& refusal() const noexcept { return refusal_; }

 private:
  Refusal refusal_;
};

}  // namespace zuna4
