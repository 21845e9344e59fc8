"""The plugin in QGIS: the dialog's methods against the library, the renderer,
the Processing algorithms, a rendered map, and the fallback without the
compiled methods."""
import json
import math
import os
import shutil
import subprocess
import sys

import numpy as np
import processing
import pytest
from conftest import PLUGINS, point_layer, samples
from qgis.core import (QgsApplication, QgsFeature, QgsFeatureRenderer, QgsGeometry,
                       QgsGraduatedSymbolRenderer, QgsMapRendererSequentialJob, QgsMapSettings,
                       QgsProcessingFeedback, QgsProject, QgsReadWriteContext, QgsRectangle,
                       QgsVectorLayer)
from qgis.PyQt.QtCore import QSize
from qgis.PyQt.QtGui import QColor
from qgis.PyQt.QtXml import QDomDocument

from mensora_qgis import core, mensora, style
from mensora_qgis.algorithms import number_text

# (method id, scheme, k, parameters of the method, options of the scheme)
CASES = [
    ("MensoraNaturalBreaks", "natural_breaks", 5, {}, {}),
    ("MensoraNaturalBreaks", "natural_breaks", 9, {}, {}),
    ("MensoraNaturalBreaks", "natural_breaks", 5, {"ROUND_BREAKS": True}, {"round_breaks": True}),
    ("MensoraHeadTail", "head_tail", 5, {}, {"head_share": 0.4}),
    ("MensoraHeadTail", "head_tail", 5, {"HEAD_SHARE": 0.3}, {"head_share": 0.3}),
    ("MensoraBoxPlot", "box_plot", 5, {"HINGE": 3.0}, {"hinge": 3.0}),
    ("MensoraMaxBreaks", "max_breaks", 4, {}, {}),
    ("MensoraPercentiles", "percentiles", 5, {}, {}),
    ("MensoraPercentiles", "percentiles", 5, {"PERCENTS": "5, 50, 95"},
     {"percents": [5, 50, 95]}),
    ("MensoraGeometric", "geometric", 6, {}, {}),
    ("MensoraBoxPlot", "box_plot", 5, {"ROUND_BREAKS": True}, {"hinge": 1.5, "round_breaks": True}),
]
SAMPLES = samples()


def registered(method_id, parameters=None):
    method = QgsApplication.classificationMethodRegistry().method(method_id)
    assert method is not None, method_id
    if parameters:
        method.setParameterValues(parameters)
    return method


def check_bounds(bounds, breaks):
    """QGIS's (lower, upper) bounds of classes carry the library's breaks: the
    classes meet, the first starts on the first break, the last ends on the
    last, and an inner break is handed over as the largest double under it
    that a project file keeps: the next double down where the break's
    magnitude is 8 or more (so the breaks come back bit for bit), less than
    about 1e-15 under it otherwise."""
    lows = [low for low, _ in bounds]
    highs = [high for _, high in bounds]
    assert lows[1:] == highs[:-1]
    for outer, b in ((lows[0], breaks[0]), (-highs[-1], -breaks[-1])):
        assert outer == b if float(f"{b:.15f}") == b else 0 < b - outer < 2e-15
    for high, b in zip(highs[:-1], breaks[1:-1]):
        assert high < b and float(f"{high:.15f}") == high
        if abs(b) >= 8:
            assert math.nextafter(high, math.inf) == b
        else:
            assert b - high < 2e-15


def library(values, scheme, k, options):
    """The classes of the library through the plugin's Python side, or None
    where the library refuses the sample."""
    try:
        return core.classify(values, scheme, k, **options)
    except ValueError:
        return None


@pytest.mark.parametrize("method_id,scheme,k,parameters,options", CASES)
@pytest.mark.parametrize("sample", sorted(SAMPLES))
def test_dialog_methods_give_the_librarys_breaks(method_id, scheme, k, parameters, options,
                                                 sample):
    values = SAMPLES[sample]
    layer = point_layer(values)
    method = registered(method_id, parameters)
    ranges = [(r.lowerBound(), r.upperBound()) for r in method.classes(layer, "v", k)]
    expected = library(values, scheme, k, options)
    if expected is None:  # geometric classes of values not all above 0
        assert ranges == []
        return
    check_bounds(ranges, expected.breaks.tolist())
    assert ranges == style.bounds(expected.breaks)  # the rule of the Processing styler
    # The graduated renderer puts every feature into the library's class, and
    # still does after a round trip through a project file.
    renderer = QgsGraduatedSymbolRenderer("v")
    renderer.setClassificationMethod(method.clone())
    renderer.updateClasses(layer, k)
    document = QDomDocument()
    loaded = QgsFeatureRenderer.load(renderer.save(document, QgsReadWriteContext()),
                                     QgsReadWriteContext())
    assert loaded.classificationMethod().id() == method_id
    assert loaded.classificationMethod().parameterValues() == method.parameterValues()
    assert [r.label() for r in loaded.ranges()] == [r.label() for r in renderer.ranges()]
    for graduated in (renderer, loaded):
        bounds = [(r.lowerValue(), r.upperValue()) for r in graduated.ranges()]
        assert bounds == ranges
        classes = []
        for feature in layer.getFeatures():
            found = graduated.rangeForValue(feature["v"])
            classes.append(-1 if found is None else bounds.index(
                (found.lowerValue(), found.upperValue())))
        assert classes == expected.yb.tolist()


def test_labels_show_the_librarys_breaks():
    method = registered("MensoraNaturalBreaks")
    method.setLabelPrecision(15)
    values = [1.0, 2, 3, 10, 11, 12, 30, 31, 40]
    labels = [r.label() for r in method.classes(values, 3)]
    assert labels == ["1 - 10", "10 - 30", "30 - 40"]
    labels = [r.label() for r in registered("MensoraBoxPlot").classes(values + [90.0], 6)]
    assert labels[0].startswith("below ") and labels[-1].endswith(" or more")


def test_refused_samples_give_no_classes_and_a_logged_reason():
    messages = []
    QgsApplication.messageLog().messageReceived.connect(
        lambda text, tag, level: messages.append((tag, text)))
    assert registered("MensoraGeometric").classes([-1.0, 2.0, 3.0], 2) == []
    assert registered("MensoraPercentiles", {"PERCENTS": "50, x"}).classes([1.0, 2.0], 2) == []
    QgsApplication.processEvents()
    texts = [text for tag, text in messages if tag == "Mensora"]
    assert any("above 0" in text for text in texts)
    assert any("percentiles" in text for text in texts)


def with_missing():
    """Values of a field with NULL and NaN among them, and the values present."""
    rng = np.random.default_rng(7)
    values = [float(v) for v in rng.gamma(2.0, 10.0, 300).round(1)]
    for i in (0, 17, 150):
        values[i] = None
    values[40] = math.nan
    present = np.array([v for v in values if v is not None and not math.isnan(v)])
    return values, present


def attribute_values(layer, name):
    out = []
    for feature in layer.getFeatures():
        value = feature[name]
        out.append(None if value is None or (hasattr(value, "isNull") and value.isNull())
                   else value)
    return out


class TestProcessing:
    def test_classify_writes_the_class_of_every_feature(self):
        values, present = with_missing()
        result = processing.run("mensora:classifyfield", {
            "INPUT": point_layer(values), "FIELD": "v", "METHOD": 0, "CLASSES": 4,
            "OUTPUT": "memory:"})
        expected = mensora.classify(present, "natural_breaks", 4)
        classes = iter(expected.yb.tolist())
        wanted = [None if v is None or math.isnan(v) else next(classes) + 1 for v in values]
        layer = result["OUTPUT"]
        assert layer.fields().names() == ["v", "class"]
        assert attribute_values(layer, "class") == wanted
        assert result["CLASS_COUNT"] == 4
        assert result["GVF_RESULT"] == expected.gvf
        assert [float(b) for b in result["BREAKS"].split(", ")] == expected.breaks.tolist()
        assert all(f.hasGeometry() for f in layer.getFeatures())

    def test_auto_class_count_and_options_of_the_methods(self):
        values, present = with_missing()
        result = processing.run("mensora:classifyfield", {
            "INPUT": point_layer(values), "FIELD": "v", "METHOD": 0, "CLASSES": 0,
            "GVF": 0.9, "MAX_CLASSES": 8, "CLASS_FIELD": "cls", "OUTPUT": "memory:"})
        expected = mensora.classify(present, "natural_breaks", "auto", gvf=0.9, k_max=8)
        assert result["CLASS_COUNT"] == expected.k
        assert max(v for v in attribute_values(result["OUTPUT"], "cls") if v) == expected.k
        result = processing.run("mensora:classbreaks", {
            "INPUT": point_layer(values), "FIELD": "v", "METHOD": 4,
            "PERCENTS": "10, 50, 90", "OUTPUT": "memory:"})
        expected = mensora.classify(present, "percentiles", percents=[10, 50, 90])
        assert result["BREAKS"] == ", ".join(repr(b) for b in expected.breaks)

    def test_round_breaks_keep_every_feature_in_its_class(self):
        values, present = with_missing()
        runs = [processing.run("mensora:classifyfield", {
            "INPUT": point_layer(values), "FIELD": "v", "METHOD": 0, "CLASSES": 5,
            "ROUND": rounded, "OUTPUT": "memory:"}) for rounded in (False, True)]
        assert (attribute_values(runs[0]["OUTPUT"], "class") ==
                attribute_values(runs[1]["OUTPUT"], "class"))
        rounded = core.classify(present, "natural_breaks", 5, round_breaks=True).breaks
        assert runs[1]["BREAKS"] == ", ".join(number_text(b) for b in rounded)
        assert len(runs[1]["BREAKS"]) < len(runs[0]["BREAKS"])

    def test_cancel_during_the_classification(self):
        class CancelWhileClassifying(QgsProcessingFeedback):
            """Cancels once progress is past the reading of the values."""
            seen = []

            def setProgress(self, progress):  # noqa: N802 (QGIS's name)
                self.seen.append(progress)
                if progress > 30:
                    self.cancel()
                super().setProgress(progress)

        feedback = CancelWhileClassifying()
        values = np.random.default_rng(3).lognormal(0, 1, 3000)
        result = processing.run("mensora:classifyfield", {
            "INPUT": point_layer(values), "FIELD": "v", "OUTPUT": "memory:"}, feedback=feedback)
        assert "CLASS_COUNT" not in result
        assert max(feedback.seen) < 60  # the writing of the features never began

    def test_class_breaks_table(self):
        values, present = with_missing()
        result = processing.run("mensora:classbreaks", {
            "INPUT": point_layer(values), "FIELD": "v", "METHOD": 1, "OUTPUT": "memory:"})
        expected = mensora.classify(present, "head_tail")
        rows = [f.attributes() for f in result["OUTPUT"].getFeatures()]
        k = expected.k
        assert [r[0] for r in rows] == list(range(1, k + 1))
        assert [r[1] for r in rows] == expected.breaks[:-1].tolist()
        assert [r[2] for r in rows] == expected.breaks[1:].tolist()
        assert [r[3] for r in rows] == expected.counts.tolist()
        assert sum(r[3] for r in rows) == len(present)
        assert [r[4] for r in rows] == core.classify(present, "head_tail").intervals
        assert rows[-1][4].endswith("]")
        assert {r[5] for r in rows} == {expected.gvf} == {result["GVF_RESULT"]}

    def test_refusals_and_cancel(self):
        layer = point_layer([-1.0, 2.0, 3.0, 4.0])
        with pytest.raises(Exception, match="geometric|minimum|above"):
            processing.run("mensora:classbreaks", {
                "INPUT": layer, "FIELD": "v", "METHOD": 5, "OUTPUT": "memory:"})
        with pytest.raises(Exception, match="natural breaks only"):
            processing.run("mensora:classbreaks", {
                "INPUT": layer, "FIELD": "v", "METHOD": 3, "CLASSES": 0, "OUTPUT": "memory:"})
        with pytest.raises(Exception, match="already has a field"):
            processing.run("mensora:classifyfield", {
                "INPUT": layer, "FIELD": "v", "CLASS_FIELD": "v", "OUTPUT": "memory:"})
        feedback = QgsProcessingFeedback()
        feedback.cancel()
        result = processing.run("mensora:classifyfield", {
            "INPUT": layer, "FIELD": "v", "OUTPUT": "memory:"}, feedback=feedback)
        assert "CLASS_COUNT" not in result


def grid_layer(values, side):
    """Square polygons on a side x side grid, one per value."""
    layer = QgsVectorLayer("Polygon?crs=EPSG:3857&field=v:double", "grid", "memory")
    features = []
    for i, v in enumerate(values):
        x, y = i % side, i // side
        feature = QgsFeature(layer.fields())
        feature.setGeometry(QgsGeometry.fromRect(QgsRectangle(x, y, x + 1, y + 1)))
        feature.setAttributes([float(v)])
        features.append(feature)
    layer.dataProvider().addFeatures(features)
    return layer


def test_styled_output_renders_to_png(out_dir):
    side = 30
    x, y = np.meshgrid(np.arange(side), np.arange(side))
    values = np.exp(-((x - 8.0) ** 2 + (y - 20.0) ** 2) / 60.0) * 100 + x * 1.5 + y
    project = QgsProject.instance()
    result = processing.runAndLoadResults("mensora:classifyfield", {
        "INPUT": grid_layer(values.ravel(), side), "FIELD": "v", "METHOD": 0, "CLASSES": 6,
        "OUTPUT": "memory:"})
    layer = project.mapLayer(result["OUTPUT"])
    renderer = layer.renderer()
    assert renderer.type() == "graduatedSymbol"
    assert renderer.classificationMethod().id() == "MensoraNaturalBreaks"
    expected = mensora.classify(values.ravel(), "natural_breaks", 6)
    bounds = [(r.lowerValue(), r.upperValue()) for r in renderer.ranges()]
    check_bounds(bounds, expected.breaks.tolist())

    settings = QgsMapSettings()
    settings.setLayers([layer])
    settings.setExtent(layer.extent())
    settings.setOutputSize(QSize(360, 360))
    settings.setBackgroundColor(QColor("white"))
    job = QgsMapRendererSequentialJob(settings)
    job.start()
    job.waitForFinished()
    image = job.renderedImage()
    path = out_dir / "natural_breaks_map.png"
    assert image.save(str(path), "PNG")
    # Every class's colour is on the map, in about its share of the cells.
    pixels = [image.pixelColor(px, py).name() for px in range(4, 360, 12)
              for py in range(4, 360, 12)]
    colors = [r.symbol().color().name() for r in renderer.ranges()]
    shares = [pixels.count(c) / len(pixels) for c in colors]
    assert all(share > 0 for share in shares)
    assert np.allclose(shares, expected.counts / values.size, atol=0.08)


FALLBACK = """
import json, os, sys
sys.path.insert(0, sys.argv[1]); sys.path.append("/usr/share/qgis/python/plugins")
from qgis.core import QgsApplication, QgsVectorLayer, QgsFeature
app = QgsApplication([], False); app.initQgis()
log = []
QgsApplication.messageLog().messageReceived.connect(lambda t, tag, l: log.append([tag, t]))
from processing.core.Processing import Processing
Processing.initialize()
import processing, mensora_qgis
plugin = mensora_qgis.classFactory(None)
plugin.initProcessing()
layer = QgsVectorLayer("None?field=v:double", "t", "memory")
for v in (1.0, 2.0, 8.0, 9.0):
    f = QgsFeature(layer.fields()); f.setAttributes([v]); layer.dataProvider().addFeature(f)
out = processing.run("mensora:classifyfield", {"INPUT": layer, "FIELD": "v", "CLASSES": 2,
                                               "OUTPUT": "memory:"})
QgsApplication.processEvents()
print(json.dumps({"log": log, "classes": [f["class"] for f in out["OUTPUT"].getFeatures()],
                  "methods": list(QgsApplication.classificationMethodRegistry().methodNames().values())}))
"""


def test_without_the_compiled_methods_processing_works_alone(tmp_path):
    shutil.copytree(os.path.join(PLUGINS, "mensora_qgis"), tmp_path / "mensora_qgis")
    (tmp_path / "mensora_qgis" / "libmensora_qgis.so").unlink()
    done = subprocess.run([sys.executable, "-c", FALLBACK, str(tmp_path)], capture_output=True,
                          text=True, timeout=300, env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    assert done.returncode == 0, done.stderr
    report = json.loads(done.stdout.strip().splitlines()[-1])
    assert report["classes"] == [1, 1, 2, 2]
    assert not any(m.startswith("Mensora") for m in report["methods"])
    assert any(tag == "Mensora" and "not available" in text for tag, text in report["log"])
