// The runtime's upper-casing in code page 1252, the same table on every platform.
#include <array>

#include "platform/cp1252.h"

namespace ordexa {
namespace {

constexpr char UpperOf(unsigned char byte) {
  if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 0x20);
  // The accented small letters sit 0x20 above their capitals; 0xF7 is the division sign.
  if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return static_cast<char>(byte - 0x20);
  switch (byte) {
    case 0x9A: return static_cast<char>(0x8A);  // s with caron
    case 0x9C: return static_cast<char>(0x8C);  // oe ligature
    case 0x9E: return static_cast<char>(0x8E);  // z with caron
    case 0xFF: return static_cast<char>(0x9F);  // y with diaeresis
    default: return static_cast<char>(byte);
  }
}

constexpr std::array<char, 256> kUpper = [] {
  std::array<char, 256> table{};
  for (int byte = 0; byte < 256; ++byte) table[byte] = UpperOf(static_cast<unsigned char>(byte));
  return table;
}();

}  // namespace

char Cp1252ToUpper(char c) { return kUpper[static_cast<unsigned char>(c)]; }

void Cp1252ToUpperInPlace(std::string& text) {
  for (char& c : text) c = kUpper[static_cast<unsigned char>(c)];
}

}  // namespace ordexa
