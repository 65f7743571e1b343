// The document hash of the 2019 message id.
#include "iso2019/iso2019_hash.h"

#include <algorithm>
#include <cstring>

namespace ordexa {

namespace {

constexpr std::uint64_t kPrime = 0x100000001b3ull;

std::uint64_t Mix(std::uint64_t value) {
  value ^= value >> 33;
  value *= 0xff51afd7ed558ccdull;
  value ^= value >> 33;
  return value;
}

}  // namespace

void DocumentHash::Block(const unsigned char* block) {
  for (std::size_t lane = 0; lane < lanes_.size(); ++lane) {
    std::uint64_t word;
    std::memcpy(&word, block + lane * 8, 8);
    lanes_[lane] = (lanes_[lane] ^ word) * kPrime;
  }
}

void DocumentHash::Written(std::string_view bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t size = bytes.size();
  length_ += size;
  if (pending_size_ != 0) {
    const std::size_t take = std::min(size, kBlock - pending_size_);
    std::memcpy(pending_.data() + pending_size_, data, take);
    pending_size_ += take;
    data += take;
    size -= take;
    if (pending_size_ < kBlock) return;
    Block(pending_.data());
    pending_size_ = 0;
  }
  // Whole blocks with the lanes held in registers, not read and stored again per block.
  static_assert(kBlock == 4 * sizeof(std::uint64_t) && std::tuple_size_v<decltype(lanes_)> == 4);
  if (size >= kBlock) {
    std::uint64_t lane0 = lanes_[0], lane1 = lanes_[1], lane2 = lanes_[2], lane3 = lanes_[3];
    for (; size >= kBlock; data += kBlock, size -= kBlock) {
      std::uint64_t words[4];
      std::memcpy(words, data, sizeof words);
      lane0 = (lane0 ^ words[0]) * kPrime;
      lane1 = (lane1 ^ words[1]) * kPrime;
      lane2 = (lane2 ^ words[2]) * kPrime;
      lane3 = (lane3 ^ words[3]) * kPrime;
    }
    lanes_ = {lane0, lane1, lane2, lane3};
  }
  if (size != 0) std::memcpy(pending_.data(), data, size);
  pending_size_ = size;
}

std::array<char, 8> DocumentHash::Value() const {
  // The unfinished block byte by byte, then the lanes and the length folded together.
  std::uint64_t tail = lanes_[0];
  for (std::size_t i = 0; i < pending_size_; ++i) tail = (tail ^ pending_[i]) * kPrime;
  std::uint64_t value = Mix(tail ^ length_);
  for (std::size_t lane = 1; lane < lanes_.size(); ++lane) value = Mix(value ^ lanes_[lane]);
  const auto folded = static_cast<std::uint32_t>(value ^ (value >> 32));
  std::array<char, 8> text;
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = "0123456789ABCDEF"[(folded >> (28 - 4 * i)) & 0xF];
  }
  return text;
}

}  // namespace ordexa
