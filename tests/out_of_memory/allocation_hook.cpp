// Replaces every form of the global operator new and delete of this test binary with a
// malloc-based one that can be told to fail. Single-threaded use: plain counters.
#include "out_of_memory/allocation_hook.h"

#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::int64_t countdown = -1;  // allocations left before the failing one; -1: none fails
bool keep_failing = false;  // memory stays exhausted after the first failure
bool failed = false;
std::int64_t live = 0;

// Null when this is the allocation chosen to fail.
void* Allocate(std::size_t size, std::size_t alignment) {
  if (countdown == 0) {
    if (!keep_failing) countdown = -1;
    failed = true;
    return nullptr;
  }
  if (countdown > 0) --countdown;
  if (size == 0) size = 1;
  void* block = nullptr;
  if (alignment <= alignof(std::max_align_t)) {
    block = std::malloc(size);
  } else {
    block = std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
  }
  if (block != nullptr) ++live;
  return block;
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment) {
  void* block = Allocate(size, alignment);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void Free(void* block) {
  if (block == nullptr) return;
  --live;
  std::free(block);
}

constexpr std::size_t kDefault = alignof(std::max_align_t);
std::size_t Alignment(std::align_val_t alignment) { return static_cast<std::size_t>(alignment); }

}  // namespace

namespace ordexa::test {

void FailAllocation(std::int64_t count, bool keep_failing_after) {
  countdown = count;
  keep_failing = keep_failing_after;
  failed = false;
}
bool AllocationFailed() { return failed; }
std::int64_t LiveAllocations() { return live; }

}  // namespace ordexa::test

void* operator new(std::size_t size) { return AllocateOrThrow(size, kDefault); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size, kDefault); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, kDefault); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size, kDefault); }
void* operator new(std::size_t size, std::align_val_t alignment) { return AllocateOrThrow(size, Alignment(alignment)); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return AllocateOrThrow(size, Alignment(alignment)); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return Allocate(size, Alignment(alignment));
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return Allocate(size, Alignment(alignment));
}

void operator delete(void* block) noexcept { Free(block); }
void operator delete[](void* block) noexcept { Free(block); }
void operator delete(void* block, std::size_t) noexcept { Free(block); }
void operator delete[](void* block, std::size_t) noexcept { Free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Free(block); }
void operator delete(void* block, std::align_val_t) noexcept { Free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { Free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { Free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { Free(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { Free(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { Free(block); }
