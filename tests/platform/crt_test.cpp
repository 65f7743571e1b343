// Tests of the 32-bit atol of the original platform's runtime.
#include "platform/crt.h"

#include <gtest/gtest.h>

#include <string>

namespace ordexa {
namespace {

TEST(Atol32, ReadsLikeAtolWithA32BitLong) {
  struct Case {
    std::string_view text;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"", 0},
      {"abc", 0},
      {"-", 0},
      {"+", 0},
      {"+-5", 0},
      {"- 5", 0},
      {"0", 0},
      {"42", 42},
      {"  -70x", -70},
      {"\t\n\v\f\r 12", 12},
      {"+0012 34", 12},
      {"007", 7},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"-2147483647", -2147483647},
      {"-2147483649", -2147483647 - 1},
      {"99999999999", 2147483647},
      {"-99999999999", -2147483647 - 1},
      {"000000000000000000000000000000123", 123},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, Atol32(c.text)) << '"' << c.text << '"';
  }
}

TEST(Atol32, SaturatesOnDigitRunsLongerThanAnyInteger) {
  const std::string digits(5000, '9');
  EXPECT_EQ(2147483647, Atol32(digits));
  EXPECT_EQ(-2147483647 - 1, Atol32("-" + digits));
}

TEST(Atol32, StopsAtTheEndOfTheViewNotAtANul) {
  // The view may be cut out of a longer text; digits beyond it must not be read.
  const std::string_view text("12345", 3);
  EXPECT_EQ(123, Atol32(text));
  EXPECT_EQ(12, Atol32(std::string_view("12\0" "34", 5)));
}

}  // namespace
}  // namespace ordexa
