"""Classes against the C++ library's own (through the mensora tool), and the
class of every value against the counts and breaks."""
import math
import warnings

import numpy as np
import pytest

import mensora
from mensora._classes import SCHEMES, closing_tolerance, labels_from_breaks
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
        ("user_defined", {"bins": [window[0], high], "lower": low},
         ["--method", "breaks", "--breaks", f"{low!r},{window[0]!r},{high!r}"]),
        ("pretty", {"k": 4}, ["--method", "pretty", "--classes", "4"]),
        ("head_tail", {}, ["--method", "headtail"]),
        ("head_tail", {"head_share": 0.6}, ["--method", "headtail", "--head-share", "0.6"]),
        ("box_plot", {"hinge": 1.0}, ["--method", "box", "--hinge", "1"]),
        ("max_breaks", {"k": 5}, ["--method", "maxbreaks", "--classes", "5"]),
        ("percentiles", {}, ["--method", "percentile", "--percentiles", "0,1,10,50,90,99,100"]),
        ("percentiles", {"percents": [20, 20, 75.5]},
         ["--method", "percentile", "--percentiles", "20,20,75.5"]),
        ("geometric", {"k": 3}, ["--method", "geometric", "--classes", "3"]),
        ("natural_breaks", {"k": "auto", "gvf": 0.9, "k_max": 6},
         ["--method", "natural", "--classes", "auto", "--gvf", "0.9", "--max-classes", "6"]),
    ]


def geometric_allowed(values):
    numbers = values[~np.isnan(values)]
    return numbers.size > 0 and numbers.min() > 0 and numbers.max() < math.inf


@pytest.mark.filterwarnings("ignore:.*in no class", "ignore:.*no value")
@pytest.mark.parametrize("sample", sorted(SAMPLES))
def test_classes_equal_the_library_and_yb_agrees(sample):
    values = SAMPLES[sample]()
    for scheme, options, tool_args in cases(values):
        what = f"{sample} {scheme} {options}"
        if scheme == "geometric" and not geometric_allowed(values):
            with pytest.raises(ValueError, match="geometric classes need"):
                mensora.classify(values, scheme, **options)
            continue
        if scheme in ("equal_interval", "std_mean") and np.isinf(values).any():
            # Both infinities make the width or the mean, so the breaks, NaN.
            with pytest.raises(ValueError, match="breaks are not numbers"):
                mensora.classify(values, scheme, **options)
            continue
        got = mensora.classify(values, scheme, **options)
        breaks, counts, yb, fit = tool_classes(values, *tool_args)
        assert same_bits(got.breaks, breaks), what
        assert got.counts.tolist() == counts.tolist(), what
        assert got.yb.dtype == np.int32 and got.yb.tolist() == yb.tolist(), what
        assert got.k == len(got.bins) == len(got.counts)
        assert got.fit.keys() == fit.keys(), what
        assert all(same_bits(got.fit[m], fit[m]) for m in fit), what
        # The class of every value follows from the breaks by the closing rules...
        if not np.isnan(got.breaks).any():
            window = options.get("window")
            tolerance = closing_tolerance(SCHEMES[got.scheme].last, got.breaks)
            assert np.array_equal(labels_from_breaks(values, got.breaks, got.closed_last,
                                                     window, tolerance), got.yb), what
            # Readers of classes closed above get the same classes from right_closed_bins.
            v = np.asarray(values, dtype=np.float64)
            inside = (v >= got.breaks[0]) & ((v < got.breaks[-1]) |
                                             (got.closed_last & (v == got.breaks[-1])))
            if window is None:
                assert np.array_equal(np.digitize(v[inside], got.right_closed_bins, right=True),
                                      got.yb[inside]), what
        # ...and the counts from the classes (the closing rule may list the maximum twice).
        extra = got.counts - np.bincount(got.yb[got.yb >= 0], minlength=got.k)
        assert not extra[:-1].any() and extra[-1] in (0, 1), what


def test_class_table_and_closing():
    c = mensora.classify([1, 2, 3, 4, 5, 6, 7, 8, 9, 10], "natural_breaks", k=3)
    assert c.breaks.tolist() == [1, 4, 7, 10] and c.counts.tolist() == [3, 3, 4]
    assert repr(c).splitlines() == [
        "natural_breaks: 3 classes of 10 values",
        "class  interval  count",
        "    0  1 - 3         3",
        "    1  4 - 6         3",
        "    2  7 - 10        4",
        "GVF 0.890909, ADCM 8",
    ]
    assert c.bins.tolist() == [4, 7, 10]
    # bins read as upper bounds of (a, b] classes move the inner breaks down a class.
    assert np.digitize([4, 7, 10], c.bins, right=True).tolist() == [0, 1, 2]
    assert np.digitize([4, 7, 10], c.right_closed_bins, right=True).tolist() == [1, 2, 2]
    q = mensora.classify([1.0, math.nan, 9.0, 5.0], "quantiles", k=2)
    assert q.yb.tolist() == [0, -1, 1, 1] and q.n_missing == 1
    assert repr(q).startswith("quantiles: 2 classes of 3 values (1 missing left out)\n")
    s = mensora.classify([2, 4, 4, 4, 5, 5, 7, 9], "std_mean")
    assert s.breaks[1:-1].tolist() == [3, 5, 7] and s.counts.tolist() == [1, 3, 2, 2]
    assert not s.closed_last and repr(s).split()[-7:-4] == ["or", "more", "2"]
    assert s.fit["gvf"] == 0.9375 and s.adcm == 2  # the fit of the standard-deviation classes
    # A missing value leaves the mean a number: [1, 1.5), [2, huge).
    assert mensora.classify([math.nan, 2.0, 1.0], "std_mean").yb.tolist() == [-1, 3, 1]


def test_user_defined_breaks():
    values = SAMPLES["random-4000-nan"]()
    for scheme in ("natural_breaks", "quantiles"):
        ref = mensora.classify(values, scheme, k=6)
        got = mensora.classify(values, "user_defined", bins=ref.bins, lower=ref.breaks[0])
        assert same_bits(got.breaks, ref.breaks)
        assert got.counts.tolist() == ref.counts.tolist() and np.array_equal(got.yb, ref.yb)
    c = mensora.classify([5, 1, 12, 10, 3, math.nan], "user_defined", bins=[3, 10])
    assert c.breaks.tolist() == [1, 3, 10] and c.counts.tolist() == [1, 3]
    assert c.yb.tolist() == [1, 0, -1, 1, 1, -1] and c.closed_last
    # The last class closes exactly on the last bin.
    assert mensora.classify([2.0, 9.4], "user_defined", bins=[9.399999999999999]).yb.tolist() == [0, -1]
    # The first class starts at the first bin when no finite value lies below it.
    assert mensora.classify([5, 6], "user_defined", bins=[3, 10]).breaks.tolist() == [3, 3, 10]
    c = mensora.classify([-math.inf, 2, 5, math.inf], "user_defined", bins=[4, 10])
    assert c.breaks.tolist() == [2, 4, 10] and c.yb.tolist() == [-1, 0, 1, -1]


def test_closing_reads_the_maximum():
    # A missing value, wherever it stands, changes nothing.
    for y in ([1, 2, 3, math.nan], [math.nan, 1, 2, 3], [1, 2, 3]):
        with pytest.warns(RuntimeWarning, match="2 values in no class"):
            c = mensora.classify(y, "start_step", start=0, step=1, end=2.5)
        assert not c.closed_last and c.yb[~np.isnan(y)].tolist() == [1, -1, -1]
    # The maximum is kept at any magnitude.
    c = mensora.classify([24.23, 891572437.6, 1.5e8], "equal_interval", k=3)
    assert c.counts.tolist() == [2, 0, 1] and c.yb.tolist() == [0, 2, 0] and c.closed_last


def test_best_class_count():
    y = SAMPLES["income"]()
    got = mensora.classify(y, "natural_breaks", k="auto", gvf=0.9, k_max=6)
    gvf = {k: mensora.classify(y, "natural_breaks", k=k).gvf for k in range(2, 7)}
    best = min([k for k in gvf if gvf[k] >= 0.9], default=6)
    assert got.k == best and same_bits(got.gvf, gvf[best]) and got.auto == (6, 0.9)
    assert f"k='auto': {best}, the fewest classes from 2 to 6 with GVF >= 0.9" in repr(got)
    got = mensora.classify(y, "natural_breaks", k="auto", gvf=1.0, k_max=3)
    assert got.k == 3 and "k='auto': 3, as no count from 2 to 3 reaches GVF 1" in repr(got)


def test_limits_that_mean_the_data_extreme_warn():
    with pytest.warns(UserWarning, match="data maximum"):
        mensora.classify([1, 2, 3], "start_step", start=0, step=1, end=999)
    with warnings.catch_warnings():
        warnings.simplefilter("error", UserWarning)
        mensora.classify([1, 2, 3], "std_mean", window=(None, 2.5))
