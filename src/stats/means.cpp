// Arithmetic, frequency-weighted and geometric means, the mode and the
// occurrence counts. The means read the caller's array afresh on every call.
#include <cmath>
#include <limits>

#include "Mensora.h"
#include "sample/internal/alloc.h"
#include "stats/internal/occurrence.h"

namespace {

// Root of a product that left the double range although every factor is
// finite and non-zero: the binary exponent is carried apart from the
// mantissa, and the root is taken of both separately. Follows the plain
// product's sign rule: a negative product has no real root for n >= 2.
double ScaledProductRoot(const double* values, std::int32_t n) {
  double mantissa = 1.0;
  std::int64_t exponent = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    int valueExponent = 0;
    int productExponent = 0;
    const double valueMantissa = std::frexp(values[i], &valueExponent);
    mantissa = std::frexp(mantissa * valueMantissa, &productExponent);
    exponent += valueExponent + productExponent;
  }
  if (mantissa < 0.0 && n >= 2) return 0.0;
  // |product| = |mantissa| * 2^exponent, exponent = q * n + rem, 0 <= rem < n.
  std::int64_t q = exponent / n;
  std::int64_t rem = exponent % n;
  if (rem < 0) {
    rem += n;
    q -= 1;
  }
  const double root = std::pow(std::fabs(mantissa), 1.0 / n) *
                      std::exp2(static_cast<double>(rem) / static_cast<double>(n));
  const double scaled = std::ldexp(root, static_cast<int>(q));
  return mantissa < 0.0 ? -scaled : scaled;
}

bool AllFiniteNonZero(const double* values, std::int32_t n) {
  for (std::int32_t i = 0; i < n; ++i) {
    if (!std::isfinite(values[i]) || values[i] == 0.0) return false;
  }
  return true;
}

}  // namespace

double CMensora::SimpleArithAverNum() {
  if (m_pData == nullptr) return 0.0;
  double sum = 0.0;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) sum = sum + m_pData[i];
  m_dAverNum = sum / static_cast<double>(m_lDataNum);
  m_bAverDone = 1;
  return m_dAverNum;
}

// The weighted mean (argument 0) weighs every value by its own occurrence
// count; the mode is the value at the first position with the highest count.
// An empty sample has no mode: the stored mode is kept, and the weighted mean
// is the empty quotient 0/0.
double CMensora::PowerArithAverNum(std::int32_t bNumerousOnly) {
  if (m_pData == nullptr) return 0.0;
  if (m_lDataNum <= 0) {
    return bNumerousOnly == 0 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
  }
  std::int32_t* counts = mensora::internal::NewArray<std::int32_t>(m_lDataNum);
  if (counts == nullptr) return 0.0;
  FrequenceNum(m_pData, counts);

  double result = 0.0;
  if (bNumerousOnly == 0) {
    double weights = 0.0;
    double weighted = 0.0;
    for (std::int32_t i = 0; i < m_lDataNum; ++i) {
      const double c = static_cast<double>(counts[i]);
      weights = weights + c;
      weighted = weighted + c * m_pData[i];
    }
    result = weighted / weights;
  }

  std::int32_t best = 0;
  std::int32_t pos = 0;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) {
    if (counts[i] > best) {
      best = counts[i];
      pos = i;
    }
  }
  m_dNumerousNum = m_pData[pos];
  m_bNumerousDone = 1;
  mensora::internal::ReleaseArray(counts);
  return result;
}

// The root of the plain product, or 0.0 when the product or its root lies
// beyond HUGE_BOUND or has no real root. Where every value is finite and
// non-zero but the plain product overflows or underflows, the root is taken
// of the exponent-scaled product instead. An empty sample has the empty
// product's root, 1.0.
double CMensora::GeometryAverNum() {
  if (m_pData == nullptr) return 0.0;
  if (m_lDataNum <= 0) return 1.0;
  double product = 1.0;
  for (std::int32_t i = 0; i < m_lDataNum; ++i) product = product * m_pData[i];

  double root = 0.0;
  if (!(product < -HUGE_BOUND || product > HUGE_BOUND || std::isnan(product))) {
    const double r = std::pow(product, 1.0 / static_cast<double>(m_lDataNum));
    if (-HUGE_BOUND < r && r < HUGE_BOUND) root = r;
  }
  if (root == 0.0 && AllFiniteNonZero(m_pData, m_lDataNum)) {
    const double r = ScaledProductRoot(m_pData, m_lDataNum);
    root = (-HUGE_BOUND < r && r < HUGE_BOUND) ? r : 0.0;
  }
  return root;
}

double CMensora::NumerousNum() {
  if (m_bNumerousDone == 0) PowerArithAverNum(1);
  return m_dNumerousNum;
}

std::int32_t CMensora::FrequenceNum(double* pValue, std::int32_t* pFrequence) {
  if (pValue == nullptr || pFrequence == nullptr) return 0;
  mensora::internal::CountOccurrences(pValue, m_lDataNum, pFrequence);
  return 1;
}
