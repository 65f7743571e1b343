// Tests of the postal account record form and the modulo 10 recursive check digit.
#include "format/post_account.h"

#include <string>

#include <gtest/gtest.h>

namespace ordexa {
namespace {

TEST(CheckDigitMod10, ComputesRecursiveCheckDigitOverDigitsOnly) {
  const struct {
    char expected;
    const char* digits;
  } cases[] = {
      {'8', "01000162"},
      {'2', "80000002"},
      {'7', "21000000000313947143000901"},  // reference number 21 00000 00003 13947 14300 0901(7)
      {'8', " 0100 0162x"},
      {'0', ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, CheckDigitMod10(c.digits)) << "digits \"" << c.digits << "\"";
}

TEST(NormalizePostAccount, BuildsNineCharacterForm) {
  const struct {
    std::string expected;
    std::string account;
  } cases[] = {
      {"010023456", "1-2345-6"},
      {"800000027", "80-2-"},  // computed over the body with "0" appended
      {"010001626", "01-162"},
      {"000000000", "-"},
      // A long number before the only dash: zero-filled or cut to eight, then the check digit.
      {"000123455", "12345-5"},
      {"123456783", "123456789012-3"},
      {"123456782", "12345678-"},
      // Prefix and middle part are each cut to their width.
      {"120000456", "123-45-6"},
      {"011234568", "01-1234567-8"},
      {"01002345X", "1-2345-X-1"},  // a given check digit is taken unchecked, the rest ignored
      {"0123456789", "0123456789"},  // no dash: unchanged
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, NormalizePostAccount(c.account)) << "account \"" << c.account << "\"";
    // The form without allocation, also after being copied away from its account.
    const PostAccountText text = NormalizePostAccountText(c.account);
    const PostAccountText copy = text;
    EXPECT_EQ(c.expected, copy.view()) << "account \"" << c.account << "\"";
  }
}

}  // namespace
}  // namespace ordexa
