#include "rocket/rocket.h"

#include <cmath>
#include <limits>
#include <string>

#include "engine/fp-guard.h"
#include "rocket/combustor.h"
#include "rocket/expansion.h"
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

// The expansion from `chamber` (the combustor's end in a finite-area
// combustor), with the stagnation enthalpy h_kJ_kg.
Expansion expansion_from(const engine::ThermoData& data, double pc_atm,
                         const engine::State& chamber, double h_kJ_kg,
                         const engine::State* frozen_at) {
  Expansion e;
  e.data = &data;
  e.pc_atm = pc_atm;
  e.h_chamber_kJ_kg = h_kJ_kg;
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
double x_from_neighbours(const RocketResult& out, std::size_t first_exit, std::size_t computed,
                         double area_ratio) {
  const Station* nearest = nullptr;
  const double ln_area = std::log(area_ratio);
  for (std::size_t k = first_exit; k < computed; ++k) {
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
  const std::size_t first_exit = out.throat_index() + 1;
  std::size_t i = first_exit;
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
  // Subsonic area ratios: on the expansion before the throat. In a
  // finite-area combustor one above Ac/At lies upstream of the combustor's
  // end, where the nozzle's flow is not: not found.
  for (double area : problem.sub_ae_at) {
    Station& s = out.stations[i];
    const Station* prev = warm.station(i);
    const double contraction = out.finite_chamber() ? out.stations[1].ae_at : 0.0;
    if (contraction != 0.0 && area > contraction * (1.0 + 1e-9)) {
      fail(s, kExitNotFound);
      ++i;
      continue;
    }
    const SearchResult r = find_subsonic_exit(before, throat, area, warm.x_guess(i, problem.of),
                                              prev ? &prev->state : nullptr);
    set_station(s, r.flow, problem.pc_atm, throat.rho_u);
    if (!r.found) {
      fail(s, kExitNotFound);
    }
    ++i;
  }
  for (double area : problem.ae_at) {
    Station& s = out.stations[i];
    const Station* prev = warm.station(i);
    double x0 = warm.x_guess(i, problem.of);
    if (x0 == 0.0) {
      x0 = x_from_neighbours(out, first_exit, i, area);
    }
    // Ae/At = 1 is the throat; where the composition is frozen after it
    // (frozen_throat), the throat's gas with its frozen properties.
    const SearchResult r =
        area == 1.0 && after.frozen
            ? SearchResult{with_frozen_properties(throat), true, 0}
            : find_area_ratio_exit(after, throat, area, x0, prev ? &prev->state : nullptr);
    set_station(s, r.flow, problem.pc_atm, throat.rho_u);
    if (!r.found) {
      fail(s, kExitNotFound);
    }
    ++i;
  }
}

bool finite_chamber(const RocketInput& problem) {
  return problem.contraction != 0.0 || problem.mass_flux != 0.0;
}

void label_stations(const RocketInput& problem, RocketResult& out) {
  out.of = problem.of;
  out.model = problem.model;
  const std::size_t first_exit = finite_chamber(problem) ? 3 : 2;
  out.stations.assign(
      first_exit + problem.pi_p.size() + problem.sub_ae_at.size() + problem.ae_at.size(),
      Station{});
  if (first_exit == 3) {
    out.stations[1].kind = StationKind::comb_end;
  }
  out.stations[first_exit - 1].kind = StationKind::throat;
  std::size_t i = first_exit;
  for (double pi : problem.pi_p) {
    out.stations[i].kind = StationKind::pressure_ratio;
    out.stations[i++].exit_value = pi;
  }
  for (double area : problem.sub_ae_at) {
    out.stations[i].kind = StationKind::sub_area_ratio;
    out.stations[i++].exit_value = area;
  }
  for (double area : problem.ae_at) {
    out.stations[i].kind = StationKind::area_ratio;
    out.stations[i++].exit_value = area;
  }
}

}  // namespace

namespace {

// The relative tolerance of the mass flux of a contraction ratio.
constexpr double kFluxTolerance = 1e-11;

// The end and the throat of a finite-area combustor.
struct FiniteThroat {
  Flow comb_end;
  SearchResult throat;
  bool choked = false;  // the last mass flux tried chokes the combustor
  double p_stag_atm = kNaN;  // the stagnation pressure of the nozzle's flow
};

// The stagnation pressure of the expansion: on its isentrope, where
// h = h_0 (u = 0). Newton's method in ln P with the exact slope
// dh/dln P = P / rho on the isentrope, from the ideal-gas stagnation
// pressure of the flow `from`. NaN when it does not converge.
double stagnation_pressure(const Expansion& e, const Flow& from) {
  const double g = from.gamma;
  const double m = from.u_m_s / from.a_m_s;
  double ln_p = std::log(from.state.p_atm) + g / (g - 1.0) * std::log(1.0 + 0.5 * (g - 1.0) * m * m);
  const engine::State* guess = &from.state;
  Flow f;
  for (int i = 0; i < 20; ++i) {
    f = expand_to(e, std::exp(ln_p), guess);
    if (!f.ok) {
      return kNaN;
    }
    const double dh = 1000.0 * (f.state.H_kJ_kg - e.h_chamber_kJ_kg);  // J/kg
    const double step = -dh * f.state.rho_kg_m3 / (f.state.p_atm * kPaPerAtm);
    ln_p += step;
    if (std::fabs(step) <= 1e-12) {
      return std::exp(ln_p);
    }
    guess = &f.state;
  }
  return kNaN;
}

// The first ln(Pinj/Pt): the ideal-gas throat of the stagnation state of
// the combustor's end, P0 = P (1 + (g-1)/2 M^2)^(g/(g-1)).
double throat_x_from_end(double pinj_atm, const Flow& end) {
  const double g = end.gamma;
  const double m = end.u_m_s / end.a_m_s;
  const double x0 = std::log(pinj_atm / end.state.p_atm) -
                    g / (g - 1.0) * std::log(1.0 + 0.5 * (g - 1.0) * m * m);
  return x0 + ideal_throat_x(g);
}

// The mass flux of the combustors of the earlier results at O/F `of`: the
// parabola in O/F through three (Lagrange's form), else the line through
// two, else the previous one's.
double mass_flux_guess(const WarmStart& warm, double of) {
  const RocketResult* r[3] = {warm.previous, warm.before, warm.earliest};
  double t[3], g[3];
  int n = 0;
  for (; n < 3; ++n) {
    const Station* s = WarmStart::usable(r[n], 1);
    if (s == nullptr) {
      break;
    }
    t[n] = r[n]->of;
    g[n] = s->state.rho_kg_m3 * s->mach * s->state.son_vel_m_s;
    for (int k = 0; k < n; ++k) {
      if (t[k] == t[n]) {
        return g[0];
      }
    }
  }
  double guess = 0.0;
  for (int k = 0; k < n; ++k) {
    double weight = 1.0;
    for (int m = 0; m < n; ++m) {
      if (m != k) {
        weight *= (of - t[m]) / (t[k] - t[m]);
      }
    }
    guess += weight * g[k];
  }
  return guess > 0.0 ? guess : g[0];
}

// The finite-area combustor's end and throat for the injector's gas (HP
// equilibrium at rest at Pinj = pc_atm). With the mass flux G given, its
// end and the throat of the isentropic expansion from it (stagnation
// enthalpy h_inj, the end's entropy). With the contraction ratio Ac/At, the
// G for which (rho u)_t / G = Ac/At: the root of
//   r(G) = (rho u)_t(G) / (Ac/At) - G,
// by a fixed-point step from a first G (the previous O/F's, else the
// ideal-gas choked flux of the injector's gas over Ac/At), then the secant.
// `frozen`: the nozzle flows frozen at the end's composition.
FiniteThroat finite_throat(const engine::ThermoData& data, const RocketInput& problem,
                           const Flow& injector, bool frozen, const WarmStart& warm) {
  FiniteThroat f;
  const Station* prev_end = warm.station(1);
  const Station* prev_throat = warm.station(2);
  const engine::State* end_guess = prev_end ? &prev_end->state : nullptr;
  const engine::State* throat_guess = prev_throat ? &prev_throat->state : nullptr;
  double x_throat = warm.x_guess(2, problem.of);
  auto throat_flux = [&](double g) {
    const CombustorEnd end = combustor_end(data, injector.state, problem.pc_atm, g, end_guess);
    f.comb_end = end.flow;
    f.choked = end.choked;
    if (!end.found) {
      f.throat = SearchResult{};
      return kNaN;
    }
    end_guess = &f.comb_end.state;
    const Flow from = frozen ? with_frozen_properties(f.comb_end) : f.comb_end;
    const Expansion e = expansion_from(data, problem.pc_atm, from.state, injector.state.H_kJ_kg,
                                       frozen ? &from.state : nullptr);
    if (!(x_throat > 0.0)) {
      x_throat = throat_x_from_end(problem.pc_atm, from);
    }
    f.throat = find_throat(e, from, x_throat, throat_guess ? throat_guess : &from.state);
    if (!f.throat.found) {
      return kNaN;
    }
    throat_guess = &f.throat.flow.state;
    x_throat = std::log(problem.pc_atm / f.throat.flow.state.p_atm);
    return f.throat.flow.rho_u;
  };
  // The stagnation pressure of the nozzle's flow, once the end is known.
  auto with_stagnation = [&]() -> FiniteThroat& {
    if (f.throat.found) {
      const Flow from = frozen ? with_frozen_properties(f.comb_end) : f.comb_end;
      const Expansion e = expansion_from(data, problem.pc_atm, from.state, injector.state.H_kJ_kg,
                                         frozen ? &from.state : nullptr);
      f.p_stag_atm = stagnation_pressure(e, from);
    }
    return f;
  };
  if (problem.mass_flux != 0.0) {
    throat_flux(problem.mass_flux);
    return with_stagnation();
  }
  const double c = problem.contraction;
  double g;
  if (prev_end != nullptr) {
    g = mass_flux_guess(warm, problem.of);
  } else {
    const double gi = injector.gamma;
    g = injector.state.rho_kg_m3 * injector.a_m_s *
        std::pow(2.0 / (gi + 1.0), (gi + 1.0) / (2.0 * (gi - 1.0))) / c;
  }
  // r decreases in G; a G that chokes the combustor lies above the root.
  double lo = 0.0, hi = kNaN;  // r(lo) > 0, r(hi) < 0
  double g_prev = kNaN, r_prev = kNaN;
  for (int k = 0; k < 60; ++k) {
    const double rho_u_t = throat_flux(g);
    double next;
    if (!(rho_u_t > 0.0)) {
      if (!f.choked) {
        return f;  // a station that cannot be computed
      }
      hi = g;
      next = std::isfinite(g_prev) ? 0.5 * (g_prev + g) : 0.5 * (lo + hi);
    } else {
      const double r = rho_u_t / c - g;
      if (std::fabs(r) <= kFluxTolerance * g) {
        return with_stagnation();
      }
      (r > 0.0 ? lo : hi) = g;
      next = g + r;  // the fixed point, then the secant
      if (std::isfinite(r_prev) && r != r_prev) {
        next = g - r * (g - g_prev) / (r - r_prev);
      }
      g_prev = g;
      r_prev = r;
    }
    if (!(next > lo && (std::isnan(hi) || next < hi))) {
      next = std::isnan(hi) ? 2.0 * g : 0.5 * (lo + hi);
    }
    g = next;
  }
  f.throat.found = false;
  return f;
}

}  // namespace

void compute_stations(const engine::ThermoData& data, const RocketInput& problem,
                      const WarmStart& warm, RocketResult& out, SharedStations* shared) {
  label_stations(problem, out);
  const bool finite = finite_chamber(problem);
  const std::size_t t = out.throat_index();
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
  SearchResult own_throat;
  SearchResult& throat = frozen_at_chamber ? own_throat : s.shifting_throat;
  Flow own_end;
  Flow& end = frozen_at_chamber ? own_end : s.comb_end;
  double own_p_stag = kNaN;
  if (frozen_at_chamber || !s.has_shifting_throat) {
    if (finite) {
      // Freezing starts at the combustor's end: the duct burns in equilibrium.
      FiniteThroat f = finite_throat(data, problem, s.chamber, frozen_at_chamber, warm);
      end = frozen_at_chamber && f.comb_end.ok ? with_frozen_properties(f.comb_end) : f.comb_end;
      throat = f.throat;
      (frozen_at_chamber ? own_p_stag : s.p_stag_atm) = f.p_stag_atm;
    } else {
      const Expansion to_throat = expansion_from(data, problem.pc_atm, chamber.state,
                                                 chamber.state.H_kJ_kg,
                                                 frozen_at_chamber ? &chamber.state : nullptr);
      const Station* prev_throat = warm.station(1);
      throat = find_throat(to_throat, chamber, warm.x_guess(1, problem.of),
                           prev_throat ? &prev_throat->state : nullptr);
    }
    s.has_shifting_throat = s.has_shifting_throat || !frozen_at_chamber;
  }
  // The flow into the nozzle: the chamber, or the combustor's end.
  const engine::State& entry = finite ? end.state : chamber.state;
  if (finite) {
    set_station(out.stations[1], end, problem.pc_atm, throat.flow.rho_u);
    if (!out.stations[1].valid()) {
      for (std::size_t i = 2; i < out.stations.size(); ++i) {
        fail(out.stations[i], kChamberFailed);
      }
      return;
    }
  }
  set_station(out.stations[t], throat.flow, problem.pc_atm, throat.flow.rho_u);
  if (!throat.found || !out.stations[t].valid()) {
    for (std::size_t i = t; i < out.stations.size(); ++i) {
      fail(out.stations[i], kThroatNotFound);
    }
    if (finite) {
      fail(out.stations[1], kThroatNotFound);
    }
    return;
  }
  const double h = s.chamber.state.H_kJ_kg;
  const Expansion to_throat =
      expansion_from(data, problem.pc_atm, entry, h, frozen_at_chamber ? &entry : nullptr);
  if (problem.model == Model::frozen_throat) {
    const Expansion after = expansion_from(data, problem.pc_atm, entry, h, &throat.flow.state);
    compute_exits(to_throat, after, throat.flow, problem, warm, out);
  } else {
    compute_exits(to_throat, to_throat, throat.flow, problem, warm, out);
  }
  if (finite) {
    // c* of a finite-area combustor: the stagnation pressure of the nozzle's
    // flow (below the injector's by the duct's loss) At / mdot.
    const double p_stag = frozen_at_chamber ? own_p_stag : s.p_stag_atm;
    for (std::size_t i = 1; i < out.stations.size(); ++i) {
      Station& st = out.stations[i];
      if (!std::isfinite(p_stag)) {
        fail(st, engine::kNoSolution);
      } else if (st.valid()) {
        st.cstar_m_s = p_stag * kPaPerAtm / throat.flow.rho_u;
        st.cf = st.isp_m_s / st.cstar_m_s;
      }
    }
  }
}

namespace {

// A previous result starts the solves only when it is of the same model and
// has the same stations.
bool starts(const RocketInput& problem, const RocketResult* previous) {
  return previous != nullptr && previous->model == problem.model &&
         previous->stations.size() ==
             (finite_chamber(problem) ? 3u : 2u) + problem.pi_p.size() +
                 problem.sub_ae_at.size() + problem.ae_at.size();
}

}  // namespace

namespace {

// The finite-area combustor: one of contraction and mass_flux, each in its
// range; a mass flux that no duct wider than the throat passes (the end of
// the combustor would be sonic) is refused, its end solved to know.
void check_combustor(const engine::ThermoData& data, const RocketInput& problem) {
  const double c = problem.contraction;
  const double g = problem.mass_flux;
  if (c != 0.0 && g != 0.0) {
    throw InputError("a finite-area combustor takes its contraction ratio or its mass flux, "
                     "not both");
  }
  if (c != 0.0 && !(c >= kContractionMin && c <= kContractionMax)) {
    throw InputError(refusal(engine::Argument::contraction, c, engine::Bounds::closed,
                             kContractionMin, kContractionMax),
                     "contraction ratio Ac/At = " + shortest_text(c) + " is outside " +
                         shortest_text(kContractionMin) + " to " + shortest_text(kContractionMax));
  }
  if (g == 0.0) {
    return;
  }
  const double inf = std::numeric_limits<double>::infinity();
  if (!(g > 0.0 && g < inf)) {
    throw InputError(refusal(engine::Argument::mass_flux, g, engine::Bounds::above, 0.0, inf),
                     "mass flux mdot/Ac = " + shortest_text(g) +
                         " kg/(s m2) is outside the accepted range: positive, finite");
  }
  const Flow injector = chamber_flow(data, problem, WarmStart{});
  if (!injector.ok) {
    return;  // the stations say why
  }
  const CombustorEnd end = combustor_end(data, injector.state, problem.pc_atm, g, nullptr);
  if (end.choked) {
    engine::Refusal r;
    r.argument = engine::Argument::mass_flux;
    r.value = g;
    throw InputError(r, "mass flux mdot/Ac = " + shortest_text(g) +
                            " kg/(s m2) is too large for any contraction ratio Ac/At above 1: "
                            "the combustor's end would be sonic at O/F " +
                            shortest_text(problem.of));
  }
}

}  // namespace

void check_problem(const engine::ThermoData& data, const RocketInput& problem) {
  const engine::FpGuard guard;
  const double pc = problem.pc_atm;
  if (!(pc >= kPcMinAtm && pc <= kPcMaxAtm)) {
    throw InputError(
        refusal(engine::Argument::pc_atm, pc, engine::Bounds::closed, kPcMinAtm, kPcMaxAtm),
        "chamber pressure pc_atm = " + shortest_text(pc) + " is outside " +
            shortest_text(kPcMinAtm) + " to " + shortest_text(kPcMaxAtm) + " atm");
  }
  // The O/F and the reactants: the engine's ranges.
  engine::feed_of(data, engine::Mixture{problem.of, problem.reactants});
  const std::size_t exits = problem.pi_p.size() + problem.sub_ae_at.size() + problem.ae_at.size();
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
  for (double area : problem.sub_ae_at) {
    const double highest =
        problem.contraction != 0.0 ? problem.contraction : std::numeric_limits<double>::infinity();
    if (!(area > 1.0 && area <= highest && area < std::numeric_limits<double>::infinity())) {
      throw InputError(refusal(engine::Argument::sub_ae_at, area, engine::Bounds::above, 1.0,
                               highest),
                       "subsonic area ratio sub_ae_at = " + shortest_text(area) +
                           " is outside the accepted range: greater than 1, finite" +
                           (problem.contraction != 0.0
                                ? ", at most Ac/At = " + shortest_text(problem.contraction)
                                : std::string()));
    }
  }
  check_combustor(data, problem);
}

RocketResult rocket_performance(const engine::ThermoData& data, const RocketInput& problem,
                                const RocketResult* previous) {
  const engine::FpGuard guard;
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
  const engine::FpGuard guard;
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
  const engine::FpGuard guard;
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
  RocketInput p = problem;
  {
    const engine::FpGuard guard;
    check_sweep(data, p, of);
  }
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
      {
        // The receiver runs in its own floating-point environment.
        const engine::FpGuard guard;
        compute_stations(data, p, warm_start_at(kept_results, i), result, &shared[i]);
      }
      if (!each(m, i, result)) {
        return;
      }
    }
  }
}

}  // namespace zuna::rocket
