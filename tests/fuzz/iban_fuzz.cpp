// NormalizeIban and IbanMod97 on any text: a result is a valid compact IBAN, the same IBAN
// written with blanks and small letters gives the same result, and the chunked remainder
// of a plain alphanumeric text is its true remainder on division by 97.
#include <cstddef>
#include <cstdint>
#include <string>

#include "format/iban.h"
#include "fuzz_support.h"
#include "platform/cp1252.h"
#include "platform/crt.h"

namespace {

// The remainder on division by 97 of the rotated text, letters as 10 to 35, digit by digit.
std::int32_t ExactRemainder(std::string_view text) {
  const std::string rotated = std::string(text.substr(4)) + std::string(text.substr(0, 4));
  std::int32_t remainder = 0;
  for (const char c : rotated) {
    if (c >= '0' && c <= '9') {
      remainder = (remainder * 10 + (c - '0')) % 97;
    } else {
      const int number = c - 'A' + 10;
      remainder = (remainder * 100 + number) % 97;
    }
  }
  return remainder;
}

bool IsUpperAlphanumeric(std::string_view text) {
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ordexa;
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const std::int32_t remainder = IbanMod97(text);
  FUZZ_CHECK(remainder > -97 && remainder < 97, text);
  if (text.size() >= 4 && IsUpperAlphanumeric(text)) FUZZ_CHECK(ExactRemainder(text) == remainder, text);

  const std::string iban = NormalizeIban(text);
  if (iban.empty()) return 0;
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
    const char c = iban[i];
    written += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  written += "\t ";
  FUZZ_CHECK(NormalizeIban(written) == iban, written);
  return 0;
}
