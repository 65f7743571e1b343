// The original platform's C runtime where it differs from this machine's: `long` is 32-bit
// there, so every `atol` reading saturates at the 32-bit limits, and its error numbers
// (errno) have their own values and come from the system's error codes by its own table.
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

// The runtime's error numbers (its errno.h; several differ from this machine's).
inline constexpr std::int32_t kCrtEnoent = 2;
inline constexpr std::int32_t kCrtE2big = 7;
inline constexpr std::int32_t kCrtEnoexec = 8;
inline constexpr std::int32_t kCrtEbadf = 9;
inline constexpr std::int32_t kCrtEchild = 10;
inline constexpr std::int32_t kCrtEagain = 11;
inline constexpr std::int32_t kCrtEnomem = 12;
inline constexpr std::int32_t kCrtEacces = 13;
inline constexpr std::int32_t kCrtEexist = 17;
inline constexpr std::int32_t kCrtExdev = 18;
inline constexpr std::int32_t kCrtEinval = 22;
inline constexpr std::int32_t kCrtEmfile = 24;
inline constexpr std::int32_t kCrtEnospc = 28;
inline constexpr std::int32_t kCrtEpipe = 32;
inline constexpr std::int32_t kCrtEnotempty = 41;

// CrtErrnoFromWin32()
// The runtime's errno after a system call failed with the Win32 code `error`: its own
// mapping table (a missing file or folder and a bad name are ENOENT, every kind of
// denial or sharing conflict EACCES, a full disk ENOSPC), EINVAL for any code it does not
// list. Example: CrtErrnoFromWin32(3) == 2 (ENOENT), CrtErrnoFromWin32(5) == 13 (EACCES).
std::int32_t CrtErrnoFromWin32(std::uint32_t error);

}  // namespace ordexa
