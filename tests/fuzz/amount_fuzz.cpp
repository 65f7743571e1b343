// FormatAmount with any amount and any descriptor (every separator, decimals and negative
// style, the writers' own descriptors among them), against the same text built with
// 128-bit arithmetic: rounding on the first dropped digit alone, grouping, sign marks.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "format/amount.h"
#include "fuzz_support.h"

namespace {

using ordexa::AmountFormat;

std::string ExpectedAmountText(std::int64_t amount, const AmountFormat& format) {
  const bool negative = amount < 0;
  __int128 magnitude = amount;
  if (negative) magnitude = -magnitude;
  const int decimals = std::clamp(format.decimals, 0, 4);
  __int128 scale = 1;
  for (int i = decimals; i < 4; ++i) scale *= 10;
  __int128 kept = magnitude / scale;
  if (decimals < 4 && (magnitude / (scale / 10)) % 10 >= 5) ++kept;

  __int128 unit = 1;
  for (int i = 0; i < decimals; ++i) unit *= 10;
  std::string integer_digits = std::to_string(static_cast<long long>(kept / unit));
  std::string integer_part;
  for (std::size_t i = 0; i < integer_digits.size(); ++i) {
    if (i != 0 && (integer_digits.size() - i) % 3 == 0 && format.thousands_separator != 0) {
      integer_part += format.thousands_separator;
    }
    integer_part += integer_digits[i];
  }
  std::string text = integer_part;
  if (decimals != 0) {
    std::string fraction = std::to_string(static_cast<long long>(kept % unit));
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    if (format.decimal_separator != 0) text += format.decimal_separator;
    text += fraction;
  }
  switch (format.negative_style) {
    case 0: return negative ? "-" + text : text;
    case 1: return negative ? text + "-" : text;
    case 2: return negative ? "(" + text + ")" : text;
    case 3: return text + (negative ? " H" : " S");
    default: return text;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ordexa;
  FuzzedDataProvider provider(data, size);
  const std::int64_t amount = provider.ConsumeIntegral<std::int64_t>();
  AmountFormat format;
  switch (provider.ConsumeIntegralInRange(0, 3)) {
    case 0: format = kDtaAmountFormat; break;
    case 1: format = kPointAmountFormat; break;
    case 2: break;  // the defaults
    default:
      format.thousands_separator = provider.ConsumeIntegral<char>();
      format.decimal_separator = provider.ConsumeIntegral<char>();
      format.decimals = provider.ConsumeIntegral<std::int32_t>();
      format.negative_style = provider.ConsumeIntegral<std::int32_t>();
  }
  const std::string expected = ExpectedAmountText(amount, format);
  const std::string text = FormatAmount(amount, &format);
  FUZZ_CHECK(text == expected, text + " expected " + expected);
  FUZZ_CHECK(text.size() < 32, text);
  FUZZ_CHECK(FormatAmountText(amount, format).view() == text, text);
  if (format.thousands_separator == '\'' && format.decimal_separator == '.' && format.decimals == 2 &&
      format.negative_style == 0) {
    FUZZ_CHECK(FormatAmount(amount) == text, text);
  }
  return 0;
}
