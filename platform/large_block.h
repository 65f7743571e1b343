// Memory for a batch's big tables straight from the system: whole pages, zero-filled, given
// back whole when freed. A batch takes the same fresh memory at every size, and the
// program's heap does not keep hundreds of megabytes once a large batch is released.
#pragma once

#include <cstddef>
#include <utility>

namespace ordexa {

// kRegionBytes: the size in which the batch's tables grow once past their first block.
inline constexpr std::size_t kRegionBytes = std::size_t{2} << 20;

// AllocateLargeBlock()
// VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE): `bytes` of
// zero-filled memory in pages of their own, page-aligned (on Windows aligned to the 64 KiB
// allocation granularity). A page is taken from the system when first touched; on Linux a
// block of kRegionBytes or more has all its pages taken at once, in one call instead of a
// fault per page. A block of 0 bytes is one page. Throws std::bad_alloc when the system
// refuses the memory.
// Notes: the blocks are not marked for large pages. Where a virtual machine's host takes
// free memory back, a fresh large page costs far more to touch than its small pages (a
// million payments filled in twice the time), and small pages cost the same per payment
// at any batch size.
// Example: void* table = AllocateLargeBlock(kRegionBytes);
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
