"""The plugin object QGIS loads: the Processing provider and the dialog's methods."""
from qgis.core import QgsApplication

from . import native
from .provider import MensoraProvider


class MensoraPlugin:
    def __init__(self, iface):
        self.iface = iface
        self.provider = None

    def initProcessing(self):  # noqa: N802 (QGIS's name)
        if self.provider is None:
            self.provider = MensoraProvider()
            QgsApplication.processingRegistry().addProvider(self.provider)
        native.register()

    def initGui(self):  # noqa: N802 (QGIS's name)
        self.initProcessing()

    def unload(self):
        # The classification methods stay registered: QGIS has no way to take
        # them out, and layers may use them.
        if self.provider is not None:
            QgsApplication.processingRegistry().removeProvider(self.provider)
            self.provider = None
