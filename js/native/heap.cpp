// The bytes the module's allocator has handed out and not yet taken back:
// the same before and after every call of the package when nothing leaks.
#include <malloc.h>

#include <cstddef>

extern "C" __attribute__((visibility("default"))) std::size_t mensora_wasm_heap_in_use() {
  return mallinfo().uordblks;
}
