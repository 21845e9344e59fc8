// Collection of class members from the sorted view and completion of the
// class result.
#include "classify/internal/class_result.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

namespace {

bool InWindow(double value, const ValueWindow* window) {
  return window == nullptr || (value >= window->dMin && !(value > window->dMax));
}

// The literal scan: every class tests every entry of the view.
void ScanMembers(const ORDER_DATA* view, std::int32_t n, const double* breaks, std::int32_t k,
                 bool closing, const ValueWindow* window, std::int32_t* counts,
                 std::vector<std::int32_t>& ids) {
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
}

// The entries of the view that are not NaN, when their values ascend in view
// order (views built by the quicksort always; by the exchange sort when the
// sample has no NaN): entry(q) is the q-th of them.
class AscendingEntries {
 public:
  // False when the values do not ascend or memory is short.
  bool Init(const ORDER_DATA* view, std::int32_t n) noexcept {
    view_ = view;
    std::int32_t nan = 0;
    const double* last = nullptr;
    for (std::int32_t e = 0; e < n; ++e) {
      const double* v = &view[e].dValue;
      if (std::isnan(*v)) {
        ++nan;
        continue;
      }
      if (last != nullptr && *v < *last) return false;
      last = v;
    }
    count_ = n - nan;
    if (nan == 0) return true;
    entries_.reset(NewArray<std::int32_t>(count_));
    if (!entries_) return false;
    std::int32_t q = 0;
    for (std::int32_t e = 0; e < n; ++e) {
      if (!std::isnan(view[e].dValue)) entries_[q++] = e;
    }
    return true;
  }
  std::int32_t Count() const { return count_; }
  const ORDER_DATA& Entry(std::int32_t q) const { return view_[entries_ ? entries_[q] : q]; }
  // The first q at which pred fails; pred must hold on a prefix of the entries.
  template <class Pred>
  std::int32_t End(Pred pred) const {
    std::int32_t lo = 0;
    std::int32_t hi = count_;
    while (lo < hi) {
      const std::int32_t mid = lo + (hi - lo) / 2;
      if (pred(Entry(mid).dValue)) {
        lo = mid + 1;
      } else {
        hi = mid;
      }
    }
    return lo;
  }

 private:
  const ORDER_DATA* view_ = nullptr;
  std::int32_t count_ = 0;
  std::unique_ptr<std::int32_t[]> entries_;
};

// Over ascending values every test of a member (v >= low, v < high or not
// comparable, the closing test v <= high or |v - high| < EQ_TOLERANCE, and
// the window) holds on a contiguous run, so each class is one run, found by
// binary search, in the order of the view. NaN entries pass no test.
void SearchMembers(const AscendingEntries& entries, const double* breaks, std::int32_t k,
                   bool closing, const ValueWindow* window, std::int32_t* counts,
                   std::vector<std::int32_t>& ids) {
  std::int32_t windowBegin = 0;
  std::int32_t windowEnd = entries.Count();
  if (window != nullptr) {
    const double dMin = window->dMin;
    const double dMax = window->dMax;
    windowBegin = entries.End([dMin](double v) { return !(v >= dMin); });
    windowEnd = entries.End([dMax](double v) { return !(v > dMax); });
  }
  // Class s is entries [b, e), computed once for the counts and again for the ids.
  auto run = [&](std::int32_t s, std::int32_t& b, std::int32_t& e) {
    const double low = breaks[s];
    const double high = breaks[s + 1];
    b = std::max(windowBegin, entries.End([low](double v) { return !(v >= low); }));
    e = windowEnd;
    if (closing && s == k - 1) {
      e = std::min(e, entries.End([high](double v) {
        return v <= high || std::fabs(v - high) < EQ_TOLERANCE;
      }));
    } else {
      e = std::min(e, entries.End([high](double v) { return !(v >= high); }));
    }
    if (e < b) e = b;
  };
  std::int64_t total = 0;
  for (std::int32_t s = 0; s < k; ++s) {
    std::int32_t b = 0;
    std::int32_t e = 0;
    run(s, b, e);
    counts[s] = e - b;
    total += e - b;
  }
  ids.reserve(ids.size() + static_cast<std::size_t>(total));
  for (std::int32_t s = 0; s < k; ++s) {
    std::int32_t b = 0;
    std::int32_t e = 0;
    run(s, b, e);
    for (std::int32_t q = b; q < e; ++q) ids.push_back(entries.Entry(q).lID);
  }
}

}  // namespace

bool CollectMembers(const ORDER_DATA* view, std::int32_t n, const double* breaks,
                    std::int32_t k, LastClass last, const ValueWindow* window,
                    std::int32_t* counts, std::vector<std::int32_t>& ids) noexcept {
  const bool closing =
      last == LastClass::kClosing && n > 0 &&
      !(std::fabs(view[n - 1].dValue - breaks[k]) >= EQ_TOLERANCE);
  try {
    AscendingEntries entries;
    if (entries.Init(view, n)) {
      SearchMembers(entries, breaks, k, closing, window, counts, ids);
    } else {
      ScanMembers(view, n, breaks, k, closing, window, counts, ids);
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
