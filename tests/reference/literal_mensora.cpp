// The literal model of the sample object. Each member follows the library's
// definition step by step, on the literal algorithms; arrays come from plain
// new[] (allocation failures are not modelled).
#include <cmath>
#include <cstring>
#include <limits>

#include "literal.h"

namespace mensora_ref {

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

template <class T>
T* Replace(T*& field, std::int64_t n) {
  delete[] field;
  field = new T[static_cast<std::size_t>(n)];
  return field;
}

template <class T>
void Release(T*& field) {
  delete[] field;
  field = nullptr;
}

}  // namespace

LiteralMensora::LiteralMensora(double* pData, std::int32_t lDataNum)
    : m_pData(pData), m_lDataNum(lDataNum) {}

LiteralMensora::~LiteralMensora() {
  ReleaseAll();
  Release(m_pOrderData);
}

void LiteralMensora::ReleaseAll() {
  Release(m_pSubSection);
  Release(m_pAreaID);
  Release(m_pSecBreak);
  Release(m_pSecIDNum);
  Release(m_pSecID);
  Release(m_pStdBreak);
  Release(m_pStdIDNum);
  Release(m_pStdID);
}

LiteralMensora& LiteralMensora::operator=(const LiteralMensora& o) {
  if (this == &o) return *this;
  ReleaseAll();
  Release(m_pOrderData);
  m_lOrderNum = 0;
  m_bOrdered = 0;
  m_pData = o.m_pData;
  m_lDataNum = o.m_lDataNum;
  m_dAverNum = o.m_dAverNum;
  m_dNumerousNum = o.m_dNumerousNum;
  m_dMedianNum = o.m_dMedianNum;
  m_dDisDifAverNum = o.m_dDisDifAverNum;
  m_dDisDifSqrSum = o.m_dDisDifSqrSum;
  m_dSqrDifNum = o.m_dSqrDifNum;
  m_dStandDifNum = o.m_dStandDifNum;
  m_dAlterDifCoe = o.m_dAlterDifCoe;
  m_dSqraverDifNum = o.m_dSqraverDifNum;
  m_bAverDone = o.m_bAverDone;
  m_bNumerousDone = o.m_bNumerousDone;
  m_bDisDifDone = o.m_bDisDifDone;
  if (o.m_pOrderData != nullptr) {
    m_pOrderData = new ORDER_DATA[static_cast<std::size_t>(o.m_lOrderNum)];
    for (std::int32_t i = 0; i < o.m_lOrderNum; ++i) m_pOrderData[i] = o.m_pOrderData[i];
    m_lOrderNum = o.m_lOrderNum;
    m_bOrdered = o.m_bOrdered;
  }
  return *this;
}

// ---- Sorted view -----------------------------------------------------------

std::int32_t LiteralMensora::OrderData(std::int32_t lOrderType) {
  if (m_pData == nullptr) return 0;
  Release(m_pOrderData);
  m_lOrderNum = 0;
  m_bOrdered = 0;
  if (m_lDataNum < 0) return 0;  // no records can be had: no view
  m_pOrderData = new ORDER_DATA[static_cast<std::size_t>(m_lDataNum)];
  m_lOrderNum = m_lDataNum;
  for (std::int32_t i = 0; i < m_lOrderNum; ++i) m_pOrderData[i] = ORDER_DATA{m_pData[i], i};
  if (lOrderType == 0) {
    QuickSort(m_pOrderData, 0, m_lOrderNum - 1);
    m_bOrdered = 1;
  } else if (lOrderType == 1) {
    BubbleSort(m_pOrderData, 0, m_lOrderNum - 1);
    m_bOrdered = 1;
  }
  return m_bOrdered;
}

void LiteralMensora::QuickSort(ORDER_DATA* const r, std::int32_t lLeft, std::int32_t lRight) {
  if (r != nullptr) mensora_ref::QuickSort(r, lLeft, lRight);
}

void LiteralMensora::BubbleSort(ORDER_DATA* const r, std::int32_t lLeft, std::int32_t lRight) {
  if (r != nullptr) mensora_ref::BubbleSort(r, lLeft, lRight);
}

std::int32_t LiteralMensora::DataIDSeach(ORDER_DATA* const r, double dData, std::int32_t lNum) {
  if (r == nullptr) return -1;
  std::int64_t lo = 0;
  std::int64_t hi = static_cast<std::int64_t>(lNum) - 1;
  while (lo <= hi) {
    const std::int64_t mid = (lo + hi) / 2;
    if (mid > 0 && !(r[mid - 1].dValue >= dData) && r[mid].dValue > dData) {
      return static_cast<std::int32_t>(mid - 1);
    }
    if (mid + 1 < lNum && !(r[mid].dValue >= dData) && r[mid + 1].dValue > dData) {
      return static_cast<std::int32_t>(mid);
    }
    if (!(r[mid].dValue >= dData)) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return -1;
}

// ---- Means and mode ----------------------------------------------------------

double LiteralMensora::SimpleArithAverNum() {
  if (m_pData == nullptr) return 0.0;
  double sum = 0.0;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) sum = sum + m_pData[i];
  m_dAverNum = sum / static_cast<double>(m_lDataNum);
  m_bAverDone = 1;
  return m_dAverNum;
}

std::int32_t LiteralMensora::FrequenceNum(double* pValue, std::int32_t* pFrequence) {
  if (pValue == nullptr || pFrequence == nullptr) return 0;
  CountOccurrences(pValue, m_lDataNum, pFrequence);
  return 1;
}

double LiteralMensora::PowerArithAverNum(std::int32_t bNumerousOnly) {
  if (m_pData == nullptr) return 0.0;
  if (m_lDataNum <= 0) return bNumerousOnly == 0 ? kNaN : 0.0;
  std::vector<std::int32_t> counts(static_cast<std::size_t>(m_lDataNum));
  std::int32_t* c = counts.data();
  FrequenceNum(m_pData, c);
  double result = 0.0;
  if (bNumerousOnly == 0) {
    double w = 0.0;
    double s = 0.0;
    for (std::int32_t i = 0; i < m_lDataNum; ++i) {
      w = w + static_cast<double>(c[i]);
      s = s + static_cast<double>(c[i]) * m_pData[i];
    }
    result = s / w;
  }
  std::int32_t best = 0;
  std::int32_t pos = 0;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) {
    if (c[i] > best) {
      best = c[i];
      pos = i;
    }
  }
  m_dNumerousNum = m_pData[pos];
  m_bNumerousDone = 1;
  return result;
}

double LiteralMensora::NumerousNum() {
  if (m_bNumerousDone == 0) PowerArithAverNum(1);
  return m_dNumerousNum;
}

double LiteralMensora::GeometryAverNum() {
  if (m_pData == nullptr) return 0.0;
  const std::int32_t n = m_lDataNum;
  if (n <= 0) return 1.0;
  double p = 1.0;
  for (std::int32_t i = 0; i < n; ++i) p = p * m_pData[i];
  double root = 0.0;
  if (!(p < -HUGE_BOUND || p > HUGE_BOUND || std::isnan(p))) {
    const double r = std::pow(p, 1.0 / static_cast<double>(n));
    if (-HUGE_BOUND < r && r < HUGE_BOUND) root = r;
  }
  bool ordinary = true;
  for (std::int32_t i = 0; i < n; ++i) {
    ordinary = ordinary && std::isfinite(m_pData[i]) && m_pData[i] != 0.0;
  }
  if (root != 0.0 || !ordinary) return root;
  // The root of the product with its binary exponent carried apart.
  double mantissa = 1.0;
  std::int64_t exponent = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    int e1 = 0;
    int e2 = 0;
    const double m1 = std::frexp(m_pData[i], &e1);
    mantissa = std::frexp(mantissa * m1, &e2);
    exponent += e1 + e2;
  }
  if (mantissa < 0.0 && n >= 2) return 0.0;
  std::int64_t q = exponent / n;
  std::int64_t rem = exponent % n;
  if (rem < 0) {
    rem += n;
    q -= 1;
  }
  double r = std::ldexp(std::pow(std::fabs(mantissa), 1.0 / n) *
                            std::exp2(static_cast<double>(rem) / static_cast<double>(n)),
                        static_cast<int>(q));
  if (mantissa < 0.0) r = -r;
  return (-HUGE_BOUND < r && r < HUGE_BOUND) ? r : 0.0;
}

// ---- Order statistics ----------------------------------------------------------

double LiteralMensora::MedianNum() {
  if (m_pData == nullptr) return 0.0;
  if (m_bOrdered == 0) OrderData(0);
  const std::int32_t n = m_lOrderNum;
  if (m_pOrderData == nullptr || n <= 0) return m_dMedianNum = kNaN;
  if (n % 2 == 1) return m_dMedianNum = m_pOrderData[(n + 1) / 2 - 1].dValue;
  const double a = m_pOrderData[n / 2 - 1].dValue;
  const double b = m_pOrderData[n / 2].dValue;
  const double sum = a + b;
  const bool plain = std::isfinite(sum) || !std::isfinite(a) || !std::isfinite(b);
  return m_dMedianNum = plain ? sum / 2.0 : a / 2.0 + b / 2.0;
}

void LiteralMensora::ExtremumNum(double* pMax, double* pMin) {
  if (m_pData == nullptr) return;
  if (m_bOrdered == 0) OrderData(0);
  if (m_pOrderData == nullptr || m_lOrderNum <= 0) return;
  if (pMax != nullptr) *pMax = m_pOrderData[m_lOrderNum - 1].dValue;
  if (pMin != nullptr) *pMin = m_pOrderData[0].dValue;
}

double LiteralMensora::ExtreDifNum() {
  if (m_pData == nullptr) return 0.0;
  if (m_bOrdered == 0) OrderData(0);
  if (m_pOrderData == nullptr || m_lOrderNum <= 0) return kNaN;
  return m_pOrderData[m_lOrderNum - 1].dValue - m_pOrderData[0].dValue;
}

void LiteralMensora::SubSectionNum(double** ppSubSection, std::int32_t lStep,
                                   std::int32_t* pSubSectionNum) {
  if (m_bOrdered == 0) OrderData(1);
  if (m_pOrderData == nullptr) return;
  const std::int32_t n = m_lOrderNum;
  if (ppSubSection == nullptr || lStep <= 0 || lStep > n) return;
  const std::int32_t count = n / lStep + (n % lStep != 0 ? 1 : 0);
  double* values = Replace(m_pSubSection, count);
  for (std::int32_t i = 0; i < count; ++i) {
    values[i] = m_pOrderData[static_cast<std::int64_t>(i) * lStep].dValue;
  }
  *ppSubSection = values;
  if (pSubSectionNum != nullptr) *pSubSectionNum = count;
}

// ---- Deviation and shape ---------------------------------------------------------

void LiteralMensora::DisDifNum(double* pDisDif) {
  if (pDisDif == nullptr || m_pData == nullptr) return;
  if (m_bAverDone == 0) SimpleArithAverNum();
  for (std::int32_t i = 0; i < m_lDataNum; ++i) pDisDif[i] = m_pData[i] - m_dAverNum;
  double absSum = 0.0;
  double sqrSum = 0.0;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) {
    absSum = absSum + std::fabs(pDisDif[i]);
    sqrSum = sqrSum + pDisDif[i] * pDisDif[i];
  }
  const double n = static_cast<double>(m_lDataNum);
  m_dDisDifAverNum = absSum / n;
  m_dDisDifSqrSum = sqrSum;
  m_dSqrDifNum = sqrSum / n;
  m_dStandDifNum = std::sqrt(m_dSqrDifNum);
  m_dAlterDifCoe = m_dStandDifNum / m_dAverNum;
  m_dSqraverDifNum = std::sqrt(m_dSqrDifNum);
  m_bDisDifDone = 1;
}

void LiteralMensora::FillDeviationCache() {
  if (m_bDisDifDone != 0) return;
  std::vector<double> scratch(static_cast<std::size_t>(m_lDataNum < 0 ? 0 : m_lDataNum) + 1);
  DisDifNum(m_lDataNum < 0 ? nullptr : scratch.data());
}

double LiteralMensora::DisDifAverNum() { return FillDeviationCache(), m_dDisDifAverNum; }
double LiteralMensora::DisDifSqrSum() { return FillDeviationCache(), m_dDisDifSqrSum; }
double LiteralMensora::SqrDifNum() { return FillDeviationCache(), m_dSqrDifNum; }
double LiteralMensora::SqraverDifNum() { return FillDeviationCache(), m_dSqraverDifNum; }
double LiteralMensora::StandDifNum() { return FillDeviationCache(), m_dStandDifNum; }
double LiteralMensora::AlterDifCoe() { return FillDeviationCache(), m_dAlterDifCoe; }

double LiteralMensora::DeflectDegree() {
  FillDeviationCache();
  if (m_pData == nullptr) return 0.0;
  double cubes = 0.0;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) {
    const double z = (m_pData[i] - m_dAverNum) / m_dStandDifNum;
    cubes = cubes + (z * z) * z;
  }
  return std::sqrt(1.0 / (6.0 * static_cast<double>(m_lDataNum))) * cubes;
}

double LiteralMensora::ApexDegree() {
  FillDeviationCache();
  if (m_pData == nullptr) return 0.0;
  double fourths = 0.0;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) {
    const double z = (m_pData[i] - m_dAverNum) / m_dStandDifNum;
    fourths = fourths + ((z * z) * z) * z;
  }
  const double n = static_cast<double>(m_lDataNum);
  return std::sqrt(n / 24.0) * (fourths / n - 3.0);
}

// ---- Value window and class breaks --------------------------------------------------

std::int32_t LiteralMensora::DataStatByArea(double dMinValue, double dMaxValue,
                                            std::int32_t** ppAreaID, std::int32_t* pAreaIDNum) {
  if (ppAreaID == nullptr || pAreaIDNum == nullptr || m_pData == nullptr) return -1;
  std::vector<std::int32_t> list;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) {
    if (!(dMinValue > m_pData[i]) && !(m_pData[i] >= dMaxValue)) list.push_back(i);
  }
  if (list.empty()) return -1;
  const auto count = static_cast<std::int32_t>(list.size());
  std::int32_t* ids = Replace(m_pAreaID, count);
  std::memcpy(ids, list.data(), list.size() * sizeof(std::int32_t));
  *ppAreaID = ids;
  *pAreaIDNum = count;
  return 1;
}

namespace {

bool Complete(double** a, std::int32_t* b, std::int32_t** c, std::int32_t** d) {
  return a != nullptr && b != nullptr && c != nullptr && d != nullptr;
}

bool ValidCount(std::int64_t k) { return k >= 1 && k < INT32_MAX; }

double EndValue(double dEnd, double max) {
  return std::fabs(dEnd - AUTO_MAX) >= EQ_TOLERANCE ? dEnd : max;
}

// Counts, collection and ids of a class result whose breaks stand in breaks.
std::int32_t Finish(const ORDER_DATA* view, std::int32_t n, std::int32_t k, double* breaks,
                    std::int32_t*& countsField, std::int32_t*& idsField, LastClass last,
                    const ValueWindow* window, double** ppSecBreak, std::int32_t* pBreakNum,
                    std::int32_t** ppSecID, std::int32_t** ppSecIDNum) {
  std::int32_t* counts = Replace(countsField, k);
  std::vector<std::int32_t> list;
  mensora_ref::CollectMembers(view, n, breaks, k, last, window, counts, list);
  std::int32_t* ids = Replace(idsField, static_cast<std::int64_t>(list.size()));
  if (!list.empty()) std::memcpy(ids, list.data(), list.size() * sizeof(std::int32_t));
  *ppSecBreak = breaks;
  *pBreakNum = k + 1;
  *ppSecID = ids;
  *ppSecIDNum = counts;
  return 1;
}

}  // namespace

std::int32_t LiteralMensora::RangeClasses(std::int32_t k, double width, double start,
                                          double** ppSecBreak, std::int32_t* pBreakNum,
                                          std::int32_t** ppSecID, std::int32_t** ppSecIDNum) {
  double* breaks = Replace(m_pSecBreak, static_cast<std::int64_t>(k) + 1);
  for (std::int32_t i = 0; i <= k; ++i) breaks[i] = static_cast<double>(i) * width + start;
  return Finish(m_pOrderData, m_lOrderNum, k, breaks, m_pSecIDNum, m_pSecID,
                LastClass::kClosing, nullptr, ppSecBreak, pBreakNum, ppSecID, ppSecIDNum);
}

std::int32_t LiteralMensora::DataSecByMaxMin(std::int32_t lSecNum, double** ppSecBreak,
                                             std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                             std::int32_t** ppSecIDNum) {
  if (m_pData == nullptr || m_lDataNum <= 0 || !ValidCount(lSecNum) ||
      !Complete(ppSecBreak, pBreakNum, ppSecID, ppSecIDNum)) {
    return -1;
  }
  double max = 0.0;
  double min = 0.0;
  ExtremumNum(&max, &min);
  const double width = (max - min) / static_cast<double>(lSecNum);
  return RangeClasses(lSecNum, width, min, ppSecBreak, pBreakNum, ppSecID, ppSecIDNum);
}

std::int32_t LiteralMensora::DataStatByStartAndStep(double dStart, double dStep,
                                                    double** ppSecBreak, std::int32_t* pBreakNum,
                                                    std::int32_t** ppSecID,
                                                    std::int32_t** ppSecIDNum, double dEnd) {
  if (m_pData == nullptr || m_lDataNum <= 0 ||
      !Complete(ppSecBreak, pBreakNum, ppSecID, ppSecIDNum)) {
    return -1;
  }
  double max = 0.0;
  double min = 0.0;
  ExtremumNum(&max, &min);
  const double quotient = (EndValue(dEnd, max) - dStart) / dStep;
  if (!(quotient >= 1.0) || !(quotient < static_cast<double>(INT32_MAX))) return -1;
  return RangeClasses(static_cast<std::int32_t>(quotient), dStep, dStart, ppSecBreak, pBreakNum,
                      ppSecID, ppSecIDNum);
}

std::int32_t LiteralMensora::DataStatByStartAndGroupNum(double dStart, std::int32_t lGroupNum,
                                                        double** ppSecBreak,
                                                        std::int32_t* pBreakNum,
                                                        std::int32_t** ppSecID,
                                                        std::int32_t** ppSecIDNum, double dEnd) {
  if (m_pData == nullptr || m_lDataNum <= 0 || !ValidCount(lGroupNum) ||
      !Complete(ppSecBreak, pBreakNum, ppSecID, ppSecIDNum)) {
    return -1;
  }
  double max = 0.0;
  double min = 0.0;
  ExtremumNum(&max, &min);
  const double width = (EndValue(dEnd, max) - dStart) / static_cast<double>(lGroupNum);
  return RangeClasses(lGroupNum, width, dStart, ppSecBreak, pBreakNum, ppSecID, ppSecIDNum);
}

std::int32_t LiteralMensora::StdClasses(std::int32_t lStdNum, double dStdTimes,
                                        const ValueWindow* window, double** ppSecBreak,
                                        std::int32_t* pBreakNum, std::int32_t** ppSecID,
                                        std::int32_t** ppSecIDNum) {
  const double mean = SimpleArithAverNum();
  const double sigma = StandDifNum();
  if (m_bDisDifDone == 0) return -1;  // no deviations could be computed
  const std::int32_t k = 2 * lStdNum + 2;
  const std::int32_t c = (k + 2) / 2 - 1;
  double* breaks = Replace(m_pStdBreak, static_cast<std::int64_t>(k) + 1);
  for (std::int32_t s = 0; s <= lStdNum; ++s) {
    const double offset = (static_cast<double>(s) * dStdTimes) * sigma;
    breaks[c - s] = mean - offset;
    breaks[c + s] = offset + mean;
  }
  breaks[0] = -HUGE_BOUND;
  breaks[k] = HUGE_BOUND;
  return Finish(m_pOrderData, m_lOrderNum, k, breaks, m_pStdIDNum, m_pStdID, LastClass::kOpen,
                window, ppSecBreak, pBreakNum, ppSecID, ppSecIDNum);
}

namespace {

bool ValidSteps(std::int32_t lStdNum, double dStdTimes) {
  return lStdNum >= 0 && 2 * static_cast<std::int64_t>(lStdNum) + 3 <= INT32_MAX &&
         dStdTimes >= 0.0;
}

}  // namespace

std::int32_t LiteralMensora::DataSecByAverStd(std::int32_t lStdNum, double dStdTimes,
                                              double** ppSecBreak, std::int32_t* pBreakNum,
                                              std::int32_t** ppSecID,
                                              std::int32_t** ppSecIDNum) {
  if (m_pData == nullptr || m_lDataNum <= 0 || !ValidSteps(lStdNum, dStdTimes) ||
      !Complete(ppSecBreak, pBreakNum, ppSecID, ppSecIDNum)) {
    return -1;
  }
  if (m_bOrdered == 0) OrderData(0);
  return StdClasses(lStdNum, dStdTimes, nullptr, ppSecBreak, pBreakNum, ppSecID, ppSecIDNum);
}

std::int32_t LiteralMensora::DataSecByAverStdAndMinMax(std::int32_t lStdNum, double dStdTimes,
                                                       double** ppSecBreak,
                                                       std::int32_t* pBreakNum,
                                                       std::int32_t** ppSecID,
                                                       std::int32_t** ppSecIDNum, double dMin,
                                                       double dMax) {
  if (m_pData == nullptr || m_lDataNum <= 0 || !ValidSteps(lStdNum, dStdTimes) ||
      !Complete(ppSecBreak, pBreakNum, ppSecID, ppSecIDNum)) {
    return -1;
  }
  double max = 0.0;
  double min = 0.0;
  ExtremumNum(&max, &min);
  ValueWindow window{dMin, dMax};
  if (!(std::fabs(dMin - AUTO_MIN) >= EQ_TOLERANCE)) window.dMin = min;
  if (!(std::fabs(dMax - AUTO_MAX) >= EQ_TOLERANCE)) window.dMax = max;
  return StdClasses(lStdNum, dStdTimes, &window, ppSecBreak, pBreakNum, ppSecID, ppSecIDNum);
}

}  // namespace mensora_ref
