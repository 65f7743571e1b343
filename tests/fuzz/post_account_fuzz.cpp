// CheckDigitMod10 and NormalizePostAccount on any text: the check digit is a digit that
// only the digits decide, it closes its own number (the number with it appended checks
// to '0') and it changes with any single digit; a postal account with a dash (before any
// NUL) always becomes nine characters, and a text without one stays as it is.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "format/post_account.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ordexa;
  FuzzedDataProvider provider(data, size);
  const std::size_t changed_position = provider.ConsumeIntegral<std::uint16_t>();
  const char replacement = static_cast<char>('0' + provider.ConsumeIntegralInRange(0, 9));
  const std::string text = provider.ConsumeRemainingBytesAsString();

  const char check = CheckDigitMod10(text);
  FUZZ_CHECK(check >= '0' && check <= '9', text);
  std::string digits;
  for (const char c : text) {
    if (c >= '0' && c <= '9') digits += c;
  }
  FUZZ_CHECK(CheckDigitMod10(digits) == check, text);
  FUZZ_CHECK(CheckDigitMod10(digits + check) == '0', digits);
  if (!digits.empty()) {
    std::string other = digits;
    char& digit = other[changed_position % other.size()];
    if (digit != replacement) {
      digit = replacement;
      FUZZ_CHECK(CheckDigitMod10(other) != check, digits + " / " + other);
    }
  }

  // The account is read as a C string: what follows a NUL takes no part.
  const std::string account = NormalizePostAccount(text);
  if (text.substr(0, text.find('\0')).find('-') == std::string::npos) {
    FUZZ_CHECK(account == text, text);
  } else {
    FUZZ_CHECK(account.size() == 9, text + " -> " + account);
  }
  return 0;
}
