"""Times the plugin's exact natural breaks against QGIS's own Jenks method, as
the Graduated dialog runs them (QgsClassificationMethod.classes on a layer),
on point layers of 10^5 and 10^6 features, and prints the goodness of variance
fit (GVF) of both over every feature (QGIS's Jenks classifies a sample of a
large layer), with the number of features its classes leave out. Not a test: the times depend on the machine.

    scripts/qgis-plugin.sh build-qgis
    /usr/bin/python3 -m zipfile -e build-qgis/mensora_qgis-*.zip build-qgis/installed
    QT_QPA_PLATFORM=offscreen /usr/bin/python3 qgis/figures.py build-qgis/installed [SIZES] [KS]

SIZES and KS are comma-separated (default 100000,1000000 and 3,5,7,9).
"""
import os
import sys
import time

import numpy as np

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
sys.path.insert(0, sys.argv[1] if len(sys.argv) > 1 else "build-qgis/installed")
from qgis.core import (Qgis, QgsApplication, QgsFeature, QgsGeometry, QgsPointXY,  # noqa: E402
                       QgsVectorLayer)

APP = QgsApplication([], False)
APP.initQgis()
import mensora_qgis  # noqa: E402
from mensora_qgis import mensora  # noqa: E402

PLUGIN = mensora_qgis.classFactory(None)
PLUGIN.initProcessing()


def layer_of(values):
    layer = QgsVectorLayer("Point?crs=EPSG:4326&field=v:double", "points", "memory")
    side = int(np.ceil(np.sqrt(values.size)))
    features = []
    for i, v in enumerate(values.tolist()):
        feature = QgsFeature(layer.fields())
        feature.setGeometry(QgsGeometry.fromPointXY(QgsPointXY(i % side, i // side)))
        feature.setAttributes([v])
        features.append(feature)
        if len(features) == 50000:
            layer.dataProvider().addFeatures(features)
            features = []
    layer.dataProvider().addFeatures(features)
    return layer


def fit(values, ranges):
    """(GVF, features in no range) of QGIS's ranges over all values: a value
    takes the first range holding it (bounds included), as
    QgsGraduatedSymbolRenderer does; the GVF is measured over all values, a
    value in no range counting as a class of its own."""
    uppers = np.array([r.upperBound() for r in ranges])
    cls = np.searchsorted(uppers, values, side="left")
    cls[values < ranges[0].lowerBound()] = len(ranges)
    mean = values.mean()
    sdam = ((values - mean) ** 2).sum()
    sdcm = 0.0
    for s in range(len(ranges) + 1):
        members = values[cls == s]
        if members.size:
            sdcm += ((members - members.mean()) ** 2).sum()
    return 1.0 - sdcm / sdam, int(np.count_nonzero(cls == len(ranges)))


def main():
    sizes = [int(x) for x in (sys.argv[2] if len(sys.argv) > 2 else "100000,1000000").split(",")]
    ks = [int(x) for x in (sys.argv[3] if len(sys.argv) > 3 else "3,5,7,9").split(",")]
    registry = QgsApplication.classificationMethodRegistry()
    rng = np.random.default_rng(2026)
    print(f"QGIS {Qgis.QGIS_VERSION}; values lognormal(mean 3, sigma 1), rounded to 0.01")
    print("ours: the dialog's exact natural breaks, reading the layer included; library: the same "
          "breaks from the values in memory")
    print(f"{'features':>9} {'k':>2}  {'ours s':>7} {'library s':>9} {'GVF ours':>9}  {'Jenks s':>8}"
          f" {'GVF Jenks':>9} {'in no class':>11}")
    for n in sizes:
        values = np.round(rng.lognormal(3.0, 1.0, n), 2)
        layer = layer_of(values)
        for k in ks:
            row = []
            for method_id in ("MensoraNaturalBreaks", "Jenks"):
                method = registry.method(method_id)
                start = time.perf_counter()
                ranges = method.classes(layer, "v", k)
                row += [time.perf_counter() - start, *fit(values, ranges)]
            assert row[2] == 0  # the exact method classifies every feature
            start = time.perf_counter()
            mensora.natural_breaks(values, k)
            alone = time.perf_counter() - start
            print(f"{n:>9} {k:>2}  {row[0]:>7.2f} {alone:>9.2f} {row[1]:>9.4f}  {row[3]:>8.2f}"
                  f" {row[4]:>9.4f} {row[5]:>11}", flush=True)


if __name__ == "__main__":
    main()
