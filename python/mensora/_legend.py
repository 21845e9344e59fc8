"""Legends through the library: round breaks, labels and the classes of other
values under given breaks (mensora_round_breaks, mensora_class_labels_text,
mensora_format_labels, mensora_find_classes)."""
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


def legend(sample, std_set, variant, what):
    """(closing rule, labels in the style variant) of the current class result
    of a Sample, its members at hand."""
    rule = c_int32(LAST_CLOSED)
    check(lib.mensora_class_rule(sample.handle, int(std_set), ctypes.byref(rule)), what)
    flags = LABEL_VARIANTS[variant]
    texts = _text(lambda buffer, capacity, needed: lib.mensora_class_labels_text(
        sample.handle, int(std_set), flags, buffer, capacity, needed), what)
    return rule.value, texts


def format_labels(breaks, counts, rule, variant, what):
    """Labels from breaks, counts and a closing rule alone (no member extremes,
    not as whole numbers), for results made without a handle."""
    breaks = np.ascontiguousarray(breaks, dtype=np.float64)
    counts = np.ascontiguousarray(counts, dtype=np.int32)
    return _text(lambda buffer, capacity, needed: lib.mensora_format_labels(
        address(breaks), len(counts), address(counts), None, None, rule, LABEL_VARIANTS[variant],
        buffer, capacity, needed), what)


def find_classes(breaks, rule, values, what):
    """The class of every value (-1: none) under the breaks and a closing rule."""
    breaks = np.ascontiguousarray(breaks, dtype=np.float64)
    classes = np.empty(len(values), dtype=np.int32)
    check(lib.mensora_find_classes(address(breaks), len(breaks), rule, address(values),
                                   len(values), address(classes)), what)
    return classes
