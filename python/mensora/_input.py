"""Checks and conversions of the caller's arguments, before any native call."""
import math
import numbers
import operator
import warnings

import numpy as np

from ._native import EQ_TOLERANCE, INT32_MAX


_FLOAT64 = np.dtype(np.float64)


def as_values(y, name="y"):
    """The values of a 1-D array-like of numbers as a float64 C-contiguous array.

    A float64 C-contiguous array comes back as it is, without a copy; any
    other input is converted once. Masked and missing entries (numpy masked
    arrays, pandas' nullable types) become NaN, which is in no class.
    """
    # The common case first, at the cost of a few attribute reads.
    if (type(y) is np.ndarray and y.dtype is _FLOAT64 and y.ndim == 1 and y.flags.carray
            and y.size <= INT32_MAX):
        return y
    if isinstance(y, (str, bytes)):
        raise TypeError(f"{name} must be a one-dimensional array-like of numbers, not a string")
    if np.ma.isMaskedArray(y):
        y = np.ma.asarray(y, dtype=np.float64).filled(np.nan)
    elif hasattr(y, "to_numpy") and not isinstance(getattr(y, "dtype", None), np.dtype):
        y = _extension_to_numpy(y, name)
    array = np.asarray(y)
    if array.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, got an array of shape {array.shape}")
    if array.size > INT32_MAX:
        raise ValueError(f"{name} has {array.size} values; at most {INT32_MAX} can be classified")
    kind = array.dtype.kind
    if kind in "fiu":
        return np.require(array, np.float64, ["C_CONTIGUOUS", "ALIGNED"])
    if kind == "O":
        try:
            return np.asarray(array, dtype=np.float64)
        except (TypeError, ValueError) as error:
            raise TypeError(f"{name} must hold numbers only ({error})") from None
    raise TypeError(f"{name} must hold numbers, not {array.dtype} values")


def _extension_to_numpy(y, name):
    """A pandas column of an extension type (nullable Int64, Float64...)."""
    try:
        return y.to_numpy(dtype=np.float64, na_value=np.nan)
    except (TypeError, ValueError) as error:
        raise TypeError(f"{name} must hold numbers, not {y.dtype} values ({error})") from None


def whole_number(value, name, minimum):
    """An int32 argument of at least minimum; floats, texts and bools are refused."""
    if isinstance(value, (bool, np.bool_)):
        raise ValueError(f"{name} must be a whole number, not {value!r}")
    try:
        number = operator.index(value)
    except TypeError:
        raise ValueError(f"{name} must be a whole number, not {value!r}") from None
    if not minimum <= number <= INT32_MAX:
        raise ValueError(f"{name} must be a whole number from {minimum} to {INT32_MAX}, "
                         f"not {number}")
    return number


# More classes than this (or than values, when there are more values) is
# refused: the library would allocate for every class, and an absurd count
# could exhaust the machine's memory instead of failing cleanly.
MAX_CLASSES = 2**20


def class_count(k, n):
    """k as a class count for n values."""
    if type(k) is int and 1 <= k <= MAX_CLASSES:
        return k
    k = whole_number(k, "k", 1)
    check_class_count(k, n, "k")
    return k


def check_class_count(count, n, name):
    """Refuses a finite class count above the limit (the library refuses the rest)."""
    if math.isfinite(count) and count > max(n, MAX_CLASSES):
        raise ValueError(f"{name} gives {count:.15g} classes for {n} values; at most "
                         f"{max(n, MAX_CLASSES)} (the larger of {MAX_CLASSES} and the number "
                         "of values)")


def real_number(value, name):
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Real):
        raise ValueError(f"{name} must be a number, not {value!r}")
    return float(value)


def limit(value, name, sentinel, extreme):
    """A limit that None leaves to the data's extreme (the library's sentinel).

    A given limit within EQ_TOLERANCE of the sentinel, or NaN, means the
    data's extreme to the library as well: a warning says so.
    """
    if value is None:
        return sentinel
    number = real_number(value, name)
    if math.isnan(number) or abs(number - sentinel) < EQ_TOLERANCE:
        warnings.warn(f"{name}={number!r} is read by the library as the data {extreme} "
                      f"(it cannot tell {sentinel:g} from that request)", stacklevel=5)
    return number
