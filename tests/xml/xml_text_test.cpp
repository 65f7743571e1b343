// Tests of the ISO writer's text helpers: cleaning over all bytes, clearing number from an
// IBAN, country from a city text.
#include "xml/xml_text.h"

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
  EXPECT_EQ(expected, CleanXmlText(all_bytes));
}

TEST(ClearingFromIban, TakesPositionsFiveToNineWithoutLeadingZeros) {
  const struct {
    const char* iban;
    const char* expected;
  } kCases[] = {
      {"CH9300762011623852957", "762"}, {"CH9312345011623852957", "12345"}, {"CH9300000011623852957", ""},
      {"CH930070", "70"},               {"CH93", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.expected, ClearingFromIban(c.iban)) << c.iban;
}

TEST(CountryFromCity, TakesTheLeadingLetterRunAndExpandsVehicleCodes) {
  // Only capital one-letter codes expand; the run is bytes 0x41 to 0x7F, so it stops at
  // "@" (0x40) and at letters from 0x80 up.
  const struct {
    std::string city;
    std::string expected;
  } kCases[] = {
      {"8001 Z\xFCrich", "CH"}, {"A-1010 Wien", "AT"},   {"D-80331 M\xFCnchen", "DE"}, {"F-75001 Paris", "FR"},
      {"I-20121 Milano", "IT"}, {"FL-9490 Vaduz", "FL"}, {"d-80331", "d"},              {"Z\xFCrich", "Z"},
      {"[x]_~\x7F" "1", "[x]_~\x7F"},                    {"@Home", "CH"},               {"\xC4pfelstadt", "CH"},
      {" D-80331", "CH"},       {"", "CH"},
  };
  for (const auto& c : kCases) EXPECT_EQ(c.expected, CountryFromCity(c.city)) << c.city;
}

}  // namespace
}  // namespace ordexa
