"""Every measure of the library over one sample."""
import ctypes

from . import _input
from ._native import OK, Sample, lib

# (key, function) in the order of the dictionary summary returns; the
# extremes come between the median and the range.
_CENTRE = (
    ("mean", lib.mensora_mean),
    ("frequency_weighted_mean", lib.mensora_frequency_mean),
    ("geometric_mean", lib.mensora_geometric_mean),
    ("mode", lib.mensora_mode),
    ("median", lib.mensora_median),
)
_SPREAD = (
    ("range", lib.mensora_range),
    ("mean_absolute_deviation", lib.mensora_mean_abs_deviation),
    ("sum_of_squares", lib.mensora_sum_of_squares),
    ("variance", lib.mensora_variance),
    ("standard_deviation", lib.mensora_std_deviation),
    ("coefficient_of_variation", lib.mensora_variation_coefficient),
    ("skewness_test_statistic", lib.mensora_skewness),
    ("kurtosis_test_statistic", lib.mensora_kurtosis),
)


def summary(y):
    """Every measure of the library over a sample, in a dict.

    Keys: count, mean, frequency_weighted_mean (each value weighted by its own
    frequency), geometric_mean, mode (the most frequent value, the first in
    input order among equals), median, minimum, maximum, range,
    mean_absolute_deviation, sum_of_squares (of the deviations from the
    mean), variance and standard_deviation (both divided by n),
    coefficient_of_variation (standard deviation / mean), and the test
    statistics of skewness and excess kurtosis: skewness_test_statistic,
    g1 / sqrt(6/n), and kurtosis_test_statistic, g2 / sqrt(24/n), with g1
    and g2 the moment coefficients (scipy.stats.skew and kurtosis with
    bias=True). They grow with sqrt(n): compare them with a standard normal
    variable, not with g1 or g2.
    Values as the library computes them: a sample without values, or with
    NaN, gives NaN (or 0.0) where its rules say so; minimum and maximum are
    NaN for an empty sample.
    """
    values = _input.as_values(y)
    result = {"count": len(values)}
    with Sample(values) as sample:
        result.update((key, function(sample.handle)) for key, function in _CENTRE)
        low, high = ctypes.c_double(), ctypes.c_double()
        if lib.mensora_extremes(sample.handle, ctypes.byref(low), ctypes.byref(high)) != OK:
            low.value = high.value = float("nan")
        result["minimum"], result["maximum"] = low.value, high.value
        result.update((key, function(sample.handle)) for key, function in _SPREAD)
    return result
