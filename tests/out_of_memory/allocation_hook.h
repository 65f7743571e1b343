// A test binary's own global operator new and delete: counts live allocations and makes
// a chosen allocation (and, if asked, every later one) fail (std::bad_alloc, or null for the nothrow forms).
#pragma once

#include <cstdint>

namespace ordexa::test {

// FailAllocation(): the allocation `count` allocations from now fails, and with
// `keep_failing` every one after it too (memory stays exhausted); -1 disarms.
void FailAllocation(std::int64_t count, bool keep_failing = false);

// AllocationFailed(): the armed failure has happened since FailAllocation was called.
bool AllocationFailed();

// LiveAllocations(): allocations made through operator new and not yet freed.
std::int64_t LiveAllocations();

// ScopedAllocationFailure: arms a failure for its lifetime and disarms at the end.
class ScopedAllocationFailure {
 public:
  explicit ScopedAllocationFailure(std::int64_t count, bool keep_failing = false) {
    FailAllocation(count, keep_failing);
  }
  ~ScopedAllocationFailure() { FailAllocation(-1); }
  ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
  ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;
};

}  // namespace ordexa::test
