// Amount text: currency values (signed 64-bit ten-thousandths) rendered exactly, without
// floating point, by a small descriptor.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ordexa {

struct AmountFormat {
  char thousands_separator = '\'';  // 0 = none
  char decimal_separator = '.';
  std::int32_t decimals = 2;        // 0 to 4 take effect; more acts as 4
  std::int32_t negative_style = 0;  // 0 "-x", 1 "x-", 2 "(x)", 3 "x H" / "x S", other: magnitude only
};

// The descriptors of the writers: decimal comma (DTA) or point (EZAG, ISO), two decimals,
// leading minus, no thousands separator.
inline constexpr AmountFormat kDtaAmountFormat{0, ',', 2, 0};
inline constexpr AmountFormat kPointAmountFormat{0, '.', 2, 0};

// An amount text held without allocation (the longest text has fewer than 32 characters).
struct AmountText {
  char data[40];
  std::uint8_t size = 0;
  std::string_view view() const { return {data, size}; }
  operator std::string_view() const { return view(); }
};

// FormatAmountText()
// Renders `amount` (ten-thousandths). Rounds half away from zero on the first dropped
// digit alone (0.0049 -> 0.00, 0.005 -> 0.01, carry into the integer part); the most
// negative value keeps its exact magnitude. Never fails.
// Example: FormatAmountText(12345000, kDtaAmountFormat).view() == "1234,50".
AmountText FormatAmountText(std::int64_t amount, const AmountFormat& format);

// FormatAmount()
// FormatAmountText as a new string; without a descriptor the defaults are used
// (apostrophe thousands separator, '.', 2 decimals, leading minus).
// Example: FormatAmount(-12345678910) == "-1'234'567.89".
std::string FormatAmount(std::int64_t amount, const AmountFormat* format = nullptr);

}  // namespace ordexa
