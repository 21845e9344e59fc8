// Collection of class members from the sorted view and completion of the
// class result.
#include "classify/internal/class_result.h"

#include <cmath>
#include <cstring>

#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

namespace {

bool InWindow(double value, const ValueWindow* window) {
  return window == nullptr || (value >= window->dMin && !(value > window->dMax));
}

}  // namespace

bool CollectMembers(const ORDER_DATA* view, std::int32_t n, const double* breaks,
                    std::int32_t k, LastClass last, const ValueWindow* window,
                    std::int32_t* counts, std::vector<std::int32_t>& ids) noexcept {
  const bool closing =
      last == LastClass::kClosed ||
      (last == LastClass::kClosing && n > 0 &&
       !(std::fabs(view[n - 1].dValue - breaks[k]) >= EQ_TOLERANCE));
  try {
    for (std::int32_t s = 0; s < k; ++s) {
      const double low = breaks[s];
      const double high = breaks[s + 1];
      const bool closesHere = closing && s == k - 1;
      std::int32_t count = 0;
      for (std::int32_t e = 0; e < n; ++e) {
        const double value = view[e].dValue;
        bool member = value >= low && !(value >= high);
        if (closesHere) {
          member = value >= low && (value <= high || std::fabs(value - high) < EQ_TOLERANCE);
        }
        if (member && InWindow(value, window)) {
          ids.push_back(view[e].lID);
          ++count;
        }
      }
      counts[s] = count;
    }
  } catch (...) {
    std::vector<std::int32_t>().swap(ids);
    return false;
  }
  return true;
}

std::int32_t CompleteClassResult(const ORDER_DATA* view, std::int32_t n, std::int32_t k,
                                 const ClassBuffers& buffers, LastClass last,
                                 const ValueWindow* window, const ClassOutputs& out) noexcept {
  std::int32_t* counts = ReplaceArray(buffers.counts, k);
  if (counts == nullptr) return -1;

  std::vector<std::int32_t> list;
  if (!CollectMembers(view, n, buffers.breaks, k, last, window, counts, list)) {
    ReleaseArray(buffers.ids);
    return -1;
  }
  std::int64_t total = 0;
  for (std::int32_t s = 0; s < k; ++s) total += counts[s];

  std::int32_t* ids = ReplaceArray(buffers.ids, total);
  if (ids == nullptr) return -1;
  if (total > 0) std::memcpy(ids, list.data(), static_cast<std::size_t>(total) * sizeof(std::int32_t));

  *out.ppSecBreak = buffers.breaks;
  *out.pBreakNum = k + 1;
  *out.ppSecID = ids;
  *out.ppSecIDNum = counts;
  return 1;
}

}  // namespace internal
}  // namespace mensora
