// The sorted view: building it, the two sorts and the gap search.
#include "Mensora.h"
#include "sample/internal/alloc.h"
#include "sample/internal/sort.h"

using mensora::internal::NewArray;
using mensora::internal::ReleaseArray;

// Rebuilds the view from the caller's current values: 0 sorts by quicksort,
// 1 by the exchange sort, any other type leaves the records in array order.
// When the records cannot be allocated the object is left without a view
// (null, no records, not ordered) and the result is 0; every user of the view
// then behaves as for an empty sample.
std::int32_t CMensora::OrderData(std::int32_t lOrderType) {
  if (m_pData == nullptr) return 0;
  ReleaseArray(m_pOrderData);
  m_lOrderNum = 0;
  m_bOrdered = 0;
  m_lViewFacts = 0;
  m_pOrderData = NewArray<ORDER_DATA>(m_lDataNum);
  if (m_pOrderData == nullptr) return 0;
  m_lOrderNum = m_lDataNum;
  for (std::int32_t i = 0; i < m_lOrderNum; ++i) {
    m_pOrderData[i].dValue = m_pData[i];
    m_pOrderData[i].lID = i;
  }
  if (lOrderType == 0) {
    QuickSort(m_pOrderData, 0, m_lOrderNum - 1);
    m_bOrdered = 1;
  } else if (lOrderType == 1) {
    BubbleSort(m_pOrderData, 0, m_lOrderNum - 1);
    m_bOrdered = 1;
  }
  return m_bOrdered;
}

void CMensora::QuickSort(ORDER_DATA* const pOrderData, std::int32_t lLeft, std::int32_t lRight) {
  if (pOrderData == nullptr) return;
  mensora::internal::QuickSortRecords(pOrderData, lLeft, lRight);
}

void CMensora::BubbleSort(ORDER_DATA* const pOrderData, std::int32_t lLeft, std::int32_t lRight) {
  if (pOrderData == nullptr) return;
  mensora::internal::BubbleSortRecords(pOrderData, lLeft, lRight);
}

std::int32_t CMensora::DataIDSeach(ORDER_DATA* const pOrderData, double dData, std::int32_t lNum) {
  if (pOrderData == nullptr) return -1;
  return mensora::internal::FindGap(pOrderData, dData, lNum);
}
