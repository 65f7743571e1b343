// The hash of a document's bytes behind its message id: the same bytes give the same
// value however they are cut into writes, so the id is reproducible.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/buffered_file.h"

namespace ordexa {

// DocumentHash: a 64-bit FNV-1a style hash over eight-byte words in four lanes, fed with
// the bytes as the file writes them out. Four independent lanes keep the multiplications
// from waiting on each other, so hashing a document costs a small part of writing it.
class DocumentHash final : public WrittenBytesObserver {
 public:
  void Written(std::string_view bytes) override;

  // Value(): the hash of every byte seen so far, as eight upper-case hex digits.
  // Example: "AB" written at once or as "A" then "B" gives the same value.
  std::array<char, 8> Value() const;

 private:
  static constexpr std::size_t kBlock = 32;
  std::array<std::uint64_t, 4> lanes_ = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull, 0x9ce484222325cbf2ull,
                                         0x2325cbf29ce48422ull};
  std::array<unsigned char, kBlock> pending_{};  // the bytes of an unfinished block
  std::size_t pending_size_ = 0;
  std::uint64_t length_ = 0;

  void Block(const unsigned char* block);
};

}  // namespace ordexa
