// The blocks behind every array of the library, and the large ones each
// thread keeps for its next calls.
//
// A call over many values needs several large arrays (the sorted view, the
// sort's keys and buffer, the members of the classes) and frees them when it
// ends. The system allocator hands such arrays back to the kernel on release,
// so the next call over as many values has every page of them cleared and
// mapped again: on 10^4 to 10^6 values that was a third to three fifths of
// a call's time. Each thread therefore keeps the large blocks it releases, up
// to MENSORA_KEEP_MEMORY mebibytes in all (128 unless the environment or
// SetKeepLimit says otherwise, none in WebAssembly; the blocks released
// longest ago make room), and each later array takes the smallest kept block
// that holds it. What a thread keeps is freed when it ends or calls
// ReleaseKeptBlocks.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "sample/internal/alloc.h"

namespace mensora {
namespace internal {

namespace {

constexpr std::size_t kHeader = kBlockHeader;
constexpr int kSlots = 16;
constexpr std::int64_t kMostMebibytes = std::int64_t{1} << 20;
#if defined(__EMSCRIPTEN__)
// A WebAssembly module's memory never goes back to the system: the allocator
// reuses it without a fault, and keeping would only hold it from other sizes.
constexpr std::int64_t kDefaultMebibytes = 0;
#else
constexpr std::int64_t kDefaultMebibytes = 128;
#endif

// Trivially destructible, so that it can be read after the thread's
// destructors have run (a late release then frees its block).
struct KeptBlocks {
  unsigned char* block[kSlots];
  std::size_t bytes;  // the capacities of the kept blocks, in all
  int count;
  bool closed;
};
thread_local KeptBlocks kept;

std::size_t& Capacity(unsigned char* block) noexcept {
  return *reinterpret_cast<std::size_t*>(block);
}

void FreeBlock(unsigned char* block) noexcept { ::operator delete[](block); }

// The most each thread keeps, in mebibytes: -1 until first asked, then from
// MENSORA_KEEP_MEMORY or SetKeepLimit.
std::atomic<std::int64_t> g_limit{-1};

// Bytes, at most what the address space holds.
std::size_t Bytes(std::int64_t mebibytes) noexcept {
  return static_cast<std::size_t>(
      std::min<std::uint64_t>(static_cast<std::uint64_t>(mebibytes) << 20, SIZE_MAX));
}

std::size_t KeepLimit() noexcept {
  std::int64_t limit = g_limit.load(std::memory_order_relaxed);
  if (limit >= 0) return Bytes(limit);
  std::int64_t mebibytes = kDefaultMebibytes;
#if defined(__EMSCRIPTEN__)
  // No environment to ask: its first reading would build one in the module's
  // memory, to stay there.
  const char* text = nullptr;
#else
  // The library never changes the environment itself.
  const char* text = std::getenv("MENSORA_KEEP_MEMORY");  // NOLINT(concurrency-mt-unsafe)
#endif
  if (text != nullptr) {
    char* end = nullptr;
    const long long wanted = std::strtoll(text, &end, 10);
    if (end != text && *end == '\0' && wanted >= 0) {
      mebibytes = std::min<std::int64_t>(wanted, kMostMebibytes);
    }
  }
  std::int64_t unset = -1;  // a limit set meanwhile stands
  return Bytes(g_limit.compare_exchange_strong(unset, mebibytes, std::memory_order_relaxed)
                   ? mebibytes
                   : unset);
}

// Frees the thread's kept blocks when the thread ends.
struct Closer {
  Closer() = default;
  Closer(const Closer&) = delete;
  Closer& operator=(const Closer&) = delete;
  ~Closer() {
    ReleaseKeptBlocks();
    kept.closed = true;
  }
};

// Takes the i-th kept block out of the list, which stays in the order the
// blocks were released.
void Drop(int i) noexcept {
  kept.bytes -= Capacity(kept.block[i]);
  --kept.count;
  std::copy(kept.block + i + 1, kept.block + kept.count + 1, kept.block + i);
}

// Keeps block for the thread's later calls; false when it is not kept.
bool Keep(unsigned char* block) noexcept {
  const std::size_t size = Capacity(block);
  if (kept.closed || size > KeepLimit()) return false;
  static thread_local Closer closer;  // registered with the thread's first kept block
  // The blocks released longest ago make room: those of the last call are
  // the ones the next is likeliest to need.
  while (kept.count > 0 && (kept.count == kSlots || kept.bytes + size > KeepLimit())) {
    unsigned char* const dropped = kept.block[0];
    Drop(0);
    FreeBlock(dropped);
  }
  kept.block[kept.count++] = block;
  kept.bytes += size;
  return true;
}

// The smallest kept block of at least size bytes, taken out; null when
// there is none. The smaller ones stay for the call's other arrays.
unsigned char* TakeKept(std::size_t size) noexcept {
  int best = -1;
  for (int i = 0; i < kept.count; ++i) {
    const std::size_t capacity = Capacity(kept.block[i]);
    if (capacity >= size && (best < 0 || capacity < Capacity(kept.block[best]))) best = i;
  }
  if (best < 0) return nullptr;
  unsigned char* const block = kept.block[best];
  Drop(best);
  return block;
}

// A new block of size bytes after the header, its array; null when the
// allocator refuses it.
void* NewBlock(std::size_t size) noexcept {
  auto* block = static_cast<unsigned char*>(::operator new[](kHeader + size, std::nothrow));
  if (block == nullptr) return nullptr;
  Capacity(block) = size;
  return block + kHeader;
}

}  // namespace

void* AcquireKeptOrNew(std::size_t bytes) noexcept {
  if (bytes > SIZE_MAX - kHeader - kKeptFrom) return nullptr;
  // Taken in whole steps of kKeptFrom, so that calls over a few more values
  // still find the block of the last one.
  const std::size_t size = (bytes + kKeptFrom - 1) / kKeptFrom * kKeptFrom;
  if (unsigned char* block = TakeKept(size)) return block + kHeader;
  void* array = NewBlock(size);
  return array != nullptr ? array : AcquireWithoutKept(size);
}

void* AcquireWithoutKept(std::size_t bytes) noexcept {
  if (kept.count == 0) return nullptr;  // short of memory: nothing is kept then
  ReleaseKeptBlocks();
  return NewBlock(bytes);
}

void ReleaseLarge(unsigned char* block) noexcept {
  if (!Keep(block)) FreeBlock(block);
}

std::int32_t SetKeepLimit(std::int32_t mebibytes) noexcept {
  KeepLimit();  // the environment's limit, if none was set yet
  const std::int64_t before = g_limit.exchange(
      std::min<std::int64_t>(std::max<std::int32_t>(mebibytes, 0), kMostMebibytes));
  if (kept.bytes > KeepLimit()) ReleaseKeptBlocks();
  return static_cast<std::int32_t>(std::min<std::int64_t>(before, INT32_MAX));
}

void ReleaseKeptBlocks() noexcept {
  while (kept.count > 0) FreeBlock(kept.block[--kept.count]);
  kept.bytes = 0;
}

}  // namespace internal
}  // namespace mensora
