"""The native library, loaded with ctypes from the package's own folder.

The most frequent calls (the breaks calls and the range classes with all a
Classification holds) go through the package's compiled module _calls where
it was built, and through ctypes otherwise, with the same results. Both
release the GIL for the length of every call into the library, so long
computations of separate samples run in parallel in threads.
"""
import contextlib
import ctypes
import os
import signal
import threading
from typing import NamedTuple
from ctypes import POINTER, c_char, c_char_p, c_double, c_int, c_int32, c_void_p

import numpy as np

OK = 0
ERROR_ARGUMENT = -1
ERROR_EMPTY = -2
ERROR_MEMORY = -3
# The library's progress handler: (user data, fraction done) -> 0 to go on.
_PROGRESS = ctypes.CFUNCTYPE(c_int, c_void_p, c_double)
# Samples from this size up listen for Ctrl-C during the calls that poll.
_LISTEN_FROM = 1 << 16
# Below it the compiled calls of those take the caller's array straight, where
# they can read it as it is (quick); the others at any length.
_QUICK = _LISTEN_FROM - 1
# The library's calls that poll the progress handler, the natural breaks: only
# they can be stopped, and listening for Ctrl-C (a system call to set the
# handler and one to put it back) is left out around every other call.
_POLLING = ("mensora_classify_natural", "mensora_classify_natural_auto",
            "mensora_natural_breaks", "mensora_natural_breaks_weighted")
ERROR_DATA = -4
ERROR_NO_RESULT = -5

AUTO_MAX = 999.0
AUTO_MIN = -999.0
EQ_TOLERANCE = 1e-7
HUGE_BOUND = 1.79769313486232e307
INT32_MAX = 2**31 - 1
# mensora_sample_open: NaN values are missing, left out of every measure and class.
SKIP_MISSING = 1
# The least limit on the number of classes (mensora_class_limit: the larger of it and n).
MAX_CLASSES = 2**20


class Classes(ctypes.Structure):
    """A class result; its arrays belong to the sample handle."""

    _fields_ = [
        ("class_count", c_int32),
        ("breaks", POINTER(c_double)),
        ("counts", POINTER(c_int32)),
        ("ids", POINTER(c_int32)),
    ]


class Notes(ctypes.Structure):
    """What a class result leaves out: missing values, present values in no
    class, classes without a member."""

    _fields_ = [(name, c_int32) for name in ("missing", "unclassified", "empty_classes")]


class Fit(ctypes.Structure):
    """The goodness of fit of a class result."""

    _fields_ = [(name, c_double) for name in ("sdam", "sdcm", "gvf", "adcm", "tai")]


class Facts(ctypes.Structure):
    """What the library tells of a class result besides its breaks, counts
    and ids (mensora_class_facts)."""

    _fields_ = [("fit", Fit), ("notes", Notes), ("rule", c_int32), ("closed", c_int32),
                ("whole", c_int32)]


_Handle = c_void_p
_Out = POINTER(Classes)
# Every function of the library the package calls: name -> (result, arguments).
# Arrays pass as plain addresses (c_void_p).
_SIGNATURES = {
    "mensora_version": (c_char_p, []),
    "mensora_status_message": (c_char_p, [c_int]),
    "mensora_sample_new": (c_void_p, [c_void_p, c_int32]),
    "mensora_sample_open": (c_int, [c_void_p, c_int32, c_int32, POINTER(c_void_p)]),
    "mensora_sample_missing": (c_int32, [_Handle]),
    "mensora_last_reason": (c_char_p, []),
    "mensora_set_progress": (None, [_PROGRESS, c_void_p]),
    "mensora_class_limit": (c_int32, [c_int32]),
    "mensora_geometric_mean_checked": (c_int, [_Handle, POINTER(c_double)]),
    "mensora_closing_tolerance": (c_double, [c_double, c_double]),
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
    "mensora_round_breaks": (c_int, [_Handle, c_int32, _Out]),
    "mensora_find_classes": (c_int, [c_void_p, c_int32, c_int32, c_void_p, c_int32, c_void_p]),
    "mensora_format_labels": (c_int, [c_void_p, c_int32, c_void_p, c_void_p, c_void_p, c_int32,
                                      c_int32, c_void_p, c_int32, POINTER(c_int32)]),
    "mensora_class_facts": (c_int, [_Handle, c_int32, c_void_p, c_void_p, c_void_p,
                                    POINTER(Facts)]),
    "mensora_natural_breaks": (c_int, [c_void_p, c_int32, c_int32, c_int32, c_void_p]),
    "mensora_quantile_breaks": (c_int, [c_void_p, c_int32, c_int32, c_int32, c_void_p]),
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
# The functions of every call, looked up once.
_sample_open = lib.mensora_sample_open
_sample_free = lib.mensora_sample_free
_class_facts = lib.mensora_class_facts
# The ids of the library's functions that never poll (see _POLLING).
QUIET = {id(getattr(lib, name)) for name in _SIGNATURES if name not in _POLLING}


def _function_address(function):
    return ctypes.cast(function, c_void_p).value


try:
    from . import _calls
except ImportError:  # the Python files alone: everything through ctypes
    _calls = None
    # The id of a library function -> its address, for the calls _calls makes.
    COMPILED = {}
else:
    _calls.bind(*map(_function_address, (_sample_open, _class_facts, _sample_free)))
    COMPILED = {id(function): _function_address(function) for function in (
        lib.mensora_natural_breaks, lib.mensora_quantile_breaks, lib.mensora_classify_equal,
        lib.mensora_classify_quantile, lib.mensora_classify_natural,
        lib.mensora_classify_pretty, lib.mensora_classify_max_breaks,
        lib.mensora_classify_geometric)}

# The id of each function in COMPILED -> its address and the longest sample
# quick hands to the module as it is (see _QUICK).
QUICK = {key: (address, INT32_MAX if key in QUIET else _QUICK)
         for key, address in COMPILED.items()}


def check(status, what):
    """Raises the exception for a failure status of the library."""
    if status == OK:
        return
    # The reason of this thread's failed call (ctypes runs it on this thread);
    # short memory has no other reason.
    reason = lib.mensora_last_reason() if status != ERROR_MEMORY else None
    text = (reason or lib.mensora_status_message(status)).decode("utf-8", "replace")
    message = f"{what}: {text}"
    if status == ERROR_MEMORY:
        raise MemoryError(message)
    raise ValueError(message)


class _Interrupt:
    """Ctrl-C during a long call: Python runs its SIGINT handler only between
    bytecodes of the main thread, so while the library works a handler of
    ours notes the key, and the library's progress handler (Python code,
    during which the note is made) stops the call; KeyboardInterrupt follows
    when the call has returned."""

    def __init__(self):
        self.pressed = False
        self.poll = _PROGRESS(lambda user, done: int(self.pressed))
        self.previous = None

    def note(self, signum, frame):
        self.pressed = True

    def __enter__(self):
        self.previous = signal.signal(signal.SIGINT, self.note)
        lib.mensora_set_progress(self.poll, None)
        return self

    def __exit__(self, *exc):
        lib.mensora_set_progress(_PROGRESS(), None)
        signal.signal(signal.SIGINT, self.previous if self.previous is not None else signal.SIG_DFL)
        if self.pressed:
            raise KeyboardInterrupt


def called(n, function, *arguments, library=None):
    """function(*arguments), a call into the library over n values, under
    listening(n) where Ctrl-C is listened for: unless the call is too short
    or library (by default function), the library's function that does the
    work, never polls."""
    if n < _LISTEN_FROM or id(library or function) in QUIET:
        return function(*arguments)
    with listening(n):
        return function(*arguments)


def listening(n):
    """The context of a call over n values: one that Ctrl-C stops where the
    call is long enough to matter and runs on the main thread (the only one
    Python's signal handlers run on)."""
    if n >= _LISTEN_FROM and threading.current_thread() is threading.main_thread():
        return _Interrupt()
    return contextlib.nullcontext()


def address(array):
    """The address of a numpy array's first element, for a c_void_p argument."""
    try:  # a writable contiguous array: its buffer, faster than array.ctypes
        return ctypes.addressof(c_char.from_buffer(array))
    except (TypeError, ValueError, BufferError):  # read-only, empty or strided
        return array.ctypes.data


# Result arrays up to this length are copied out of the handle through a
# list, which costs less than a numpy view of foreign memory.
_SHORT = 64


def copied(pointer, length, dtype):
    """A numpy copy of length items of a result array of the handle."""
    if length <= _SHORT:
        return np.array(pointer[:length], dtype=dtype)
    return np.ctypeslib.as_array(pointer, shape=(length,)).astype(dtype)


class Sample:
    """A sample handle over a float64 C-contiguous array, freed on exit.

    The handle borrows the array: it is kept referenced here, unchanged, for
    the handle's life.
    """

    def __init__(self, values):
        self.values = values
        self.handle = open_handle(values)

    @property
    def missing(self):
        """The NaN values left out of every measure and class."""
        return lib.mensora_sample_missing(self.handle)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        _sample_free(self.handle)
        self.handle = None

    def classes(self, call, k, options, what):
        """Runs call(handle, k, options, out), a class call, and returns the
        ClassResult copied out of the handle."""
        out = Classes()
        status = called(len(self.values), call, self.handle, k, options, ctypes.byref(out))
        if status != OK:
            check(status, what)
        k = out.class_count
        return ClassResult(copied(out.breaks, k + 1, np.float64), copied(out.counts, k, np.int64))

    def facts(self, std_set, k, what):
        """(yb, facts, members) of the current result of the standard-deviation
        classes (std_set) or the range classes, of k classes: the class of
        every value (-1: none), the library's Facts, and what the labels read:
        the smallest member of each class then the largest of each, in one
        array, and 1 when the values are whole numbers."""
        yb = np.empty(len(self.values), dtype=np.int32)
        extremes = np.empty(2 * k, dtype=np.float64)
        at = address(extremes)
        facts = Facts()
        status = _class_facts(self.handle, std_set, address(yb), at, at + 8 * k,
                              ctypes.byref(facts))
        if status != OK:
            check(status, what)
        return yb, facts, (extremes, facts.whole)


def open_handle(values):
    """A handle over values in which NaN values are missing."""
    handle = c_void_p()
    check(_sample_open(address(values), len(values), SKIP_MISSING, ctypes.byref(handle)),
          "mensora: a sample")
    return handle.value


def breaks_of(values, k, function, what):
    """The k + 1 breaks of function(values, n, flags, k, breaks), one of the
    library's calls that classify without a handle to keep."""
    n = len(values)
    # A k above the library's limit is refused before anything is written.
    size = k + 1 if k <= MAX_CLASSES else min(k, max(MAX_CLASSES, n)) + 1
    compiled = COMPILED.get(id(function))
    if compiled is not None:
        breaks = called(n, _calls.breaks, compiled, values, k, size, INT32_MAX, library=function)
        if type(breaks) is int:  # the library's status
            check(breaks, what)
        return breaks
    breaks = np.empty(size)
    status = called(n, function, address(values), n, SKIP_MISSING, k,
                    ctypes.addressof(c_char.from_buffer(breaks)))
    if status != OK:
        check(status, what)
    return breaks


def quick(y, k, function, what, breaks):
    """The most frequent calls, straight from the caller's arguments: where
    y is a float64 array the compiled module reads as it is (of fewer than
    _LISTEN_FROM values where function polls) and k an int up to
    MAX_CLASSES, breaks_of(y, k, function, what) when breaks is true, else
    classified(y, k, function, what); None for any other call, which takes
    the general path."""
    entry = QUICK.get(id(function))
    if entry is None or type(k) is not int or not 0 < k <= MAX_CLASSES:
        return None
    compiled, longest = entry
    found = (_calls.breaks(compiled, y, k, k + 1, longest) if breaks
             else _calls.classified(compiled, y, k, longest))
    if type(found) is int:  # the library's status
        check(found, what)
    return found


def classified(values, k, function, what):
    """(breaks, counts, yb, facts, members) of the range classes that
    function(handle, k, out), a class call of the library in COMPILED, makes
    over values, through the compiled module: yb and members as Sample.facts
    gives them, facts as plain_facts."""
    result = called(len(values), _calls.classified, COMPILED[id(function)], values, k, INT32_MAX,
                    library=function)
    if type(result) is int:  # the library's status
        check(result, what)
    return result


class ClassResult(NamedTuple):
    """The breaks and counts of a class result, copied out of a handle."""

    breaks: np.ndarray
    counts: np.ndarray


def plain_facts(facts):
    """(fit, missing, unclassified, empty_classes, rule, closed) of Facts:
    the fit as fit_of gives it, the notes, the library's closing rule and
    whether the last class holds its upper break for this sample (1 or 0)."""
    notes = facts.notes
    return (fit_of(facts), notes.missing, notes.unclassified, notes.empty_classes, facts.rule,
            facts.closed)


def fit_of(facts):
    """The goodness of fit of Facts, as a dict."""
    fit = facts.fit
    return {"sdam": fit.sdam, "sdcm": fit.sdcm, "gvf": fit.gvf, "adcm": fit.adcm, "tai": fit.tai}
