"""Mensora: exact descriptive statistics and class breaks.

    import mensora
    c = mensora.classify([1, 2, 3, 4, 5, 6, 7, 8, 9, 10], "natural_breaks", k=3)
    print(c)          # the class table
    c.breaks, c.counts, c.yb

Classes are closed below and open above; the last class also holds its upper
break, as each scheme's rule says (c.closed_last). See help(mensora.classify).
"""
from ._classes import Classification, classify, natural_breaks, quantile_breaks
from ._native import lib as _lib
from ._pooled import classify_pooled
from ._summary import summary

__version__ = _lib.mensora_version().decode("ascii")
__all__ = ["Classification", "classify", "natural_breaks", "quantile_breaks", "summary",
           "schemes", "classify_pooled"]


def schemes():
    """The names of the schemes classify accepts, aliases included."""
    from ._classes import ALIASES, SCHEMES

    return sorted([*SCHEMES, *ALIASES])
