// Tests of the amount text: rounding on the first dropped digit, carries, negative
// styles, separators and the limits of the 64-bit currency value.
#include "format/amount.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace ordexa {
namespace {

constexpr AmountFormat kDefaults{};
constexpr AmountFormat kApostropheTwoDecimals{'\'', '.', 2, 0};
constexpr std::int64_t kMinAmount = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMaxAmount = std::numeric_limits<std::int64_t>::max();

struct AmountCase {
  const char* expected;
  std::int64_t amount;  // ten-thousandths
  AmountFormat format;
};

TEST(FormatAmountText, RendersEveryCaseExactly) {
  const AmountCase cases[] = {
      {"0,00", 0, kDtaAmountFormat},
      {"0,01", 50, kDtaAmountFormat},
      {"0.01", 50, kPointAmountFormat},
      {"0.00", 49, kPointAmountFormat},
      {"1234,50", 12345000, kDtaAmountFormat},
      // Carry from the rounding digit up into the integer part.
      {"1.00", 9950, kPointAmountFormat},
      {"1000.00", 9999950, kPointAmountFormat},
      {"1'000.00", 9999950, kApostropheTwoDecimals},
      // Only the first dropped digit rounds: 0.0149 stays 0.01, 0.0150 becomes 0.02.
      {"0.01", 149, kPointAmountFormat},
      {"0.02", 150, kPointAmountFormat},
      // A negative amount rounded to nothing keeps its sign.
      {"-0.00", -49, kPointAmountFormat},
      // Negative styles.
      {"12.30-", -123000, {0, '.', 2, 1}},
      {"(12.30)", -123000, {0, '.', 2, 2}},
      {"12.30 H", -123000, {0, '.', 2, 3}},
      {"12.30 S", 123000, {0, '.', 2, 3}},
      {"0.00 S", 0, {0, '.', 2, 3}},
      {"12.30", 123000, {0, '.', 2, 1}},
      {"12.30", -123000, {0, '.', 2, 4}},
      // Decimals 0: no separator, rounding on the tenths digit.
      {"3", 25000, {'\'', '.', 0, 0}},
      {"2", 24900, {'\'', '.', 0, 0}},
      {"-3", -25000, {'\'', '.', 0, 0}},
      {"3", 25000, {'\'', '.', -5, 0}},
      // Decimals 1, 3, 4 and beyond 4 (acts as 4: nothing is rounded).
      {"1.3", 12500, {0, '.', 1, 0}},
      {"1.235", 12345, {0, '.', 3, 0}},
      {"1.2345", 12345, {0, '.', 4, 0}},
      {"1.2345", 12345, {0, '.', 7, 0}},
      // Thousands separator only between groups, never in front.
      {"100'000.00", 1000000000, kDefaults},
      // The most negative value keeps its magnitude; its first dropped digit is 0.
      {"-922'337'203'685'477.58", kMinAmount, kDefaults},
      // The longest text there is.
      {"(922'337'203'685'477.5808)", kMinAmount, {'\'', '.', 4, 2}},
      {"922'337'203'685'477.58", kMaxAmount, kDefaults},
      {"922337203685478", kMaxAmount, {0, '.', 0, 0}},
  };
  for (const AmountCase& c : cases) {
    EXPECT_EQ(c.expected, FormatAmountText(c.amount, c.format).view()) << "amount " << c.amount;
  }
}

TEST(FormatAmount, UsesApostropheAndPointWithoutDescriptor) {
  EXPECT_EQ("-1'234'567.89", FormatAmount(-12345678910));
  EXPECT_EQ("0.00", FormatAmount(0, nullptr));
  EXPECT_EQ("1234,50", FormatAmount(12345000, &kDtaAmountFormat));
}

}  // namespace
}  // namespace ordexa
