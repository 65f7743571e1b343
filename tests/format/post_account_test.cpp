// Tests of the postal account record form and the modulo 10 recursive check digit.
#include "format/post_account.h"

#include <string>

#include <gtest/gtest.h>

namespace ordexa {
namespace {

struct CheckDigitCase {
  char expected;
  const char* digits;
};

TEST(CheckDigitMod10, ComputesRecursiveCheckDigit) {
  const CheckDigitCase cases[] = {
      {'8', "01000162"},
      {'1', "01039139"},
      {'2', "80000002"},
      {'6', "010001620"},
      {'7', "800000020"},
      {'7', "21000000000313947143000901"},  // ESR reference number 21 00000 00003 13947 14300 0901(7)
      {'0', ""},
      {'0', "0"},
      {'5', "9"},
      // Non-digits are skipped, wherever they stand.
      {'8', "01-000162"},
      {'8', " 0100 0162x"},
  };
  for (const CheckDigitCase& c : cases) {
    EXPECT_EQ(c.expected, CheckDigitMod10(c.digits)) << "digits \"" << c.digits << "\"";
  }
}

struct AccountCase {
  std::string expected;
  std::string account;
};

TEST(NormalizePostAccount, BuildsNineCharacterForm) {
  const AccountCase cases[] = {
      {"010023456", "1-2345-6"},
      {"010001628", "01-162-8"},
      {"800000022", "80-2-2"},
      // No check digit: computed over the body with "0" appended.
      {"800000027", "80-2-"},
      {"800000027", "80-2"},
      {"010001626", "01-162"},
      // Long number before the only dash: zero-filled or cut to eight.
      {"123456789", "12345678-9"},
      {"000123455", "12345-5"},
      {"123456783", "123456789012-3"},
      {"123456782", "12345678-"},  // check digit computed over "123456780"
      {"000001232", "123-"},
      // Prefix and middle part are each cut to their width.
      {"120000456", "123-45-6"},
      {"011234568", "01-1234567-8"},
      // A given check digit is taken unchecked; what follows it is ignored.
      {"01002345X", "1-2345-X7"},
      {"010023459", "1-2345-9-1"},
      // Empty parts are zero-filled.
      {"000000000", "-"},
      {"000000000", "--"},
      // Without a dash the text is kept as it is.
      {"0123456789", "0123456789"},
      {"", ""},
      {"CH93 0076 2011", "CH93 0076 2011"},
  };
  for (const AccountCase& c : cases) {
    EXPECT_EQ(c.expected, NormalizePostAccount(c.account)) << "account \"" << c.account << "\"";
  }
}

}  // namespace
}  // namespace ordexa
