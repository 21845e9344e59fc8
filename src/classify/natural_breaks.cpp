// Natural-breaks classes in the range-class buffers.
#include <algorithm>
#include <cstdint>
#include <memory>

#include "Mensora.h"
#include "classify/internal/class_result.h"
#include "classify/internal/natural_breaks.h"
#include "classify/internal/natural_class_count.h"
#include "classify/internal/sorted_numbers.h"
#include "sample/internal/alloc.h"

using mensora::internal::AcceptsClassCall;
using mensora::internal::ClassBuffers;
using mensora::internal::ClassOutputs;
using mensora::internal::CollapseEqual;
using mensora::internal::CollectSortedNumbers;
using mensora::internal::CompleteClassResult;
using mensora::internal::CompleteClosedClasses;
using mensora::internal::FewestNaturalClasses;
using mensora::internal::FillNaturalBreaks;
using mensora::internal::LastClass;
using mensora::internal::NaturalBreaksThreads;
using mensora::internal::NaturalClassStarts;
using mensora::internal::NewArray;
using mensora::internal::OwnedArray;
using mensora::internal::ReplaceArray;
using mensora::internal::SortedNumbers;
using mensora::internal::WorkArray;

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
  if (!CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers, true)) return -1;

  double* values = numbers.values.get();
  double* weights = numbers.spare;
  const std::int32_t d = CollapseEqual(values, numbers.count, weights);
  OwnedArray<std::int32_t> starts(NewArray<std::int32_t>(std::min(lSecNum, d)));
  if (!starts) return -1;
  if (d > 0 && !NaturalClassStarts(values, weights, d, lSecNum, NaturalBreaksThreads(d),
                                    starts.get())) {
    return -1;
  }

  double* breaks = ReplaceArray(m_pSecBreak, static_cast<std::int64_t>(lSecNum) + 1);
  if (breaks == nullptr) return -1;
  FillNaturalBreaks(values, d, starts.get(), lSecNum, breaks);
  return CompleteClassResult(m_pOrderData, m_lOrderNum, lSecNum,
                             ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                          m_lSecLast},
                             LastClass::kClosed, nullptr, out);
}

// The classes of DataSecByNaturalBreaks for the fewest classes k in
// 2..lMaxSecNum whose GVF (as DataSecFitNum measures it) is at least
// dMinGVF (0 <= dMinGVF <= 1), from one run of the programme for lMaxSecNum
// classes (see FewestNaturalClasses): lMaxSecNum classes where no count
// reaches it or the GVF cannot be measured (no value but NaN, an infinite
// value), 2 for one distinct value. Fails on a bad argument or when memory
// is short, with the buffers untouched.
std::int32_t CMensora::DataSecByNaturalBreaksAuto(std::int32_t lMaxSecNum, double dMinGVF,
                                                  double** ppSecBreak, std::int32_t* pBreakNum,
                                                  std::int32_t** ppSecID,
                                                  std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (lMaxSecNum < 2 || !(dMinGVF >= 0.0 && dMinGVF <= 1.0) ||
      !AcceptsClassCall(m_pData, m_lDataNum, lMaxSecNum, out)) {
    return -1;
  }
  ExtremumNum(nullptr, nullptr);
  SortedNumbers numbers;
  if (!CollectSortedNumbers(m_pOrderData, m_lOrderNum, numbers)) return -1;
  const std::int32_t m = numbers.count;
  WorkArray<double> values(m);
  WorkArray<double> weights(m);
  if (!values || !weights) return -1;
  std::copy(numbers.values.get(), numbers.values.get() + m, values.get());
  const std::int32_t d = CollapseEqual(values.get(), m, weights.get());
  WorkArray<std::int32_t> starts(std::min(lMaxSecNum, d));
  if (!starts) return -1;
  std::int32_t k = 0;
  if (!FewestNaturalClasses(numbers.values.get(), values.get(), weights.get(), d, lMaxSecNum,
                            dMinGVF, NaturalBreaksThreads(d), starts.get(), k)) {
    return -1;
  }
  WorkArray<double> breaks(static_cast<std::int64_t>(k) + 1);
  if (!breaks) return -1;
  FillNaturalBreaks(values.get(), d, starts.get(), k, breaks.get());
  return CompleteClosedClasses(m_pOrderData, m_lOrderNum, breaks.get(), k,
                               ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                            m_lSecLast}, out);
}
