// Tests of the field texts the formats share: amounts, record dates, IBANs, postal
// accounts and the DTA record character set.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "format/amount.h"
#include "format/date_text.h"
#include "format/iban.h"
#include "format/post_account.h"
#include "format/record_text.h"
#include "platform/clock.h"

namespace ordexa {
namespace {

TEST(FormatAmount, RoundsOnFirstDroppedDigitAndRendersEachStyle) {
  constexpr AmountFormat kApostrophe{'\'', '.', 2, 0};
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  const struct {
    const char* expected;
    std::int64_t amount;  // ten-thousandths
    AmountFormat format;
  } cases[] = {
      {"0,00", 0, kDtaAmountFormat}, {"0,01", 50, kDtaAmountFormat},
      {"0.00", 49, kPointAmountFormat},  // no double rounding through 0.005
      {"-0.00", -49, kPointAmountFormat}, {"1.00", 9950, kPointAmountFormat},
      {"1000.00", 9999950, kPointAmountFormat}, {"1'000.00", 9999950, kApostrophe},
      {"12.30-", -123000, {0, '.', 2, 1}}, {"(12.30)", -123000, {0, '.', 2, 2}}, {"12.30", 123000, {0, '.', 2, 2}},
      {"12.30 H", -123000, {0, '.', 2, 3}}, {"12.30 S", 123000, {0, '.', 2, 3}}, {"12.30", -123000, {0, '.', 2, 4}},
      {"3", 25000, {'\'', '.', 0, 0}}, {"2", 24900, {'\'', '.', -5, 0}},
      {"1.235", 12345, {0, '.', 3, 0}}, {"1.2345", 12345, {0, '.', 7, 0}},
      {"-922'337'203'685'477.58", kMin, kApostrophe}, {"(922'337'203'685'477.5808)", kMin, {'\'', '.', 4, 2}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, FormatAmountText(c.amount, c.format).view()) << "amount " << c.amount;
  }
  EXPECT_EQ("-1'234'567.89", FormatAmount(-12345678910));
}

// The six-digit record date, alone and as a writer's dates one after the other: the same
// texts even when a repeated date follows another one or the clock moves on between two
// unset dates.
TEST(FormatDateYYMMDD, SplitsYearByCenturyAndReplacesUnsetDatesInAnyOrder) {
  static constexpr SYSTEMTIME before_midnight{.wYear = 2024, .wMonth = 2, .wDay = 29, .wHour = 23, .wMinute = 59, .wSecond = 59};
  const SYSTEMTIME after_midnight{.wYear = 2024, .wMonth = 3, .wDay = 1};
  const SYSTEMTIME unreadable{};  // what a clock that cannot be read gives
  const struct {
    const char* expected;
    DATE date;
    SYSTEMTIME now = before_midnight;
  } steps[] = {
      {"240229", 0.0},  // never set: today
      {"240229", 99.5}, {"240229", -std::numeric_limits<double>::infinity()},
      {"240229", std::numeric_limits<double>::lowest()}, {"000409", 100.0}, {"230315", 45000.75}, {"230315", 45000.75},
      {"991231", 36525.0}, {"000101", 36526.0},
      {"1000101", 73051.0}, {"1050615", 75042.0},  // from 2100 the year part is not cut
      {"79991231", 2958465.0},
      {"-1901-1-1", 2958466.0},  // after 9999: not convertible
      {"-1901-1-1", std::numeric_limits<double>::quiet_NaN()},
      {"240301", 0.0, after_midnight},  // the clock moved on: the text follows it
      {"240301", 50.0, after_midnight}, {"230315", 45000.0, after_midnight},
      {"-1901-1-1", 2958466.0, after_midnight}, {"240229", 0.0}, {"000101", 36526.0},
      {"991130", 0.0, unreadable},  // year 0, month 0, day 0 roll back to 30 November 1999
  };
  SYSTEMTIME now{};
  const ScopedClock clock([&now] { return now; });
  RecordDates dates;
  for (const auto& step : steps) {
    now = step.now;
    EXPECT_EQ(step.expected, FormatDateYYMMDD(step.date)) << "date " << step.date;
    EXPECT_EQ(step.expected, dates.Format(step.date).view()) << "date " << step.date;
  }
}

TEST(IbanMod97, ComputesChunkedRemainder) {
  const struct {
    std::int32_t expected;
    std::string text;
  } cases[] = {
      {1, "CH7700700110000000001"}, {28, "CH7700700110000000002"}, {1, "GB82WEST12345698765432"},
      {1, "CZ6508000000192000145399"},
      // A "-" makes a chunk negative; a negative remainder is not carried.
      {77, "CH77-0070-0110-0000-0000-1"}, {-18, "1234-5"}, {0, "CH7"},
      // Letters give two digits, which may fall on both sides of a chunk end; small letters
      // and blanks stay characters and end the number of their chunk.
      {1, "FR7630006000011234567890189"}, {21, std::string(31, 'A')},
      // Long alphanumeric texts, digits and letters mixed around every chunk end.
      {1, "MT84MALT011000012345MTLCAST001S"}, {1, "LC55HEMM000100010012001200023015"},
      {90, std::string(40, '9')}, {41, "ZZ99ZZZZZZZZZZZZZZZZZZZZZZZZZZZZZZ"}, {73, "XYZW"},
      {41, "ch9300762011623852957"}, {18, "AB12 3456 7890"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, IbanMod97(c.text)) << "text \"" << c.text << "\"";
}

// The remainder worked out one character at a time, as the check is defined.
int Mod97Reference(std::string_view text) {
  if (text.size() < 5) return -1;
  const std::string rotated = std::string(text.substr(4)) + std::string(text.substr(0, 4));
  int remainder = 0;
  for (const char c : rotated) {
    if (c >= '0' && c <= '9') {
      remainder = (remainder * 10 + (c - '0')) % 97;
    } else if (c >= 'A' && c <= 'Z') {
      remainder = (remainder * 100 + (c - 'A' + 10)) % 97;
    } else {
      return -1;
    }
  }
  return remainder;
}

// Eight digits in a row are read in one go: every length, with a letter or a byte that is
// no digit at every place (just below and above the digits too), must give the remainder
// worked out one character at a time.
TEST(Mod97OfRotated, AgreesWithTheRemainderCharacterByCharacter) {
  const std::string digits = "9300762011623852957301234567890098765432112";
  for (std::size_t size = 0; size <= 40; ++size) {
    const std::string plain = "CH" + digits.substr(0, size);
    ASSERT_EQ(Mod97Reference(plain), Mod97OfRotated(plain)) << plain;
    for (std::size_t at = 0; at < plain.size(); ++at) {
      for (const char odd : {'/', ':', 'A', 'Z', '0', '9', ' ', 'a', '\x80'}) {
        std::string text = plain;
        text[at] = odd;
        ASSERT_EQ(Mod97Reference(text), Mod97OfRotated(text)) << text;
      }
    }
  }
  EXPECT_EQ(1, Mod97OfRotated("CH9300762011623852957"));
  EXPECT_EQ(1, Mod97OfRotated("RF18539007547034"));
}

TEST(NormalizeIban, GivesCompactFormOrEmpty) {
  const struct {
    std::string expected;
    std::string text;
  } cases[] = {
      {"CH7700700110000000001", " ch77 0070 0110 0000 0000 1 "},
      {"CH7700700110000000001", "\tCH7700700110000000001\r\n"},
      {"", "CH040070011000000000"},  // remainder 1, but a Swiss IBAN has 21 characters
      {"LI9708800000000000001", "LI9708800000000000001"}, {"DE36100100100000000001", "DE36100100100000000001"},
      {"", "CH77-0070-0110-0000-0000-1"},
      {"", "CH77\t00700110000000001"},  // only blanks are removed inside
      {"", "CH7700700110000000002"}, {"", "     "},
  };
  // NormalizeIbanInto reuses one text whatever it held before.
  std::string reused = "previous text, longer than any IBAN of the table";
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, NormalizeIban(c.text)) << "text \"" << c.text << "\"";
    NormalizeIbanInto(c.text, reused);
    EXPECT_EQ(c.expected, reused) << "text \"" << c.text << "\"";
  }
}

TEST(CheckDigitMod10, ComputesRecursiveCheckDigitOverDigitsOnly) {
  EXPECT_EQ('8', CheckDigitMod10("01000162"));
  EXPECT_EQ('2', CheckDigitMod10("80000002"));
  EXPECT_EQ('7', CheckDigitMod10("21000000000313947143000901"));  // reference 21 00000 00003 13947 14300 0901(7)
  EXPECT_EQ('8', CheckDigitMod10(" 0100 0162x"));
  EXPECT_EQ('0', CheckDigitMod10(""));
}

TEST(NormalizePostAccount, BuildsNineCharacterForm) {
  const struct {
    std::string expected;
    std::string account;
  } cases[] = {
      {"010023456", "1-2345-6"}, {"800000027", "80-2-"},  // computed over the body with "0" appended
      {"010001626", "01-162"}, {"000000000", "-"},
      // A long number before the only dash: zero-filled or cut to eight, then the check digit.
      {"000123455", "12345-5"}, {"123456783", "123456789012-3"}, {"123456782", "12345678-"},
      // Prefix and middle part are each cut to their width.
      {"120000456", "123-45-6"}, {"011234568", "01-1234567-8"},
      {"01002345X", "1-2345-X-1"},   // a given check digit is taken unchecked, the rest ignored
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
  std::string all_bytes, expected;
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
