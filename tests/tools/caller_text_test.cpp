// UTF-8 of batches and command lines: decoding, the first invalid byte, and what the
// component makes of a text in code page 1252.
#include "tools/payfile/caller_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace ordexa::payfile {
namespace {

TEST(Utf8ToUtf16, DecodesValidSequencesAndReplacesEachBadByte) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"Z\xC3\xBCrich", u"Z\u00FCrich"},
      {"\xE2\x82\xAC", u"\u20AC"},
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
      {"", std::nullopt},
      {"\xEF\xBB\xBF{\"a\": \"Z\xC3\xBCrich \xF0\x9F\x98\x80\"}", std::nullopt},
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
