// Construction, destruction and copy assignment of the sample object.
#include <cstring>

#include "Mensora.h"
#include "sample/internal/alloc.h"

using mensora::internal::NewArray;
using mensora::internal::ReleaseArrays;

CMensora::CMensora(double* pData, std::int32_t lDataNum)
    : m_pData(pData),
      m_lDataNum(lDataNum),
      m_pOrderData(nullptr),
      m_lOrderNum(0),
      m_dAverNum(0.0),
      m_dNumerousNum(0.0),
      m_dMedianNum(0.0),
      m_dDisDifAverNum(0.0),
      m_dDisDifSqrSum(0.0),
      m_dSqrDifNum(0.0),
      m_dStandDifNum(0.0),
      m_dAlterDifCoe(0.0),
      m_dSqraverDifNum(0.0),
      m_pSubSection(nullptr),
      m_pAreaID(nullptr),
      m_pSecBreak(nullptr),
      m_pStdBreak(nullptr),
      m_pSecIDNum(nullptr),
      m_pSecID(nullptr),
      m_pStdIDNum(nullptr),
      m_pStdID(nullptr),
      m_bAverDone(0),
      m_bOrdered(0),
      m_bNumerousDone(0),
      m_bDisDifDone(0),
      m_lSecNum(0),
      m_lStdNum(0),
      m_lSecLast(0),
      m_lStdLast(0) {}

CMensora::~CMensora() {
  ReleaseArrays(m_pSubSection, m_pAreaID, m_pSecBreak, m_pSecIDNum, m_pStdBreak, m_pStdIDNum,
                m_pStdID, m_pOrderData, m_pSecID);
}

// The target gives up everything it owns, reads the source's sample, takes the
// source's cached measures and a copy of its sorted view, and starts without
// result buffers: each is rebuilt by the next call that produces it. When the
// copy of the view cannot be allocated the target has no view and builds one
// from the sample when it next needs it.
CMensora& CMensora::operator=(const CMensora& other) {
  if (this == &other) return *this;

  ReleaseArrays(m_pSubSection, m_pAreaID, m_pSecBreak, m_pSecIDNum, m_pStdBreak, m_pStdIDNum,
                m_pStdID, m_pOrderData, m_pSecID);
  m_lOrderNum = 0;
  m_bOrdered = 0;
  m_lSecNum = 0;
  m_lStdNum = 0;

  m_pData = other.m_pData;
  m_lDataNum = other.m_lDataNum;
  m_dAverNum = other.m_dAverNum;
  m_dNumerousNum = other.m_dNumerousNum;
  m_dMedianNum = other.m_dMedianNum;
  m_dDisDifAverNum = other.m_dDisDifAverNum;
  m_dDisDifSqrSum = other.m_dDisDifSqrSum;
  m_dSqrDifNum = other.m_dSqrDifNum;
  m_dStandDifNum = other.m_dStandDifNum;
  m_dAlterDifCoe = other.m_dAlterDifCoe;
  m_dSqraverDifNum = other.m_dSqraverDifNum;
  m_bAverDone = other.m_bAverDone;
  m_bNumerousDone = other.m_bNumerousDone;
  m_bDisDifDone = other.m_bDisDifDone;

  if (other.m_pOrderData != nullptr) {
    m_pOrderData = NewArray<ORDER_DATA>(other.m_lOrderNum);
    if (m_pOrderData != nullptr) {
      if (other.m_lOrderNum > 0) {
        std::memcpy(m_pOrderData, other.m_pOrderData,
                    static_cast<std::size_t>(other.m_lOrderNum) * sizeof(ORDER_DATA));
      }
      m_lOrderNum = other.m_lOrderNum;
      m_bOrdered = other.m_bOrdered;
    }
  }
  return *this;
}
