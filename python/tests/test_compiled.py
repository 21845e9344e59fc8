"""The compiled calls against the ctypes calls they stand in for: the same
results, warnings and errors, bit for bit."""
import math
import warnings

import numpy as np
import pytest

import mensora
from mensora import _native
from conftest import SAMPLES, same_bits

EDGES = {"empty": [], "missing": [math.nan, math.nan], "one": [5.0], "ties": [2.0] * 9 + [3.0],
         "infinite": [1.0, math.inf, 2.0, -math.inf, 3.0]}
SCHEMES = ("equal_interval", "quantiles", "natural_breaks", "pretty", "max_breaks", "geometric")


def outcome(call):
    """What a call gives: its result or its exception, and its warnings."""
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        try:
            result = call()
        except (ValueError, MemoryError) as error:
            result = (type(error), str(error))
    return result, [str(w.message) for w in caught]


def assert_same(compiled, plain, what):
    (got, got_warnings), (want, want_warnings) = compiled, plain
    assert got_warnings == want_warnings, what
    if isinstance(want, tuple):
        assert got == want, what
    elif isinstance(want, np.ndarray):
        assert same_bits(got, want), what
    else:
        assert same_bits(got.breaks, want.breaks), what
        assert got.counts.dtype == want.counts.dtype and np.array_equal(got.counts, want.counts)
        assert got.yb.dtype == want.yb.dtype and np.array_equal(got.yb, want.yb), what
        assert all(same_bits(got.fit[m], want.fit[m]) for m in want.fit), what
        assert (got.closed_last, got.n_missing) == (want.closed_last, want.n_missing), what
        assert got.labels() == want.labels(), what
        assert same_bits(got.rounded().breaks, want.rounded().breaks), what


def test_the_installed_package_carries_its_compiled_calls():
    assert _native._calls is not None and len(_native.COMPILED) == 8


@pytest.mark.parametrize("sample", sorted(SAMPLES) + sorted(EDGES))
def test_compiled_calls_equal_the_ctypes_calls(sample, monkeypatch):
    values = SAMPLES[sample]() if sample in SAMPLES else np.array(EDGES[sample])
    calls = [(f"{scheme} k={k}", lambda s=scheme, k=k: mensora.classify(values, s, k))
             for scheme in SCHEMES for k in (1, 3, 7, 2**20 + 1)]
    calls += [(f"{f.__name__} k={k}", lambda f=f, k=k: f(values, k))
              for f in (mensora.natural_breaks, mensora.quantile_breaks) for k in (2, 5, 2**20 + 1)]
    for what, call in calls:
        compiled = outcome(call)
        with monkeypatch.context() as patch:
            patch.setattr(_native, "COMPILED", {})
            plain = outcome(call)
        assert_same(compiled, plain, f"{sample} {what}")


def test_compiled_calls_leave_arrays_they_cannot_read_as_they_are_to_python():
    calls = _native._calls
    natural = _native.COMPILED[id(_native.lib.mensora_natural_breaks)]
    classes = _native.COMPILED[id(_native.lib.mensora_classify_natural)]
    values = np.array([3.0, 1.0, np.nan, 8.0, 2.0, 5.0])
    masked = np.ma.masked_array(values, mask=[0, 0, 0, 1, 0, 0])
    others = {"int64": np.arange(6), "strided": values[::2], "2-D": values.reshape(2, 3),
              "list": values.tolist(), "big-endian": values.astype(">f8"), "masked": masked}
    for form, bad in others.items():
        assert calls.breaks(natural, bad, 2, 3, 100) is None, form
        assert calls.classified(classes, bad, 2, 100) is None, form
        # ... and Python converts them: the same breaks as without the compiled module.
        got = outcome(lambda: mensora.natural_breaks(bad, 2))
        with pytest.MonkeyPatch.context() as patch:
            patch.setattr(_native, "COMPILED", {})
            assert_same(got, outcome(lambda: mensora.natural_breaks(bad, 2)), form)
    assert mensora.classify(masked, "quantiles", 2).n_missing == 2
    assert calls.breaks(natural, values, 2, 3, 5) is None  # longer than asked
    with pytest.raises(ValueError, match="k must be from 1"):
        calls.classified(classes, values, 0, 100)
    with pytest.raises(ValueError, match="size must be from 2"):
        calls.breaks(natural, values, 2, 1, 100)
    with pytest.raises(TypeError, match="function must be a nonzero address"):
        calls.classified(0, values, 2, 100)
    with pytest.raises(TypeError, match="takes 5 arguments"):
        calls.breaks(natural, values, 2, 3)
    # A read-only array is read in place.
    values.flags.writeable = False
    assert same_bits(calls.breaks(natural, values, 2, 3, 100), mensora.natural_breaks(values, 2))
