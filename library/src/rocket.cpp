// The rocket facade: the library's structs to the rocket library's and back.
#include "zuna4/rocket.h"

#include "engine/fp-guard.h"
#include "rocket/rocket.h"
#include "src/conversions.h"

namespace zuna4 {

namespace engine = zuna::engine;
namespace rk = zuna::rocket;

namespace {

rk::Model to_rocket(Model m) {
  switch (m) {
    case Model::frozen_chamber: return rk::Model::frozen_chamber;
    case Model::frozen_throat: return rk::Model::frozen_throat;
    case Model::equilibrium: break;
  }
  return rk::Model::equilibrium;
}

Model from_rocket(rk::Model m) {
  switch (m) {
    case rk::Model::frozen_chamber: return Model::frozen_chamber;
    case rk::Model::frozen_throat: return Model::frozen_throat;
    case rk::Model::equilibrium: break;
  }
  return Model::equilibrium;
}

StationKind from_rocket(rk::StationKind k) {
  switch (k) {
    case rk::StationKind::throat: return StationKind::throat;
    case rk::StationKind::pressure_ratio: return StationKind::pressure_ratio;
    case rk::StationKind::area_ratio: return StationKind::area_ratio;
    case rk::StationKind::chamber: break;
  }
  return StationKind::chamber;
}

rk::StationKind to_rocket(StationKind k) {
  switch (k) {
    case StationKind::throat: return rk::StationKind::throat;
    case StationKind::pressure_ratio: return rk::StationKind::pressure_ratio;
    case StationKind::area_ratio: return rk::StationKind::area_ratio;
    case StationKind::chamber: break;
  }
  return rk::StationKind::chamber;
}

rk::RocketProblem to_rocket(const RocketInput& in) {
  rk::RocketProblem p;
  p.pc_atm = in.pc_atm;
  p.mixture = engine::Mixture{in.of, detail::to_engine(in.reactants)};
  p.pi_p = in.pi_p;
  p.ae_at = in.ae_at;
  p.model = to_rocket(in.model);
  return p;
}

Station from_rocket(const rk::Station& s) {
  Station out;
  out.state = detail::from_engine(s.state);
  out.kind = from_rocket(s.kind);
  out.exit_value = s.exit_value;
  out.pinf_p = s.pinf_p;
  out.mach = s.mach;
  out.ae_at = s.ae_at;
  out.cstar_m_s = s.cstar_m_s;
  out.cf = s.cf;
  out.ivac_m_s = s.ivac_m_s;
  out.isp_m_s = s.isp_m_s;
  out.flags = s.flags;
  out.valid = s.valid();
  return out;
}

rk::Station to_rocket(const Station& s) {
  rk::Station out;
  out.state = detail::to_engine(s.state);
  out.kind = to_rocket(s.kind);
  out.exit_value = s.exit_value;
  out.pinf_p = s.pinf_p;
  out.mach = s.mach;
  out.ae_at = s.ae_at;
  out.cstar_m_s = s.cstar_m_s;
  out.cf = s.cf;
  out.ivac_m_s = s.ivac_m_s;
  out.isp_m_s = s.isp_m_s;
  out.flags = s.flags;
  return out;
}

RocketResult from_rocket(const rk::RocketResult& r) {
  RocketResult out;
  out.of = r.of;
  out.model = from_rocket(r.model);
  out.stations.reserve(r.stations.size());
  for (const rk::Station& s : r.stations) {
    out.stations.push_back(from_rocket(s));
  }
  return out;
}

rk::RocketResult to_rocket(const RocketResult& r) {
  rk::RocketResult out;
  out.of = r.of;
  out.model = to_rocket(r.model);
  out.stations.reserve(r.stations.size());
  for (const Station& s : r.stations) {
    out.stations.push_back(to_rocket(s));
  }
  return out;
}

}  // namespace

void check_input(const RocketInput& input) {
  const zuna::engine::FpGuard guard;
  detail::translating_errors(
      [&] { rk::check_problem(engine::builtin_nasa9_data(), to_rocket(input)); });
}

RocketResult rocket(const RocketInput& input, const RocketResult* warm) {
  const zuna::engine::FpGuard guard;
  return detail::translating_errors([&] {
    const engine::ThermoData& data = engine::builtin_nasa9_data();
    if (warm == nullptr) {
      return from_rocket(rk::rocket_performance(data, to_rocket(input)));
    }
    const rk::RocketResult previous = to_rocket(*warm);
    return from_rocket(rk::rocket_performance(data, to_rocket(input), &previous));
  });
}

std::vector<RocketResult> rocket_sweep(const RocketInput& input, std::span<const double> of) {
  const zuna::engine::FpGuard guard;
  return detail::translating_errors([&] {
    const std::vector<rk::RocketResult> results =
        rk::rocket_sweep(engine::builtin_nasa9_data(), to_rocket(input), of);
    std::vector<RocketResult> out;
    out.reserve(results.size());
    for (const rk::RocketResult& r : results) {
      out.push_back(from_rocket(r));
    }
    return out;
  });
}

std::vector<BestIsp> best_isp(const RocketInput& input, const BestIspSearch& search) {
  const zuna::engine::FpGuard guard;
  return detail::translating_errors([&] {
    const rk::BestIspSearch s{search.of_low, search.of_high, search.scan_points};
    std::vector<BestIsp> out;
    for (const rk::BestIsp& b : rk::best_isp(engine::builtin_nasa9_data(), to_rocket(input), s)) {
      BestIsp o;
      o.kind = from_rocket(b.kind);
      o.exit_value = b.exit_value;
      o.of_isp = b.of_isp;
      o.at_isp = from_rocket(b.at_isp);
      o.of_ivac = b.of_ivac;
      o.at_ivac = from_rocket(b.at_ivac);
      o.flags = b.flags;
      out.push_back(o);
    }
    return out;
  });
}

}  // namespace zuna4
