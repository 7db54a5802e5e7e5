# zuna4.equilibrium: the same bits as `zuna4c equilibrium`, NASA CEA 3.0's
# flames within their printing, NumPy broadcasting, errors that name the
# argument, and threads that do not disturb each other.
import math
import threading

import numpy as np
import pytest

import zuna4
from conftest import half_unit, number, read_tsv, run_csv, same_bits

COLUMNS = zuna4.EquilibriumResult.fields
# The mass fractions are the module's own, not columns of the CSV.
NUMERIC = [c for c in COLUMNS if c not in ("problem", "set") and not c.startswith("y_")]


# The module computes the six gases on the fast path; the console program
# computes them with the general solver restricted to the same six products,
# which agrees to 1e-9 relative (iterations aside).
SIX_GASES = ["--only=H2O;O2;H2;H;O;OH"]


def assert_rows_equal(result, rows):
    for i, row in enumerate(rows):
        for column in NUMERIC:
            if column == "iterations":
                continue
            got = np.ravel(getattr(result, column))[i]
            want = number(row[column])
            assert same_bits(got, want) or abs(got - want) <= 1e-9 * abs(want) + 1e-300, \
                (column, i, got, row[column])


@pytest.mark.parametrize("args, call", [
    (["-p", "10", "--of", "3,5.5,7.9,12,40"],
     dict(problem="hp", of=[3, 5.5, 7.9, 12, 40], p=10.0)),
    (["--problem=tp", "-p", "2", "--temperature=2500", "--of", "4,8,16"],
     dict(problem="tp", of=[4, 8, 16], p=2.0, T=2500.0)),
    (["--problem=sp", "-p", "0.5", "--entropy=20", "--of", "5,6,7"],
     dict(problem="sp", of=[5, 6, 7], p=0.5, s=20.0)),
    (["--problem=uv", "--rho=0.5", "--reactants=gas", "--of", "6,8"],
     dict(problem="uv", of=[6, 8], rho=0.5, reactants="gas")),
])
def test_arrays_equal_the_console_program_with_the_six_gases(zuna4c, tmp_path, args, call):
    rows = run_csv(zuna4c, ["equilibrium", "--csv=-"] + SIX_GASES + args, tmp_path)
    result = zuna4.equilibrium(**call)
    assert len(rows) == np.size(result.T_K)
    assert all(row["problem"] == call["problem"] for row in rows)
    assert_rows_equal(result, rows)


def test_a_scalar_call_is_the_cold_solve_of_the_console_program(zuna4c, tmp_path):
    rows = run_csv(zuna4c, ["equilibrium", "--csv=-", "-p", "68", "--of", "6"] + SIX_GASES,
                   tmp_path)
    result = zuna4.equilibrium("hp", of=6.0, p=68.0)
    assert isinstance(result.T_K, float) and isinstance(result.flags, int)
    assert_rows_equal(result, rows)


def test_the_nasa_cea_flames_at_one_atmosphere():
    reference = read_tsv("tests/validation/reference/cea-h2o2-hp-1atm.tsv")
    of = np.array([float(r["of"]) for r in reference])
    result = zuna4.equilibrium("hp", of=of, p=1.0)
    for i, r in enumerate(reference):
        T = float(r["T_only6"])
        assert abs(result.T_K[i] - T) <= max(1e-5 * T, half_unit(r["T_only6"])), i
        for species in ("H2O", "O2", "H2", "H", "O", "OH"):
            text = r["x_" + species]
            tolerance = max(2e-6, half_unit(text))
            assert abs(getattr(result, "x_" + species)[i] - float(text)) <= tolerance, (i, species)


def test_broadcasting_gives_the_shape_of_the_inputs():
    result = zuna4.equilibrium("hp", of=np.array([4.0, 6.0, 8.0]), p=[[1.0], [10.0]])
    assert result.T_K.shape == (2, 3)
    assert result.flags.shape == (2, 3) and result.flags.dtype == np.int64
    assert result.of.shape == (2, 3) and result.p_atm[1, 0] == 10.0
    # Each element is the point of its own O/F and pressure.
    cold = zuna4.equilibrium("hp", of=8.0, p=10.0)
    assert abs(result.T_K[1, 2] - cold.T_K) < 1e-9 * cold.T_K
    assert zuna4.equilibrium("tp", of=6.0, p=[1.0, 2.0], T=[[3000.0], [3500.0]]).T_K.shape == (2, 2)


def test_cold_arrays_equal_scalar_calls_bit_for_bit():
    of = [3.0, 6.0, 9.0, 30.0]
    arrays = zuna4.equilibrium("hp", of=of, p=5.0, warm_start=False)
    for i, v in enumerate(of):
        one = zuna4.equilibrium("hp", of=v, p=5.0)
        for column in NUMERIC:
            assert same_bits(getattr(arrays, column)[i], getattr(one, column)), column


def test_a_point_without_solution_is_flagged_not_raised():
    # An entropy no state of the range has: flags and NaN, no exception.
    result = zuna4.equilibrium("sp", of=[6.0, 6.0], p=1.0, s=[-50.0, 20.0])
    assert result.flags[0] & 128 and math.isnan(result.T_K[0])
    assert result.flags[1] == 0 and result.T_K[1] > 0


@pytest.mark.parametrize("call, words", [
    (dict(problem="hp", of=0.01, p=1.0), ["of = 0.01", "0.793668"]),
    (dict(problem="hp", of=[6.0, 6.0], p=[1.0, 1e6]), ["p = 1e+06", "1e+05"]),
    (dict(problem="tp", of=6.0, p=1.0, T=50.0), ["T = 50", "200..6000"]),
    (dict(problem="tp", of=6.0, p=1.0), ["T is required"]),
    (dict(problem="hp", of=6.0, reactants="gas", T_reactants=50.0),
     ["T_reactants = 50", "200..6000 K"]),
    (dict(problem="hp", of=[6.0, 0.01], p=1.0), ["point 1: of = 0.01"]),
    (dict(problem="uv", of=6.0, rho=-1.0), ["rho = -1", "above 0"]),
    (dict(problem="qq", of=6.0), ["problem", "'hp'"]),
    (dict(problem="hp", of=6.0, reactants="solid"), ["reactants", "'liquid'"]),
    (dict(problem="hp", of="six"), ["of must be a number"]),
    (dict(problem="hp", of=[1.0, 2.0], p=[1.0, 2.0, 3.0]), ["broadcast", "of (2,)", "p (3,)"]),
    # Wrong types, named, before any work.
    (dict(problem=["hp"], of=6.0), ["problem must be one of"]),
    (dict(of=6.0, reactants=["gas"]), ["reactants must be one of"]),
    (dict(of=6.0, reactants="gas", T_reactants="abc"), ["T_reactants must be a real number"]),
    (dict(of=6.0, reactants="custom", h_fuel=None), ["h_fuel must be a real number"]),
    (dict(of=6.0, reactants="custom", h_fuel=float("nan")), ["h_fuel = nan", "finite"]),
    (dict(of=10**400), ["of = 1000", "too large"]),
    (dict(of="6"), ["of must be a number", "str"]),
    (dict(of=6 + 1j), ["of must be a number", "complex"]),
    (dict(of=[6 + 1j]), ["of must be", "complex"]),
    (dict(of=True), ["of must be a number", "bool"]),
    (dict(of=[[1.0], [2.0, 3.0]]), ["of must be a number or an array"]),
    (dict(of=np.empty((0, 4))), ["of is empty"]),
    (dict(of=6.0, threads=0), ["threads = 0"]),
    (dict(of=6.0, warm_start="yes"), ["warm_start must be True or False"]),
    # NaN and infinities, point by point.
    (dict(of=[6.0, float("nan")]), ["point 1: of = nan"]),
    (dict(of=[6.0, 7.0], p=[1.0, float("inf")]), ["point 1: p = inf"]),
    # An argument the problem does not use is refused, not ignored.
    (dict(problem="hp", of=6.0, T=3000.0), ["T is not used by problem 'hp'"]),
    (dict(problem="tp", of=6.0, T=3000.0, s=20.0), ["s is not used by problem 'tp'"]),
    (dict(problem="uv", of=6.0, rho=1.0, p=2.0), ["p is not used by problem 'uv'"]),
    # Pressures with units.
    (dict(of=6.0, p="3 psi"), ["p = '3 psi'", "unknown unit 'psi'", "mmHg"]),
    (dict(of=6.0, p="abc"), ["p = 'abc'", "a number and its unit"]),
])
def test_bad_arguments_raise_errors_that_name_them(call, words):
    with pytest.raises((ValueError, TypeError)) as error:
        zuna4.equilibrium(**call)
    for word in words:
        assert word in str(error.value)


def test_two_threads_compute_what_one_computes():
    of = np.linspace(2.0, 30.0, 400)
    alone = zuna4.equilibrium("hp", of=of, p=3.0)
    results = [None, None]

    def compute(k):
        results[k] = zuna4.equilibrium("hp", of=of, p=3.0)

    threads = [threading.Thread(target=compute, args=(k,)) for k in range(2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for r in results:
        for column in NUMERIC:
            assert np.array_equal(getattr(r, column), getattr(alone, column), equal_nan=True)


def test_results_read_well_and_convert():
    result = zuna4.equilibrium("hp", of=[6.0, 8.0], p=1.0)
    assert list(result.as_dict()) == list(COLUMNS)
    assert "T_K" in repr(result)
    assert zuna4.equilibrium.__doc__ and "broadcast" in zuna4.equilibrium.__doc__
    pandas = pytest.importorskip("pandas")
    frame = result.to_pandas()
    assert isinstance(frame, pandas.DataFrame) and list(frame.columns) == list(COLUMNS)
