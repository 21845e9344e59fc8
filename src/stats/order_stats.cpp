// Median, extremes, range and every k-th sorted value, read from the sorted
// view. Each builds the view when it is not valid; without a view (an empty
// sample, or records that could not be allocated) they act as for an empty
// sample.
#include <cmath>
#include <limits>

#include "Mensora.h"
#include "sample/internal/alloc.h"

namespace {

// Midpoint of two sorted values without overflow: (a + b) / 2 wherever that
// sum is finite or an operand is not, a / 2 + b / 2 where only the sum overflows.
double Midpoint(double a, double b) {
  const double sum = a + b;
  if (std::isfinite(sum) || !std::isfinite(a) || !std::isfinite(b)) return sum / 2.0;
  return a / 2.0 + b / 2.0;
}

}  // namespace

double CMensora::MedianNum() {
  if (m_pData == nullptr) return 0.0;
  if (m_bOrdered == 0) OrderData(0);
  if (m_pOrderData == nullptr || m_lOrderNum <= 0) {
    m_dMedianNum = std::numeric_limits<double>::quiet_NaN();
    return m_dMedianNum;
  }
  const std::int32_t n = m_lOrderNum;
  if (n % 2 == 1) {
    m_dMedianNum = m_pOrderData[(n + 1) / 2 - 1].dValue;
  } else {
    m_dMedianNum = Midpoint(m_pOrderData[n / 2 - 1].dValue, m_pOrderData[n / 2].dValue);
  }
  return m_dMedianNum;
}

void CMensora::ExtremumNum(double* pMax, double* pMin) {
  if (m_pData == nullptr) return;
  if (m_bOrdered == 0) OrderData(0);
  if (m_pOrderData == nullptr || m_lOrderNum <= 0) return;
  if (pMax != nullptr) *pMax = m_pOrderData[m_lOrderNum - 1].dValue;
  if (pMin != nullptr) *pMin = m_pOrderData[0].dValue;
}

double CMensora::ExtreDifNum() {
  if (m_pData == nullptr) return 0.0;
  if (m_bOrdered == 0) OrderData(0);
  if (m_pOrderData == nullptr || m_lOrderNum <= 0) {
    return std::numeric_limits<double>::quiet_NaN();
  }
  return m_pOrderData[m_lOrderNum - 1].dValue - m_pOrderData[0].dValue;
}

// Copies the sorted values at positions 0, lStep, 2 lStep, ... A step that is
// not in 1..n, or a null ppSubSection, is rejected: nothing is written and the
// previous array stays. The view is built before that test, by the exchange
// sort when this is the first user of the view.
void CMensora::SubSectionNum(double** ppSubSection, std::int32_t lStep,
                             std::int32_t* pSubSectionNum) {
  if (m_bOrdered == 0) OrderData(1);
  if (m_pOrderData == nullptr) return;
  const std::int32_t n = m_lOrderNum;
  if (ppSubSection == nullptr || lStep <= 0 || lStep > n) return;
  std::int32_t count = n / lStep;
  if (n % lStep != 0) count = count + 1;
  double* values = mensora::internal::ReplaceArray(m_pSubSection, count);
  if (values == nullptr) return;
  for (std::int32_t i = 0; i < count; ++i) {
    values[i] = m_pOrderData[static_cast<std::int64_t>(i) * lStep].dValue;
  }
  *ppSubSection = values;
  if (pSubSectionNum != nullptr) *pSubSectionNum = count;
}
