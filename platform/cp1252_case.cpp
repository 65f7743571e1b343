// The runtime's upper-casing in code page 1252, the same table on every platform.
#include "platform/cp1252.h"

namespace ordexa {

char Cp1252ToUpper(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 'a' && byte <= 'z') return static_cast<char>(byte - 0x20);
  // The accented small letters sit 0x20 above their capitals; 0xF7 is the division sign.
  if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7) return static_cast<char>(byte - 0x20);
  switch (byte) {
    case 0x9A: return static_cast<char>(0x8A);  // s with caron
    case 0x9C: return static_cast<char>(0x8C);  // oe ligature
    case 0x9E: return static_cast<char>(0x8E);  // z with caron
    case 0xFF: return static_cast<char>(0x9F);  // y with diaeresis
    default: return c;
  }
}

void Cp1252ToUpperInPlace(std::string& text) {
  for (char& c : text) c = Cp1252ToUpper(c);
}

}  // namespace ordexa
