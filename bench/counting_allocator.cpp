#include "counting_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocations{0};
// Out of line, so the compiler does not pair the inlined free with a new.
__attribute__((noinline)) void Release(void* memory) { std::free(memory); }
}  // namespace

long AllocationCount() { return allocations.load(); }

void* operator new(size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size > 0 ? size : 1)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { Release(memory); }
void operator delete(void* memory, size_t) noexcept { Release(memory); }
