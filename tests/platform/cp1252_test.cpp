// Tests of code page 1252: conversions from and to UTF-16, UTF-8 and upper-casing.
#include "platform/cp1252.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ordexa {
namespace {

using namespace std::string_literals;

std::string Byte(int value) { return std::string(1, static_cast<char>(value)); }

TEST(Cp1252, EveryByteSurvivesTheRoundTripThroughUtf16) {
  for (int value = 0; value < 256; ++value) {
    const std::u16string wide = Cp1252ToWide(Byte(value));
    ASSERT_EQ(1u, wide.size()) << value;
    EXPECT_EQ(Cp1252ToUnicode(static_cast<unsigned char>(value)), wide[0]) << value;
    EXPECT_EQ(Byte(value), WideToCp1252(wide)) << value;
    // The forms that write into a caller's buffer give the same, and say how much they wrote.
    OLECHAR unit = 0;
    EXPECT_EQ(1u, Cp1252ToWideInto(Byte(value), &unit)) << value;
    EXPECT_EQ(wide[0], unit) << value;
    char utf8[4] = {};
    char* const end = AppendCp1252ByteAsUtf8(utf8, static_cast<unsigned char>(value));
    EXPECT_EQ(Cp1252ToUtf8(Byte(value)), std::string(utf8, static_cast<std::size_t>(end - utf8))) << value;
    // Below U+0100 a unit maps to its own byte exactly when that byte reads back as it.
    const std::string own = wide[0] == value ? Byte(value) : "?";
    EXPECT_EQ(own, WideToCp1252(std::u16string(1, static_cast<char16_t>(value)))) << value;
  }
  EXPECT_EQ(u"\u20AC\u0081\u201A\u0160\u008D\u008F\u0090\u2122\u009D\u0178 \u00FC\u00DF",
            Cp1252ToWide("\x80\x81\x82\x8A\x8D\x8F\x90\x99\x9D\x9F \xFC\xDF"));
  std::u16string into(4, u'*');
  EXPECT_EQ(3u, Cp1252ToWideInto("a\x80z", into.data()));
  EXPECT_EQ(u"a\u20ACz*", into);
}

TEST(WideToCp1252, UsesTheBestFitTableAndTheDefaultChar) {
  const std::pair<std::u16string_view, std::string_view> cases[] = {
      {u"\u0141\u00F3d\u017A", "L\xF3" "dz"},  // best fit: L with stroke, z with acute
      {u"\u0110", "\xD0"},                      // D with stroke to Eth
      {u"\u2212\u2011\uFF01\u3000\u221E", "--! 8"},
      {u"\u20AC\u0178\u2122\u00A0\u009D", "\x80\x9F\x99\xA0\x9D"},  // the bytes' own characters
      {u"\u0100", "A"},
      {u"\u0080\u009F", "??"},                  // C1 controls whose byte means something else
      {u"\u0416\u4E2D\uFFFF", "???"},           // Cyrillic, CJK, no character
      {u"a\U0001F600b", "a?b"}, {u"\U0001F600\U0001F600", "??"},  // one per code point
      {u"\xD83D", "?"}, {u"\xD83Dx", "?x"}, {u"\xDE00\xD83D", "??"},  // lone surrogates
      {u"\xD83D\xD83D\xDE00", "??"},            // lone high, then a pair
      {std::u16string_view(u"a\0b", 3), std::string_view("a\0b", 3)},
  };
  for (const auto& [text, expected] : cases) {
    EXPECT_EQ(expected, WideToCp1252(text)) << "first unit U+" << std::hex << int{text[0]};
  }
}

// ASCII and Latin-1 letters are converted several units at a time; every other character
// (every unit up to U+03FF, some beyond, a lone surrogate, a pair) must stop that step
// wherever it stands and give what it gives alone, also into a caller's buffer.
TEST(WideToCp1252, EachCharacterGivesWhatItGivesAloneWhereverItStands) {
  std::vector<std::u16string> characters;
  for (char16_t unit = 0; unit < 0x400; ++unit) characters.emplace_back(1, unit);
  for (const char16_t* other :
       {u"\u1E9E", u"\u20AC", u"\u2212", u"\u4E2D", u"\uFB01", u"\uFFFF", u"\xD800", u"\U0001F600"}) {
    characters.emplace_back(other);
  }
  const std::pair<std::u16string, std::string> contexts[] = {
      {u"abcdefghijk", "abcdefghijk"}, {u"\u00E4b\u00FC" u"d\u00E9" u"fg\u00FF", "\xE4" "b\xFC" "d\xE9" "fg\xFF"}};
  for (const std::u16string& character : characters) {
    const std::string alone = WideToCp1252(character);
    ASSERT_EQ(1u, alone.size()) << std::hex << int{character[0]};
    for (const auto& [context, bytes] : contexts) {
      for (std::size_t at = 0; at <= context.size(); ++at) {
        const std::u16string text = context.substr(0, at) + character + context.substr(at);
        const std::string expected = bytes.substr(0, at) + alone + bytes.substr(at);
        ASSERT_EQ(expected, WideToCp1252(text)) << std::hex << int{character[0]} << " at " << at;
        std::string into(text.size(), '*');
        into.resize(WideToCp1252Into(text, into.data()));
        ASSERT_EQ(expected, into) << std::hex << int{character[0]} << " at " << at;
      }
    }
  }
}

TEST(Cp1252ToUtf8, EncodesEachByteAsItsCharacter) {
  EXPECT_EQ("\0A\x7F\xE2\x82\xAC\xC2\x81\xC5\xA0\xE2\x84\xA2\xC2\xA0\xC3\x9F\xC3\xBF"s,
            Cp1252ToUtf8("\0A\x7F\x80\x81\x8A\x99\xA0\xDF\xFF"s));
  std::string out = "<Nm>";
  AppendCp1252AsUtf8(out, "Stra\xDF" "e \x80");
  EXPECT_EQ("<Nm>Stra\xC3\x9F" "e \xE2\x82\xAC", out);
}

TEST(Cp1252ToUpper, MapsEveryByteAsTheRuntimeDoes) {
  for (int value = 0; value < 256; ++value) {
    const bool small = (value >= 'a' && value <= 'z') || (value >= 0xE0 && value <= 0xFE && value != 0xF7);
    const int expected = small ? value - 0x20
                         : value == 0x9A || value == 0x9C || value == 0x9E ? value - 0x10
                         : value == 0xFF ? 0x9F : value;
    EXPECT_EQ(static_cast<char>(expected), Cp1252ToUpper(static_cast<char>(value))) << value;
  }
  std::string text = "ch44 m\xFCller \xB5\xDF\xF7";
  Cp1252ToUpperInPlace(text);
  EXPECT_EQ("CH44 M\xDCLLER \xB5\xDF\xF7", text);
}

}  // namespace
}  // namespace ordexa
