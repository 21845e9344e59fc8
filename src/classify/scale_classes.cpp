// Range classes on a scale laid over the extremes: round-number (pretty)
// breaks and a geometric progression.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "Mensora.h"
#include "classify/internal/break_rules.h"
#include "classify/internal/class_result.h"
#include "classify/internal/pretty_breaks.h"
#include "classify/internal/sorted_numbers.h"
#include "sample/internal/alloc.h"

using mensora::internal::AcceptsClassCall;
using mensora::internal::ChoosePrettyScale;
using mensora::internal::ClassBuffers;
using mensora::internal::ClassOutputs;
using mensora::internal::CollectSortedNumbers;
using mensora::internal::CompleteClosedClasses;
using mensora::internal::FillPrettyBreaks;
using mensora::internal::GeometricBreaks;
using mensora::internal::PrettyScale;
using mensora::internal::SortedNumbers;
using mensora::internal::ValidClassCount;
using mensora::internal::WorkArray;

// The breaks of the scale over the smallest and largest finite values: the
// breaks R's pretty(x, n = lSecNum) gives, as many classes as they bound
// (one class from the lower to the upper bound where R gives a single
// value). Where the breaks R's rounding gives miss an extreme by a hair
// (a value within 1e-14 of a break's step taken as 0 at that break's end of
// the range, or an end within 1e-10 steps of a multiple), the outer break is
// moved onto that extreme so that no finite value is lost. Infinite values
// are in no class; without a finite value the call fails.
std::int32_t CMensora::DataSecByPretty(std::int32_t lSecNum, double** ppSecBreak,
                                       std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                       std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (!AcceptsClassCall(m_pData, m_lDataNum, lSecNum, out)) return -1;
  ExtremumNum(nullptr, nullptr);
  SortedNumbers numbers;
  if (!CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers)) return -1;
  const double* values = numbers.values.get();
  std::int32_t first = 0;
  std::int32_t last = numbers.count - 1;
  while (first <= last && std::isinf(values[first])) ++first;
  while (last >= first && std::isinf(values[last])) --last;
  if (first > last) return -1;

  const double lo = values[first];
  const double up = values[last];
  const PrettyScale scale = ChoosePrettyScale(lo, up, lSecNum);
  const std::int64_t k = std::max<std::int64_t>(scale.steps, 1);
  if (!ValidClassCount(k)) return -1;
  WorkArray<double> breaks(k + 1);
  if (!breaks) return -1;
  FillPrettyBreaks(scale, breaks.get());
  breaks[0] = std::min(breaks[0], lo);
  breaks[k] = std::max(breaks[k], up);
  return CompleteClosedClasses(m_pOrderData, m_lOrderNum, breaks.get(),
                               static_cast<std::int32_t>(k),
                               ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                            m_lSecLast}, out);
}

// Fails unless the values that are not NaN have a positive minimum and a
// finite maximum.
std::int32_t CMensora::DataSecByGeometric(std::int32_t lSecNum, double** ppSecBreak,
                                          std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                          std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (!AcceptsClassCall(m_pData, m_lDataNum, lSecNum, out)) return -1;
  ExtremumNum(nullptr, nullptr);
  SortedNumbers numbers;
  if (!CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers)) return -1;
  const double* values = numbers.values.get();
  const std::int32_t m = numbers.count;
  if (m == 0 || !(values[0] > 0.0) || !std::isfinite(values[m - 1])) return -1;
  WorkArray<double> breaks(static_cast<std::int64_t>(lSecNum) + 1);
  if (!breaks) return -1;
  GeometricBreaks(values[0], values[m - 1], lSecNum, breaks.get());
  return CompleteClosedClasses(m_pOrderData, m_lOrderNum, breaks.get(), lSecNum,
                               ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                            m_lSecLast}, out);
}
