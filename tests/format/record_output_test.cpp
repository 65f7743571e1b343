// Tests of the record field conventions and of the buffered output and its write failure.
#include "format/record_output.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "failure/failure.h"
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
      {"000012345", FormatRecordText("%09.9s", "12345")},
      {"123456789", FormatRecordText("%09.9s", "1234567890")},
      {"         ABC", FormatRecordText("%12s", "ABC")},
      {"1234567890123", FormatRecordText("%12s", "1234567890123")},
      {"01AB   X", FormatRecordText("01%-5.5s%c", "AB", 'X')},
      {"-00007", FormatRecordText("%05.5ld", -7)},
      {"123456", FormatRecordText("%05.5ld", 123456)},
      {"0001", FormatRecordText("%04.4hd", std::int16_t{1})},
      {"-1901-1-1", FormatRecordText("%02d%02d%02d", -1901, -1, -1)},
      {"-00042", FormatRecordText("%06d", -42)},
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
      {"02", FormatRecordText("02")},
      {"03/C/", FormatRecordText("03/C/")},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, c.actual);
}

TEST(FormatShortRecordText, GivesTheTextOfFormatRecordText) {
  const struct {
    std::string expected;
    ShortRecordText actual;
    std::string long_form;
  } cases[] = {
      {"M0100010005", FormatShortRecordText("%03.3s%04.4hd%04.4ld", "M01", std::int16_t{1}, 5),
       FormatRecordText("%03.3s%04.4hd%04.4ld", "M01", std::int16_t{1}, 5)},
      {"M010001-2147483648", FormatShortRecordText("%03.3s%04.4hd%04.4ld", "M01", std::int16_t{1}, -2147483647 - 1),
       FormatRecordText("%03.3s%04.4hd%04.4ld", "M01", std::int16_t{1}, -2147483647 - 1)},
      {"-1901-1-1", FormatShortRecordText("%02d%02d%02d", -1901, -1, -1), FormatRecordText("%02d%02d%02d", -1901, -1, -1)},
      {"0012MUL", FormatShortRecordText("%04.4s%-3.3s", "12", CleanedRecordText{"m\xFCller"}),
       FormatRecordText("%04.4s%-3.3s", "12", CleanedRecordText{"m\xFCller"})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, c.actual.view());
    EXPECT_EQ(c.long_form, c.actual.view());
  }
  // Formats that could give more than the short text holds are refused whatever the text.
  EXPECT_THROW(FormatShortRecordText("%s", "x"), std::logic_error);
  EXPECT_THROW(FormatShortRecordText("%-49.49s", ""), std::logic_error);
}

TEST(RecordOutput, WritesPiecesInOrderAcrossTheBuffer) {
  test::TempDir dir;
  const FileSystem& fs = SystemFileSystem();
  FileStatus status;
  RecordOutput out(fs, fs.Create(dir.Path("big.dta"), status));
  ASSERT_TRUE(status);
  std::string expected = "AB\n";
  WriteRecordText(out, "AB\n");
  const std::string piece(1000, 'x');
  for (int i = 0; i < 200; ++i) {
    WriteRecordText(out, "%05.5ld%s", i, piece);
    expected += FormatRecordText("%05.5ld", i) + piece;
  }
  const std::string huge(3 * BufferedFile::kBufferSize + 7, 'y');
  WriteRecordText(out, "%-300000.300000s", huge);
  expected += huge + std::string(300000 - huge.size(), ' ');
  WriteRecordText(out, "%s", CleanedRecordText{huge});
  expected += std::string(huge.size(), 'Y');
  out.Close();
  EXPECT_EQ(expected, test::ReadWholeFile(dir.Path("big.dta")));
}

TEST(RecordOutput, FailedWriteRaisesWriteFileErrorWithItsStatus) {
  test::TempDir dir;
  const test::FaultyFileSystem disk_full(test::FaultyFileSystem::Call::kWrite, 1, ERROR_DISK_FULL);
  FileStatus status;
  RecordOutput out(disk_full, disk_full.Create(dir.Path("full.dta"), status));
  WriteRecordText(out, "%-128.128s", "01");
  try {
    out.Close();
    FAIL() << "no failure raised";
  } catch (const MPayError& error) {
    EXPECT_EQ(IDS_WRITE_FILE_ERROR, error.id());
    EXPECT_EQ("Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x80070070", error.text());
  }
}

}  // namespace
}  // namespace ordexa
