// Runs of ASCII digits recognised eight bytes at a time: account numbers, references and
// IBANs are checked on every payment of a batch.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace ordexa {

// AreEightDigits(): whether the eight bytes at `bytes` are all '0' to '9'. A digit byte is
// 0x30 to 0x39: its high half is 3, and stays 3 with 6 added, which no byte can carry out of.
// Example: AreEightDigits("12345678") is true, AreEightDigits("1234567A") false.
inline bool AreEightDigits(const char* bytes) {
  constexpr std::uint64_t kHighHalves = 0xF0F0F0F0F0F0F0F0ull;
  constexpr std::uint64_t kThrees = 0x3030303030303030ull;
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  return (word & kHighHalves) == kThrees && ((word + 0x0606060606060606ull) & kHighHalves) == kThrees;
}

// AllDigits(): whether `text` is one or more of '0' to '9'.
// Example: AllDigits("250097798") is true; AllDigits("") and AllDigits("25-9") are false.
inline bool AllDigits(std::string_view text) {
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    if (!AreEightDigits(text.data() + at)) return false;
  }
  for (; at < text.size(); ++at) {
    if (text[at] < '0' || text[at] > '9') return false;
  }
  return !text.empty();
}

}  // namespace ordexa
