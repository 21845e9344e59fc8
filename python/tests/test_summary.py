"""Every measure against the C++ library's own (through the mensora tool)."""
import importlib.metadata
import re

import numpy as np
import pytest

import mensora
from conftest import SAMPLES, same_bits, tool_summary

# The tool's key for each key of summary that it prints under another name.
TOOL_KEYS = {"frequency_weighted_mean": "weighted_mean"}


@pytest.mark.parametrize("sample", ["income", "ozone", "wind", "random-57-nan", "random-1000"])
def test_summary_equals_the_library(sample):
    values = SAMPLES[sample]()
    got = mensora.summary(values)
    expected = tool_summary(values)
    assert got["square_root_of_variance"] == pytest.approx(got["standard_deviation"],
                                                           nan_ok=True)
    for key, value in got.items():
        tool_value = expected.get(TOOL_KEYS.get(key, key))
        if tool_value is not None:  # the tool leaves out what it cannot print
            assert same_bits(value, tool_value), (sample, key)
    assert len(got) == 18
    assert got["missing"] == int(np.isnan(values).sum())
    assert got["count"] + got["missing"] == len(values)


def test_version_is_the_library_version():
    assert re.fullmatch(r"\d+\.\d+\.\d+", mensora.__version__)
    assert importlib.metadata.version("mensora") == mensora.__version__
