// Equal-count (quantile) classes in the range-class buffers.
#include <cstdint>
#include <limits>

#include "Mensora.h"
#include "classify/internal/class_result.h"
#include "classify/internal/sorted_numbers.h"
#include "sample/internal/alloc.h"

using mensora::internal::AcceptsClassCall;
using mensora::internal::ClassBuffers;
using mensora::internal::ClassOutputs;
using mensora::internal::CollectSortedNumbers;
using mensora::internal::CompleteClassResult;
using mensora::internal::LastClass;
using mensora::internal::ReplaceArray;
using mensora::internal::SortedNumbers;

// Over the m values that are not NaN, ascending: break[s] is the value at
// position floor(s * m / k) for s < k, and break[k] the largest of them.
// A break that equals a value puts every copy of it into the higher class, so
// equal values never straddle a break; a class may hold more or fewer than
// m / k values, and repeated breaks give empty classes.
std::int32_t CMensora::DataSecByQuantile(std::int32_t lSecNum, double** ppSecBreak,
                                         std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                         std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (!AcceptsClassCall(m_pData, m_lDataNum, lSecNum, out)) return -1;
  ExtremumNum(nullptr, nullptr);
  SortedNumbers numbers;
  if (!CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers)) return -1;

  double* breaks = ReplaceArray(m_pSecBreak, static_cast<std::int64_t>(lSecNum) + 1);
  if (breaks == nullptr) return -1;
  const std::int64_t m = numbers.count;
  for (std::int32_t s = 0; s < lSecNum; ++s) {
    breaks[s] = m == 0 ? std::numeric_limits<double>::quiet_NaN()
                       : numbers.values[static_cast<std::size_t>(static_cast<std::int64_t>(s) * m / lSecNum)];
  }
  breaks[lSecNum] = m == 0 ? std::numeric_limits<double>::quiet_NaN() : numbers.values[static_cast<std::size_t>(m - 1)];
  return CompleteClassResult(m_pOrderData, m_lOrderNum, lSecNum,
                             ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                          m_lSecLast},
                             LastClass::kClosed, nullptr, out);
}
