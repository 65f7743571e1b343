// The check digits on any bytes. As a whole text: NormalizeIban and IbanMod97 give a valid
// compact IBAN or nothing, the same IBAN written with blanks and small letters gives the
// same result, and the chunked remainder of a plain alphanumeric text is its true remainder
// on division by 97. Split into a position, a digit and a text: CheckDigitMod10 gives a
// digit that only the digits decide, that closes its own number (the number with it
// appended checks to '0') and that changes with any single digit; NormalizePostAccount
// makes nine characters of an account with a dash (before any NUL) and leaves a text
// without one as it is.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "format/iban.h"
#include "format/post_account.h"
#include "fuzz_support.h"
#include "platform/cp1252.h"
#include "platform/crt.h"

namespace {

using namespace ordexa;

// The remainder on division by 97 of the rotated text, letters as 10 to 35, digit by digit.
std::int32_t ExactRemainder(std::string_view text) {
  std::int32_t remainder = 0;
  for (const char c : std::string(text.substr(4)) + std::string(text.substr(0, 4))) {
    remainder = c <= '9' ? (remainder * 10 + (c - '0')) % 97 : (remainder * 100 + (c - 'A' + 10)) % 97;
  }
  return remainder;
}

void CheckIban(std::string_view text) {
  const std::int32_t remainder = IbanMod97(text);
  FUZZ_CHECK(remainder > -97 && remainder < 97, text);
  if (text.size() >= 4 && text.find_first_not_of("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string_view::npos) {
    FUZZ_CHECK(ExactRemainder(text) == remainder, text);
  }
  const std::string iban = NormalizeIban(text);
  if (iban.empty()) return;
  FUZZ_CHECK(IbanMod97(iban) == 1, iban);
  FUZZ_CHECK(iban.find(' ') == std::string::npos, iban);
  FUZZ_CHECK(!IsCrtSpace(iban.front()) && !IsCrtSpace(iban.back()), iban);
  for (const char c : iban) FUZZ_CHECK(Cp1252ToUpper(c) == c, iban);
  if (iban.starts_with("CH")) FUZZ_CHECK(iban.size() == 21, iban);
  FUZZ_CHECK(NormalizeIban(iban) == iban, iban);
  // Grouped in fours with blanks, small letters, blanks around: the same IBAN.
  std::string written = "  ";
  for (std::size_t i = 0; i < iban.size(); ++i) {
    if (i != 0 && i % 4 == 0) written += ' ';
    written += (iban[i] >= 'A' && iban[i] <= 'Z') ? static_cast<char>(iban[i] - 'A' + 'a') : iban[i];
  }
  FUZZ_CHECK(NormalizeIban(written + "\t ") == iban, written);
}

void CheckPostAccount(FuzzedDataProvider& provider) {
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
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckIban(std::string_view(reinterpret_cast<const char*>(data), size));
  FuzzedDataProvider provider(data, size);
  CheckPostAccount(provider);
  return 0;
}
