// The equilibrium engine's adiabatic flame beside each point of a batch run
// (--compare-engine): the same O/F, pressure and reactant enthalpies, the
// same data file read with the engine's own 7-coefficient reader. The sweep
// reduces the equilibrium to four dissociation reactions solved inside a
// temperature search; the engine minimises the Gibbs energy of the six
// species directly, so the two columns side by side check one method against
// the other.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "app/results-export.h"
#include "engine/engine.h"

namespace zuna {

// The engine's flame at one point. computed is false when the calculation
// has a reaction switched off (the engine always has all four) or when the
// point's O/F lies outside the engine's range; its columns are then empty.
struct EngineFlame {
  bool computed = false;
  double T_K = 0.0;
  double x[6] = {};    // mole fractions, species order
  unsigned flags = 0;  // zuna4::StateFlag bits
};

// Per calculation, the flames of its points 1..npts at index point - 1.
struct EngineComparison {
  std::vector<std::vector<EngineFlame>> calculations;
};

// Reads `data_file` with the engine's reader and computes every point of
// every calculation, each started from the point before it. Throws
// std::runtime_error naming the file when it cannot be read or used.
// The data file read with the engine's 7-coefficient reader. Throws
// std::runtime_error, with the file's name and the reason, when it cannot be
// read or used.
engine::ThermoData read_engine_data(const std::string& data_file);

// The engine's flames beside the points 1..npts of one calculation, each
// solve warm from the point before.
std::vector<EngineFlame> compare_with_engine(const Calculation& c, const engine::ThermoData& data);

// Every calculation at once: the data file read, then each calculation.
EngineComparison compare_with_engine(std::span<const Calculation> calculations,
                                     const std::string& data_file);

}  // namespace zuna
