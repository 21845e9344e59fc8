// Every block carries a header in front of it with its size and the header's
// own length, so that every release form can account for it.
#include "alloc/counting_allocator.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace alloc_probe {
namespace {

std::int64_t g_calls = 0;
std::int64_t g_failAt = 0;
std::int64_t g_liveBytes = 0;

struct Header {
  std::size_t size;
  std::size_t offset;  // from the start of the raw block to the user pointer
};

void* Allocate(std::size_t size, std::size_t align) noexcept {
  ++g_calls;
  if (g_failAt != 0 && g_calls == g_failAt) {
    g_failAt = 0;
    return nullptr;
  }
  if (align < alignof(std::max_align_t)) align = alignof(std::max_align_t);
  char* raw = static_cast<char*>(std::malloc(sizeof(Header) + align + size));
  if (raw == nullptr) return nullptr;
  const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(raw) + sizeof(Header);
  const std::size_t offset =
      static_cast<std::size_t>((first + align - 1) / align * align - reinterpret_cast<std::uintptr_t>(raw));
  char* user = raw + offset;
  Header* h = reinterpret_cast<Header*>(user) - 1;
  h->size = size;
  h->offset = offset;
  g_liveBytes += static_cast<std::int64_t>(size);
  return user;
}

void Release(void* p) noexcept {
  if (p == nullptr) return;
  const Header* h = static_cast<Header*>(p) - 1;
  g_liveBytes -= static_cast<std::int64_t>(h->size);
  std::free(static_cast<char*>(p) - h->offset);
}

void* AllocateOrThrow(std::size_t size, std::size_t align) {
  void* p = Allocate(size, align);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

std::int64_t Calls() { return g_calls; }
std::int64_t LiveBytes() { return g_liveBytes; }
void FailNth(std::int64_t k) { g_failAt = k == 0 ? 0 : g_calls + k; }
bool Armed() { return g_failAt != 0; }

}  // namespace alloc_probe

using alloc_probe::Allocate;
using alloc_probe::AllocateOrThrow;
using alloc_probe::Release;

void* operator new(std::size_t n) { return AllocateOrThrow(n, 0); }
void* operator new[](std::size_t n) { return AllocateOrThrow(n, 0); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n, 0); }
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept { return Allocate(n, 0); }
void* operator new(std::size_t n, std::align_val_t a) {
  return AllocateOrThrow(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a) {
  return AllocateOrThrow(n, static_cast<std::size_t>(a));
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(n, static_cast<std::size_t>(a));
}

void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { Release(p); }
