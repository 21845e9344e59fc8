// Range classes: equal intervals between the extremes, and classes from a
// start value with a fixed step or a fixed class count. They share one set of
// buffers and close the last class by the closing rule.
#include <cmath>

#include "Mensora.h"
#include "classify/internal/class_result.h"
#include "sample/internal/alloc.h"

using mensora::internal::ClassBuffers;
using mensora::internal::ClassOutputs;
using mensora::internal::CompleteClassResult;
using mensora::internal::LastClass;
using mensora::internal::ReplaceArray;
using mensora::internal::ValidClassCount;

namespace {

// An end value within EQ_TOLERANCE of AUTO_MAX (or not a number) means the
// sample maximum.
double EndValue(double dEnd, double max) {
  return std::fabs(dEnd - AUTO_MAX) >= EQ_TOLERANCE ? dEnd : max;
}

// break[i] = i * width + start for i = 0..k, each step rounded to double.
void FillEqualBreaks(double* breaks, std::int32_t k, double width, double start) {
  for (std::int32_t i = 0; i <= k; ++i) breaks[i] = static_cast<double>(i) * width + start;
}

}  // namespace

std::int32_t CMensora::DataSecByMaxMin(std::int32_t lSecNum, double** ppSecBreak,
                                       std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                       std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (m_pData == nullptr || m_lDataNum <= 0 || !ValidClassCount(lSecNum) || !out.Complete()) {
    return -1;
  }
  double max = 0.0;
  double min = 0.0;
  ExtremumNum(&max, &min);
  if (m_pOrderData == nullptr || m_lOrderNum <= 0) return -1;

  const double width = (max - min) / static_cast<double>(lSecNum);
  double* breaks = ReplaceArray(m_pSecBreak, static_cast<std::int64_t>(lSecNum) + 1);
  if (breaks == nullptr) return -1;
  FillEqualBreaks(breaks, lSecNum, width, min);
  return CompleteClassResult(m_pOrderData, m_lOrderNum, lSecNum,
                             ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                          m_lSecLast},
                             LastClass::kClosing, nullptr, out);
}

// The class count is (end - start) / step truncated toward zero; a count that
// is not a number, below 1, or too large for k + 1 breaks is rejected.
std::int32_t CMensora::DataStatByStartAndStep(double dStart, double dStep, double** ppSecBreak,
                                              std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                              std::int32_t** ppSecIDNum, double dEnd) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (m_pData == nullptr || m_lDataNum <= 0 || !out.Complete()) return -1;
  double max = 0.0;
  double min = 0.0;
  ExtremumNum(&max, &min);
  if (m_pOrderData == nullptr || m_lOrderNum <= 0) return -1;

  const double quotient = (EndValue(dEnd, max) - dStart) / dStep;
  if (!(quotient >= 1.0) || !(quotient < static_cast<double>(INT32_MAX))) return -1;
  const std::int32_t k = static_cast<std::int32_t>(quotient);

  double* breaks = ReplaceArray(m_pSecBreak, static_cast<std::int64_t>(k) + 1);
  if (breaks == nullptr) return -1;
  FillEqualBreaks(breaks, k, dStep, dStart);
  return CompleteClassResult(m_pOrderData, m_lOrderNum, k,
                             ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                          m_lSecLast},
                             LastClass::kClosing, nullptr, out);
}

std::int32_t CMensora::DataStatByStartAndGroupNum(double dStart, std::int32_t lGroupNum,
                                                  double** ppSecBreak, std::int32_t* pBreakNum,
                                                  std::int32_t** ppSecID,
                                                  std::int32_t** ppSecIDNum, double dEnd) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (m_pData == nullptr || m_lDataNum <= 0 || !ValidClassCount(lGroupNum) || !out.Complete()) {
    return -1;
  }
  double max = 0.0;
  double min = 0.0;
  ExtremumNum(&max, &min);
  if (m_pOrderData == nullptr || m_lOrderNum <= 0) return -1;

  const double width = (EndValue(dEnd, max) - dStart) / static_cast<double>(lGroupNum);
  double* breaks = ReplaceArray(m_pSecBreak, static_cast<std::int64_t>(lGroupNum) + 1);
  if (breaks == nullptr) return -1;
  FillEqualBreaks(breaks, lGroupNum, width, dStart);
  return CompleteClassResult(m_pOrderData, m_lOrderNum, lGroupNum,
                             ClassBuffers{m_pSecBreak, m_pSecIDNum, m_pSecID, m_lSecNum,
                                          m_lSecLast},
                             LastClass::kClosing, nullptr, out);
}
