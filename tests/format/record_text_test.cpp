// Tests of the DTA record character set over every byte value.
#include "format/record_text.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace ordexa {
namespace {

// The record character set written out by hand, independent of the table.
char ExpectedRecordChar(char c) {
  constexpr std::string_view kKept = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.(+&!$*);-/,%?:'=\"";
  constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
  const struct {
    std::string_view accented;
    char base;
  } kAccented[] = {{"\xC0\xC1\xC4\xE0\xE1\xE4", 'A'}, {"\xC7\xE7", 'C'}, {"\xC8\xC9\xCA\xE8\xE9\xEA", 'E'},
                   {"\xD6\xF6", 'O'}, {"\xDC\xFC", 'U'}};
  if (kKept.find(c) != std::string_view::npos) return c;
  if (const std::size_t i = kLower.find(c); i != std::string_view::npos) return kKept[i];
  for (const auto& letter : kAccented) {
    if (letter.accented.find(c) != std::string_view::npos) return letter.base;
  }
  return ' ';
}

TEST(CleanRecordText, MapsEveryByteInPlace) {
  std::string all_bytes;
  std::string expected;
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    EXPECT_EQ(ExpectedRecordChar(c), CleanRecordChar(c)) << "byte " << byte;
    all_bytes += c;
    expected += ExpectedRecordChar(c);
  }
  EXPECT_EQ(expected, CleanRecordText(all_bytes));  // a NUL is a blank, not the end
  EXPECT_EQ("MULLER & CO. STRA E 5", CleanRecordText("M\xFCller & Co. Stra\xDF" "e 5"));
}

}  // namespace
}  // namespace ordexa
