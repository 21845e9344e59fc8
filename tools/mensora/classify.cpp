// mensora classify: one of the library's class methods over the sample.
#include <cmath>
#include <limits>

#include "Mensora.h"
#include "errors.h"
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
  if (method.run(object, params, out) != 1) {
    throw ToolError(ExitCode::kLibraryFailure,
                    std::string(method.member) +
                        " returned -1: these options give no class for this sample, or "
                        "memory ran out");
  }

  ClassifyResult result;
  result.method = &method;
  const unsigned used = method.required | method.optional;
  for (unsigned bit = 1; bit <= kMax; bit <<= 1) {
    if ((used & bit) == 0 || (params.given & bit) == 0) continue;
    const auto param = static_cast<Param>(bit);
    double value = 0.0;
    switch (param) {
      case kClasses: value = params.classes; break;
      case kStart: value = params.start; break;
      case kStep: value = params.step; break;
      case kEnd: value = params.end; break;
      case kSteps: value = params.steps; break;
      case kTimes: value = params.times; break;
      case kMin: value = params.min; break;
      case kMax: value = params.max; break;
    }
    result.parameters.emplace_back(ParamOption(param) + 2, value);
  }

  result.breaks.assign(out.breaks, out.breaks + out.breakNum);
  const std::int32_t k = out.breakNum - 1;
  double max = std::numeric_limits<double>::quiet_NaN();
  double min = max;
  object.ExtremumNum(&max, &min);
  // The last class of the range methods also takes the values at its upper
  // break unless the maximum lies at least EQ_TOLERANCE from it.
  const bool lastClosed = method.closingRule && k >= 1 &&
                          !(std::fabs(max - result.breaks[k]) >= EQ_TOLERANCE);
  std::int64_t offset = 0;
  for (std::int32_t s = 0; s < k; ++s) {
    ClassRow row{result.breaks[s], result.breaks[s + 1], lastClosed && s == k - 1, {}};
    row.ids.assign(out.ids + offset, out.ids + offset + out.counts[s]);
    offset += out.counts[s];
    result.classes.push_back(std::move(row));
  }
  result.unclassified = n - offset;
  if (method.window) {
    result.windowed = true;
    result.windowMin = std::fabs(params.min - AUTO_MIN) >= EQ_TOLERANCE ? params.min : min;
    result.windowMax = std::fabs(params.max - AUTO_MAX) >= EQ_TOLERANCE ? params.max : max;
  }
  return result;
}

}  // namespace mensora_tool
