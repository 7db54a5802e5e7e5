"""zuna4: combustion of hydrogen with oxygen.

Chemical equilibrium of the products H2O, O2, H2, H, O and OH (TP, HP, SP,
UV), rocket performance of the infinite-area combustor, the O/F of the
highest specific impulse and the zuna4 programs' own sweep over the O/F
grid, computed by the zuna4 C++ library with the NASA Glenn thermodynamic
data compiled in.

Functions
---------
equilibrium  equilibrium states over NumPy arrays of O/F and pressure
rocket       chamber, throat and exits over arrays of Pc and O/F
best_isp     the O/F of the highest Isp and Ivac at each exit
sweep        the programs' sweep: flame temperatures, amounts, fractions

Conventions: numbers or NumPy arrays in, broadcast against each other;
results whose fields are NumPy arrays named like the columns of the CSV
files of ``zuna4c equilibrium`` and ``zuna4c rocket`` (units in the names;
pressures in atm when given). An argument out of range raises ValueError
naming it and the accepted range; a point that cannot be computed is no
error but carries ``flags`` (bits listed in zuna4c(1)) and NaN values.
Every computation runs with the GIL released.
"""

import math as _math

import numpy as _np

from . import _core

__all__ = ["equilibrium", "rocket", "best_isp", "sweep", "stoichiometric_of",
           "EquilibriumResult", "RocketResult", "BestIspResult", "SweepResult"]

__version__ = _core.version

#: The stoichiometric O/F mass ratio of the built-in data [kg O2 / kg H2].
stoichiometric_of = _core.stoichiometric_of

_PROBLEMS = {"tp": 0, "hp": 1, "sp": 2, "uv": 3}
_REACTANTS = {"liquid": 0, "gas": 1, "custom": 2}
_MODELS = {"equilibrium": 0, "frozen_chamber": 1, "frozen_throat": 2}
_SPECIES = ("H2O", "O2", "H2", "H", "O", "OH")

_STATE_COLUMNS = ("P_bar", "T_K", "rho_kg_m3", "H_kJ_kg", "U_kJ_kg", "G_kJ_kg",
                  "S_kJ_kgK", "M", "dlnV_dlnP_T", "dlnV_dlnT_P", "Cp_kJ_kgK",
                  "gamma_s", "son_vel_m_s", "Cp_fr_kJ_kgK", "gamma_fr",
                  "son_vel_fr_m_s") + tuple("x_" + s for s in _SPECIES)

_STATION_COLUMNS = ("exit_value", "pinf_p", "P_bar", "T_K", "rho_kg_m3", "H_kJ_kg",
                    "U_kJ_kg", "G_kJ_kg", "S_kJ_kgK", "M", "dlnV_dlnP_T",
                    "dlnV_dlnT_P", "Cp_kJ_kgK", "gamma_s", "son_vel_m_s", "mach",
                    "ae_at", "cstar_m_s", "cf", "ivac_m_s", "isp_m_s") + tuple(
                        "x_" + s for s in _SPECIES)

# The library's one list of the sweep's columns, "of" to "x4".
_SWEEP_COLUMNS = _core.sweep_columns


class _Result:
    """Named NumPy arrays; ``fields`` lists their names in column order."""

    fields = ()
    _per_point = ()

    def __repr__(self):
        shape = _np.shape(getattr(self, self.fields[-1])) if self.fields else ()
        return "<zuna4.%s shape=%s fields: %s>" % (
            type(self).__name__, shape, " ".join(self.fields))

    def as_dict(self):
        """The fields as a dict of NumPy arrays (or numbers), in column order."""
        return {name: getattr(self, name) for name in self.fields}

    def to_pandas(self):
        """A pandas DataFrame, one row per point (and station), one column per
        field. Needs pandas, which zuna4 does not require."""
        try:
            import pandas
        except ImportError as error:
            raise ImportError("to_pandas() needs pandas (Debian package python3-pandas)") from error
        columns = {}
        for name, value in self.as_dict().items():
            value = _np.asarray(value)
            if name in self._per_point:
                value = value[..., None]  # one value for every station of its point
            columns[name] = _np.ravel(_np.broadcast_to(value, self._row_shape()))
        return pandas.DataFrame(columns)

    def _row_shape(self):
        return _np.shape(getattr(self, self.fields[-1]))


class EquilibriumResult(_Result):
    """Equilibrium states, fields named like the CSV columns of
    ``zuna4c equilibrium``: problem, set, p_atm, of, P_bar, T_K, rho_kg_m3,
    H_kJ_kg, U_kJ_kg, G_kJ_kg, S_kJ_kgK, M, dlnV_dlnP_T, dlnV_dlnT_P, Cp_kJ_kgK,
    gamma_s, son_vel_m_s, Cp_fr_kJ_kgK, gamma_fr, son_vel_fr_m_s, x_H2O, x_O2,
    x_H2, x_H, x_O, x_OH, iterations, flags. Arrays of the broadcast shape of
    the inputs (floats and ints for scalar inputs); problem and set are
    strings."""

    fields = ("problem", "set", "p_atm", "of") + _STATE_COLUMNS + ("iterations", "flags")


class _ScalarEquilibrium(EquilibriumResult):
    """One state of a call with numbers only: its fields are read from the
    row the computation returned, so that making it costs next to nothing."""

    __slots__ = ("_row", "problem", "set", "of")


def _row_field(k):
    return property(lambda self: self._row[k])


for _k, _name in enumerate(("p_atm",) + _STATE_COLUMNS + ("iterations", "flags")):
    setattr(_ScalarEquilibrium, _name, _row_field(_k))
del _k, _name


class RocketResult(_Result):
    """Rocket stations, fields named like the CSV columns of ``zuna4c rocket``:
    set, model, pc_atm and of of shape S (the broadcast shape of pc and of);
    station and exit_spec ("chamber", "throat", "exit"; "pi_p=10", "ae_at=25"
    or "", the exit's ratio in its shortest round-trip form, as in the CSV)
    of shape (stations,); every other field of shape S + (stations,):
    exit_value (the exit's ratio as a number, 0 for the chamber and the
    throat; not a CSV column), pinf_p, P_bar, T_K, rho_kg_m3, H_kJ_kg, U_kJ_kg, G_kJ_kg,
    S_kJ_kgK, M, dlnV_dlnP_T, dlnV_dlnT_P, Cp_kJ_kgK, gamma_s, son_vel_m_s,
    mach, ae_at, cstar_m_s, cf, ivac_m_s, isp_m_s (impulses in m/s), x_H2O ...
    x_OH, flags."""

    fields = ("set", "model", "pc_atm", "of", "station", "exit_spec") + _STATION_COLUMNS + (
        "flags",)
    _per_point = ("pc_atm", "of")

    def _row_shape(self):
        return self.flags.shape


class BestIspResult(_Result):
    """The best O/F of each exit: exit_spec ("pi_p=10", "ae_at=25", as in the
    CSV of ``zuna4c rocket``) and exit_value (its ratio as a number),
    of_isp and isp_m_s (the highest Isp), of_ivac and ivac_m_s (the highest
    Ivac), flags; arrays of shape (exits,)."""

    fields = ("exit_spec", "exit_value", "of_isp", "isp_m_s", "of_ivac", "ivac_m_s", "flags")


class SweepResult(_Result):
    """The programs' sweep, one entry per reported point (npmin + npmax + 3),
    named like the columns of ``zuna4c --batch --csv``: of, r, tadsem, tadcom,
    no2r, nh2o, no2, nh2, ntotalr, ntotalp, nd_h2o ... nd_oh, ntd, yh2r, yo2r,
    yh2o, yo2, yh2, yd_h2o ... yd_oh, fmh2r, fmo2r, fmh2o, fmo2, fmh2,
    fmd_h2o ... fmd_oh, mmr, mmp, mmd, x1 ... x4, flags. Amounts in mol per mol
    of H2 fed, temperatures in K, molar masses in g/mol. Also ofst (the
    stoichiometric O/F) and ok (False when a point raised a floating-point
    fault, flag 256, where the programs would have ended their run)."""

    fields = _SWEEP_COLUMNS + ("flags",)


def _choice(name, value, choices):
    if value not in choices:
        raise ValueError("%s must be one of %s, not %r" % (name, ", ".join(map(repr, choices)), value))
    return choices[value]


def _array(name, value):
    try:
        array = _np.asarray(value, dtype=_np.float64)
    except (TypeError, ValueError) as error:
        raise ValueError("%s must be a number or an array of numbers" % name) from error
    return array


# What each argument the library may refuse is, in words, and its unit.
_ARGUMENT_WORDS = {
    "of": ("the O/F ratio", ""), "p_atm": ("the pressure", " atm"),
    "T_K": ("the temperature", " K"), "reactants_T_K": ("the reactants' temperature", " K"),
    "h_fuel_J_mol": ("the enthalpy of H2", " J/mol"),
    "h_oxid_J_mol": ("the enthalpy of O2", " J/mol"), "s_kJ_kgK": ("the entropy", ""),
    "rho_kg_m3": ("the density", " kg/m3"), "pc_atm": ("the chamber pressure", " atm"),
    "pi_p": ("the pressure ratio", ""), "ae_at": ("the area ratio", ""),
    "contraction": ("the contraction ratio", ""), "sub_ae_at": ("the subsonic area ratio", ""), "mass_flux": ("the mass flux", " kg/(s m2)"),
    "exits": ("the number of exits", ""), "of_interval": ("the O/F interval", ""),
    "scan_points": ("the scan's points", ""),
}
_SWEEP_PARAMETERS = ("rmin", "rmax", "npmin", "npmax", "p", "tolh", "itmaxh", "toln", "itmaxn")


def _range_words(bounds, low, high, unit):
    """The range accepted, in words, from the refusal's bounds."""
    if bounds == "closed":
        return "must lie in %s..%s%s" % (_shortest(low), _shortest(high), unit)
    if bounds == "above":
        return "must be above %s%s%s" % (
            _shortest(low), "" if _math.isinf(high) else " and at most " + _shortest(high), unit)
    if bounds == "at_least":
        return "must be at least %s%s" % (_shortest(low), unit)
    if bounds == "at_most":
        return "must be at most %s" % _shortest(high)
    return "must be a number"


def _worded(error, keywords):
    """A ValueError that words the library's refusal with the caller's names:
    the argument's keyword, its value and the range accepted. Refusals of no
    one argument (a data file) keep the library's message."""
    if not isinstance(error, _core.Refused):
        return ValueError(str(error))
    argument, value, value2, bounds, low, high, index, message = error.args
    argument = _core.arguments[argument]
    bounds = _core.bounds[bounds]
    if argument == "sweep_parameter":
        name, what, unit = _SWEEP_PARAMETERS[index], "", " atm" if index == 4 else ""
        index = -1
    elif argument in keywords and argument in _ARGUMENT_WORDS:
        name = keywords[argument]
        what, unit = _ARGUMENT_WORDS[argument]
    else:
        return ValueError(message)
    if argument == "mass_flux" and bounds == "none":
        return ValueError("%s = %s: %s" % (name, _shortest(value), message))
    if argument == "of_interval":
        text = "%s = %s: %s %s" % (name, ", ".join(map(_shortest, (value, value2))), what,
                                   "must lie in %s..%s and be at least 0.001 wide"
                                   % (_shortest(low), _shortest(high)))
    elif argument == "exits":
        text = "%s: %s exits, at most %s together" % (name, _shortest(value), _shortest(high))
    else:
        text = "%s = %s: %s" % (name, _shortest(value),
                                (what + " " if what else "") + _range_words(bounds, low, high,
                                                                           unit))
    return ValueError(("point %d: " % index if index >= 0 else "") + text)


_EQUILIBRIUM_NAMES = {"of": "of", "p_atm": "p", "T_K": "T", "reactants_T_K": "T_reactants",
                      "s_kJ_kgK": "s", "rho_kg_m3": "rho", "h_fuel_J_mol": "h_fuel",
                      "h_oxid_J_mol": "h_oxid"}


_NUMBERS = (float, int)


def _scalar(value):
    return isinstance(value, (int, float)) and not isinstance(value, bool)


def equilibrium(problem="hp", of=None, p=1.0, reactants="liquid", T=None, s=None, rho=None,
                T_reactants=298.15, h_fuel=-9016.0, h_oxid=-12984.0, warm_start=True):
    """Chemical equilibrium of the H2/O2 products.

    Parameters
    ----------
    problem : {"hp", "tp", "sp", "uv"}
        What is held fixed: the reactants' enthalpy and p (the adiabatic
        flame, "hp"), T and p ("tp"), the entropy s and p ("sp"), the
        reactants' internal energy and the density rho ("uv").
    of : number or array
        O/F mass ratio [kg O2 / kg H2], 0.1 to 40 times stoichiometric_of.
    p : number or array
        Pressure [atm], 1e-6 to 1e5 (tp, hp, sp).
    reactants : {"liquid", "gas", "custom"}
        Liquid H2 and O2 (-9016 and -12984 J/mol), both gases at
        T_reactants [K], or the enthalpies h_fuel and h_oxid [J/mol].
    T : number or array
        Temperature [K], 200 to 6000 (tp).
    s : number or array
        Entropy [kJ/(kg K)] (sp).
    rho : number or array
        Density [kg/m3] (uv).
    warm_start : bool
        Start each point of an array from the one before it (in C order), as
        ``zuna4c equilibrium`` sweeps its O/F ratios; False solves each cold.

    Returns
    -------
    EquilibriumResult
        Fields named like the CSV columns of ``zuna4c equilibrium``, arrays
        of the broadcast shape of the numeric arguments (plain floats and
        ints when all of them are numbers).

    Raises
    ------
    ValueError
        An argument out of range, named with the range accepted.

    Example
    -------
    >>> r = zuna4.equilibrium("hp", of=[4.0, 6.0, 8.0], p=10.0)
    >>> r.T_K
    """
    # Numbers only: one solve, floats out, with as little as possible around it.
    code = _PROBLEMS.get(problem)
    rset = _REACTANTS.get(reactants)
    if (code is not None and rset is not None and type(of) in _NUMBERS and type(p) in _NUMBERS
            and (T is None or type(T) in _NUMBERS) and (s is None or type(s) in _NUMBERS)
            and (rho is None or type(rho) in _NUMBERS)
            and (code != 0 or T is not None) and (code != 2 or s is not None)
            and (code != 3 or rho is not None)):
        try:
            row = _core.equilibrium_point(code, of, 0.0 if code == 3 else p,
                                          0.0 if T is None else T, 0.0 if s is None else s,
                                          0.0 if rho is None else rho, rset, T_reactants,
                                          h_fuel, h_oxid)
        except ValueError as error:
            raise _worded(error, _EQUILIBRIUM_NAMES) from None
        result = _ScalarEquilibrium.__new__(_ScalarEquilibrium)
        result._row = row
        result.problem = problem
        result.set = reactants
        result.of = float(of)
        return result
    code = _choice("problem", problem, _PROBLEMS)
    rset = _choice("reactants", reactants, _REACTANTS)
    if of is None:
        raise ValueError("of is required: the O/F mass ratio [kg O2 / kg H2]")
    needed = {"tp": ("T", T), "sp": ("s", s), "uv": ("rho", rho)}.get(problem)
    if needed is not None and needed[1] is None:
        raise ValueError("%s is required for problem %r" % (needed[0], problem))
    T = 0.0 if T is None else T
    s = 0.0 if s is None else s
    rho = 0.0 if rho is None else rho
    if code == 3:
        p = 0.0
    try:
        arrays = _np.broadcast_arrays(_array("of", of), _array("p", p), _array("T", T),
                                      _array("s", s), _array("rho", rho))
        shape = arrays[0].shape
        flat = [_np.ascontiguousarray(a.ravel()) for a in arrays]
        values, iterations, flags = _core.equilibrium_points(
            code, *flat, rset, float(T_reactants), float(h_fuel), float(h_oxid),
            bool(warm_start))
    except ValueError as error:
        raise _worded(error, _EQUILIBRIUM_NAMES) from None
    result = EquilibriumResult()
    result.problem = problem
    result.set = reactants
    result.of = flat[0].reshape(shape)
    result.p_atm = values[:, 0].reshape(shape)
    for k, name in enumerate(_STATE_COLUMNS):
        setattr(result, name, values[:, k + 1].reshape(shape))
    result.iterations = iterations.reshape(shape)
    result.flags = flags.reshape(shape)
    return result


_ROCKET_NAMES = {"pc_atm": "pc", "of": "of", "reactants_T_K": "T_reactants",
                 "h_fuel_J_mol": "h_fuel", "h_oxid_J_mol": "h_oxid", "pi_p": "pi_p",
                 "ae_at": "ae_at", "exits": "pi_p, ae_at", "of_interval": "of_low, of_high",
                 "scan_points": "scan_points", "contraction": "contraction",
                 "mass_flux": "mass_flux", "sub_ae_at": "sub_ae_at"}


#: The shortest text that reads back as the double v, as the console
#: program writes its numbers: 10 -> "10", 1e5 -> "1e+05", 2.5e-7 -> "2.5e-07".
_shortest = _core.shortest


def _exit_texts(kinds, values):
    """The stations' exit_spec texts as in the console program's CSV:
    "pi_p=10", "ae_at=25", "" for the chamber and the throat."""
    return _np.array([("", "", "pi_p=", "ae_at=", "", "sub_ae_at=")[k]
                      + (_shortest(v) if k in (2, 3, 5) else "")
                      for k, v in zip(kinds, values)])


def _exits(pi_p, ae_at):
    pi_p = [float(v) for v in _np.atleast_1d(_np.asarray(pi_p, dtype=_np.float64))]
    ae_at = [float(v) for v in _np.atleast_1d(_np.asarray(ae_at, dtype=_np.float64))]
    return pi_p, ae_at


def rocket(pc=None, of=None, pi_p=(), ae_at=(), model="equilibrium", reactants="liquid",
           T_reactants=298.15, h_fuel=-9016.0, h_oxid=-12984.0, contraction=None,
           mass_flux=None, sub_ae_at=()):
    """Rocket performance of the infinite-area combustor.

    The chamber is the HP equilibrium of the reactants at pc; the throat and
    the exits are isentropic expansions from it, to the sonic point, to each
    pressure ratio Pc/Pe of pi_p and to each supersonic area ratio Ae/At of
    ae_at. Isp is for an ambient pressure equal to Pe; impulses and c* in m/s
    (divide by 9.80665 for seconds).

    Parameters
    ----------
    pc : number or array
        Chamber pressure [atm], 1e-4 to 1e4.
    of : number or array
        O/F mass ratio [kg O2 / kg H2]; broadcast against pc.
    pi_p : sequence of numbers
        Pressure ratios Pc/Pe, each above 1.
    ae_at : sequence of numbers
        Supersonic area ratios Ae/At, each at least 1 (20 exits at most, the
        two lists together).
    model : {"equilibrium", "frozen_chamber", "frozen_throat"}
        Shifting composition, frozen from the chamber, or frozen from the
        throat on.
    reactants, T_reactants, h_fuel, h_oxid
        As for equilibrium().
    contraction : number, optional
        A finite-area combustor of this contraction ratio Ac/At (1.05 to
        1e4): pc is then the injector's pressure, the stations are the
        injector, the combustor's end (comb_end, its ae_at Ac/At), the throat
        and the exits, and pi_p and pinf_p are over the injector's pressure.
    mass_flux : number, optional
        A finite-area combustor of this mass flux mdot/Ac [kg/(s m2)]
        instead; one too large for any Ac/At above 1 is refused.
    sub_ae_at : sequence of numbers
        Subsonic area ratios Ae/At, exits between the chamber and the throat,
        each above 1 (at most Ac/At); after the pressure ratios' stations.

    Returns
    -------
    RocketResult
        Fields named like the CSV columns of ``zuna4c rocket``, of shape
        S + (stations,) where S is the broadcast shape of pc and of;
        ``station`` and ``exit_spec`` name the stations (chamber, throat, then
        the pressure ratios and the area ratios in the order given).
        Consecutive points (in C order) at one Pc are one sweep over their
        O/F ratios, each started from those before it, as ``zuna4c rocket``
        sweeps.

    Raises
    ------
    ValueError
        An argument out of range, named with the range accepted.
    """
    mcode = _choice("model", model, _MODELS)
    rset = _choice("reactants", reactants, _REACTANTS)
    if pc is None or of is None:
        raise ValueError("pc (chamber pressure [atm]) and of (O/F) are required")
    pi_list, ae_list = _exits(pi_p, ae_at)
    pcs, ofs = _np.broadcast_arrays(_array("pc", pc), _array("of", of))
    shape = pcs.shape
    flat_pc = _np.ascontiguousarray(pcs.ravel())
    flat_of = _np.ascontiguousarray(ofs.ravel())
    try:
        values, flags, kinds = _core.rocket_points(flat_pc, flat_of, pi_list, ae_list, mcode,
                                                    rset, float(T_reactants), float(h_fuel),
                                                    float(h_oxid), float(contraction or 0.0),
                                                    float(mass_flux or 0.0),
                                                    [float(v) for v in _np.atleast_1d(
                                                        _np.asarray(sub_ae_at, dtype=_np.float64))])
    except ValueError as error:
        raise _worded(error, _ROCKET_NAMES) from None
    stations = values.shape[1]
    result = RocketResult()
    result.set = reactants
    result.model = model
    result.pc_atm = flat_pc.reshape(shape)
    result.of = flat_of.reshape(shape)
    finite = 4 in list(kinds)
    sub_list = [float(v) for v in _np.atleast_1d(_np.asarray(sub_ae_at, dtype=_np.float64))]
    result.station = _np.array([("injector" if finite else "chamber", "throat", "exit", "exit",
                                 "comb_end", "exit")[k] for k in kinds])
    result.exit_spec = _exit_texts(kinds, [0.0] * (3 if finite else 2) + pi_list + sub_list
                                   + ae_list)
    for k, name in enumerate(_STATION_COLUMNS):
        setattr(result, name, values[:, :, k].reshape(shape + (stations,)))
    result.flags = flags.reshape(shape + (stations,))
    return result


def best_isp(pc=None, pi_p=(), ae_at=(), model="equilibrium", reactants="liquid",
             of_low=0.0, of_high=0.0, scan_points=12, T_reactants=298.15,
             h_fuel=-9016.0, h_oxid=-12984.0):
    """The O/F of the highest Isp and of the highest Ivac at each exit.

    A coarse scan of scan_points O/F ratios over [of_low, of_high] (0 for
    either: a quarter and 1.5 times stoichiometric_of), then a golden-section
    search to 1e-4 in O/F around the highest value.

    Parameters
    ----------
    pc : number
        Chamber pressure [atm], 1e-4 to 1e4.
    pi_p, ae_at, model, reactants, T_reactants, h_fuel, h_oxid
        As for rocket().
    of_low, of_high : number
        The interval searched [kg O2 / kg H2].
    scan_points : int
        Points of the coarse scan, 3 to 1000.

    Returns
    -------
    BestIspResult
        One entry per exit: exit_spec, exit_value, of_isp, isp_m_s, of_ivac,
        ivac_m_s, flags (bit 2**19: the optimum lies at an end of the
        interval).
    """
    mcode = _choice("model", model, _MODELS)
    rset = _choice("reactants", reactants, _REACTANTS)
    if not _scalar(pc):
        raise ValueError("pc must be a number: the chamber pressure [atm]")
    pi_list, ae_list = _exits(pi_p, ae_at)
    try:
        rows = _core.best_isp(float(pc), pi_list, ae_list, mcode, rset, float(T_reactants),
                              float(h_fuel), float(h_oxid), float(of_low), float(of_high),
                              int(scan_points))
    except ValueError as error:
        raise _worded(error, _ROCKET_NAMES) from None
    result = BestIspResult()
    result.exit_spec = _exit_texts([r[0] for r in rows], [r[1] for r in rows])
    for k, name in enumerate(("exit_value", "of_isp", "isp_m_s", "of_ivac", "ivac_m_s")):
        setattr(result, name, _np.array([r[k + 1] for r in rows], dtype=_np.float64))
    result.flags = _np.array([r[6] for r in rows], dtype=_np.int64)
    return result


def sweep(rmin=0.5, rmax=2.0, npmin=10, npmax=20, p=1.0, tolh=1.0e-3, itmaxh=100,
          toln=1.0e-10, itmaxn=200, reactions=(True, True, True, True), data=None):
    """The zuna4 programs' own sweep over the O/F grid.

    The same calculation, to the last bit, as ``zuna4c --batch`` with the same
    parameters: npmin points from rmin times the stoichiometric O/F up to it,
    the stoichiometric point, npmax points up to rmax times it; at each, the
    products without dissociation, the adiabatic flame temperature without
    (tadsem) and with dissociation (tadcom, reactions R1 H2O = H + OH,
    R2 H2 = 2 H, R3 O2 = 2 O, R4 OH = O + H), amounts, fractions and molar
    masses. Nothing is written to a file. The defaults are those of the
    programs' parameter form.

    Parameters
    ----------
    rmin : number
        Lowest O/F over the stoichiometric O/F, above 0 and at most 1.
    rmax : number
        Highest O/F over the stoichiometric O/F, 1 to 100.
    npmin, npmax : int
        Points between rmin and 1 and between 1 and rmax, each at least 0,
        together at most 100.
    p : number
        Pressure [atm], 1e-6 to 1e5.
    tolh, itmaxh : number, int
        Tolerance [K] (above 0) and step cap (1 to 99999) of the temperature
        searches.
    toln, itmaxn : number, int
        Tolerance on moles (above 0) and pass cap (1 to 99999) of the
        dissociation equilibrium.
    reactions : four bools
        R1..R4 on or off.
    data : str or None
        The text of a data file in the layout of zuna.dat; None for the
        shipped zuna.dat, compiled in.

    Returns
    -------
    SweepResult
        Arrays of the npmin + npmax + 3 reported points, named like the
        columns of ``zuna4c --batch --csv``.
    """
    reactions = [bool(v) for v in reactions]
    if len(reactions) != 4:
        raise ValueError("reactions must hold four switches, R1 to R4")
    for name, value in (("npmin", npmin), ("npmax", npmax), ("itmaxh", itmaxh),
                        ("itmaxn", itmaxn)):
        if not isinstance(value, (int, _np.integer)) or isinstance(value, bool):
            raise ValueError("%s must be an integer" % name)
        if not -2**31 <= value < 2**31:
            raise ValueError("%s = %d: out of range" % (name, value))
    try:
        ofst, ok, values, flags = _core.sweep(float(rmin), float(rmax), int(npmin), int(npmax),
                                              float(p), float(tolh), int(itmaxh), float(toln),
                                              int(itmaxn), reactions, data or "")
    except ValueError as error:
        raise _worded(error, {}) from None
    result = SweepResult()
    result.ofst = ofst
    result.ok = ok
    for k, name in enumerate(_SWEEP_COLUMNS):
        setattr(result, name, values[:, k])
    result.flags = flags
    return result
