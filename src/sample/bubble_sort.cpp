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
// inserted.
//
// With NaN the range splits into blocks: maximal runs of NaN records and
// maximal stretches of other records (segments). A comparison with NaN is
// false, so the record in hand during a pass is exchanged with every NaN it
// meets: each NaN run moves one place to the right, and each segment is
// passed over as a range of its own, leaving the minimum m it gives up in the
// place its NaN run freed. Only the last block reaches the place the pass
// fills. So the blocks come out from the last to the first, each into the
// places that mirror its own: a NaN run in reverse order, a segment in the
// order of its own sort after T passes that turned it into R + [m], T being
// the number of records after it (R is what the pass over the segment leaves
// behind m). In the queue form, R + [m] is the segment's own sort with m, the
// front of the lowest queue, arriving last: m goes to the back of that queue
// and every other queue rotates once. Each such pass rotates every queue by
// one, so a segment gives its own sort with each value's queue rotated T
// times.
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
  // Every slot holds each.
  void Fill(std::int32_t n, std::int32_t each) {
    n_ = n;
    for (std::int32_t i = 1; i <= n; ++i) tree_[i] = each * (i & -i);
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
  // The slot where the prefix sum first exceeds rank (counted from 0), with
  // rank lowered by the sum before that slot; one descent finds it and lowers
  // the sums above it by one.
  std::int32_t Take(std::int32_t& rank) {
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

// The bit of x that has r set bits below it (x has more than r): the set bits
// are counted byte by byte in parallel, the byte found by comparing the
// running counts with r, and the bit within it one by one.
unsigned SelectBit(std::uint64_t x, std::int32_t r) noexcept {
  constexpr std::uint64_t kOnes = 0x0101010101010101U;
  constexpr std::uint64_t kHigh = 0x8080808080808080U;
  std::uint64_t s = x - ((x >> 1) & 0x5555555555555555U);
  s = (s & 0x3333333333333333U) + ((s >> 2) & 0x3333333333333333U);
  s = (s + (s >> 4)) & 0x0F0F0F0F0F0F0F0FU;
  const std::uint64_t upTo = s * kOnes;  // byte b: the set bits of bytes 0..b
  const std::uint64_t before = ((static_cast<std::uint64_t>(r) * kOnes | kHigh) - upTo) & kHigh;
  const auto shift = static_cast<unsigned>(((before >> 7) * kOnes) >> 56) * 8;
  auto rest = static_cast<unsigned>(r) - static_cast<unsigned>(((upTo << 8) >> shift) & 0xFF);
  auto byte = static_cast<unsigned>(x >> shift) & 0xFFU;
  for (; rest > 0; --rest) byte &= byte - 1;
  unsigned bit = shift;
  for (; (byte & 1U) == 0; byte >>= 1) ++bit;
  return bit;
}

// Slots 0..size-1, each free or taken, and the search for the r-th free one:
// a bit per slot, 64 to a word, and a Fenwick tree of the words' free counts
// that is 64 times smaller than the slots and stays in the cache.
class FreeSlots {
 public:
  bool Allocate(std::int32_t most) noexcept {
    const std::int64_t words = most / 64 + 1;
    return bits_.Allocate(words) && tree_.Allocate(words + 1);
  }
  void Fill(std::int32_t size) noexcept {
    const std::int32_t words = (size + 63) / 64;
    std::fill(bits_.get(), bits_.get() + words, ~std::uint64_t{0});
    if (size % 64 != 0) bits_[words - 1] = (std::uint64_t{1} << (size % 64)) - 1;
    counts_ = Fenwick(tree_.get());
    counts_.Fill(words, 64);
    counts_.Add(words - 1, size - 64 * words);
  }
  // Takes and returns the free slot that has r free slots before it.
  std::int32_t Take(std::int32_t r) noexcept {
    const std::int32_t word = counts_.Take(r);
    const unsigned bit = SelectBit(bits_[word], r);
    bits_[word] &= ~(std::uint64_t{1} << bit);
    return word * 64 + static_cast<std::int32_t>(bit);
  }

 private:
  WorkArray<std::uint64_t> bits_;
  WorkArray<std::int32_t> tree_;
  Fenwick counts_{nullptr};
};

// A queue that takes member[0..size-1] in turn, rotated turns(j) times (front
// to back) after member[j] joined it, kept in held[] as a circular list; each
// rotation goes the shorter way round. The members end in the queue's order.
template <class Turns>
void RotateQueue(std::int32_t* member, std::int32_t size, const Turns& turns,
                 std::int32_t* held) noexcept {
  std::int32_t front = 0;
  for (std::int32_t count = 1; count <= size; ++count) {
    std::int32_t back = front + count - 1;  // the slot after the old back
    if (back >= size) back -= size;
    held[back] = member[count - 1];
    const std::int32_t r = turns(count - 1);
    if (r <= count - r) {
      for (std::int32_t t = 0; t < r; ++t) {
        if (++back == size) back = 0;
        held[back] = held[front];
        if (++front == size) front = 0;
      }
    } else {
      for (std::int32_t t = r; t < count; ++t) {
        front = front == 0 ? size - 1 : front - 1;
        held[front] = held[back];
        back = back == 0 ? size - 1 : back - 1;
      }
    }
  }
  for (std::int32_t t = 0; t < size; ++t) {
    member[t] = held[front];
    if (++front == size) front = 0;
  }
}

// The same queue found offline: place[j] is where member[j] was inserted,
// read as a list that starts at index 0 while the front is at index front.
// The later an insertion, the more it decides: from the last one back, each
// member takes the place[j]-th slot still free.
template <class Turns>
void PlaceQueue(std::int32_t* member, std::int32_t size, const Turns& turns, std::int32_t* place,
                FreeSlots& slots, std::int32_t* held) noexcept {
  std::int32_t front = 0;
  for (std::int32_t j = 0; j < size; ++j) {
    place[j] = front;
    if (j > 0) ++front;
    front += turns(j);
    if (front > j) front -= j + 1;
  }
  slots.Fill(size);
  for (std::int32_t j = size - 1; j >= 0; --j) place[j] = slots.Take(place[j]);
  std::copy(member, member + size, held);
  for (std::int32_t j = 0; j < size; ++j) {
    const std::int32_t at = place[j] - front;
    member[at < 0 ? at + size : at] = held[j];
  }
}

// Rewrites each group of order into the order the exchange sort gives its
// records. order holds numbers sorted by group, each group's numbers in
// position order, and key[k] is the first slot of k's group; groups are
// ranked so that every record of an earlier group with an earlier number is
// "below". False when memory is short.
bool OrderTies(std::int32_t n, std::int32_t* order, const std::int32_t* key) noexcept {
  WorkArray<std::int32_t> below(n);
  WorkArray<std::int32_t> tree(static_cast<std::int64_t>(n) + 1);
  WorkArray<std::int32_t> place(n);
  FreeSlots slots;
  if (!below || !tree || !place || !slots.Allocate(n)) return false;
  // below[k]: the records before number k in a lower group, counted over the
  // ranks of the groups (place[] holds them).
  std::int32_t groups = 0;
  for (std::int32_t s = 0; s < n; ++s) {
    if (s > 0 && key[order[s]] != key[order[s - 1]]) ++groups;
    place[order[s]] = groups;
  }
  Fenwick fenwick(tree.get());
  fenwick.Clear(groups + 1);
  for (std::int32_t k = 0; k < n; ++k) {
    below[k] = fenwick.Prefix(place[k]);
    fenwick.Add(place[k], 1);
  }
  // Each group's queue: order[first..end) holds its numbers in position
  // order. When every record below the group comes before the queue's first
  // record, the queue never turns and keeps that order.
  for (std::int32_t first = 0; first < n;) {
    std::int32_t end = first + 1;
    while (end < n && key[order[end]] == first) ++end;
    const std::int32_t size = end - first;
    std::int32_t* member = order + first;
    if (size > 1 && below[member[0]] != first) {
      // turns(j): the queue's rotations after record j joined it, modulo its
      // length then.
      auto turns = [&](std::int32_t j) {
        const std::int32_t r = (j + 1 < size ? below[member[j + 1]] : first) - below[member[j]];
        return r > j ? r % (j + 1) : r;
      };
      // Rotated step by step, the queue costs its length plus the turns,
      // each the shorter way round; otherwise it is placed offline.
      std::int64_t steps = 0;
      for (std::int32_t j = 0; j < size; ++j) steps += std::min(turns(j), j + 1 - turns(j));
      if (steps <= 8 * static_cast<std::int64_t>(size)) {
        RotateQueue(member, size, turns, tree.get());  // the tree is free until the next queue
      } else {
        PlaceQueue(member, size, turns, place.get(), slots, tree.get());
      }
    }
    first = end;
  }
  return true;
}

// The segments of a range: first[s] is the number of segment s's first
// record, first[Count()] the count of numbers. A range without NaN is one
// segment; one of NaN only has none.
class Segments {
 public:
  bool Init(const NumberedRecords& range) noexcept {
    const std::int32_t n = range.Count();
    count_ = 0;
    for (std::int32_t k = 0; k < n; ++k) count_ += StartsSegment(range, k) ? 1 : 0;
    if (!first_.Allocate(static_cast<std::int64_t>(count_) + 1)) return false;
    std::int32_t s = 0;
    for (std::int32_t k = 0; k < n; ++k) {
      if (StartsSegment(range, k)) first_[s++] = k;
    }
    first_[count_] = n;
    return true;
  }
  std::int32_t Count() const { return count_; }
  std::int32_t First(std::int32_t s) const { return first_[s]; }
  const std::int32_t* Bounds() const { return first_.get(); }

 private:
  static bool StartsSegment(const NumberedRecords& range, std::int32_t k) {
    return k == 0 || range.Position(k) != range.Position(k - 1) + 1;
  }
  std::int32_t count_ = 0;
  WorkArray<std::int32_t> first_;
};

// Moves the blocks of records[0..size-1] to the places that mirror their own:
// NaN runs reversed, each segment as order gives it, with each value's queue
// (a group of equal keys, when ties says there are any) rotated once for
// every record after the segment. False when memory is short.
bool PlaceBlocks(ORDER_DATA* records, std::int32_t size, const NumberedRecords& range,
                 const std::int32_t* order, const std::int32_t* key, bool ties,
                 const Segments& segments) noexcept {
  WorkArray<std::int32_t> from(size);
  if (!from) return false;
  for (std::int32_t q = 0; q < size; ++q) {
    if (std::isnan(records[q].dValue)) from[size - 1 - q] = q;
  }
  for (std::int32_t s = 0; s < segments.Count(); ++s) {
    const std::int32_t last = segments.First(s + 1);
    const std::int32_t after = size - 1 - range.Position(last - 1);
    std::int32_t to = after;
    for (std::int32_t g = segments.First(s); g < last;) {
      std::int32_t end = g + 1;
      while (ties && end < last && key[order[end]] == g) ++end;
      const std::int32_t length = end - g;
      std::int32_t x = g + after % length;
      for (std::int32_t t = 0; t < length; ++t) {
        from[to++] = range.Position(order[x]);
        if (++x == end) x = g;
      }
      g = end;
    }
  }
  PermuteRecords(records, size, from.get());
  return true;
}

bool FastBubbleSort(ORDER_DATA* records, std::int64_t lLeft, std::int64_t lRight) noexcept {
  NumberedRecords range;
  Segments segments;
  if (!range.Init(records, lLeft, lRight) || !segments.Init(range)) return false;
  const std::int32_t n = range.Count();
  if (n == 0) {  // NaN only: one run, reversed
    std::reverse(records + lLeft, records + lRight + 1);
    return true;
  }
  WorkArray<std::int32_t> order(n);
  WorkArray<std::int32_t> key(n);
  if (!order || !key) return false;
  const std::int64_t equalNeighbours =
      RankValues(range, order.get(), key.get(), segments.Bounds(), segments.Count());
  if (equalNeighbours < 0) return false;
  if (equalNeighbours > 0 && !OrderTies(n, order.get(), key.get())) return false;
  if (!range.HasNaN()) {
    range.Rearrange(order.get());
    return true;
  }
  return PlaceBlocks(records + lLeft, static_cast<std::int32_t>(lRight - lLeft + 1), range,
                     order.get(), key.get(), equalNeighbours > 0, segments);
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
  if (SettleMonotone(records, lLeft, lRight)) return;
  // Small ranges are sorted in place at once: the working memory would cost more.
  if (static_cast<std::int64_t>(lRight) - lLeft < kSmallRange ||
      !FastBubbleSort(records, lLeft, lRight)) {
    BubbleSortInPlace(records, lLeft, lRight);
  }
}

}  // namespace internal
}  // namespace mensora
