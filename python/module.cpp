// zuna4._core: the library's calls over flat arrays of points. The package
// (zuna4/__init__.py) checks and broadcasts the arguments and shapes the
// results; here every computation runs with the GIL released, so that other
// Python threads go on, and two threads may compute at once.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "commands/quantity.h"
#include "tables/shortest.h"
#include "zuna4/zuna4.h"

namespace py = pybind11;

namespace {

using Doubles = py::array_t<double, py::array::c_style | py::array::forcecast>;

// zuna4._core.Refused, a ValueError whose args are the refusal's fields:
// (argument, value, value2, bounds, low, high, index, message); the package
// words it with the caller's names (argument and bounds index `arguments`
// and `bounds`).
PyObject* refused_type = nullptr;

// The names of zuna4::Argument and zuna4::Bounds in their order.
constexpr const char* kArgumentNames[] = {
    "none",         "of",      "p_atm",          "T_K",     "reactants_T_K", "h_fuel_J_mol",
    "h_oxid_J_mol", "h_kJ_kg", "s_kJ_kgK",       "u_kJ_kg", "v_m3_kg",       "rho_kg_m3",
    "composition",  "pc_atm",  "pi_p",           "ae_at",   "exits",         "of_interval",
    "scan_points",  "out",     "sweep_parameter", "contraction", "mass_flux", "sub_ae_at"};
static_assert(std::size(kArgumentNames) ==
              static_cast<std::size_t>(zuna4::Argument::sub_ae_at) + 1);
constexpr const char* kBoundsNames[] = {"none", "closed", "above", "at_least", "at_most"};

// Sets the Python error of a refusal.
void set_refused(const zuna4::Refusal& r, const char* what) {
  PyObject* args = Py_BuildValue("(iddiddLs)", static_cast<int>(r.argument), r.value, r.value2,
                                 static_cast<int>(r.bounds), r.low, r.high, r.index, what);
  if (args != nullptr) {
    PyErr_SetObject(refused_type, args);
    Py_DECREF(args);
  }
}

// The columns of a state after the inputs' echo, in the order of the CSV of
// `zuna4c equilibrium`, then the mass fractions.
constexpr int kStateColumns = 28;

void state_row(const zuna4::State& s, double* row) {
  const double v[kStateColumns] = {s.P_bar,       s.T_K,          s.rho_kg_m3, s.H_kJ_kg,
                                   s.U_kJ_kg,     s.G_kJ_kg,      s.S_kJ_kgK,  s.M,
                                   s.dlnV_dlnP_T, s.dlnV_dlnT_P,  s.Cp_kJ_kgK, s.gamma_s,
                                   s.son_vel_m_s, s.Cp_fr_kJ_kgK, s.gamma_fr,  s.son_vel_fr_m_s,
                                   s.x[0],        s.x[1],         s.x[2],      s.x[3],
                                   s.x[4],        s.x[5],         s.y[0],      s.y[1],
                                   s.y[2],        s.y[3],         s.y[4],      s.y[5]};
  for (int k = 0; k < kStateColumns; ++k) {
    row[k] = v[k];
  }
}

zuna4::Reactants reactants(int set, double T_K, double h_fuel, double h_oxid) {
  zuna4::Reactants r;
  r.set = static_cast<zuna4::ReactantSet>(set);
  r.T_K = T_K;
  r.h_fuel_J_mol = h_fuel;
  r.h_oxid_J_mol = h_oxid;
  return r;
}

// One point, cold: equilibrium_point(problem, of, p, T, s, rho, set, T_r,
// h_fuel, h_oxid) answers a tuple (p_atm, the state's columns...,
// iterations, flags). The scalar call's path: a plain CPython function with
// the fast calling convention, its ten numbers read and its tuple built
// without pybind11's dispatch, which would cost as much again as the
// conversion itself.
PyObject* equilibrium_point(PyObject*, PyObject* const* args, Py_ssize_t count) {
  if (count != 10) {
    PyErr_SetString(PyExc_TypeError, "equilibrium_point takes 10 arguments");
    return nullptr;
  }
  double v[10];
  for (int k = 0; k < 10; ++k) {
    v[k] = PyFloat_AsDouble(args[k]);
    if (v[k] == -1.0 && PyErr_Occurred() != nullptr) {
      return nullptr;
    }
  }
  zuna4::EquilibriumInput in;
  in.problem = static_cast<zuna4::Problem>(static_cast<int>(v[0]));
  in.of = v[1];
  in.p_atm = v[2];
  in.T_K = v[3];
  in.s_kJ_kgK = v[4];
  in.rho_kg_m3 = v[5];
  in.reactants = reactants(static_cast<int>(v[6]), v[7], v[8], v[9]);
  zuna4::State st;
  bool refused = false;
  zuna4::Refusal refusal;
  std::string message;
  Py_BEGIN_ALLOW_THREADS try { st = zuna4::equilibrium(in); } catch (const zuna4::InputError& e) {
    refused = true;
    refusal = e.refusal();
    message = e.what();
  }
  Py_END_ALLOW_THREADS if (refused) {
    set_refused(refusal, message.c_str());
    return nullptr;
  }
  double row[kStateColumns];
  state_row(st, row);
  PyObject* out = PyTuple_New(kStateColumns + 3);
  if (out == nullptr) {
    return nullptr;
  }
  PyTuple_SET_ITEM(out, 0, PyFloat_FromDouble(in.problem == zuna4::Problem::uv ? st.p_atm : v[2]));
  for (int k = 0; k < kStateColumns; ++k) {
    PyTuple_SET_ITEM(out, k + 1, PyFloat_FromDouble(row[k]));
  }
  PyTuple_SET_ITEM(out, kStateColumns + 1, PyLong_FromLong(st.iterations));
  PyTuple_SET_ITEM(out, kStateColumns + 2, PyLong_FromUnsignedLong(st.flags));
  return out;
}

PyMethodDef kEquilibriumPoint = {
    "equilibrium_point",
    reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&equilibrium_point)), METH_FASTCALL,
    "One cold solve; see the zuna4 package."};

// The options of an array call from Python: its threads (None: every
// core) and, while the workers compute, the calling thread looking for
// Ctrl-C (Python's signal handlers run on it), which stops them.
zuna4::ArrayOptions array_options(bool warm_start, const py::object& threads) {
  zuna4::ArrayOptions o;
  o.warm_start = warm_start;
  o.threads = threads.is_none() ? 0u : threads.cast<unsigned>();
  o.interrupted = [] {
    const PyGILState_STATE gil = PyGILState_Ensure();
    const bool raised = PyErr_CheckSignals() != 0;
    PyGILState_Release(gil);
    return raised;
  };
  return o;
}

// Runs `call` with the GIL released; a Ctrl-C that stopped it is raised
// (KeyboardInterrupt, or what the signal's handler raised).
template <class Call>
void released(Call&& call) {
  bool interrupted = false;
  {
    const py::gil_scoped_release release;
    try {
      call();
    } catch (const zuna4::Interrupted&) {
      interrupted = true;
    }
  }
  if (interrupted) {
    throw py::error_already_set();
  }
}

// Many points: of, p, T, s, rho flat arrays of one length. Answers
// (values [n, 1 + kStateColumns] with p_atm first, iterations [n], flags [n]).
// The inputs are checked and solved on the workers, the GIL released.
py::tuple equilibrium_points(int problem, const Doubles& of, const Doubles& p, const Doubles& T,
                             const Doubles& s, const Doubles& rho, int set, double T_r,
                             double h_fuel, double h_oxid, bool warm_start,
                             const py::object& threads) {
  // Each array of the call's length, or of one value for every point.
  const py::ssize_t n = std::max({of.size(), p.size(), T.size(), s.size(), rho.size()});
  for (const Doubles* a : {&of, &p, &T, &s, &rho}) {
    if (a->size() != n && a->size() != 1) {
      throw py::value_error("equilibrium_points: arrays of different lengths");
    }
  }
  const std::size_t dof = of.size() == 1 ? 0 : 1, dp = p.size() == 1 ? 0 : 1,
                    dT = T.size() == 1 ? 0 : 1, ds = s.size() == 1 ? 0 : 1,
                    drho = rho.size() == 1 ? 0 : 1;
  const zuna4::Reactants r = reactants(set, T_r, h_fuel, h_oxid);
  const double* ofs = of.data();
  const double* ps = p.data();
  const double* Ts = T.data();
  const double* ss = s.data();
  const double* rhos = rho.data();
  const auto pr = static_cast<zuna4::Problem>(problem);
  py::array_t<double> values({n, py::ssize_t{kStateColumns + 1}});
  py::array_t<std::int64_t> iterations(n);
  py::array_t<std::int64_t> flags(n);
  double* v = values.mutable_data();
  std::int64_t* it = iterations.mutable_data();
  std::int64_t* fl = flags.mutable_data();
  const zuna4::ArrayOptions options = array_options(warm_start, threads);
  released([&] {
    zuna4::equilibrium(
        static_cast<std::size_t>(n),
        [&](std::size_t i) {
          zuna4::EquilibriumInput e;
          e.problem = pr;
          e.of = ofs[i * dof];
          e.p_atm = ps[i * dp];
          e.T_K = Ts[i * dT];
          e.s_kJ_kgK = ss[i * ds];
          e.rho_kg_m3 = rhos[i * drho];
          e.reactants = r;
          return e;
        },
        [&](std::size_t i, const zuna4::State& st) {
          double* row = v + i * (kStateColumns + 1);
          row[0] = pr == zuna4::Problem::uv ? st.p_atm : ps[i * dp];
          state_row(st, row + 1);
          it[i] = st.iterations;
          fl[i] = st.flags;
        },
        options);
  });
  return py::make_tuple(values, iterations, flags);
}

// The columns of a station after its name and exit, in the order of the
// CSV of `zuna4c rocket`; then its mole and mass fractions.
constexpr int kStationColumns = 33;

void station_row(const zuna4::Station& st, double* row) {
  const zuna4::State& p = st.state;
  const double v[kStationColumns] = {
      st.exit_value, st.pinf_p,  p.P_bar,  p.T_K,         p.rho_kg_m3,   p.H_kJ_kg,   p.U_kJ_kg,
      p.G_kJ_kg,     p.S_kJ_kgK, p.M,      p.dlnV_dlnP_T, p.dlnV_dlnT_P, p.Cp_kJ_kgK, p.gamma_s,
      p.son_vel_m_s, st.mach,    st.ae_at, st.cstar_m_s,  st.cf,         st.ivac_m_s, st.isp_m_s,
      p.x[0],        p.x[1],     p.x[2],   p.x[3],        p.x[4],        p.x[5],        p.y[0],
      p.y[1],        p.y[2],     p.y[3],   p.y[4],        p.y[5]};
  for (int k = 0; k < kStationColumns; ++k) {
    row[k] = v[k];
  }
}

zuna4::RocketInput rocket_input(const std::vector<double>& pi_p, const std::vector<double>& ae_at,
                                int model, int set, double T_r, double h_fuel, double h_oxid) {
  zuna4::RocketInput in;
  in.pi_p = pi_p;
  in.ae_at = ae_at;
  in.model = static_cast<zuna4::Model>(model);
  in.reactants = reactants(set, T_r, h_fuel, h_oxid);
  return in;
}

// Many (pc, of) pairs, flat arrays of one length; in each block of
// zuna4::kWarmBlock points, the O/F of consecutive points at one Pc swept
// together, each started from those before it, as `zuna4c rocket` sweeps.
// Answers (values [n, stations, kStationColumns], flags [n, stations],
// kinds [stations]: 0 chamber, 1 throat, 2 pressure ratio, 3 area ratio,
// 4 the end of a finite-area combustor, 5 subsonic area ratio).
py::tuple rocket_points(const Doubles& pc, const Doubles& of, const std::vector<double>& pi_p,
                        const std::vector<double>& ae_at, int model, int set, double T_r,
                        double h_fuel, double h_oxid, double contraction, double mass_flux,
                        const std::vector<double>& sub_ae_at, bool warm_start,
                        const py::object& threads) {
  const py::ssize_t n = std::max(pc.size(), of.size());
  if ((pc.size() != n && pc.size() != 1) || (of.size() != n && of.size() != 1)) {
    throw py::value_error("rocket_points: arrays of different lengths");
  }
  const std::size_t dpc = pc.size() == 1 ? 0 : 1, dof = of.size() == 1 ? 0 : 1;
  const std::size_t first_exit = contraction != 0.0 || mass_flux != 0.0 ? 3 : 2;
  const py::ssize_t stations =
      static_cast<py::ssize_t>(first_exit + pi_p.size() + sub_ae_at.size() + ae_at.size());
  zuna4::RocketInput problem = rocket_input(pi_p, ae_at, model, set, T_r, h_fuel, h_oxid);
  problem.contraction = contraction;
  problem.mass_flux = mass_flux;
  problem.sub_ae_at = sub_ae_at;
  py::array_t<double> values({n, stations, py::ssize_t{kStationColumns}});
  py::array_t<std::int64_t> flags({n, stations});
  py::array_t<std::int64_t> kinds(stations);
  double* v = values.mutable_data();
  std::int64_t* fl = flags.mutable_data();
  std::int64_t* kd = kinds.mutable_data();
  for (py::ssize_t k = 0; k < stations; ++k) {
    const py::ssize_t e = k - static_cast<py::ssize_t>(first_exit);
    kd[k] = k == 0 ? 0
            : e == -1 ? 1
            : e < 0   ? 4
            : e < static_cast<py::ssize_t>(pi_p.size()) ? 2
            : e < static_cast<py::ssize_t>(pi_p.size() + sub_ae_at.size()) ? 5
                                                                          : 3;
  }
  const double* pcs = pc.data();
  const double* ofs = of.data();
  const zuna4::ArrayOptions options = array_options(warm_start, threads);
  released([&] {
    zuna4::rocket(
        static_cast<std::size_t>(n), problem,
        [&](std::size_t i, zuna4::RocketInput& in) {
          in.pc_atm = pcs[i * dpc];
          in.of = ofs[i * dof];
        },
        [&](std::size_t i, const zuna4::RocketResult& r) {
          for (py::ssize_t k = 0; k < stations; ++k) {
            const zuna4::Station& st = r.stations[static_cast<std::size_t>(k)];
            station_row(st, v + (static_cast<py::ssize_t>(i) * stations + k) * kStationColumns);
            fl[static_cast<py::ssize_t>(i) * stations + k] = st.flags;
          }
        },
        options);
  });
  return py::make_tuple(values, flags, kinds);
}

// The best O/F of each exit at one Pc: rows (kind, exit_value, of_isp,
// isp_m_s, of_ivac, ivac_m_s, flags) per exit.
std::vector<std::tuple<int, double, double, double, double, double, std::int64_t>> best_isp(
    double pc, const std::vector<double>& pi_p, const std::vector<double>& ae_at, int model,
    int set, double T_r, double h_fuel, double h_oxid, double of_low, double of_high,
    int scan_points) {
  zuna4::RocketInput in = rocket_input(pi_p, ae_at, model, set, T_r, h_fuel, h_oxid);
  in.pc_atm = pc;
  in.of = zuna4::stoichiometric_of();
  std::vector<zuna4::BestIsp> best;
  {
    py::gil_scoped_release release;
    best = zuna4::best_isp(in, {of_low, of_high, scan_points});
  }
  std::vector<std::tuple<int, double, double, double, double, double, std::int64_t>> out;
  for (const zuna4::BestIsp& b : best) {
    out.emplace_back(static_cast<int>(b.kind), b.exit_value, b.of_isp, b.at_isp.isp_m_s, b.of_ivac,
                     b.at_ivac.ivac_m_s, b.flags);
  }
  return out;
}

// The programs' sweep: (ofst, ok, values [points, columns], flags [points]),
// the columns those of `zuna4c --batch --csv` from "of" to "x4".
constexpr int kSweepColumns = zuna4::kSweepColumnCount;

py::tuple sweep(double rmin, double rmax, std::int32_t npmin, std::int32_t npmax, double p,
                double tolh, std::int32_t itmaxh, double toln, std::int32_t itmaxn,
                const std::vector<bool>& reactions, const std::string& data_text) {
  zuna4::SweepParameters sp;
  sp.rmin = rmin, sp.rmax = rmax, sp.npmin = npmin, sp.npmax = npmax, sp.p_atm = p;
  sp.tolh = tolh, sp.itmaxh = itmaxh, sp.toln = toln, sp.itmaxn = itmaxn;
  for (int k = 0; k < 4; ++k) {
    sp.reaction[k] = reactions.at(static_cast<std::size_t>(k));
  }
  zuna4::check_sweep_parameters(sp);
  zuna4::SweepResult r;
  {
    py::gil_scoped_release release;
    if (data_text.empty()) {
      r = zuna4::sweep(sp);
    } else {
      std::istringstream in(data_text);
      r = zuna4::sweep(sp, zuna4::read_sweep_data(in));
    }
  }
  const py::ssize_t n = static_cast<py::ssize_t>(r.points.size());
  py::array_t<double> values({n, py::ssize_t{kSweepColumns}});
  py::array_t<std::int64_t> flags(n);
  double* v = values.mutable_data();
  for (py::ssize_t i = 0; i < n; ++i) {
    const zuna4::SweepPoint& t = r.points[static_cast<std::size_t>(i)];
    double* row = v + i * kSweepColumns;
    for (const zuna4::SweepColumn& c : zuna4::sweep_columns()) {
      *row++ = c.value(t);
    }
    flags.mutable_data()[i] = t.flags;
  }
  return py::make_tuple(r.ofst, r.ok, values, flags);
}

}  // namespace

PYBIND11_MODULE(_core, m) {
  m.doc() = "The zuna4 library's computations over flat arrays (see the zuna4 package).";
  refused_type = PyErr_NewException("zuna4._core.Refused", PyExc_ValueError, nullptr);
  m.add_object("Refused", py::reinterpret_borrow<py::object>(refused_type));
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) {
        std::rethrow_exception(p);
      }
    } catch (const zuna4::InputError& e) {
      set_refused(e.refusal(), e.what());
    }
  });
  py::tuple arguments(std::size(kArgumentNames));
  for (std::size_t k = 0; k < std::size(kArgumentNames); ++k) {
    arguments[k] = kArgumentNames[k];
  }
  m.attr("arguments") = arguments;
  py::tuple bounds(std::size(kBoundsNames));
  for (std::size_t k = 0; k < std::size(kBoundsNames); ++k) {
    bounds[k] = kBoundsNames[k];
  }
  m.attr("bounds") = bounds;
  py::tuple sweep_names(zuna4::kSweepColumnCount);
  for (int k = 0; k < zuna4::kSweepColumnCount; ++k) {
    sweep_names[k] = zuna4::sweep_columns()[static_cast<std::size_t>(k)].name;
  }
  m.attr("sweep_columns") = sweep_names;
  m.attr("version") = zuna4::version();
  m.attr("stoichiometric_of") = zuna4::stoichiometric_of();
  m.add_object("equilibrium_point",
               py::reinterpret_steal<py::object>(PyCFunction_New(&kEquilibriumPoint, nullptr)));
  m.def("equilibrium_points", &equilibrium_points);
  m.def("rocket_points", &rocket_points);
  py::list flag_names;
  for (const zuna4::StateFlagName& f : zuna4::kStateFlagNames) {
    flag_names.append(py::make_tuple(f.name, static_cast<unsigned>(f.flag), f.meaning));
  }
  m.attr("flag_names") = flag_names;
  py::list units;
  for (const zuna::PressureUnit& u : zuna::pressure_units()) {
    units.append(u.name);
  }
  m.attr("pressure_units") = units;
  m.def("pressure_to_atm", [](double v, const std::string& unit) {
    for (const zuna::PressureUnit& u : zuna::pressure_units()) {
      if (unit == u.name) {
        return zuna::pressure_to_atm(v, u);
      }
    }
    throw py::value_error("unknown pressure unit " + unit);
  });
  m.attr("warm_block") = zuna4::kWarmBlock;
  m.def("best_isp", &best_isp);
  m.def("sweep", &sweep);
  m.def("shortest", &zuna::tables::shortest_text,
        "The shortest text that reads back as the same double, as zuna4c writes numbers.");
}
