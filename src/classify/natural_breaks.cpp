// Natural-breaks classes in the range-class buffers.
#include <algorithm>
#include <cstdint>
#include <limits>
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
using mensora::internal::LastClass;
using mensora::internal::NaturalBreaksThreads;
using mensora::internal::NaturalClassStarts;
using mensora::internal::NewArray;
using mensora::internal::ReplaceArray;
using mensora::internal::SortedNumbers;

// The values that are not NaN are collapsed into their d distinct values with
// counts and split into c = min(k, d) classes of consecutive distinct values
// with the least total sum of squared deviations from the class means (ties
// and infinite values as NaturalClassStarts and OptimalClassStarts decide).
// break[s] is the smallest value of class s and break[k] the largest value.
// With fewer distinct values than classes (c < k) each distinct value is a
// class: the smallest d - 1 values stand in classes 0..d-2, the classes
// d-1..k-2 are empty (their breaks repeat the maximum) and the last class
// holds the maximum.
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
  std::unique_ptr<std::int32_t[]> counts(NewArray<std::int32_t>(numbers.count));
  if (!counts) return -1;
  const std::int32_t d = CollapseEqual(values, numbers.count, counts.get());
  const std::int32_t classes = std::min(lSecNum, d);
  std::unique_ptr<std::int32_t[]> starts(NewArray<std::int32_t>(classes));
  if (!starts) return -1;
  if (d > 0 && !NaturalClassStarts(values, counts.get(), d, lSecNum, NaturalBreaksThreads(),
                                    starts.get())) {
    return -1;
  }

  double* breaks = ReplaceArray(m_pSecBreak, static_cast<std::int64_t>(lSecNum) + 1);
  if (breaks == nullptr) return -1;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (std::int32_t s = 0; s < lSecNum; ++s) {
    breaks[s] = d == 0 ? nan : values[starts[static_cast<std::size_t>(std::min(s, classes - 1))]];
  }
  breaks[lSecNum] = d == 0 ? nan : values[d - 1];
  return CompleteClassResult(m_pOrderData, m_lOrderNum, lSecNum,
                             ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum},
                             LastClass::kClosed, nullptr, out);
}
