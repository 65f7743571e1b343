// Automation strings (BSTR): UTF-16 text with its byte length in the four bytes before it
// and a NUL after it, so the text can be handed on as a plain NUL-terminated string too.
#include <cstdlib>
#include <cstring>
#include <limits>

#include "oleauto.h"

namespace {

using BstrLength = std::uint32_t;
constexpr std::size_t kPrefixSize = sizeof(BstrLength);

// The byte length must fit the prefix, with room for the terminating NUL.
constexpr UINT kMaxUnits = (std::numeric_limits<BstrLength>::max() - kPrefixSize - sizeof(OLECHAR)) /
                           sizeof(OLECHAR);

char* BlockOf(BSTR text) { return reinterpret_cast<char*>(text) - kPrefixSize; }

}  // namespace

// SysAllocString()
// Copies `text` up to its NUL into a new BSTR; null for a null text or when memory runs
// out. Example: SysStringLen(SysAllocString(u"abc")) == 3.
BSTR SysAllocString(const OLECHAR* text) {
  if (text == nullptr) return nullptr;
  std::size_t length = 0;
  while (text[length] != u'\0') ++length;
  if (length > kMaxUnits) return nullptr;
  return SysAllocStringLen(text, static_cast<UINT>(length));
}

// SysAllocStringLen()
// Exactly `length` units, embedded NULs included, then a NUL; a null text leaves the
// units zero. Null when the byte length does not fit the 32-bit prefix or memory runs out.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  if (length > kMaxUnits) return nullptr;
  const BstrLength byte_length = length * static_cast<BstrLength>(sizeof(OLECHAR));
  auto* block = static_cast<char*>(std::malloc(kPrefixSize + byte_length + sizeof(OLECHAR)));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &byte_length, kPrefixSize);
  auto* units = reinterpret_cast<OLECHAR*>(block + kPrefixSize);
  if (text != nullptr) {
    std::memcpy(units, text, byte_length);
  } else {
    std::memset(units, 0, byte_length);
  }
  units[length] = u'\0';
  return units;
}

// SysStringLen(): the prefix's byte length in units (not the distance to a NUL); 0 for null.
UINT SysStringLen(BSTR text) {
  if (text == nullptr) return 0;
  BstrLength byte_length = 0;
  std::memcpy(&byte_length, BlockOf(text), kPrefixSize);
  return byte_length / static_cast<BstrLength>(sizeof(OLECHAR));
}

// SysFreeString(): frees the block the BSTR points into; null is ignored.
void SysFreeString(BSTR text) {
  if (text != nullptr) std::free(BlockOf(text));
}
