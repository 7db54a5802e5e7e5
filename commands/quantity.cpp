#include "commands/quantity.h"

#include <array>

namespace zuna {
namespace {

// 1 atm = 101325 Pa, 1 bar = 1e5 Pa, 1 psi = 0.45359237 kg x 9.80665 m/s2
// over (0.0254 m)^2, 1 mmHg = 13.5951 g/cm3 x 9.80665 m/s2 x 1 mm, 1 torr =
// 1/760 atm.
constexpr double kAtmPa = 101325.0;
constexpr std::array<PressureUnit, 8> kUnits = {{
    {"Pa", 1.0},
    {"kPa", 1e3},
    {"MPa", 1e6},
    {"bar", 1e5},
    {"atm", kAtmPa},
    {"psia", 6894.757293168361},
    {"mmHg", 133.322387415},
    {"torr", kAtmPa / 760.0},
}};

bool is_atm(const PressureUnit& unit) { return unit.pascal == kAtmPa; }

}  // namespace

std::span<const PressureUnit> pressure_units() { return kUnits; }

std::string pressure_unit_names() {
  std::string names;
  for (const PressureUnit& u : kUnits) {
    names += (names.empty() ? "" : ", ") + std::string(u.name);
  }
  return names;
}

std::optional<Pressure> read_pressure(std::string_view text,
                                      std::optional<double> (*read_number)(std::string_view),
                                      QuantityError* error) {
  // The unit is the run of letters at the end; an exponent's 'e' is
  // followed by a digit or a sign, so it never ends a number.
  std::size_t split = text.size();
  while (split > 0) {
    const char c = text[split - 1];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
      break;
    }
    --split;
  }
  auto fail = [&](QuantityError e) -> std::optional<Pressure> {
    if (error != nullptr) {
      *error = e;
    }
    return std::nullopt;
  };
  const std::optional<double> number = read_number(text.substr(0, split));
  if (!number) {
    return fail(QuantityError::not_a_number);
  }
  const std::string_view unit_name = text.substr(split);
  const PressureUnit* unit = &kUnits[4];  // atm
  if (!unit_name.empty()) {
    unit = nullptr;
    for (const PressureUnit& u : kUnits) {
      if (unit_name == u.name) {
        unit = &u;
      }
    }
    if (unit == nullptr) {
      return fail(QuantityError::unknown_unit);
    }
  }
  Pressure p;
  p.given = *number;
  p.unit = unit;
  p.unit_written = !unit_name.empty();
  p.atm = pressure_to_atm(*number, *unit);
  return p;
}

double pressure_to_atm(double v, const PressureUnit& unit) {
  return is_atm(unit) ? v : v * unit.pascal / kAtmPa;
}

double pressure_in(double atm, const PressureUnit& unit) {
  return is_atm(unit) ? atm : atm * kAtmPa / unit.pascal;
}

}  // namespace zuna
