"""Classes of Dask arrays and columns on a local cluster, against mensora.classify
over the same values in memory."""
import logging
import math
import re
import subprocess
import sys
import warnings

import numpy as np
import pytest

import mensora
from conftest import same_bits

dask = pytest.importorskip("dask")
distributed = pytest.importorskip("distributed")
import dask.array as da  # noqa: E402
import mensora.dask as md  # noqa: E402

CASES = [("natural_breaks", {"k": 7}), ("fisher_jenks", {"k": 2}), ("quantiles", {"k": 5}),
         ("equal_interval", {"k": 6}), ("std_mean", {"steps": 2, "times": 0.5}),
         ("std_mean", {"window": (3.0, None)}), ("start_step", {"start": 1.0, "step": 7.3}),
         ("start_count", {"start": 0.5, "k": 4, "end": 40.0}),
         ("user_defined", {"bins": [5, 10, 20]}), ("pretty", {"k": 5}), ("head_tail", {}),
         ("box_plot", {}), ("max_breaks", {"k": 6}), ("percentiles", {"percents": [5, 25, 50, 99.5]}),
         ("geometric", {"k": 4})]
# Sums in another order than in memory.
CLOSE = ("std_mean", "head_tail")


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=":0", silence_logs=logging.ERROR) as cluster:
        with distributed.Client(cluster) as c:
            yield c


def assert_as_in_memory(x, y, scheme, options):
    """The classes of the Dask collection x equal those of its values y in memory."""
    what = f"{scheme} {options}"
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", RuntimeWarning)  # values in no class warn on both sides
        try:
            ref = mensora.classify(y, scheme, **options)
        except ValueError as error:
            with pytest.raises(ValueError, match=re.escape(str(error).split(": ", 1)[1])):
                md.classify(x, scheme, **options)
            return None
        got = md.classify(x, scheme, **options)
    if scheme in CLOSE:
        np.testing.assert_allclose(got.breaks, ref.breaks, rtol=1e-12, atol=0, err_msg=what)
    else:
        assert same_bits(got.breaks, ref.breaks), what
    assert got.counts.dtype == np.int64 and got.counts.tolist() == ref.counts.tolist(), what
    assert got.n_missing == ref.n_missing and got.n == len(y) - ref.n_missing, what
    assert got.outside == np.count_nonzero(ref.yb < 0) - ref.n_missing, what
    yb = got.yb.compute()
    assert yb.dtype == np.int32 and np.array_equal(np.asarray(yb), ref.yb), what
    return got


def sample(n, seed):
    """Skewed values with ties, both zeros and NaN."""
    rng = np.random.default_rng(seed)
    y = np.round(rng.lognormal(2.0, 1.0, n), 1)
    y[rng.choice(n, 50, replace=False)] = np.nan
    y[rng.choice(n, 4, replace=False)] = [-0.0, 0.0, -0.0, 0.0]
    y[0], y[-1] = 7.5, 12.25
    return y


def test_every_scheme_on_a_million_values_in_16_chunks(client):
    y = sample(10**6, 1)
    sizes = [0] + [62500] * 14 + [125000]
    y[62500:125000] = np.nan  # a chunk of NaN only
    numbers = y[~np.isnan(y)]
    for values, cases in ((y, CASES), (numbers[numbers > 0], [("geometric", {"k": 4})]),
                          (numbers, [c for c in CASES if c[0] == "std_mean"])):
        x = da.from_array(values, chunks=(tuple(sizes[:-1]) + (len(values) - sum(sizes[:-1]),),))
        for scheme, options in cases:
            got = assert_as_in_memory(x, values, scheme, options)
            assert got is None or got.yb.chunks == x.chunks
    assert repr(got).splitlines()[0] == f"std_mean: 4 classes of {len(numbers)} values"
    assert got.fit is None and got.gvf is None and "GVF" not in repr(got)


def test_missing_at_the_ends_empty_and_missing_only(client):
    # Missing values are left out wherever they stand.
    for y in ([math.nan, 4, 1, 3, -0.0, 0.0, 2, 9], [4, 1, 3, -0.0, 0.0, 2, 9, math.nan],
              [-math.inf, 4, 1, 3, 2.5, math.nan, math.inf, 9]):
        y = np.array(y)
        x = da.from_array(y, chunks=((3, 0, 5),))
        for scheme, options in CASES + [("start_step", {"start": 0, "step": 1, "end": 2.5})]:
            assert_as_in_memory(x, y, scheme, options)
    nan_only = np.full(5, math.nan)
    for scheme in ("quantiles", "natural_breaks", "equal_interval"):
        with pytest.raises(ValueError, match="no values: all 5 are missing"):
            md.classify(da.from_array(nan_only, chunks=2), scheme, k=3)
    with pytest.raises(ValueError, match="no values"):
        md.classify(da.zeros(0, chunks=1), "natural_breaks", k=3)


def test_dataframe_column_from_csv_files(client, tmp_path):
    pd = pytest.importorskip("pandas")
    dd = pytest.importorskip("dask.dataframe")
    y = sample(30_000, 2)
    for i, part in enumerate(np.array_split(y, 3)):
        pd.DataFrame({"id": np.arange(len(part)), "value": part}).to_csv(
            tmp_path / f"part{i}.csv", index=False)
    column = dd.read_csv(str(tmp_path / "part*.csv"))["value"]
    assert column.npartitions == 3
    for scheme, options in CASES[:4]:
        got = assert_as_in_memory(column, y, scheme, options)
        assert got.yb.npartitions == 3
        assert got.yb.compute().index.equals(column.compute().index)
    with pytest.raises(TypeError, match="one of its columns"):
        md.classify(column.to_frame(), "quantiles")


def test_too_many_distinct_values_fail_before_the_driver(client):
    x = da.arange(5000, chunks=500) / 7.0
    with pytest.raises(md.TooManyValuesError, match="round the values first") as failure:
        md.classify(x, "natural_breaks", k=5, max_table_bytes=1000 * md.TABLE_ENTRY_BYTES)
    assert isinstance(failure.value, MemoryError) and "1000 distinct" in str(failure.value)
    c = md.classify(x.round(), "quantiles", k=5, max_table_bytes=1000 * md.TABLE_ENTRY_BYTES)
    assert c.counts.sum() == 5000


def test_counts_beyond_32_bits():
    y = sample(5000, 3)
    values, counts = np.unique(y[~np.isnan(y)], return_counts=True)
    many = counts.astype(np.int64) << 32  # every value 2^32 times as often
    for scheme in ("natural_breaks", "quantiles"):
        ref = mensora.classify(y, scheme, k=6)
        breaks = md._weighted_breaks(scheme, values, many, 6, scheme)
        assert same_bits(breaks, ref.breaks), scheme
        assert md._table_counts(values, many, breaks).tolist() == [c << 32 for c in ref.counts]


def test_order_statistics_from_the_table():
    rng = np.random.default_rng(4)
    for m in range(1, 60):
        y = rng.integers(-3, 4, m) * rng.choice([0.1, 1e-300, 7.0, 1e300])
        y[rng.random(m) < 0.1] = rng.choice([-0.0, math.inf, -math.inf, math.nan])
        values, counts = np.unique(y[~np.isnan(y)], return_counts=True)
        percents = np.sort(rng.choice([0, 0.5, 12.5, 25, 33.3, 50, 90, 100], 4))
        for scheme, options in (("percentiles", {"percents": percents}),
                                ("box_plot", {"hinge": 1.5}), ("box_plot", {"hinge": 0.0})):
            with warnings.catch_warnings():
                warnings.simplefilter("ignore", RuntimeWarning)
                ref = mensora.classify(y, scheme, **options)
            got = md._TABLE_BREAKS[scheme](values, counts, None, options, scheme)
            assert same_bits(got, ref.breaks), (y.tolist(), scheme, options)


def test_bad_input_and_no_dask():
    with pytest.raises(ValueError, match="one-dimensional"):
        md.classify(da.zeros((4, 4), chunks=2), "quantiles")
    with pytest.raises(ValueError, match="at most 1048576"):
        md.classify(da.zeros(4, chunks=2), "equal_interval", k=2**20 + 1)
    with pytest.raises(NotImplementedError, match="natural_breaks with a fixed k"):
        md.classify(da.zeros(4, chunks=2), "natural_breaks", k="auto")
    with pytest.raises(TypeError, match="mensora.classify takes data in memory"):
        md.classify(np.zeros(4), "quantiles")
    with pytest.raises(TypeError, match="numbers"):
        md.classify(da.from_array(np.array(["a", "b"])), "quantiles")
    code = ("import sys; sys.modules['dask'] = None\n"
            "import mensora\n"
            "assert mensora.classify([1, 2, 3], 'quantiles', k=2).k == 2\n"
            "try:\n    import mensora.dask\nexcept ImportError as e:\n    print(e)\n")
    done = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True)
    assert "mensora.dask needs Dask" in done.stdout
