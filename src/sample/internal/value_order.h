// Shared parts of the fast sorts: the non-NaN records of a range numbered in
// position order, their ranks by value, and the final rearrangement.
#ifndef MENSORA_SAMPLE_INTERNAL_VALUE_ORDER_H
#define MENSORA_SAMPLE_INTERNAL_VALUE_ORDER_H

#include <cstdint>

#include "Mensora.h"
#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

// A value's sort key and its number among the values being ordered.
struct KeyedItem {
  std::uint64_t key;
  std::int32_t index;
};

// An unsigned key in the order of the values: equal values (0.0 and -0.0
// included) have equal keys. v must not be NaN.
std::uint64_t OrderKey(double v) noexcept;

// Settles records lLeft..lRight when they are in order already: ascending
// (no value below the one before it) they stay, strictly descending they are
// reversed, which is what either sort gives them. False for any other range,
// and for a range of two or more records with a NaN.
bool SettleMonotone(ORDER_DATA* records, std::int64_t lLeft, std::int64_t lRight) noexcept;

// Sorts by key, equal keys by index; the items must come in index order.
// Sorted, reversed and nearly sorted input are recognised; other input is
// sorted by radix when the memory for it can be had.
void SortItems(KeyedItem* items, std::int32_t n) noexcept;

// The records lLeft..lRight whose value is not NaN, numbered 0..Count()-1 in
// position order. The NaN records are not numbered: neither sort moves them
// (the quicksort never does; the exchange sort is only fast without them).
class NumberedRecords {
 public:
  // False when the range is too large to number or memory is short.
  bool Init(ORDER_DATA* records, std::int64_t lLeft, std::int64_t lRight) noexcept;

  std::int32_t Count() const { return count_; }
  bool HasNaN() const { return static_cast<bool>(positions_); }
  // Offset of number k from the range's first record.
  std::int32_t Position(std::int32_t k) const { return positions_ ? positions_[k] : k; }
  ORDER_DATA& Record(std::int32_t k) const { return records_[left_ + Position(k)]; }
  // Moves the records so that number k receives the record that had number
  // order[k] (a permutation of 0..Count()-1, consumed by the call).
  void Rearrange(std::int32_t* order) const noexcept;

 private:
  ORDER_DATA* records_ = nullptr;
  std::int64_t left_ = 0;
  std::int32_t count_ = 0;
  WorkArray<std::int32_t> positions_;  // offsets from left_
};

// Moves records[0..count-1] so that record p receives the one that was at
// from[p] (a permutation, consumed by the call).
void PermuteRecords(ORDER_DATA* records, std::int32_t count, std::int32_t* from) noexcept;

// Ranks of the numbered values within each part bounds[p]..bounds[p+1]-1 of
// the numbers (no bounds: one part, all of them): sorted[s] is the number of
// the s-th value in ascending order (equal values by number), part after
// part, and first[k] the first slot in that order of the value of number k
// within its part, which equal values share; first[] is filled only when two
// values of a part are equal. Returns the number of neighbours in that order
// with equal values within a part, or -1 when memory is short.
std::int64_t RankValues(const NumberedRecords& range, std::int32_t* sorted, std::int32_t* first,
                        const std::int32_t* bounds = nullptr, std::int32_t parts = 1) noexcept;

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_SAMPLE_INTERNAL_VALUE_ORDER_H
