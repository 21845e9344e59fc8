// The literal algorithms, step by step as the members are defined.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "literal.h"

namespace mensora_ref {

void QuickSort(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) {
  // The two parts are disjoint, so sorting the smaller one first (and looping
  // over the larger) gives the same records as the plain recursion.
  std::int64_t left = lLeft;
  std::int64_t right = lRight;
  while (left < right) {
    const ORDER_DATA pivot = records[left];
    std::int64_t i = left;
    std::int64_t j = right;
    while (i < j) {
      while (i < j && !(pivot.dValue > records[j].dValue)) --j;
      if (i < j) records[i++] = records[j];
      while (i < j && !(records[i].dValue >= pivot.dValue)) ++i;
      if (i < j) records[j--] = records[i];
    }
    records[i] = pivot;
    if (i - left < right - i) {
      QuickSort(records, static_cast<std::int32_t>(left), static_cast<std::int32_t>(i - 1));
      left = i + 1;
    } else {
      QuickSort(records, static_cast<std::int32_t>(i + 1), static_cast<std::int32_t>(right));
      right = i - 1;
    }
  }
}

void BubbleSort(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) {
  for (std::int64_t i = lLeft; i <= lRight; ++i) {
    for (std::int64_t j = i + 1; j <= lRight; ++j) {
      if (!(records[j].dValue >= records[i].dValue)) {
        const ORDER_DATA held = records[i];
        records[i] = records[j];
        records[j] = held;
      }
    }
  }
}

void CountOccurrences(const double* values, std::int32_t n, std::int32_t* counts) {
  for (std::int32_t i = 0; i < n; ++i) {
    std::int32_t count = 0;
    for (std::int32_t j = 0; j < n; ++j) {
      if (!(values[j] < values[i]) && !(values[j] > values[i])) ++count;
    }
    counts[i] = count;
  }
}

bool CollectMembers(const ORDER_DATA* view, std::int32_t n, const double* breaks,
                    std::int32_t k, LastClass last, const ValueWindow* window,
                    std::int32_t* counts, std::vector<std::int32_t>& ids) {
  // The closing tolerance: 4 units in the last place of the larger of |first
  // break| and |last break| when that is 1 or more and finite, at least
  // EQ_TOLERANCE.
  double tolerance = EQ_TOLERANCE;
  const double scale = std::fmax(std::fabs(breaks[0]), std::fabs(breaks[k]));
  if (scale >= 1.0 && scale <= DBL_MAX) {
    int exponent = 0;
    std::frexp(scale, &exponent);  // scale = f * 2^exponent, 0.5 <= f < 1
    tolerance = std::max(tolerance, 4.0 * std::pow(2.0, exponent - 1 - 52));
  }
  const bool closing = last == LastClass::kClosing && n > 0 &&
                       !(std::fabs(view[n - 1].dValue - breaks[k]) >= tolerance);
  for (std::int32_t s = 0; s < k; ++s) {
    const double low = breaks[s];
    const double high = breaks[s + 1];
    std::int32_t count = 0;
    for (std::int32_t e = 0; e < n; ++e) {
      const double v = view[e].dValue;
      bool member = v >= low && !(v >= high);
      if (closing && s == k - 1) {
        member = v >= low && (v <= high || std::fabs(v - high) < tolerance);
      }
      if (window != nullptr && !(v >= window->dMin && !(v > window->dMax))) member = false;
      if (member) {
        ids.push_back(view[e].lID);
        ++count;
      }
    }
    counts[s] = count;
  }
  return true;
}

namespace {

// The sum of values[0..count-1] - shift, then the squared and absolute
// deviations of each value - shift from the mean of those.
std::array<double, 3> SpreadAbout(const double* values, std::int64_t count, double shift) {
  double sum = 0.0;
  for (std::int64_t i = 0; i < count; ++i) sum += values[i] - shift;
  const double mean = sum / static_cast<double>(count);
  double squares = 0.0;
  double absolute = 0.0;
  for (std::int64_t i = 0; i < count; ++i) squares += ((values[i] - shift) - mean) *
                                                      ((values[i] - shift) - mean);
  for (std::int64_t i = 0; i < count; ++i) absolute += std::fabs((values[i] - shift) - mean);
  return {sum, squares, absolute};
}

}  // namespace

std::array<double, 5> ClassFitByPasses(const double* values, const std::int32_t* counts,
                                       std::int32_t k) {
  std::int64_t total = 0;
  for (std::int32_t s = 0; s < k; ++s) total += counts[s];
  if (total == 0) return {0.0, 0.0, NAN, 0.0, NAN};
  const std::array<double, 3> all = SpreadAbout(values, total, values[total / 2]);
  double sdcm = 0.0;
  double adcm = 0.0;
  double classAbsolute = 0.0;
  std::int64_t start = 0;
  for (std::int32_t s = 0; s < k; ++s) {
    if (counts[s] == 0) continue;
    const double* members = values + start;
    const double median = members[(counts[s] - 1) / 2];
    const std::array<double, 3> within = SpreadAbout(members, counts[s], median);
    sdcm += within[1];
    classAbsolute += within[2];
    for (std::int64_t i = 0; i < counts[s]; ++i) adcm += std::fabs(members[i] - median);
    start += counts[s];
  }
  return {all[1], sdcm, all[1] == 0.0 ? 1.0 : 1.0 - sdcm / all[1], adcm,
          all[2] == 0.0 ? 1.0 : 1.0 - classAbsolute / all[2]};
}

}  // namespace mensora_ref
