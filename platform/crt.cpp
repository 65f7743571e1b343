// atol() as the original platform's runtime has it (a 32-bit long that saturates) and its
// mapping of system error codes to error numbers.
#include "platform/crt.h"

#include <limits>

namespace ordexa {

std::int32_t Atol32(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsCrtSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // The magnitude is gathered in 64 bits and stops growing once it passes the 32-bit range,
  // so arbitrarily long digit runs cannot overflow.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (text[i] - '0');
  }
  if (negative) {
    return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::min()
                               : static_cast<std::int32_t>(-magnitude);
  }
  return magnitude >= kLimit ? std::numeric_limits<std::int32_t>::max()
                             : static_cast<std::int32_t>(magnitude);
}

std::int32_t CrtErrnoFromWin32(std::uint32_t error) {
  switch (error) {
    case 2:    // ERROR_FILE_NOT_FOUND
    case 3:    // ERROR_PATH_NOT_FOUND
    case 15:   // ERROR_INVALID_DRIVE
    case 18:   // ERROR_NO_MORE_FILES
    case 53:   // ERROR_BAD_NETPATH
    case 67:   // ERROR_BAD_NET_NAME
    case 161:  // ERROR_BAD_PATHNAME
    case 206:  // ERROR_FILENAME_EXCED_RANGE
      return kCrtEnoent;
    case 4: return kCrtEmfile;  // ERROR_TOO_MANY_OPEN_FILES
    case 5:    // ERROR_ACCESS_DENIED
    case 16:   // ERROR_CURRENT_DIRECTORY
    case 33:   // ERROR_LOCK_VIOLATION
    case 65:   // ERROR_NETWORK_ACCESS_DENIED
    case 82:   // ERROR_CANNOT_MAKE
    case 83:   // ERROR_FAIL_I24
    case 108:  // ERROR_DRIVE_LOCKED
    case 132:  // ERROR_SEEK_ON_DEVICE
    case 158:  // ERROR_NOT_LOCKED
    case 167:  // ERROR_LOCK_FAILED
      return kCrtEacces;
    case 6:    // ERROR_INVALID_HANDLE
    case 114:  // ERROR_INVALID_TARGET_HANDLE
    case 130:  // ERROR_DIRECT_ACCESS_HANDLE
      return kCrtEbadf;
    case 7:    // ERROR_ARENA_TRASHED
    case 8:    // ERROR_NOT_ENOUGH_MEMORY
    case 9:    // ERROR_INVALID_BLOCK
    case 1816: // ERROR_NOT_ENOUGH_QUOTA
      return kCrtEnomem;
    case 10: return kCrtE2big;    // ERROR_BAD_ENVIRONMENT
    case 11: return kCrtEnoexec;  // ERROR_BAD_FORMAT
    case 128:  // ERROR_WAIT_NO_CHILDREN
    case 129:  // ERROR_CHILD_NOT_COMPLETE
      return kCrtEchild;
    case 17: return kCrtExdev;  // ERROR_NOT_SAME_DEVICE
    case 80:   // ERROR_FILE_EXISTS
    case 183:  // ERROR_ALREADY_EXISTS
      return kCrtEexist;
    case 89:   // ERROR_NO_PROC_SLOTS
    case 164:  // ERROR_MAX_THRDS_REACHED
    case 215:  // ERROR_NESTING_NOT_ALLOWED
      return kCrtEagain;
    case 109: return kCrtEpipe;      // ERROR_BROKEN_PIPE
    case 112: return kCrtEnospc;     // ERROR_DISK_FULL
    case 145: return kCrtEnotempty;  // ERROR_DIR_NOT_EMPTY
    default:
      // Write protection up to the sharing-buffer overflow (19 to 36) are all refusals.
      if (error >= 19 && error <= 36) return kCrtEacces;
      // Bad executable images (188 to 202).
      if (error >= 188 && error <= 202) return kCrtEnoexec;
      return kCrtEinval;
  }
}

}  // namespace ordexa
