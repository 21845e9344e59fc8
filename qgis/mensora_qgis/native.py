"""The compiled classification methods: loaded once, registered in QGIS's
classification method registry. Where they do not load (a QGIS other than
3.22, another platform) the Processing algorithms work alone."""
import ctypes
import os

from qgis.core import Qgis, QgsApplication, QgsMessageLog

LOG_TAG = "Mensora"
MODULE = "libmensora_qgis.so"
# Method ids in the registry, by the scheme of the Python package.
METHOD_IDS = {
    "natural_breaks": "MensoraNaturalBreaks",
    "head_tail": "MensoraHeadTail",
    "box_plot": "MensoraBoxPlot",
    "max_breaks": "MensoraMaxBreaks",
    "percentiles": "MensoraPercentiles",
    "geometric": "MensoraGeometric",
}
BUILT_FOR = 322  # QGIS major and minor version the module is compiled against
_module = None


def register():
    """Loads the module and registers its methods. Returns True when they are
    registered, False (with a message in the log) when the module cannot serve
    this QGIS."""
    global _module
    if _module is not None:
        return True
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), MODULE)
    why = None
    if Qgis.QGIS_VERSION_INT // 100 != BUILT_FOR:
        why = f"it is built for QGIS 3.{BUILT_FOR % 100}, not {Qgis.QGIS_VERSION}"
    elif not os.path.exists(path):
        why = f"{path} is missing (a build for another platform)"
    else:
        # The module finds the library by its name among the loaded ones:
        # the package's copy is loaded first.
        from . import mensora  # noqa: F401
        try:
            module = ctypes.CDLL(path)
            module.mensora_qgis_register.restype = ctypes.c_int
            count = module.mensora_qgis_register()
        except (OSError, AttributeError) as error:
            why = str(error)
        else:
            if count == len(METHOD_IDS):
                _module = module
                return True
            why = f"{count} of {len(METHOD_IDS)} methods could be registered"
    QgsMessageLog.logMessage(
        f"The classification methods of the Graduated dialog are not available: {why}. "
        "The Processing algorithms of Mensora work without them.", LOG_TAG, Qgis.Warning)
    return False


def method(scheme):
    """A new instance of the registered method for a scheme, or None."""
    method_id = METHOD_IDS.get(scheme)
    if _module is None or method_id is None:
        return None
    return QgsApplication.classificationMethodRegistry().method(method_id)
