// Large blocks on Windows: committed virtual memory of its own. Large pages need a
// privilege a payroll program does not hold, so the blocks have ordinary pages.
#include <windows.h>

#include <new>

#include "platform/large_block.h"

namespace ordexa {

void* AllocateLargeBlock(std::size_t bytes) {
  void* block = ::VirtualAlloc(nullptr, bytes == 0 ? 1 : bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

void FreeLargeBlock(void* block, std::size_t) noexcept {
  if (block != nullptr) ::VirtualFree(block, 0, MEM_RELEASE);
}

}  // namespace ordexa
