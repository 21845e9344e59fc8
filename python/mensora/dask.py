"""Exact classes of a Dask array or DataFrame column, computed on a cluster.

    import dask.array as da
    import mensora.dask
    x = da.random.lognormal(3.0, 1.0, size=10**8, chunks=10**6).round(2)
    c = mensora.dask.classify(x, "natural_breaks", k=7)
    c.breaks, c.counts      # numpy arrays, computed
    c.yb                    # lazy: a Dask array chunked as x

Every scheme of mensora.classify, with the same breaks and counts as
mensora.classify over the whole column in memory (the standard-deviation and
head/tail classes within 1e-12 relative); only the best class count
(k="auto") is not offered. The driver holds only small results: the
extremes, sums and counts of the blocks, and for the schemes of order
statistics and distinct values the table of the distinct values with their
counts, whose size is bounded (see classify). Needs Dask (Debian: python3-dask, with python3-distributed for a
cluster); the rest of mensora works without it.
"""
import functools
import math
import numbers
from typing import NamedTuple

import numpy as np

try:
    import dask
    import dask.array as da
except ImportError as error:
    raise ImportError("mensora.dask needs Dask, which is not installed (Debian: apt-get install "
                      "python3-dask python3-distributed; elsewhere: pip install "
                      "'dask[distributed]'); the rest of mensora works without it") from error
try:  # columns need pandas; arrays do not
    import dask.dataframe as dd
    import pandas as pd
except ImportError:
    dd = pd = None

from . import _input
from ._classes import (SCHEMES, Classification, _step_count, closes_last, closing_tolerance,
                       labels_from_breaks, scheme_named, scheme_options, user_breaks, warn_notes)
from ._native import (AUTO_MAX, AUTO_MIN, EQ_TOLERANCE, HUGE_BOUND, MAX_CLASSES, Sample,
                      address, check, lib)

__all__ = ["classify", "DaskClassification", "TooManyValuesError", "MAX_TABLE_BYTES",
           "TABLE_ENTRY_BYTES"]

# One distinct value in the driver's table: the value and its count.
TABLE_ENTRY_BYTES = 16
# The default bound of that table: 256 MiB, 2^24 (16.8 million) distinct
# values. Natural breaks with k = 7 over the table take the driver about 125
# bytes per distinct value at their peak, table included (measured by
# benchmarks/dask_natural_breaks.py table), so about 2 GiB at this bound.
MAX_TABLE_BYTES = 2**28


class TooManyValuesError(MemoryError):
    """The column has more distinct values than the driver's table may hold."""


class DaskClassification(Classification):
    """A Classification whose yb is a lazy Dask collection.

    Attributes as for Classification; ``breaks`` and ``counts`` are numpy
    arrays, ``yb`` a Dask array (for a Dask array) or a Dask Series with the
    index of x (for a column), chunked or partitioned as x. Besides:

    n : int
        The number of values of x present (missing values left out).
    outside : int
        The number of values present but in no class.

    ``fit`` is None: the goodness of fit is not measured over a Dask
    collection.
    """

    def __init__(self, scheme, breaks, counts, yb, closed_last, n, outside, n_missing=0):
        super().__init__(scheme, breaks, counts, yb, closed_last, n_missing=n_missing)
        self.n = n
        self.outside = outside

    def _sizes(self):
        return self.n, self.outside


def classify(x, scheme, k=5, max_table_bytes=MAX_TABLE_BYTES, **options):
    """Divides a Dask array or DataFrame column into classes, exactly.

    Parameters
    ----------
    x : dask.array.Array (one-dimensional) or dask.dataframe.Series
        Numbers of any int or float dtype; NaN (and a missing value of a
        nullable column) is missing: left out, its yb -1, counted in n_missing.
    scheme, k, **options
        As for mensora.classify, every scheme and option, with at most 2^20
        classes (every block counts every class).
    max_table_bytes : int
        The bound of the table of distinct values (16 bytes each) that
        the schemes of the table (see Notes) gather for the driver: default 2^28
        bytes, 2^24 distinct values, for which natural breaks need about
        2 GiB on the driver (125 bytes per distinct value with k = 7). The
        table is checked at every step of the reduction, on the workers, so
        that a column with too many distinct values fails before the driver
        receives it.

    Returns
    -------
    DaskClassification
        ``breaks`` and ``counts`` computed; ``yb`` lazy, the class of every
        value (-1 for none) by the library's closing rules, chunked as x (a
        Dask array) or partitioned as x with its index (a Dask Series).

    Raises
    ------
    ValueError, TypeError
        As mensora.classify, and for x that is not a one-dimensional Dask
        collection of numbers.
    NotImplementedError
        For natural_breaks with k="auto": choose k on a sample in memory, then
        classify x with that k.
    TooManyValuesError (a MemoryError)
        For the schemes of the table, when the distinct values need more than
        max_table_bytes: round the values first (``x.round(2)``).

    Notes
    -----
    How each scheme is computed, so that its results are those of
    mensora.classify over the whole column in memory:

    - the schemes of the table, quantiles, natural_breaks, max_breaks,
      percentiles and box_plot: every block counts its distinct values (NaN
      left out), the counts are merged pairwise in a tree, and the breaks
      come from the (value, count) table: the library's weighted breaks
      (quantiles, natural breaks), the library's rule over the distinct
      values alone (max_breaks), or the library's interpolation between the
      order statistics, found by cumulative counts (percentiles, box_plot).
      The breaks are mensora.classify's bit for bit, the counts exact. One
      pass over x.
    - equal_interval, start_step, start_count, pretty, geometric and
      user_defined: the extremes by a reduction, then the breaks by the
      library's own formula over them (pretty over the finite extremes); a
      second pass counts the classes. Missing values are left out of the
      extremes, as in memory.
    - std_mean: mean and standard deviation by two passes, then the library's
      formula for the breaks, and a third pass counts. head_tail: one pass
      for each successive mean (the sum and count of the head), then one
      that counts. The sums run in another order than in memory, so the
      breaks equal mensora.classify's within 1e-12 relative, not bit for
      bit; a value that close to a break may fall in the neighbouring class
      (and for head_tail change the heads that follow).
    - natural_breaks with k="auto" is not offered: the count is chosen by the
      GVF of each count measured over every value, which a distributed sum
      gives only to within rounding, so a count near the threshold could
      differ from the one chosen in memory.

    Each pass reads x again: persist x first when it is costly to compute.
    Work runs on the current Dask scheduler (a distributed Client when one is
    active).
    """
    name, entry = scheme_named(scheme)
    if entry.auto and isinstance(k, str) and k == "auto":
        raise NotImplementedError(
            "mensora.dask.classify cannot choose the class count exactly (k='auto'); classify x "
            "by natural_breaks with a fixed k, for instance one that mensora.classify(sample, "
            "'natural_breaks', k='auto') chooses on a sample in memory")
    blocks, make_labels = _column(x)
    k = _class_count(k, "k") if entry.uses_k else None
    options = scheme_options(name, entry, options)
    what = f"mensora.dask.classify({name!r})"
    limit = _table_limit(max_table_bytes)

    # Missing values (NaN) are left out, as the library's skipping handle does.
    if name in _TABLE_BREAKS:
        values, counts, missing = _distinct_values(blocks, limit, what)
        n = int(counts.sum())
        _refuse_empty(n, missing, what)
        breaks = _TABLE_BREAKS[name](values, counts, k, options, what)
        counts = _table_counts(values, counts, breaks)
        closed_last, window, tolerance = True, None, 0.0
    else:
        extent = _extent(blocks)
        n, missing = extent.n, extent.missing
        _refuse_empty(n, missing, what)
        if name == "start_step":
            _class_count(_step_count(extent.stand_in(), options), f"{what}: start, step and end")
        breaks, window = _extent_breaks(name, entry, blocks, extent, k, options, what)
        if np.isnan(breaks).any():
            raise ValueError(f"{what}: the breaks are not numbers (break "
                             f"{int(np.flatnonzero(np.isnan(breaks))[0])} is NaN): the values "
                             "include infinities")
        closed_last = closes_last(entry.last, extent.high, breaks)
        tolerance = closing_tolerance(entry.last, breaks)
        counts, outside = _class_counts(blocks, breaks, closed_last, window, tolerance)
    outside = n - int(counts.sum())
    warn_notes(outside, int(np.count_nonzero(counts == 0)), len(counts), what)
    yb = make_labels(functools.partial(_block_labels, breaks=breaks, closed_last=closed_last,
                                       window=window, tolerance=tolerance))
    return DaskClassification(name, breaks, counts, yb, closed_last, n, outside, missing)


def _refuse_empty(n, missing, what):
    """The library's refusal of a sample without values, in its words."""
    if n == 0:
        raise ValueError(f"{what}: the sample has no values"
                         + (f": all {missing} are missing" if missing else ""))


def _extent_breaks(name, entry, blocks, extent, k, options, what):
    """The breaks, and the std_mean window, of the schemes that need no table."""
    if name == "user_defined":
        return user_breaks(options["bins"], options["lower"], extent.finite_least), None
    if name == "head_tail":
        return _head_tail_breaks(blocks, extent, options["head_share"]), None
    # A sample with the extremes the library takes from x gives the breaks
    # (for std_mean it only checks the options: its breaks need the mean).
    stand_in = {"pretty": [extent.finite_least, extent.finite_greatest],
                "geometric": [extent.least, extent.greatest]}.get(name, extent.stand_in())
    with Sample(np.array(stand_in, dtype=np.float64)) as sample:
        breaks = entry.run(sample, k, options, what).breaks
    if name == "std_mean":
        return _std_breaks(blocks, extent, options)
    return breaks, None


def _class_count(k, name):
    """A class count of at most MAX_CLASSES, the most a Dask collection may have.

    Every block counts every class, so the bound does not grow with the
    number of values as it does in memory."""
    if isinstance(k, float):  # the quotient of start_step
        if math.isfinite(k) and k > MAX_CLASSES:
            raise ValueError(f"{name} give {k:.15g} classes; at most {MAX_CLASSES} for a Dask "
                             "collection")
        return k
    k = _input.whole_number(k, name, 1)
    if k > MAX_CLASSES:
        raise ValueError(f"{name} must be at most {MAX_CLASSES} for a Dask collection, not {k}")
    return k


def _table_limit(value):
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Integral) or value < 0:
        raise ValueError(f"max_table_bytes must be a whole number of bytes, not {value!r}")
    return int(value)


def _column(x):
    """The Delayed blocks of x, in order, and a function that maps a block function over x."""
    if isinstance(x, da.Array):
        if x.ndim != 1:
            raise ValueError(f"x must be one-dimensional, got a Dask array of shape {x.shape}")
        if x.dtype.kind not in "fiu":
            raise TypeError(f"x must hold numbers, not {x.dtype} values")
        return (list(x.to_delayed().ravel()),
                lambda f: x.map_blocks(f, dtype=np.int32))
    if dd is not None and isinstance(x, dd.Series):
        if not pd.api.types.is_numeric_dtype(x.dtype) or pd.api.types.is_bool_dtype(x.dtype):
            raise TypeError(f"x must hold numbers, not {x.dtype} values")
        meta = pd.Series([], dtype=np.int32, name=x.name)
        return (list(x.to_delayed()),
                lambda f: x.map_partitions(_partition_labels, f, meta=meta))
    if dd is not None and isinstance(x, dd.DataFrame):
        raise TypeError("x is a Dask DataFrame: pass one of its columns, such as x['name']")
    raise TypeError(f"x must be a one-dimensional dask.array.Array or a dask.dataframe.Series, "
                    f"not {type(x).__name__} (mensora.classify takes data in memory)")


def _values(block):
    return _input.as_values(block, "x")


def _partition_labels(part, labels):
    return pd.Series(labels(part), index=part.index, name=part.name)


def _block_labels(block, breaks, closed_last, window, tolerance):
    return _classes_of(_values(block), breaks, closed_last, window, tolerance)[0]


def _classes_of(values, breaks, closed_last, window, tolerance):
    """The class of every value (-1 for none) and the member count of every class.

    Ascending breaks leave every value in at most one class, found by
    labels_from_breaks. Otherwise (NaN or descending breaks) every class tests
    every value as the library does, breaks[s] <= v and not v >= breaks[s+1];
    a value that passes the tests of several classes counts in each and is
    labelled with the last.
    """
    k = len(breaks) - 1
    if np.all(breaks[:-1] <= breaks[1:]):
        yb = labels_from_breaks(values, breaks, closed_last, window, tolerance)
        return yb, np.bincount(yb[yb >= 0], minlength=k).astype(np.int64)
    yb = np.full(len(values), -1, dtype=np.int32)
    counts = np.zeros(k, dtype=np.int64)
    with np.errstate(invalid="ignore"):
        admitted = True if window is None else (values >= window[0]) & ~(values > window[1])
        for s in range(k):
            low, high = breaks[s], breaks[s + 1]
            if closed_last and s == k - 1:
                near = np.abs(values - high) < tolerance
                member = (values >= low) & ((values <= high) | near)
            else:
                member = (values >= low) & ~(values >= high)
            member &= admitted
            yb[member] = s
            counts[s] = np.count_nonzero(member)
    return yb, counts


def _tree(tasks, merge):
    """One Delayed: the tasks merged pairwise, neighbours first, by merge(a, b)."""
    merge = dask.delayed(merge, pure=True)
    while len(tasks) > 1:
        tasks = [merge(*tasks[i:i + 2]) if i + 1 < len(tasks) else tasks[i]
                 for i in range(0, len(tasks), 2)]
    return tasks[0]


def _compute_each(function, blocks, *args):
    """function(block, *args) for every block, computed together, in block order."""
    task = dask.delayed(function, pure=True)
    return dask.compute(*[task(block, *args) for block in blocks])


# Extremes and sums --------------------------------------------------------


def _present(block):
    """The values of a block that are not missing."""
    v = _values(block)
    return v[~np.isnan(v)]


def _block_extent(block):
    """(count, missing, least, greatest, sum, finite least, finite greatest)
    of the values of a block that are not missing; None when there is none.

    The finite ones leave the infinities out (inf and -inf when there is none)."""
    v = _values(block)
    present = v[~np.isnan(v)]
    missing = len(v) - len(present)
    if len(present) == 0:
        return None if len(v) == 0 else (0, missing, np.nan, np.nan, 0.0, np.inf, -np.inf)
    v = present
    finite = np.isfinite(v)
    with np.errstate(invalid="ignore", over="ignore"):
        return (len(v), missing, np.min(v), np.max(v), float(np.sum(v)),
                np.fmin.reduce(v, where=finite, initial=np.inf),
                np.fmax.reduce(v, where=finite, initial=-np.inf))


class _Extent(NamedTuple):
    n: int           # the values present
    missing: int
    least: float
    greatest: float
    total: float     # the sum of the values
    finite_least: float     # infinities left out too: NaN when no value is finite
    finite_greatest: float

    @property
    def low(self):
        return self.least

    @property
    def high(self):
        return self.greatest

    def stand_in(self):
        """A sample whose extremes are those of x."""
        return np.array([self.least, self.greatest])


def _extent(blocks):
    parts = [p for p in _compute_each(_block_extent, blocks) if p is not None]
    missing = sum(p[1] for p in parts)
    parts = [p for p in parts if p[0] > 0]
    if not parts:
        return _Extent(0, missing, np.nan, np.nan, 0.0, np.nan, np.nan)
    least = min(p[2] for p in parts)
    greatest = max(p[3] for p in parts)
    total = 0.0
    for p in parts:
        total += p[4]
    finite_least = min(p[5] for p in parts)
    finite_greatest = max(p[6] for p in parts)
    if finite_least > finite_greatest:
        finite_least = finite_greatest = np.nan
    return _Extent(sum(p[0] for p in parts), missing, least, greatest, total, finite_least,
                   finite_greatest)


def _block_squares(block, mean):
    v = _present(block)
    with np.errstate(invalid="ignore", over="ignore"):
        d = v - mean
        return float(np.dot(d, d))


def _std_breaks(blocks, extent, options):
    """The breaks of std_mean and its window, the limits resolved as the library does."""
    mean = extent.total / extent.n
    squares = 0.0
    for part in _compute_each(_block_squares, blocks, mean):
        squares += part
    sigma = np.sqrt(squares / extent.n)
    steps, times = options["steps"], options["times"]
    k, c = 2 * steps + 2, steps + 1
    s = np.arange(steps + 1)
    offset = (s.astype(np.float64) * times) * sigma
    breaks = np.empty(k + 1)
    breaks[c - s] = mean - offset
    breaks[c + s] = offset + mean  # the centre last, as the library writes it
    breaks[0], breaks[k] = -HUGE_BOUND, HUGE_BOUND
    window = options["window"]
    if window is not None:
        low, high = window
        window = (extent.low if not abs(low - AUTO_MIN) >= EQ_TOLERANCE else low,
                  extent.high if not abs(high - AUTO_MAX) >= EQ_TOLERANCE else high)
    return breaks, window


def _block_counts(block, breaks, closed_last, window, tolerance):
    yb, counts = _classes_of(_values(block), breaks, closed_last, window, tolerance)
    return counts, int(np.count_nonzero(yb < 0))


def _add_counts(a, b):
    return a[0] + b[0], a[1] + b[1]


def _class_counts(blocks, breaks, closed_last, window, tolerance):
    """The member counts of the classes over x, and the number of values in no class."""
    task = dask.delayed(_block_counts, pure=True)
    return _tree([task(b, breaks, closed_last, window, tolerance) for b in blocks],
                 _add_counts).compute()


# Head/tail means ----------------------------------------------------------


def _block_head(block, threshold):
    """(count, sum, sum at the scale 2^-64, least) of the values of a block
    above threshold, or of all that are not missing for threshold None."""
    v = _values(block)
    with np.errstate(invalid="ignore", over="ignore"):
        head = v[~np.isnan(v)] if threshold is None else v[v > threshold]
        if len(head) == 0:
            return 0, 0.0, 0.0, math.inf
        return len(head), float(np.sum(head)), float(np.sum(head * 2.0**-64)), float(head.min())


def _head(blocks, threshold):
    """_block_head over x: the blocks' sums added in block order."""
    parts = _compute_each(_block_head, blocks, threshold)
    total = scaled = 0.0
    for p in parts:
        total += p[1]
        scaled += p[2]
    return sum(p[0] for p in parts), total, scaled, min(p[3] for p in parts)


def _head_tail_breaks(blocks, extent, share):
    """The library's head/tail rule with the sums of a head from a reduction:
    the smallest value, the successive means, the largest value."""
    top = extent.greatest + 0.0  # the largest value that is not NaN, a zero as +0
    count, total, scaled, least = _head(blocks, None)
    if count == 0:
        return np.array([np.nan, np.nan])
    lowest, means = least + 0.0, []
    while least < top:
        mean = total / count
        # Where the sum of finite values overflows, the mean at the scale 2^-64.
        if not math.isfinite(total) and math.isfinite(least) and math.isfinite(top):
            mean = scaled / count * 2.0**64
        if not least < mean <= top:
            break
        means.append(mean)
        head = _head(blocks, mean)
        if not float(head[0]) < share * float(count):
            break
        count, total, scaled, least = head
    return np.array([lowest, *means, top])


# Distinct values ----------------------------------------------------------


def _checked(table, limit, what):
    values, counts, _ = table
    if values.nbytes + counts.nbytes > limit:
        raise TooManyValuesError(
            f"{what}: the column has more than {limit // TABLE_ENTRY_BYTES} distinct values, "
            f"more than max_table_bytes={limit} allows ({TABLE_ENTRY_BYTES} bytes each); "
            "round the values first (for example x.round(2)), or raise max_table_bytes if the "
            "driver has the memory")
    return table


def _block_table(block, limit, what):
    """(distinct values ascending, their counts, number of NaN) of a block."""
    v = _values(block)
    numbers = v[~np.isnan(v)]
    values, counts = np.unique(numbers, return_counts=True)
    return _checked((values, counts.astype(np.int64), len(v) - len(numbers)), limit, what)


def _merge_tables(limit, what, *tables):
    values = np.concatenate([t[0] for t in tables])
    counts = np.concatenate([t[1] for t in tables])
    order = np.argsort(values, kind="stable")  # runs of ascending values: a merge
    values, counts = values[order], counts[order]
    if len(values):
        starts = np.flatnonzero(np.concatenate(([True], values[1:] != values[:-1])))
        values, counts = values[starts], np.add.reduceat(counts, starts)
    return _checked((values, counts, sum(t[2] for t in tables)), limit, what)


def _distinct_values(blocks, limit, what):
    """The distinct values of x (not NaN) ascending, their counts, and the number of NaN.

    -0.0 and 0.0 count as one value, as for the library."""
    task = dask.delayed(_block_table, pure=True)
    table = _tree([task(b, limit, what) for b in blocks],
                  functools.partial(_merge_tables, limit, what))
    values, counts, nan = table.compute()
    return np.ascontiguousarray(values, dtype=np.float64), counts, nan


_WEIGHTED = {"natural_breaks": "mensora_natural_breaks_weighted",
             "quantiles": "mensora_quantile_breaks_weighted"}


def _weighted_breaks(name, values, counts, k, what):
    """The breaks of the sample in which every value stands counts times."""
    weights = counts.astype(np.float64)
    if len(values) == 0:  # NaN only: the library gives NaN breaks
        values, weights = np.array([np.nan]), np.array([1.0])
    breaks = np.empty(k + 1)
    function = getattr(lib, _WEIGHTED[name])
    check(function(address(values), address(weights), len(values), k, address(breaks)), what)
    return breaks


def _max_gap_breaks(values, counts, k, options, what):
    """The library's own rule over the distinct values, which alone decide it."""
    with Sample(values if len(values) else np.array([np.nan])) as sample:
        return SCHEMES["max_breaks"].run(sample, k, options, what).breaks


class _OrderStatistics:
    """The m sorted values that are not NaN, x(0) .. x(m-1), of a table of
    distinct values and their counts, each zero as +0 as the library takes it."""

    def __init__(self, values, counts):
        self.values = values + 0.0
        self.ends = np.cumsum(counts)
        self.m = int(self.ends[-1]) if len(counts) else 0

    def __call__(self, j):
        return float(self.values[np.searchsorted(self.ends, j, side="right")])

    def quantile(self, fraction):
        """The library's linear interpolation at the fraction, with its
        operations in its order, so its bits (see Percentile in
        src/classify/internal/break_rules.h)."""
        index = 1 + float(self.m - 1) * fraction
        lo = math.floor(index)
        a = self(lo - 1)
        if not index > lo:
            return a
        b = self(lo)
        if b == a:
            return a
        h = index - lo
        if math.isinf(a) and math.isinf(b):
            return a if h < 0.5 else b
        v = (1 - h) * a + h * b
        v = a if v < a else v  # std::max(v, a)
        return b if b < v else v  # std::min(v, b)


def _percentile_breaks(values, counts, k, options, what):
    x = _OrderStatistics(values, counts)
    breaks = []
    for percent in options["percents"]:
        q = x.quantile(float(percent) / 100.0) if x.m else math.nan
        breaks.append(breaks[-1] if breaks and q < breaks[-1] else q)
    return np.array(breaks)


def _box_plot_breaks(values, counts, k, options, what):
    x = _OrderStatistics(values, counts)
    if x.m == 0:
        return np.array([-math.inf] + [math.nan] * 5 + [math.inf])
    hinge = options["hinge"]
    q1, median, q3 = x.quantile(0.25), x.quantile(0.5), x.quantile(0.75)
    iqr = 0.0 if q3 == q1 else q3 - q1
    fence = 0.0 if hinge == 0.0 else hinge * iqr
    # max(a, b) is b only where a < b, as std::max(a, b).
    middle = max(median, q1)
    upper = max(q3, middle)
    return np.array([-math.inf, q1 - fence, q1, middle, upper, max(upper + fence, upper), math.inf])


# The schemes whose breaks come from the table of distinct values:
# name -> function(values, counts, k, options, what) -> breaks.
_TABLE_BREAKS = {
    "quantiles": lambda v, c, k, o, what: _weighted_breaks("quantiles", v, c, k, what),
    "natural_breaks": lambda v, c, k, o, what: _weighted_breaks("natural_breaks", v, c, k, what),
    "max_breaks": _max_gap_breaks,
    "percentiles": _percentile_breaks,
    "box_plot": _box_plot_breaks,
}


def _table_counts(values, counts, breaks):
    """The member counts of the classes over the (value, count) table."""
    labels = labels_from_breaks(values, breaks)
    total = np.zeros(len(breaks) - 1, dtype=np.int64)
    inside = labels >= 0
    np.add.at(total, labels[inside], counts[inside])
    return total
