// Texts of every length up to three words: the last bytes of a text that is not a whole
// number of words are copied in one move when they can be, and must come out the same.
#include "xml/iso_output.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/cp1252.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

TEST(IsoOutput, EveryByteAtEveryPlaceOfTextsOfEveryLength) {
  test::TempDir dir;
  const std::string context = "Seestrasse 7, 8001 Zuerich";
  IsoOutputFile output(SystemFileSystem());
  OpenIsoOutput(output, dir.Path("out.xml"));
  std::string expected;
  for (const unsigned char byte : {0x00, 0x09, 0x0A, 0x1F, 0x26, 0x3C, 0x3E, 0x41, 0x7F, 0x80, 0xE4, 0xFF}) {
    for (std::size_t size = 1; size <= 24; ++size) {
      for (std::size_t at = 0; at < size; ++at) {
        std::string text = context.substr(0, size);
        text[at] = static_cast<char>(byte);
        WriteXmlElement(output, 1, "<A>%s</A>", EscapedText{text});
        // A NUL ends an escaped text; "&", "<", ">" become entities, 1252 becomes UTF-8.
        std::string form = Cp1252ToUtf8(std::string(1, static_cast<char>(byte)));
        if (byte == '&') form = "&amp;";
        if (byte == '<') form = "&lt;";
        if (byte == '>') form = "&gt;";
        if (byte == '\n') form = "\r\n";
        if (byte == 0x1F) form = " ";
        const std::string tail = byte == 0 ? "" : form + context.substr(at + 1, size - at - 1);
        expected += "\t<A>" + context.substr(0, at) + tail + "</A>\r\n";
      }
    }
  }
  FinishIsoOutput(output);
  const std::string written = test::ReadWholeFile(dir.Path("out.xml")).value_or("<no file>");
  ASSERT_EQ(expected.size(), written.size());
  EXPECT_TRUE(expected == written);
}

}  // namespace
}  // namespace ordexa
