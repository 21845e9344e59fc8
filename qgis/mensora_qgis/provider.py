"""The Processing provider of Mensora."""
from qgis.core import QgsProcessingProvider

from .algorithms import ClassBreaks, ClassifyField


class MensoraProvider(QgsProcessingProvider):
    def id(self):
        return "mensora"

    def name(self):
        return "Mensora"

    def longName(self):  # noqa: N802 (QGIS's name)
        from .mensora import __version__

        return f"Mensora {__version__}"

    def loadAlgorithms(self):  # noqa: N802 (QGIS's name)
        self.addAlgorithm(ClassifyField())
        self.addAlgorithm(ClassBreaks())
