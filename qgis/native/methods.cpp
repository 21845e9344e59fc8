// Mensora's class methods as classification methods of QGIS 3.22, for the
// Graduated symbology dialog and QgsGraduatedSymbolRenderer.
//
// One class serves every method; each registered instance carries its own id.
// The breaks come from the library through its C interface. The plugin loads
// this module with ctypes after importing its copy of the Python package
// (which loads the library) and calls mensora_qgis_register() once.
//
// QGIS's ranges are closed at both ends and a value takes the first range
// that holds it, so a value on an inner break would fall into the class below
// it; the library's classes are closed below. Each inner break is therefore
// handed to QGIS as the largest double under it that a project file keeps
// (QGIS writes the bounds of ranges with 15 decimals): every value then lands
// in the library's class, before and after the project is saved, but for a
// value less than 1e-15 under a break whose magnitude is below 8 (where that
// double is not the next one down). The outer breaks move out as little, where
// the file would not keep them. The labels show the library's breaks.
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include <QString>
#include <QStringList>

#include <qgsapplication.h>
#include <qgsclassificationmethod.h>
#include <qgsclassificationmethodregistry.h>
#include <qgsmessagelog.h>
#include <qgsprocessingparameters.h>

#include "mensora_c.h"

namespace {

enum class Kind { Natural, HeadTail, BoxPlot, MaxBreaks, Percentiles, Geometric };

struct MethodInfo {
  Kind kind;
  const char* id;
  const char* name;
};

const MethodInfo kMethods[] = {
    {Kind::Natural, "MensoraNaturalBreaks", "Natural Breaks, exact (Mensora)"},
    {Kind::HeadTail, "MensoraHeadTail", "Head/Tail Breaks (Mensora)"},
    {Kind::BoxPlot, "MensoraBoxPlot", "Box Plot (Mensora)"},
    {Kind::MaxBreaks, "MensoraMaxBreaks", "Maximum Breaks (Mensora)"},
    {Kind::Percentiles, "MensoraPercentiles", "Percentiles (Mensora)"},
    {Kind::Geometric, "MensoraGeometric", "Geometric Interval (Mensora)"},
};

const QString kLogTag = QStringLiteral("Mensora");
const QString kHeadShare = QStringLiteral("HEAD_SHARE");
const QString kHinge = QStringLiteral("HINGE");
const QString kPercents = QStringLiteral("PERCENTS");
const QString kRoundBreaks = QStringLiteral("ROUND_BREAKS");
const char* const kDefaultPercents = "0, 1, 10, 50, 90, 99, 100";

double below(double x) { return std::nextafter(x, -std::numeric_limits<double>::infinity()); }
double above(double x) { return std::nextafter(x, std::numeric_limits<double>::infinity()); }

// The value QGIS reads back after writing x into a project file.
double kept(double x) { return QString::number(x, 'f', 15).toDouble(); }

// The largest double under the break b that a project file keeps; b itself
// when nothing lies under it (-inf). Where the next double down is not kept
// (|b| < 8), the 15th decimal steps down from it.
double keptBelow(double b) {
  const double d = below(b);
  if (!(d < b)) return b;
  double x = kept(d);
  if (x < b) return x;
  double units = std::floor(d * 1e15);  // a whole number below 2^53 here
  for (int tries = 0; tries < 4; ++tries, units -= 1) {
    x = kept(units / 1e15);
    if (x < b) return x;
  }
  return d;
}

// The outer breaks: the nearest value a project file keeps that leaves the
// class no narrower.
double keptFloor(double b) { return kept(b) == b ? b : keptBelow(b); }
double keptCeil(double b) { return -keptFloor(-b); }

class MensoraMethod : public QgsClassificationMethod {
 public:
  explicit MensoraMethod(const MethodInfo& info) : mInfo(info) {
    switch (info.kind) {
      case Kind::HeadTail:
        addParameter(new QgsProcessingParameterNumber(
            kHeadShare, QObject::tr("Largest share of a head (0 to 1, both excluded)"),
            QgsProcessingParameterNumber::Double, 0.4, false, 0.0, 1.0));
        break;
      case Kind::BoxPlot:
        addParameter(new QgsProcessingParameterNumber(
            kHinge, QObject::tr("Hinge (times the interquartile range)"),
            QgsProcessingParameterNumber::Double, 1.5, false, 0.0));
        break;
      case Kind::Percentiles:
        addParameter(new QgsProcessingParameterString(
            kPercents, QObject::tr("Percentiles, ascending, 0 to 100"),
            QString::fromLatin1(kDefaultPercents)));
        break;
      default:
        break;
    }
    addParameter(new QgsProcessingParameterBoolean(
        kRoundBreaks, QObject::tr("Round breaks (the roundest numbers that keep every class)"),
        false));
  }

  QgsClassificationMethod* clone() const override {
    auto* copy = new MensoraMethod(mInfo);
    copyBase(copy);
    return copy;
  }
  QString name() const override { return QObject::tr(mInfo.name); }
  QString id() const override { return QString::fromLatin1(mInfo.id); }
  bool valuesRequired() const override { return true; }

  // The labels name the library's breaks, not the doubles just under them;
  // an infinite outer break (box plot) leaves its class open.
  using QgsClassificationMethod::labelForRange;
  QString labelForRange(double lower, double upper, ClassPosition position) const override {
    const double low = position == LowerBound ? lower : above(lower);
    const double high = position == UpperBound ? upper : above(upper);
    if (std::isinf(low) && low < 0 && std::isfinite(high))
      return QObject::tr("below %1").arg(formatNumber(high));
    if (std::isinf(high) && high > 0 && std::isfinite(low))
      return QObject::tr("%1 or more").arg(formatNumber(low));
    return labelFormat().arg(formatNumber(low), formatNumber(high));
  }

 private:
  double parameter(const QString& key, double fallback) const {
    bool ok = false;
    const double value = parameterValues().value(key, fallback).toDouble(&ok);
    return ok ? value : fallback;
  }

  // The percentiles of the parameter; false when the text is not a list of numbers.
  bool percents(std::vector<double>& out) const {
    const QString text = parameterValues().value(kPercents, QString::fromLatin1(kDefaultPercents)).toString();
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
      bool ok = false;
      const double value = part.trimmed().toDouble(&ok);
      if (!ok) return false;
      out.push_back(value);
    }
    return true;
  }

  int run(mensora_sample* sample, int nclasses, mensora_classes* out) const {
    switch (mInfo.kind) {
      case Kind::Natural:
        return mensora_classify_natural(sample, nclasses, out);
      case Kind::HeadTail:
        return mensora_classify_head_tail(sample, parameter(kHeadShare, 0.4), out);
      case Kind::BoxPlot:
        return mensora_classify_box_plot(sample, parameter(kHinge, 1.5), out);
      case Kind::MaxBreaks:
        return mensora_classify_max_breaks(sample, nclasses, out);
      case Kind::Percentiles: {
        std::vector<double> p;
        if (!percents(p) || p.size() > static_cast<std::size_t>(INT32_MAX))
          return MENSORA_ERROR_ARGUMENT;
        return mensora_classify_percentile(sample, p.data(), static_cast<int32_t>(p.size()), out);
      }
      case Kind::Geometric:
        return mensora_classify_geometric(sample, nclasses, out);
    }
    return MENSORA_ERROR_ARGUMENT;
  }

  QList<double> calculateBreaks(double& minimum, double& maximum, const QList<double>& values,
                                int nclasses) override {
    QList<double> upper;
    try {
      // NaN is a missing value: it takes no part in the breaks.
      std::vector<double> data;
      data.reserve(static_cast<std::size_t>(values.size()));
      for (double v : values)
        if (!std::isnan(v)) data.push_back(v);
      // Freed with the class arrays on every way out, an exception's too.
      const std::unique_ptr<mensora_sample, void (*)(mensora_sample*)> sample(
          mensora_sample_new(data.data(), static_cast<int32_t>(data.size())), mensora_sample_free);
      if (!sample) {
        fail(MENSORA_ERROR_MEMORY);
        return upper;
      }
      mensora_classes classes;
      int status = run(sample.get(), nclasses, &classes);
      if (status == MENSORA_OK && parameterValues().value(kRoundBreaks, false).toBool())
        status = mensora_round_breaks(sample.get(), 0, &classes);
      if (status == MENSORA_OK) {
        const int32_t k = classes.class_count;
        upper.reserve(k);
        for (int32_t s = 1; s <= k; ++s)
          upper.append(s < k ? keptBelow(classes.breaks[s]) : keptCeil(classes.breaks[s]));
        minimum = keptFloor(classes.breaks[0]);
        maximum = upper.last();
      }
      if (status != MENSORA_OK) fail(status);
    } catch (const std::bad_alloc&) {
      upper.clear();
      fail(MENSORA_ERROR_MEMORY);
    }
    return upper;
  }

  void fail(int status) const {
    QString why = QString::fromUtf8(mensora_status_message(status));
    if (mInfo.kind == Kind::Geometric && status == MENSORA_ERROR_DATA)
      why += QObject::tr(" (geometric classes need a smallest value above 0)");
    if (mInfo.kind == Kind::Percentiles && status == MENSORA_ERROR_ARGUMENT)
      why += QObject::tr(" (percentiles: two or more numbers from 0 to 100, ascending)");
    QgsMessageLog::logMessage(QObject::tr("%1: no classes: %2").arg(name(), why), kLogTag,
                              Qgis::MessageLevel::Warning);
  }

  MethodInfo mInfo;
};

}  // namespace

// Registers every method not yet in QGIS's registry. Returns how many of the
// methods are registered afterwards, or -1 without a registry (QgsApplication
// not set up). Methods cannot be taken out of the registry again: the module
// stays loaded for the life of the process.
extern "C" __attribute__((visibility("default"))) int mensora_qgis_register(void) {
  QgsClassificationMethodRegistry* registry = QgsApplication::classificationMethodRegistry();
  if (registry == nullptr) return -1;
  int present = 0;
  try {
    const QList<QString> known = registry->methodNames().values();
    for (const MethodInfo& info : kMethods) {
      if (known.contains(QString::fromLatin1(info.id))) {
        ++present;
        continue;
      }
      auto* method = new MensoraMethod(info);
      if (registry->addMethod(method))
        ++present;
      else
        delete method;  // the registry took no ownership
    }
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return present;
}
