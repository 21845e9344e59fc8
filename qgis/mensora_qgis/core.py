"""Classification for the Processing algorithms, through the plugin's copy of
the Python package, with what the package does not wrap yet: round breaks,
the library's labels and its progress handler."""
import ctypes
from ctypes import CFUNCTYPE, POINTER, c_double, c_int, c_int32, c_void_p

import numpy as np

from .mensora import _classes, _input, _native

LABEL_INTERVAL = 1
PROGRESS = CFUNCTYPE(c_int, c_void_p, c_double)
NO_PROGRESS = PROGRESS()  # a NULL handler

lib = _native.lib
for _name, _result, _arguments in (
        ("mensora_round_breaks", c_int, [c_void_p, c_int32, POINTER(_native.Classes)]),
        ("mensora_class_labels_text", c_int, [c_void_p, c_int32, c_int32, c_void_p, c_int32,
                                              POINTER(c_int32)]),
        ("mensora_set_progress", None, [PROGRESS, c_void_p])):
    getattr(lib, _name).restype = _result
    getattr(lib, _name).argtypes = _arguments


class Cancelled(Exception):
    """The progress handler stopped the classification."""


class Result:
    """A classification: breaks (k + 1), counts, yb (class of every value,
    -1 for none), gvf, closed_last, and the library's labels of the classes:
    labels ("lo - hi") and intervals ("[lo, hi)")."""

    def __init__(self, **fields):
        self.__dict__.update(fields)

    @property
    def k(self):
        return len(self.counts)


def _labels(handle, flags):
    needed = c_int32()
    _native.check(lib.mensora_class_labels_text(handle, 0, flags, None, 0, ctypes.byref(needed)),
                  "mensora: labels")
    buffer = ctypes.create_string_buffer(needed.value)
    _native.check(lib.mensora_class_labels_text(handle, 0, flags, buffer, needed.value,
                                                ctypes.byref(needed)), "mensora: labels")
    return buffer.value.decode("utf-8").split("\n")


def classify(values, scheme, k=5, round_breaks=False, progress=None, **options):
    """Classifies values (float64, none missing) as mensora.classify does.

    round_breaks: each break becomes the roundest number that keeps every
    value in its class. progress(fraction) is called during long work; a true
    return cancels: Cancelled is raised. ValueError for what the library
    refuses."""
    name, entry = _classes.scheme_named(scheme)
    values = _input.as_values(values)
    auto = k == "auto"
    k = _input.class_count(k, len(values)) if entry.uses_k and not auto else None
    options = _classes.scheme_options(name, entry, options, auto)
    cancelled = []

    def poll(_, done):
        if progress(done):
            cancelled.append(True)
            return 1
        return 0

    handler = PROGRESS(poll) if progress else NO_PROGRESS
    with _native.Sample(values) as sample:
        lib.mensora_set_progress(handler, None)
        try:
            found = entry.run(sample, k, options, f"mensora: {name}")
        except ValueError:
            if cancelled:
                raise Cancelled() from None
            raise
        finally:
            lib.mensora_set_progress(NO_PROGRESS, None)
        breaks = found.breaks
        if round_breaks:
            out = _native.Classes()
            _native.check(lib.mensora_round_breaks(sample.handle, 0, ctypes.byref(out)),
                          "mensora: round breaks")
            breaks = np.ctypeslib.as_array(out.breaks, shape=(len(breaks),)).copy()
        yb, facts, _ = sample.facts(entry.last == "open", len(found.counts), f"mensora: {name}")
        labels = _labels(sample.handle, 0)
        intervals = _labels(sample.handle, LABEL_INTERVAL)
    return Result(scheme=name, breaks=breaks, counts=found.counts, yb=yb, gvf=facts.fit.gvf,
                  closed_last=facts.closed == 1, labels=labels, intervals=intervals)
