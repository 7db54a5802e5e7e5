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
naming it and the accepted range, a wrong type TypeError, both before any
work; a point that cannot be computed is no error but carries ``flags``
(bits of ``zuna4.Flags``) and NaN values. Pressures (``p``, ``pc``) are
numbers in atm or strings with a unit: "20 bar", "6.9MPa", "1000psia"
(Pa, kPa, MPa, bar, atm, psia, mmHg, torr).

Array calls spread their points over the machine's cores (``threads=None``,
the default; ``threads=1`` for one), the GIL released; warm starts chain
within fixed blocks of 4096 points of the flattened call, so that the
results are the same to the last bit whatever the threads. Ctrl-C stops a
long call (KeyboardInterrupt). Results pickle, and convert with
``to_pandas()`` and ``to_xarray()`` (pandas and xarray are optional).
"""

import enum as _enum
import math as _math
import numbers as _numbers
import re as _re

import numpy as _np

from . import _core

__all__ = ["equilibrium", "rocket", "best_isp", "sweep", "stoichiometric_of", "Flags",
           "EquilibriumResult", "RocketResult", "BestIspResult", "SweepResult"]

__version__ = _core.version

#: The stoichiometric O/F mass ratio of the built-in data [kg O2 / kg H2].
stoichiometric_of = _core.stoichiometric_of

Flags = _enum.IntFlag("Flags", [(name, value) for name, value, _ in _core.flag_names],
                      module=__name__)
Flags.__doc__ = "The bits of the ``flags`` fields:\n\n" + "\n".join(
    "%s (%d): %s" % (name, value, meaning) for name, value, meaning in _core.flag_names)

#: The bits of ``flags``, one line each, for the functions' help.
_FLAGS_HELP = "\n".join("        %-20s %8d  %s" % (name, value, meaning)
                        for name, value, meaning in _core.flag_names)

_PROBLEMS = {"tp": 0, "hp": 1, "sp": 2, "uv": 3}
_REACTANTS = {"liquid": 0, "gas": 1, "custom": 2}
_MODELS = {"equilibrium": 0, "frozen_chamber": 1, "frozen_throat": 2}
_SPECIES = ("H2O", "O2", "H2", "H", "O", "OH")

_STATE_COLUMNS = ("P_bar", "T_K", "rho_kg_m3", "H_kJ_kg", "U_kJ_kg", "G_kJ_kg",
                  "S_kJ_kgK", "M", "dlnV_dlnP_T", "dlnV_dlnT_P", "Cp_kJ_kgK",
                  "gamma_s", "son_vel_m_s", "Cp_fr_kJ_kgK", "gamma_fr",
                  "son_vel_fr_m_s") + tuple("x_" + s for s in _SPECIES) + tuple(
                      "y_" + s for s in _SPECIES)

_STATION_COLUMNS = ("exit_value", "pinf_p", "P_bar", "T_K", "rho_kg_m3", "H_kJ_kg",
                    "U_kJ_kg", "G_kJ_kg", "S_kJ_kgK", "M", "dlnV_dlnP_T",
                    "dlnV_dlnT_P", "Cp_kJ_kgK", "gamma_s", "son_vel_m_s", "mach",
                    "ae_at", "cstar_m_s", "cf", "ivac_m_s", "isp_m_s") + tuple(
                        "x_" + s for s in _SPECIES) + tuple("y_" + s for s in _SPECIES)

# The library's one list of the sweep's columns, "of" to "x4".
_SWEEP_COLUMNS = _core.sweep_columns


class _Result:
    """Named NumPy arrays; ``fields`` lists their names in column order.

    ``dims`` names the axes of the result (after the keywords the axes came
    from: "of", "p", "pc", "model", "station", or "point" for an axis that
    several keywords share, "dim_<k>" for one of no keyword) and ``coords``
    holds the values along the axes that have them."""

    fields = ()
    dims = ()
    coords = {}
    _point_fields = ()  # of the point axes only (not of the station axis)
    _axis_fields = {}  # field -> the one axis it lies along

    def _public_name(self):
        for cls in type(self).__mro__:
            if not cls.__name__.startswith("_"):
                return cls.__name__
        return type(self).__name__

    def __repr__(self):
        lines = []
        for name in self.fields:
            value = getattr(self, name)
            if isinstance(value, _np.ndarray):
                text = _np.array2string(value, threshold=6, edgeitems=2, separator=", ",
                                        max_line_width=10**6)
                text = "array(%s)" % " ".join(text.split())
            else:
                text = repr(value)
            lines.append("    %s=%s," % (name, text))
        return "zuna4.%s(dims=%r, shape=%r,\n%s\n)" % (
            self._public_name(), tuple(self.dims), self.shape, "\n".join(lines))

    @property
    def shape(self):
        """The shape of the result's fields of every axis."""
        return tuple(_np.shape(getattr(self, "flags")))

    def as_dict(self):
        """The fields as a dict of NumPy arrays (or numbers), in column order."""
        return {name: getattr(self, name) for name in self.fields}

    def _field_dims(self, name):
        """The axes (of self.dims) that a field lies along."""
        if name in self._axis_fields:
            return (self._axis_fields[name],)
        ndim = _np.ndim(getattr(self, name))
        if ndim == 0:
            return ()
        if name in self._point_fields:
            return tuple(self.dims[:ndim])
        return tuple(self.dims)

    def _full(self, name):
        """A field broadcast to the shape of every axis."""
        value = _np.asarray(getattr(self, name))
        dims = self._field_dims(name)
        index = tuple(slice(None) if d in dims else None for d in self.dims)
        if dims:
            value = value[index]
        return _np.broadcast_to(value, self.shape)

    def to_pandas(self):
        """A pandas DataFrame, one row per point (and model, station), one
        column per field. Needs pandas (Debian package python3-pandas),
        which zuna4 does not require."""
        try:
            import pandas
        except ImportError as error:
            raise ImportError("to_pandas() needs pandas (Debian package python3-pandas)") from error
        return pandas.DataFrame({name: _np.ravel(self._full(name)) for name in self.fields})

    def to_xarray(self):
        """An xarray Dataset: the fields as variables along the axes named in
        ``dims`` (the keywords of the call), the inputs' values as
        coordinates. Needs xarray (Debian package python3-xarray), which
        zuna4 does not require."""
        try:
            import xarray
        except ImportError as error:
            raise ImportError("to_xarray() needs xarray (Debian package python3-xarray)") from error
        data = {}
        coords = {name: (dim, _np.asarray(values)) for name, (dim, values) in self.coords.items()}
        for name in self.fields:
            if name in coords:
                continue  # the keyword's values, a coordinate
            value = _np.asarray(getattr(self, name))
            if name in self._axis_fields:
                coords[name] = (self._field_dims(name), value)
            else:
                data[name] = (self._field_dims(name), value)
        return xarray.Dataset(data, coords=coords)


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
    _point_fields = ("pc_atm", "of")
    _axis_fields = {"station": "station", "exit_spec": "station"}


class BestIspResult(_Result):
    """The best O/F of each exit: exit_spec ("pi_p=10", "ae_at=25", as in the
    CSV of ``zuna4c rocket``) and exit_value (its ratio as a number),
    of_isp and isp_m_s (the highest Isp), of_ivac and ivac_m_s (the highest
    Ivac), flags; arrays of shape (exits,)."""

    fields = ("exit_spec", "exit_value", "of_isp", "isp_m_s", "of_ivac", "ivac_m_s", "flags")
    dims = ("exit",)
    _axis_fields = {"exit_spec": "exit", "exit_value": "exit"}


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
    dims = ("point",)


def _choice(name, value, choices):
    if not isinstance(value, str):
        raise TypeError("%s must be one of %s, not %r" % (name, ", ".join(map(repr, choices)),
                                                         value))
    if value not in choices:
        raise ValueError("%s must be one of %s, not %r" % (name, ", ".join(map(repr, choices)), value))
    return choices[value]


def _type_name(value):
    return type(value).__name__


def _real(name, value):
    """One finite real number (an int or a float, NumPy's too; not a bool, a
    complex or a string), as a float."""
    if isinstance(value, (bool, _np.bool_)) or not isinstance(value, _numbers.Real):
        raise TypeError("%s must be a real number, not %s %r" % (name, _type_name(value), value))
    try:
        v = float(value)
    except OverflowError:
        raise ValueError("%s = %s: too large for a double" % (name, value)) from None
    if not _math.isfinite(v):
        raise ValueError("%s = %r: must be a finite number" % (name, v))
    return v


def _integer(name, value, low, high):
    """An int (NumPy's too, not a bool) in low..high."""
    if isinstance(value, (bool, _np.bool_)) or not isinstance(value, _numbers.Integral):
        raise TypeError("%s must be an integer, not %s %r" % (name, _type_name(value), value))
    if not low <= value <= high:
        raise ValueError("%s = %d: must lie in %d..%d" % (name, value, low, high))
    return int(value)


def _array(name, value):
    """A number or an array of real numbers (not bools, complex numbers or
    strings; not empty), as doubles. NaN and infinities are refused by the
    library, point by point, on its workers."""
    if value is None:
        raise TypeError("%s must be a number or an array of numbers, not None" % name)
    if isinstance(value, (str, bytes, bool, _np.bool_)):
        raise TypeError("%s must be a number or an array of numbers, not %s %r"
                        % (name, _type_name(value), value))
    if isinstance(value, int) and not -2**1023 < value < 2**1023:
        raise ValueError("%s = %d: too large for a double" % (name, value))
    try:
        array = _np.asarray(value)
    except (TypeError, ValueError) as error:
        raise TypeError("%s must be a number or an array of numbers (%s)" % (name, error)) from None
    if array.dtype.kind not in "iuf":
        raise TypeError("%s must be a number or an array of real numbers, not an array of %s"
                        % (name, array.dtype))
    if array.size == 0:
        raise ValueError("%s is empty" % name)
    return array.astype(_np.float64, copy=False)


_NUMBER = r"[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?"
_QUANTITY = _re.compile(r"\s*(%s)\s*([A-Za-z]*)\s*\Z" % _NUMBER)


def _pressure_text(name, text):
    match = _QUANTITY.match(text)
    if match is None:
        raise ValueError("%s = %r: a pressure is a number in atm or a number and its unit (%s)"
                         % (name, text, ", ".join(_core.pressure_units)))
    number, unit = float(match.group(1)), match.group(2) or "atm"
    if unit not in _core.pressure_units:
        raise ValueError("%s = %r: unknown unit %r; one of %s"
                         % (name, text, unit, ", ".join(_core.pressure_units)))
    return number if unit == "atm" else _core.pressure_to_atm(number, unit)


def _pressure(name, value):
    """A pressure or an array of them, in atm: numbers in atm, or strings
    of a number and its unit ("20 bar", "6.9MPa")."""
    if isinstance(value, str):
        return _np.asarray(_pressure_text(name, value))
    if not isinstance(value, (bytes, _np.ndarray)) and value is not None:
        try:
            probe = _np.asarray(value)
        except (TypeError, ValueError):
            probe = None
        if probe is not None and probe.dtype.kind == "U":
            if probe.size == 0:
                raise ValueError("%s is empty" % name)
            return _np.vectorize(lambda t: _pressure_text(name, str(t)),
                                 otypes=[_np.float64])(probe)
    return _array(name, value)


def _threads(threads):
    if threads is None:
        return None
    return _integer("threads", threads, 1, 4096)


def _broadcast(named):
    """The arrays of (keyword, array) pairs broadcast against each other;
    a ValueError names the keywords whose shapes do not fit."""
    try:
        return _np.broadcast_shapes(*[a.shape for _, a in named])
    except ValueError:
        raise ValueError("the shapes of %s do not broadcast together: %s" % (
            ", ".join(n for n, _ in named),
            ", ".join("%s %s" % (n, a.shape) for n, a in named))) from None


def _axes(shape, named):
    """The names of the axes of `shape` after the keywords whose arrays lie
    along them, and the coordinates of those of one keyword."""
    dims, coords = [], {}
    for k in range(len(shape)):
        along = []
        for name, a in named:
            offset = k - (len(shape) - a.ndim)
            if offset >= 0 and a.shape[offset] > 1:
                along.append((name, a, offset))
        if len(along) == 1 and along[0][1].size == shape[k]:
            name, a, _ = along[0]
            dims.append(name)
            coords[name] = (name, a.ravel())
        elif along and all(a.size == shape[k] for _, a, _ in along):
            dim = "point" if "point" not in dims else "point_%d" % k
            dims.append(dim)
            for name, a, _ in along:
                coords[name] = (dim, a.ravel())
        else:
            dims.append("dim_%d" % k)
    return tuple(dims), coords


def _flat(array, shape):
    """The array's values for the flattened call: one value, or one per
    point of the broadcast shape."""
    if array.size == 1:
        return _np.ascontiguousarray(array.ravel())
    return _np.ascontiguousarray(_np.broadcast_to(array, shape).ravel())


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


def equilibrium(problem="hp", of=None, p=None, reactants="liquid", T=None, s=None, rho=None,
                T_reactants=298.15, h_fuel=-9016.0, h_oxid=-12984.0, warm_start=True,
                threads=None):
    """Chemical equilibrium of the H2/O2 products.

    Parameters
    ----------
    problem : {"hp", "tp", "sp", "uv"}
        What is held fixed: the reactants' enthalpy and p (the adiabatic
        flame, "hp"), T and p ("tp"), the entropy s and p ("sp"), the
        reactants' internal energy and the density rho ("uv").
    of : number or array
        O/F mass ratio [kg O2 / kg H2], 0.1 to 40 times stoichiometric_of.
    p : number, string or array
        Pressure, 1e-6 to 1e5 atm (tp, hp, sp; 1 atm when not given): a
        number in atm or a string with its unit ("20 bar", "6.9MPa";
        Pa, kPa, MPa, bar, atm, psia, mmHg, torr). Not given for uv.
    reactants : {"liquid", "gas", "custom"}
        Liquid H2 and O2 (-9016 and -12984 J/mol), both gases at
        T_reactants [K], or the enthalpies h_fuel and h_oxid [J/mol].
    T : number or array
        Temperature [K], 200 to 6000 (tp).
    s : number or array
        Entropy [kJ/(kg K)] (sp).
    rho : number or array
        Density [kg/m3] (uv).
    T_reactants : number
        Temperature of the gaseous reactants [K], 200 to 6000 ("gas").
    h_fuel, h_oxid : number
        Enthalpies of H2 and O2 [J/mol] ("custom").
    warm_start : bool
        Start each point of an array from the one before it (in C order,
        within blocks of 4096 points), as ``zuna4c equilibrium`` sweeps its
        O/F ratios; False solves each cold.
    threads : int or None
        Worker threads of an array call: None for every core, 1 for one.
        The results are the same to the last bit whatever the threads.
        T, s and rho are refused where the problem does not use them.

    Returns
    -------
    EquilibriumResult
        Fields named like the CSV columns of ``zuna4c equilibrium``, arrays
        of the broadcast shape of the numeric arguments (plain floats and
        ints when all of them are numbers): p_atm, of, P_bar [bar], T_K [K],
        rho_kg_m3 [kg/m3], H_kJ_kg, U_kJ_kg, G_kJ_kg [kJ/kg], S_kJ_kgK,
        Cp_kJ_kgK (equilibrium), Cp_fr_kJ_kgK (frozen) [kJ/(kg K)],
        M [g/mol], dlnV_dlnP_T, dlnV_dlnT_P, gamma_s (isentropic exponent),
        gamma_fr (frozen Cp/Cv), son_vel_m_s, son_vel_fr_m_s [m/s],
        x_H2O ... x_OH (mole fractions), y_H2O ... y_OH (mass fractions),
        iterations (Newton steps), flags (zuna4.Flags bits, 0 for a plain
        converged state):
{flags}

    Raises
    ------
    ValueError
        An argument out of range, named with the range accepted; an empty
        array; arrays whose shapes do not broadcast.
    TypeError
        An argument of the wrong type (a string, a bool or a complex number
        for a number), named.

    Example
    -------
    >>> r = zuna4.equilibrium("hp", of=[4.0, 6.0, 8.0], p=10.0)
    >>> r.T_K
    """
    # Numbers only: one solve, floats out, with as little as possible around it.
    if p is None and problem != "uv":
        p = 1.0
    code = _PROBLEMS.get(problem) if isinstance(problem, str) else None
    rset = _REACTANTS.get(reactants) if isinstance(reactants, str) else None
    if (code is not None and rset is not None and type(of) in _NUMBERS
            and (type(p) in _NUMBERS if code != 3 else p is None)
            and (T is None if code != 0 else type(T) in _NUMBERS)
            and (s is None if code != 2 else type(s) in _NUMBERS)
            and (rho is None if code != 3 else type(rho) in _NUMBERS)
            and type(T_reactants) in _NUMBERS and type(h_fuel) in _NUMBERS
            and type(h_oxid) in _NUMBERS and -1e300 < of < 1e300 and (p is None or -1e300 < p < 1e300)
            and (warm_start is True or warm_start is False)
            and (threads is None or (type(threads) is int and 0 < threads <= 4096))
            and -1e300 < T_reactants < 1e300 and -1e300 < h_fuel < 1e300
            and -1e300 < h_oxid < 1e300):
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
    T_reactants = _real("T_reactants", T_reactants)
    h_fuel = _real("h_fuel", h_fuel)
    h_oxid = _real("h_oxid", h_oxid)
    warm_start = _flag("warm_start", warm_start)
    threads = _threads(threads)
    if of is None:
        raise ValueError("of is required: the O/F mass ratio [kg O2 / kg H2]")
    uses = {"T": "tp", "s": "sp", "rho": "uv"}
    for name, value in (("T", T), ("s", s), ("rho", rho)):
        if value is None and problem == uses[name]:
            raise ValueError("%s is required for problem %r" % (name, problem))
        if value is not None and problem != uses[name]:
            raise ValueError("%s is not used by problem %r (only by %r)" % (name, problem,
                                                                          uses[name]))
    if code == 3 and p is not None:
        raise ValueError("p is not used by problem 'uv' (rho is held fixed)")
    named = [("of", _array("of", of))]
    if code != 3:
        named.append(("p", _pressure("p", p)))
    for name, value in (("T", T), ("s", s), ("rho", rho)):
        if value is not None:
            named.append((name, _array(name, value)))
    shape = _broadcast(named)
    arrays = dict(named)
    zero = _np.zeros(1)
    flat = [_flat(arrays[name], shape) if name in arrays else zero
            for name in ("of", "p", "T", "s", "rho")]
    try:
        values, iterations, flags = _core.equilibrium_points(
            code, *flat, rset, T_reactants, h_fuel, h_oxid, warm_start, threads)
    except ValueError as error:
        raise _worded(error, _EQUILIBRIUM_NAMES) from None
    result = EquilibriumResult()
    result.dims, result.coords = _axes(shape, named)
    result.problem = problem
    result.set = reactants
    result.of = _np.broadcast_to(arrays["of"], shape).copy()
    result.p_atm = values[:, 0].reshape(shape)
    for k, name in enumerate(_STATE_COLUMNS):
        setattr(result, name, values[:, k + 1].reshape(shape))
    result.iterations = iterations.reshape(shape)
    result.flags = flags.reshape(shape)
    return result


def _flag(name, value):
    if not isinstance(value, (bool, _np.bool_)):
        raise TypeError("%s must be True or False, not %r" % (name, value))
    return bool(value)


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


def _ratios(name, value):
    """A sequence of numbers (or one number), one dimension."""
    if value is None or isinstance(value, (str, bytes, bool, _np.bool_)):
        raise TypeError("%s must be a sequence of numbers, not %s %r"
                        % (name, _type_name(value), value))
    try:
        array = _np.asarray(value)
    except (TypeError, ValueError) as error:
        raise TypeError("%s must be a sequence of numbers (%s)" % (name, error)) from None
    if array.dtype.kind not in "iuf" and not (array.dtype.kind == "f" or array.size == 0):
        raise TypeError("%s must be a sequence of real numbers, not an array of %s"
                        % (name, array.dtype))
    if array.ndim > 1:
        raise ValueError("%s must be a sequence of numbers, not of shape %s" % (name, array.shape))
    return [float(v) for v in _np.atleast_1d(array.astype(_np.float64))]


def _exits(pi_p, ae_at):
    return _ratios("pi_p", pi_p), _ratios("ae_at", ae_at)


def _models(model):
    """The models' codes, and whether a list of them was given (a model axis)."""
    if isinstance(model, (list, tuple, _np.ndarray)):
        models = list(model)
        if not models:
            raise ValueError("model is an empty list")
        return [_choice("model", m, _MODELS) for m in models], True
    return [_choice("model", model, _MODELS)], False


def rocket(pc=None, of=None, pi_p=(), ae_at=(), model="equilibrium", reactants="liquid",
           T_reactants=298.15, h_fuel=-9016.0, h_oxid=-12984.0, contraction=None,
           mass_flux=None, sub_ae_at=(), warm_start=True, threads=None):
    """Rocket performance of the infinite-area combustor.

    The chamber is the HP equilibrium of the reactants at pc; the throat and
    the exits are isentropic expansions from it, to the sonic point, to each
    pressure ratio Pc/Pe of pi_p and to each supersonic area ratio Ae/At of
    ae_at. Isp is for an ambient pressure equal to Pe; impulses and c* in m/s
    (divide by 9.80665 for seconds).

    Parameters
    ----------
    pc : number, string or array
        Chamber pressure, 1e-4 to 1e4 atm: a number in atm or a string with
        its unit ("20 bar", "1000psia"; Pa, kPa, MPa, bar, atm, psia, mmHg,
        torr).
    of : number or array
        O/F mass ratio [kg O2 / kg H2]; broadcast against pc.
    pi_p : sequence of numbers
        Pressure ratios Pc/Pe, each above 1.
    ae_at : sequence of numbers
        Supersonic area ratios Ae/At, each at least 1 (20 exits at most, the
        two lists together).
    model : {"equilibrium", "frozen_chamber", "frozen_throat"} or a list
        Shifting composition, frozen from the chamber, or frozen from the
        throat on; a list of them adds a model axis (after the axes of pc
        and of, before the stations).
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
    warm_start : bool
        Start each point from those before it at the same Pc (within blocks
        of 4096 points); False computes each cold.
    threads : int or None
        As for equilibrium().

    Returns
    -------
    RocketResult
        Fields named like the CSV columns of ``zuna4c rocket``, of shape
        S + (stations,) where S is the broadcast shape of pc and of;
        ``station`` and ``exit_spec`` name the stations (chamber, throat, then
        the pressure ratios and the area ratios in the order given).
        Consecutive points (in C order) at one Pc are one sweep over their
        O/F ratios, each started from those before it, as ``zuna4c rocket``
        sweeps. Per station: pinf_p (Pc/P), P_bar [bar], T_K [K],
        rho_kg_m3, H_kJ_kg, U_kJ_kg, G_kJ_kg [kJ/kg], S_kJ_kgK,
        Cp_kJ_kgK [kJ/(kg K)], M [g/mol], dlnV_dlnP_T, dlnV_dlnT_P,
        gamma_s, son_vel_m_s [m/s], mach, ae_at (Ae/At), cstar_m_s [m/s],
        cf (thrust coefficient), ivac_m_s and isp_m_s [m/s], x_H2O ... x_OH
        (mole fractions), y_H2O ... y_OH (mass fractions), flags
        (zuna4.Flags bits):
{flags}

    Raises
    ------
    ValueError
        An argument out of range, named with the range accepted.
    """
    mcodes, model_axis = _models(model)
    rset = _choice("reactants", reactants, _REACTANTS)
    T_reactants = _real("T_reactants", T_reactants)
    h_fuel = _real("h_fuel", h_fuel)
    h_oxid = _real("h_oxid", h_oxid)
    warm_start = _flag("warm_start", warm_start)
    threads = _threads(threads)
    if pc is None or of is None:
        raise ValueError("pc (chamber pressure [atm]) and of (O/F) are required")
    pi_list, ae_list = _exits(pi_p, ae_at)
    named = [("pc", _pressure("pc", pc)), ("of", _array("of", of))]
    shape = _broadcast(named)
    flat_pc = _flat(named[0][1], shape)
    flat_of = _flat(named[1][1], shape)
    sub_list = [float(v) for v in _np.atleast_1d(_np.asarray(sub_ae_at, dtype=_np.float64))]
    runs = []
    for mcode in mcodes:
        try:
            runs.append(_core.rocket_points(flat_pc, flat_of, pi_list, ae_list, mcode, rset,
                                            T_reactants, h_fuel, h_oxid,
                                            float(contraction or 0.0), float(mass_flux or 0.0),
                                            sub_list, warm_start, threads))
        except ValueError as error:
            raise _worded(error, _ROCKET_NAMES) from None
    kinds = runs[0][2]
    stations = len(kinds)
    result = RocketResult()
    dims, result.coords = _axes(shape, named)
    result.set = reactants
    if model_axis:
        result.model = _np.array(list(model))
        result.dims = dims + ("model", "station")
        result._axis_fields = dict(RocketResult._axis_fields, model="model")
        full = shape + (len(mcodes), stations)
        values = _np.stack([r[0] for r in runs], axis=1)
        flags = _np.stack([r[1] for r in runs], axis=1)
    else:
        result.model = model
        result.dims = dims + ("station",)
        full = shape + (stations,)
        values, flags = runs[0][0], runs[0][1]
    result.pc_atm = _np.broadcast_to(named[0][1], shape).copy()
    result.of = _np.broadcast_to(named[1][1], shape).copy()
    finite = 4 in list(kinds)
    result.station = _np.array([("injector" if finite else "chamber", "throat", "exit", "exit",
                                 "comb_end", "exit")[k] for k in kinds])
    result.exit_spec = _exit_texts(kinds, [0.0] * (3 if finite else 2) + pi_list + sub_list
                                   + ae_list)
    for k, name in enumerate(_STATION_COLUMNS):
        setattr(result, name, values[..., k].reshape(full))
    result.flags = flags.reshape(full)
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
    pc : number or string
        Chamber pressure, 1e-4 to 1e4 atm (a number in atm or a string with
        its unit, as for rocket()).
    pi_p, ae_at, model, reactants, T_reactants, h_fuel, h_oxid
        As for rocket(); a list of models gives results of shape
        (models, exits).
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
    mcodes, model_axis = _models(model)
    rset = _choice("reactants", reactants, _REACTANTS)
    if pc is None:
        raise ValueError("pc is required: the chamber pressure [atm]")
    pc = _pressure("pc", pc)
    if pc.ndim != 0:
        raise ValueError("pc must be one number: the chamber pressure [atm]")
    pc = float(pc)
    T_reactants = _real("T_reactants", T_reactants)
    h_fuel = _real("h_fuel", h_fuel)
    h_oxid = _real("h_oxid", h_oxid)
    of_low = _real("of_low", of_low)
    of_high = _real("of_high", of_high)
    scan_points = _integer("scan_points", scan_points, 3, 1000)
    pi_list, ae_list = _exits(pi_p, ae_at)
    runs = []
    for mcode in mcodes:
        try:
            runs.append(_core.best_isp(pc, pi_list, ae_list, mcode, rset, T_reactants, h_fuel,
                                       h_oxid, of_low, of_high, scan_points))
        except ValueError as error:
            raise _worded(error, _ROCKET_NAMES) from None
    rows = runs[0]
    result = BestIspResult()
    result.exit_spec = _exit_texts([r[0] for r in rows], [r[1] for r in rows])
    result.exit_value = _np.array([r[1] for r in rows], dtype=_np.float64)
    for k, name in ((2, "of_isp"), (3, "isp_m_s"), (4, "of_ivac"), (5, "ivac_m_s"), (6, "flags")):
        value = _np.array([[r[k] for r in run] for run in runs],
                          dtype=_np.int64 if name == "flags" else _np.float64)
        setattr(result, name, value if model_axis else value[0])
    if model_axis:
        result.model = _np.array(list(model))
        result.dims = ("model", "exit")
        result.fields = ("model",) + BestIspResult.fields
        result._axis_fields = dict(BestIspResult._axis_fields, model="model")
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
    p : number or string
        Pressure, 1e-6 to 1e5 atm (a number in atm or a string with its
        unit, as for equilibrium()).
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
    if isinstance(reactions, (str, bytes)) or not hasattr(reactions, "__len__"):
        raise TypeError("reactions must be four switches, R1 to R4 (True or False), not %r"
                        % (reactions,))
    if len(reactions) != 4:
        raise ValueError("reactions must hold four switches, R1 to R4, not %d" % len(reactions))
    reactions = [_flag("reactions[%d]" % k, v) for k, v in enumerate(reactions)]
    for name, value in (("npmin", npmin), ("npmax", npmax), ("itmaxh", itmaxh),
                        ("itmaxn", itmaxn)):
        if isinstance(value, (bool, _np.bool_)) or not isinstance(value, _numbers.Integral):
            raise TypeError("%s must be an integer, not %s %r" % (name, _type_name(value), value))
        if not -2**31 <= value < 2**31:
            raise ValueError("%s = %d: out of range" % (name, value))
    rmin, rmax, p, tolh, toln = (_real(name, value) for name, value in (
        ("rmin", rmin), ("rmax", rmax), ("p", float(_pressure("p", p)) if isinstance(p, str) else p), ("tolh", tolh), ("toln", toln)))
    if data is not None and not isinstance(data, str):
        raise TypeError("data must be the text of a data file (a str) or None, not %s"
                        % _type_name(data))
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


for _function in (equilibrium, rocket):
    _function.__doc__ = _function.__doc__.replace("{flags}", _FLAGS_HELP)
del _function
