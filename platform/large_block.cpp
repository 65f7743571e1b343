// Large blocks on Linux: anonymous private mappings of whole pages, taken at once from a
// region's size up.
#include "platform/large_block.h"

#include <sys/mman.h>
#include <unistd.h>

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

}  // namespace

void* AllocateLargeBlock(std::size_t bytes) {
  const std::size_t page = PageBytes();
  if (bytes > std::numeric_limits<std::size_t>::max() - page) throw std::bad_alloc();
  // A block of a region or more is about to be filled: its pages are taken in one call
  // rather than one fault at a time.
  const int populate = bytes >= kRegionBytes ? MAP_POPULATE : 0;
  void* block =
      mmap(nullptr, MappedBytes(bytes, page), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | populate, -1, 0);
  if (block == MAP_FAILED) throw std::bad_alloc();
  return block;
}

void FreeLargeBlock(void* block, std::size_t bytes) noexcept {
  if (block == nullptr) return;
  munmap(block, MappedBytes(bytes, PageBytes()));
}

}  // namespace ordexa
