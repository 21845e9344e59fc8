// Collection of class members from the sorted view and completion of the
// class result. The members of every class are those of the k x n scan, in
// its order, found by the cheapest form that fits the view and the breaks:
// binary search when the view's values ascend (NaN aside), one pass with a
// search over the breaks when the breaks ascend, the scan itself otherwise or
// when working memory cannot be had.
#include "classify/internal/class_result.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

namespace {

bool InWindow(double value, const ValueWindow* window) {
  return window == nullptr || (value >= window->dMin && !(value > window->dMax));
}

// Whether the last class also takes the values at its upper break, and those
// within `tolerance` of it (EQ_TOLERANCE under the closing rule of the range
// classes, 0 for a class closed exactly at its break).
struct Closing {
  bool on;
  double tolerance;
  bool Takes(double value, double high) const {
    return value <= high || std::fabs(value - high) < tolerance;
  }
};

// The literal scan: every class tests every entry of the view.
void ScanMembers(const ORDER_DATA* view, std::int32_t n, const double* breaks, std::int32_t k,
                 const Closing& closing, const ValueWindow* window, std::int32_t* counts,
                 std::vector<std::int32_t>& ids) {
  for (std::int32_t s = 0; s < k; ++s) {
    const double low = breaks[s];
    const double high = breaks[s + 1];
    const bool closesHere = closing.on && s == k - 1;
    std::int32_t count = 0;
    for (std::int32_t e = 0; e < n; ++e) {
      const double value = view[e].dValue;
      bool member = value >= low && !(value >= high);
      if (closesHere) {
        member = value >= low && closing.Takes(value, high);
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
    // Most views hold no NaN and ascend: one pass without branches shows it.
    bool plain = true;
    for (std::int32_t e = 1; e < n; ++e) {
      const double v = view[e].dValue;
      plain &= !(v < view[e - 1].dValue) & (v == v);
    }
    if (plain && (n == 0 || view[0].dValue == view[0].dValue)) {
      count_ = n;
      return true;
    }
    std::int32_t nan = 0;
    double last = -std::numeric_limits<double>::infinity();
    for (std::int32_t e = 0; e < n; ++e) {
      const double v = view[e].dValue;
      if (std::isnan(v)) {
        ++nan;
        continue;
      }
      if (v < last) return false;
      last = v;
    }
    count_ = n - nan;
    if (nan == 0 || count_ == 0) return true;
    entries_.Allocate(count_);
    if (!entries_) return false;
    std::int32_t q = 0;
    for (std::int32_t e = 0; e < n; ++e) {
      if (!std::isnan(view[e].dValue)) entries_[q++] = e;
    }
    return true;
  }
  std::int32_t Count() const { return count_; }
  const ORDER_DATA& Entry(std::int32_t q) const { return view_[entries_ ? entries_[q] : q]; }
  // The first q >= from at which pred fails; pred must hold on a prefix of
  // the entries and at every q < from. Gallops from `from`, then bisects.
  template <class Pred>
  std::int32_t End(std::int32_t from, Pred pred) const {
    std::int32_t lo = from;
    std::int32_t hi = count_;
    for (std::int64_t step = 1; lo + step <= count_; step *= 2) {
      const auto probe = static_cast<std::int32_t>(lo + step - 1);
      if (!pred(Entry(probe).dValue)) {
        hi = probe;
        break;
      }
      lo = probe + 1;
    }
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
  WorkArray<std::int32_t> entries_;
};

// Over ascending values every test of a member (v >= low, v < high or not
// comparable, the closing test v <= high or |v - high| < tolerance, and
// the window) holds on a contiguous run, so each class is one run of the
// entries, found by binary search, in the order of the view. NaN entries pass
// no test. The runs are taken class by class, in order.
class ClassRuns {
 public:
  ClassRuns(const AscendingEntries& entries, const double* breaks, std::int32_t k,
            const Closing& closing, const ValueWindow* window)
      : entries_(entries), breaks_(breaks), k_(k), closing_(closing) {
    const std::int32_t n = entries.Count();
    windowEnd_ = n;
    if (window != nullptr) {
      const double dMin = window->dMin;
      const double dMax = window->dMax;
      windowBegin_ = entries.End(0, [dMin](double v) { return !(v >= dMin); });
      windowEnd_ = entries.End(0, [dMax](double v) { return !(v > dMax); });
    }
    closingEnd_ = n;
    if (closing.on) {
      const double high = breaks[k];
      closingEnd_ = entries.End(0, [high, closing](double v) { return closing.Takes(v, high); });
    }
    below_ = Below(0);
  }

  // The entries [begin, end) of the next class.
  void Next(std::int32_t& begin, std::int32_t& end) {
    const std::int32_t next = Below(s_ + 1);
    const std::int32_t limit = closing_.on && s_ == k_ - 1 ? closingEnd_ : next;
    begin = std::max(below_, windowBegin_);
    end = std::max(begin, std::min(windowEnd_, limit));
    below_ = next;
    ++s_;
  }

 private:
  // The number of entries below break s. Ascending breaks let each search
  // start where the previous one ended.
  std::int32_t Below(std::int32_t s) {
    const double b = breaks_[s];
    if (!(s > 0 && b >= breaks_[s - 1])) from_ = 0;
    from_ = entries_.End(from_, [b](double v) { return !(v >= b); });
    return from_;
  }

  const AscendingEntries& entries_;
  const double* breaks_;
  std::int32_t k_;
  Closing closing_;
  std::int32_t windowBegin_ = 0;
  std::int32_t windowEnd_ = 0;
  std::int32_t closingEnd_ = 0;
  std::int32_t from_ = 0;
  std::int32_t below_ = 0;
  std::int32_t s_ = 0;
};

// A view whose values do not ascend (the exchange sort's, with NaN), with
// ascending breaks: every value lies in at most one class, found by binary
// search over the breaks (the closing test only adds values at or above the
// last break to the last class), and the classes are laid out by counting.
// False, with nothing written, when the breaks do not ascend or memory is
// short.
bool BucketMembers(const ORDER_DATA* view, std::int32_t n, const double* breaks, std::int32_t k,
                   const Closing& closing, const ValueWindow* window, std::int32_t* counts,
                   std::vector<std::int32_t>& ids) {
  for (std::int32_t s = 0; s < k; ++s) {
    if (!(breaks[s] <= breaks[s + 1])) return false;
  }
  WorkArray<std::int32_t> classOf(n);
  if (!classOf) return false;
  const double last = breaks[k];
  std::fill(counts, counts + k, 0);
  std::int64_t total = 0;
  for (std::int32_t e = 0; e < n; ++e) {
    const double v = view[e].dValue;
    std::int64_t c = -1;
    if (!std::isnan(v) && InWindow(v, window)) {
      c = std::upper_bound(breaks, breaks + k + 1, v) - breaks - 1;  // breaks[c] <= v < breaks[c + 1]
      if (c == k) c = closing.on && closing.Takes(v, last) ? k - 1 : -1;
    }
    classOf[e] = static_cast<std::int32_t>(c);
    if (c >= 0) {
      ++counts[c];
      ++total;
    }
  }
  // counts[] turns into each class's end in the list while the ids are
  // placed, then back into counts.
  const std::size_t base = ids.size();
  ids.resize(base + static_cast<std::size_t>(total));
  std::int32_t* list = ids.data() + base;
  std::int32_t start = 0;
  for (std::int32_t s = 0; s < k; ++s) {
    const std::int32_t count = counts[s];
    counts[s] = start;
    start += count;
  }
  for (std::int32_t e = 0; e < n; ++e) {
    if (classOf[e] >= 0) list[counts[classOf[e]]++] = view[e].lID;
  }
  for (std::int32_t s = k - 1; s > 0; --s) counts[s] -= counts[s - 1];
  return true;
}

// How the last class closes on its upper break (see LastClass).
Closing LastClassClosing(const ORDER_DATA* view, std::int32_t n, const double* breaks,
                         std::int32_t k, LastClass last) {
  if (last == LastClass::kClosed) return Closing{true, 0.0};
  const bool rule = last == LastClass::kClosing && n > 0 &&
                    !(std::fabs(view[n - 1].dValue - breaks[k]) >= EQ_TOLERANCE);
  return Closing{rule, EQ_TOLERANCE};
}

}  // namespace

// Over an ascending view the counts come first, by binary search, and the
// ids are then written straight into their buffer; other views gather the
// ids in a list, by one pass over the view or by the scan.
std::int32_t CompleteClassResult(const ORDER_DATA* view, std::int32_t n, std::int32_t k,
                                 const ClassBuffers& buffers, LastClass last,
                                 const ValueWindow* window, const ClassOutputs& out) noexcept {
  buffers.classes = 0;
  std::int32_t* counts = ReplaceArray(buffers.counts, k);
  if (counts == nullptr) return -1;
  const double* breaks = buffers.breaks;
  const Closing closing = LastClassClosing(view, n, breaks, k, last);

  AscendingEntries entries;
  const bool ascending = entries.Init(view, n);
  std::vector<std::int32_t> list;
  // Where the non-empty runs follow one another without gap or overlap (as
  // they do for ascending breaks), the ids are one block of the entries.
  bool oneBlock = true;
  std::int32_t blockBegin = 0;
  std::int32_t blockEnd = 0;
  if (ascending) {
    ClassRuns runs(entries, breaks, k, closing, window);
    for (std::int32_t s = 0; s < k; ++s) {
      std::int32_t begin = 0;
      std::int32_t end = 0;
      runs.Next(begin, end);
      counts[s] = end - begin;
      if (end == begin) continue;
      if (blockEnd == blockBegin) {
        blockBegin = begin;
      } else if (begin != blockEnd) {
        oneBlock = false;
      }
      blockEnd = end;
    }
  } else {
    try {
      if (!BucketMembers(view, n, breaks, k, closing, window, counts, list)) {
        ScanMembers(view, n, breaks, k, closing, window, counts, list);
      }
    } catch (...) {
      ReleaseArray(buffers.ids);
      return -1;
    }
  }
  std::int64_t total = 0;
  for (std::int32_t s = 0; s < k; ++s) total += counts[s];

  std::int32_t* ids = ReplaceArray(buffers.ids, total);
  if (ids == nullptr) return -1;
  if (ascending && oneBlock) {
    std::int32_t* next = ids;
    for (std::int32_t q = blockBegin; q < blockEnd; ++q) *next++ = entries.Entry(q).lID;
  } else if (ascending) {
    ClassRuns runs(entries, breaks, k, closing, window);
    std::int32_t* next = ids;
    for (std::int32_t s = 0; s < k; ++s) {
      std::int32_t begin = 0;
      std::int32_t end = 0;
      runs.Next(begin, end);
      for (std::int32_t q = begin; q < end; ++q) *next++ = entries.Entry(q).lID;
    }
  } else if (total > 0) {
    std::memcpy(ids, list.data(), static_cast<std::size_t>(total) * sizeof(std::int32_t));
  }

  *out.ppSecBreak = buffers.breaks;
  *out.pBreakNum = k + 1;
  *out.ppSecID = ids;
  *out.ppSecIDNum = counts;
  buffers.classes = k;
  buffers.last = static_cast<std::int32_t>(last);
  return 1;
}

bool LastClassEnd::Takes(double value, double high) const noexcept {
  return closed ? Closing{true, tolerance}.Takes(value, high) : value < high;
}

LastClassEnd ResolveLastClass(LastClass last, double top, double high) noexcept {
  const ORDER_DATA end{top, 0};
  const Closing closing = LastClassClosing(&end, 1, &high, 0, last);
  return LastClassEnd{closing.on, closing.tolerance};
}

void FindClasses(const double* breaks, std::int32_t k, LastClass last, const double* values,
                 std::int32_t n, std::int32_t* classes) noexcept {
  double top = -std::numeric_limits<double>::infinity();
  for (std::int32_t i = 0; i < n; ++i) {
    if (values[i] > top) top = values[i];
  }
  const double high = breaks[k];
  const LastClassEnd end = ResolveLastClass(last, top, high);
  for (std::int32_t i = 0; i < n; ++i) {
    const double v = values[i];
    std::int64_t c = -1;
    if (!std::isnan(v)) {
      c = std::upper_bound(breaks, breaks + k + 1, v) - breaks - 1;  // breaks[c] <= v < breaks[c + 1]
      if (c == k) c = end.closed && end.Takes(v, high) ? k - 1 : -1;
    }
    classes[i] = static_cast<std::int32_t>(c);
  }
}

}  // namespace internal
}  // namespace mensora
