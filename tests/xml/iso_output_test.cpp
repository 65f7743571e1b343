// The ISO document's text output: every byte value at every place of texts of every length,
// plain and escaped, reaches the file in its document form, at every place of the buffer;
// and the 2009 writer's text helpers: cleaning over all bytes, clearing number from an
// IBAN, country from a city text.
#include "xml/iso_output.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <string>

#include "platform/cp1252.h"
#include "support/files.h"
#include "support/temp_dir.h"
#include "xml/xml_text.h"

namespace ordexa {
namespace {

// The document form of one byte, spelled out rule by rule.
std::string DocumentForm(unsigned char byte, bool escaped) {
  if (escaped && byte == '&') return "&amp;";
  if (escaped && byte == '<') return "&lt;";
  if (escaped && byte == '>') return "&gt;";
  if (byte == '\n') return "\r\n";
  if (byte < 0x20 && byte != '\t' && byte != '\r') return " ";
  return Cp1252ToUtf8(std::string(1, static_cast<char>(byte)));
}

// Texts of every length up to three words: the last bytes of a text that is not a whole
// number of words are copied in one move when they can be, and must come out the same.
TEST(IsoOutput, EveryByteAtEveryPlaceOfTextsOfEveryLength) {
  test::TempDir dir;
  const std::string context = "Bahnhofstrasse 12, Postfach 8001";
  IsoOutputFile output(SystemFileSystem());
  OpenIsoOutput(output, dir.Path("out.xml"));
  std::string expected;
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<unsigned char>(value);
    for (std::size_t size = 1; size <= 24; ++size) {
      for (std::size_t at = 0; at < size; ++at) {
        std::string text = context.substr(0, size);
        text[at] = static_cast<char>(byte);
        WriteXmlText(output, text);
        WriteXmlElement<"<A>%s</A>">(output, 1, EscapedText{text});
        const std::string before = context.substr(0, at), after = context.substr(at + 1, size - at - 1);
        expected += before + DocumentForm(byte, false) + after;
        // An escaped text ends at its first NUL, as a C string does.
        expected += "\t<A>" + before + (byte == 0 ? "" : DocumentForm(byte, true) + after) + "</A>\r\n";
      }
    }
  }
  FinishIsoOutput(output);
  const std::string written = test::ReadWholeFile(dir.Path("out.xml")).value_or("<no file>");
  ASSERT_EQ(expected.size(), written.size());
  EXPECT_TRUE(expected == written);
}

// A text the writer formed itself is copied as it stands, in moves that depend on its length.
TEST(IsoOutput, PlainTextsOfEveryLengthAreCopiedAsTheyStand) {
  test::TempDir dir;
  const std::string context = "CH9300762011623852957 RF18539007547034 1234.50 CHF";
  IsoOutputFile output(SystemFileSystem());
  OpenIsoOutput(output, dir.Path("out.xml"));
  std::string expected;
  for (std::size_t size = 0; size <= context.size(); ++size) {
    const std::string text = context.substr(context.size() - size);
    WriteXmlElement<"<P>%s</P>">(output, 0, PlainText{text});
    expected += "<P>" + text + "</P>\r\n";
  }
  FinishIsoOutput(output);
  EXPECT_EQ(expected, test::ReadWholeFile(dir.Path("out.xml")).value_or("<no file>"));
}

// Two bytes to convert in one text, at every pair of places: after the first, the text goes
// on from the byte behind it, and a byte below a blank may make the blank look like one to
// convert (which then comes out as it is).
TEST(IsoOutput, TwoBytesToConvertAtEveryPairOfPlaces) {
  test::TempDir dir;
  const std::string context = "Bahnhofstrasse 12, Postfach 8001";
  const std::string odd = {'\x01', '\n', '&', '<', '\xFC', '\x80', ' ', '\0'};
  IsoOutputFile output(SystemFileSystem());
  OpenIsoOutput(output, dir.Path("out.xml"));
  std::string expected;
  for (std::size_t size = 2; size <= 18; ++size) {
    for (std::size_t first = 0; first < size; ++first) {
      for (std::size_t second = first + 1; second < size; ++second) {
        for (const char a : odd) {
          for (const char b : odd) {
            std::string text = context.substr(0, size);
            text[first] = a;
            text[second] = b;
            WriteXmlText(output, text);
            WriteXmlElement<"<A>%s</A>">(output, 1, EscapedText{text});
            std::string plain, escaped;
            bool ended = false;
            for (const char c : text) {
              const auto byte = static_cast<unsigned char>(c);
              plain += DocumentForm(byte, false);
              ended = ended || byte == 0;
              if (!ended) escaped += DocumentForm(byte, true);
            }
            expected += plain + "\t<A>" + escaped + "</A>\r\n";
          }
        }
      }
    }
  }
  FinishIsoOutput(output);
  const std::string written = test::ReadWholeFile(dir.Path("out.xml")).value_or("<no file>");
  ASSERT_EQ(expected.size(), written.size());
  EXPECT_TRUE(expected == written);
}

// One line of every shape the document writes, each written again and again so that its
// copies fall at every place of the buffer, across the points where it is written out.
TEST(IsoOutput, LinesOfEveryShapeAcrossBufferBoundaries) {
  using std::string_literals::operator""s;
  // Longer than a conversion piece and than the buffer once escaped: 30,000 entities.
  const std::string long_text = std::string(30000, '&') + "\xFC";
  std::string long_escaped;
  for (int i = 0; i < 30000; ++i) long_escaped += "&amp;";
  const std::string long_plain(BufferedFile::kBufferSize + 5, '9');
  struct Case {
    const char* what;
    std::function<void(IsoOutputFile&)> write;
    std::string expected;
  };
  const Case cases[] = {
      {"fixed line", [](IsoOutputFile& o) { WriteFixedXmlLine<"<GrpHdr>">(o, 3); }, "\t\t\t<GrpHdr>\r\n"},
      {"fixed line without tabs", [](IsoOutputFile& o) { WriteFixedXmlLine<"</Document>">(o, -2); }, "</Document>\r\n"},
      {"sixteen tabs", [](IsoOutputFile& o) { WriteFixedXmlLine<"<A>">(o, 16); }, std::string(16, '\t') + "<A>\r\n"},
      {"seventeen tabs", [](IsoOutputFile& o) { WriteFixedXmlLine<"<A>">(o, 17); }, std::string(17, '\t') + "<A>\r\n"},
      {"longest fixed line", [](IsoOutputFile& o) { WriteFixedXmlLine<"<ABCDEFGHIJKLMNOPQRSTUVWXYZ0123>">(o, 1); },
       "\t<ABCDEFGHIJKLMNOPQRSTUVWXYZ0123>\r\n"},
      {"two texts", [](IsoOutputFile& o) {
         WriteXmlElement<"<InstdAmt Ccy=\"%s\">%s</InstdAmt>">(o, 5, EscapedText{"CHF"}, EscapedText{"1234.50"});
       }, "\t\t\t\t\t<InstdAmt Ccy=\"CHF\">1234.50</InstdAmt>\r\n"},
      {"texts without fixed text between", [](IsoOutputFile& o) {
         WriteXmlElement<"%s%s">(o, 0, EscapedText{""}, CleanedText{""});
       }, "\r\n"},
      {"smallest number", [](IsoOutputFile& o) { WriteXmlElement<"<N>QRN-%i</N>">(o, 2, std::int32_t{INT_MIN}); },
       "\t\t<N>QRN--2147483648</N>\r\n"},
      {"escaped text up to its NUL", [](IsoOutputFile& o) {
         WriteXmlElement<"<U>%s</U>">(o, 1, EscapedText{"A&<B>\xE9\x80\n\x01\0C&"s});
       }, "\t<U>A&amp;&lt;B&gt;\xC3\xA9\xE2\x82\xAC\r\n </U>\r\n"},
      {"cleaned text",
       [](IsoOutputFile& o) { WriteXmlElement<"<Nm>%s</Nm>">(o, 4, CleanedText{"M\xFCller & S\xF6hne\0x"s}); },
       "\t\t\t\t<Nm>MULLER + SOHNE X</Nm>\r\n"},
      {"longest fixed pieces", [](IsoOutputFile& o) {
         WriteXmlElement<"<ABCDEFGHIJKLMNOPQRSTUVWXYZ01234%s</ABCDEFGHIJKLMNOPQRSTUVWXYZ012>">(o, 0, EscapedText{"x"});
       }, "<ABCDEFGHIJKLMNOPQRSTUVWXYZ01234x</ABCDEFGHIJKLMNOPQRSTUVWXYZ012>\r\n"},
      {"fixed lines of their own depths", [](IsoOutputFile& o) {
         WriteFixedXmlLines<XmlLines{
             {5, "</Id>"}, {0, "<A>"}, {17, "<ABCDEFGHIJKLMNOPQRSTUVWXYZ0123>"}, {3, "</B>"}}>(o);
       }, "\t\t\t\t\t</Id>\r\n<A>\r\n" + std::string(17, '\t') + "<ABCDEFGHIJKLMNOPQRSTUVWXYZ0123>\r\n\t\t\t</B>\r\n"},
      {"plain texts as they stand", [](IsoOutputFile& o) {
         WriteXmlElement<"<InstdAmt Ccy=\"%s\">%s</InstdAmt>">(o, 5, PlainText{"EUR"}, PlainText{"-1234.5"});
       }, "\t\t\t\t\t<InstdAmt Ccy=\"EUR\">-1234.5</InstdAmt>\r\n"},
      {"empty plain text", [](IsoOutputFile& o) { WriteXmlElement<"<Ctry>%s</Ctry>">(o, 1, PlainText{""}); },
       "\t<Ctry></Ctry>\r\n"},
      {"escaped text longer than the buffer", [&](IsoOutputFile& o) {
         WriteXmlElement<"<B>%s</B>">(o, 0, EscapedText{long_text});
       }, "<B>" + long_escaped + "\xC3\xBC</B>\r\n"},
      {"plain text longer than the buffer", [&](IsoOutputFile& o) {
         WriteXmlElement<"<D>%s|%s</D>">(o, 1, PlainText{long_plain}, EscapedText{"<"});
       }, "\t<D>" + long_plain + "|&lt;</D>\r\n"},
      {"runtime line", [](IsoOutputFile& o) { WriteXmlLine(o, 2, "<?xml version=\"1.0\"?>\n\x85"); },
       "\t\t<?xml version=\"1.0\"?>\r\n\xE2\x80\xA6\r\n"},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    IsoOutputFile output(SystemFileSystem());
    OpenIsoOutput(output, dir.Path("out.xml"));
    // Enough copies for three buffers, and one more than a multiple of any line length.
    const std::size_t copies = 3 * BufferedFile::kBufferSize / c.expected.size() + 1;
    std::string expected;
    for (std::size_t i = 0; i < copies; ++i) {
      c.write(output);
      expected += c.expected;
    }
    FinishIsoOutput(output);
    const std::string written = test::ReadWholeFile(dir.Path("out.xml")).value_or("<no file>");
    EXPECT_EQ(expected.size(), written.size()) << c.what;
    EXPECT_TRUE(expected == written) << c.what << ": first line " << written.substr(0, written.find('\n') + 1);
  }
}

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
