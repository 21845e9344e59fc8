"""QGIS without its GUI, with the plugin installed from its zip.

MENSORA_QGIS_PLUGIN names the folder the zip was unpacked into (it holds
mensora_qgis/); scripts/test-qgis.sh sets it, and MENSORA_QGIS_OUT, where
the rendered map is written."""
import math
import os
import sys
from pathlib import Path

import numpy as np
import pytest

os.environ.setdefault("QT_QPA_PLATFORM", "offscreen")
PLUGINS = os.environ.get("MENSORA_QGIS_PLUGIN")
if not PLUGINS or not (Path(PLUGINS) / "mensora_qgis").is_dir():
    pytest.exit("MENSORA_QGIS_PLUGIN must name the unpacked plugin (scripts/test-qgis.sh)", 2)
sys.path.insert(0, PLUGINS)
sys.path.append("/usr/share/qgis/python/plugins")  # Processing

from qgis.core import (QgsApplication, QgsFeature, QgsGeometry, QgsPointXY,  # noqa: E402
                       QgsVectorLayer)

APP = QgsApplication([], False)
APP.initQgis()

from processing.core.Processing import Processing  # noqa: E402

Processing.initialize()
import mensora_qgis  # noqa: E402

PLUGIN = mensora_qgis.classFactory(None)
PLUGIN.initProcessing()
ROOT = Path(__file__).resolve().parents[2]


def point_layer(values, name="points", field_type="double"):
    """A memory layer of points on a grid, one per value; None is NULL."""
    layer = QgsVectorLayer(f"Point?crs=EPSG:4326&field=v:{field_type}", name, "memory")
    side = max(1, math.ceil(math.sqrt(len(values))))
    features = []
    for i, v in enumerate(values):
        feature = QgsFeature(layer.fields())
        feature.setGeometry(QgsGeometry.fromPointXY(QgsPointXY(i % side, i // side)))
        feature.setAttributes([None if v is None else float(v)])
        features.append(feature)
    assert layer.dataProvider().addFeatures(features)[0]
    return layer


def samples():
    """Named samples: ties, values on the breaks, negative and large ones."""
    rng = np.random.default_rng(25)
    income = np.loadtxt(ROOT / "examples" / "us_states_1977.csv", delimiter=",", skiprows=1,
                        usecols=2)
    return {
        "income": income,
        "lognormal": rng.lognormal(3.0, 1.2, 2000),
        "integers": rng.integers(1, 60, 700).astype(float),
        "normal": rng.normal(-5.0, 30.0, 1500),
        "rates": rng.beta(2.0, 5.0, 800).round(4),
    }


@pytest.fixture(scope="session")
def plugin():
    return mensora_qgis


@pytest.fixture(scope="session")
def out_dir(tmp_path_factory):
    path = os.environ.get("MENSORA_QGIS_OUT")
    return Path(path) if path else tmp_path_factory.mktemp("qgis")
