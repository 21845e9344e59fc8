// Partition-exchange sort with the first record of each range as pivot.
//
// The records it gives are those of the plain algorithm (kept below as the
// fallback when working memory cannot be had), found in O(n log^2 n) at worst:
//  - NaN records never move: both scans pass over them and a NaN pivot stays
//    where it is. The other records are sorted as if the NaNs were absent.
//  - A range always holds the records of the same slots of the sorted order,
//    so the number s of its values below the pivot is known from the ranks,
//    and the pivot ends at the range's start + s.
//  - The partition then moves exactly the values below the pivot that lie
//    right of that place (from the right end inwards) and the values not
//    below it that lie left of it (from the left end inwards), alternately.
//    Scanning the smaller side finds how many; the same number on the larger
//    side is found through a segment tree of key minima and maxima. Ranges
//    that split well are partitioned plainly, without the tree.
//  - A range whose values are all equal is left as it is; a range with no
//    two equal values ends in sorted order.
#include <algorithm>

#include "sample/internal/alloc.h"
#include "sample/internal/sort.h"
#include "sample/internal/value_order.h"

namespace mensora {
namespace internal {

namespace {

// Minimum and maximum of the keys over every node of a bottom-up segment tree
// on positions 0..n-1. Only nodes inside a range that was refreshed and kept
// up to date are read.
class KeyTree {
 public:
  bool Allocate(std::int32_t n) noexcept {
    n_ = n;
    const std::int64_t nodes = 2 * static_cast<std::int64_t>(n);
    if (!min_.Allocate(nodes) || !max_.Allocate(nodes)) return false;
    std::fill(min_.get(), min_.get() + nodes, 0);  // nodes outside every range are compared too
    std::fill(max_.get(), max_.get() + nodes, 0);
    return true;
  }

  void Refresh(const std::int32_t* cur, const std::int32_t* key, std::int32_t lo,
               std::int32_t hi) noexcept {
    for (std::int32_t p = lo; p <= hi; ++p) min_[n_ + p] = max_[n_ + p] = key[cur[p]];
    std::int64_t a = (static_cast<std::int64_t>(n_) + lo) >> 1;
    std::int64_t b = (static_cast<std::int64_t>(n_) + hi) >> 1;
    while (a >= 1) {
      for (std::int64_t x = a; x <= b; ++x) Pull(x);
      if (a == 1) break;
      a >>= 1;
      b >>= 1;
    }
  }

  // Sets the key at p; the nodes above are brought up to date as far as one
  // of them keeps its minimum and maximum, which then holds for all above it.
  void Set(std::int32_t p, std::int32_t k) noexcept {
    std::int64_t x = static_cast<std::int64_t>(n_) + p;
    min_[x] = max_[x] = k;
    for (x >>= 1; x >= 1; x >>= 1) {
      const std::int32_t low = std::min(min_[2 * x], min_[2 * x + 1]);
      const std::int32_t high = std::max(max_[2 * x], max_[2 * x + 1]);
      if (low == min_[x] && high == max_[x]) break;
      min_[x] = low;
      max_[x] = high;
    }
  }

  // Largest position in lo..hi whose key is below k, or -1.
  std::int32_t LastBelow(std::int32_t lo, std::int32_t hi, std::int32_t k) const noexcept {
    std::int64_t l = static_cast<std::int64_t>(n_) + lo;
    std::int64_t r = static_cast<std::int64_t>(n_) + hi + 1;
    std::int64_t left[64];
    int leftDepth[64];
    int nl = 0;
    for (int h = 0; l < r; ++h, l >>= 1, r >>= 1) {
      if (r & 1) {
        --r;
        if (min_[r] < k) return DescendBelow(r, h, k);
      }
      if (l & 1) {
        left[nl] = l++;
        leftDepth[nl++] = h;
      }
    }
    for (int q = nl - 1; q >= 0; --q) {
      if (min_[left[q]] < k) return DescendBelow(left[q], leftDepth[q], k);
    }
    return -1;
  }

  // Smallest position in lo..hi whose key is at least k, or -1.
  std::int32_t FirstNotBelow(std::int32_t lo, std::int32_t hi, std::int32_t k) const noexcept {
    std::int64_t l = static_cast<std::int64_t>(n_) + lo;
    std::int64_t r = static_cast<std::int64_t>(n_) + hi + 1;
    std::int64_t right[64];
    int rightDepth[64];
    int nr = 0;
    for (int h = 0; l < r; ++h, l >>= 1, r >>= 1) {
      if (l & 1) {
        if (max_[l] >= k) return DescendNotBelow(l, h, k);
        ++l;
      }
      if (r & 1) {
        right[nr] = --r;
        rightDepth[nr++] = h;
      }
    }
    for (int q = nr - 1; q >= 0; --q) {
      if (max_[right[q]] >= k) return DescendNotBelow(right[q], rightDepth[q], k);
    }
    return -1;
  }

 private:
  void Pull(std::int64_t x) noexcept {
    min_[x] = std::min(min_[2 * x], min_[2 * x + 1]);
    max_[x] = std::max(max_[2 * x], max_[2 * x + 1]);
  }
  std::int32_t DescendBelow(std::int64_t x, int h, std::int32_t k) const noexcept {
    for (; h > 0; --h) x = min_[2 * x + 1] < k ? 2 * x + 1 : 2 * x;
    return static_cast<std::int32_t>(x - n_);
  }
  std::int32_t DescendNotBelow(std::int64_t x, int h, std::int32_t k) const noexcept {
    for (; h > 0; --h) x = max_[2 * x] >= k ? 2 * x : 2 * x + 1;
    return static_cast<std::int32_t>(x - n_);
  }

  std::int32_t n_ = 0;
  WorkArray<std::int32_t> min_;
  WorkArray<std::int32_t> max_;
};

// The quicksort over numbers 0..n-1 with the keys key[number] (the first
// sorted slot of its value): cur[p] is the number at position p.
class QuickSorter {
 public:
  QuickSorter(std::int32_t n, std::int32_t* cur, const std::int32_t* key,
              const std::int32_t* sorted, const std::int32_t* ties)
      : n_(n), cur_(cur), key_(key), sorted_(sorted), ties_(ties) {}

  // False when the tree's memory cannot be had (cur is then unusable).
  bool Run() noexcept {
    struct Range {
      std::int32_t lo, hi;
      bool fresh;
    };
    Range stack[64];
    int top = 0;
    stack[top++] = Range{0, n_ - 1, false};
    while (top > 0) {
      Range r = stack[--top];
      while (r.lo < r.hi) {
        const std::int32_t lo = r.lo;
        const std::int32_t hi = r.hi;
        if (key_[sorted_[hi]] <= lo) break;  // all values equal: nothing moves
        if (ties_[hi] == ties_[lo]) {        // no two values equal: sorted order
          // The smallest value may be the last of a value whose other
          // records were pivots before this range: keep the one that is here.
          if (key_[sorted_[lo]] < lo) {
            std::int32_t p = lo;
            while (key_[cur_[p]] >= lo) ++p;
            cur_[lo] = cur_[p];
          } else {
            cur_[lo] = sorted_[lo];
          }
          std::copy(sorted_ + lo + 1, sorted_ + hi + 1, cur_ + lo + 1);
          break;
        }
        const std::int32_t pivot = cur_[lo];
        const std::int32_t mid = std::max(key_[pivot], lo);
        const std::int64_t smaller = std::min(mid - lo, hi - mid);
        bool fresh = false;
        if (smaller * 16 >= static_cast<std::int64_t>(hi) - lo + 1) {
          PlainPartition(lo, hi);
        } else {
          fresh = r.fresh;
          if (!TreePartition(lo, hi, mid, fresh)) return false;
        }
        Range left{lo, mid - 1, fresh};
        Range right{mid + 1, hi, fresh};
        if (mid - lo < hi - mid) std::swap(left, right);
        stack[top++] = left;  // the larger part waits; the smaller goes on
        r = right;
      }
    }
    return true;
  }

 private:
  void PlainPartition(std::int32_t lo, std::int32_t hi) noexcept {
    const std::int32_t pivot = cur_[lo];
    const std::int32_t pk = key_[pivot];
    std::int32_t i = lo;
    std::int32_t j = hi;
    while (i < j) {
      while (i < j && key_[cur_[j]] >= pk) --j;
      if (i < j) cur_[i++] = cur_[j];
      while (i < j && key_[cur_[i]] < pk) ++i;
      if (i < j) cur_[j--] = cur_[i];
    }
    cur_[i] = pivot;
  }

  // Partition of lo..hi whose pivot ends at mid, with the smaller side
  // below a sixteenth of the range. fresh: the tree holds this range; set
  // when the tree was brought up to date for it.
  bool TreePartition(std::int32_t lo, std::int32_t hi, std::int32_t mid, bool& fresh) noexcept {
    const std::int32_t pivot = cur_[lo];
    const std::int32_t pk = key_[pivot];
    if (!chain_) {
      chain_.Allocate(static_cast<std::int64_t>(n_) / 4 + 8);
      if (!chain_) return false;
    }
    // chain_ = lo, sigma1, beta1, sigma2, beta2, ...: below-pivot values right
    // of mid (from the right) and others left of it (from the left).
    std::int32_t* chain = chain_.get();
    std::int32_t t = 0;
    const bool leftSmaller = mid - lo <= hi - mid;
    if (leftSmaller) {
      for (std::int32_t p = lo + 1; p <= mid; ++p) {
        if (key_[cur_[p]] >= pk) chain[2 + 2 * t++] = p;
      }
    } else {
      for (std::int32_t p = hi; p > mid; --p) {
        if (key_[cur_[p]] < pk) chain[1 + 2 * t++] = p;
      }
    }
    if (t > 0 && !fresh) {
      if (!tree_ready_) {
        if (!tree_.Allocate(n_)) return false;
        tree_ready_ = true;
      }
      tree_.Refresh(cur_, key_, lo, hi);
      fresh = true;
    }
    std::int32_t prev = leftSmaller ? hi + 1 : lo;
    for (std::int32_t q = 0; q < t; ++q) {
      if (leftSmaller) {
        prev = tree_.LastBelow(mid + 1, prev - 1, pk);
        chain[1 + 2 * q] = prev;
      } else {
        prev = tree_.FirstNotBelow(prev + 1, mid, pk);
        chain[2 + 2 * q] = prev;
      }
    }
    chain[0] = lo;
    std::int32_t len = 1 + 2 * t;
    if (chain[len - 1] != mid) chain[len++] = mid;
    for (std::int32_t q = 0; q + 1 < len; ++q) cur_[chain[q]] = cur_[chain[q + 1]];
    cur_[chain[len - 1]] = pivot;
    if (fresh) {
      for (std::int32_t q = 0; q < len; ++q) tree_.Set(chain[q], key_[cur_[chain[q]]]);
    }
    return true;
  }

  std::int32_t n_;
  std::int32_t* cur_;
  const std::int32_t* key_;
  const std::int32_t* sorted_;
  const std::int32_t* ties_;
  KeyTree tree_;
  bool tree_ready_ = false;
  WorkArray<std::int32_t> chain_;
};

bool FastQuickSort(ORDER_DATA* records, std::int64_t lLeft, std::int64_t lRight) noexcept {
  NumberedRecords range;
  if (!range.Init(records, lLeft, lRight)) return false;
  const std::int32_t n = range.Count();
  if (n < 2) return true;
  WorkArray<std::int32_t> sorted(n);
  WorkArray<std::int32_t> key(n);
  if (!sorted || !key) return false;
  const std::int64_t equalNeighbours = RankValues(range, sorted.get(), key.get());
  if (equalNeighbours < 0) return false;
  if (equalNeighbours == 0) {  // no two values equal: the sorted order
    range.Rearrange(sorted.get());
    return true;
  }
  WorkArray<std::int32_t> cur(n);
  if (!cur) return false;
  // ties[s]: pairs of equal neighbours in the sorted order up to slot s.
  WorkArray<std::int32_t> ties(n);
  if (!ties) return false;
  ties[0] = 0;
  for (std::int32_t s = 1; s < n; ++s) {
    ties[s] = ties[s - 1] + (key[sorted[s]] == key[sorted[s - 1]] ? 1 : 0);
  }
  for (std::int32_t k = 0; k < n; ++k) cur[k] = k;
  {
    QuickSorter sorter(n, cur.get(), key.get(), sorted.get(), ties.get());
    if (!sorter.Run()) return false;
  }
  sorted.Reset();
  key.Reset();
  ties.Reset();
  range.Rearrange(cur.get());
  return true;
}

}  // namespace

void QuickSortInPlace(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) noexcept {
  std::int64_t left = lLeft;
  std::int64_t right = lRight;
  while (left < right) {
    const ORDER_DATA pivot = records[left];
    std::int64_t i = left;
    std::int64_t j = right;
    while (i < j) {
      while (i < j && !(pivot.dValue > records[j].dValue)) --j;
      if (i < j) records[i++] = records[j];
      while (i < j && !(records[i].dValue >= pivot.dValue)) ++i;
      if (i < j) records[j--] = records[i];
    }
    records[i] = pivot;
    // The smaller part first, by recursion; the larger one by the loop.
    if (i - left < right - i) {
      QuickSortInPlace(records, static_cast<std::int32_t>(left), static_cast<std::int32_t>(i - 1));
      left = i + 1;
    } else {
      QuickSortInPlace(records, static_cast<std::int32_t>(i + 1), static_cast<std::int32_t>(right));
      right = i - 1;
    }
  }
}

// Ranges of fewer records than this are sorted in place: below it the in-place
// sort, even on its worst input (about n^2 / 2 comparisons), costs about as
// much as the working memory and ranking of the fast one.
constexpr std::int64_t kSmallQuickSort = 256;

void QuickSortRecords(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) noexcept {
  if (SettleMonotone(records, lLeft, lRight)) return;
  // Small ranges are sorted in place at once: the working memory would cost more.
  if (static_cast<std::int64_t>(lRight) - lLeft < kSmallQuickSort ||
      !FastQuickSort(records, lLeft, lRight)) {
    QuickSortInPlace(records, lLeft, lRight);
  }
}

}  // namespace internal
}  // namespace mensora
