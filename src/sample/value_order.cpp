// Numbering, ranking and rearranging the records of a range for the fast sorts.
#include "sample/internal/value_order.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

std::uint64_t OrderKey(double v) noexcept {
  std::uint64_t bits = 0;
  if (v != 0.0) std::memcpy(&bits, &v, sizeof bits);  // both zeros give key 1 << 63
  return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

bool SettleMonotone(ORDER_DATA* records, std::int64_t lLeft, std::int64_t lRight) noexcept {
  bool up = true;
  bool down = true;
  for (std::int64_t p = lLeft + 1; p <= lRight && (up || down); ++p) {
    const double before = records[p - 1].dValue;
    const double here = records[p].dValue;
    up = up && here >= before;
    down = down && here < before;
  }
  if (up) return true;
  if (down) std::reverse(records + lLeft, records + lRight + 1);
  return down;
}

namespace {

// Stable least-significant-digit radix passes over items[0..n-1] by the 32
// key bits from `low` up, 11 bits a pass, or 8 below 2048 items, whose counts
// then stay in the first-level cache; passes whose digit is the same for
// every item are skipped. buffer holds n items, count kRadixCounts. The
// items end in items.
constexpr std::int64_t kRadixCounts = std::int64_t{3} * 2048;

void RadixPasses(KeyedItem* items, std::int32_t n, unsigned low, KeyedItem* buffer,
                 std::int32_t* count) noexcept {
  const unsigned bits = n < 2048 ? 8 : 11;
  const unsigned passes = (32 + bits - 1) / bits;
  const std::uint64_t buckets = std::uint64_t{1} << bits;
  const std::uint64_t mask = buckets - 1;
  std::fill(count, count + passes * buckets, 0);
  for (std::int32_t i = 0; i < n; ++i) {
    const std::uint64_t key = items[i].key;
    for (unsigned d = 0; d < passes; ++d) ++count[d * buckets + ((key >> (low + bits * d)) & mask)];
  }
  KeyedItem* from = items;
  KeyedItem* to = buffer;
  for (unsigned d = 0; d < passes; ++d) {
    std::int32_t* bucket = count + d * buckets;
    const unsigned shift = low + bits * d;
    if (bucket[(from[0].key >> shift) & mask] == n) continue;
    std::int32_t sum = 0;
    for (std::uint64_t b = 0; b < buckets; ++b) {
      const std::int32_t c = bucket[b];
      bucket[b] = sum;
      sum += c;
    }
    for (std::int32_t i = 0; i < n; ++i) to[bucket[(from[i].key >> shift) & mask]++] = from[i];
    std::swap(from, to);
  }
  if (from != items) std::copy(from, from + n, items);
}

bool Before(const KeyedItem& a, const KeyedItem& b) {
  return a.key < b.key || (a.key == b.key && a.index < b.index);
}

// Sorts by key, equal keys by index, with radix passes over the high halves
// of the keys and then over the low halves of each run of items whose high
// halves agree, in index order after the first passes. The high half of
// the key of a double (its sign, exponent and first 20 bits of mantissa)
// mostly tells the values apart already: where it does, the low half's
// passes are not made. False when the buffers cannot be had.
bool RadixSort(KeyedItem* items, std::int32_t n) noexcept {
  WorkArray<KeyedItem> buffer(n);
  WorkArray<std::int32_t> counts(kRadixCounts);
  if (!buffer || !counts) return false;
  // The low-half bits in which some key differs from the first: none for
  // whole numbers below 2^20 and the like, whose runs of equal high halves
  // are runs of equal keys, in index order already.
  std::uint64_t low = 0;
  for (std::int32_t i = 0; i < n; ++i) low |= (items[i].key ^ items[0].key) & 0xFFFFFFFFU;
  RadixPasses(items, n, 32, buffer.get(), counts.get());
  for (std::int32_t i = 0; i < n && low != 0;) {
    const std::uint64_t high = items[i].key >> 32;
    std::int32_t end = i + 1;
    while (end < n && items[end].key >> 32 == high) ++end;
    KeyedItem* run = items + i;
    const std::int32_t length = end - i;
    if (length >= 256) {
      RadixPasses(run, length, 0, buffer.get(), counts.get());
    } else if (length > 1) {
      std::sort(run, run + length, Before);
    }
    i = end;
  }
  return true;
}

// Nearly sorted elements: an element below the last one kept is set aside
// together with that one. The ones kept ascend, and no more than twice as
// many are set aside as the fewest whose removal would leave the rest
// ascending; they are sorted and merged in from the back. below(a, b) orders
// by key alone, before(a, b) by key and then position. False when more than
// an eighth of the elements would be set aside or the memory for them cannot
// be had; the elements are then in some other order.
template <class Element, class Below, class Before>
bool SortStragglers(Element* items, std::int32_t n, Below below, Before before) noexcept {
  const std::int32_t most = n / 8;
  WorkArray<Element> aside(most);
  if (!aside) return false;
  std::int32_t kept = 0;
  std::int32_t set = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    const Element x = items[i];
    if (kept == 0 || !below(x, items[kept - 1])) {
      items[kept++] = x;
    } else if (set + 2 <= most) {
      aside[set++] = items[--kept];
      aside[set++] = x;
    } else {
      std::copy(aside.get(), aside.get() + set, items + kept);
      return false;
    }
  }
  std::sort(aside.get(), aside.get() + set, before);
  for (std::int32_t to = n - 1; set > 0; --to) {
    items[to] = kept > 0 && before(aside[set - 1], items[kept - 1]) ? items[--kept] : aside[--set];
  }
  return true;
}

}  // namespace

void SortItems(KeyedItem* items, std::int32_t n) noexcept {
  std::int64_t descents = 0;
  std::int64_t ascents = 0;
  for (std::int32_t i = 1; i < n; ++i) {
    descents += items[i].key < items[i - 1].key ? 1 : 0;
    ascents += items[i - 1].key < items[i].key ? 1 : 0;
  }
  if (descents == 0) return;
  if (ascents == 0) {  // descending: reverse, then put each run of equal keys back in index order
    std::reverse(items, items + n);
    for (std::int32_t i = 0; i < n;) {
      std::int32_t end = i + 1;
      while (end < n && items[end].key == items[i].key) ++end;
      std::reverse(items + i, items + end);
      i = end;
    }
    return;
  }
  // Below a few hundred items the radix sort's counts cost more than they save.
  const bool scattered = descents > n / 16;
  const auto below = [](const KeyedItem& a, const KeyedItem& b) { return a.key < b.key; };
  if (scattered ? n >= 256 && RadixSort(items, n) : SortStragglers(items, n, below, Before)) {
    return;
  }
  std::sort(items, items + n, Before);
}

bool NumberedRecords::Init(ORDER_DATA* records, std::int64_t lLeft, std::int64_t lRight) noexcept {
  records_ = records;
  left_ = lLeft;
  const std::int64_t size = lRight - lLeft + 1;
  if (size > INT32_MAX) return false;
  std::int64_t nan = 0;
  for (std::int64_t p = lLeft; p <= lRight; ++p) nan += std::isnan(records[p].dValue) ? 1 : 0;
  count_ = static_cast<std::int32_t>(size - nan);
  if (nan == 0) return true;
  positions_.Allocate(count_);
  if (!positions_) return false;
  std::int32_t k = 0;
  for (std::int64_t p = lLeft; p <= lRight; ++p) {
    if (!std::isnan(records[p].dValue)) positions_[k++] = static_cast<std::int32_t>(p - lLeft);
  }
  return true;
}

namespace {

// Record(k) receives the record that was Record(order[k]), for k < count.
// Gathering into a copy lets the reads overlap; when few records move, or
// without the copy's memory, each cycle of the permutation is followed in
// place.
template <class At>
void Permute(std::int32_t count, std::int32_t* order, At Record) noexcept {
  std::int32_t moving = 0;
  for (std::int32_t k = 0; k < count; ++k) moving += order[k] != k ? 1 : 0;
  WorkArray<ORDER_DATA> copy;
  if (moving > count / 8 && copy.Allocate(count)) {
    for (std::int32_t k = 0; k < count; ++k) copy[k] = Record(order[k]);
    for (std::int32_t k = 0; k < count; ++k) Record(k) = copy[k];
    return;
  }
  for (std::int32_t k = 0; k < count; ++k) {
    if (order[k] == k) continue;
    const ORDER_DATA held = Record(k);
    std::int32_t x = k;
    for (;;) {
      const std::int32_t from = order[x];
      order[x] = x;
      if (from == k) {
        Record(x) = held;
        break;
      }
      Record(x) = Record(from);
      x = from;
    }
  }
}

}  // namespace

void NumberedRecords::Rearrange(std::int32_t* order) const noexcept {
  Permute(count_, order, [this](std::int32_t k) -> ORDER_DATA& { return Record(k); });
}

void PermuteRecords(ORDER_DATA* records, std::int32_t count, std::int32_t* from) noexcept {
  Permute(count, from, [records](std::int32_t k) -> ORDER_DATA& { return records[k]; });
}

namespace {

// RankValues by counting, for values that take at most 64 distinct keys: a
// small hash table gives each value's key its number, the keys are sorted,
// and the records are counted into their slots. -1 when there are more keys
// or memory is short.
std::int64_t RankFewValues(const NumberedRecords& range, std::int32_t* sorted,
                           std::int32_t* first) noexcept {
  constexpr int kMost = 64;
  constexpr int kSlots = 128;
  const std::int32_t n = range.Count();
  WorkArray<std::uint8_t> which(n);
  if (!which) return -1;
  std::uint64_t keys[kMost];
  std::int32_t count[kMost];
  int table[kSlots];
  std::fill(table, table + kSlots, -1);
  int distinct = 0;
  int last = -1;
  for (std::int32_t k = 0; k < n; ++k) {
    const std::uint64_t key = OrderKey(range.Record(k).dValue);
    if (last < 0 || keys[last] != key) {
      unsigned h = static_cast<unsigned>((key * 0x9E3779B97F4A7C15U) >> 57);
      while (table[h] >= 0 && keys[table[h]] != key) h = (h + 1) % kSlots;
      if (table[h] < 0) {
        if (distinct == kMost) return -1;
        keys[distinct] = key;
        count[distinct] = 0;
        table[h] = distinct++;
      }
      last = table[h];
    }
    which[k] = static_cast<std::uint8_t>(last);
    ++count[last];
  }
  int byKey[kMost];
  for (int d = 0; d < distinct; ++d) byKey[d] = d;
  std::sort(byKey, byKey + distinct, [&keys](int a, int b) { return keys[a] < keys[b]; });
  std::int32_t start[kMost];
  std::int32_t next[kMost];
  std::int32_t slot = 0;
  for (int r = 0; r < distinct; ++r) {
    start[byKey[r]] = next[byKey[r]] = slot;
    slot += count[byKey[r]];
  }
  for (std::int32_t k = 0; k < n; ++k) {
    sorted[next[which[k]]++] = k;
    first[k] = start[which[k]];
  }
  return n - distinct;
}


// Ties and first[] of RankValues once sorted[] is in order; key(s) is the
// key of slot s.
template <class Key>
std::int64_t MarkTies(std::int32_t n, const std::int32_t* sorted, std::int32_t* first,
                      Key key) noexcept {
  std::int64_t ties = 0;
  for (std::int32_t s = 1; s < n; ++s) ties += key(s - 1) == key(s) ? 1 : 0;
  if (ties == 0) return 0;
  std::int32_t start = 0;
  for (std::int32_t s = 0; s < n; ++s) {
    if (key(s) != key(start)) start = s;
    first[sorted[s]] = start;
  }
  return ties;
}

// RankValues for values in nearly ascending order (no more than one descent
// in sixteen), sorted as numbers straight from the records: no copy of the
// keys. -1 when they are not, or memory is short.
std::int64_t RankNearlySorted(const NumberedRecords& range, std::int32_t* sorted,
                              std::int32_t* first) noexcept {
  const std::int32_t n = range.Count();
  std::int32_t descents = 0;
  for (std::int32_t k = 1; k < n; ++k) {
    if (range.Record(k).dValue < range.Record(k - 1).dValue && ++descents > n / 16) return -1;
  }
  const auto value = [&range](std::int32_t k) { return range.Record(k).dValue; };
  const auto below = [&value](std::int32_t a, std::int32_t b) { return value(a) < value(b); };
  const auto before = [&value](std::int32_t a, std::int32_t b) {
    return value(a) < value(b) || (value(a) == value(b) && a < b);
  };
  for (std::int32_t k = 0; k < n; ++k) sorted[k] = k;
  if (!SortStragglers(sorted, n, below, before)) return -1;
  return MarkTies(n, sorted, first, [&](std::int32_t s) { return value(sorted[s]); });
}

}  // namespace

std::int64_t RankValues(const NumberedRecords& range, std::int32_t* sorted, std::int32_t* first,
                        const std::int32_t* bounds, std::int32_t parts) noexcept {
  const std::int32_t n = range.Count();
  const std::int32_t whole[] = {0, n};
  if (bounds == nullptr) bounds = whole;
  if (parts == 1) {
    std::int64_t ties = RankFewValues(range, sorted, first);
    if (ties < 0) ties = RankNearlySorted(range, sorted, first);
    if (ties >= 0) return ties;
  }
  WorkArray<KeyedItem> items(n);
  if (!items) return -1;
  for (std::int32_t k = 0; k < n; ++k) items[k] = KeyedItem{OrderKey(range.Record(k).dValue), k};
  std::int64_t ties = 0;
  for (std::int32_t p = 0; p < parts; ++p) {
    SortItems(items.get() + bounds[p], bounds[p + 1] - bounds[p]);
    for (std::int32_t s = bounds[p] + 1; s < bounds[p + 1]; ++s) {
      ties += items[s - 1].key == items[s].key ? 1 : 0;
    }
  }
  for (std::int32_t s = 0; s < n; ++s) sorted[s] = items[s].index;
  if (ties == 0) return 0;
  for (std::int32_t p = 0; p < parts; ++p) {
    std::int32_t start = bounds[p];
    for (std::int32_t s = bounds[p]; s < bounds[p + 1]; ++s) {
      if (items[s].key != items[start].key) start = s;
      first[items[s].index] = start;
    }
  }
  return ties;
}

}  // namespace internal
}  // namespace mensora
