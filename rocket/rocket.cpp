#include "rocket/rocket.h"

#include <cmath>
#include <limits>
#include <string>

#include "rocket/expansion.h"
#include "rocket/fp-flags.h"
#include "rocket/refusal.h"
#include "rocket/warm-start.h"

namespace zuna::rocket {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPaPerAtm = 101325.0;

void clear_performance(Station& s) {
  s.mach = s.ae_at = s.cstar_m_s = s.cf = s.ivac_m_s = s.isp_m_s = kNaN;
}

// A station that could not be computed: `bits` say why; a state the search
// ended on is not the station's and goes too.
void fail(Station& s, unsigned bits) {
  s.flags |= s.state.flags | bits;
  if ((s.flags & kInvalidStation) == 0) {
    s.flags |= engine::kNoSolution;  // values that are not finite, with no reason given
  }
  s.state.clear_values();
  s.pinf_p = kNaN;
  clear_performance(s);
}

// The performance of a station from its flow and the throat's mass flux:
//   Ae/At = (rho u)_t / (rho u), c* = Pc / (rho u)_t, Isp = u,
//   Ivac = u + Pe / (rho u), Cf = Isp / c*.
void set_station(Station& s, const Flow& flow, double pc_atm, double rho_u_throat) {
  s.state = flow.state;
  s.flags |= flow.state.flags;
  s.pinf_p = pc_atm / flow.state.p_atm;
  s.mach = flow.u_m_s / flow.a_m_s;
  if (!flow.ok) {
    fail(s, 0);
    return;
  }
  if (s.kind == StationKind::chamber) {
    clear_performance(s);
    s.mach = 0.0;
    s.pinf_p = 1.0;
    return;
  }
  const double pe_Pa = flow.state.p_atm * kPaPerAtm;
  s.ae_at = rho_u_throat / flow.rho_u;
  s.cstar_m_s = pc_atm * kPaPerAtm / rho_u_throat;
  s.isp_m_s = flow.u_m_s;
  s.ivac_m_s = flow.u_m_s + pe_Pa / flow.rho_u;
  s.cf = s.isp_m_s / s.cstar_m_s;
}

// The chamber: HP equilibrium at Pc, at rest.
Flow chamber_flow(const engine::ThermoData& data, const RocketInput& problem,
                  const WarmStart& warm) {
  const Station* prev = warm.station(0);
  Flow f;
  f.state = engine::flame(data, engine::Mixture{problem.of, problem.reactants}, problem.pc_atm,
                          prev ? &prev->state : nullptr);
  f.a_m_s = f.state.son_vel_m_s;
  f.gamma = f.state.gamma_s;
  f.ok = f.state.converged() && (f.state.flags & kInvalidStation) == 0 &&
         std::isfinite(f.state.H_kJ_kg) && std::isfinite(f.gamma);
  return f;
}

// The chamber of frozen_chamber: the same gas with its frozen properties.
Flow with_frozen_properties(Flow f) {
  f.state.freeze_derivatives();
  f.a_m_s = f.state.son_vel_m_s;
  f.gamma = f.state.gamma_s;
  f.ok = f.ok && std::isfinite(f.gamma);
  return f;
}

Expansion expansion_from(const engine::ThermoData& data, double pc_atm,
                         const engine::State& chamber, const engine::State* frozen_at) {
  Expansion e;
  e.data = &data;
  e.pc_atm = pc_atm;
  e.h_chamber_kJ_kg = chamber.H_kJ_kg;
  e.s_kJ_kgK = chamber.S_kJ_kgK;
  e.feed = engine::feed_of(chamber);
  e.frozen = frozen_at != nullptr;
  if (e.frozen) {
    e.composition = engine::composition_of(*frozen_at);
  }
  return e;
}

// A first ln(Pc/P) for the area ratio's exit from the stations of this O/F
// already computed (the throat excepted, where the slope is 0): Newton's step
// from the one whose area ratio is nearest, with its exact slope
// d ln(Ae/At)/dx = (1 - 1/M^2) / gamma. 0 when there is none.
double x_from_neighbours(const RocketResult& out, std::size_t computed, double area_ratio) {
  const Station* nearest = nullptr;
  const double ln_area = std::log(area_ratio);
  for (std::size_t k = 2; k < computed; ++k) {
    const Station& s = out.stations[k];
    if (s.valid() && s.mach > 1.0 &&
        (nearest == nullptr ||
         std::fabs(std::log(s.ae_at) - ln_area) < std::fabs(std::log(nearest->ae_at) - ln_area))) {
      nearest = &s;
    }
  }
  if (nearest == nullptr) {
    return 0.0;
  }
  const double slope = (1.0 - 1.0 / (nearest->mach * nearest->mach)) / nearest->state.gamma_s;
  return std::log(nearest->pinf_p) + (ln_area - std::log(nearest->ae_at)) / slope;
}

// The exits: `before` is the expansion of the subsonic part (a pressure
// above the throat's), `after` that of the supersonic part; they differ for
// frozen_throat only.
void compute_exits(const Expansion& before, const Expansion& after, const Flow& throat,
                   const RocketInput& problem, const WarmStart& warm, RocketResult& out) {
  const engine::State* upstream = &throat.state;
  const double pinf_throat = problem.pc_atm / throat.state.p_atm;
  std::size_t i = 2;
  for (double pi : problem.pi_p) {
    Station& s = out.stations[i];
    const Station* prev = warm.station(i);
    const Expansion& e = pi < pinf_throat ? before : after;
    const Flow f = expand_to(e, problem.pc_atm / pi, prev ? &prev->state : upstream);
    set_station(s, f, problem.pc_atm, throat.rho_u);
    if (s.valid()) {
      upstream = &s.state;
    }
    ++i;
  }
  for (double area : problem.ae_at) {
    Station& s = out.stations[i];
    const Station* prev = warm.station(i);
    double x0 = warm.x_guess(i, problem.of);
    if (x0 == 0.0) {
      x0 = x_from_neighbours(out, i, area);
    }
    const SearchResult r =
        find_area_ratio_exit(after, throat, area, x0, prev ? &prev->state : nullptr);
    set_station(s, r.flow, problem.pc_atm, throat.rho_u);
    if (!r.found) {
      fail(s, kExitNotFound);
    }
    ++i;
  }
}

void label_stations(const RocketInput& problem, RocketResult& out) {
  out.of = problem.of;
  out.model = problem.model;
  out.stations.assign(2 + problem.pi_p.size() + problem.ae_at.size(), Station{});
  out.stations[1].kind = StationKind::throat;
  std::size_t i = 2;
  for (double pi : problem.pi_p) {
    out.stations[i].kind = StationKind::pressure_ratio;
    out.stations[i++].exit_value = pi;
  }
  for (double area : problem.ae_at) {
    out.stations[i].kind = StationKind::area_ratio;
    out.stations[i++].exit_value = area;
  }
}

}  // namespace

void compute_stations(const engine::ThermoData& data, const RocketInput& problem,
                      const WarmStart& warm, RocketResult& out, SharedStations* shared) {
  label_stations(problem, out);
  // The chamber's equilibrium, solved once for every model of the O/F.
  SharedStations own;
  SharedStations& s = shared != nullptr ? *shared : own;
  if (!s.has_chamber) {
    s.chamber = chamber_flow(data, problem, warm);
    s.has_chamber = true;
  }
  const bool frozen_at_chamber = problem.model == Model::frozen_chamber;
  const Flow chamber = frozen_at_chamber ? with_frozen_properties(s.chamber) : s.chamber;
  set_station(out.stations[0], chamber, problem.pc_atm, kNaN);
  if (!chamber.ok) {
    for (std::size_t i = 0; i < out.stations.size(); ++i) {
      fail(out.stations[i], i == 0 ? 0u : unsigned{kChamberFailed});
    }
    return;
  }
  // The throat: the shifting one is shared by equilibrium and frozen_throat.
  const Expansion to_throat = expansion_from(data, problem.pc_atm, chamber.state,
                                             frozen_at_chamber ? &chamber.state : nullptr);
  SearchResult own_throat;
  SearchResult& throat = frozen_at_chamber ? own_throat : s.shifting_throat;
  if (frozen_at_chamber || !s.has_shifting_throat) {
    const Station* prev_throat = warm.station(1);
    throat = find_throat(to_throat, chamber, warm.x_guess(1, problem.of),
                         prev_throat ? &prev_throat->state : nullptr);
    s.has_shifting_throat = s.has_shifting_throat || !frozen_at_chamber;
  }
  set_station(out.stations[1], throat.flow, problem.pc_atm, throat.flow.rho_u);
  if (!throat.found || !out.stations[1].valid()) {
    for (std::size_t i = 1; i < out.stations.size(); ++i) {
      fail(out.stations[i], kThroatNotFound);
    }
    return;
  }
  if (problem.model == Model::frozen_throat) {
    const Expansion after = expansion_from(data, problem.pc_atm, chamber.state, &throat.flow.state);
    compute_exits(to_throat, after, throat.flow, problem, warm, out);
  } else {
    compute_exits(to_throat, to_throat, throat.flow, problem, warm, out);
  }
}

namespace {

// A previous result starts the solves only when it is of the same model and
// has the same stations.
bool starts(const RocketInput& problem, const RocketResult* previous) {
  return previous != nullptr && previous->model == problem.model &&
         previous->stations.size() == 2 + problem.pi_p.size() + problem.ae_at.size();
}

}  // namespace

void check_problem(const engine::ThermoData& data, const RocketInput& problem) {
  const FpFlagsKept kept;
  const double pc = problem.pc_atm;
  if (!(pc >= kPcMinAtm && pc <= kPcMaxAtm)) {
    throw InputError(
        refusal(engine::Argument::pc_atm, pc, engine::Bounds::closed, kPcMinAtm, kPcMaxAtm),
        "chamber pressure pc_atm = " + shortest_text(pc) + " is outside " +
            shortest_text(kPcMinAtm) + " to " + shortest_text(kPcMaxAtm) + " atm");
  }
  // The O/F and the reactants: the engine's ranges.
  engine::feed_of(data, engine::Mixture{problem.of, problem.reactants});
  const std::size_t exits = problem.pi_p.size() + problem.ae_at.size();
  if (exits > static_cast<std::size_t>(kMaxExits)) {
    throw InputError(refusal(engine::Argument::exits, static_cast<double>(exits),
                             engine::Bounds::at_most, 0.0, kMaxExits),
                     std::to_string(exits) + " exit conditions (pi_p and ae_at together) are " +
                         "more than the " + std::to_string(kMaxExits) + " accepted");
  }
  // The exit pressure must stay within the engine's range: Pc/Pe <= Pc / 1e-6 atm.
  const double pi_max = pc / engine::kPMinAtm;
  for (double pi : problem.pi_p) {
    if (!(pi > 1.0 && pi <= pi_max)) {
      throw InputError(refusal(engine::Argument::pi_p, pi, engine::Bounds::above, 1.0, pi_max),
                       "pressure ratio pi_p = " + shortest_text(pi) +
                           " is outside the accepted range: " + "greater than 1, at most " +
                           shortest_text(pi_max) + " (Pe >= " + shortest_text(engine::kPMinAtm) +
                           " atm)");
    }
  }
  for (double area : problem.ae_at) {
    if (!(area >= 1.0 && area < std::numeric_limits<double>::infinity())) {
      throw InputError(refusal(engine::Argument::ae_at, area, engine::Bounds::at_least, 1.0,
                               std::numeric_limits<double>::infinity()),
                       "area ratio ae_at = " + shortest_text(area) +
                           " is outside the accepted range: at least 1, finite");
    }
  }
}

RocketResult rocket_performance(const engine::ThermoData& data, const RocketInput& problem,
                                const RocketResult* previous) {
  const FpFlagsKept kept;
  check_problem(data, problem);
  RocketResult out;
  WarmStart warm;
  warm.previous = starts(problem, previous) ? previous : nullptr;
  compute_stations(data, problem, warm, out);
  return out;
}

std::vector<RocketResult> rocket_performance(const engine::ThermoData& data,
                                             const RocketInput& problem,
                                             std::span<const Model> models,
                                             std::span<const RocketResult> previous) {
  const FpFlagsKept kept;
  check_problem(data, problem);
  SharedStations shared;
  std::vector<RocketResult> out(models.size());
  RocketInput p = problem;
  for (std::size_t i = 0; i < models.size(); ++i) {
    p.model = models[i];
    WarmStart warm;
    if (i < previous.size() && starts(p, &previous[i])) {
      warm.previous = &previous[i];
    }
    compute_stations(data, p, warm, out[i], &shared);
  }
  return out;
}

RocketResult rocket_performance(const RocketInput& problem) {
  return rocket_performance(engine::builtin_nasa9_data(), problem);
}

namespace {

// The results of the three O/F before O/F i that a warm start takes, from
// `results`, indexed by O/F (a whole sweep, or a ring that keeps the last
// four).
template <class Results>
WarmStart warm_start_at(const Results& results, std::size_t i) {
  WarmStart warm;
  warm.previous = i > 0 ? &results[i - 1] : nullptr;
  warm.before = i > 1 ? &results[i - 2] : nullptr;
  warm.earliest = i > 2 ? &results[i - 3] : nullptr;
  return warm;
}

// Checks the problem at every O/F of a sweep before anything is computed.
void check_sweep(const engine::ThermoData& data, RocketInput p, std::span<const double> of) {
  for (double v : of) {
    p.of = v;
    check_problem(data, p);
  }
}

// The last four results of a sweep, indexed by O/F.
class RingOfResults {
 public:
  RocketResult& operator[](std::size_t i) { return slots_[i % 4]; }
  const RocketResult& operator[](std::size_t i) const { return slots_[i % 4]; }

 private:
  RocketResult slots_[4];
};

}  // namespace

std::vector<RocketResult> rocket_sweep(const engine::ThermoData& data, const RocketInput& problem,
                                       std::span<const double> of) {
  const FpFlagsKept kept;
  RocketInput p = problem;
  check_sweep(data, p, of);
  std::vector<RocketResult> out(of.size());
  for (std::size_t i = 0; i < of.size(); ++i) {
    p.of = of[i];
    compute_stations(data, p, warm_start_at(out, i), out[i]);
  }
  return out;
}

std::vector<std::vector<RocketResult>> rocket_sweep(const engine::ThermoData& data,
                                                    const RocketInput& problem,
                                                    std::span<const double> of,
                                                    std::span<const Model> models) {
  std::vector<std::vector<RocketResult>> out(of.size(), std::vector<RocketResult>(models.size()));
  rocket_sweep_each(data, problem, of, models,
                    [&](std::size_t m, std::size_t i, const RocketResult& result) {
                      out[i][m] = result;
                      return true;
                    });
  return out;
}

void rocket_sweep_each(const engine::ThermoData& data, const RocketInput& problem,
                       std::span<const double> of, std::span<const Model> models,
                       const SweepResultSink& each) {
  const FpFlagsKept kept;
  RocketInput p = problem;
  check_sweep(data, p, of);
  // What the first model solves at each O/F (the chamber, the shifting
  // throat) for the models after it, kept for every O/F as the models are
  // taken one after the other.
  std::vector<SharedStations> shared(of.size());
  for (std::size_t m = 0; m < models.size(); ++m) {
    p.model = models[m];
    RingOfResults kept_results;
    for (std::size_t i = 0; i < of.size(); ++i) {
      p.of = of[i];
      RocketResult& result = kept_results[i];
      compute_stations(data, p, warm_start_at(kept_results, i), result, &shared[i]);
      if (!each(m, i, result)) {
        return;
      }
    }
  }
}

}  // namespace zuna::rocket
