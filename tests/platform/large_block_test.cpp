// Large blocks from the system: page-aligned, zero-filled also when the same size comes back
// after a dirty block was freed, usable to the last byte, and a size the system cannot give
// refused with std::bad_alloc.
#include "platform/large_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

namespace ordexa {
namespace {

constexpr std::size_t kPage = 4096;

std::uintptr_t Address(const void* block) { return reinterpret_cast<std::uintptr_t>(block); }

bool AllZero(const char* bytes, std::size_t size) {
  return std::all_of(bytes, bytes + size, [](char byte) { return byte == 0; });
}

TEST(LargeBlock, PageAlignedZeroFilledAndUsableToTheEnd) {
  for (const std::size_t bytes : {std::size_t{0}, std::size_t{1}, kPage - 1, kPage, kPage + 1, 57 * kPage + 100,
                                  kRegionBytes, 5 * kRegionBytes / 2}) {
    SCOPED_TRACE(bytes);
    const std::size_t usable = std::max<std::size_t>(bytes, 1);
    for (int round = 0; round < 2; ++round) {
      // The second round gets a block where the first one's dirty bytes may have been.
      LargeBlock block(bytes);
      ASSERT_NE(nullptr, block.data());
      EXPECT_EQ(bytes, block.size());
      EXPECT_EQ(0u, Address(block.data()) % kPage);
      EXPECT_TRUE(AllZero(block.data(), usable)) << "round " << round;
      std::memset(block.data(), 0x5A, usable);
      EXPECT_EQ(0x5A, block.data()[usable - 1]);
    }
  }
}

TEST(LargeBlock, SizesTheSystemCannotGiveAreRefused) {
  const std::size_t max = std::numeric_limits<std::size_t>::max();
  for (const std::size_t bytes : {max, max - kPage, max - kRegionBytes, std::size_t{1} << 62}) {
    EXPECT_THROW(AllocateLargeBlock(bytes), std::bad_alloc) << bytes;
    EXPECT_THROW(LargeBlock{bytes}, std::bad_alloc) << bytes;
  }
  FreeLargeBlock(nullptr, kPage);  // nothing to give back
}

TEST(LargeBlock, MovesHandTheBlockOver) {
  LargeBlock first(kPage);
  first.data()[0] = 'a';
  char* const first_data = first.data();
  LargeBlock second(std::move(first));
  EXPECT_EQ(nullptr, first.data());
  EXPECT_EQ(0u, first.size());
  EXPECT_EQ(first_data, second.data());
  EXPECT_EQ(kPage, second.size());

  // Assignment frees the block it held and takes the other's.
  LargeBlock third(kRegionBytes);
  third = std::move(second);
  EXPECT_EQ(first_data, third.data());
  EXPECT_EQ('a', third.data()[0]);
  EXPECT_EQ(nullptr, second.data());
}

}  // namespace
}  // namespace ordexa
