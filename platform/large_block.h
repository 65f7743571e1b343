// Memory for a batch's big tables straight from the system: whole pages, zero-filled, given
// back whole when freed, and backed by large pages where the system offers them, so a
// batch of a million payments takes a few hundred page faults instead of a hundred thousand.
#pragma once

#include <cstddef>
#include <utility>

namespace ordexa {

// kLargePageBytes: the size of one large page (x86-64); a block of at least this size
// starts on a large-page boundary on Linux, so the system can back it with large pages.
inline constexpr std::size_t kLargePageBytes = std::size_t{2} << 20;

// AllocateLargeBlock()
// VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE): `bytes` of
// zero-filled memory, page-aligned (on Windows aligned to the 64 KiB allocation
// granularity), in pages of their own. Pages are taken on first touch; on Linux a block of
// at least kLargePageBytes starts on a large-page boundary and is marked for large pages
// (MADV_HUGEPAGE), which the system may ignore. A block of 0 bytes is one page. Throws
// std::bad_alloc when the system refuses the memory.
// Example: void* table = AllocateLargeBlock(kLargePageBytes);  // 2 MiB-aligned on Linux
void* AllocateLargeBlock(std::size_t bytes);

// FreeLargeBlock(): gives a block of AllocateLargeBlock back to the system; `bytes` is the
// size it was allocated with. A null block does nothing.
void FreeLargeBlock(void* block, std::size_t bytes) noexcept;

// LargeBlock: owns one block of AllocateLargeBlock and frees it when it goes.
class LargeBlock {
 public:
  LargeBlock() = default;
  // Throws std::bad_alloc, as AllocateLargeBlock.
  explicit LargeBlock(std::size_t bytes) : data_(static_cast<char*>(AllocateLargeBlock(bytes))), size_(bytes) {}
  ~LargeBlock() { FreeLargeBlock(data_, size_); }
  LargeBlock(LargeBlock&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  LargeBlock& operator=(LargeBlock&& other) noexcept {
    LargeBlock taken(std::move(other));
    std::swap(data_, taken.data_);
    std::swap(size_, taken.size_);
    return *this;
  }

  char* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace ordexa
