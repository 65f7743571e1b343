// The original platform's C runtime where it differs from this machine's: `long` is 32-bit
// there, so every `atol` reading saturates at the 32-bit limits.
#pragma once

#include <cstdint>
#include <string_view>

namespace ordexa {

// Atol32()
// atol() with a 32-bit long: leading white space (blank, \t \n \v \f \r) skipped, an
// optional '+' or '-', then decimal digits up to the first other character; no digits
// give 0; values beyond the range saturate at 2147483647 / -2147483648.
// Example: Atol32("  -70x") == -70, Atol32("99999999999") == 2147483647.
std::int32_t Atol32(std::string_view text);

// IsCrtSpace(): the runtime's white-space test in a single-byte code page:
// blank, tab, line feed, vertical tab, form feed, carriage return.
constexpr bool IsCrtSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace ordexa
