// Record formatter: every field convention the record layouts rely on, and the buffered
// output with its write-failure funnel.
#include "format/record_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "model/failure/failure.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

TEST(FormatRecordText, TextFieldConventions) {
  struct Case {
    std::string expected;
    std::string actual;
  };
  const std::string ten_digits = "1234567890";
  const Case cases[] = {
      {"ABCDE", FormatRecordText("%-5.5s", "ABCDEFG")},
      {"AB   ", FormatRecordText("%-5.5s", "AB")},
      {"000012345", FormatRecordText("%09.9s", "12345")},
      {"123456789", FormatRecordText("%09.9s", ten_digits)},
      {"000000000", FormatRecordText("%09.9s", "")},
      {"            ", FormatRecordText("%12s", " ")},
      {"   230315", FormatRecordText("%9s", "230315")},
      {"1050315", FormatRecordText("%6s", "1050315")},  // right-aligned text is never cut
      {"AB", FormatRecordText("%s", "AB")},
      {"01AB   X", FormatRecordText("01%-5.5s%c", "AB", 'X')},
      {"    x", FormatRecordText("%5c", 'x')},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, c.actual);
}

TEST(FormatRecordText, NumberFieldConventions) {
  struct Case {
    std::string expected;
    std::string actual;
  };
  const Case cases[] = {
      {"00007", FormatRecordText("%05.5ld", 7)},
      {"123456", FormatRecordText("%05.5ld", 123456)},
      {"-00007", FormatRecordText("%05.5ld", -7)},
      {"0001", FormatRecordText("%04.4hd", std::int16_t{1})},
      {"07", FormatRecordText("%02d", 7)},
      {"-1", FormatRecordText("%02d", -1)},
      {"-1901-1-1", FormatRecordText("%02d%02d%02d", -1901, -1, -1)},
      {"000042", FormatRecordText("%06d", 42)},
      {"-00042", FormatRecordText("%06d", -42)},
      {"2147483647", FormatRecordText("%05.5ld", 2147483647)},
      {"-2147483648", FormatRecordText("%d", std::int32_t{-2147483647 - 1})},
      {"   42", FormatRecordText("%5d", 42)},
      {"42   ", FormatRecordText("%-5d", 42)},
      {"", FormatRecordText("%.0d", 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, c.actual);
}

TEST(FormatRecordText, TextEndsAtItsFirstNul) {
  const std::string with_nul("AB\0CD", 5);
  EXPECT_EQ("AB   ", FormatRecordText("%-5.5s", with_nul));
}

TEST(FormatRecordText, TransactionNumberFormsCutByTheOuterField) {
  const std::string number = FormatRecordText("%03.3s%04.4hd%04.4ld", "M01", std::int16_t{1}, 12345);
  EXPECT_EQ("M01000112345", number);
  EXPECT_EQ("M0100011234", FormatRecordText("%011.11s", number));
}

// Fails every write with a chosen Win32 code; everything else goes to the real file system.
class FailingWrites : public FileSystem {
 public:
  explicit FailingWrites(std::uint32_t error) : error_(error) {}
  FileStatus Write(FileHandle, const char*, std::size_t) const override { return FileStatus{error_}; }

 private:
  std::uint32_t error_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(RecordOutput, WritesPiecesInOrderWithoutSeparators) {
  test::TempDir dir;
  const std::string path = dir.Path("out.dta");
  FileStatus status;
  const FileSystem& fs = SystemFileSystem();
  RecordOutput out(fs, fs.Create(path, status));
  ASSERT_TRUE(status);
  WriteRecordText(out, "AB");
  WriteRecordText(out, "%s", "CD");
  WriteRecordText(out, "%-3.3s\n", "E");
  out.Close();
  EXPECT_EQ("ABCDE  \n", ReadFile(path));
}

TEST(RecordOutput, LongTextsCrossTheBufferWhole) {
  test::TempDir dir;
  const std::string path = dir.Path("big.dta");
  FileStatus status;
  const FileSystem& fs = SystemFileSystem();
  std::string expected;
  {
    RecordOutput out(fs, fs.Create(path, status));
    const std::string piece(1000, 'x');
    for (int i = 0; i < 200; ++i) {
      WriteRecordText(out, "%05.5ld%s", i, piece);
      expected += FormatRecordText("%05.5ld", i) + piece;
    }
    const std::string huge(3 * BufferedFile::kBufferSize + 7, 'y');
    WriteRecordText(out, "%-300000.300000s", huge);
    expected += huge + std::string(300000 - huge.size(), ' ');
    out.Close();
  }
  EXPECT_EQ(expected, ReadFile(path));
}

TEST(RecordOutput, FailedWriteRaisesWriteFileErrorWithItsStatus) {
  test::TempDir dir;
  FailingWrites disk_full(ERROR_DISK_FULL);
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

TEST(RecordOutput, WriteFailureWithoutErrorCodeIsNoFailure) {
  test::TempDir dir;
  FailingWrites no_code(ERROR_SUCCESS);
  FileStatus status;
  RecordOutput out(no_code, no_code.Create(dir.Path("zero.dta"), status));
  WriteRecordText(out, "%-128.128s", "01");
  EXPECT_NO_THROW(out.Close());
}

}  // namespace
}  // namespace ordexa
