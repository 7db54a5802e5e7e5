#!/usr/bin/python3
"""1e6 HP points in one array call with one thread and with two: wall time
of each, their ratio, and the peak memory of the process against the size
of the results. Run with the module on PYTHONPATH:

    PYTHONPATH=build/python bench/python-threads.py [points]

The two runs must give the same bits; the figures are noisy on a machine
that does other work.
"""
import resource
import sys
import time

import numpy as np

import zuna4

n = int(sys.argv[1]) if len(sys.argv) > 1 else 1_000_000
of = np.linspace(1.0, 30.0, n)
times = {}
results = {}
for threads in (1, 2):
    start = time.perf_counter()
    results[threads] = zuna4.equilibrium("hp", of=of, p=10.0, threads=threads)
    times[threads] = time.perf_counter() - start
    print("threads=%d: %.2f s" % (threads, times[threads]))
assert np.array_equal(results[1].T_K.view(np.uint64), results[2].T_K.view(np.uint64))
print("speed-up with two threads: %.2f" % (times[1] / times[2]))
r = results[2]
size = sum(np.asarray(getattr(r, f)).nbytes for f in r.fields)
peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss * 1024
print("results of one call: %.0f MB; peak of the process: %.0f MB (both calls' results held)"
      % (size / 1e6, peak / 1e6))
