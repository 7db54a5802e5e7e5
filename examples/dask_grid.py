"""A chunked O/F x Pc grid of HP flames on a Dask cluster.

Each chunk of the grid is one call of zuna4.equilibrium on a worker
(dask.array.map_blocks); the workers import zuna4 themselves. With
warm_start=False every point is solved cold and the grid equals one call
over the whole grid to the last bit; with warm starts each chunk chains its
own points, which agree to about 1e-10.

    python3 dask_grid.py                  # a local cluster of two workers
    python3 dask_grid.py tcp://host:8786  # an existing scheduler
"""
import sys

import dask.array as da
import numpy as np
from distributed import Client, LocalCluster

import zuna4


def flame_temperature(of, pc, warm_start=False):
    """T_K of one chunk: of and pc are NumPy blocks of the same shape."""
    return zuna4.equilibrium("hp", of=of, p=pc, warm_start=warm_start, threads=1).T_K


def grid(n_of=2000, n_pc=200, chunks=(500, 50)):
    of = da.from_array(np.linspace(2.0, 14.0, n_of)[:, None], chunks=(chunks[0], 1))
    pc = da.from_array(np.geomspace(1.0, 200.0, n_pc)[None, :], chunks=(1, chunks[1]))
    of, pc = da.broadcast_arrays(of, pc)
    of, pc = of.rechunk(chunks), pc.rechunk(chunks)
    return of, pc


def main():
    address = sys.argv[1] if len(sys.argv) > 1 else None
    cluster = None if address else LocalCluster(n_workers=2, threads_per_worker=1)
    with Client(address or cluster) as client:
        of, pc = grid()
        T = da.map_blocks(flame_temperature, of, pc, dtype=np.float64).compute()
        print("T_K over the grid: shape %s, %.1f .. %.1f K" % (T.shape, T.min(), T.max()))
        print("dashboard:", client.dashboard_link)
    if cluster is not None:
        cluster.close()


if __name__ == "__main__":
    main()
