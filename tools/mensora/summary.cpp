// mensora summary: every measure of the library, and every K-th sorted value.
#include <cmath>
#include <limits>

#include "Mensora.h"
#include "errors.h"
#include "mensora_c.h"
#include "results.h"

namespace mensora_tool {

SummaryResult RunSummary(const Sample& sample, const Options& options) {
  std::vector<double> data = sample.values;  // the library reads a non-const array
  const auto n = static_cast<std::int32_t>(data.size());
  CMensora object(data.data(), n);
  SummaryResult result;
  auto add = [&result](const char* key, const char* label, double value) {
    result.measures.push_back(Measure{key, label, value, true, nullptr});
  };

  add("count", "number of values", static_cast<double>(n));
  add("mean", "arithmetic mean", object.SimpleArithAverNum());
  add("weighted_mean", "mean weighted by each value's frequency", object.PowerArithAverNum(0));
  // The C interface tells a geometric mean it cannot form (a negative
  // product, or a result beyond the range of doubles), with the reason.
  double geometric = std::numeric_limits<double>::quiet_NaN();
  mensora_sample* handle = mensora_sample_new(data.data(), n);
  const bool real = handle != nullptr && mensora_geometric_mean_checked(handle, &geometric) == MENSORA_OK;
  if (!real && handle != nullptr && n > 0) Note(std::string("geometric mean: ") + mensora_last_reason());
  mensora_sample_free(handle);
  result.measures.push_back(Measure{"geometric_mean", "geometric mean", geometric, real,
                                    "no real root, or beyond the library's range"});
  add("mode", "mode (most frequent value, first in input order)", object.NumerousNum());
  add("median", "median", object.MedianNum());
  double max = std::numeric_limits<double>::quiet_NaN();
  double min = max;
  object.ExtremumNum(&max, &min);
  add("minimum", "minimum", min);
  add("maximum", "maximum", max);
  add("range", "range (maximum - minimum)", object.ExtreDifNum());
  add("mean_absolute_deviation", "mean absolute deviation from the mean", object.DisDifAverNum());
  add("sum_of_squares", "sum of squared deviations from the mean", object.DisDifSqrSum());
  add("variance", "variance (divided by n)", object.SqrDifNum());
  add("standard_deviation", "standard deviation (divided by n)", object.StandDifNum());
  add("coefficient_of_variation", "coefficient of variation (sd / mean)", object.AlterDifCoe());
  add("skewness", "skewness statistic (g1 / sqrt(6/n))", object.DeflectDegree());
  add("kurtosis", "excess kurtosis statistic (g2 / sqrt(24/n))", object.ApexDegree());

  if (options.every) {
    const std::int32_t step = *options.every;
    if (step > n) {
      throw ToolError(ExitCode::kUsage, "--every: " + std::to_string(step) +
                                            " is more than the number of values (" +
                                            std::to_string(n) + ")");
    }
    double* values = nullptr;
    std::int32_t count = 0;
    object.SubSectionNum(&values, step, &count);
    if (values == nullptr) {
      throw ToolError(ExitCode::kLibraryFailure,
                      "the library gave no sorted values for --every " + std::to_string(step));
    }
    result.everyStep = step;
    result.every.assign(values, values + count);
  }
  return result;
}

}  // namespace mensora_tool
