// Shared parts of the fast sorts: the non-NaN records of a range numbered in
// position order, their ranks by value, and the final rearrangement.
#ifndef MENSORA_SAMPLE_INTERNAL_VALUE_ORDER_H
#define MENSORA_SAMPLE_INTERNAL_VALUE_ORDER_H

#include <cstdint>
#include <memory>

#include "Mensora.h"

namespace mensora {
namespace internal {

// A value and its number among the values being ordered.
struct IndexedValue {
  double value;
  std::int32_t index;
};

// Sorts ascending by value (0.0 and -0.0 compare equal), equal values by
// index. The values must not be NaN.
void SortIndexedValues(IndexedValue* items, std::int64_t count) noexcept;

// The records lLeft..lRight whose value is not NaN, numbered 0..Count()-1 in
// position order. The NaN records are not numbered: neither sort moves them
// (the quicksort never does; the exchange sort is only fast without them).
class NumberedRecords {
 public:
  // False when the range is too large to number or memory is short.
  bool Init(ORDER_DATA* records, std::int64_t lLeft, std::int64_t lRight) noexcept;

  std::int32_t Count() const { return count_; }
  bool HasNaN() const { return positions_ != nullptr; }
  ORDER_DATA& Record(std::int32_t k) const {
    return records_[left_ + (positions_ ? positions_[k] : k)];
  }
  // Moves the records so that number k receives the record that had number
  // order[k] (a permutation of 0..Count()-1, consumed by the call).
  void Rearrange(std::int32_t* order) const noexcept;

 private:
  ORDER_DATA* records_ = nullptr;
  std::int64_t left_ = 0;
  std::int32_t count_ = 0;
  std::unique_ptr<std::int32_t[]> positions_;  // offsets from left_
};

// Ranks of the numbered values: sorted[s] is the number of the s-th value in
// ascending order (equal values by number) and first[k] the first slot in that
// order of the value of number k, which equal values share. False when memory
// is short.
bool RankValues(const NumberedRecords& range, std::int32_t* sorted, std::int32_t* first) noexcept;

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_SAMPLE_INTERNAL_VALUE_ORDER_H
