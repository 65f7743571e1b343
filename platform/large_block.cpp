// Large blocks on Linux: anonymous mappings, cut to a large-page boundary and marked for
// transparent huge pages when they are big enough to hold one.
#include "platform/large_block.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <limits>
#include <new>

namespace ordexa {
namespace {

std::size_t PageBytes() {
  const long page = sysconf(_SC_PAGESIZE);
  return page > 0 ? static_cast<std::size_t>(page) : 4096;
}

// The mapped size of a block of `bytes`: whole pages, at least one.
std::size_t MappedBytes(std::size_t bytes, std::size_t page) {
  return bytes == 0 ? page : (bytes + page - 1) / page * page;
}

char* Map(std::size_t bytes) {
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) throw std::bad_alloc();
  return static_cast<char*>(block);
}

}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
  const std::size_t page = PageBytes();
  // Room for the rounding and for the cut to a large-page boundary.
  if (bytes > std::numeric_limits<std::size_t>::max() - 2 * kLargePageBytes) throw std::bad_alloc();
  const std::size_t size = MappedBytes(bytes, page);
  if (size < kLargePageBytes) return Map(size);
  // The system places a mapping on any page: map a large page more than needed and give
  // back the parts in front of the first large-page boundary and behind the block.
  const std::size_t mapped = size + kLargePageBytes - page;
  char* const raw = Map(mapped);
  const auto raw_address = reinterpret_cast<std::uintptr_t>(raw);
  const std::size_t head = (kLargePageBytes - raw_address % kLargePageBytes) % kLargePageBytes;
  char* const block = raw + head;
  if (head != 0) munmap(raw, head);
  if (mapped - head > size) munmap(block + size, mapped - head - size);
  // Only advice: a kernel without transparent huge pages refuses it, and the block then
  // has ordinary pages.
  madvise(block, size, MADV_HUGEPAGE);
  return block;
}

void FreeLargeBlock(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
  munmap(block, MappedBytes(bytes, PageBytes()));
}

}  // namespace ordexa
