// The texts of batch files and command lines: places in the batch text, amounts, dates,
// UTF-8 decoding and the code page 1252 text the component stores.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "tools/payfile/amount_text.h"
#include "tools/payfile/batch_text.h"
#include "tools/payfile/caller_text.h"
#include "tools/payfile/local_date.h"

namespace ordexa::payfile {
namespace {

TEST(PositionOf, CountsLinesAndCharactersNotBytes) {
  const std::string text = "{\n  \"\xC3\xA4\": x\n}";
  const struct {
    std::size_t offset, line, column;
  } cases[] = {
      {0, 1, 1}, {1, 1, 2}, {2, 2, 1}, {5, 2, 4}, {7, 2, 5}, {8, 2, 6}, {12, 3, 1}, {99, 3, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.offset);
    const TextPosition position = PositionOf(text, c.offset);
    EXPECT_EQ(c.line, position.line);
    EXPECT_EQ(c.column, position.column);
    // Counting on from any earlier place gives the same.
    for (std::size_t from = 0; from <= std::min<std::size_t>(c.offset, text.size()); ++from) {
      const TextPosition continued = PositionOf(text, c.offset, from, PositionOf(text, from));
      EXPECT_EQ(c.line, continued.line) << from;
      EXPECT_EQ(c.column, continued.column) << from;
    }
  }
}

TEST(FindStringFault, FindsUnclosedStringsAndControlCharactersInsideStrings) {
  const struct {
    std::string text;
    std::optional<std::size_t> fault;
  } cases[] = {
      {"{\"a\": \"ok\", \"b\": [1, true]}", std::nullopt},
      {"{\"a\": \"x\\\\\"}", std::nullopt},  // an escaped backslash, then the closing quote
      {"{\"a\": \"b}", 6},
      {"{\"a\": \"b\\\"}", 6},               // the escaped quote does not close it
      {"{\"a\": \"x\ty\"}", 8}, {"{\"a\": \"x\ny\"}", 8},
      {"\t{\"a\":\n1}", std::nullopt},       // white space outside strings is no fault
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(c.fault, FindStringFault(c.text));
  }
}

TEST(QuotedToken, DropsTrailingBlanksAndShortensLongValuesOnACharacterBoundary) {
  const std::string sixty(59, 'a');
  const struct {
    std::string token, quoted;
  } cases[] = {
      {"\"12,50\" \n", "\"12,50\""}, {sixty + "b", sixty + "b"}, {sixty + "bc", sixty + "b..."},
      {sixty + "\xC3\xA4x", sixty + "..."},  // never half of the two bytes of a character
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    EXPECT_EQ(c.quoted, QuotedToken(c.token));
  }
}

constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

struct AmountCase {
  const char* text;
  AmountStatus status;
  std::int64_t amount;  // when kOk
};

void ExpectParses(const AmountCase& c, const AmountParse& parse) {
  EXPECT_EQ(c.status, parse.status);
  if (c.status == AmountStatus::kOk) {
    EXPECT_EQ(c.amount, parse.amount);
  }
}

TEST(ParseDecimalAmount, ReadsExactlyTheDecimalFormAndRefusesEverythingElse) {
  using enum AmountStatus;
  const AmountCase cases[] = {
      {"0", kOk, 0}, {"-0", kOk, 0}, {"1234.5", kOk, 12345000}, {"007.25", kOk, 72500}, {"0.0001", kOk, 1},
      {"922337203685477.5807", kOk, kMax}, {"-922337203685477.5808", kOk, kMin},
      {"922337203685477.5808", kOutOfRange, 0},
      {"-922337203685477.5809", kOutOfRange, 0}, {"1.23456", kTooManyDecimals, 0},
      {"1.", kNotANumber, 0}, {"+1", kNotANumber, 0}, {"1e3", kNotANumber, 0}, {"1 ", kNotANumber, 0},
      {"12,50", kNotANumber, 0}, {"-", kNotANumber, 0}, {"", kNotANumber, 0},
  };
  for (const AmountCase& c : cases) {
    SCOPED_TRACE(c.text);
    ExpectParses(c, ParseDecimalAmount(c.text));
  }
}

TEST(ParseJsonNumberAmount, RoundsTheExactDecimalValueHalfAwayFromZeroOnce) {
  using enum AmountStatus;
  const AmountCase cases[] = {
      {"0", kOk, 0}, {"-0", kOk, 0}, {"100", kOk, 1000000},
      {"1.5e3", kOk, 15000000}, {"1E-2", kOk, 100}, {"0.00005", kOk, 1},
      {"0.000049999", kOk, 0},  // the first dropped digit alone decides
      {"0.0000499999999999999999999", kOk, 0},
      {"1e-99999999999", kOk, 0},  // the exponent is clamped, not overflowed
      {"922337203685477.5807", kOk, kMax},
      {"-922337203685477.58075", kOk, kMin},  // rounds onto the smallest value
      {"922337203685477.58075", kOutOfRange, 0}, {"1e15", kOutOfRange, 0}, {"1e99999999999", kOutOfRange, 0},
      {"01", kNotANumber, 0},  // JSON has no leading zeros
      {"1.", kNotANumber, 0}, {"1e", kNotANumber, 0}, {"-", kNotANumber, 0}, {"+1", kNotANumber, 0},
      {"\"1\"", kNotANumber, 0}, {"", kNotANumber, 0},
  };
  for (const AmountCase& c : cases) {
    SCOPED_TRACE(c.text);
    ExpectParses(c, ParseJsonNumberAmount(c.text));
  }
}

TEST(ParseLocalDateTime, AcceptsOnlyRealCalendarDatesInTheGivenForms) {
  const struct {
    const char* text;
    bool date_only_allowed;
    const char* error;  // empty when the text is accepted
    WORD year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  } cases[] = {
      {"2024-02-29", true, "", 2024, 2, 29, 0, 0, 0}, {"0100-01-01", true, "", 100, 1, 1, 0, 0, 0},
      {"9999-12-31T23:59:59", false, "", 9999, 12, 31, 23, 59, 59},
      {"2024-06-20T09:30:15", true, "", 2024, 6, 20, 9, 30, 15},
      {"2023-02-29", true, "has no day 29 in February 2023"}, {"1900-02-29", true, "has no day 29 in February 1900"},
      {"2024-06-31", true, "has no day 31 in June 2024"}, {"2024-13-01", true, "has no month 13"},
      {"0099-12-31", true, "has a year before 100"}, {"2024-06-20T24:00:00", true, "has no time of day 24:00:00"},
      {"2024-06-20T10:60:00", true, "has no time of day 10:60:00"},
      {"2024-06-20", false, "is not of the form YYYY-MM-DDTHH:MM:SS"},
      {"2024-06-20 10:00:00", true, "is not of the form YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS"},
      {"20.06.2024", true, "is not of the form YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS"},
      {"", true, "is not of the form YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const LocalDateParse parse = ParseLocalDateTime(c.text, c.date_only_allowed);
    EXPECT_EQ(c.error, parse.error);
    EXPECT_EQ(c.error[0] == '\0', parse.ok);
    if (!parse.ok) continue;
    EXPECT_EQ(c.year, parse.time.wYear);
    EXPECT_EQ(c.month, parse.time.wMonth);
    EXPECT_EQ(c.day, parse.time.wDay);
    EXPECT_EQ(c.hour, parse.time.wHour);
    EXPECT_EQ(c.minute, parse.time.wMinute);
    EXPECT_EQ(c.second, parse.time.wSecond);
  }
}

TEST(ToAutomationDate, CountsDaysFromTheEndOf1899WithTheTimeAsFraction) {
  const struct {
    const char* text;
    DATE date;
  } cases[] = {
      {"1899-12-30", 0.0}, {"2023-03-15T18:00:00", 45000.75}, {"1900-04-09", 100.0}, {"1899-12-29T06:00:00", -1.25},
      {"0100-01-01", -657434.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.date, ToAutomationDate(ParseLocalDateTime(c.text, true).time));
  }
}

TEST(Utf8ToUtf16, DecodesValidSequencesAndReplacesEachBadByte) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"Z\xC3\xBCrich", u"Z\u00FCrich"}, {"\xE2\x82\xAC", u"\u20AC"},
      {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},                 // one surrogate pair
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},  // U+0000 is kept
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                         // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},               // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},     // past U+10FFFF
      {"a\xE2\x82", u"a\uFFFD\uFFFD"},                       // cut short at the end
      {"\x80z", u"\uFFFDz"},                                 // a stray continuation byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.utf8));
    EXPECT_EQ(c.utf16, Utf8ToUtf16(c.utf8));
  }
}

TEST(FirstInvalidUtf8, NamesTheOffsetOfTheFirstByteThatBeginsNoCharacter) {
  const struct {
    std::string text;
    std::optional<std::size_t> offset;
  } cases[] = {
      {"", std::nullopt}, {"\xEF\xBB\xBF{\"a\": \"Z\xC3\xBCrich \xF0\x9F\x98\x80\"}", std::nullopt},
      {"M\xFCller", 1},              // Windows-1252
      {"ok \xC3\xBC \xC3", 6},       // cut short at the end
      {"\xC3\xBC\xC0\xAF", 2},       // overlong after a valid character
      {"ab\xED\xA0\x80", 2},         // an encoded surrogate
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(c.offset, FirstInvalidUtf8(c.text));
  }
}

TEST(AnsiTextFromUtf8, GivesTheCodePage1252TextTheComponentStores) {
  const struct {
    std::string utf8;
    std::string ansi;
  } cases[] = {
      {"Z\xC3\xBCrich \xE2\x82\xAC", "Z\xFCrich \x80"},
      {"\xC5\x81\xC3\xB3" "d\xC5\xBA", "L\xF3" "dz"},  // best fit drops the accents 1252 lacks
      {"a\xF0\x9F\x98\x80z", "a?z"},                     // one '?' for a character past U+FFFF
      {std::string("vor\0nach", 8), "vor"},              // ends at the first U+0000
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.utf8));
    EXPECT_EQ(c.ansi, AnsiTextFromUtf8(c.utf8));
  }
}

// The short way for ASCII and Latin-1 must give what the way through UTF-16 gives, for
// every character of the basic plane alone and between letters, and for broken sequences.
TEST(AnsiTextFromUtf8Into, EqualsTheWayThroughUtf16ForEveryCharacter) {
  std::string out = "room from an earlier text";
  for (char32_t code_point = 0; code_point < 0x10000; ++code_point) {
    if (code_point >= 0xD800 && code_point <= 0xDFFF) continue;
    std::string character;
    if (code_point < 0x80) {
      character = {static_cast<char>(code_point)};
    } else if (code_point < 0x800) {
      character = {static_cast<char>(0xC0 | (code_point >> 6)), static_cast<char>(0x80 | (code_point & 0x3F))};
    } else {
      character = {static_cast<char>(0xE0 | (code_point >> 12)), static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)),
                   static_cast<char>(0x80 | (code_point & 0x3F))};
    }
    for (const std::string& text : {character, "Gr" + character + "n " + character}) {
      AnsiTextFromUtf8Into(text, out);
      ASSERT_EQ(AnsiTextFromUtf8(text), out) << "U+" << std::hex << static_cast<std::uint32_t>(code_point);
    }
  }
  for (const std::string text : {"\xC3", "Z\xC3", "\xC2\x41", "\xC3\xC3\xBC", "\xBC", "\xC0\xAF", "\xFF\xFE",
                                 "M\xFCller", "\xC3\xBC\xF0\x9F\x98\x80"}) {
    AnsiTextFromUtf8Into(text, out);
    EXPECT_EQ(AnsiTextFromUtf8(text), out) << testing::PrintToString(text);
  }
}

}  // namespace
}  // namespace ordexa::payfile
