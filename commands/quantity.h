// Quantities with their units on a command line: a pressure is a number in
// atm, as it always was, or a number followed by its unit ("20bar",
// "1000psia", "6.9MPa", "10mmHg"). The value is converted to atm once, as it
// is read; ranges are checked on the converted value and told back in the
// unit the user gave.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zuna {

struct PressureUnit {
  const char* name;  // as written after the number
  double pascal;     // one unit in Pa
};

// Pa, kPa, MPa, bar, atm, psia, mmHg, torr.
std::span<const PressureUnit> pressure_units();

// "Pa, kPa, MPa, bar, atm, psia, mmHg, torr", for messages and --help.
std::string pressure_unit_names();

// A pressure as written: the number, the unit it was given in (atm when
// none), and the value in atm. The number in atm is taken as it reads,
// without a conversion: a pressure written in atm keeps every bit.
struct Pressure {
  double atm = 0.0;
  double given = 0.0;
  const PressureUnit* unit = nullptr;
  bool unit_written = false;  // the unit was written, not taken as atm
};

enum class QuantityError { none, not_a_number, unknown_unit };

// Reads "NUMBER[UNIT]"; `read_number` reads the number part (nothing when
// it does not read). The unit is compared exactly, letter case included.
std::optional<Pressure> read_pressure(std::string_view text,
                                      std::optional<double> (*read_number)(std::string_view),
                                      QuantityError* error = nullptr);

// `atm` in `unit`: the inverse of the conversion, for ranges told back.
double pressure_in(double atm, const PressureUnit& unit);
// `v` of `unit` in atm (v itself for atm).
double pressure_to_atm(double v, const PressureUnit& unit);

}  // namespace zuna
