"""The native library, loaded with ctypes from the package's own folder.

ctypes releases the GIL for the length of every foreign call, so long
computations of separate samples run in parallel in threads.
"""
import ctypes
import os
from typing import Dict, NamedTuple, Optional
from ctypes import POINTER, c_char_p, c_double, c_int, c_int32, c_void_p

import numpy as np

OK = 0
ERROR_ARGUMENT = -1
ERROR_EMPTY = -2
ERROR_MEMORY = -3
ERROR_DATA = -4
ERROR_NO_RESULT = -5

AUTO_MAX = 999.0
AUTO_MIN = -999.0
EQ_TOLERANCE = 1e-7
HUGE_BOUND = 1.79769313486232e307
INT32_MAX = 2**31 - 1


class Classes(ctypes.Structure):
    """A class result; its arrays belong to the sample handle."""

    _fields_ = [
        ("class_count", c_int32),
        ("breaks", POINTER(c_double)),
        ("counts", POINTER(c_int32)),
        ("ids", POINTER(c_int32)),
    ]


class Fit(ctypes.Structure):
    """The goodness of fit of a class result."""

    _fields_ = [(name, c_double) for name in ("sdam", "sdcm", "gvf", "adcm", "tai")]


_Handle = c_void_p
_Out = POINTER(Classes)
# Every function of the library the package calls: name -> (result, arguments).
# Arrays pass as plain addresses (c_void_p).
_SIGNATURES = {
    "mensora_version": (c_char_p, []),
    "mensora_status_message": (c_char_p, [c_int]),
    "mensora_sample_new": (c_void_p, [c_void_p, c_int32]),
    "mensora_sample_free": (None, [_Handle]),
    "mensora_mean": (c_double, [_Handle]),
    "mensora_frequency_mean": (c_double, [_Handle]),
    "mensora_geometric_mean": (c_double, [_Handle]),
    "mensora_mode": (c_double, [_Handle]),
    "mensora_median": (c_double, [_Handle]),
    "mensora_range": (c_double, [_Handle]),
    "mensora_extremes": (c_int, [_Handle, POINTER(c_double), POINTER(c_double)]),
    "mensora_mean_abs_deviation": (c_double, [_Handle]),
    "mensora_sum_of_squares": (c_double, [_Handle]),
    "mensora_variance": (c_double, [_Handle]),
    "mensora_root_variance": (c_double, [_Handle]),
    "mensora_std_deviation": (c_double, [_Handle]),
    "mensora_variation_coefficient": (c_double, [_Handle]),
    "mensora_skewness": (c_double, [_Handle]),
    "mensora_kurtosis": (c_double, [_Handle]),
    "mensora_classify_equal": (c_int, [_Handle, c_int32, _Out]),
    "mensora_classify_step": (c_int, [_Handle, c_double, c_double, c_double, _Out]),
    "mensora_classify_count": (c_int, [_Handle, c_double, c_int32, c_double, _Out]),
    "mensora_classify_quantile": (c_int, [_Handle, c_int32, _Out]),
    "mensora_classify_natural": (c_int, [_Handle, c_int32, _Out]),
    "mensora_classify_stddev": (c_int, [_Handle, c_int32, c_double, _Out]),
    "mensora_classify_stddev_window": (c_int, [_Handle, c_int32, c_double, c_double, c_double,
                                               _Out]),
    "mensora_classify_breaks": (c_int, [_Handle, c_void_p, c_int32, _Out]),
    "mensora_classify_pretty": (c_int, [_Handle, c_int32, _Out]),
    "mensora_classify_head_tail": (c_int, [_Handle, c_double, _Out]),
    "mensora_classify_box_plot": (c_int, [_Handle, c_double, _Out]),
    "mensora_classify_max_breaks": (c_int, [_Handle, c_int32, _Out]),
    "mensora_classify_percentile": (c_int, [_Handle, c_void_p, c_int32, _Out]),
    "mensora_classify_geometric": (c_int, [_Handle, c_int32, _Out]),
    "mensora_classify_natural_auto": (c_int, [_Handle, c_int32, c_double, _Out]),
    "mensora_class_fit": (c_int, [_Handle, c_int32, POINTER(Fit)]),
    "mensora_class_labels": (c_int, [_Out, c_int32, c_void_p]),
    "mensora_natural_breaks_weighted": (c_int, [c_void_p, c_void_p, c_int32, c_int32, c_void_p]),
    "mensora_quantile_breaks_weighted": (c_int, [c_void_p, c_void_p, c_int32, c_int32, c_void_p]),
}
LIBRARY_NAMES = ("libMensora.so", "libMensora.dylib", "Mensora.dll")


def _load():
    here = os.path.dirname(os.path.abspath(__file__))
    for name in LIBRARY_NAMES:
        path = os.path.join(here, name)
        if os.path.exists(path):
            lib = ctypes.CDLL(path)
            break
    else:
        raise ImportError(f"mensora: the native library is missing from {here}; "
                          "install the package with pip, which builds it")
    for name, (result, arguments) in _SIGNATURES.items():
        try:
            function = getattr(lib, name)
        except AttributeError:
            raise ImportError(f"mensora: {path} has no function {name}; "
                              "reinstall the package from a matching checkout") from None
        function.restype = result
        function.argtypes = arguments
    return lib


lib = _load()


def check(status, what):
    """Raises the exception for a failure status of the library."""
    if status == OK:
        return
    text = lib.mensora_status_message(status).decode("utf-8", "replace")
    message = f"{what}: {text}"
    if status == ERROR_MEMORY:
        raise MemoryError(message)
    raise ValueError(message)


def address(array):
    """The address of a numpy array's first element, for a c_void_p argument."""
    return array.ctypes.data


class Sample:
    """A sample handle over a float64 C-contiguous array, freed on exit.

    The handle borrows the array: it is kept referenced here, unchanged, for
    the handle's life.
    """

    def __init__(self, values):
        self.values = values
        self.handle = lib.mensora_sample_new(address(values), len(values))
        if not self.handle:
            raise MemoryError("mensora: no memory for a sample")

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        lib.mensora_sample_free(self.handle)
        self.handle = None

    def classes(self, call, what, labels=True, std_set=False):
        """Runs call(handle, out) and copies the class result out of the handle.

        Returns a ClassResult; its yb, the class of every value from the
        library's member lists, and its fit are None unless labels is true.
        std_set tells that the call writes the standard-deviation classes,
        whose fit is then measured.
        """
        out = Classes()
        check(call(self.handle, ctypes.byref(out)), what)
        k = out.class_count
        breaks = np.ctypeslib.as_array(out.breaks, shape=(k + 1,)).copy()
        counts = np.ctypeslib.as_array(out.counts, shape=(k,)).astype(np.int64)
        yb = None
        if labels:
            yb = np.empty(len(self.values), dtype=np.int32)
            check(lib.mensora_class_labels(ctypes.byref(out), len(yb), address(yb)), what)
        fit = None
        if labels:
            measured = Fit()
            check(lib.mensora_class_fit(self.handle, int(std_set), ctypes.byref(measured)), what)
            fit = {name: getattr(measured, name) for name, _ in Fit._fields_}
        return ClassResult(breaks, counts, yb, fit, self.maximum())

    def maximum(self):
        """The last entry of the library's sorted view: the largest value, or
        NaN where the view ends in a NaN, as it can when the sample does."""
        low, high = c_double(), c_double()
        check(lib.mensora_extremes(self.handle, ctypes.byref(low), ctypes.byref(high)),
              "mensora: the extremes")
        return high.value


class ClassResult(NamedTuple):
    """A class result copied out of a handle.

    fit maps sdam, sdcm, gvf, adcm and tai to the goodness of fit of the
    classes (or is None); top is the last entry of the library's sorted view, which its
    closing rule reads.
    """

    breaks: np.ndarray
    counts: np.ndarray
    yb: Optional[np.ndarray]
    fit: Dict[str, float]
    top: float
