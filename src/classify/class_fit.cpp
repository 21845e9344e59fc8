// Goodness of fit of the current range or standard-deviation class result.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "Mensora.h"
#include "classify/internal/class_fit.h"
#include "sample/internal/alloc.h"

using mensora::internal::ClassFit;
using mensora::internal::MeasureClassFit;
using mensora::internal::WorkArray;

namespace {

// Where the ids are one run of entries of the view, its NaN entries aside,
// as the classes of an ascending view with ascending breaks are listed, their
// values are read along it; false, with nothing useful written, otherwise.
bool ReadAlongView(const ORDER_DATA* view, std::int32_t n, const std::int32_t* ids,
                   std::int64_t total, double* values) {
  std::int32_t e = 0;
  if (total > 0) {
    while (e < n && view[e].lID != ids[0]) ++e;
  }
  for (std::int64_t i = 0; i < total; ++i, ++e) {
    while (e < n && std::isnan(view[e].dValue)) ++e;
    if (e == n || view[e].lID != ids[i]) return false;
    values[i] = view[e].dValue;
  }
  return true;
}

}  // namespace

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
  if (k <= 0 || counts == nullptr || ids == nullptr || m_pOrderData == nullptr ||
      m_lOrderNum <= 0) {
    return -1;
  }

  std::int64_t total = 0;
  for (std::int32_t s = 0; s < k; ++s) total += counts[s];
  WorkArray<double> members(total);
  if (!members) return -1;
  if (!ReadAlongView(m_pOrderData, m_lOrderNum, ids, total, members.get())) {
    WorkArray<double> valueOf(m_lOrderNum);
    if (!valueOf) return -1;
    for (std::int32_t e = 0; e < m_lOrderNum; ++e) {
      valueOf[m_pOrderData[e].lID] = m_pOrderData[e].dValue;
    }
    for (std::int64_t i = 0; i < total; ++i) members[i] = valueOf[ids[i]];
  }
  std::int64_t at = 0;
  for (std::int32_t s = 0; s < k; ++s) {
    double* first = members.get() + at;
    at += counts[s];
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
