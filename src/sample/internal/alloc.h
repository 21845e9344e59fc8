// Allocation helpers: every array the library owns or borrows for one call comes
// from here, so a failed allocation is always a null pointer, never an exception.
#ifndef MENSORA_SAMPLE_INTERNAL_ALLOC_H
#define MENSORA_SAMPLE_INTERNAL_ALLOC_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>

namespace mensora {
namespace internal {

// Every block starts with its capacity, the bytes after this header; the
// array follows, aligned as operator new aligns. Blocks from kKeptFrom bytes
// up may be kept by the thread that releases them, for its later calls (see
// alloc.cpp); smaller ones the system allocator reuses well by itself.
constexpr std::size_t kBlockHeader = 16;
constexpr std::size_t kKeptFrom = std::size_t{64} << 10;

// AcquireBlock for a large block.
void* AcquireKeptOrNew(std::size_t bytes) noexcept;
// A block the allocator refused, asked again once the blocks the
// thread keeps are freed; null when none were kept.
void* AcquireWithoutKept(std::size_t bytes) noexcept;
// ReleaseBlock for a large block.
void ReleaseLarge(unsigned char* block) noexcept;

// A block of at least `bytes` bytes, or null when the memory cannot be had.
inline void* AcquireBlock(std::size_t bytes) noexcept {
  if (bytes >= kKeptFrom) return AcquireKeptOrNew(bytes);
  auto* block = static_cast<unsigned char*>(::operator new[](kBlockHeader + bytes, std::nothrow));
  if (block == nullptr) return AcquireWithoutKept(bytes);
  std::memcpy(block, &bytes, sizeof bytes);
  return block + kBlockHeader;
}

// Releases a block of AcquireBlock (null: nothing), which the calling thread
// may keep for its later calls.
inline void ReleaseBlock(void* array) noexcept {
  if (array == nullptr) return;
  unsigned char* const block = static_cast<unsigned char*>(array) - kBlockHeader;
  std::size_t size = 0;
  std::memcpy(&size, block, sizeof size);
  if (size < kKeptFrom) {
    ::operator delete[](block);
  } else {
    ReleaseLarge(block);
  }
}

// Frees the blocks the calling thread keeps.
void ReleaseKeptBlocks() noexcept;
// Sets the most each thread keeps, in mebibytes (negative: 0), and returns
// the limit it replaces; the calling thread's blocks are freed when they
// exceed the new one.
std::int32_t SetKeepLimit(std::int32_t mebibytes) noexcept;

// A new array of n elements, uninitialized, or null when n is negative, too
// large for the address space, or the memory cannot be had. n = 0 gives a
// valid empty array. Released by ReleaseArray, a WorkArray or an OwnedArray,
// never by delete[].
template <class T>
T* NewArray(std::int64_t n) noexcept {
  static_assert(std::is_trivially_default_constructible_v<T> &&
                    std::is_trivially_destructible_v<T>,
                "arrays of the library hold plain values");
  if (n < 0 || static_cast<std::uint64_t>(n) >
                   std::numeric_limits<std::size_t>::max() / sizeof(T)) {
    return nullptr;
  }
  return static_cast<T*>(AcquireBlock(static_cast<std::size_t>(n) * sizeof(T)));
}

// Releases an owned buffer and leaves its field null.
template <class T>
void ReleaseArray(T*& field) noexcept {
  ReleaseBlock(field);
  field = nullptr;
}

// The owner of an array of NewArray.
struct ArrayRelease {
  void operator()(void* array) const noexcept { ReleaseBlock(array); }
};
template <class T>
using OwnedArray = std::unique_ptr<T[], ArrayRelease>;

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
  ~WorkArray() { ReleaseBlock(data_); }
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
