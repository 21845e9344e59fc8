"""Legends through the library: round breaks, labels and the classes of other
values under given breaks (mensora_round_breaks, mensora_format_labels,
mensora_find_classes)."""
import ctypes
from ctypes import c_int32

import numpy as np

from ._native import Classes, address, check, lib

# How the last class of a result ends (mensora_class_rule).
LAST_OPEN = 0
LAST_CLOSED = 1
LAST_CLOSING = 2
# The label styles: (interval notation, thousands separator) -> the library's flags.
LABEL_VARIANTS = {(interval, thousands): 1 * interval + 2 * thousands
                  for interval in (False, True) for thousands in (False, True)}
# The values are whole numbers: labels of the whole numbers each class can hold.
LABEL_INTEGER = 4


def _text(write, what):
    """The labels that write(buffer, capacity, needed) -> status puts into a
    buffer, as a list of str."""
    needed = c_int32()
    buffer = ctypes.create_string_buffer(512)
    check(write(buffer, len(buffer), ctypes.byref(needed)), what)
    if needed.value > len(buffer):
        buffer = ctypes.create_string_buffer(needed.value)
        check(write(buffer, len(buffer), ctypes.byref(needed)), what)
    return buffer.value.decode("utf-8").split("\n")


def round_breaks(sample, std_set, what):
    """Rounds the breaks of the current class result of a Sample (the
    standard-deviation classes with std_set) and returns them."""
    out = Classes()
    check(lib.mensora_round_breaks(sample.handle, int(std_set), ctypes.byref(out)), what)
    return np.ctypeslib.as_array(out.breaks, shape=(out.class_count + 1,)).copy()


def format_labels(breaks, counts, rule, variant, what, members=None):
    """Labels from breaks, counts and a closing rule (CLOSING read as
    CLOSED), with the members of each class where known (see Sample.facts;
    then the same text as the library writes for the handle's result, given
    the rule as it fell out), else as from the breaks alone."""
    breaks = np.ascontiguousarray(breaks, dtype=np.float64)
    counts = np.ascontiguousarray(counts, dtype=np.int32)
    flags = LABEL_VARIANTS[variant]
    lowest = highest = None
    if members is not None:
        extremes, whole = members
        lowest = address(extremes)
        highest = lowest + 8 * len(counts)
        flags |= LABEL_INTEGER if whole == 1 else 0
    return _text(lambda buffer, capacity, needed: lib.mensora_format_labels(
        address(breaks), len(counts), address(counts), lowest, highest, rule, flags,
        buffer, capacity, needed), what)


def find_classes(breaks, rule, values, what):
    """The class of every value (-1: none) under the breaks and a closing rule."""
    breaks = np.ascontiguousarray(breaks, dtype=np.float64)
    classes = np.empty(len(values), dtype=np.int32)
    check(lib.mensora_find_classes(address(breaks), len(breaks), rule, address(values),
                                   len(values), address(classes)), what)
    return classes
