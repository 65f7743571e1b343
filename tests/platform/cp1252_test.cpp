// Tests of code page 1252: conversions from and to UTF-16, UTF-8 and upper-casing.
#include "platform/cp1252.h"

#include <gtest/gtest.h>

#include <string>

namespace ordexa {
namespace {

std::string Byte(int value) { return std::string(1, static_cast<char>(value)); }

TEST(Cp1252, EveryByteSurvivesTheRoundTripThroughUtf16) {
  for (int value = 0; value < 256; ++value) {
    const std::string byte = Byte(value);
    const std::u16string wide = Cp1252ToWide(byte);
    ASSERT_EQ(1u, wide.size()) << value;
    EXPECT_EQ(Cp1252ToUnicode(static_cast<unsigned char>(value)), wide[0]) << value;
    EXPECT_EQ(byte, WideToCp1252(wide)) << value;
  }
}

TEST(Cp1252ToWide, MapsTheBytes80To9FToTheirCharacters) {
  EXPECT_EQ(u"\u20AC\u0081\u201A\u0160\u008D\u008F\u0090\u2122\u009D\u0178 \u00FC\u00DF",
            Cp1252ToWide("\x80\x81\x82\x8A\x8D\x8F\x90\x99\x9D\x9F \xFC\xDF"));
}

TEST(WideToCp1252, UsesTheBestFitTableAndTheDefaultChar) {
  struct Case {
    std::u16string_view text;
    std::string_view expected;
  };
  const Case cases[] = {
      {u"\u0141", "L"},                 // L with stroke
      {u"\u0107", "c"},
      {u"\u0110", "\xD0"},              // D with stroke to Eth
      {u"\u2212", "-"},                 // minus sign
      {u"\u2011", "-"},
      {u"\uFF01", "!"},                 // fullwidth forms
      {u"\uFF5E", "~"},
      {u"\u03B2", "\xDF"},
      {u"\u221E", "8"},
      {u"\u3000", " "},
      {u"\u20AC", "\x80"},              // the bytes' own characters
      {u"\u0178", "\x9F"},
      {u"\u2122", "\x99"},
      {u"\u0081\u008D\u008F\u0090\u009D", "\x81\x8D\x8F\x90\x9D"},
      {u"\u0080", "?"},                 // C1 controls whose byte means something else
      {u"\u0085", "?"},
      {u"\u009F", "?"},
      {u"\u0416", "?"},                 // Cyrillic, CJK
      {u"\u4E2D", "?"},
      {u"\uFFFF", "?"},
      {u"\U0001F600", "?"},             // one per code point
      {u"a\U0001F600b", "a?b"},
      {u"\U0001F600\U0001F600", "??"},
      {u"\xD83D", "?"},                 // lone surrogates
      {u"\xDE00x", "?x"},
      {u"\xDE00\xD83D", "??"},
      {u"\xD83D\xD83D\xDE00", "??"},    // lone high, then a pair
      {u"\u0141\u00F3d\u017A", "L\xF3" "dz"},
      {std::u16string_view(u"a\0b", 3), std::string_view("a\0b", 3)},
      {u"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, WideToCp1252(c.text)) << "first unit U+" << std::hex
                                                 << (c.text.empty() ? 0 : int{c.text[0]});
  }
}

TEST(WideToCp1252, MapsEveryUnitBelow100ToItsOwnByteOrTheDefaultChar) {
  // Below U+0100 a unit maps to its own byte exactly when that byte reads back as it.
  for (int unit = 0; unit < 0x100; ++unit) {
    const std::string expected = Cp1252ToUnicode(static_cast<unsigned char>(unit)) == unit ? Byte(unit) : "?";
    EXPECT_EQ(expected, WideToCp1252(std::u16string(1, static_cast<char16_t>(unit)))) << unit;
  }
}

TEST(Cp1252ToUtf8, EncodesEveryByteAsItsCharacter) {
  struct Case {
    int byte;
    std::string_view utf8;
  };
  const Case cases[] = {
      {0x00, std::string_view("\0", 1)}, {0x41, "A"}, {0x7F, "\x7F"},
      {0x80, "\xE2\x82\xAC"}, {0x81, "\xC2\x81"}, {0x8A, "\xC5\xA0"}, {0x99, "\xE2\x84\xA2"},
      {0x9D, "\xC2\x9D"}, {0xA0, "\xC2\xA0"}, {0xDF, "\xC3\x9F"}, {0xE4, "\xC3\xA4"}, {0xFF, "\xC3\xBF"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.utf8, Cp1252ToUtf8(Byte(c.byte))) << c.byte;
  std::string out = "<Nm>";
  AppendCp1252AsUtf8(out, "Stra\xDF" "e \x80");
  EXPECT_EQ("<Nm>Stra\xC3\x9F" "e \xE2\x82\xAC", out);
}

TEST(Cp1252ToUpper, MapsEveryByteAsTheRuntimeDoes) {
  for (int value = 0; value < 256; ++value) {
    int expected = value;
    if ((value >= 'a' && value <= 'z') || (value >= 0xE0 && value <= 0xFE && value != 0xF7)) {
      expected = value - 0x20;
    } else if (value == 0x9A || value == 0x9C || value == 0x9E) {
      expected = value - 0x10;
    } else if (value == 0xFF) {
      expected = 0x9F;
    }
    EXPECT_EQ(static_cast<char>(expected), Cp1252ToUpper(static_cast<char>(value))) << value;
  }
  std::string text = "ch44 m\xFCller \xB5\xDF\xF7";
  Cp1252ToUpperInPlace(text);
  EXPECT_EQ("CH44 M\xDCLLER \xB5\xDF\xF7", text);
}

}  // namespace
}  // namespace ordexa
