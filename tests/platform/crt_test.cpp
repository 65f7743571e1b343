// Tests of the 32-bit atol of the original platform's runtime.
#include "platform/crt.h"

#include <gtest/gtest.h>

#include <string>

namespace ordexa {
namespace {

TEST(Atol32, ReadsLikeAtolWithA32BitLong) {
  const std::string many_nines(5000, '9');
  const std::pair<std::string, std::int32_t> cases[] = {
      {"", 0}, {"abc", 0}, {"+-5", 0}, {"- 5", 0},
      {"  -70x", -70}, {"\t\n\v\f\r 12", 12}, {"+0012 34", 12}, {std::string("12\0" "34", 5), 12},
      {std::string(40, '0') + "123", 123},
      {"2147483647", 2147483647}, {"2147483648", 2147483647}, {many_nines, 2147483647},
      {"-2147483648", -2147483647 - 1}, {"-2147483649", -2147483647 - 1}, {"-" + many_nines, -2147483647 - 1},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(expected, Atol32(text)) << '"' << text << '"';
  EXPECT_EQ(123, Atol32(std::string_view("12345", 3)));  // digits beyond the view are not read
}

}  // namespace
}  // namespace ordexa
