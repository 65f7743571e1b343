// Exact decimal amounts: digits times a power of ten, rounded on the first dropped digit.
#include "tools/payfile/amount_text.h"

#include <cstddef>
#include <string>

namespace ordexa::payfile {
namespace {

constexpr int kCurrencyDecimals = 4;
// The largest magnitude of a signed 64-bit value; only a negative amount may reach it.
constexpr std::uint64_t kNegativeLimit = std::uint64_t{1} << 63;
constexpr std::uint64_t kPositiveLimit = kNegativeLimit - 1;
// Exponents beyond this only ever give 0 or an overflow; clamping keeps the arithmetic small.
constexpr std::int64_t kExponentClamp = 100000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t CountDigits(std::string_view text, std::size_t from) {
  std::size_t end = from;
  while (end < text.size() && IsDigit(text[end])) ++end;
  return end - from;
}

// A decimal number as digits and a power of ten: value = digits * 10^exponent.
struct DecimalNumber {
  bool negative = false;
  std::string digits;
  std::int64_t exponent = 0;
};

// The number scaled to ten-thousandths, rounded half away from zero on the first dropped digit.
AmountParse ToCurrency(const DecimalNumber& number) {
  std::string_view digits = number.digits;
  std::int64_t shift = number.exponent + kCurrencyDecimals;
  std::size_t kept = digits.size();
  bool round_up = false;
  if (shift < 0) {
    const std::size_t dropped = static_cast<std::size_t>(-shift);
    if (dropped > digits.size()) {
      kept = 0;
    } else {
      kept = digits.size() - dropped;
      round_up = digits[kept] >= '5';
    }
    shift = 0;
  }
  const std::uint64_t limit = number.negative ? kNegativeLimit : kPositiveLimit;
  std::uint64_t magnitude = 0;
  for (std::size_t i = 0; i < kept; ++i) {
    const std::uint64_t digit = static_cast<std::uint64_t>(digits[i] - '0');
    if (magnitude > (limit - digit) / 10) return {AmountStatus::kOutOfRange, 0};
    magnitude = magnitude * 10 + digit;
  }
  if (round_up) {
    if (magnitude == limit) return {AmountStatus::kOutOfRange, 0};
    ++magnitude;
  }
  for (std::int64_t i = 0; i < shift && magnitude != 0; ++i) {
    if (magnitude > limit / 10) return {AmountStatus::kOutOfRange, 0};
    magnitude *= 10;
  }
  std::int64_t amount = 0;
  if (number.negative) {
    // Negating in unsigned arithmetic reaches the most negative value without overflow.
    amount = static_cast<std::int64_t>(~magnitude + 1);
  } else {
    amount = static_cast<std::int64_t>(magnitude);
  }
  return {AmountStatus::kOk, amount};
}

}  // namespace

AmountParse ParseDecimalAmount(std::string_view text) {
  DecimalNumber number;
  std::size_t pos = 0;
  if (pos < text.size() && text[pos] == '-') {
    number.negative = true;
    ++pos;
  }
  const std::size_t integer_digits = CountDigits(text, pos);
  if (integer_digits == 0) return {};
  number.digits.assign(text.substr(pos, integer_digits));
  pos += integer_digits;
  std::size_t fraction_digits = 0;
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    fraction_digits = CountDigits(text, pos);
    if (fraction_digits == 0) return {};
    number.digits.append(text.substr(pos, fraction_digits));
    pos += fraction_digits;
  }
  if (pos != text.size()) return {};
  if (fraction_digits > kCurrencyDecimals) return {AmountStatus::kTooManyDecimals, 0};
  number.exponent = -static_cast<std::int64_t>(fraction_digits);
  return ToCurrency(number);
}

AmountParse ParseJsonNumberAmount(std::string_view token) {
  DecimalNumber number;
  std::size_t pos = 0;
  if (pos < token.size() && token[pos] == '-') {
    number.negative = true;
    ++pos;
  }
  const std::size_t integer_digits = CountDigits(token, pos);
  // JSON allows no leading zeros: "0" alone, or a digit 1-9 first.
  if (integer_digits == 0 || (integer_digits > 1 && token[pos] == '0')) return {};
  number.digits.assign(token.substr(pos, integer_digits));
  pos += integer_digits;
  std::int64_t fraction_digits = 0;
  if (pos < token.size() && token[pos] == '.') {
    ++pos;
    const std::size_t count = CountDigits(token, pos);
    if (count == 0) return {};
    number.digits.append(token.substr(pos, count));
    pos += count;
    fraction_digits = static_cast<std::int64_t>(count);
  }
  std::int64_t exponent = 0;
  if (pos < token.size() && (token[pos] == 'e' || token[pos] == 'E')) {
    ++pos;
    bool negative_exponent = false;
    if (pos < token.size() && (token[pos] == '+' || token[pos] == '-')) {
      negative_exponent = token[pos] == '-';
      ++pos;
    }
    const std::size_t count = CountDigits(token, pos);
    if (count == 0) return {};
    for (std::size_t i = 0; i < count; ++i) {
      exponent = exponent * 10 + (token[pos + i] - '0');
      if (exponent > kExponentClamp) exponent = kExponentClamp;
    }
    if (negative_exponent) exponent = -exponent;
    pos += count;
  }
  if (pos != token.size()) return {};
  number.exponent = exponent - fraction_digits;
  // Leading zeros carry no value; without them the digit count tells the magnitude.
  const std::size_t first_significant = number.digits.find_first_not_of('0');
  if (first_significant == std::string::npos) return {AmountStatus::kOk, 0};
  number.digits.erase(0, first_significant);
  return ToCurrency(number);
}

}  // namespace ordexa::payfile
