// Range classes from the shape of the distribution: head/tail breaks for
// heavy tails, box-plot classes around the quartiles, and breaks in the
// widest gaps between values.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "Mensora.h"
#include "classify/internal/break_rules.h"
#include "classify/internal/class_result.h"
#include "classify/internal/sorted_numbers.h"
#include "sample/internal/alloc.h"

using mensora::internal::AcceptsClassCall;
using mensora::internal::BoxPlotBreaks;
using mensora::internal::ClassBuffers;
using mensora::internal::ClassOutputs;
using mensora::internal::CollectSortedNumbers;
using mensora::internal::CompleteClosedClasses;
using mensora::internal::HeadTailMeans;
using mensora::internal::MaxGapBreaks;
using mensora::internal::SortedNumbers;
using mensora::internal::WorkArray;

// The breaks are the smallest value, the means of HeadTailMeans and the
// largest value: one class more than there are means, each holding at
// least one value. Without a value but NaN: one class between two NaN breaks.
std::int32_t CMensora::DataSecByHeadTail(double dHeadShare, double** ppSecBreak,
                                         std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                         std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (!(dHeadShare > 0.0 && dHeadShare < 1.0) || !AcceptsClassCall(m_pData, m_lDataNum, 1, out)) {
    return -1;
  }
  ExtremumNum(nullptr, nullptr);
  SortedNumbers numbers;
  if (!CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers)) return -1;
  const std::int32_t m = numbers.count;
  const double* values = numbers.values.get();
  WorkArray<double> breaks(static_cast<std::int64_t>(m) + 2);
  if (!breaks) return -1;
  const std::int32_t means = HeadTailMeans(values, m, dHeadShare, breaks.get() + 1);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  breaks[0] = m == 0 ? nan : values[0];
  breaks[means + 1] = m == 0 ? nan : values[m - 1];
  return CompleteClosedClasses(m_pOrderData, m_lOrderNum, breaks.get(), means + 1,
                               ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                            m_lSecLast}, out);
}

std::int32_t CMensora::DataSecByBoxPlot(double dHinge, double** ppSecBreak,
                                        std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                        std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (!(dHinge >= 0.0 && std::isfinite(dHinge)) || !AcceptsClassCall(m_pData, m_lDataNum, 6, out)) {
    return -1;
  }
  ExtremumNum(nullptr, nullptr);
  SortedNumbers numbers;
  if (!CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers)) return -1;
  double breaks[7];
  BoxPlotBreaks(numbers.values.get(), numbers.count, dHinge, breaks);
  return CompleteClosedClasses(m_pOrderData, m_lOrderNum, breaks, 6,
                               ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                            m_lSecLast}, out);
}

// Over the distinct values that are not NaN (every break NaN when there is
// none). With d distinct values and d < lSecNum, the classes d-1..k-2 are
// empty and the last holds the largest value, as for natural breaks.
std::int32_t CMensora::DataSecByMaxBreaks(std::int32_t lSecNum, double** ppSecBreak,
                                          std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                          std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (!AcceptsClassCall(m_pData, m_lDataNum, lSecNum, out)) return -1;
  ExtremumNum(nullptr, nullptr);
  SortedNumbers numbers;
  if (!CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers)) return -1;
  double* values = numbers.values.get();
  const auto d = static_cast<std::int32_t>(std::unique(values, values + numbers.count) - values);
  WorkArray<double> breaks(static_cast<std::int64_t>(lSecNum) + 1);
  if (!breaks) return -1;
  if (d == 0) {
    std::fill(breaks.get(), breaks.get() + lSecNum + 1, std::numeric_limits<double>::quiet_NaN());
  } else if (!MaxGapBreaks(values, d, lSecNum, breaks.get())) {
    return -1;
  }
  return CompleteClosedClasses(m_pOrderData, m_lOrderNum, breaks.get(), lSecNum,
                               ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                            m_lSecLast}, out);
}
