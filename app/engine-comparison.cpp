#include "app/engine-comparison.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "engine/engine.h"

namespace zuna {
namespace {

bool all_reactions_on(const RunParameters& p) {
  return p.act1 != 0.0 && p.act2 != 0.0 && p.act3 != 0.0 && p.act4 != 0.0;
}

std::vector<EngineFlame> flames_of(const Calculation& c, const engine::ThermoData& data) {
  std::vector<EngineFlame> flames(static_cast<std::size_t>(c.s.npts));
  if (!all_reactions_on(c.p)) {
    return flames;
  }
  // The sweep's reactants: liquid H2 and O2 with its own enthalpies [J/mol].
  engine::Reactants reactants;
  reactants.set = engine::ReactantSet::custom;
  reactants.h_fuel_J_mol = c.tc.hh2;
  reactants.h_oxid_J_mol = c.tc.ho2;
  engine::State previous;
  bool warm = false;
  for (int i = 1; i <= c.s.npts; ++i) {
    // The point's O/F as the batch run reports it: no2r mw(O2) / mw(H2).
    const double of = c.table->point[i].no2r * c.tc.mwk(2) / c.tc.mwk(3);
    engine::State pt;
    try {
      pt =
          engine::flame(data, engine::Mixture{of, reactants}, c.p.ptot, warm ? &previous : nullptr);
    } catch (const engine::InputError&) {
      continue;  // beyond the engine's O/F range (rmax above 40)
    }
    EngineFlame& f = flames[static_cast<std::size_t>(i - 1)];
    f.computed = true;
    f.T_K = pt.T_K;
    for (int k = 0; k < 6; ++k) {
      f.x[k] = pt.x[k];
    }
    f.flags = pt.flags;
    if (pt.has_values()) {
      previous = pt;
      warm = true;
    }
  }
  return flames;
}

}  // namespace

engine::ThermoData read_engine_data(const std::string& data_file) {
  std::ifstream in(data_file, std::ios::binary);
  if (!in) {
    throw std::runtime_error("cannot read '" + data_file + "': " + std::strerror(errno));
  }
  try {
    return engine::read_data7(in, data_file);
  } catch (const engine::InputError& e) {
    throw std::runtime_error(e.what());
  }
}

std::vector<EngineFlame> compare_with_engine(const Calculation& c, const engine::ThermoData& data) {
  return flames_of(c, data);
}

EngineComparison compare_with_engine(std::span<const Calculation> calculations,
                                     const std::string& data_file) {
  const engine::ThermoData data = read_engine_data(data_file);
  EngineComparison comparison;
  for (const Calculation& c : calculations) {
    comparison.calculations.push_back(flames_of(c, data));
  }
  return comparison;
}

}  // namespace zuna
