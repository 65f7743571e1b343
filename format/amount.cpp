// Amount text: the currency value rendered digit by digit from its integral
// ten-thousandths, so no amount is ever touched by floating point or the locale.
#include "format/amount.h"

#include <algorithm>

namespace ordexa {

namespace {

constexpr std::int32_t kMaxDecimals = 4;

// Builds the text back to front into a fixed buffer, then turns it around.
class ReversedText {
 public:
  void Put(char c) { text_.data[text_.size++] = c; }
  void PutDigit(std::uint64_t digit) { Put(static_cast<char>('0' + digit)); }
  AmountText Finish() {
    std::reverse(text_.data, text_.data + text_.size);
    return text_;
  }

 private:
  AmountText text_;
};

}  // namespace

AmountText FormatAmountText(std::int64_t amount, const AmountFormat& format) {
  const bool negative = amount < 0;
  // Unsigned negation keeps the exact magnitude of the most negative value.
  std::uint64_t magnitude = static_cast<std::uint64_t>(amount);
  if (negative) magnitude = 0 - magnitude;
  const std::int32_t decimals = std::clamp(format.decimals, std::int32_t{0}, kMaxDecimals);

  ReversedText text;
  if (format.negative_style == 3) {
    text.Put(negative ? 'H' : 'S');
    text.Put(' ');
  } else if (negative && format.negative_style == 1) {
    text.Put('-');
  } else if (negative && format.negative_style == 2) {
    text.Put(')');
  }

  for (std::int32_t position = kMaxDecimals; position >= 1; --position) {
    const std::uint64_t digit = magnitude % 10;
    magnitude /= 10;
    if (position <= decimals) text.PutDigit(digit);
    // Only the first dropped digit decides; the increase may carry into the integer part.
    if (position == decimals + 1 && digit >= 5) ++magnitude;
  }
  if (decimals != 0 && format.decimal_separator != 0) text.Put(format.decimal_separator);

  int digits_in_group = 0;
  do {
    if (digits_in_group == 3) {
      if (format.thousands_separator != 0) text.Put(format.thousands_separator);
      digits_in_group = 0;
    }
    text.PutDigit(magnitude % 10);
    magnitude /= 10;
    ++digits_in_group;
  } while (magnitude != 0);

  if (negative && format.negative_style == 0) {
    text.Put('-');
  } else if (negative && format.negative_style == 2) {
    text.Put('(');
  }
  return text.Finish();
}

std::string FormatAmount(std::int64_t amount, const AmountFormat* format) {
  static constexpr AmountFormat kDefaultFormat{};
  return std::string(FormatAmountText(amount, format != nullptr ? *format : kDefaultFormat).view());
}

}  // namespace ordexa
