"""Processing algorithms: "Classify a field" and "Class breaks of a field".

A NULL or NaN attribute is a missing value: it takes no part in the breaks and
its feature is in no class (a NULL class).
"""
import math

import numpy as np
from qgis.core import (QgsFeature, QgsFeatureRequest, QgsFeatureSink, QgsField, QgsFields,
                       QgsProcessing, QgsProcessingAlgorithm, QgsProcessingException,
                       QgsProcessingOutputNumber, QgsProcessingOutputString,
                       QgsProcessingParameterBoolean, QgsProcessingParameterDefinition,
                       QgsProcessingParameterEnum, QgsProcessingParameterFeatureSink,
                       QgsProcessingParameterFeatureSource, QgsProcessingParameterField,
                       QgsProcessingParameterNumber, QgsProcessingParameterString, QgsWkbTypes)
from qgis.PyQt.QtCore import QCoreApplication, QVariant

from . import core, style

# (scheme of the Python package, name shown); the index is the METHOD value.
METHODS = [
    ("natural_breaks", "Natural breaks (exact)"),
    ("head_tail", "Head/tail breaks"),
    ("box_plot", "Box plot"),
    ("max_breaks", "Maximum breaks"),
    ("percentiles", "Percentiles"),
    ("geometric", "Geometric interval"),
    ("quantiles", "Quantiles"),
    ("equal_interval", "Equal interval"),
    ("pretty", "Pretty breaks"),
]
# Schemes whose options, not the class count, give the number of classes.
NO_CLASS_COUNT = {"head_tail", "box_plot", "percentiles"}


def tr(text):
    return QCoreApplication.translate("Mensora", text)


def number_text(x):
    text = repr(float(x))
    return text[:-2] if text.endswith(".0") else text


def read_values(source, field, feedback, share=1.0):
    """(feature ids, values) of a numeric field, NaN for NULL. Progress runs
    from 0 to `share` * 100; None when cancelled."""
    index = source.fields().lookupField(field)
    if index < 0:
        raise QgsProcessingException(tr(f"The layer has no field {field!r}"))
    request = QgsFeatureRequest().setFlags(QgsFeatureRequest.NoGeometry)
    request.setSubsetOfAttributes([index])
    total = max(source.featureCount(), 1)
    ids, values = [], []
    for n, feature in enumerate(source.getFeatures(request)):
        if n % 4096 == 0:
            if feedback.isCanceled():
                return None
            feedback.setProgress(100.0 * share * n / total)
        ids.append(feature.id())
        try:
            values.append(float(feature.attribute(index)))
        except (TypeError, ValueError):  # NULL
            values.append(math.nan)
    return ids, np.array(values, dtype=np.float64)


class Classes:
    """The classes of a field's values: the core.Result of the values that are
    present, and the class (0-based, -1 for none) of every value. Progress
    runs from `start` to `end` percent."""

    def __init__(self, values, scheme, k, options, feedback, start, end):
        present = ~np.isnan(values)
        self.missing = int(values.size - np.count_nonzero(present))

        def progress(done):  # the library's long loops call this
            feedback.setProgress(start + (end - start) * done)
            return feedback.isCanceled()

        try:
            self.result = core.classify(values[present], scheme, k, progress=progress, **options)
        except (ValueError, TypeError, MemoryError) as error:
            raise QgsProcessingException(str(error)) from None
        self.yb = np.full(values.size, -1, dtype=np.int32)
        self.yb[present] = self.result.yb


class _Base(QgsProcessingAlgorithm):
    """The parameters both algorithms share and the classification of the field."""

    def group(self):
        return tr("Classes")

    def groupId(self):  # noqa: N802 (QGIS's name)
        return "classes"

    def createInstance(self):  # noqa: N802 (QGIS's name)
        return type(self)()

    def add_class_parameters(self):
        self.addParameter(QgsProcessingParameterFeatureSource(
            "INPUT", tr("Input layer"), [QgsProcessing.TypeVector]))
        self.addParameter(QgsProcessingParameterField(
            "FIELD", tr("Field"), parentLayerParameterName="INPUT",
            type=QgsProcessingParameterField.Numeric))
        self.addParameter(QgsProcessingParameterEnum(
            "METHOD", tr("Method"), options=[tr(name) for _, name in METHODS], defaultValue=0))
        self.addParameter(QgsProcessingParameterNumber(
            "CLASSES", tr("Number of classes (0: the fewest natural-breaks classes that reach "
                          "the GVF below)"), QgsProcessingParameterNumber.Integer, 5,
            minValue=0))
        self.addParameter(QgsProcessingParameterNumber(
            "GVF", tr("Goodness of variance fit wanted with 0 classes"),
            QgsProcessingParameterNumber.Double, 0.8, minValue=0.0, maxValue=1.0))
        advanced = [
            QgsProcessingParameterNumber(
                "MAX_CLASSES", tr("Most classes with 0 classes"),
                QgsProcessingParameterNumber.Integer, 10, minValue=2),
            QgsProcessingParameterNumber(
                "HEAD_SHARE", tr("Head/tail: largest share of a head (0 to 1)"),
                QgsProcessingParameterNumber.Double, 0.4, minValue=0.0, maxValue=1.0),
            QgsProcessingParameterNumber(
                "HINGE", tr("Box plot: hinge (times the interquartile range)"),
                QgsProcessingParameterNumber.Double, 1.5, minValue=0.0),
            QgsProcessingParameterString(
                "PERCENTS", tr("Percentiles: the percentiles, ascending"),
                "0, 1, 10, 50, 90, 99, 100"),
            QgsProcessingParameterBoolean(
                "ROUND", tr("Round breaks (the roundest numbers that keep every class)"),
                False),
        ]
        for parameter in advanced:
            parameter.setFlags(parameter.flags() | QgsProcessingParameterDefinition.FlagAdvanced)
            self.addParameter(parameter)
        self.addOutput(QgsProcessingOutputNumber("CLASS_COUNT", tr("Number of classes")))
        self.addOutput(QgsProcessingOutputNumber("GVF_RESULT", tr("Goodness of variance fit")))
        self.addOutput(QgsProcessingOutputString("BREAKS", tr("Breaks")))

    def classes(self, parameters, context, feedback, share):
        """(source, field, scheme, ids, Classes); None when cancelled."""
        source = self.parameterAsSource(parameters, "INPUT", context)
        if source is None:
            raise QgsProcessingException(self.invalidSourceError(parameters, "INPUT"))
        field = self.parameterAsString(parameters, "FIELD", context)
        scheme = METHODS[self.parameterAsEnum(parameters, "METHOD", context)][0]
        k = self.parameterAsInt(parameters, "CLASSES", context)
        options = {}
        if scheme == "head_tail":
            options["head_share"] = self.parameterAsDouble(parameters, "HEAD_SHARE", context)
        elif scheme == "box_plot":
            options["hinge"] = self.parameterAsDouble(parameters, "HINGE", context)
        elif scheme == "percentiles":
            text = self.parameterAsString(parameters, "PERCENTS", context)
            try:
                options["percents"] = [float(p) for p in text.split(",") if p.strip()]
            except ValueError:
                raise QgsProcessingException(tr(f"Percentiles: {text!r} is not a list of "
                                                "numbers")) from None
        if scheme in NO_CLASS_COUNT:
            k = 5  # not used
        elif k == 0:
            if scheme != "natural_breaks":
                raise QgsProcessingException(tr("0 classes (the fewest that reach a GVF) is "
                                                "for natural breaks only"))
            k = "auto"
            options["gvf"] = self.parameterAsDouble(parameters, "GVF", context)
            options["k_max"] = self.parameterAsInt(parameters, "MAX_CLASSES", context)

        options["round_breaks"] = self.parameterAsBool(parameters, "ROUND", context)

        read = read_values(source, field, feedback, share / 2)
        if read is None:
            return None
        ids, values = read
        feedback.pushInfo(tr(f"{values.size} features read; classifying"))
        try:
            classes = Classes(values, scheme, k, options, feedback, 50 * share, 100 * share)
        except core.Cancelled:
            return None
        if classes.missing:
            feedback.pushInfo(tr(f"{classes.missing} features with a NULL or NaN {field} are "
                                 "in no class"))
        return source, field, scheme, ids, classes, options

    @staticmethod
    def outputs(classes):
        result = classes.result
        return {"CLASS_COUNT": result.k, "GVF_RESULT": result.gvf,
                "BREAKS": ", ".join(number_text(b) for b in result.breaks)}


class ClassifyField(_Base):
    def name(self):
        return "classifyfield"

    def displayName(self):  # noqa: N802 (QGIS's name)
        return tr("Classify a field")

    def shortHelpString(self):  # noqa: N802 (QGIS's name)
        return tr("Adds to every feature the number of its class (1 to k) by the field's "
                  "values, with exact natural breaks or another method of Mensora. A NULL or "
                  "NaN value is missing: it takes no part in the breaks and its feature gets "
                  "a NULL class. The layer is styled with a graduated renderer of the classes.")

    def initAlgorithm(self, config=None):  # noqa: N802 (QGIS's name)
        self.add_class_parameters()
        self.addParameter(QgsProcessingParameterString(
            "CLASS_FIELD", tr("Name of the class field"), "class"))
        self.addParameter(QgsProcessingParameterFeatureSink("OUTPUT", tr("Classified")))

    def processAlgorithm(self, parameters, context, feedback):  # noqa: N802 (QGIS's name)
        found = self.classes(parameters, context, feedback, 0.6)
        if found is None:
            return {}
        source, field, scheme, ids, classes, options = found
        class_field = self.parameterAsString(parameters, "CLASS_FIELD", context)
        fields = QgsFields(source.fields())
        if fields.lookupField(class_field) >= 0:
            raise QgsProcessingException(tr(f"The layer already has a field {class_field!r}"))
        fields.append(QgsField(class_field, QVariant.Int))
        sink, dest_id = self.parameterAsSink(parameters, "OUTPUT", context, fields,
                                             source.wkbType(), source.sourceCrs())
        if sink is None:
            raise QgsProcessingException(self.invalidSinkError(parameters, "OUTPUT"))

        class_of = dict(zip(ids, classes.yb.tolist()))
        total = max(len(ids), 1)
        for n, feature in enumerate(source.getFeatures()):
            if n % 4096 == 0:
                if feedback.isCanceled():
                    return {}
                feedback.setProgress(60.0 + 40.0 * n / total)
            s = class_of.get(feature.id(), -1)
            out = QgsFeature(fields)
            out.setGeometry(feature.geometry())
            out.setAttributes(feature.attributes() + [s + 1 if s >= 0 else None])
            sink.addFeature(out, QgsFeatureSink.FastInsert)

        if context.willLoadLayerOnCompletion(dest_id):
            styler = style.Styler(field, scheme, classes.result, options)
            _STYLERS.append(styler)  # kept alive until QGIS has called it
            context.layerToLoadOnCompletionDetails(dest_id).setPostProcessor(styler)
        return dict(self.outputs(classes), OUTPUT=dest_id)


class ClassBreaks(_Base):
    def name(self):
        return "classbreaks"

    def displayName(self):  # noqa: N802 (QGIS's name)
        return tr("Class breaks of a field")

    def shortHelpString(self):  # noqa: N802 (QGIS's name)
        return tr("A table of the classes of a field's values: lower and upper break, number "
                  "of features, label, and the goodness of variance fit (GVF) of the "
                  "classification. A NULL or NaN value is missing and counted in no class.")

    def initAlgorithm(self, config=None):  # noqa: N802 (QGIS's name)
        self.add_class_parameters()
        self.addParameter(QgsProcessingParameterFeatureSink(
            "OUTPUT", tr("Class breaks"), QgsProcessing.TypeVector))

    def processAlgorithm(self, parameters, context, feedback):  # noqa: N802 (QGIS's name)
        found = self.classes(parameters, context, feedback, 1.0)
        if found is None:
            return {}
        result = found[4].result
        fields = QgsFields()
        for name, kind in (("class", QVariant.Int), ("lower", QVariant.Double),
                           ("upper", QVariant.Double), ("count", QVariant.Int),
                           ("label", QVariant.String), ("gvf", QVariant.Double)):
            fields.append(QgsField(name, kind))
        sink, dest_id = self.parameterAsSink(parameters, "OUTPUT", context, fields,
                                             QgsWkbTypes.NoGeometry)
        if sink is None:
            raise QgsProcessingException(self.invalidSinkError(parameters, "OUTPUT"))
        for s, label in enumerate(result.intervals):
            row = QgsFeature(fields)
            row.setAttributes([s + 1, float(result.breaks[s]), float(result.breaks[s + 1]),
                               int(result.counts[s]), label, float(result.gvf)])
            sink.addFeature(row, QgsFeatureSink.FastInsert)
        feedback.setProgress(100)
        return dict(self.outputs(found[4]), OUTPUT=dest_id)


_STYLERS = []
