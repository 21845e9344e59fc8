// mensora select: the values in the half-open window [min, max).
#include "Mensora.h"
#include "errors.h"
#include "numbers.h"
#include "results.h"

namespace mensora_tool {

SelectResult RunSelect(const Sample& sample, const Options& options) {
  std::vector<double> data = sample.values;
  CMensora object(data.data(), static_cast<std::int32_t>(data.size()));
  SelectResult result;
  result.min = options.params.min;
  result.max = options.params.max;
  std::int32_t* ids = nullptr;
  std::int32_t count = 0;
  if (object.DataStatByArea(result.min, result.max, &ids, &count) == 1) {
    result.ids.assign(ids, ids + count);
    return result;
  }
  // The library fails both for an empty selection and when it has no memory
  // for the ids; only the second is an error. A value is outside the window
  // when min > value or value >= max (a NaN value is in every window).
  for (double value : data) {
    if (!(result.min > value) && !(value >= result.max)) {
      throw ToolError(ExitCode::kLibraryFailure,
                      "the library could not select the values in [" + FormatDouble(result.min) +
                          ", " + FormatDouble(result.max) + ") (status -1)");
    }
  }
  return result;  // empty selection
}

}  // namespace mensora_tool
