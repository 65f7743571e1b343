// IBAN check (remainder 1 on division by 97, computed in nine-character chunks as the
// bank files expect it) and the compact electronic form of an IBAN.
#include "format/iban.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

#include "format/digits.h"
#include "platform/cp1252.h"
#include "platform/crt.h"

namespace ordexa {

namespace {

constexpr std::size_t kChunkSize = 9;

// Cp1252ToUpper of every byte, looked up instead of called for each character.
const std::array<char, 256> kUpperCase = [] {
  std::array<char, 256> table{};
  for (std::size_t code = 0; code < table.size(); ++code) table[code] = Cp1252ToUpper(static_cast<char>(code));
  return table;
}();
constexpr std::size_t kSwissIbanLength = 21;

// The digits of the check, one at a time: the text rotated by four characters, every
// capital letter A-Z as its number 10-35, every other character as it is.
class RotatedDigits {
 public:
  explicit RotatedDigits(std::string_view text) : text_(text) {}

  bool done() const { return !has_second_digit_ && read_ == text_.size(); }

  char Next() {
    if (has_second_digit_) {
      has_second_digit_ = false;
      return second_digit_;
    }
    const char c = text_[(read_++ + 4) % text_.size()];
    if (c < 'A' || c > 'Z') return c;
    const int number = c - 'A' + 10;
    second_digit_ = static_cast<char>('0' + number % 10);
    has_second_digit_ = true;
    return static_cast<char>('0' + number / 10);
  }

 private:
  std::string_view text_;
  std::size_t read_ = 0;
  char second_digit_ = 0;
  bool has_second_digit_ = false;
};

// How a byte of an IBAN enters its number: a digit as one decimal place, a capital letter
// A-Z as two (10-35); a factor of 0 marks every other byte.
struct IbanDigit {
  std::uint8_t factor = 0;
  std::uint8_t value = 0;
};
constexpr std::array<IbanDigit, 256> kIbanDigits = [] {
  std::array<IbanDigit, 256> table{};
  for (char c = '0'; c <= '9'; ++c) table[static_cast<unsigned char>(c)] = {10, static_cast<std::uint8_t>(c - '0')};
  for (char c = 'A'; c <= 'Z'; ++c) table[static_cast<unsigned char>(c)] = {100, static_cast<std::uint8_t>(c - 'A' + 10)};
  return table;
}();

// The remainder of a text of digits and capital letters only: carrying the remainder of
// one chunk into the next is the same as reading the whole number, so the digits are
// gathered into one word and reduced whenever the next byte could overflow it. Nullopt
// when the text holds any other character.
std::optional<std::int32_t> AlphanumericMod97(std::string_view text) {
  // Below 2^57 a word takes two more decimal places without overflowing.
  constexpr std::uint64_t kReduceFrom = std::uint64_t{1} << 57;
  std::uint64_t value = 0;
  const auto add = [&value](char c) {
    const IbanDigit digit = kIbanDigits[static_cast<unsigned char>(c)];
    if (digit.factor == 0) return false;
    value = value * digit.factor + digit.value;
    if (value >= kReduceFrom) value %= 97;
    return true;
  };
  for (const char c : text.substr(4)) {
    if (!add(c)) return std::nullopt;
  }
  for (const char c : text.substr(0, 4)) {
    if (!add(c)) return std::nullopt;
  }
  return static_cast<std::int32_t>(value % 97);
}

}  // namespace

std::int32_t IbanMod97(std::string_view text) {
  if (text.size() < 4) return 0;
  if (const std::optional<std::int32_t> remainder = AlphanumericMod97(text)) return *remainder;
  RotatedDigits digits(text);

  // Each chunk starts with the previous remainder, when there is one to carry: a chunk
  // that reads as a negative number (a "-" in the text) leaves nothing in front of the next.
  std::int32_t remainder = -1;
  while (true) {
    char chunk[kChunkSize];
    std::size_t length = 0;
    if (remainder >= 10) chunk[length++] = static_cast<char>('0' + remainder / 10);
    if (remainder >= 0) chunk[length++] = static_cast<char>('0' + remainder % 10);
    while (length < kChunkSize && !digits.done()) chunk[length++] = digits.Next();
    remainder = Atol32(std::string_view(chunk, length)) % 97;  // truncating: a negative number leaves a negative remainder
    if (digits.done()) return remainder;
  }
}

void NormalizeIbanInto(std::string_view text, std::string& iban) {
  const auto first = std::find_if_not(text.begin(), text.end(), IsCrtSpace);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), IsCrtSpace).base();
  iban.resize(first < last ? static_cast<std::size_t>(last - first) : 0);
  // Only blanks between the groups go; a tab or line break inside stays and fails the check.
  char* out = iban.data();
  for (auto c = first; c < last; ++c) {
    *out = kUpperCase[static_cast<unsigned char>(*c)];
    out += *c != ' ';
  }
  iban.resize(static_cast<std::size_t>(out - iban.data()));

  if (IbanMod97(iban) != 1 || (iban.starts_with("CH") && iban.size() != kSwissIbanLength)) iban.clear();
}

std::string NormalizeIban(std::string_view text) {
  std::string iban;
  NormalizeIbanInto(text, iban);
  return iban;
}

namespace {

// Eight ASCII digits (the first the most significant) as their number; false when any
// of the eight bytes is not a digit.
bool ReadEightDigits(const char* bytes, std::uint64_t& value) {
  if (!AreEightDigits(bytes)) return false;
  constexpr std::uint64_t kThrees = 0x3030303030303030ull;
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  // Neighbouring digits joined into pairs, pairs into fours, fours into the eight, in
  // place; the first byte in memory is the low one.
  std::uint64_t digits = word - kThrees;
  digits = ((digits * (10 * 256 + 1)) >> 8) & 0x00FF00FF00FF00FFull;
  digits = ((digits * (100 * 65536 + 1)) >> 16) & 0x0000FFFF0000FFFFull;
  value = (digits * (10000ull * 4294967296ull + 1)) >> 32;
  return true;
}

}  // namespace

int Mod97OfRotated(std::string_view text) {
  if (text.size() < 5) return -1;
  // Digits gather in 64 bits and are reduced only before they could overflow: a few
  // divisions per IBAN instead of one per character. Eight digits in a row are read at once.
  std::uint64_t remainder = 0;
  const auto add_eight = [&remainder](const char* bytes) {
    std::uint64_t value;
    if (!ReadEightDigits(bytes, value)) return false;
    remainder = remainder % 97 * 100'000'000 + value;
    return true;
  };
  const auto add = [&remainder](char c) {
    if (c >= '0' && c <= '9') {
      remainder = remainder * 10 + static_cast<std::uint64_t>(c - '0');
    } else if (c >= 'A' && c <= 'Z') {
      remainder = remainder * 100 + static_cast<std::uint64_t>(c - 'A' + 10);
    } else {
      return false;
    }
    if (remainder >= 100'000'000'000'000ull) remainder %= 97;
    return true;
  };
  for (std::size_t i = 4; i < text.size();) {
    if (text.size() - i >= 8 && add_eight(text.data() + i)) {
      i += 8;
      continue;
    }
    if (!add(text[i++])) return -1;
  }
  for (std::size_t i = 0; i < 4; ++i) {
    if (!add(text[i])) return -1;
  }
  return static_cast<int>(remainder % 97);
}

bool IsValidIban(std::string_view iban) {
  if (iban.size() < 5 || iban.size() > 34) return false;
  const auto letter = [](char c) { return c >= 'A' && c <= 'Z'; };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (!letter(iban[0]) || !letter(iban[1]) || !digit(iban[2]) || !digit(iban[3])) return false;
  if (IsDomesticIbanCountry(iban) && iban.size() != 21) return false;
  return Mod97OfRotated(iban) == 1;
}

}  // namespace ordexa
