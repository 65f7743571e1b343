// The 2019 document texts of every length up to three words, with every byte value at
// every place: the word-at-a-time paths must agree with the texts taken byte by byte.
#include "iso2019/iso2019_text.h"

#include <gtest/gtest.h>

#include <string>

namespace ordexa::test {
namespace {

std::string Trimmed(const std::string& text) { return std::string(TrimBlanks(text)); }

TEST(Iso2019Text, WordsAndLastBytesAgreeWithTheTextTakenByteByByte) {
  const std::string context = " hans m\xFCller-meier, bahnhofstr 5 ";
  std::string scratch, assigned;
  for (int value = 0; value < 256; ++value) {
    for (std::size_t size = 1; size <= 24; ++size) {
      for (std::size_t at = 0; at < size; ++at) {
        std::string text = context.substr(0, size);
        text[at] = static_cast<char>(value);
        std::string upper;
        for (const char c : text) {
          if (c != ' ') upper.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
        }
        ASSERT_EQ(upper, UpperAscii(text)) << value << " at " << at << " of " << size;
        for (const bool swiss : {true, false}) {
          std::string byte_by_byte;
          for (const char c : text) AppendDocumentText(byte_by_byte, std::string_view(&c, 1), swiss);
          const std::string expected = Trimmed(byte_by_byte);
          AssignDocumentText(assigned, text, swiss);
          ASSERT_EQ(expected, assigned) << value << " at " << at << " of " << size << (swiss ? " swiss" : "");
          ASSERT_EQ(expected, AsDocumentText(text, swiss, scratch));
          ASSERT_EQ(expected.empty(), IsEmptyDocumentText(text, swiss));
        }
      }
    }
  }
}

}  // namespace
}  // namespace ordexa::test
