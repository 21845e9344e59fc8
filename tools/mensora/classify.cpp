// mensora classify: one of the library's class methods over the sample.
#include <algorithm>
#include <cmath>
#include <string>
#include <limits>
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

// The library's label of every class, in interval notation, from the members'
// extremes and whether the values are whole numbers.
void LabelClasses(const Sample& sample, ClassifyResult& result) {
  const auto k = static_cast<std::int32_t>(result.classes.size());
  std::vector<std::int32_t> counts;
  std::vector<double> lowest, highest;
  for (const ClassRow& row : result.classes) {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (std::int32_t id : row.ids) {
      lo = std::min(lo, sample.values[static_cast<std::size_t>(id)]);
      hi = std::max(hi, sample.values[static_cast<std::size_t>(id)]);
    }
    counts.push_back(static_cast<std::int32_t>(row.ids.size()));
    lowest.push_back(lo);
    highest.push_back(hi);
  }
  const auto n = static_cast<std::int32_t>(sample.values.size());
  const std::int32_t flags =
      MENSORA_LABEL_INTERVAL |
      (mensora_whole_numbers(sample.values.data(), n) == 1 ? MENSORA_LABEL_INTEGER : 0);
  const std::int32_t rule =
      k > 0 && result.classes.back().closed ? MENSORA_LAST_CLOSED : MENSORA_LAST_OPEN;
  // The text is asked for twice: its size, then the text itself.
  std::int32_t needed = 0;
  std::string text;
  for (int pass = 0; pass < 2; ++pass) {
    text.resize(static_cast<std::size_t>(needed));
    if (mensora_format_labels(result.breaks.data(), k, counts.data(), lowest.data(),
                              highest.data(), rule, flags, pass == 0 ? nullptr : &text[0],
                              pass == 0 ? 0 : needed, &needed) != MENSORA_OK) {
      throw ToolError(ExitCode::kLibraryFailure, "mensora_format_labels failed");
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

  std::vector<double> data = sample.values;
  const auto n = static_cast<std::int32_t>(data.size());
  CMensora object(data.data(), n);
  LibraryClasses out;
  const char* member = params.autoClasses ? method.autoMember : method.member;
  if (method.run(object, params, out) != 1) {
    throw ToolError(ExitCode::kLibraryFailure,
                    std::string(member) +
                        " returned -1: these options give no class for this sample, or "
                        "memory ran out");
  }
  if (options.round &&
      object.DataSecRoundBreaks(method.stdSet ? 1 : 0, &out.breaks, &out.breakNum, &out.ids,
                                &out.counts) != 1) {
    throw ToolError(ExitCode::kLibraryFailure,
                    "DataSecRoundBreaks returned -1: memory ran out");
  }

  ClassifyResult result;
  result.method = &method;
  result.member = member;
  result.parameters = UsedParameters(method, params);

  result.breaks.assign(out.breaks, out.breaks + out.breakNum);
  result.rounded = options.round;
  const std::int32_t k = out.breakNum - 1;
  double max = std::numeric_limits<double>::quiet_NaN();
  double min = max;
  object.ExtremumNum(&max, &min);
  // The last class of the range methods also takes the values at its upper
  // break unless the maximum lies at least EQ_TOLERANCE from it.
  const bool lastClosed =
      k >= 1 && (method.last == LastClass::kClosed ||
                 (method.last == LastClass::kClosing &&
                  !(std::fabs(max - result.breaks[k]) >= EQ_TOLERANCE)));
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
  result.unclassified = n - offset;
  LabelClasses(sample, result);
  if (method.window) {
    result.windowed = true;
    result.windowMin = std::fabs(params.min - AUTO_MIN) >= EQ_TOLERANCE ? params.min : min;
    result.windowMax = std::fabs(params.max - AUTO_MAX) >= EQ_TOLERANCE ? params.max : max;
  }
  FitMeasures& fit = result.fit;
  fit.defined = object.DataSecFitNum(method.stdSet ? 1 : 0, &fit.sdam, &fit.sdcm, &fit.gvf,
                                     &fit.adcm, &fit.tai) == 1;
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
