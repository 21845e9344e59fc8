// mensora classify: one of the library's class methods over the sample.
#include <algorithm>
#include <cmath>
#include <string>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

#include "Mensora.h"
#include "errors.h"
#include "mensora_c.h"
#include "numbers.h"
#include "results.h"

namespace mensora_tool {

namespace {

// The library reads a limit within EQ_TOLERANCE of its sentinel as "take it
// from the data"; a user who means that very number cannot be told apart.
void NoteSentinel(unsigned given, Param param, double value, double sentinel, const char* what) {
  if ((given & param) != 0 && !(std::fabs(value - sentinel) >= EQ_TOLERANCE)) {
    Note(std::string(ParamOption(param)) + " " + FormatDouble(value) +
         " is the library's sentinel for the data " + what + ", which is used instead");
  }
}

// The options the method takes that were given, or that have a default,
// with their values.
std::vector<Parameter> UsedParameters(const Method& method, const ClassParams& params) {
  std::vector<Parameter> used;
  const unsigned takes = method.required | method.optional;
  for (unsigned bit = 1; bit <= kLastParam; bit <<= 1) {
    const bool defaulted = (bit & kDefaultedParams) != 0 &&
                           ((bit != kGvf && bit != kMaxClasses) || params.autoClasses);
    if ((takes & bit) == 0 || ((params.given & bit) == 0 && !defaulted)) continue;
    const auto param = static_cast<Param>(bit);
    Parameter p{ParamOption(param) + 2, {}, (bit & kListParams) != 0, false};
    for (char& c : p.name) c = c == '-' ? '_' : c;
    switch (param) {
      case kClasses:
        p.automatic = params.autoClasses;
        if (!p.automatic) p.values = {static_cast<double>(params.classes)};
        break;
      case kStart: p.values = {params.start}; break;
      case kStep: p.values = {params.step}; break;
      case kEnd: p.values = {params.end}; break;
      case kSteps: p.values = {static_cast<double>(params.steps)}; break;
      case kTimes: p.values = {params.times}; break;
      case kMin: p.values = {params.min}; break;
      case kMax: p.values = {params.max}; break;
      case kBreaks: p.values = params.breaks; break;
      case kPercentiles: p.values = params.percentiles; break;
      case kHeadShare: p.values = {params.headShare}; break;
      case kHinge: p.values = {params.hinge}; break;
      case kGvf: p.values = {params.gvf}; break;
      case kMaxClasses: p.values = {static_cast<double>(params.maxClasses)}; break;
    }
    used.push_back(std::move(p));
  }
  return used;
}

// The library's label of every class of the handle's current result of one
// set, in interval notation.
void LabelClasses(mensora_sample* handle, std::int32_t stdSet, ClassifyResult& result) {
  // The text is asked for twice: its size, then the text itself.
  std::int32_t needed = 0;
  std::string text;
  for (int pass = 0; pass < 2; ++pass) {
    text.resize(static_cast<std::size_t>(needed));
    if (mensora_class_labels_text(handle, stdSet, MENSORA_LABEL_INTERVAL,
                                  pass == 0 ? nullptr : &text[0], pass == 0 ? 0 : needed,
                                  &needed) != MENSORA_OK) {
      throw ToolError(ExitCode::kLibraryFailure,
                      std::string("mensora_class_labels_text: ") + mensora_last_reason());
    }
  }
  text.pop_back();  // its '\0'
  std::size_t start = 0;
  for (ClassRow& row : result.classes) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    row.label = text.substr(start, end - start);
    start = end + 1;
  }
}

}  // namespace

ClassifyResult RunClassify(const Sample& sample, const Options& options) {
  const Method& method = *options.method;
  const ClassParams& params = options.params;
  NoteSentinel(params.given, kEnd, params.end, AUTO_MAX, "maximum");
  NoteSentinel(params.given, kMax, params.max, AUTO_MAX, "maximum");
  NoteSentinel(params.given, kMin, params.min, AUTO_MIN, "minimum");

  const auto n = static_cast<std::int32_t>(sample.values.size());
  mensora_sample* handle = nullptr;
  if (mensora_sample_open(sample.values.data(), n, MENSORA_SKIP_MISSING, &handle) != MENSORA_OK) {
    throw ToolError(ExitCode::kLibraryFailure, mensora_last_reason());
  }
  const std::unique_ptr<mensora_sample, void (*)(mensora_sample*)> owner(handle,
                                                                         mensora_sample_free);
  mensora_classes out{};
  const char* member = params.autoClasses ? method.autoMember : method.member;
  if (method.run(handle, params, &out) != MENSORA_OK) {
    throw ToolError(ExitCode::kLibraryFailure, std::string(member) + ": " + mensora_last_reason());
  }
  if (options.round && mensora_round_breaks(handle, method.stdSet ? 1 : 0, &out) != MENSORA_OK) {
    throw ToolError(ExitCode::kLibraryFailure,
                    std::string("mensora_round_breaks: ") + mensora_last_reason());
  }

  ClassifyResult result;
  result.method = &method;
  result.member = member;
  result.parameters = UsedParameters(method, params);

  const std::int32_t k = out.class_count;
  result.breaks.assign(out.breaks, out.breaks + k + 1);
  result.rounded = options.round;
  double max = std::numeric_limits<double>::quiet_NaN();
  double min = max;
  mensora_extremes(handle, &min, &max);
  // The last class of the range methods also takes the values at its upper
  // break unless the maximum lies at least the closing tolerance from it.
  const bool lastClosed =
      k >= 1 && (method.last == LastClass::kClosed ||
                 (method.last == LastClass::kClosing &&
                  !(std::fabs(max - result.breaks[k]) >=
                    mensora_closing_tolerance(result.breaks[0], result.breaks[k]))));
  std::int64_t offset = 0;
  for (std::int32_t s = 0; s < k; ++s) {
    ClassRow row{result.breaks[s], result.breaks[s + 1], lastClosed && s == k - 1, {}, {}, {}};
    row.ids.assign(out.ids + offset, out.ids + offset + out.counts[s]);
    offset += out.counts[s];
    if (!sample.pooled.empty()) {
      row.pooledCounts.assign(sample.pooled.size(), 0);
      for (std::int32_t id : row.ids) {
        ++row.pooledCounts[static_cast<std::size_t>(sample.columnOf[static_cast<std::size_t>(id)])];
      }
    }
    result.classes.push_back(std::move(row));
  }
  struct mensora_class_notes notes {};
  if (mensora_class_notes(handle, method.stdSet ? 1 : 0, &notes) == MENSORA_OK) {
    result.unclassified = notes.unclassified;
    if (notes.empty_classes > 0) {
      Note(std::to_string(notes.empty_classes) + " of the " + std::to_string(k) + " classes " +
           (notes.empty_classes == 1 ? "holds" : "hold") + " no value");
    }
  } else {
    result.unclassified = n - offset;
  }
  if (result.unclassified > 0) {
    Note(std::to_string(result.unclassified) +
         (result.unclassified == 1 ? " value is" : " values are") + " in no class");
  }
  LabelClasses(handle, method.stdSet ? 1 : 0, result);
  if (method.window) {
    result.windowed = true;
    result.windowMin = std::fabs(params.min - AUTO_MIN) >= EQ_TOLERANCE ? params.min : min;
    result.windowMax = std::fabs(params.max - AUTO_MAX) >= EQ_TOLERANCE ? params.max : max;
  }
  FitMeasures& fit = result.fit;
  mensora_fit measured{};
  fit.defined = mensora_class_fit(handle, method.stdSet ? 1 : 0, &measured) == MENSORA_OK;
  if (fit.defined) {
    fit.sdam = measured.sdam;
    fit.sdcm = measured.sdcm;
    fit.gvf = measured.gvf;
    fit.adcm = measured.adcm;
    fit.tai = measured.tai;
  }
  if (params.autoClasses) {
    const std::string range = "2 to " + std::to_string(params.maxClasses);
    result.choice = fit.defined && fit.gvf >= params.gvf
                        ? std::to_string(k) + " classes, the fewest of " + range +
                              " with a GVF of " + FormatDouble(params.gvf) + " or more"
                        : "no class count from " + range + " reaches a GVF of " +
                              FormatDouble(params.gvf) + ": " + std::to_string(k) + " classes";
  }
  return result;
}

}  // namespace mensora_tool
