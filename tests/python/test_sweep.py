# zuna4.sweep: the programs' own calculation, to the last bit what
# `zuna4c --batch --csv` prints for the same parameters, with the shipped
# data compiled in or another data file's text.
import os
import subprocess
import threading

import numpy as np
import pytest

import zuna4
from conftest import SOURCE_DIR, number, run_csv, same_bits

FIELDS = [f for f in zuna4.SweepResult.fields if f != "flags"]


def assert_same_as_console(result, rows):
    assert len(rows) == len(result.tadcom)
    header = {key.split(" ")[0]: key for key in rows[0]}
    for i, row in enumerate(rows):
        assert int(row["flags"]) == result.flags[i], i
        for name in FIELDS:
            text = row[header[name]]
            assert same_bits(result.__dict__[name][i], number(text)), (name, i, text)


@pytest.mark.parametrize("args, call", [
    ([], {}),
    (["-p", "10", "--npmin=0", "--npmax=7", "--rmax=3"], dict(p=10.0, npmin=0, npmax=7, rmax=3.0)),
    (["-p", "1e-3", "--rmin=0.2", "--no-reaction=2,3", "--itmaxh=20", "--tolh=1e-6"],
     dict(p=1e-3, rmin=0.2, reactions=(True, False, False, True), itmaxh=20, tolh=1e-6)),
    (["-p", "50000", "--itmaxn=3", "--toln=1e-3"], dict(p=50000.0, itmaxn=3, toln=1e-3)),
])
def test_the_sweep_equals_the_batch_run_bit_for_bit(zuna4c, tmp_path, args, call):
    rows = run_csv(zuna4c, ["--batch", "--csv=-", "-C", str(tmp_path)] + args, tmp_path)
    assert_same_as_console(zuna4.sweep(**call), rows)


def test_a_data_file_given_as_text_is_the_one_read_by_the_program(zuna4c, tmp_path):
    source = os.path.join(SOURCE_DIR, "data", "zuna-gri30.dat")
    with open(source) as f:
        text = f.read()
    (tmp_path / "zuna.dat").write_text(text)
    rows = run_csv(zuna4c, ["--batch", "--csv=-", "-C", str(tmp_path)], tmp_path)
    assert_same_as_console(zuna4.sweep(data=text), rows)


def test_the_defaults_are_those_of_the_parameter_form():
    result = zuna4.sweep()
    assert len(result.tadcom) == 10 + 20 + 3 and result.ok
    assert result.r[0] == 0.5 and abs(result.r[-1] - 2.0) < 1e-15 and result.r[11] == 1.0
    assert abs(result.ofst - zuna4.stoichiometric_of) < 1e-3
    # Element balance of every point: H and O atoms of the products with
    # dissociation are those fed (per mole of H2 fed: 2 H, 2 no2r O).
    nd = np.stack([result.nd_h2o, result.nd_o2, result.nd_h2, result.nd_h, result.nd_o,
                   result.nd_oh])
    h = 2 * nd[0] + 2 * nd[2] + nd[3] + nd[5]
    o = nd[0] + 2 * nd[1] + nd[4] + nd[5]
    assert np.allclose(h, 2.0, rtol=1e-9) and np.allclose(o, 2 * result.no2r, rtol=1e-9)


@pytest.mark.parametrize("call, words", [
    (dict(rmin=0.0), ["rmin = 0", "above 0"]),
    (dict(rmax=101.0), ["rmax = 101", "1..100"]),
    (dict(npmin=60, npmax=41), ["npmax = 41", "0..40"]),
    (dict(npmin=-1), ["npmin = -1"]),
    (dict(p=1e6), ["p = 1e+06"]),
    (dict(itmaxh=0), ["itmaxh = 0", "1..99999"]),
    (dict(npmin=2.5), ["npmin must be an integer"]),
    (dict(reactions=(True,)), ["four switches"]),
    (dict(data="not a data file"), ["record"]),
    (dict(reactions=5), ["reactions must be four switches"]),
    (dict(toln=float("inf")), ["toln = inf", "finite"]),
    (dict(tolh="abc"), ["tolh must be a real number"]),
    (dict(p="2 parsec"), ["unknown unit 'parsec'"]),
])
def test_bad_parameters_raise_errors_that_name_them(call, words):
    with pytest.raises((ValueError, TypeError)) as error:
        zuna4.sweep(**call)
    for word in words:
        assert word in str(error.value)


def test_two_threads_sweep_what_one_sweeps():
    alone = zuna4.sweep(npmin=40, npmax=60)
    results = [None, None]

    def compute(k):
        results[k] = zuna4.sweep(npmin=40, npmax=60)

    threads = [threading.Thread(target=compute, args=(k,)) for k in range(2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for r in results:
        for name in FIELDS:
            assert np.array_equal(r.__dict__[name], alone.__dict__[name], equal_nan=True), name


def test_a_floating_point_fault_is_a_flag_where_the_programs_end(zuna4c, tmp_path):
    # An entropy constant of H so large that its equilibrium constants
    # overflow: the programs end the run with a math error, the module flags
    # the points (256) and goes on.
    with open(os.path.join(SOURCE_DIR, "data", "zuna.dat")) as f:
        lines = f.read().split("\n")
    for record in (3 * 22 + 11, 3 * 22 + 19):  # a7 of H, both ranges
        lines[record - 1] = "1.0e250"
    text = "\n".join(lines)
    (tmp_path / "zuna.dat").write_text(text)
    done = subprocess.run([zuna4c, "--batch", "--npmin=2", "--npmax=2", "-C", str(tmp_path)],
                          capture_output=True)
    assert done.returncode == 1 and b"OVERFLOW" in done.stdout + done.stderr
    result = zuna4.sweep(data=text, npmin=2, npmax=2)
    assert not result.ok
    assert np.all(result.flags & 256) and len(result.flags) == 7
