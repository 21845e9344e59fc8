"""Classes against the C++ library's own (through the mensora tool), and the
class of every value against the counts and breaks."""
import math
import warnings

import numpy as np
import pytest

import mensora
from mensora._classes import labels_from_breaks
from conftest import SAMPLES, same_bits, tool_classes


def _finite_range(values):
    finite = values[np.isfinite(values)]
    return (finite.min(), finite.max()) if finite.size else (0.0, 1.0)


def cases(values):
    """(scheme, options, tool arguments), with limits taken from the data."""
    low, high = _finite_range(values)
    start, step = low - 0.5, (high - low + 1.0) / 3.7
    # Up to an infinite maximum the step classes would be too many.
    end = {"end": high} if np.isinf(values).any() else {}
    window = (float(np.nanpercentile(values, 20)), float(np.nanpercentile(values, 80)))
    return [
        ("equal_interval", {"k": 4}, ["--method", "equal", "--classes", "4"]),
        ("quantiles", {"k": 5}, ["--method", "quantile", "--classes", "5"]),
        ("natural_breaks", {"k": 4}, ["--method", "natural", "--classes", "4"]),
        ("fisher_jenks", {"k": 7}, ["--method", "natural", "--classes", "7"]),
        ("std_mean", {}, ["--method", "stddev", "--steps", "1", "--times", "1"]),
        ("std_mean", {"steps": 2, "times": 0.5, "window": window},
         ["--method", "stddev-window", "--steps", "2", "--times", "0.5",
          "--min", repr(window[0]), "--max", repr(window[1])]),
        ("start_step", {"start": start, "step": step, **end},
         ["--method", "step", "--start", repr(start), "--step", repr(step),
          *[a for e in end.values() for a in ("--end", repr(e))]]),
        ("start_count", {"start": start, "k": 3, "end": high + 1.0},
         ["--method", "count", "--start", repr(start), "--classes", "3",
          "--end", repr(high + 1.0)]),
    ]


@pytest.mark.filterwarnings("ignore:.*breaks are NaN")
@pytest.mark.parametrize("sample", sorted(SAMPLES))
def test_classes_equal_the_library_and_yb_agrees(sample):
    values = SAMPLES[sample]()
    for scheme, options, tool_args in cases(values):
        got = mensora.classify(values, scheme, **options)
        breaks, counts, yb = tool_classes(values, *tool_args)
        what = f"{sample} {scheme} {options}"
        assert same_bits(got.breaks, breaks), what
        assert got.counts.tolist() == counts.tolist(), what
        assert got.yb.dtype == np.int32 and got.yb.tolist() == yb.tolist(), what
        assert got.k == len(got.bins) == len(got.counts)
        # The class of every value follows from the breaks by the closing rules...
        if not np.isnan(got.breaks).any():
            window = options.get("window")
            assert np.array_equal(labels_from_breaks(values, got.breaks, got.closed_last,
                                                     window), got.yb), what
        # ...and the counts from the classes (the closing rule may list the maximum twice).
        extra = got.counts - np.bincount(got.yb[got.yb >= 0], minlength=got.k)
        assert not extra[:-1].any() and extra[-1] in (0, 1), what


def test_class_table_and_closing():
    c = mensora.classify([1, 2, 3, 4, 5, 6, 7, 8, 9, 10], "natural_breaks", k=3)
    assert c.breaks.tolist() == [1, 4, 7, 10] and c.counts.tolist() == [3, 3, 4]
    assert repr(c).splitlines() == [
        "natural_breaks: 3 classes of 10 values",
        "class  interval  count",
        "    0  [1, 4)        3",
        "    1  [4, 7)        3",
        "    2  [7, 10]       4",
    ]
    assert c.bins.tolist() == [4, 7, 10]
    q = mensora.classify([1.0, math.nan, 9.0, 5.0], "quantiles", k=2)
    assert q.yb.tolist() == [0, -1, 1, 1] and repr(q).endswith("]        2\n1 value in no class")
    s = mensora.classify([2, 4, 4, 4, 5, 5, 7, 9], "std_mean")
    assert s.breaks[1:-1].tolist() == [3, 5, 7] and s.counts.tolist() == [1, 3, 2, 2]
    assert not s.closed_last and repr(s).split()[-3:] == ["[7,", "1.79769313486232e+307)", "2"]
    with pytest.warns(RuntimeWarning, match="breaks are NaN"):
        assert mensora.classify([math.nan, 2.0, 1.0], "std_mean").yb.tolist() == [-1, 0, 0]


def test_user_defined_closes_like_the_library():
    values = SAMPLES["random-4000-nan"]()
    for scheme in ("natural_breaks", "quantiles"):
        ref = mensora.classify(values, scheme, k=6)
        got = mensora.classify(values, "user_defined", bins=ref.bins, lower=ref.breaks[0])
        assert same_bits(got.breaks, ref.breaks)
        assert got.counts.tolist() == ref.counts.tolist() and np.array_equal(got.yb, ref.yb)
    # Last breaks an ulp above and below the maximum, and a repeated maximum.
    for values, k in [([1.3, 5.0], 19), ([2.0, 9.4], 13), ([5, 1, 5], 2)]:
        ref = mensora.classify(values, "equal_interval", k=k)
        got = mensora.classify(values, "user_defined", bins=ref.bins, lower=ref.breaks[0])
        assert np.array_equal(got.yb, ref.yb), values
    c = mensora.classify([5, 1, 12, 10, 3, math.nan], "user_defined", bins=[3, 10])
    assert c.breaks.tolist() == [1, 3, 10] and c.counts.tolist() == [1, 3]
    assert c.yb.tolist() == [1, 0, -1, 1, 1, -1]
    # The first class starts at the first bin when no value lies below it.
    assert mensora.classify([5, 6], "user_defined", bins=[3, 10]).breaks.tolist() == [3, 3, 10]


def test_limits_that_mean_the_data_extreme_warn():
    with pytest.warns(UserWarning, match="data maximum"):
        mensora.classify([1, 2, 3], "start_step", start=0, step=1, end=999)
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        mensora.classify([1, 2, 3], "std_mean", window=(None, 2.5))
