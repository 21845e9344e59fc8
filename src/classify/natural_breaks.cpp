// Natural-breaks classes in the range-class buffers.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "Mensora.h"
#include "classify/internal/class_result.h"
#include "classify/internal/natural_breaks.h"
#include "classify/internal/sorted_numbers.h"
#include "sample/internal/alloc.h"

using mensora::internal::AcceptsClassCall;
using mensora::internal::ClassBuffers;
using mensora::internal::ClassOutputs;
using mensora::internal::CollapseEqual;
using mensora::internal::CollectSortedNumbers;
using mensora::internal::CompleteClassResult;
using mensora::internal::FillNaturalBreaks;
using mensora::internal::LastClass;
using mensora::internal::NaturalBreaksThreads;
using mensora::internal::NaturalClassStarts;
using mensora::internal::NewArray;
using mensora::internal::ReplaceArray;
using mensora::internal::SortedNumbers;

// The values that are not NaN are collapsed into their d distinct values with
// their counts as weights and split into c = min(k, d) classes of consecutive
// distinct values with the least total sum of squared deviations from the
// class means (ties and infinite values as NaturalClassStarts and
// OptimalClassStarts decide); the breaks are those of FillNaturalBreaks.
//
// The scratch memory is allocated before any buffer is replaced: when it
// fails the call returns -1 with the buffers as they were.
std::int32_t CMensora::DataSecByNaturalBreaks(std::int32_t lSecNum, double** ppSecBreak,
                                              std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                              std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (!AcceptsClassCall(m_pData, m_lDataNum, lSecNum, out)) return -1;
  ExtremumNum(nullptr, nullptr);
  SortedNumbers numbers;
  if (!CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers)) return -1;

  double* values = numbers.values.get();
  std::unique_ptr<double[]> weights(NewArray<double>(numbers.count));
  if (!weights) return -1;
  const std::int32_t d = CollapseEqual(values, numbers.count, weights.get());
  std::unique_ptr<std::int32_t[]> starts(NewArray<std::int32_t>(std::min(lSecNum, d)));
  if (!starts) return -1;
  if (d > 0 && !NaturalClassStarts(values, weights.get(), d, lSecNum, NaturalBreaksThreads(),
                                    starts.get())) {
    return -1;
  }

  double* breaks = ReplaceArray(m_pSecBreak, static_cast<std::int64_t>(lSecNum) + 1);
  if (breaks == nullptr) return -1;
  FillNaturalBreaks(values, d, starts.get(), lSecNum, breaks);
  return CompleteClassResult(m_pOrderData, m_lOrderNum, lSecNum,
                             ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum},
                             LastClass::kClosed, nullptr, out);
}
