"""Class breaks: the schemes, the class result and the class of every value."""
import math
import warnings
from typing import Callable, Dict, NamedTuple, Tuple

import numpy as np

from . import _input
from ._legend import round_breaks
from . import _native
from ._native import (AUTO_MAX, AUTO_MIN, Sample, address, breaks_of, classified, lib,
                      plain_facts, quick)

REQUIRED = object()


class Scheme(NamedTuple):
    """One way of classifying.

    run(sample, k, options, what) makes the scheme's classes the current
    result of a Sample and returns their ClassResult (k None for k="auto");
    what names the call in error messages. options maps each option's name to
    (converter, default), the default REQUIRED for options without one; a
    converter takes (value, name) and returns the value the run expects.
    """

    run: Callable
    options: Dict[str, Tuple[Callable, object]]
    uses_k: bool = True
    # How the last class ends: "closed" on its upper break, "open" before it
    # (the standard-deviation classes, the only ones), or "closing": closed
    # when the maximum lies within the closing tolerance of it.
    last: str = "closed"
    # Whether k="auto" asks for the best class count (options AUTO_OPTIONS).
    auto: bool = False
    # The library's class call function(handle, k, out) that makes the
    # scheme's classes for a given k, where one does (see plain).
    function: Callable = None


def library(call):
    """A scheme run by the library: call(handle, k, options, out) -> status."""

    def run(sample, k, options, what):
        # The library refuses a class count above its limit, before any allocation.
        return sample.classes(call, k, options, what)

    return run


def plain(function, options=None, **scheme):
    """A scheme made by one class call of the library, function(handle, k,
    out), for a given k (run may do more, as natural breaks with k="auto")."""
    run = library(lambda h, k, o, out: function(h, k, out))
    return Scheme(scheme.pop("run", run), options or {}, function=function, **scheme)


def closes_last(last, top, breaks):
    """Whether the last class of a scheme's result holds its upper break.

    For the "closing" schemes the library closes it unless `top`, the
    maximum, lies the closing tolerance or more from the last break.
    """
    if last != "closing":
        return last == "closed"
    with np.errstate(invalid="ignore"):  # inf - inf
        return not abs(top - breaks[-1]) >= closing_tolerance(last, breaks)


def closing_tolerance(last, breaks):
    """How far above the last break a closed last class reaches: the library's
    closing tolerance of the breaks (at least 1e-7, more at large magnitudes)
    under the closing rule, 0 for the schemes that close exactly."""
    if last != "closing":
        return 0.0
    return lib.mensora_closing_tolerance(float(breaks[0]), float(breaks[-1]))


def labels_from_breaks(values, breaks, closed_last=True, window=None, tolerance=0.0):
    """The class of every value under the library's closing rules, -1 for none.

    Class s holds the values v with ``breaks[s] <= v < breaks[s + 1]``; with
    `closed_last` (see closes_last) the last class also holds its upper
    break, and values above it by less than `tolerance` (see
    closing_tolerance). NaN is in no class. `window`, a pair (low, high),
    further limits the classes to ``low <= v <= high``.

    Parameters
    ----------
    values : numpy.ndarray of float64
    breaks : array-like of float
        k + 1 breaks, ascending (equal neighbours allowed), none NaN.
    closed_last : bool
    window : tuple of two floats, optional
    tolerance : float

    Returns
    -------
    numpy.ndarray of int32, the class index of every value, in input order.
    """
    breaks = np.asarray(breaks, dtype=np.float64)
    k = len(breaks) - 1
    # NaN sorts after every break: index k, like the values at or above the last.
    yb = np.searchsorted(breaks, values, side="right").astype(np.int32) - 1
    yb[yb >= k] = -1
    if closed_last:
        high = breaks[k]
        with np.errstate(invalid="ignore"):  # inf - inf
            near = np.abs(values - high) < tolerance
        yb[(values >= breaks[k - 1]) & ((values <= high) | near)] = k - 1
    if window is not None:
        low, high = window
        yb[~((values >= low) & (values <= high))] = -1
    return yb


def user_breaks(bins, lower, least):
    """The breaks of user_defined: `lower`, by default the smaller of the first
    bin and `least` (the smallest finite value; NaN when there is none), then
    the bins."""
    if lower is None:
        # A zero minimum is +0 whichever zero came first.
        lower = least + 0.0 if least < bins[0] else bins[0]
    elif not lower <= bins[0]:
        raise ValueError(f"lower={lower!r} must be a number at or below the first bin {bins[0]!r}")
    return np.concatenate(([lower], bins))


def least_finite(values):
    """The smallest finite value (NaN when there is none), without a copy."""
    finite = np.isfinite(values)
    return np.fmin.reduce(values, where=finite, initial=np.inf) if finite.any() else np.nan


def _user_defined(sample, k, options, what):
    breaks = user_breaks(options["bins"], options["lower"], least_finite(sample.values))
    return sample.classes(lambda handle, k, options, out: lib.mensora_classify_breaks(
        handle, address(breaks), len(breaks), out), k, options, what)


def _ascending(value, name, low=-np.inf, high=np.inf, least=1, what="numbers"):
    """At least `least` finite numbers from low to high, ascending (equal neighbours allowed)."""
    try:
        numbers = np.array(value, dtype=np.float64, ndmin=1)
    except (TypeError, ValueError):
        raise ValueError(f"{name} must be a list of numbers, not {value!r}") from None
    if (numbers.ndim != 1 or numbers.size < least or not np.isfinite(numbers).all()
            or (numbers < low).any() or (numbers > high).any() or (np.diff(numbers) < 0).any()):
        raise ValueError(f"{name} must be {least} or more {what}, ascending, not {value!r}")
    return numbers


def _bins(value, name):
    return _ascending(value, name, what="finite upper edges of the classes")


def _lower(value, name):
    if value is None:
        return None
    number = _input.real_number(value, name)
    if not math.isfinite(number):
        raise ValueError(f"{name} must be a finite number, not {value!r}")
    return number


def _percents(value, name):
    return _ascending(value, name, 0.0, 100.0, 2, "percentiles from 0 to 100")


def _head_share(value, name):
    share = _input.real_number(value, name)
    if not 0.0 < share < 1.0:
        raise ValueError(f"{name} must be a number between 0 and 1 (both excluded), not {value!r}")
    return share


def _hinge(value, name):
    hinge = _input.real_number(value, name)
    if not (hinge >= 0.0 and math.isfinite(hinge)):
        raise ValueError(f"{name} must be a finite number of 0 or more, not {value!r}")
    return hinge


def _gvf(value, name):
    gvf = _input.real_number(value, name)
    if not 0.0 <= gvf <= 1.0:
        raise ValueError(f"{name} must be a number from 0 to 1, not {value!r}")
    return gvf


def _k_max(value, name):
    return _input.whole_number(value, name, 2)


def _natural(h, k, o, out):
    if k is None:  # k="auto"
        return lib.mensora_classify_natural_auto(h, o["k_max"], o["gvf"], out)
    return lib.mensora_classify_natural(h, k, out)


def _window(value, name):
    if value is None:
        return None
    try:
        low, high = value
    except (TypeError, ValueError):
        raise ValueError(f"{name} must be a pair (low, high), not {value!r}") from None
    return (_input.limit(low, f"{name}[0]", AUTO_MIN, "minimum"),
            _input.limit(high, f"{name}[1]", AUTO_MAX, "maximum"))


def _std_mean(handle, k, o, out):
    if o["window"] is None:
        return lib.mensora_classify_stddev(handle, o["steps"], o["times"], out)
    low, high = o["window"]
    return lib.mensora_classify_stddev_window(handle, o["steps"], o["times"], low, high, out)


def _steps(value, name):
    return _input.whole_number(value, name, 0)


def _step_count(values, o):
    top = o["end"]
    if top == AUTO_MAX and len(values):
        top = np.fmax.reduce(values)
    with np.errstate(all="ignore"):
        return (top - o["start"]) / o["step"]


def _end(value, name):
    return _input.limit(value, name, AUTO_MAX, "maximum")


_START = (_input.real_number, REQUIRED)

SCHEMES = {
    "equal_interval": plain(lib.mensora_classify_equal, last="closing"),
    "quantiles": plain(lib.mensora_classify_quantile),
    "natural_breaks": plain(lib.mensora_classify_natural,
                            {"gvf": (_gvf, 0.8), "k_max": (_k_max, 10)}, run=library(_natural),
                            auto=True),
    "std_mean": Scheme(library(_std_mean),
                       {"steps": (_steps, 1), "times": (_input.real_number, 1.0),
                        "window": (_window, None)},
                       uses_k=False, last="open"),
    "start_step": Scheme(library(lambda h, k, o, out: lib.mensora_classify_step(
                             h, o["start"], o["step"], o["end"], out)),
                         {"start": _START, "step": (_input.real_number, REQUIRED),
                          "end": (_end, None)},
                         uses_k=False, last="closing"),
    "start_count": Scheme(library(lambda h, k, o, out: lib.mensora_classify_count(
                              h, o["start"], k, o["end"], out)),
                          {"start": _START, "end": (_end, None)}, last="closing"),
    "user_defined": Scheme(_user_defined, {"bins": (_bins, REQUIRED), "lower": (_lower, None)},
                           uses_k=False),
    "pretty": plain(lib.mensora_classify_pretty),
    "head_tail": Scheme(library(lambda h, k, o, out: lib.mensora_classify_head_tail(
                            h, o["head_share"], out)),
                        {"head_share": (_head_share, 0.4)}, uses_k=False),
    "box_plot": Scheme(library(lambda h, k, o, out: lib.mensora_classify_box_plot(
                           h, o["hinge"], out)),
                       {"hinge": (_hinge, 1.5)}, uses_k=False),
    "max_breaks": plain(lib.mensora_classify_max_breaks),
    "percentiles": Scheme(library(lambda h, k, o, out: lib.mensora_classify_percentile(
                              h, address(o["percents"]), len(o["percents"]), out)),
                          {"percents": (_percents, (0, 1, 10, 50, 90, 99, 100))}, uses_k=False),
    "geometric": plain(lib.mensora_classify_geometric),
}
# How classify names each scheme in messages.
_WHAT = {name: f"mensora.classify({name!r})" for name in SCHEMES}
# The options of the best class count, given only with k="auto".
AUTO_OPTIONS = ("gvf", "k_max")
ALIASES = {"fisher_jenks": "natural_breaks"}


def scheme_named(scheme):
    """(name, Scheme) for a scheme name or alias."""
    name = ALIASES.get(scheme, scheme) if isinstance(scheme, str) else None
    if name not in SCHEMES:
        known = ", ".join(sorted([*SCHEMES, *ALIASES]))
        raise ValueError(f"unknown scheme {scheme!r}; known: {known}")
    return name, SCHEMES[name]


# The converted defaults of each scheme, by (name, auto): the options of
# most calls. The run only reads them.
_DEFAULTS = {}


def scheme_options(name, scheme, options, auto=False):
    """The options of a call, converted, with the defaults filled in.

    The options of the best class count need auto, k="auto". The result is
    only read: the defaults are one shared dict."""
    if not options:
        defaults = _DEFAULTS.get((name, auto))
        if defaults is None:
            defaults = _DEFAULTS[name, auto] = _converted(name, scheme, options, auto)
        return defaults
    return _converted(name, scheme, options, auto)


def _converted(name, scheme, options, auto):
    allowed = set(scheme.options) - (set() if auto else set(AUTO_OPTIONS))
    unknown = sorted(set(options) - allowed)
    if unknown:
        allowed = ", ".join(scheme.options) or "none"
        if unknown[0] in AUTO_OPTIONS and scheme.auto:
            raise TypeError(f"the option {unknown[0]!r} goes with k='auto'")
        raise TypeError(f"scheme {name!r} takes no option {unknown[0]!r} (its options: {allowed})")
    converted = {}
    for option, (convert, default) in scheme.options.items():
        value = options.get(option, default)
        if value is REQUIRED:
            raise TypeError(f"scheme {name!r} needs the option {option!r}")
        converted[option] = convert(value, option)
    return converted


class Classification:
    """The classes of a sample.

    Attributes
    ----------
    scheme : str
        The scheme's name.
    k : int
        The number of classes (for k="auto", the number chosen).
    breaks : numpy.ndarray of float64
        The k + 1 breaks as the library reports them: class s runs from
        ``breaks[s]`` (included) to ``breaks[s + 1]`` (excluded); the last class
        also holds its upper break when closed_last is true.
    bins : numpy.ndarray of float64
        The upper edge of each class, ``breaks[1:]``, excluded from the class
        but for the last when closed_last is true. mapclassify and
        ``numpy.digitize(..., right=True)`` read bins the other way, as
        classes closed above ``(bins[s-1], bins[s]]``: give them
        right_closed_bins instead.
    right_closed_bins : numpy.ndarray of float64
        Upper bounds that give these classes to readers of classes closed
        above: the largest double below each upper edge, the last edge
        itself when closed_last is true. ``numpy.digitize(v, right_closed_bins,
        right=True)`` is the class of any v from ``breaks[0]`` to the last
        break, as in yb.
    counts : numpy.ndarray of int64
        The number of members of each class.
    yb : numpy.ndarray of int32
        The class of every input value, in input order; -1 for a value in no
        class (NaN always).
    closed_last : bool
        Whether the last class also holds its upper break.
    fit : dict of float, or None
        The goodness of fit of the classes, measured over their members:
        ``"sdam"`` and ``"sdcm"``, the squared deviations from the mean of all
        members and from the class means; ``"gvf"``, the goodness of variance
        fit 1 - sdcm / sdam; ``"adcm"``, the absolute deviations from the class
        medians; ``"tai"``, the tabular accuracy index. gvf and tai are 1 when
        the members do not vary and NaN without members. None where it is not
        computed (mensora.dask).
    gvf, adcm : float, or None
        ``fit["gvf"]`` and ``fit["adcm"]`` (None without a fit).
    auto : tuple (k_max, gvf), or None
        For k="auto", the bounds the class count was chosen by.
    n_missing : int
        The number of missing values (NaN, None, pd.NA) left out; their yb is -1.
    """

    def __init__(self, scheme, breaks, counts, yb, closed_last=True, fit=None, auto=None,
                 n_missing=0):
        self.scheme = scheme
        self.breaks = breaks
        self.counts = counts
        self.yb = yb
        self.closed_last = closed_last
        self.fit = fit
        self.auto = auto
        self.n_missing = n_missing

    @property
    def k(self):
        return len(self.counts)

    @property
    def bins(self):
        return self.breaks[1:]

    @property
    def right_closed_bins(self):
        # [a, b) holds the same doubles as (a', b'] with a', b' the doubles
        # just below a and b: exact, with no arithmetic on the breaks.
        bounds = np.nextafter(self.breaks[1:], -np.inf)
        if self.closed_last and len(bounds):
            bounds[-1] = self.breaks[-1]
        return bounds

    @property
    def gvf(self):
        return None if self.fit is None else self.fit["gvf"]

    @property
    def adcm(self):
        return None if self.fit is None else self.fit["adcm"]

    def _sizes(self):
        """(number of values present, number of them in no class) for the class table."""
        size = len(self.yb) - self.n_missing
        return size, int(np.count_nonzero(np.asarray(self.yb) < 0)) - self.n_missing

    def __repr__(self):
        size, outside = self._sizes()
        rows = []
        for s in range(self.k):
            interval = self._label_list(False, False)[s]
            rows.append((str(s), interval, str(int(self.counts[s]))))
        widths = [max(len(r[i]) for r in rows + [("class", "interval", "count")]) for i in range(3)]
        missing = f" ({self.n_missing} missing left out)" if self.n_missing else ""
        lines = [f"{self.scheme}: {self.k} classes of {size} values{missing}"]
        if self.auto is not None:
            k_max, gvf = self.auto
            if self.gvf >= gvf:
                lines.append(f"k='auto': {self.k}, the fewest classes from 2 to {k_max} with "
                             f"GVF >= {gvf:g}")
            else:
                lines.append(f"k='auto': {self.k}, as no count from 2 to {k_max} reaches "
                             f"GVF {gvf:g}")
        lines.append(f"{'class':>{widths[0]}}  {'interval':<{widths[1]}}  {'count':>{widths[2]}}")
        lines += [f"{c:>{widths[0]}}  {i:<{widths[1]}}  {n:>{widths[2]}}" for c, i, n in rows]
        if outside:
            lines.append(f"{outside} value{'s' if outside != 1 else ''} in no class")
        if self.fit is not None:
            lines.append(f"GVF {self.gvf:.6g}, ADCM {self.adcm:.6g}")
        return "\n".join(lines)

    # Set by classify: the closing rule, what the labels read from the members
    # (see Sample.facts), the labels made so far by (interval, thousands),
    # the result whose legend this one shows (classify_pooled), and
    # _rounded(self), which makes this result with round breaks, or _call,
    # the call of classify that made it (see _with_legend).
    _rule = None
    _members = None
    _label_texts = None
    _legend_of = None
    _rounded = None
    _call = None

    @property
    def rule(self):
        """How the last class ends, for the classes of other values
        (find_bin): 0 open, 1 closed, 2 the closing rule of equal_interval,
        start_step and start_count (closed when the largest value lies within
        1e-7 of the last break)."""
        if self._rule is not None:
            return self._rule
        return 1 if self.closed_last else 0

    def _label_list(self, interval, thousands):
        from ._legend import format_labels

        if self._legend_of is not None:
            return self._legend_of._label_list(interval, thousands)
        variant = (bool(interval), bool(thousands))
        if self._label_texts is None:
            self._label_texts = {}
        texts = self._label_texts.get(variant)
        if texts is None:
            # With the members, the closing as it fell out for the sample.
            rule = self.rule if self._members is None else int(self.closed_last)
            texts = format_labels(self.breaks, self.counts, rule, variant,
                                  "Classification.labels", self._members)
            self._label_texts[variant] = texts
        return texts

    def labels(self, interval=False, thousands=False):
        """The legend text of every class, as the library writes it: "lo - hi"
        with the fewest decimals that keep the breaks apart and every member
        on its side ("0 - 9", "10 - 19" for whole numbers; a one-value class
        by its value; "below 9.28" and "74.97 or more" for open outer
        classes; " (empty)" after an empty class). interval: "[lo, hi)"
        instead; thousands: "12,500". The class table shows them.
        """
        return list(self._label_list(interval, thousands))

    def rounded(self):
        """The same classes with round breaks: each break the number with the
        fewest significant digits that leaves the class of every value as it
        is (counts and yb unchanged); what ``round=True`` gives."""
        if self._call is not None:
            return self if self._call[3] else _rounded_again(self, self._call)
        if self._rounded is None:
            raise ValueError("this classification keeps no sample to round its breaks against; "
                             "classify with round=True")
        return self._rounded(self)

    def find_bin(self, x):
        """The class of each value of x under these breaks and closing rule:
        an int32 array (an int for a single number), -1 for a value in no
        class and for a missing one (NaN, None). The values classified give
        yb back (a window of std_mean aside: find_bin does not limit them)."""
        from ._legend import find_classes

        if np.isnan(self.breaks).any():
            raise ValueError("Classification.find_bin: the breaks are NaN, which hold no value")
        scalar = np.ndim(x) == 0
        values = _input.as_values([x] if scalar else x, "x")
        classes = find_classes(self.breaks, self.rule, values, "Classification.find_bin")
        return int(classes[0]) if scalar else classes

    def plot(self, geodataframe, ax=None, cmap="YlGnBu", legend=True, title=None, **kwargs):
        """Draws a choropleth: the rows of `geodataframe` (a geopandas
        GeoDataFrame holding the classified values' rows, in their order) in
        the colours of their classes, light to dark along `cmap`, the values
        in no class (missing ones included) grey, with a legend of the class
        labels and counts. Needs matplotlib and geopandas.

        Further keywords: ``missing_colour``, ``edgecolor``, ``linewidth``,
        ``legend_kwds`` (for ``ax.legend``) and those of GeoDataFrame.plot.
        Returns the matplotlib Axes.
        """
        from ._plot import choropleth

        return choropleth(self, geodataframe, ax, cmap, legend, title, **kwargs)


def classify(y, scheme, k=5, round=False, **options):
    """Divides a sample into classes.

    Parameters
    ----------
    y : array-like of numbers, one-dimensional
        A list, a numpy array of any int or float dtype, a pandas Series.
        A float64 C-contiguous array is used without a copy. NaN, None and
        pd.NA are missing: left out of the classes (yb -1), counted in
        ``n_missing``.
    scheme : str
        ``"equal_interval"``: k classes of equal width from the minimum to the
        maximum. ``"quantiles"``: k classes of about equal counts.
        ``"natural_breaks"`` (alias ``"fisher_jenks"``): the k classes of
        least squared deviation from their means, exact; with ``k="auto"``
        the fewest classes from 2 to ``k_max`` (default 10) whose GVF is at
        least ``gvf`` (default 0.8), or k_max classes when none reaches it.
        ``"std_mean"``: options ``steps`` (default 1) and ``times`` (default
        1.0) give 2 * steps + 2 classes around the mean, each times standard
        deviations wide, the outer two bounded by -/+1.79769313486232e307;
        option ``window=(low, high)`` admits only low <= value <= high (None
        for the data's extreme). ``"start_step"``: classes of width ``step``
        from ``start`` up to ``end`` (default: the maximum).
        ``"start_count"``: k classes of equal width from ``start`` up to
        ``end`` (default: the maximum). ``"user_defined"``: ``bins``, the
        finite ascending upper edges of the classes, and ``lower``, the lower
        edge of the first class (default: the smaller of the smallest finite
        value and the first bin); values outside are in no class.
        ``"pretty"``: about k classes between round numbers (1, 2 or 5 times
        a power of ten) covering the finite values. ``"head_tail"``: split at
        the mean, again and again in the head (the values above it)
        while the head holds less than ``head_share`` (default 0.4) of the
        values split; the breaks are the minimum, the means and the maximum.
        ``"box_plot"``: six classes with the breaks -inf, q1 - h * iqr, q1,
        median, q3, q3 + h * iqr, +inf for ``hinge`` h (default 1.5).
        ``"max_breaks"``: k classes split in the middle of the k - 1 widest
        gaps between distinct values. ``"percentiles"``: breaks at the
        ``percents`` (ascending, 0 to 100; default 0, 1, 10, 50, 90, 99,
        100), values outside them in no class. Quartiles and percentiles
        interpolate linearly between order statistics (numpy's default).
        ``"geometric"``: k classes whose breaks grow by one ratio from the
        minimum to the maximum (NaN aside), which must be above 0 and finite.
    k : int or "auto"
        The number of classes, 1 or more, at most the larger of 2**20 and the
        number of values (not used by std_mean, start_step, user_defined,
        head_tail, box_plot and percentiles, whose options decide it; for
        pretty the number wanted). "auto" for natural_breaks only.

    round : bool
        Round breaks: each break replaced by the number with the fewest
        significant digits that leaves the class of every value unchanged
        (see Classification.rounded). The outer breaks of std_mean stay.

    Returns
    -------
    Classification
        With the goodness of fit of the classes (``.fit``, ``.gvf``) and
        their labels (``.labels()``).

    Raises
    ------
    ValueError, TypeError
        For input that is not a 1-D array-like of numbers, a bad k, an unknown
        scheme or option, or a sample the scheme cannot classify (no values;
        for geometric a minimum of 0 or less or an infinite maximum; for
        pretty no finite value).
    MemoryError
        When the library's working memory cannot be had.

    Notes
    -----
    A class holds the values from its lower break (included) up to its upper
    break (excluded). The last class also holds its upper break: for
    equal_interval, start_step and start_count when the maximum lies within
    the closing tolerance of it (1e-7, or 4 units in the last place of the
    breaks where that is more), and then the values that close above it;
    never for std_mean; always for every other scheme. Breaks that an
    infinity makes NaN are a ValueError. A RuntimeWarning tells of values
    present but in no class, and of classes that hold no value.
    """
    name, entry = scheme_named(scheme)
    what = _WHAT[name]
    found = None if round or options else quick(y, k, entry.function, what, False)
    if found is not None:  # no options: a scheme of the compiled calls takes none
        values, auto = y, False
    else:
        values = _input.as_values(y)
        auto = isinstance(k, str) and k == "auto"
        if auto and not entry.auto:
            raise ValueError(f"k='auto' (the best class count) is for natural_breaks, "
                             f"not {name!r}")
        k = _input.class_count(k, len(values)) if entry.uses_k and not auto else None
        options = scheme_options(name, entry, options, auto)
        if k is not None and not round and id(entry.function) in _native.COMPILED:
            found = classified(values, k, entry.function, what)
        else:
            with Sample(values) as sample:
                found = _classified(entry, sample, k, options, what, round)
    breaks, counts, yb, facts, members = found
    fit, missing, unclassified, empty_classes, rule, closed = facts
    if unclassified or empty_classes:
        warn_notes(unclassified, empty_classes, len(counts), what)
    classes = Classification(name, breaks, counts, yb, closed == 1, fit,
                             (options["k_max"], options["gvf"]) if auto else None, missing)
    return _with_legend(classes, rule, members, (values, scheme, k, round, options))


def warn_notes(unclassified, empty_classes, k, what, stacklevel=3):
    """One warning for values present but in no class, one for empty classes."""
    if unclassified:
        warnings.warn(f"{what}: {unclassified} value{'s' if unclassified != 1 else ''} "
                      f"in no class", RuntimeWarning, stacklevel=stacklevel)
    if empty_classes:
        verb = "holds" if empty_classes == 1 else "hold"
        warnings.warn(f"{what}: {empty_classes} of the {k} classes {verb} no value",
                      RuntimeWarning, stacklevel=stacklevel)


def warn_if_nan(breaks, what, stacklevel=3):
    # The sum of a few breaks, taken in Python, is NaN when one is (or for
    # inf - inf): only then are they looked at one by one.
    total = sum(breaks.tolist()) if len(breaks) <= 64 else math.nan
    if math.isnan(total) and np.isnan(breaks).any():
        warnings.warn(f"{what}: some breaks are NaN, which leaves values out of every class; "
                      "NaN or infinite values in the sample make them so (drop them first)",
                      RuntimeWarning, stacklevel=stacklevel)


def _breaks(y, k, function, what):
    breaks = quick(y, k, function, what, True)
    if breaks is not None:
        return breaks
    values = _input.as_values(y)
    return breaks_of(values, _input.class_count(k, len(values)), function, what)


def _weighted_breaks(y, k, weights, weighted, what):
    values = _input.as_values(y)
    k = _input.class_count(k, len(values))
    weights = _input.as_values(weights, "weights")
    if len(weights) != len(values):
        raise ValueError(f"weights has {len(weights)} entries for {len(values)} values")
    at = address(weights)
    breaks = breaks_of(values, k, lambda v, n, _, k, out: weighted(v, at, n, k, out), what)
    # Values that are all NaN give NaN breaks here (the other calls refuse them).
    warn_if_nan(breaks, what, stacklevel=4)
    return breaks


def natural_breaks(y, k, weights=None):
    """The k + 1 natural breaks of a sample, as ``classify(y, "natural_breaks", k).breaks``.

    With `weights`, value ``y[i]`` stands for ``weights[i]`` observations
    (pre-aggregated data, such as distinct values with their counts): values
    in any order, repeats allowed, NaN values skipped, zero weights absent.
    With whole-number weights the breaks equal those of the sample in which
    every value is repeated weight times, bit for bit. A negative, NaN or
    infinite weight is a ValueError.
    """
    if weights is None:
        return _breaks(y, k, lib.mensora_natural_breaks, "mensora.natural_breaks")
    return _weighted_breaks(y, k, weights, lib.mensora_natural_breaks_weighted,
                            "mensora.natural_breaks")


def quantile_breaks(y, k, weights=None):
    """The k + 1 quantile breaks of a sample, as ``classify(y, "quantiles", k).breaks``.

    `weights` as for natural_breaks.
    """
    if weights is None:
        return _breaks(y, k, lib.mensora_quantile_breaks, "mensora.quantiles")
    return _weighted_breaks(y, k, weights, lib.mensora_quantile_breaks_weighted,
                            "mensora.quantiles")


def _classified(entry, sample, k, options, what, round):
    """Runs a scheme over a Sample, its breaks rounded when asked. Returns
    the breaks, counts, yb, the facts (see plain_facts) and what the labels
    read (see Sample.facts)."""
    result = entry.run(sample, k, options, what)
    std_set = entry.last == "open"
    breaks = round_breaks(sample, std_set, what) if round else result.breaks
    yb, facts, members = sample.facts(std_set, len(result.counts), what)
    return breaks, result.counts, yb, plain_facts(facts), members


def _with_legend(classes, rule, members, call):
    """A Classification with the closing rule of the library, what its
    labels read, and the call that makes it again with round breaks (call:
    the values, scheme, k, round and options as classify hands them to the
    scheme)."""
    # Nothing here refers back to classes: a result is freed with its last
    # reference, not at the next run of the cycle collector.
    classes._rule, classes._members, classes._call = rule, members, call
    return classes


def itself(classes):
    """The rounded() of a result whose breaks are round already."""
    return classes


def _rounded_again(classes, call):
    import copy

    values, scheme, k, _, options = call
    entry = scheme_named(scheme)[1]
    with Sample(values) as sample:
        breaks, _, _, facts, members = _classified(entry, sample, k, options,
                                                   "Classification.rounded", True)
    # The same classes, counts, members and fit: only the breaks change.
    again = copy.copy(classes)
    again.breaks = breaks
    _, _, _, _, rule, closed = facts
    again.closed_last = closed == 1
    again._label_texts = None
    return _with_legend(again, rule, members, (values, scheme, k, True, options))
