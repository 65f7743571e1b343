// Tests of the chunked IBAN remainder and of the compact IBAN form.
#include "format/iban.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

namespace ordexa {
namespace {

TEST(IbanMod97, ComputesChunkedRemainder) {
  const struct {
    std::int32_t expected;
    std::string text;
  } cases[] = {
      {1, "CH7700700110000000001"},
      {28, "CH7700700110000000002"},
      {1, "GB82WEST12345698765432"},
      {1, "CZ6508000000192000145399"},
      // A "-" makes a chunk negative; a negative remainder is not carried.
      {77, "CH77-0070-0110-0000-0000-1"},
      {-18, "1234-5"},
      {0, "CH7"},
      // Letters give two digits, which may fall on both sides of a chunk end; small letters
      // and blanks stay characters and end the number of their chunk.
      {1, "FR7630006000011234567890189"},
      {21, std::string(31, 'A')},
      // Long alphanumeric texts, digits and letters mixed around every chunk end.
      {1, "MT84MALT011000012345MTLCAST001S"},
      {1, "LC55HEMM000100010012001200023015"},
      {90, std::string(40, '9')},
      {41, "ZZ99ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ"},
      {73, "XYZW"},
      {41, "ch9300762011623852957"},
      {18, "AB12 3456 7890"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, IbanMod97(c.text)) << "text \"" << c.text << "\"";
}

TEST(NormalizeIban, GivesCompactFormOrEmpty) {
  const struct {
    std::string expected;
    std::string text;
  } cases[] = {
      {"CH7700700110000000001", " ch77 0070 0110 0000 0000 1 "},
      {"CH7700700110000000001", "\tCH7700700110000000001\r\n"},
      {"", "CH040070011000000000"},  // remainder 1, but a Swiss IBAN has 21 characters
      {"LI9708800000000000001", "LI9708800000000000001"},
      {"DE36100100100000000001", "DE36100100100000000001"},
      {"", "CH77-0070-0110-0000-0000-1"},
      {"", "CH77\t00700110000000001"},  // only blanks are removed inside
      {"", "CH7700700110000000002"},
      {"", "     "},
  };
  // NormalizeIbanInto reuses one text whatever it held before.
  std::string reused = "previous text, longer than any IBAN of the table";
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, NormalizeIban(c.text)) << "text \"" << c.text << "\"";
    NormalizeIbanInto(c.text, reused);
    EXPECT_EQ(c.expected, reused) << "text \"" << c.text << "\"";
  }
}

}  // namespace
}  // namespace ordexa
