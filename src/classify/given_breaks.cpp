// Range classes from breaks the caller names: the break values themselves,
// or percentiles of the sample. The caller's array is copied before any
// buffer is replaced, so it may be the break array of an earlier result.
#include <cfloat>
#include <cstdint>
#include <limits>

#include "Mensora.h"
#include "classify/internal/break_rules.h"
#include "classify/internal/class_result.h"
#include "classify/internal/sorted_numbers.h"
#include "sample/internal/alloc.h"

using mensora::internal::AcceptsClassCall;
using mensora::internal::AscendingWithin;
using mensora::internal::ClassBuffers;
using mensora::internal::ClassOutputs;
using mensora::internal::CollectSortedNumbers;
using mensora::internal::CompleteClosedClasses;
using mensora::internal::Percentile;
using mensora::internal::SortedNumbers;
using mensora::internal::WorkArray;

std::int32_t CMensora::DataSecByBreaks(const double* pBreak, std::int32_t lBreakNum,
                                       double** ppSecBreak, std::int32_t* pBreakNum,
                                       std::int32_t** ppSecID, std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (!AscendingWithin(pBreak, lBreakNum, -DBL_MAX, DBL_MAX) ||
      !AcceptsClassCall(m_pData, m_lDataNum, lBreakNum - 1, out)) {
    return -1;
  }
  WorkArray<double> breaks(lBreakNum);
  if (!breaks) return -1;
  std::copy(pBreak, pBreak + lBreakNum, breaks.get());
  ExtremumNum(nullptr, nullptr);
  if (m_pOrderData == nullptr || m_lOrderNum <= 0) return -1;
  return CompleteClosedClasses(m_pOrderData, m_lOrderNum, breaks.get(), lBreakNum - 1,
                               ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                            m_lSecLast}, out);
}

// Break i is the percentile pPercent[i] of the values that are not NaN (NaN
// when there is none), never below the break before it.
std::int32_t CMensora::DataSecByPercentile(const double* pPercent, std::int32_t lNum,
                                           double** ppSecBreak, std::int32_t* pBreakNum,
                                           std::int32_t** ppSecID, std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (!AscendingWithin(pPercent, lNum, 0.0, 100.0) ||
      !AcceptsClassCall(m_pData, m_lDataNum, lNum - 1, out)) {
    return -1;
  }
  ExtremumNum(nullptr, nullptr);
  SortedNumbers numbers;
  if (!CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers)) return -1;
  WorkArray<double> breaks(lNum);
  if (!breaks) return -1;
  for (std::int32_t i = 0; i < lNum; ++i) {
    if (numbers.count == 0) {
      breaks[i] = std::numeric_limits<double>::quiet_NaN();
      continue;
    }
    const double q = Percentile(numbers.values.get(), numbers.count, pPercent[i] / 100.0);
    breaks[i] = i > 0 && q < breaks[i - 1] ? breaks[i - 1] : q;
  }
  return CompleteClosedClasses(m_pOrderData, m_lOrderNum, breaks.get(), lNum - 1,
                               ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                            m_lSecLast}, out);
}
