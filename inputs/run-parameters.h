// The run parameters of one calculation, the limits of the sweep tables and
// the checks that keep the parameters inside the model's domain. The
// parameter dialog applies the checks after the texts are read; any other way
// of giving parameters (a command line) applies the same ones.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zuna {

// The run parameters typed in the parameter dialog.
struct RunParameters {
  std::int32_t npmin = 0;   // points strictly between minimum and stoichiometric O/F
  std::int32_t npmax = 0;   // points strictly between stoichiometric and maximum O/F
  std::int32_t itmaxh = 0;  // iteration cap of the temperature searches
  std::int32_t itmaxn = 0;  // iteration cap of the equilibrium solve
  double rmin = 0.0;        // minimum O/F as a multiple of the stoichiometric O/F
  double rmax = 0.0;        // maximum O/F as a multiple of the stoichiometric O/F
  double ptot = 0.0;        // total pressure [atm]
  double tolh = 0.0;        // tolerance of the temperature searches [K]
  double toln = 0.0;        // tolerance on moles of the equilibrium solve
  double act1 = 0.0, act2 = 0.0, act3 = 0.0, act4 = 0.0;  // 1.0 on, 0.0 off
};

// The values the parameter dialog's default texts read as ("0.5d0", "2.0d0",
// "10", "20", "1.0d0", "1.0d-3", "100", "1.0d-10", "200", all four reactions
// on): the batch run's defaults and the grid of the benchmarks and checks.
inline RunParameters dialog_default_parameters() {
  RunParameters p;
  p.npmin = 10, p.npmax = 20, p.itmaxh = 100, p.itmaxn = 200;
  p.rmin = 0.5, p.rmax = 2.0, p.ptot = 1.0, p.tolh = 1.0e-3, p.toln = 1.0e-10;
  p.act1 = p.act2 = p.act3 = p.act4 = 1.0;
  return p;
}

// Highest point index of the tables: a calculation has npts = npmin + npmax + 3
// reported points, so npmin + npmax may be at most this minus 3.
inline constexpr int kMaxPoint = 103;
inline constexpr int kMaxInnerPoints = kMaxPoint - 3;

// The accepted domain. The O/F range must hold the stoichiometric point
// (0 < rmin <= 1 <= rmax <= kMaxRatio); the pressure is kept where the
// equilibrium constants and moles stay well inside double range; the caps
// fit the report's five-digit field.
inline constexpr double kMinPressure = 1.0E-6;  // [atm]
inline constexpr double kMaxPressure = 1.0E5;   // [atm]
inline constexpr double kMaxRatio = 100.0;
inline constexpr std::int32_t kMaxIterations = 99999;

// The fields in the dialog's order.
enum class ParameterField { rmin, rmax, npmin, npmax, ptot, tolh, itmaxh, toln, itmaxn };

struct ParameterProblem {
  ParameterField field;
  std::string message;  // the dialog's line for it, Windows-1252, ending in '\n'
};

// Domain and count checks, in field order; empty when the parameters can be
// swept. Point counts that do not fit the tables give one problem, on npmin
// when npmin itself is out of 0..kMaxInnerPoints, otherwise on npmax. A
// value that is not a number is out of every range. The switches (1.0 or
// 0.0) are not checked.
std::vector<ParameterProblem> check_run_parameters(const RunParameters& p);

}  // namespace zuna
