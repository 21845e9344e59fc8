"""What goes in: array-likes, conversions without needless copies, and a
clear exception for every bad argument or failure of the library."""
import math

import numpy as np
import pytest

import mensora
from mensora import _native
from mensora._input import as_values

Y = [3.0, 1.0, 4.0, 1.0, 5.0, 9.0, 2.0, 6.0]


def test_float64_contiguous_input_is_not_copied():
    a = np.array(Y)
    assert as_values(a) is a
    strided = np.repeat(Y, 2)[::2]
    assert as_values(strided).flags.c_contiguous and as_values(strided).tolist() == Y


@pytest.mark.parametrize("y", [
    Y, tuple(int(v) for v in Y), np.array(Y, dtype=np.float32), np.array(Y, dtype=np.int64),
    np.array(Y, dtype=np.uint8), np.array(Y, dtype=">f8"), np.array(Y, dtype=object),
    np.repeat(Y, 2)[::2],
], ids=["list", "ints", "float32", "int64", "uint8", "big-endian", "object", "strided"])
def test_array_likes_give_the_same_classes(y):
    ref = mensora.classify(np.array(Y), "natural_breaks", k=3)
    got = mensora.classify(y, "natural_breaks", k=3)
    assert np.array_equal(got.breaks, ref.breaks) and np.array_equal(got.yb, ref.yb)


def test_pandas_columns():
    pd = pytest.importorskip("pandas")
    ref = mensora.classify(Y + [math.nan], "quantiles", k=2)
    for column in (pd.Series(Y + [math.nan]), pd.Series(Y + [None], dtype="Int64"),
                   pd.Series(Y + [None], dtype="Float64")):
        got = mensora.classify(column, "quantiles", k=2)
        assert np.array_equal(got.breaks, ref.breaks) and np.array_equal(got.yb, ref.yb)
    with pytest.raises(TypeError, match="not boolean values"):
        mensora.classify(pd.Series([True, None, False], dtype="boolean"), "quantiles", k=2)
    masked = np.ma.masked_array(Y + [7.0], mask=[False] * len(Y) + [True])
    assert np.array_equal(mensora.classify(masked, "quantiles", k=2).yb, ref.yb)


@pytest.mark.parametrize("y, error, text", [
    ([[1, 2], [3, 4]], ValueError, "one-dimensional"),
    (5.0, ValueError, "sequence of numbers, not one float"),
    ("12345", TypeError, "string"),
    (["1", "2"], TypeError, "numbers"),
    ([1, "a"], TypeError, "numbers"),
    (np.array([1, object()], dtype=object), TypeError, "numbers only"),
    ([True, False], TypeError, "bool"),
    ((v for v in Y), TypeError, "sequence of numbers .* not generator"),
    ({1.0, 2.0}, TypeError, "sequence of numbers"),
    ([1j, 2j], TypeError, "complex"),
    (np.broadcast_to(np.float64(1), (2**31,)), ValueError, "at most 2147483647"),
])
def test_bad_values(y, error, text):
    with pytest.raises(error, match=text):
        mensora.classify(y, "equal_interval", k=2)


@pytest.mark.parametrize("k, text", [
    *[(k, "k must be a whole number") for k in (0, -1, 0.0, 2.5, "3", True, None, 2**31, math.nan,
                                                 math.inf, 2.0**31)],
    (2**20 + 1, r"1048577 classes for 8 values: at most 1048576 \(the larger of 1048576 and "),
])
def test_bad_class_counts(k, text):
    with pytest.raises(ValueError, match=text):
        mensora.classify(Y, "quantiles", k=k)
    for breaks in (mensora.natural_breaks, mensora.quantile_breaks):
        with pytest.raises(ValueError, match=text):
            breaks(Y, k)
        with pytest.raises(ValueError, match=text):
            breaks(Y, k, weights=np.ones(len(Y)))
    with pytest.raises(ValueError, match="gives 900000000 classes"):
        mensora.classify(Y, "start_step", start=0, step=1e-8)


def test_whole_floats_count_as_integers():
    ref = mensora.classify(Y, "quantiles", k=3)
    for k in (3.0, np.float64(3), np.int16(3)):
        assert mensora.classify(Y, "quantiles", k=k).breaks.tolist() == ref.breaks.tolist()
    assert mensora.classify(Y, "std_mean", steps=2.0).k == 6


@pytest.mark.parametrize("scheme, options, error, text", [
    ("jenks", {}, ValueError, "unknown scheme 'jenks'; known: box_plot, equal_interval, fisher_jenks"),
    ("quantiles", {"steps": 2}, TypeError, "takes no option 'steps'"),
    ("start_step", {"start": 0}, TypeError, "needs the option 'step'"),
    ("std_mean", {"steps": -1}, ValueError, "steps must be a whole number from 0"),
    ("std_mean", {"window": 3}, ValueError, r"window must be a pair"),
    ("user_defined", {"bins": [3, 1]}, ValueError, "ascending"),
    ("user_defined", {"bins": []}, ValueError, "ascending"),
    ("user_defined", {"bins": [2, 5], "lower": 3}, ValueError, "at or below the first bin"),
    ("start_step", {"start": 0, "step": "1"}, ValueError, "step must be a number"),
    ("user_defined", {"bins": [1, math.inf]}, ValueError, "finite"),
    ("user_defined", {"bins": [2, 5], "lower": -math.inf}, ValueError, "finite"),
    ("head_tail", {"head_share": 1}, ValueError, "between 0 and 1"),
    ("box_plot", {"hinge": -1}, ValueError, "0 or more"),
    ("percentiles", {"percents": [10, 101]}, ValueError, "percentiles from 0 to 100"),
    ("percentiles", {"percents": [50]}, ValueError, "2 or more"),
    ("quantiles", {"k": "auto"}, ValueError, "for natural_breaks, not 'quantiles'"),
    ("natural_breaks", {"gvf": 0.5}, TypeError, "'gvf' goes with k='auto'"),
    ("natural_breaks", {"k": "auto", "gvf": 1.5}, ValueError, "gvf must be a number from 0 to 1"),
    ("natural_breaks", {"k": "auto", "k_max": 1}, ValueError, "k_max must be a whole number from 2"),
])
def test_bad_schemes_and_options(scheme, options, error, text):
    with pytest.raises(error, match=text):
        mensora.classify(Y, scheme, **options)


def test_failures_of_the_library_raise_with_its_reason():
    empty = _native.lib.mensora_status_message(_native.ERROR_EMPTY).decode()
    for scheme, options in [("equal_interval", {}), ("natural_breaks", {}), ("std_mean", {}),
                            ("user_defined", {"bins": [1]})]:
        with pytest.raises(ValueError, match=empty):
            mensora.classify([], scheme, **options)
    with pytest.raises(ValueError, match="mensora.natural_breaks: "):
        mensora.natural_breaks([], 3)
    with pytest.raises(ValueError, match=r"mensora.classify\('start_step'\): step must be a "
                                         "finite number other than 0, not 0"):
        mensora.classify(Y, "start_step", start=0, step=0)
    for y, scheme, reason in [([0.0, 1.0], "geometric", "smallest value above 0, not 0"),
                              ([1.0, math.inf], "geometric", "finite largest value"),
                              ([math.inf, math.nan], "pretty", "a finite value")]:
        with pytest.raises(ValueError, match=reason):
            mensora.classify(y, scheme)
    with pytest.raises(ValueError, match="weight 1 is -1"):
        mensora.natural_breaks([1, 2], 2, weights=[1, -1])
    with pytest.raises(MemoryError, match=_native.lib.mensora_status_message(-3).decode()):
        _native.check(_native.ERROR_MEMORY, "mensora.classify")


def test_nan_and_empty_samples():
    assert mensora.classify([math.nan, 2.0, 1.0], "quantiles", k=1).yb.tolist() == [-1, 0, 0]
    with pytest.raises(ValueError, match="no values: all 2 are missing"):
        mensora.natural_breaks([math.nan, math.nan], 2)
    with pytest.warns(RuntimeWarning, match="breaks are NaN"):
        assert np.isnan(mensora.natural_breaks([math.nan, math.nan], 2, weights=[1, 1])).all()
    summary = mensora.summary([])
    assert summary["count"] == 0 and math.isnan(summary["minimum"] + summary["maximum"])
