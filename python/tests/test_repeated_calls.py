"""Calls in a row: each result is its own copy, the defaults of a scheme do
not stick to a call that gives options, and every input form and result size
takes the same way through the library."""
import gc
import math
import warnings
import weakref

import numpy as np
import pytest

import mensora

RNG = np.random.default_rng(26)
Y = RNG.lognormal(3.0, 1.0, 1000)


def read_only(y):
    y = np.array(y)
    y.flags.writeable = False
    return y


@pytest.mark.parametrize("y", [Y, read_only(Y), np.repeat(Y, 2)[::2], Y.astype(">f8")],
                         ids=["plain", "read-only", "strided", "big-endian"])
@pytest.mark.parametrize("k", [5, 63, 64, 200])
def test_breaks_equal_those_of_classify_for_any_input_and_k(y, k):
    for short, scheme in ((mensora.natural_breaks, "natural_breaks"),
                          (mensora.quantile_breaks, "quantiles")):
        full = mensora.classify(y, scheme, k=k)
        breaks = short(y, k)
        weighted = short(y, k, weights=np.ones(len(Y)))  # written by the library in place
        assert breaks.dtype == np.float64 and breaks.tobytes() == weighted.tobytes()
        assert full.breaks.tobytes() == weighted.tobytes()
        assert full.counts.dtype == np.int64 and full.counts.sum() == len(Y)
        assert np.array_equal(np.bincount(full.yb, minlength=k), full.counts)


def test_results_are_copies_owned_by_the_caller():
    first = mensora.natural_breaks(Y, 5)
    kept = first.copy()
    first[:] = 0.0
    c = mensora.classify(Y, "natural_breaks", k=5)
    c.counts[:] = 0
    assert np.array_equal(mensora.natural_breaks(Y, 5), kept)
    assert mensora.classify(Y, "natural_breaks", k=5).counts.sum() == len(Y)


def test_results_are_freed_with_their_last_reference():
    # A result in a reference cycle would keep its arrays until the cycle
    # collector runs: memory that grows in a loop over large samples.
    made = [lambda: mensora.classify(Y, "natural_breaks", 5),
            lambda: mensora.classify(Y, "std_mean", round=True),
            lambda: mensora.classify(Y, "quantiles", 4).rounded(),
            lambda: mensora.classify_pooled([Y[:500], Y[500:]], "equal_interval", 3)[1],
            lambda: mensora.classify_pooled([Y[:500], Y[500:]], "pretty", round=True)[0]]
    gc.disable()
    try:
        for make in made:
            result = make()
            result.labels()
            assert result.rounded().k == result.k
            kept = weakref.ref(result)
            del result
            assert kept() is None
    finally:
        gc.enable()


def test_defaults_and_given_options_do_not_mix():
    default = mensora.classify(Y, "percentiles")
    given = mensora.classify(Y, "percentiles", percents=[0, 50, 100])
    assert default.k == 6 and given.k == 2
    assert mensora.classify(Y, "percentiles").breaks.tobytes() == default.breaks.tobytes()
    auto = mensora.classify(Y, "natural_breaks", k="auto")
    assert auto.auto == (10, 0.8) and mensora.classify(Y, "natural_breaks").k == 5
    with pytest.raises(TypeError, match="needs the option 'start'"):
        mensora.classify(Y, "start_count")
    with pytest.raises(TypeError, match="needs the option 'start'"):
        mensora.classify(Y, "start_count")


@pytest.mark.parametrize("k", [3, 80])
def test_nan_breaks_warn_for_few_and_many_breaks(k):
    with pytest.warns(RuntimeWarning, match="breaks are NaN"):
        assert np.isnan(mensora.quantile_breaks([math.nan] * 100, k, weights=[1.0] * 100)).all()
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        assert mensora.natural_breaks([-math.inf, 1.0, 2.0, math.inf] * 30, k)[0] == -math.inf
