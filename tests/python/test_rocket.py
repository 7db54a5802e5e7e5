# zuna4.rocket and zuna4.best_isp: NASA CEA 3.0's rocket table within its
# printing, stations named and shaped, warm sweeps that equal the console
# program's, errors that name the argument.
import csv
import json
import math
import os
import subprocess
import sys
import types

import numpy as np
import pytest

import zuna4
from conftest import SOURCE_DIR, half_unit, number, read_tsv, run_csv, same_bits

EXITS = dict(pi_p=[10, 100, 1000], ae_at=[10, 50])
STATION_OF_EXIT = {"": -1, "pi_p=10": 2, "pi_p=100": 3, "pi_p=1000": 4, "ae_at=10": 5,
                   "ae_at=50": 6}
SKIPPED = ("set", "model", "pc_atm", "of", "station", "exit_spec")


def test_the_nasa_cea_rocket_table():
    reference = read_tsv("tests/engine/data/cea-h2o2-rocket.tsv")
    results = {}
    for row in reference:
        key = (row["model"], row["of"])
        if key not in results:
            results[key] = zuna4.rocket(pc=float(row["pc_atm"]), of=float(row["of"]),
                                        model=row["model"], **EXITS)
        r = results[key]
        k = {"chamber": 0, "throat": 1}.get(row["station"], STATION_OF_EXIT[row["exit_spec"]])
        frozen = row["model"] != "equilibrium"
        for column, text in row.items():
            if column in SKIPPED or text == "" or column not in zuna4.RocketResult.fields:
                continue
            if frozen and (k == 1 or (k <= 4 and column == "ae_at") or
                           (k == 0 and column == "Cp_kJ_kgK")):
                continue  # the frozen throat's position: the C++ suite's own tolerance
            ref = float(text)
            tolerance = max(1e-5 * abs(ref), half_unit(text))
            if column.startswith("x_"):
                tolerance = max(2e-6, half_unit(text))
            got = getattr(r, column)[k]
            assert abs(got - ref) <= tolerance, (key, row["station"], column, got, text)


def test_stations_are_named_and_shaped():
    r = zuna4.rocket(pc=[[10.0], [100.0]], of=[5.0, 6.0, 7.0], pi_p=[50], ae_at=[20, 40])
    assert r.T_K.shape == (2, 3, 5) and r.flags.shape == (2, 3, 5)
    assert r.pc_atm.shape == (2, 3) and r.of[1, 2] == 7.0
    assert list(r.station) == ["chamber", "throat", "exit", "exit", "exit"]
    assert list(r.exit_spec) == ["", "", "pi_p=50", "ae_at=20", "ae_at=40"]
    assert list(r.exit_value[0, 0]) == [0, 0, 50, 20, 40]
    assert math.isnan(r.isp_m_s[0, 0, 0]) and np.all(r.mach[..., 1] == pytest.approx(1.0))
    assert np.all(r.ae_at[..., 3] == pytest.approx(20.0)) and not np.any(r.flags & ~0xFF)
    one = zuna4.rocket(pc=6.0, of=6.0)
    assert one.T_K.shape == (2,)


def test_a_sweep_equals_the_console_program_bit_for_bit(zuna4c, tmp_path):
    # Ratios whose shortest texts take the fixed and the scientific forms.
    pi_p, ae_at = [10, 100000, 2.5], [25, 1.75]
    args = ["rocket", "--csv=-", "--pc=68.046", "--of=4,6,8", "--pi-p=10,100000,2.5",
            "--ae-at=25,1.75"]
    try:
        rows = run_csv(zuna4c, args, tmp_path)
    except Exception:
        pytest.skip("this console program has no rocket subcommand")
    r = zuna4.rocket(pc=68.046, of=[4.0, 6.0, 8.0], pi_p=pi_p, ae_at=ae_at)
    stations = r.T_K.shape[1]
    assert len(rows) == 3 * stations
    for n, row in enumerate(rows):
        i, k = divmod(n, stations)
        assert row["station"] == r.station[k] and row["exit_spec"] == r.exit_spec[k], (i, k)
        for column in zuna4.RocketResult.fields:
            if column in SKIPPED or column not in row:
                continue
            assert same_bits(getattr(r, column)[i, k], number(row[column])), (column, i, k)
    assert [row["exit_spec"] for row in rows[:stations]] == [
        "", "", "pi_p=10", "pi_p=1e+05", "pi_p=2.5", "ae_at=25", "ae_at=1.75"]


def test_the_console_json_holds_the_csv_rows_and_the_best_of_the_module(zuna4c, tmp_path):
    args = ["rocket", "--pc=10,68.046", "--of=5,6", "--pi-p=10", "--ae-at=25",
            "--model=equilibrium,frozen_throat", "--best", "--csv=rows.csv", "--json=-"]
    done = subprocess.run([zuna4c] + args, cwd=tmp_path, capture_output=True, check=True)
    document = json.loads(done.stdout)
    try:
        import jsonschema
    except ImportError:
        jsonschema = None
    if jsonschema is not None:
        with open(os.path.join(SOURCE_DIR, "docs", "zuna4c-rocket.schema.json")) as f:
            jsonschema.validate(document, json.load(f))
    with open(tmp_path / "rows.csv") as f:
        rows = list(csv.DictReader(f))
    assert len(document["rows"]) == len(rows) == 2 * 2 * 2 * 4
    for row, obj in zip(rows, document["rows"]):
        assert list(obj) == list(row)
        for name, text in row.items():
            value = obj[name]
            if isinstance(value, str):
                assert value == text, name
            else:
                assert same_bits(math.nan if value is None else value, number(text)), name
    # The best rows: by Pc, then model, then exit, as best_isp() gives them.
    best = document["best"]
    assert len(best) == 2 * 2 * 2
    for n, entry in enumerate(best):
        pc = (10.0, 68.046)[n // 4]
        model = ("equilibrium", "frozen_throat")[n // 2 % 2]
        assert (entry["pc_atm"], entry["model"]) == (pc, model)
        module = zuna4.best_isp(pc=pc, pi_p=[10], ae_at=[25], model=model)
        k = n % 2
        assert entry["exit_spec"] == module.exit_spec[k]
        for name in ("of_isp", "isp_m_s", "of_ivac", "ivac_m_s", "flags"):
            assert same_bits(entry[name], getattr(module, name)[k]), (n, name)


def test_best_isp_lies_at_a_maximum_of_isp():
    best = zuna4.best_isp(pc=68.0, pi_p=[100], ae_at=[40])
    assert list(best.exit_spec) == ["pi_p=100", "ae_at=40"]
    assert list(best.exit_value) == [100, 40]
    for k, (exit_text, value) in enumerate(zip(best.exit_spec, best.exit_value)):
        exits = {exit_text.partition("=")[0]: [value]}
        of = best.of_isp[k]
        around = zuna4.rocket(pc=68.0, of=[of - 0.05, of, of + 0.05], **exits)
        isp = around.isp_m_s[:, 2]
        assert isp[1] >= isp[0] and isp[1] >= isp[2]
        assert isp[1] == pytest.approx(best.isp_m_s[k], rel=1e-9)
    assert best.flags[0] == 0 and 3.0 < best.of_isp[0] < 6.0


@pytest.mark.parametrize("call, words", [
    (dict(pc=1e9, of=6.0), ["pc = 1e+09", "10000 atm"]),
    (dict(pc=10.0, of=6.0, pi_p=[0.5]), ["pi_p = 0.5", "above 1"]),
    (dict(pc=10.0, of=6.0, ae_at=[0.5]), ["ae_at = 0.5", "at least 1"]),
    (dict(pc=10.0, of=6.0, reactants="gas", T_reactants=7000.0),
     ["T_reactants = 7000", "200..6000 K"]),
    (dict(pc=10.0, of=0.01), ["of = 0.01"]),
    (dict(pc=10.0, of=6.0, model="shifting"), ["model", "'equilibrium'"]),
    (dict(pc=10.0), ["of"]),
])
def test_bad_arguments_raise_value_errors_that_name_them(call, words):
    with pytest.raises(ValueError) as error:
        zuna4.rocket(**call)
    for word in words:
        assert word in str(error.value)
    with pytest.raises(ValueError, match="scan_points"):
        zuna4.best_isp(pc=10.0, pi_p=[10], scan_points=1)


def test_each_run_at_one_pc_is_its_own_sweep():
    exits = dict(pi_p=[40], ae_at=[25])
    mixed = zuna4.rocket(pc=[10.0, 10.0, 20.0, 10.0], of=[5.0, 6.0, 7.0, 8.0], **exits)
    first = zuna4.rocket(pc=10.0, of=[5.0, 6.0], **exits)
    alone = zuna4.rocket(pc=20.0, of=7.0, **exits)
    last = zuna4.rocket(pc=10.0, of=8.0, **exits)
    for column in ("T_K", "isp_m_s", "ae_at", "x_OH", "flags"):
        got = getattr(mixed, column)
        assert np.array_equal(got[:2], getattr(first, column), equal_nan=True), column
        assert np.array_equal(got[2], getattr(alone, column), equal_nan=True), column
        assert np.array_equal(got[3], getattr(last, column), equal_nan=True), column


def test_to_pandas_gives_one_row_per_station(monkeypatch):
    # A stand-in for pandas: the columns as the DataFrame would receive them.
    class Frame(dict):
        pass

    monkeypatch.setitem(sys.modules, "pandas", types.SimpleNamespace(DataFrame=Frame))
    frame = zuna4.rocket(pc=[10.0, 20.0], of=6.0, ae_at=[25]).to_pandas()
    assert list(frame) == list(zuna4.RocketResult.fields)
    assert all(len(column) == 6 for column in frame.values())
    assert list(frame["pc_atm"]) == [10.0] * 3 + [20.0] * 3
    assert list(frame["station"]) == ["chamber", "throat", "exit"] * 2
    assert list(frame["model"]) == ["equilibrium"] * 6


@pytest.mark.parametrize("name", ["of_low", "of_high"])
@pytest.mark.parametrize("value", [math.nan, -1.0, 1000.0])
def test_best_isp_refuses_a_bound_that_is_no_o_f_by_its_name(name, value):
    with pytest.raises(ValueError, match=name):
        zuna4.best_isp(pc=68.0, pi_p=[100], **{name: value})


def test_best_isp_gives_no_o_f_where_no_exit_is_valid():
    best = zuna4.best_isp(pc=68.0, pi_p=[100], ae_at=[1e7])
    assert best.of_isp[0] > 3.0 and best.isp_m_s[0] > 0.0
    for column in ("of_isp", "isp_m_s", "of_ivac", "ivac_m_s"):
        assert math.isnan(getattr(best, column)[1]), column
    assert best.flags[1] & 2**18  # no pressure gives the area ratio
    assert not best.flags[1] & 2**19
def test_a_finite_combustor_equals_the_console_program_bit_for_bit(zuna4c, tmp_path):
    for option, keyword in (("--contraction=1.58", dict(contraction=1.58)),
                            ("--mass-flux=1333.9", dict(mass_flux=1333.9))):
        try:
            rows = run_csv(zuna4c, ["rocket", "--csv=-", "--pc=52.62", "--of=5,6",
                                    "--pi-p=10", "--ae-at=25", option], tmp_path)
        except Exception:
            pytest.skip("this console program has no finite-area combustor")
        r = zuna4.rocket(pc=52.62, of=[5.0, 6.0], pi_p=[10], ae_at=[25], **keyword)
        assert list(r.station) == ["injector", "comb_end", "throat", "exit", "exit"]
        assert list(r.exit_spec) == ["", "", "", "pi_p=10", "ae_at=25"]
        assert len(rows) == 2 * 5
        for n, row in enumerate(rows):
            i, k = divmod(n, 5)
            assert row["station"] == r.station[k]
            for column in ("P_bar", "T_K", "mach", "ae_at", "cstar_m_s", "isp_m_s"):
                assert same_bits(getattr(r, column)[i, k], number(row[column])), (column, i, k)
    assert zuna4.rocket(pc=52.62, of=6.0, contraction=1.58).ae_at[1] == pytest.approx(1.58)
    sub = zuna4.rocket(pc=52.62, of=6.0, pi_p=[10], sub_ae_at=[1.5], ae_at=[25])
    assert list(sub.exit_spec) == ["", "", "pi_p=10", "sub_ae_at=1.5", "ae_at=25"]
    assert sub.mach[3] < 1 and sub.ae_at[3] == pytest.approx(1.5)


@pytest.mark.parametrize("call, words", [
    (dict(contraction=1.0), ["contraction = 1", "1.05..10000"]),
    (dict(mass_flux=5000.0), ["mass_flux = 5000", "too large for any contraction ratio"]),
])
def test_finite_combustors_out_of_range_are_named(call, words):
    with pytest.raises(ValueError) as error:
        zuna4.rocket(pc=52.62, of=6.0, **call)
    for word in words:
        assert word in str(error.value)
