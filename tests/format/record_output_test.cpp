// Tests of the record field conventions and of the buffered output across its buffer.
#include "format/record_output.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "support/files.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

TEST(FormatRecordText, FieldConventions) {
  const struct {
    std::string expected;
    std::string actual;
  } cases[] = {
      {"ABCDE", FormatRecordText("%-5.5s", "ABCDEFG")},
      {"AB   ", FormatRecordText("%-5.5s", std::string("AB\0CD", 5))},  // a text ends at its NUL
      {"000012345", FormatRecordText("%09.9s", "12345")}, {"123456789", FormatRecordText("%09.9s", "1234567890")},
      {"         ABC", FormatRecordText("%12s", "ABC")}, {"1234567890123", FormatRecordText("%12s", "1234567890123")},
      {"01AB   X", FormatRecordText("01%-5.5s%c", "AB", 'X')}, {"-00007", FormatRecordText("%05.5ld", -7)},
      {"123456", FormatRecordText("%05.5ld", 123456)}, {"0001", FormatRecordText("%04.4hd", std::int16_t{1})},
      {"-1901-1-1", FormatRecordText("%02d%02d%02d", -1901, -1, -1)}, {"-00042", FormatRecordText("%06d", -42)},
      {"-2147483648", FormatRecordText("%d", std::int32_t{-2147483647 - 1})},
      // Cleaned as written: a NUL is a blank there, not the end of the text.
      {"MUL X |000AB", FormatRecordText("%-6.6s|%05.5s", CleanedRecordText{std::string_view("m\xFCl\0x", 5)},
                                        CleanedRecordText{"ab"})},
      {"ZURICH", FormatRecordText("%-6.6s", CleanedRecordText{"Z\xFCrich-Oerlikon"})},
      // One line: line breaks are blanks, and the text still ends at its NUL.
      {"A  B |0C D", FormatRecordText("%-5.5s|%04.4s", SingleLineRecordText{"A\r\nB"},
                                      SingleLineRecordText{std::string_view("C\nD\0E", 5)})},
      {"\xFC X  ", FormatRecordText("%-5.5s", SingleLineRecordText{"\xFC\rX"})},
      // A format without fields is its literal text (a segment's number).
      {"02", FormatRecordText("02")}, {"03/C/", FormatRecordText("03/C/")},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, c.actual);
}

// The short text of the transaction number: formats that could give more than it holds
// are refused whatever the text.
TEST(FormatShortRecordText, RefusesFormatsLongerThanItHolds) {
  EXPECT_EQ("M0100010005", FormatShortRecordText("%03.3s%04.4hd%04.4ld", "M01", std::int16_t{1}, 5).view());
  EXPECT_THROW(FormatShortRecordText("%s", "x"), std::logic_error);
  EXPECT_THROW(FormatShortRecordText("%-49.49s", ""), std::logic_error);
}

// The bytes of a file into which `write` wrote one record `copies` times, so that the
// copies fall at every place of the buffer, across the points where it is written out.
std::string WrittenRepeatedly(const std::function<void(RecordOutput&)>& write, std::size_t copies) {
  test::TempDir dir;
  const FileSystem& fs = SystemFileSystem();
  FileStatus status;
  RecordOutput out(fs, fs.Create(dir.Path("records.dta"), status));
  if (!status) return "(the file could not be made)";
  for (std::size_t i = 0; i < copies; ++i) write(out);
  out.Close();
  return test::ReadWholeFile(dir.Path("records.dta")).value_or("");
}

// Fills of every length around the one-move limit, blanks and zeros, in front of and
// behind texts and numbers; and formats compiled into per-field code, which must give the
// bytes of the general formatter: fixed fields with short, exact, over-long and NUL-ended
// texts, fields that fall back to the general rules (numbers out of their digits, uncut
// texts beyond their width, very wide fields), fields that differ only in their flags.
// Each record is written again and again so that its copies fall at every place of the
// buffer, across the points where it is written out.
TEST(RecordOutput, RecordsOfEveryShapeAcrossBufferBoundaries) {
  const auto blanks = [](std::size_t n) { return std::string(n, ' '); };
  const auto zeros = [](std::size_t n) { return std::string(n, '0'); };
  const std::string amount = "3075,35";
  const std::string long_text(150, 'q');
  const std::string nul_text("AB\0CD", 5);
  const std::string huge(3 * BufferedFile::kBufferSize + 7, 'y');  // a field longer than the buffer
  static_assert(3 * BufferedFile::kBufferSize + 7 < 900000, "the wide field below is wider than `huge`");
  struct Case {
    std::function<void(RecordOutput&)> write;
    std::string expected;
  };
  const Case cases[] = {
      {[](RecordOutput& o) { WriteRecordText(o, "%-2.2s|%02.2s|%2s|%02.2ld\n", "AB", "AB", "AB", 7); },
       "AB|AB|AB|07\n"},
      {[](RecordOutput& o) { WriteRecordText(o, "%-34.34s|%034.34s|%34s|%034.34ld\n", "AB", "AB", "AB", 7); },
       "AB" + blanks(32) + "|" + zeros(32) + "AB|" + blanks(32) + "AB|" + zeros(32) + "07\n"},
      {[](RecordOutput& o) { WriteRecordText(o, "%-35.35s|%035.35s|%35s|%035.35ld\n", "AB", "AB", "AB", 7); },
       "AB" + blanks(33) + "|" + zeros(33) + "AB|" + blanks(33) + "AB|" + zeros(33) + "07\n"},
      {[](RecordOutput& o) { WriteRecordText(o, "%-112.112s|%0112.112s|%112s|%7ld|%-5c\n", "", "", "", -7, 'x'); },
       blanks(112) + "|" + zeros(112) + "|" + blanks(112) + "|" + blanks(5) + "-7|x" + blanks(4) + "\n"},
      {[](RecordOutput& o) { WriteRecordText(o, "%-33.33s%33s", CleanedRecordText{"m\xFC"}, CleanedRecordText{"\xE9"}); },
       "MU" + blanks(31) + blanks(32) + "E"},
      {[&](RecordOutput& o) { PutRecordText<"%-15.15s|%015.15s|%15s">(o, amount, amount, amount); },
       "3075,35        |000000003075,35|        3075,35"},
      {[&](RecordOutput& o) { PutRecordText<"01%-5.5s%05.5s%-3.3s">(o, nul_text, nul_text, long_text); },
       "01AB   000ABqqq"},
      {[](RecordOutput& o) {
         PutRecordText<"%05.5ld|%05.5ld|%05.5ld|%04.4hd|%02d|%8.8ld">(o, 7, 123456, -7, std::int16_t{1}, 5, 99999999);
       },
       "00007|123456|-00007|0001|05|99999999"},
      {[](RecordOutput& o) { PutRecordText<"%c|%3c|%-3c">(o, 'a', 'b', 'c'); }, "a|  b|c  "},
      {[&](RecordOutput& o) { PutRecordText<"%6s|%-6s|%06s|%6s|%s">(o, " ", "AB", "AB", long_text, ""); },
       "      |AB    |0000AB|" + long_text + "|"},
      {[](RecordOutput& o) {
         PutRecordText<"%-6.6s|%06.6s|%-4.4s">(o, CleanedRecordText{"m\xFCl\0x"}, CleanedRecordText{"ab"},
                                              SingleLineRecordText{"A\r\nB"});
       },
       "MUL   |0000AB|A  B"},
      {[&](RecordOutput& o) { PutRecordText<"%-140.140s|%0140.140s|%.3s|%5.3s">(o, amount, amount, long_text, "x"); },
       amount + std::string(133, ' ') + "|" + std::string(133, '0') + amount + "|qqq|    x"},
      {[](RecordOutput& o) { PutRecordText<"03/C/\n">(o); }, "03/C/\n"},
      {[&](RecordOutput& o) { WriteRecordText(o, "%-900000.900000s|%s", huge, CleanedRecordText{huge}); },
       huge + blanks(900000 - huge.size()) + "|" + std::string(huge.size(), 'Y')},
  };
  for (const Case& c : cases) {
    const std::size_t copies = 3 * BufferedFile::kBufferSize / c.expected.size() + 1;
    std::string expected;
    for (std::size_t i = 0; i < copies; ++i) expected += c.expected;
    EXPECT_TRUE(expected == WrittenRepeatedly(c.write, copies)) << c.expected;
  }
}

}  // namespace
}  // namespace ordexa
