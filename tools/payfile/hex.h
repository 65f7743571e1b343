// Hexadecimal numbers in messages: status codes and error numbers as support reads them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace ordexa::payfile {

// HexText()
// "0x" and `value` in upper-case hexadecimal, zero-filled to at least `digits` digits.
// Example: HexText(0x80070003, 8) == "0x80070003", HexText(3) == "0x3".
inline std::string HexText(std::uint32_t value, int digits = 0) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
  return text;
}

}  // namespace ordexa::payfile
