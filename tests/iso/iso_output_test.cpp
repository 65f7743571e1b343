// The ISO document's text output: every byte value at every position of a text, alone and
// among printable runs that are copied word by word, reaches the file in its document form.
#include "iso/iso_output.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/cp1252.h"
#include "support/files.h"
#include "support/temp_dir.h"

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

TEST(IsoOutput, EveryByteAtEveryPositionOfARun) {
  test::TempDir dir;
  const std::string context = "Bahnhofstrasse 12, Postfach 8001";
  IsoOutputFile output(SystemFileSystem());
  OpenIsoOutput(output, dir.Path("out.xml"));
  std::string expected;
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<unsigned char>(value);
    for (std::size_t at = 0; at < 17; ++at) {
      std::string text = context.substr(0, 24);
      text[at] = static_cast<char>(byte);
      WriteXmlText(output, text);
      WriteXmlElement(output, 1, "<A>%s</A>", EscapedText{text});
      const std::string before = context.substr(0, at);
      const std::string after = context.substr(at + 1, 24 - at - 1);
      expected += before + DocumentForm(byte, false) + after;
      // An escaped text ends at its first NUL, as a C string does.
      expected += "\t<A>" + before + (byte == 0 ? "" : DocumentForm(byte, true) + after) + "</A>\r\n";
    }
  }
  FinishIsoOutput(output);
  const std::string written = test::ReadWholeFile(dir.Path("out.xml")).value_or("<no file>");
  ASSERT_EQ(expected.size(), written.size());
  EXPECT_TRUE(expected == written);
}

TEST(IsoOutput, CleanedTextsAndLongPiecesAreWrittenWhole) {
  test::TempDir dir;
  IsoOutputFile output(SystemFileSystem());
  OpenIsoOutput(output, dir.Path("out.xml"));
  // Longer than a conversion piece and than the buffer once escaped: 30,000 entities.
  const std::string long_text = std::string(30000, '&') + "\xFC";
  WriteXmlElement(output, 0, "<B>%s</B>", EscapedText{long_text});
  WriteXmlElement(output, 2, "<C>%s</C>", CleanedText{"M\xFCller & <S\xF6hne>\n"});
  WriteXmlLine(output, 20, "x");
  FinishIsoOutput(output);
  std::string expected = "<B>";
  for (int i = 0; i < 30000; ++i) expected += "&amp;";
  expected += "\xC3\xBC</B>\r\n\t\t<C>MULLER +  SOHNE  </C>\r\n" + std::string(20, '\t') + "x\r\n";
  EXPECT_TRUE(expected == test::ReadWholeFile(dir.Path("out.xml")).value_or("<no file>"));
}

}  // namespace
}  // namespace ordexa
