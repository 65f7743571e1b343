// Tests of the chunked IBAN remainder and of the compact IBAN form.
#include "format/iban.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace ordexa {
namespace {

struct RemainderCase {
  std::int32_t expected;
  std::string text;
};

TEST(IbanMod97, ComputesChunkedRemainder) {
  const RemainderCase cases[] = {
      {1, "CH7700700110000000001"},
      {1, "CH040070011000000000"},
      {1, "LI9708800000000000001"},
      {1, "DE36100100100000000001"},
      {1, "GB82WEST12345698765432"},
      {28, "CH7700700110000000002"},
      {30, "ABCD"},
      {0, "0000"},
      // Texts with other characters: a "-" makes a chunk negative, and a negative
      // remainder is not carried into the next chunk.
      {77, "CH77-0070-0110-0000-0000-1"},
      {96, "CH93-0076-2011-6238-5295-7"},
      {-18, "1234-5"},
      {38, "ch7700700110000000001"},  // lower-case letters are not converted
      {89, "CH77\t0070"},
      {18, "+1234567890"},
      // Fewer than four characters.
      {0, ""},
      {0, "CH7"},
  };
  for (const RemainderCase& c : cases) {
    EXPECT_EQ(c.expected, IbanMod97(c.text)) << "text \"" << c.text << "\"";
  }
}

struct IbanCase {
  std::string expected;
  std::string text;
};

TEST(NormalizeIban, GivesCompactFormOrEmpty) {
  const IbanCase cases[] = {
      {"CH7700700110000000001", " ch77 0070 0110 0000 0000 1 "},
      {"CH7700700110000000001", "\tCH7700700110000000001\r\n"},
      {"GB82WEST12345698765432", "gb82 west 1234 5698 7654 32"},
      // Only Swiss IBANs have a length rule.
      {"", "CH040070011000000000"},
      {"", "ch04 0070 0110 0000 0000 0"},
      {"LI9708800000000000001", "LI9708800000000000001"},
      {"DE36100100100000000001", "DE36100100100000000001"},
      // Dashes stay in the text and break the check.
      {"", "CH77-0070-0110-0000-0000-1"},
      // A tab inside is not removed.
      {"", "CH77\t00700110000000001"},
      {"", "CH7700700110000000002"},
      {"", ""},
      {"", "     "},
      {"", " C H 7 "},
  };
  for (const IbanCase& c : cases) {
    EXPECT_EQ(c.expected, NormalizeIban(c.text)) << "text \"" << c.text << "\"";
  }
}

}  // namespace
}  // namespace ordexa
