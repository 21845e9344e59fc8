"""Mensora for QGIS: exact natural breaks, head/tail, box-plot, maximum-breaks,
percentile and geometric classes in the Graduated symbology dialog, and
Processing algorithms that classify a field."""


def classFactory(iface):  # noqa: N802 (QGIS's name)
    from .plugin import MensoraPlugin

    return MensoraPlugin(iface)
