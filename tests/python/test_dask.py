# The Dask recipe of docs/library.md on one local cluster of two worker
# processes: a chunked grid through dask.array.map_blocks equals one call to
# the last bit when solved cold, and within 1e-10 with warm starts.
import os
import sys

import numpy as np
import pytest

import zuna4

dask_array = pytest.importorskip("dask.array")
distributed = pytest.importorskip("distributed")

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "examples"))
import dask_grid  # noqa: E402


@pytest.fixture(scope="module")
def client():
    cluster = distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                       dashboard_address=None)
    with distributed.Client(cluster) as c:
        yield c
    cluster.close()


def test_a_chunked_grid_equals_one_call(client):
    of, pc = dask_grid.grid(n_of=300, n_pc=40, chunks=(70, 15))
    T = dask_array.map_blocks(dask_grid.flame_temperature, of, pc, dtype=np.float64).compute()
    assert len(client.scheduler_info()["workers"]) == 2
    whole_of, whole_pc = of.compute(), pc.compute()
    cold = zuna4.equilibrium("hp", of=whole_of, p=whole_pc, warm_start=False).T_K
    assert np.array_equal(T.view(np.uint64), cold.view(np.uint64))
    warm = dask_array.map_blocks(dask_grid.flame_temperature, of, pc, True,
                                 dtype=np.float64).compute()
    one = zuna4.equilibrium("hp", of=whole_of, p=whole_pc).T_K
    assert np.allclose(warm, one, rtol=1e-10, atol=0.0)


def test_results_and_rocket_calls_travel_to_the_workers(client):
    future = client.submit(zuna4.rocket, pc="20 bar", of=[5.0, 6.0], pi_p=[10.0],
                           model=["equilibrium", "frozen_throat"])
    remote = future.result()
    here = zuna4.rocket(pc="20 bar", of=[5.0, 6.0], pi_p=[10.0],
                        model=["equilibrium", "frozen_throat"])
    assert np.array_equal(remote.isp_m_s.view(np.uint64), here.isp_m_s.view(np.uint64))
    assert client.submit(lambda: zuna4.Flags.NO_SOLUTION).result() is zuna4.Flags.NO_SOLUTION
