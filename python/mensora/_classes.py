"""Class breaks: the schemes, the class result and the class of every value."""
import warnings
from typing import Callable, Dict, NamedTuple, Tuple

import numpy as np

from . import _input
from ._native import AUTO_MAX, AUTO_MIN, EQ_TOLERANCE, ERROR_EMPTY, Sample, address, check, lib

REQUIRED = object()


class Scheme(NamedTuple):
    """One way of classifying.

    run(sample, k, options, labels, what) returns (breaks, counts, yb) for a
    Sample; yb may be None when labels is false; what names the call in error
    messages. options maps each option's name to (converter, default), the
    default REQUIRED for options without one; a converter takes (value, name)
    and returns the value the run expects.
    """

    run: Callable
    options: Dict[str, Tuple[Callable, object]]
    uses_k: bool = True
    # How the last class ends: "closed" on its upper break, "open" before it,
    # or "closing": closed when the maximum lies within 1e-7 of it.
    last: str = "closed"


def library(call, count=None):
    """A scheme run by the library: call(handle, k, options, out) -> status.

    count(values, options), for schemes whose options decide the number of
    classes, gives that number, checked before the call.
    """

    def run(sample, k, options, labels, what):
        if count is not None:
            _input.check_class_count(count(sample.values, options), len(sample.values), what)
        return sample.classes(lambda handle, out: call(handle, k, options, out), what, labels)

    return run


def closes_last(last, values, breaks):
    """Whether the last class of a scheme's result holds its upper break.

    For the "closing" schemes the library closes it when the sample's maximum
    lies within 1e-7 of the last break (NaN aside).
    """
    if last != "closing":
        return last == "closed"
    top = np.fmax.reduce(values) if len(values) else np.nan
    with np.errstate(invalid="ignore"):  # inf - inf
        return not abs(top - breaks[-1]) >= EQ_TOLERANCE


def labels_from_breaks(values, breaks, closed_last=True, window=None):
    """The class of every value under the library's closing rules, -1 for none.

    Class s holds the values v with ``breaks[s] <= v < breaks[s + 1]``; with
    `closed_last` (see closes_last) the last class also holds its upper
    break, and values above it by less than 1e-7. NaN is in no class.
    `window`, a pair (low, high), further limits the classes to
    ``low <= v <= high``.

    Parameters
    ----------
    values : numpy.ndarray of float64
    breaks : array-like of float
        k + 1 breaks, ascending (equal neighbours allowed), none NaN.
    closed_last : bool
    window : tuple of two floats, optional

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
            near = np.abs(values - high) < EQ_TOLERANCE
        yb[(values >= breaks[k - 1]) & ((values <= high) | near)] = k - 1
    if window is not None:
        low, high = window
        yb[~((values >= low) & (values <= high))] = -1
    return yb


def _user_defined(sample, k, options, labels, what):
    bins = options["bins"]
    values = sample.values
    if len(values) == 0:
        check(ERROR_EMPTY, what)
    lower = options["lower"]
    if lower is None:
        # NaN only when every value is NaN; a zero minimum is +0 whichever zero came first.
        lower = min(bins[0], np.fmin.reduce(values) + 0.0)
        if np.isnan(lower):
            lower = bins[0]
    elif not lower <= bins[0]:
        raise ValueError(f"lower={lower!r} must be a number at or below the first bin {bins[0]!r}")
    breaks = np.concatenate(([lower], bins))
    yb = labels_from_breaks(values, breaks)
    counts = np.bincount(yb[yb >= 0], minlength=len(bins)).astype(np.int64)
    return breaks, counts, yb


def _bins(value, name):
    try:
        bins = np.array(value, dtype=np.float64, ndmin=1)
    except (TypeError, ValueError):
        raise ValueError(f"{name} must be a list of numbers, not {value!r}") from None
    if bins.ndim != 1 or bins.size == 0 or np.isnan(bins).any() or (np.diff(bins) < 0).any():
        raise ValueError(f"{name} must be the upper edges of the classes, ascending, "
                         f"not {value!r}")
    return bins


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


def _optional_number(value, name):
    return None if value is None else _input.real_number(value, name)


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
    "equal_interval": Scheme(library(lambda h, k, o, out: lib.mensora_classify_equal(h, k, out)),
                             {}, last="closing"),
    "quantiles": Scheme(library(lambda h, k, o, out: lib.mensora_classify_quantile(h, k, out)),
                        {}),
    "natural_breaks": Scheme(library(lambda h, k, o, out: lib.mensora_classify_natural(h, k, out)),
                             {}),
    "std_mean": Scheme(library(_std_mean),
                       {"steps": (_steps, 1), "times": (_input.real_number, 1.0),
                        "window": (_window, None)},
                       uses_k=False, last="open"),
    "start_step": Scheme(library(lambda h, k, o, out: lib.mensora_classify_step(
                             h, o["start"], o["step"], o["end"], out), _step_count),
                         {"start": _START, "step": (_input.real_number, REQUIRED),
                          "end": (_end, None)},
                         uses_k=False, last="closing"),
    "start_count": Scheme(library(lambda h, k, o, out: lib.mensora_classify_count(
                              h, o["start"], k, o["end"], out)),
                          {"start": _START, "end": (_end, None)}, last="closing"),
    # Computed here until the library classifies by given breaks itself.
    "user_defined": Scheme(_user_defined,
                           {"bins": (_bins, REQUIRED), "lower": (_optional_number, None)},
                           uses_k=False),
}
ALIASES = {"fisher_jenks": "natural_breaks"}


def scheme_named(scheme):
    """(name, Scheme) for a scheme name or alias."""
    name = ALIASES.get(scheme, scheme) if isinstance(scheme, str) else None
    if name not in SCHEMES:
        known = ", ".join(sorted([*SCHEMES, *ALIASES]))
        raise ValueError(f"unknown scheme {scheme!r}; known: {known}")
    return name, SCHEMES[name]


def scheme_options(name, scheme, options):
    """The options of a call, converted, with the defaults filled in."""
    unknown = sorted(set(options) - set(scheme.options))
    if unknown:
        allowed = ", ".join(scheme.options) or "none"
        raise TypeError(f"scheme {name!r} takes no option {unknown[0]!r} (its options: {allowed})")
    converted = {}
    for option, (convert, default) in scheme.options.items():
        value = options.get(option, default)
        if value is REQUIRED:
            raise TypeError(f"scheme {name!r} needs the option {option!r}")
        converted[option] = convert(value, option)
    return converted


def _number_text(x):
    text = repr(float(x))
    return text[:-2] if text.endswith(".0") else text


class Classification:
    """The classes of a sample.

    Attributes
    ----------
    scheme : str
        The scheme's name.
    k : int
        The number of classes.
    breaks : numpy.ndarray of float64
        The k + 1 breaks as the library reports them: class s runs from
        ``breaks[s]`` (included) to ``breaks[s + 1]`` (excluded); the last class
        also holds its upper break when closed_last is true.
    bins : numpy.ndarray of float64
        The upper edge of each class, ``breaks[1:]``.
    counts : numpy.ndarray of int64
        The number of members of each class.
    yb : numpy.ndarray of int32
        The class of every input value, in input order; -1 for a value in no
        class (NaN always).
    closed_last : bool
        Whether the last class also holds its upper break.
    """

    def __init__(self, scheme, breaks, counts, yb, closed_last=True):
        self.scheme = scheme
        self.breaks = breaks
        self.counts = counts
        self.yb = yb
        self.closed_last = closed_last

    @property
    def k(self):
        return len(self.counts)

    @property
    def bins(self):
        return self.breaks[1:]

    def _sizes(self):
        """(number of values, number in no class) for the class table."""
        return len(self.yb), int(np.count_nonzero(np.asarray(self.yb) < 0))

    def __repr__(self):
        size, outside = self._sizes()
        rows = []
        for s in range(self.k):
            close = "]" if self.closed_last and s == self.k - 1 else ")"
            interval = f"[{_number_text(self.breaks[s])}, {_number_text(self.breaks[s + 1])}{close}"
            rows.append((str(s), interval, str(int(self.counts[s]))))
        widths = [max(len(r[i]) for r in rows + [("class", "interval", "count")]) for i in range(3)]
        lines = [f"{self.scheme}: {self.k} classes of {size} values",
                 f"{'class':>{widths[0]}}  {'interval':<{widths[1]}}  {'count':>{widths[2]}}"]
        lines += [f"{c:>{widths[0]}}  {i:<{widths[1]}}  {n:>{widths[2]}}" for c, i, n in rows]
        if outside:
            lines.append(f"{outside} value{'s' if outside != 1 else ''} in no class")
        return "\n".join(lines)


def classify(y, scheme, k=5, **options):
    """Divides a sample into classes.

    Parameters
    ----------
    y : array-like of numbers, one-dimensional
        A list, a numpy array of any int or float dtype, a pandas Series.
        A float64 C-contiguous array is used without a copy. NaN is in no
        class.
    scheme : str
        ``"equal_interval"``: k classes of equal width from the minimum to the
        maximum. ``"quantiles"``: k classes of about equal counts.
        ``"natural_breaks"`` (alias ``"fisher_jenks"``): the k classes of
        least squared deviation from their means, exact. ``"std_mean"``:
        options ``steps`` (default 1) and ``times`` (default 1.0) give
        2 * steps + 2 classes around the mean, each times standard deviations
        wide, the outer two bounded by -/+1.79769313486232e307; option
        ``window=(low, high)`` admits only low <= value <= high (None for the
        data's extreme). ``"start_step"``: classes of width ``step`` from
        ``start`` up to ``end`` (default: the maximum). ``"start_count"``: k
        classes of equal width from ``start`` up to ``end`` (default: the
        maximum). ``"user_defined"``: ``bins``, the ascending upper edges of
        the classes, and ``lower``, the lower edge of the first class
        (default: the smaller of the minimum and the first bin).
    k : int
        The number of classes, 1 or more, at most the larger of 2**20 and the
        number of values (not used by std_mean, start_step and user_defined,
        whose options decide it).

    Returns
    -------
    Classification

    Raises
    ------
    ValueError, TypeError
        For input that is not a 1-D array-like of numbers, a bad k, an unknown
        scheme or option, or a sample the scheme cannot classify (no values).
    MemoryError
        When the library's working memory cannot be had.

    Notes
    -----
    A class holds the values from its lower break (included) up to its upper
    break (excluded). The last class also holds its upper break: always for
    quantiles, natural_breaks and user_defined; for equal_interval,
    start_step and start_count when the maximum lies within 1e-7 of it;
    never for std_mean. A NaN in the sample is in no class; the schemes
    other than quantiles and natural_breaks may take it (or an infinity)
    into their breaks, which are then NaN: a RuntimeWarning says so.
    """
    name, spec = scheme_named(scheme)
    values = _input.as_values(y)
    k = _input.class_count(k, len(values)) if spec.uses_k else None
    options = scheme_options(name, spec, options)
    with Sample(values) as sample:
        what = f"mensora.classify({name!r})"
        breaks, counts, yb = spec.run(sample, k, options, True, what)
    warn_if_nan(breaks, what)
    return Classification(name, breaks, counts, yb, closes_last(spec.last, values, breaks))


def warn_if_nan(breaks, what, stacklevel=3):
    if np.isnan(breaks).any():
        warnings.warn(f"{what}: some breaks are NaN, which leaves values out of every class; "
                      "NaN or infinite values in the sample make them so (drop them first)",
                      RuntimeWarning, stacklevel=stacklevel)


def _breaks(y, k, weights, scheme, weighted):
    values = _input.as_values(y)
    k = _input.class_count(k, len(values))
    what = f"mensora.{scheme}"
    if weights is None:
        with Sample(values) as sample:
            breaks = SCHEMES[scheme].run(sample, k, {}, False, what)[0]
    else:
        weights = _input.as_values(weights, "weights")
        if len(weights) != len(values):
            raise ValueError(f"weights has {len(weights)} entries for {len(values)} values")
        breaks = np.empty(k + 1, dtype=np.float64)
        check(weighted(address(values), address(weights), len(values), k, address(breaks)),
              what)
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
    return _breaks(y, k, weights, "natural_breaks", lib.mensora_natural_breaks_weighted)


def quantile_breaks(y, k, weights=None):
    """The k + 1 quantile breaks of a sample, as ``classify(y, "quantiles", k).breaks``.

    `weights` as for natural_breaks.
    """
    return _breaks(y, k, weights, "quantiles", lib.mensora_quantile_breaks_weighted)
