// Exchange sort of the sorted view.
//
// Without NaN its records are found in O(n log n) from this equivalent form:
// take the records in position order and keep one first-in-first-out queue
// per value (0.0 and -0.0 are one value); append each record to its value's
// queue, then rotate by one (front to back) every queue whose value is greater
// than the record's. The result is the queues in ascending value, each from
// front to back. A queue is rotated once for each later record below its
// value, so the rotations between two appends are differences of the counts
// "earlier records below this value" (a Fenwick tree over the ranks), and each
// queue's final order follows offline from the places where its records were
// inserted. A range holding NaN is sorted step by step.
#include <algorithm>
#include <cmath>

#include "sample/internal/alloc.h"
#include "sample/internal/sort.h"
#include "sample/internal/value_order.h"

namespace mensora {
namespace internal {

namespace {

// Counts over slots 0..n-1 with prefix sums and search by rank.
class Fenwick {
 public:
  explicit Fenwick(std::int32_t* tree) : tree_(tree) {}
  void Clear(std::int32_t n) {
    n_ = n;
    std::fill(tree_, tree_ + n + 1, 0);
  }
  // Every slot holds 1.
  void Fill(std::int32_t n) {
    n_ = n;
    for (std::int32_t i = 1; i <= n; ++i) tree_[i] = i & -i;
  }
  void Add(std::int32_t slot, std::int32_t d) {
    for (std::int32_t i = slot + 1; i <= n_; i += i & -i) tree_[i] += d;
  }
  // Sum over slots 0..slot-1.
  std::int32_t Prefix(std::int32_t slot) const {
    std::int32_t sum = 0;
    for (std::int32_t i = slot; i > 0; i -= i & -i) sum += tree_[i];
    return sum;
  }
  // Empties and returns the slot where the prefix sum first exceeds rank
  // (rank counts from 0): one descent finds it and lowers the sums above it.
  std::int32_t Take(std::int32_t rank) {
    std::int32_t pos = 0;
    std::int32_t step = 1;
    while (step * 2 <= n_) step *= 2;
    for (; step > 0; step /= 2) {
      if (pos + step > n_) continue;
      if (tree_[pos + step] <= rank) {
        pos += step;
        rank -= tree_[pos];
      } else {
        --tree_[pos + step];
      }
    }
    return pos;
  }

 private:
  std::int32_t* tree_;
  std::int32_t n_ = 0;
};

bool FastBubbleSort(ORDER_DATA* records, std::int64_t lLeft, std::int64_t lRight) noexcept {
  for (std::int64_t p = lLeft; p <= lRight; ++p) {
    if (std::isnan(records[p].dValue)) return false;
  }
  NumberedRecords range;
  if (!range.Init(records, lLeft, lRight)) return false;
  const std::int32_t n = range.Count();
  WorkArray<std::int32_t> order(n);
  WorkArray<std::int32_t> key(n);
  if (!order || !key) return false;
  const std::int64_t equalNeighbours = RankValues(range, order.get(), key.get());
  if (equalNeighbours < 0) return false;
  if (equalNeighbours > 0) {
    WorkArray<std::int32_t> below(n);
    WorkArray<std::int32_t> tree(static_cast<std::int64_t>(n) + 1);
    WorkArray<std::int32_t> place(n);
    if (!below || !tree || !place) return false;
    // below[k]: the records before number k whose value is below its value,
    // counted over the ranks of the distinct values (place[] holds them).
    std::int32_t values = 0;
    for (std::int32_t s = 0; s < n; ++s) {
      if (s > 0 && key[order[s]] != key[order[s - 1]]) ++values;
      place[order[s]] = values;
    }
    Fenwick fenwick(tree.get());
    fenwick.Clear(values + 1);
    for (std::int32_t k = 0; k < n; ++k) {
      below[k] = fenwick.Prefix(place[k]);
      fenwick.Add(place[k], 1);
    }
    // Each value's queue: order[first..end) holds its numbers in position
    // order. When every record below the value comes before the queue's first
    // record, the queue never turns and keeps that order.
    for (std::int32_t first = 0; first < n;) {
      std::int32_t end = first + 1;
      while (end < n && key[order[end]] == first) ++end;
      const std::int32_t size = end - first;
      const std::int32_t* member = order.get() + first;
      if (size > 1 && below[member[0]] != first) {
        // place[j]: where record j was inserted into the queue, read as a
        // list that starts at index 0 while the front is at index front.
        std::int32_t front = 0;
        for (std::int32_t j = 0; j < size; ++j) {
          place[j] = front;
          if (j > 0) ++front;
          const std::int32_t rotations =
              (j + 1 < size ? below[member[j + 1]] : first) - below[member[j]];
          front = static_cast<std::int32_t>((front + static_cast<std::int64_t>(rotations)) % (j + 1));
        }
        // Offline: the later an insertion, the more it decides; each record
        // takes the place[j]-th slot still free.
        fenwick.Fill(size);
        for (std::int32_t j = size - 1; j >= 0; --j) place[j] = fenwick.Take(place[j]);
        std::int32_t* held = tree.get();  // the tree is free until the next queue
        std::copy(member, member + size, held);
        for (std::int32_t j = 0; j < size; ++j) {
          order[first + (place[j] - front + size) % size] = held[j];
        }
      }
      first = end;
    }
  }
  range.Rearrange(order.get());
  return true;
}

}  // namespace

void BubbleSortInPlace(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) noexcept {
  for (std::int64_t i = lLeft; i <= lRight; ++i) {
    for (std::int64_t j = i + 1; j <= lRight; ++j) {
      if (!(records[j].dValue >= records[i].dValue)) {
        const ORDER_DATA held = records[i];
        records[i] = records[j];
        records[j] = held;
      }
    }
  }
}

void BubbleSortRecords(ORDER_DATA* records, std::int32_t lLeft, std::int32_t lRight) noexcept {
  // Small ranges are sorted in place at once: the working memory would cost more.
  if (static_cast<std::int64_t>(lRight) - lLeft < kSmallRange ||
      !FastBubbleSort(records, lLeft, lRight)) {
    BubbleSortInPlace(records, lLeft, lRight);
  }
}

}  // namespace internal
}  // namespace mensora
