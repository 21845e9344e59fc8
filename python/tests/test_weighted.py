"""Weighted breaks equal the breaks of the expanded sample, bit for bit."""
import math

import numpy as np
import pytest

import mensora
from conftest import random_sample, same_bits

FUNCTIONS = [mensora.natural_breaks, mensora.quantile_breaks]


@pytest.mark.parametrize("function", FUNCTIONS)
@pytest.mark.parametrize("seed", [11, 12, 13])
def test_whole_weights_equal_the_expanded_sample(function, seed):
    rng = np.random.default_rng(seed)
    values = random_sample(seed, 300)
    values = values[np.isfinite(values) | np.isnan(values)]  # infinities aside
    weights = rng.integers(0, 5, len(values)).astype(np.float64)
    expanded = np.repeat(values, weights.astype(np.int64))
    for k in (1, 3, 6):
        shuffled = rng.permutation(len(values))
        got = function(values[shuffled], k, weights=weights[shuffled])
        assert same_bits(got, function(expanded, k)), (seed, k)


@pytest.mark.parametrize("function", FUNCTIONS)
def test_weights_equal_classify_breaks_and_bad_weights(function):
    values = [4.0, 1.0, 7.0, 7.0, 2.0]
    scheme = "natural_breaks" if function is mensora.natural_breaks else "quantiles"
    assert same_bits(function(values, 2), mensora.classify(values, scheme, k=2).breaks)
    assert same_bits(function(values, 2, weights=[1, 1, 1, 1, 1]), function(values, 2))
    for bad in ([1, 1, -1, 1, 1], [1, math.nan, 1, 1, 1], [1, 1, 1, math.inf, 1]):
        with pytest.raises(ValueError, match=f"mensora.{scheme}: "):
            function(values, 2, weights=bad)
    with pytest.raises(ValueError, match="weights has 2 entries for 5 values"):
        function(values, 2, weights=[1, 2])
    with pytest.raises(TypeError, match="weights must hold numbers"):
        function(values, 2, weights=["a"] * 5)
