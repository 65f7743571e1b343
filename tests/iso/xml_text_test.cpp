// Tests of the ISO writer's text helpers: cleaning over all bytes, escaping, currency,
// clearing number from an IBAN, country from a city text.
#include "iso/xml_text.h"

#include <gtest/gtest.h>

#include <string>

namespace ordexa {
namespace {

TEST(CleanXmlText, MapsEveryByteAsThePaymentCharacterSetAllows) {
  // One row per 16 codes, written from the character classes: letters upper case, the
  // accented A C E O U to their base letter, "&" to "+", the listed punctuation kept.
  const std::string expected =
      "                "   // 0x00 controls
      "                "   // 0x10 controls
      " !\" $%+'()*+,-./"  // 0x20: # becomes a blank, & becomes +
      "0123456789:; = ?"   // 0x30: < > become blanks
      " ABCDEFGHIJKLMNO"   // 0x40: @ becomes a blank
      "PQRSTUVWXYZ     "   // 0x50: [ \ ] ^ _
      " ABCDEFGHIJKLMNO"   // 0x60: grave accent, lower case
      "PQRSTUVWXYZ     "   // 0x70: { | } ~ DEL
      "                "   // 0x80
      "                "   // 0x90
      "                "   // 0xA0
      "                "   // 0xB0
      "AA  A  CEEE     "   // 0xC0: À Á Ä Ç È É Ê; Â Ã Å Æ Ë and the I letters not
      "      O     U   "   // 0xD0: Ö Ü; ß not
      "AA  A  CEEE     "   // 0xE0
      "      O     U   ";  // 0xF0
  std::string all_bytes;
  for (int code = 0; code < 256; ++code) all_bytes.push_back(static_cast<char>(code));
  const std::string cleaned = CleanXmlText(all_bytes);
  ASSERT_EQ(256u, cleaned.size());
  for (int code = 0; code < 256; ++code) {
    EXPECT_EQ(expected[static_cast<std::size_t>(code)], cleaned[static_cast<std::size_t>(code)]) << "byte " << code;
  }
}

TEST(CleanXmlText, KeepsTheLengthOfWholeTexts) {
  const struct {
    std::string input;
    std::string expected;
  } kCases[] = {
      {"M\xFCller & S\xF6hne AG", "MULLER + SOHNE AG"},
      {"Z\xFCrich", "ZURICH"},
      {"Gen\xE8ve", "GENEVE"},
      {"Stra\xDF" "e 5", "STRA E 5"},
      {"a<b>c", "A B C"},
      {"ch 12 ab", "CH 12 AB"},
      {"50%", "50%"},
      {std::string("a\0b", 3), "A B"},
      {"", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.expected, CleanXmlText(c.input)) << c.input;
}

TEST(AppendEscapedXmlText, WritesMarkupCharactersAsEntitiesAndKeepsTheRest) {
  std::string out = "<Ustrd>";
  AppendEscapedXmlText(out, "50% <A&B> \"x\" 'y'");
  EXPECT_EQ("<Ustrd>50% &lt;A&amp;B&gt; \"x\" 'y'", out);
}

TEST(IsoCurrency, IsEuroOnlyForExactlyEurAndSic) {
  EXPECT_EQ("EUR", IsoCurrency("EUR"));
  EXPECT_EQ("EUR", IsoCurrency("SIC"));
  EXPECT_EQ("CHF", IsoCurrency("eur"));
  EXPECT_EQ("CHF", IsoCurrency("EUR "));
  EXPECT_EQ("CHF", IsoCurrency("USD"));
  EXPECT_EQ("CHF", IsoCurrency(""));
}

TEST(ClearingFromIban, TakesPositionsFiveToNineWithoutLeadingZeros) {
  const struct {
    const char* iban;
    const char* expected;
  } kCases[] = {
      {"CH9300762011623852957", "762"},
      {"LI21088100002324013AA", "8810"},
      {"CH9312345011623852957", "12345"},
      {"CH9300000011623852957", ""},
      {"CH930070", "70"},
      {"CH93", ""},
      {"", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.expected, ClearingFromIban(c.iban)) << c.iban;
}

TEST(CountryFromCity, TakesTheLeadingLetterRunAndExpandsVehicleCodes) {
  const struct {
    std::string city;
    std::string expected;
  } kCases[] = {
      {"8001 Z\xFCrich", "CH"},
      {"D-80331 M\xFCnchen", "DE"},
      {"A-1010 Wien", "AT"},
      {"F-75001 Paris", "FR"},
      {"I-20121 Milano", "IT"},
      {"FL-9490 Vaduz", "FL"},
      {"DE-10115 Berlin", "DE"},
      {"d-80331 M\xFCnchen", "d"},          // only the capital letters are vehicle codes
      {"Z\xFCrich", "Z"},                  // the run stops at the first byte from 0x80 up
      {"Bern", "Bern"},
      {"[x]_~\x7F" "1", "[x]_~\x7F"},      // 0x5B-0x60 and 0x7B-0x7F count as letters
      {"@Home", "CH"},                     // the at sign is 64, not above
      {"\xC4pfelstadt", "CH"},
      {" D-80331", "CH"},
      {"", "CH"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.expected, CountryFromCity(c.city)) << c.city;
}

}  // namespace
}  // namespace ordexa
