// Standard-deviation classes: 2L + 2 classes laid around the mean in steps of
// dStdTimes standard deviations, bounded outside by -HUGE_BOUND and
// +HUGE_BOUND, over the whole sample or limited to a closed value window.
// They have their own set of buffers and no closing rule. A standard
// deviation that cannot be computed (its scratch array is not to be had)
// fails the call before any buffer is touched, rather than laying every break
// on the mean.
#include <cmath>

#include "Mensora.h"
#include "classify/internal/class_result.h"
#include "sample/internal/alloc.h"

using mensora::internal::ClassBuffers;
using mensora::internal::ClassOutputs;
using mensora::internal::CompleteClassResult;
using mensora::internal::LastClass;
using mensora::internal::ReplaceArray;
using mensora::internal::ValueWindow;

namespace {

// L steps on each side need 2L + 3 breaks countable in 32 bits. A negative or
// NaN step width is rejected: its breaks would descend and list values twice.
bool ValidSteps(std::int32_t lStdNum, double dStdTimes) {
  return lStdNum >= 0 && 2 * static_cast<std::int64_t>(lStdNum) + 3 <= INT32_MAX &&
         dStdTimes >= 0.0;
}

// break[c - s] = m - (s t) sigma and break[c + s] = (s t) sigma + m around the
// centre c = L + 1, then the two outer breaks.
void FillStdBreaks(double* breaks, std::int32_t lStdNum, double times, double mean,
                   double sigma) {
  const std::int32_t k = 2 * lStdNum + 2;
  const std::int32_t c = (k + 2) / 2 - 1;
  for (std::int32_t s = 0; s <= lStdNum; ++s) {
    const double offset = (static_cast<double>(s) * times) * sigma;
    breaks[c - s] = mean - offset;
    breaks[c + s] = offset + mean;
  }
  breaks[0] = -HUGE_BOUND;
  breaks[k] = HUGE_BOUND;
}

}  // namespace

std::int32_t CMensora::DataSecByAverStd(std::int32_t lStdNum, double dStdTimes,
                                        double** ppSecBreak, std::int32_t* pBreakNum,
                                        std::int32_t** ppSecID, std::int32_t** ppSecIDNum) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (m_pData == nullptr || m_lDataNum <= 0 || !ValidSteps(lStdNum, dStdTimes) ||
      !out.Complete()) {
    return -1;
  }
  if (m_bOrdered == 0) OrderData(0);
  if (m_pOrderData == nullptr || m_lOrderNum <= 0) return -1;

  const double mean = SimpleArithAverNum();
  const double sigma = StandDifNum();
  if (m_bDisDifDone == 0) return -1;  // no scratch array for the deviations
  const std::int32_t k = 2 * lStdNum + 2;
  double* breaks = ReplaceArray(m_pStdBreak, static_cast<std::int64_t>(k) + 1);
  if (breaks == nullptr) return -1;
  FillStdBreaks(breaks, lStdNum, dStdTimes, mean, sigma);
  return CompleteClassResult(m_pOrderData, m_lOrderNum, k,
                             ClassBuffers{m_pStdBreak, m_pStdIDNum, m_pStdID, m_lStdNum,
                                          m_lStdLast},
                             LastClass::kOpen, nullptr, out);
}

// The breaks are those of DataSecByAverStd; a member must also lie in the
// closed window dMin..dMax, each limit within EQ_TOLERANCE of its sentinel
// (or not a number) taken from the sample extremes.
std::int32_t CMensora::DataSecByAverStdAndMinMax(std::int32_t lStdNum, double dStdTimes,
                                                 double** ppSecBreak, std::int32_t* pBreakNum,
                                                 std::int32_t** ppSecID,
                                                 std::int32_t** ppSecIDNum, double dMin,
                                                 double dMax) {
  const ClassOutputs out{ppSecBreak, pBreakNum, ppSecID, ppSecIDNum};
  if (m_pData == nullptr || m_lDataNum <= 0 || !ValidSteps(lStdNum, dStdTimes) ||
      !out.Complete()) {
    return -1;
  }
  double max = 0.0;
  double min = 0.0;
  ExtremumNum(&max, &min);
  if (m_pOrderData == nullptr || m_lOrderNum <= 0) return -1;
  ValueWindow window{dMin, dMax};
  if (!(std::fabs(dMin - AUTO_MIN) >= EQ_TOLERANCE)) window.dMin = min;
  if (!(std::fabs(dMax - AUTO_MAX) >= EQ_TOLERANCE)) window.dMax = max;

  const double mean = SimpleArithAverNum();
  const double sigma = StandDifNum();
  if (m_bDisDifDone == 0) return -1;  // no scratch array for the deviations
  const std::int32_t k = 2 * lStdNum + 2;
  double* breaks = ReplaceArray(m_pStdBreak, static_cast<std::int64_t>(k) + 1);
  if (breaks == nullptr) return -1;
  FillStdBreaks(breaks, lStdNum, dStdTimes, mean, sigma);
  return CompleteClassResult(m_pOrderData, m_lOrderNum, k,
                             ClassBuffers{m_pStdBreak, m_pStdIDNum, m_pStdID, m_lStdNum,
                                          m_lStdLast},
                             LastClass::kOpen, &window, out);
}
