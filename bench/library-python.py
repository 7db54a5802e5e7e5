#!/usr/bin/python3
"""Times the Python module's calls against those of bench_library: one HP
point by a scalar call, 100,000 HP points in one array call (cold and warm),
the programs' sweep. CPU time of the process, as the CPU column of
bench_library, so that other work on the machine does not count. Run with
the module on PYTHONPATH:

    PYTHONPATH=build/python bench/library-python.py
"""
import time
import timeit

import numpy as np

import zuna4


def best_of(repeat, call):
    """The fastest of `repeat` runs of call(), in seconds."""
    best = float("inf")
    for _ in range(repeat):
        start = time.process_time()
        call()
        best = min(best, time.process_time() - start)
    return best


def main():
    n = 50000
    scalar = min(timeit.repeat("equilibrium('hp', of=6.0, p=10.0)", number=n, repeat=7,
                               timer=time.process_time,
                               globals={"equilibrium": zuna4.equilibrium})) / n
    print("one HP point, scalar call:        %8.2f us" % (scalar * 1e6))
    of = np.tile(2.0 + 28.0 * np.arange(1000) / 999.0, 100)
    p = np.repeat(1.0 + 99.0 * np.arange(100) / 99.0, 1000)
    for warm in (False, True):
        seconds = best_of(3, lambda: zuna4.equilibrium("hp", of=of, p=p, warm_start=warm))
        print("100,000 HP points, %s:          %8.3f s  (%.2f us a point)"
              % ("warm" if warm else "cold", seconds, seconds / of.size * 1e6))
    print("the programs' sweep (33 points):  %8.2f ms" % (best_of(20, zuna4.sweep) * 1e3))


if __name__ == "__main__":
    main()
