// IBAN check (remainder 1 on division by 97, computed in nine-character chunks as the
// bank files expect it) and the compact electronic form of an IBAN.
#include "format/iban.h"

#include <algorithm>

#include "platform/cp1252.h"
#include "platform/crt.h"

namespace ordexa {

namespace {

constexpr std::size_t kChunkSize = 9;
constexpr std::size_t kSwissIbanLength = 21;

// The rotated text with every capital letter A-Z replaced by its number 10-35.
std::string RotatedCheckDigits(std::string_view text) {
  std::string digits;
  digits.reserve(text.size() * 2);
  auto append = [&digits](std::string_view part) {
    for (const char c : part) {
      if (c >= 'A' && c <= 'Z') {
        const int number = c - 'A' + 10;
        digits.push_back(static_cast<char>('0' + number / 10));
        digits.push_back(static_cast<char>('0' + number % 10));
      } else {
        digits.push_back(c);
      }
    }
  };
  append(text.substr(4));
  append(text.substr(0, 4));
  return digits;
}

}  // namespace

std::int32_t IbanMod97(std::string_view text) {
  if (text.size() < 4) return 0;
  const std::string digits = RotatedCheckDigits(text);

  // Each chunk starts with the previous remainder, when there is one to carry: a chunk
  // that reads as a negative number (a "-" in the text) leaves nothing in front of the next.
  std::int32_t remainder = -1;
  std::size_t position = 0;
  while (true) {
    std::string chunk;
    if (remainder >= 0) chunk = std::to_string(remainder);
    const std::size_t taken = std::min(kChunkSize - chunk.size(), digits.size() - position);
    chunk.append(digits, position, taken);
    position += taken;
    remainder = Atol32(chunk) % 97;  // truncating: a negative number leaves a negative remainder
    if (position == digits.size()) return remainder;
  }
}

std::string NormalizeIban(std::string_view text) {
  const auto first = std::find_if_not(text.begin(), text.end(), IsCrtSpace);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), IsCrtSpace).base();
  std::string iban(first, first < last ? last : first);
  Cp1252ToUpperInPlace(iban);
  // Only blanks between the groups go; a tab or line break inside stays and fails the check.
  std::erase(iban, ' ');

  if (IbanMod97(iban) != 1) return {};
  if (iban.starts_with("CH") && iban.size() != kSwissIbanLength) return {};
  return iban;
}

}  // namespace ordexa
