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


def test_compiled_calls_refuse_what_they_cannot_read():
    calls = _native._calls
    natural = _native.COMPILED[id(_native.lib.mensora_natural_breaks)]
    classes = _native.COMPILED[id(_native.lib.mensora_classify_natural)]
    values = np.arange(6.0)
    for bad in (np.arange(6), values[::2], values.reshape(2, 3), [1.0, 2.0]):
        with pytest.raises(TypeError, match="values must be"):
            calls.breaks(natural, bad, 2, 3)
        with pytest.raises(TypeError, match="values must be"):
            calls.classified(classes, bad, 2)
    with pytest.raises(ValueError, match="k must be from 1"):
        calls.classified(classes, values, 0)
    with pytest.raises(ValueError, match="size must be from 2"):
        calls.breaks(natural, values, 2, 1)
    with pytest.raises(TypeError, match="function must be a nonzero address"):
        calls.classified(0, values, 2)
    with pytest.raises(TypeError, match="takes 4 arguments"):
        calls.breaks(natural, values, 2)
    # A read-only array is read in place.
    values.flags.writeable = False
    assert same_bits(calls.breaks(natural, values, 2, 3), mensora.natural_breaks(values, 2))
