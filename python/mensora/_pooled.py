"""One set of breaks over several columns: classify_pooled."""
from collections.abc import Mapping

import numpy as np

from . import _input
from ._classes import Classification, classify, itself


def _columns(frame_or_arrays):
    """(names or None, list of value arrays) of a DataFrame, a mapping, a 2-D
    array (its columns) or a sequence of 1-D array-likes."""
    if hasattr(frame_or_arrays, "columns") and hasattr(frame_or_arrays, "items"):
        names = list(frame_or_arrays.columns)
        columns = [frame_or_arrays[name] for name in names]
    elif isinstance(frame_or_arrays, Mapping):
        names = list(frame_or_arrays)
        columns = list(frame_or_arrays.values())
    elif isinstance(frame_or_arrays, np.ndarray) and frame_or_arrays.ndim == 2:
        names, columns = None, list(frame_or_arrays.T)
    elif isinstance(frame_or_arrays, (str, bytes)) or not hasattr(frame_or_arrays, "__iter__"):
        raise TypeError("classify_pooled takes a DataFrame, a dict of columns or a list of "
                        f"arrays, not {type(frame_or_arrays).__name__}")
    else:
        names, columns = None, list(frame_or_arrays)
    if not columns:
        raise ValueError("classify_pooled needs at least one column")
    labels = names if names is not None else range(len(columns))
    return names, [_input.as_values(c, f"column {n!r}") for n, c in zip(labels, columns)]


def classify_pooled(frame_or_arrays, scheme, k=5, **options):
    """Classifies several columns (years, variables of one unit) with one set
    of breaks, found over all their values together.

    Parameters
    ----------
    frame_or_arrays : pandas.DataFrame, dict of array-likes, 2-D numpy array
        or list of 1-D array-likes
        The columns; they may differ in length.
    scheme, k, **options
        As for classify (``round=True`` included): the breaks are those of
        ``classify(all values, scheme, k, ...)``.

    Returns
    -------
    dict of Classification (by column name, for a DataFrame or a dict) or
    list of Classification (in column order): each with the shared breaks,
    closing rule and labels (one legend for all), and its own ``counts`` and
    ``yb``; ``fit`` is None.
    """
    names, columns = _columns(frame_or_arrays)
    pooled = classify(np.concatenate(columns), scheme, k, **options)
    results = []
    start = 0
    for values in columns:
        yb = pooled.yb[start:start + len(values)]
        start += len(values)
        counts = np.bincount(yb[yb >= 0], minlength=pooled.k).astype(np.int64)
        # One legend for every column: the labels of the pooled classes.
        column = Classification(pooled.scheme, pooled.breaks, counts, yb, pooled.closed_last)
        column._rule = pooled.rule
        column._legend_of = pooled
        if hasattr(pooled, "n_missing"):  # the missing values (NaN) of this column
            column.n_missing = int(np.count_nonzero(np.isnan(values)))
        results.append(column)
    rounded = _rounded(columns, scheme, k, options)
    for i, c in enumerate(results):
        c._rounded = itself if options.get("round") else (lambda _, i=i: rounded()[i])
    return results if names is None else dict(zip(names, results))


def _rounded(columns, scheme, k, options):
    """The pooled classes with round breaks, made once when first asked for."""
    made = []

    def get():
        if not made:
            made.append(classify_pooled(columns, scheme, k, **{**options, "round": True}))
        return made[0]

    return get
