"""Checks and conversions of the caller's arguments, before any native call."""
import math
import numbers
from collections.abc import Iterator, Mapping, Set
import operator
import warnings

import numpy as np

from ._native import EQ_TOLERANCE, INT32_MAX


_FLOAT64 = np.dtype(np.float64)


def as_values(y, name="y"):
    """The values of a 1-D array-like of numbers as a float64 C-contiguous array.

    A float64 C-contiguous array comes back as it is, without a copy; any
    other input is converted once. Masked and missing entries (numpy masked
    arrays, pandas' nullable types, None and pd.NA) become NaN: missing.
    """
    # The common case first, at the cost of a few attribute reads.
    if (type(y) is np.ndarray and y.dtype is _FLOAT64 and y.ndim == 1 and y.flags.carray
            and y.size <= INT32_MAX):
        return y
    if isinstance(y, (str, bytes)):
        raise TypeError(f"{name} must be a one-dimensional array-like of numbers, not a string")
    if isinstance(y, (Iterator, Set, Mapping)):
        raise TypeError(f"{name} must be a sequence of numbers (a list, a tuple, an array), not "
                        f"{type(y).__name__}: its values have no order or pass only once; "
                        f"give list({name})")
    if getattr(getattr(y, "dtype", None), "kind", None) == "b":
        raise TypeError(f"{name} must hold numbers, not {y.dtype} values")
    if np.ma.isMaskedArray(y):
        y = np.ma.asarray(y, dtype=np.float64).filled(np.nan)
    elif hasattr(y, "to_numpy") and not isinstance(getattr(y, "dtype", None), np.dtype):
        y = _extension_to_numpy(y, name)
    array = np.asarray(y)
    if array.ndim == 0:
        raise ValueError(f"{name} must be a one-dimensional sequence of numbers, not one "
                         f"{type(y).__name__}")
    if array.ndim != 1:
        raise ValueError(f"{name} must be one-dimensional, got an array of shape {array.shape}")
    if array.size > INT32_MAX:
        raise ValueError(f"{name} has {array.size} values; at most {INT32_MAX} can be classified")
    kind = array.dtype.kind
    if kind in "fiu":
        return np.require(array, np.float64, ["C_CONTIGUOUS", "ALIGNED"])
    if kind == "O":
        try:
            return np.asarray([math.nan if _is_missing(v) else v for v in array],
                              dtype=np.float64)
        except (TypeError, ValueError) as error:
            raise TypeError(f"{name} must hold numbers only ({error})") from None
    raise TypeError(f"{name} must hold numbers, not {array.dtype} values")


def _is_missing(value):
    """None and pandas' NA (pd.NA, NaT), without importing pandas."""
    return value is None or type(value).__name__ in ("NAType", "NaTType")


def _extension_to_numpy(y, name):
    """A pandas column of an extension type (nullable Int64, Float64...)."""
    try:
        return y.to_numpy(dtype=np.float64, na_value=np.nan)
    except (TypeError, ValueError) as error:
        raise TypeError(f"{name} must hold numbers, not {y.dtype} values ({error})") from None


def whole_number(value, name, minimum):
    """An int32 argument of at least minimum; a float with a whole value (2.0)
    counts as that integer; other floats, texts and bools are refused."""
    if isinstance(value, (bool, np.bool_)):
        raise ValueError(f"{name} must be a whole number, not {value!r}")
    if isinstance(value, (float, np.floating)) and float(value).is_integer():
        value = int(value)
    try:
        number = operator.index(value)
    except TypeError:
        raise ValueError(f"{name} must be a whole number, not {value!r}") from None
    if not minimum <= number <= INT32_MAX:
        raise ValueError(f"{name} must be a whole number from {minimum} to {INT32_MAX}, "
                         f"not {number}")
    return number


def class_count(k, n):
    """k as a class count: a whole number of 1 or more. The library refuses a
    count above max(2^20, n) before taking any memory, with its reason."""
    if type(k) is int and 1 <= k <= INT32_MAX:
        return k
    return whole_number(k, "k", 1)


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
