// Selection of the values in a half-open value window, in array order.
#include <cstring>
#include <vector>

#include "Mensora.h"
#include "sample/internal/alloc.h"

// A value x is selected unless dMinValue > x or x >= dMaxValue: a NaN value
// is in every window, a NaN limit sets no limit. Returns -1 when nothing is
// selected (the earlier id array stays), when an output pointer is null, or
// when the ids cannot be stored.
std::int32_t CMensora::DataStatByArea(double dMinValue, double dMaxValue,
                                      std::int32_t** ppAreaID, std::int32_t* pAreaIDNum) {
  if (ppAreaID == nullptr || pAreaIDNum == nullptr || m_pData == nullptr) return -1;
  std::vector<std::int32_t> list;
  try {
    for (std::int32_t i = 0; i < m_lDataNum; ++i) {
      const double x = m_pData[i];
      if (!(dMinValue > x) && !(x >= dMaxValue)) list.push_back(i);
    }
  } catch (...) {
    return -1;
  }
  const std::int32_t count = static_cast<std::int32_t>(list.size());
  if (count <= 0) return -1;
  std::int32_t* ids = mensora::internal::ReplaceArray(m_pAreaID, count);
  if (ids == nullptr) return -1;
  std::memcpy(ids, list.data(), static_cast<std::size_t>(count) * sizeof(std::int32_t));
  *ppAreaID = ids;
  *pAreaIDNum = count;
  return 1;
}
