// Counting replacements of the global allocation operators: every form of
// operator new and delete in the process goes through them, the shared
// library's included.
#ifndef MENSORA_TESTS_ALLOC_COUNTING_ALLOCATOR_H
#define MENSORA_TESTS_ALLOC_COUNTING_ALLOCATOR_H

#include <cstdint>

namespace alloc_probe {

// Number of allocations made so far.
std::int64_t Calls();
// Bytes currently allocated and not yet released.
std::int64_t LiveBytes();
// Makes the k-th allocation from now fail (k >= 1), once: the nothrow forms
// return null, the others throw std::bad_alloc. 0 disarms.
void FailNth(std::int64_t k);
// Whether an armed failure has not happened yet.
bool Armed();

}  // namespace alloc_probe

#endif  // MENSORA_TESTS_ALLOC_COUNTING_ALLOCATOR_H
