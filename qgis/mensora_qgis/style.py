"""A graduated renderer of a Mensora classification.

QGIS's ranges are closed at both ends and a feature takes the first range
that holds its value, while a Mensora class holds its lower break and not its
upper one. Each inner break therefore becomes the largest double below it that
a project file keeps (QGIS writes the bounds with 15 decimals), so that every
value lands in the library's class, before and after the project is saved,
but for a value less than 1e-15 under a break of magnitude below 8 (the outer
breaks move out as little where the file would not keep them). The labels
name the breaks. The compiled methods follow the same rule."""
import math

from qgis.core import (QgsGradientColorRamp,
                       QgsGraduatedSymbolRenderer, QgsProcessingLayerPostProcessorInterface,
                       QgsRendererRange, QgsStyle, QgsSymbol)
from qgis.PyQt.QtGui import QColor

from . import native

# Parameters of the dialog's methods, by option of the Python package.
METHOD_PARAMETERS = {"head_share": "HEAD_SHARE", "hinge": "HINGE", "percents": "PERCENTS",
                     "round_breaks": "ROUND_BREAKS"}


def kept_below(b):
    """The largest double under the break b that a project file keeps; where
    the next double down is not kept (|b| < 8), the 15th decimal steps down."""
    d = math.nextafter(b, -math.inf)
    if not d < b:
        return b
    x = float(f"{d:.15f}")
    if x < b:
        return x
    units = math.floor(d * 1e15)  # below 2**53 here
    for _ in range(4):
        x = float(f"{units / 1e15:.15f}")
        if x < b:
            return x
        units -= 1
    return d


def kept_floor(b):
    """b where a project file keeps it, else the largest value under it that it keeps."""
    return b if float(f"{b:.15f}") == b else kept_below(b)


def bounds(breaks, closed_last=True):
    """(lower, upper) of QGIS's range for every class of the breaks."""
    k = len(breaks) - 1
    edges = [kept_floor(float(breaks[0]))] + [kept_below(float(b)) for b in breaks[1:]]
    if closed_last:
        edges[k] = -kept_floor(-float(breaks[k]))
    return [(edges[s], edges[s + 1]) for s in range(k)]


def renderer(field, scheme, result, geometry_type, options=None):
    """A QgsGraduatedSymbolRenderer of `field` with the classes and labels of
    `result` (a core.Result), its method the dialog's one for the scheme where
    the compiled methods are loaded."""
    method = native.method(scheme)
    if method is not None and options:
        method.setParameterValues({METHOD_PARAMETERS[name]: (
            ", ".join(map(str, value)) if name == "percents" else value)
            for name, value in options.items() if name in METHOD_PARAMETERS})
    symbol = QgsSymbol.defaultSymbol(geometry_type)
    ranges = [QgsRendererRange(lower, upper, symbol.clone(), label) for (lower, upper), label
              in zip(bounds(result.breaks, result.closed_last), result.labels)]
    graduated = QgsGraduatedSymbolRenderer(field, ranges)
    if method is not None:
        graduated.setClassificationMethod(method)
    ramp = QgsStyle.defaultStyle().colorRamp("Reds")
    if ramp is None:
        ramp = QgsGradientColorRamp(QColor(255, 245, 240), QColor(103, 0, 13))
    graduated.updateColorRamp(ramp)
    return graduated


class Styler(QgsProcessingLayerPostProcessorInterface):
    """Styles an output layer with the renderer of its classes once it is loaded."""

    def __init__(self, field, scheme, result, options=None):
        super().__init__()
        self.field, self.scheme, self.result, self.options = field, scheme, result, options

    def postProcessLayer(self, layer, context, feedback):  # noqa: N802 (QGIS's name)
        layer.setRenderer(renderer(self.field, self.scheme, self.result, layer.geometryType(),
                                   self.options))
        layer.triggerRepaint()
