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

}  // namespace mensora_ref
