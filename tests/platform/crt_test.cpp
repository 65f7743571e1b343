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

// The error numbers a failed open reports, for the failures a file system gives.
TEST(CrtErrnoFromWin32, MapsSystemErrorsLikeTheRuntime) {
  const std::pair<std::uint32_t, std::int32_t> cases[] = {
      {2, 2},    {3, 2},   {123, 22},  // file or folder missing: ENOENT; a bad name is not listed: EINVAL
      {5, 13},   {19, 13}, {32, 13}, {36, 13}, {37, 22},  // denials and the 19-36 range: EACCES
      {112, 28}, {4, 24},  {80, 17},  {145, 41}, {8, 12},   // ENOSPC, EMFILE, EEXIST, ENOTEMPTY, ENOMEM
      {0, 22},   {31, 13}, {0xFFFFFFFF, 22},
  };
  for (const auto& [error, expected] : cases) EXPECT_EQ(expected, CrtErrnoFromWin32(error)) << error;
}

}  // namespace
}  // namespace ordexa
