"""Every measure against the C++ library's own (through the mensora tool)."""
import importlib.metadata
import math
import re

import numpy as np

import pytest

import mensora
from conftest import SAMPLES, same_bits, tool_summary

# The tool's key for each key of summary that it prints under another name.
TOOL_KEYS = {"frequency_weighted_mean": "weighted_mean", "skewness_test_statistic": "skewness",
             "kurtosis_test_statistic": "kurtosis"}


@pytest.mark.parametrize("sample", ["income", "ozone", "wind", "random-57-nan", "random-1000"])
def test_summary_equals_the_library(sample):
    values = SAMPLES[sample]()
    got = mensora.summary(values)
    expected = tool_summary(values)
    for key, value in got.items():
        tool_value = expected.get(TOOL_KEYS.get(key, key))
        if tool_value is not None:  # the tool leaves out what it cannot print
            assert same_bits(value, tool_value), (sample, key)
    assert len(got) == 17
    assert got["missing"] == int(np.isnan(values).sum())
    assert got["count"] + got["missing"] == len(values)


def test_shape_statistics_are_the_moment_coefficients_over_their_standard_errors():
    y = np.random.default_rng(5).lognormal(size=1000)
    got, n = mensora.summary(y), len(y)
    z = (y - y.mean()) / y.std()
    assert got["skewness_test_statistic"] == pytest.approx(np.mean(z**3) / math.sqrt(6 / n))
    assert got["kurtosis_test_statistic"] == pytest.approx((np.mean(z**4) - 3) / math.sqrt(24 / n))


def test_version_is_the_library_version():
    assert re.fullmatch(r"\d+\.\d+\.\d+", mensora.__version__)
    assert importlib.metadata.version("mensora") == mensora.__version__
