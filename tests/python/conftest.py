# What the suites share: the console program to compare with, the reference
# tables, and equality to the last bit.
import csv
import io
import math
import os
import subprocess

import pytest

SOURCE_DIR = os.environ.get("ZUNA_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))


@pytest.fixture(scope="session")
def zuna4c():
    """The console program of the same build (ZUNA4C), or the test is skipped."""
    path = os.environ.get("ZUNA4C")
    if not path or not os.access(path, os.X_OK):
        pytest.skip("ZUNA4C names no console program")
    return path


def run_csv(program, args, cwd):
    """The CSV the console program writes on standard output, as dict rows."""
    done = subprocess.run([program] + args, cwd=cwd, capture_output=True, check=True)
    return list(csv.DictReader(io.StringIO(done.stdout.decode())))


def number(text):
    """A CSV cell: the shortest round-trip text of a double, empty for NaN."""
    return math.nan if text == "" else float(text)


def same_bits(got, expected):
    """Equal to the last bit, or both NaN."""
    got, expected = float(got), float(expected)
    if math.isnan(got) or math.isnan(expected):
        return math.isnan(got) and math.isnan(expected)
    return got == expected and math.copysign(1.0, got) == math.copysign(1.0, expected)


def read_tsv(relative):
    """A reference table of the tree: '#' comment lines, then a header."""
    with open(os.path.join(SOURCE_DIR, relative)) as f:
        lines = [line for line in f if not line.startswith("#")]
    return list(csv.DictReader(lines, delimiter="\t"))


def half_unit(text):
    """Half a unit of the last digit printed: "2.067E-5" -> 0.5e-3 * 1e-5."""
    mantissa, _, exponent = text.upper().partition("E")
    decimals = len(mantissa.partition(".")[2])
    return 0.5 * 10.0 ** (-decimals) * 10.0 ** (int(exponent) if exponent else 0)
