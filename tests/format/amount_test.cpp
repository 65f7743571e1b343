// Tests of the amount text: rounding, carries, negative styles, separators, limits.
#include "format/amount.h"

#include <cstdint>
#include <limits>

#include <gtest/gtest.h>

namespace ordexa {
namespace {

TEST(FormatAmount, RoundsOnFirstDroppedDigitAndRendersEachStyle) {
  constexpr AmountFormat kApostrophe{'\'', '.', 2, 0};
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  const struct {
    const char* expected;
    std::int64_t amount;  // ten-thousandths
    AmountFormat format;
  } cases[] = {
      {"0,00", 0, kDtaAmountFormat},
      {"0,01", 50, kDtaAmountFormat},
      {"0.00", 49, kPointAmountFormat},  // no double rounding through 0.005
      {"-0.00", -49, kPointAmountFormat},
      {"1.00", 9950, kPointAmountFormat},
      {"1000.00", 9999950, kPointAmountFormat},
      {"1'000.00", 9999950, kApostrophe},
      {"12.30-", -123000, {0, '.', 2, 1}},
      {"(12.30)", -123000, {0, '.', 2, 2}},
      {"12.30", 123000, {0, '.', 2, 2}},
      {"12.30 H", -123000, {0, '.', 2, 3}},
      {"12.30 S", 123000, {0, '.', 2, 3}},
      {"12.30", -123000, {0, '.', 2, 4}},
      {"3", 25000, {'\'', '.', 0, 0}},
      {"2", 24900, {'\'', '.', -5, 0}},
      {"1.235", 12345, {0, '.', 3, 0}},
      {"1.2345", 12345, {0, '.', 7, 0}},
      {"-922'337'203'685'477.58", kMin, kApostrophe},
      {"(922'337'203'685'477.5808)", kMin, {'\'', '.', 4, 2}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, FormatAmountText(c.amount, c.format).view()) << "amount " << c.amount;
  }
  EXPECT_EQ("-1'234'567.89", FormatAmount(-12345678910));
}

}  // namespace
}  // namespace ordexa
