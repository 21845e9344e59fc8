// Deviations from the mean, the six spread measures kept in the deviation
// cache, and the skewness and kurtosis statistics.
#include <cmath>

#include "Mensora.h"
#include "sample/internal/alloc.h"

// Writes the n deviations from the stored mean and recomputes the six
// measures from them. Without an output array, or without a sample, it does
// nothing.
void CMensora::DisDifNum(double* pDisDif) {
  if (pDisDif == nullptr || m_pData == nullptr) return;
  if (m_bAverDone == 0) SimpleArithAverNum();
  const double mean = m_dAverNum;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) pDisDif[i] = m_pData[i] - mean;

  double absSum = 0.0;
  double sqrSum = 0.0;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) {
    const double d = pDisDif[i];
    absSum = absSum + std::fabs(d);
    sqrSum = sqrSum + d * d;
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

namespace {

// Fills the deviation cache through a scratch array when it is empty. A
// scratch array that cannot be had is passed on as null, and DisDifNum then
// does nothing.
void FillDeviationCache(CMensora& object, std::int32_t done, std::int32_t n) {
  if (done != 0) return;
  double* scratch = mensora::internal::NewArray<double>(n);
  object.DisDifNum(scratch);
  mensora::internal::ReleaseArray(scratch);
}

}  // namespace

double CMensora::DisDifAverNum() {
  FillDeviationCache(*this, m_bDisDifDone, m_lDataNum);
  return m_dDisDifAverNum;
}

double CMensora::DisDifSqrSum() {
  FillDeviationCache(*this, m_bDisDifDone, m_lDataNum);
  return m_dDisDifSqrSum;
}

double CMensora::SqrDifNum() {
  FillDeviationCache(*this, m_bDisDifDone, m_lDataNum);
  return m_dSqrDifNum;
}

double CMensora::SqraverDifNum() {
  FillDeviationCache(*this, m_bDisDifDone, m_lDataNum);
  return m_dSqraverDifNum;
}

double CMensora::StandDifNum() {
  FillDeviationCache(*this, m_bDisDifDone, m_lDataNum);
  return m_dStandDifNum;
}

double CMensora::AlterDifCoe() {
  FillDeviationCache(*this, m_bDisDifDone, m_lDataNum);
  return m_dAlterDifCoe;
}

// Skewness g1 = S3 / n over its standard error sqrt(6 / n), with S3 the sum of
// cubed standardised values.
double CMensora::DeflectDegree() {
  FillDeviationCache(*this, m_bDisDifDone, m_lDataNum);
  if (m_pData == nullptr) return 0.0;
  double cubes = 0.0;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) {
    const double z = (m_pData[i] - m_dAverNum) / m_dStandDifNum;
    cubes = cubes + (z * z) * z;
  }
  const double sixN = static_cast<double>(6 * static_cast<std::int64_t>(m_lDataNum));
  return std::sqrt(1.0 / sixN) * cubes;
}

// Excess kurtosis g2 = S4 / n - 3 over its standard error sqrt(24 / n).
double CMensora::ApexDegree() {
  FillDeviationCache(*this, m_bDisDifDone, m_lDataNum);
  if (m_pData == nullptr) return 0.0;
  double fourths = 0.0;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) {
    const double z = (m_pData[i] - m_dAverNum) / m_dStandDifNum;
    fourths = fourths + ((z * z) * z) * z;
  }
  const double n = static_cast<double>(m_lDataNum);
  const double root = std::sqrt(n / 24.0);
  return root * (fourths / n - 3.0);
}
