// Swiss postal account numbers in their nine-character record form, and the modulo 10
// recursive check digit of postal and reference numbers.
#include "format/post_account.h"

#include <array>

#include "format/record_output.h"

namespace ordexa {

namespace {

constexpr std::array<int, 10> kMod10Carry{0, 9, 4, 6, 8, 2, 7, 1, 3, 5};

// The next carry for every carry and digit, so that a digit costs one look-up and no division.
constexpr std::array<std::array<unsigned char, 10>, 10> MakeNextCarry() {
  std::array<std::array<unsigned char, 10>, 10> next{};
  for (int carry = 0; carry < 10; ++carry) {
    for (int digit = 0; digit < 10; ++digit) {
      next[static_cast<std::size_t>(carry)][static_cast<std::size_t>(digit)] =
          static_cast<unsigned char>(kMod10Carry[static_cast<std::size_t>((carry + digit) % 10)]);
    }
  }
  return next;
}
constexpr std::array<std::array<unsigned char, 10>, 10> kNextCarry = MakeNextCarry();

}  // namespace

char CheckDigitMod10(std::string_view digits) {
  unsigned carry = 0;
  for (const char c : digits) {
    const auto digit = static_cast<unsigned>(static_cast<unsigned char>(c) - '0');
    if (digit > 9) continue;
    carry = kNextCarry[carry][digit];
  }
  return static_cast<char>('0' + (10 - carry) % 10);
}

PostAccountText NormalizePostAccountText(std::string_view account) {
  // The account is a C string for its parts: nothing after a NUL takes part.
  const std::string_view text = account.substr(0, account.find('\0'));
  const std::size_t first_dash = text.find('-');
  if (first_dash == std::string_view::npos) return PostAccountText(account);

  const std::string_view prefix = text.substr(0, first_dash);
  const std::string_view after_first = text.substr(first_dash + 1);
  const std::size_t second_dash = after_first.find('-');

  // The parts are zero-filled on the left or cut, as the record formats do with a text.
  ShortRecordText normalized;
  std::string_view check_text;  // what stands behind the dash that ends the body
  if (second_dash != std::string_view::npos) {
    normalized = FormatShortRecordText("%02.2s%06.6s", prefix, after_first.substr(0, second_dash));
    check_text = after_first.substr(second_dash + 1);
  } else if (prefix.size() <= 2) {
    // Prefix and number only: the check digit is always computed.
    normalized = FormatShortRecordText("%02.2s%06.6s", prefix, after_first);
  } else {
    // A long number before the only dash: the dash separates the check digit.
    normalized = FormatShortRecordText("%08.8s", prefix);
    check_text = after_first;
  }

  if (!check_text.empty()) {
    // A given check digit is taken as it is; anything behind it is ignored.
    normalized.data[normalized.size++] = check_text.front();
  } else {
    // A missing check digit is computed over the body with a "0" appended.
    normalized.data[normalized.size] = '0';
    const char check = CheckDigitMod10(std::string_view(normalized.data, normalized.size + 1u));
    normalized.data[normalized.size++] = check;
  }
  return PostAccountText(normalized);
}

std::string NormalizePostAccount(std::string_view account) { return std::string(NormalizePostAccountText(account).view()); }

}  // namespace ordexa
