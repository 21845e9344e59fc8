// Test access to the private members and fields of CMensora, through the one
// friend the class declares for tests.
#ifndef MENSORA_TESTS_SUPPORT_TEST_ACCESS_H
#define MENSORA_TESTS_SUPPORT_TEST_ACCESS_H

#include <cstdint>
#include <cstring>
#include <vector>

#include "Mensora.h"

class MensoraTestAccess {
 public:
  static std::int32_t OrderData(CMensora& m, std::int32_t type) { return m.OrderData(type); }
  static void QuickSort(CMensora& m, ORDER_DATA* r, std::int32_t l, std::int32_t h) {
    m.QuickSort(r, l, h);
  }
  static void BubbleSort(CMensora& m, ORDER_DATA* r, std::int32_t l, std::int32_t h) {
    m.BubbleSort(r, l, h);
  }
  static std::int32_t DataIDSeach(CMensora& m, ORDER_DATA* r, double d, std::int32_t n) {
    return m.DataIDSeach(r, d, n);
  }
  static std::int32_t FrequenceNum(CMensora& m, double* v, std::int32_t* f) {
    return m.FrequenceNum(v, f);
  }

  static const ORDER_DATA* View(const CMensora& m) { return m.m_pOrderData; }
  static std::int32_t OrderNum(const CMensora& m) { return m.m_lOrderNum; }
  static std::int32_t Ordered(const CMensora& m) { return m.m_bOrdered; }
  static std::int32_t AverDone(const CMensora& m) { return m.m_bAverDone; }
  static std::int32_t NumerousDone(const CMensora& m) { return m.m_bNumerousDone; }
  static std::int32_t DisDifDone(const CMensora& m) { return m.m_bDisDifDone; }
  static double AverNum(const CMensora& m) { return m.m_dAverNum; }
  static double NumerousValue(const CMensora& m) { return m.m_dNumerousNum; }
  static double MedianValue(const CMensora& m) { return m.m_dMedianNum; }
  static double StandDifValue(const CMensora& m) { return m.m_dStandDifNum; }
  static const double* Data(const CMensora& m) { return m.m_pData; }
  static std::int32_t DataNum(const CMensora& m) { return m.m_lDataNum; }
  static const double* SubSection(const CMensora& m) { return m.m_pSubSection; }
  static const std::int32_t* AreaID(const CMensora& m) { return m.m_pAreaID; }
  static const double* SecBreak(const CMensora& m) { return m.m_pSecBreak; }
  static const std::int32_t* SecIDNum(const CMensora& m) { return m.m_pSecIDNum; }
  static const std::int32_t* SecID(const CMensora& m) { return m.m_pSecID; }
  static const double* StdBreak(const CMensora& m) { return m.m_pStdBreak; }
  static const std::int32_t* StdIDNum(const CMensora& m) { return m.m_pStdIDNum; }
  static const std::int32_t* StdID(const CMensora& m) { return m.m_pStdID; }

  // The ids of the view in order.
  static std::vector<std::int32_t> ViewIds(const CMensora& m) {
    std::vector<std::int32_t> ids;
    for (std::int32_t i = 0; i < m.m_lOrderNum; ++i) ids.push_back(m.m_pOrderData[i].lID);
    return ids;
  }
  // ---- Object state as a whole, and cache seeding (sample, measure and
  // classification tests) ----

  // Every field, in declaration order, as raw bits: two snapshots are equal
  // exactly when no field changed (NaN caches included).
  static std::vector<std::uint64_t> State(const CMensora& m) {
    std::vector<std::uint64_t> s;
    auto d = [&s](double v) {
      std::uint64_t b = 0;
      std::memcpy(&b, &v, sizeof v);
      s.push_back(b);
    };
    auto p = [&s](const void* v) { s.push_back(reinterpret_cast<std::uintptr_t>(v)); };
    auto l = [&s](std::int32_t v) { s.push_back(static_cast<std::uint32_t>(v)); };
    p(m.m_pData); l(m.m_lDataNum); p(m.m_pOrderData); l(m.m_lOrderNum);
    d(m.m_dAverNum); d(m.m_dNumerousNum); d(m.m_dMedianNum); d(m.m_dDisDifAverNum);
    d(m.m_dDisDifSqrSum); d(m.m_dSqrDifNum); d(m.m_dStandDifNum); d(m.m_dAlterDifCoe);
    d(m.m_dSqraverDifNum);
    p(m.m_pSubSection); p(m.m_pAreaID); p(m.m_pSecBreak); p(m.m_pStdBreak); p(m.m_pSecIDNum);
    p(m.m_pSecID); p(m.m_pStdIDNum); p(m.m_pStdID);
    l(m.m_bAverDone); l(m.m_bOrdered); l(m.m_bNumerousDone); l(m.m_bDisDifDone);
    return s;
  }

  // Stores a mean and a standard deviation as if both had been computed.
  static void SeedMeanAndStd(CMensora& m, double mean, double sd) {
    m.m_dAverNum = mean;
    m.m_bAverDone = 1;
    m.m_dStandDifNum = sd;
    m.m_bDisDifDone = 1;
  }
  // ---- end of the state block ----
};

#endif  // MENSORA_TESTS_SUPPORT_TEST_ACCESS_H
