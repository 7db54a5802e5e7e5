# The module as its users expect: every core with the same bits as one,
# Ctrl-C stopping a long call, the named flags, a model axis, pressures with
# units, results that pickle and convert to pandas and xarray.
import _thread
import pickle
import threading
import time

import numpy as np
import pytest

import zuna4
from conftest import same_bits

BLOCK = 4096


def bits(a):
    return np.ascontiguousarray(a).view(np.uint64)


def test_threads_give_the_bits_of_one_and_blocks_start_cold():
    of = np.linspace(1.5, 14.0, 3 * BLOCK + 77).reshape(-1, 1)
    p = np.array([1.0, 30.0])
    one = zuna4.equilibrium("hp", of=of, p=p, threads=1)
    many = zuna4.equilibrium("hp", of=of, p=p, threads=3)
    every = zuna4.equilibrium("hp", of=of, p=p)
    for name in ("T_K", "Cp_kJ_kgK", "y_OH", "iterations", "flags"):
        assert np.array_equal(bits(getattr(one, name)), bits(getattr(many, name))), name
        assert np.array_equal(bits(getattr(one, name)), bits(getattr(every, name))), name
    # The first point of each block of the flattened call is solved cold.
    cold = zuna4.equilibrium("hp", of=of, p=p, warm_start=False)
    flat_T, flat_cold = one.T_K.ravel(), cold.T_K.ravel()
    for first in range(0, flat_T.size, BLOCK):
        assert same_bits(flat_T[first], flat_cold[first]), first


def test_rocket_threads_give_the_bits_of_one():
    of = np.linspace(2.0, 9.0, BLOCK + 300)
    args = dict(pc=[[20.0], [70.0]], of=of, pi_p=[10.0], ae_at=[40.0])
    one = zuna4.rocket(threads=1, **args)
    two = zuna4.rocket(threads=2, **args)
    assert np.array_equal(bits(one.isp_m_s), bits(two.isp_m_s))
    assert np.array_equal(one.flags, two.flags)


def test_ctrl_c_stops_a_long_call():
    timer = threading.Timer(0.3, _thread.interrupt_main)
    start = time.monotonic()
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        zuna4.rocket(pc=20.0, of=np.linspace(2.0, 9.0, 400000), pi_p=[10.0], threads=1)
    assert time.monotonic() - start < 2.0
    timer.join()


def test_flags_are_named_bits():
    assert issubclass(zuna4.Flags, int)
    assert zuna4.Flags.NOT_CONVERGED == 1 and zuna4.Flags.NO_SOLUTION == 128
    assert zuna4.Flags.OPTIMUM_AT_BOUND == 1 << 19
    r = zuna4.rocket(pc=20.0, of=6.0, ae_at=[1e6])
    assert zuna4.Flags.EXIT_NOT_FOUND in zuna4.Flags(int(r.flags[-1]))
    assert "NOT_CONVERGED" in zuna4.rocket.__doc__ and "NOT_CONVERGED" in zuna4.Flags.__doc__


def test_a_list_of_models_adds_a_model_axis():
    models = ["equilibrium", "frozen_chamber", "frozen_throat"]
    r = zuna4.rocket(pc=20.0, of=[4.0, 6.0], pi_p=[10.0], model=models)
    assert r.isp_m_s.shape == (2, 3, 3) and list(r.model) == models
    for m, model in enumerate(models):
        alone = zuna4.rocket(pc=20.0, of=[4.0, 6.0], pi_p=[10.0], model=model)
        assert np.array_equal(bits(r.isp_m_s[:, m]), bits(alone.isp_m_s))
    best = zuna4.best_isp(pc=20.0, pi_p=[10.0], model=models[:2])
    assert best.of_isp.shape == (2, 1)


@pytest.mark.parametrize("text, atm", [
    ("20 bar", 20.0 / 1.01325), ("2MPa", 2e6 / 101325.0), ("101325Pa", 1.0), ("3 atm", 3.0),
    ("760 torr", 1.0)])
def test_pressures_with_units(text, atm):
    r = zuna4.equilibrium("hp", of=6.0, p=text)
    assert r.p_atm == pytest.approx(atm, rel=1e-12)
    assert same_bits(r.T_K, zuna4.equilibrium("hp", of=6.0, p=float(r.p_atm)).T_K)
    rk = zuna4.rocket(pc=[text, "1 atm"], of=6.0)
    assert rk.pc_atm[0] == pytest.approx(atm, rel=1e-12)
    assert zuna4.best_isp(pc=text, pi_p=[10.0]).isp_m_s.shape == (1,)


def test_mass_fractions_sum_to_one_and_weigh_the_mole_fractions():
    r = zuna4.equilibrium("hp", of=[3.0, 8.0, 20.0], p=10.0)
    species = ("H2O", "O2", "H2", "H", "O", "OH")
    molar = {"H2O": 18.01528, "O2": 31.9988, "H2": 2.01588, "H": 1.00794, "O": 15.9994,
             "OH": 17.00734}
    total = sum(getattr(r, "y_" + s) for s in species)
    assert np.allclose(total, 1.0, atol=1e-12)
    for s in species:
        assert np.allclose(getattr(r, "y_" + s), getattr(r, "x_" + s) * molar[s] / r.M,
                           rtol=1e-4, atol=1e-12)


def test_results_pickle_and_print_their_leading_values():
    r = zuna4.equilibrium("hp", of=np.linspace(3.0, 9.0, 50), p=10.0)
    back = pickle.loads(pickle.dumps(r))
    assert np.array_equal(bits(back.T_K), bits(r.T_K)) and back.dims == ("of",)
    text = repr(r)
    assert text.startswith("zuna4.EquilibriumResult(") and "T_K=array([" in text and "..." in text
    assert "%.8g" % r.T_K[0] in text.replace(" ", "") or ("%.6f" % r.T_K[0])[:6] in text
    scalar = zuna4.equilibrium("hp", of=6.0)
    assert repr(scalar).startswith("zuna4.EquilibriumResult(")
    assert pickle.loads(pickle.dumps(scalar)).T_K == scalar.T_K
    assert pickle.loads(pickle.dumps(zuna4.Flags.SINGULAR)) is zuna4.Flags.SINGULAR


def test_to_pandas_with_pandas():
    pandas = pytest.importorskip("pandas")
    r = zuna4.rocket(pc=[20.0, 70.0], of=[5.0, 6.0], pi_p=[10.0], model=["equilibrium",
                                                                        "frozen_throat"])
    frame = r.to_pandas()
    assert isinstance(frame, pandas.DataFrame) and len(frame) == 2 * 2 * 3
    row = frame[(frame.pc_atm == 70.0) & (frame.model == "frozen_throat")
                & (frame.exit_spec == "pi_p=10")]
    assert same_bits(float(row.isp_m_s.iloc[0]), float(r.isp_m_s[1, 1, 2]))


def test_to_xarray_names_the_axes_after_the_keywords():
    pytest.importorskip("xarray")
    of = np.array([4.0, 6.0, 8.0])
    p = np.array([1.0, 10.0])
    ds = zuna4.equilibrium("hp", of=of[:, None], p=p, warm_start=False).to_xarray()
    assert ds.T_K.dims == ("of", "p")
    assert list(ds.of.values) == list(of) and list(ds.p.values) == list(p)
    assert same_bits(float(ds.T_K.sel(of=6.0, p=10.0)),
                     zuna4.equilibrium("hp", of=6.0, p=10.0).T_K)
    rk = zuna4.rocket(pc=[[20.0], [70.0]], of=of, pi_p=[10.0], model=["equilibrium",
                                                                     "frozen_chamber"])
    ds = rk.to_xarray()
    assert ds.isp_m_s.dims == ("pc", "of", "model", "station")
    assert list(ds.exit_spec.values) == ["", "", "pi_p=10"]
