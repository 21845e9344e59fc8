// Allocation helpers: every array the library owns or borrows for one call comes
// from here, so a failed allocation is always a null pointer, never an exception.
#ifndef MENSORA_SAMPLE_INTERNAL_ALLOC_H
#define MENSORA_SAMPLE_INTERNAL_ALLOC_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>

namespace mensora {
namespace internal {

// A new array of n elements, or null when n is negative, too large for the
// address space, or the allocator has no memory. n = 0 gives a valid empty array.
template <class T>
T* NewArray(std::int64_t n) noexcept {
  if (n < 0 || static_cast<std::uint64_t>(n) >
                   std::numeric_limits<std::size_t>::max() / sizeof(T)) {
    return nullptr;
  }
  return new (std::nothrow) T[static_cast<std::size_t>(n)];
}

// Releases an owned buffer and leaves its field null.
template <class T>
void ReleaseArray(T*& field) noexcept {
  delete[] field;
  field = nullptr;
}

// Releases several owned buffers, in the order given.
template <class... T>
void ReleaseArrays(T*&... fields) noexcept {
  (ReleaseArray(fields), ...);
}

// Replaces an owned buffer: the old array is released immediately before the
// new one is allocated. Returns the new array (also stored in the field), or
// null with the field left null.
template <class T>
T* ReplaceArray(T*& field, std::int64_t n) noexcept {
  ReleaseArray(field);
  field = NewArray<T>(n);
  return field;
}

// Working memory of one call: an array from NewArray, released when the
// object goes out of scope, indexed by signed positions. Empty (false) when
// the array could not be had.
template <class T>
class WorkArray {
 public:
  WorkArray() noexcept = default;
  explicit WorkArray(std::int64_t n) noexcept : data_(NewArray<T>(n)) {}
  ~WorkArray() { delete[] data_; }
  WorkArray(const WorkArray&) = delete;
  WorkArray& operator=(const WorkArray&) = delete;

  // Replaces the array by a new one of n elements; false when it cannot be had.
  bool Allocate(std::int64_t n) noexcept {
    Reset();
    data_ = NewArray<T>(n);
    return data_ != nullptr;
  }
  void Reset() noexcept { ReleaseArray(data_); }
  explicit operator bool() const noexcept { return data_ != nullptr; }
  T* get() const noexcept { return data_; }
  T& operator[](std::int64_t i) const noexcept { return data_[i]; }

 private:
  T* data_ = nullptr;
};

}  // namespace internal
}  // namespace mensora

#endif  // MENSORA_SAMPLE_INTERNAL_ALLOC_H
