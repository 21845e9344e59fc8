// Goodness of fit of the current range or standard-deviation class result.
#include <algorithm>
#include <cstdint>

#include "Mensora.h"
#include "classify/internal/class_fit.h"
#include "sample/internal/alloc.h"

using mensora::internal::ClassFit;
using mensora::internal::MeasureClassFit;
using mensora::internal::WorkArray;

// The members are measured with the values of the sorted view the classes
// were collected from, as listed (an id listed twice counts twice; a value in
// no class counts nowhere), each class in ascending order of value.
std::int32_t CMensora::DataSecFitNum(std::int32_t bStdSec, double* pSDAM, double* pSDCM,
                                     double* pGVF, double* pADCM, double* pTAI) {
  if (pSDAM == nullptr || pSDCM == nullptr || pGVF == nullptr || pADCM == nullptr ||
      pTAI == nullptr) {
    return -1;
  }
  const std::int32_t k = bStdSec != 0 ? m_lStdNum : m_lSecNum;
  const std::int32_t* counts = bStdSec != 0 ? m_pStdIDNum : m_pSecIDNum;
  const std::int32_t* ids = bStdSec != 0 ? m_pStdID : m_pSecID;
  if (k <= 0 || counts == nullptr || ids == nullptr || m_pOrderData == nullptr) return -1;

  std::int64_t total = 0;
  for (std::int32_t s = 0; s < k; ++s) total += counts[s];
  WorkArray<double> valueOf(m_lOrderNum);
  WorkArray<double> members(total);
  if (!valueOf || !members) return -1;
  for (std::int32_t e = 0; e < m_lOrderNum; ++e) valueOf[m_pOrderData[e].lID] = m_pOrderData[e].dValue;
  std::int64_t at = 0;
  for (std::int32_t s = 0; s < k; ++s) {
    double* first = members.get() + at;
    for (std::int32_t i = 0; i < counts[s]; ++i, ++at) members[at] = valueOf[ids[at]];
    if (!std::is_sorted(first, members.get() + at)) std::sort(first, members.get() + at);
  }
  const ClassFit fit = MeasureClassFit(members.get(), counts, k);
  *pSDAM = fit.sdam;
  *pSDCM = fit.sdcm;
  *pGVF = fit.gvf;
  *pADCM = fit.adcm;
  *pTAI = fit.tai;
  return 1;
}
