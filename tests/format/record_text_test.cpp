// Tests of the DTA record character set: every byte value, and typical names.
#include "format/record_text.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace ordexa {
namespace {

// The record character set written out by hand, independent of the table.
char ExpectedRecordChar(unsigned char byte) {
  constexpr std::string_view kKeptAsIs = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.(+&!$*);-/,%?:'=\"";
  constexpr std::string_view kLower = "abcdefghijklmnopqrstuvwxyz";
  if (kKeptAsIs.find(static_cast<char>(byte)) != std::string_view::npos) return static_cast<char>(byte);
  if (const std::size_t i = kLower.find(static_cast<char>(byte)); i != std::string_view::npos) {
    return kKeptAsIs[i];
  }
  switch (byte) {
    case 0xC0: case 0xC1: case 0xC4: case 0xE0: case 0xE1: case 0xE4: return 'A';
    case 0xC7: case 0xE7: return 'C';
    case 0xC8: case 0xC9: case 0xCA: case 0xE8: case 0xE9: case 0xEA: return 'E';
    case 0xD6: case 0xF6: return 'O';
    case 0xDC: case 0xFC: return 'U';
    default: return ' ';
  }
}

TEST(CleanRecordChar, MapsEveryByteToTheRecordCharacterSet) {
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    EXPECT_EQ(ExpectedRecordChar(static_cast<unsigned char>(byte)), CleanRecordChar(c)) << "byte " << byte;
    EXPECT_EQ(std::string(1, CleanRecordChar(c)), CleanRecordText(std::string_view(&c, 1))) << "byte " << byte;
  }
}

struct CleanCase {
  std::string expected;
  std::string text;
};

TEST(CleanRecordText, KeepsLengthAndPositions) {
  const CleanCase cases[] = {
      {"ZURICH", "Z\xFCrich"},
      {"GENEVE", "Gen\xE8ve"},
      {"STRA E 5", "Stra\xDF" "e 5"},
      {"MULLER & CO.", "M\xFCller & Co."},
      {"A B C%D", "a_b#c%d"},
      {"A B C+D", "a_b#c+d"},
      {"", ""},
      {" ", "\t"},
      {"A", "\xC4"},  // umlaut loses its dots, no "AE"
      {"  X ", std::string("\0\n" "x\x80", 4)},  // a NUL is one blank like any control byte
      {"FRANCOIS NU EZ", "Fran\xE7" "ois Nu\xF1" "ez"},
  };
  for (const CleanCase& c : cases) {
    EXPECT_EQ(c.expected, CleanRecordText(c.text)) << "text \"" << c.text << "\"";
  }
}

}  // namespace
}  // namespace ordexa
