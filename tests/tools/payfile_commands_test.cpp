// End-to-end tests of the other command lines of payfile: demo, check-iban, usage errors,
// --help and --version.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/payfile_run.h"

namespace ordexa::payfile_test {
namespace {

using PayfileCommands = PayfileTest;

TEST_F(PayfileCommands, DemoWritesFourFilesAndReportsEach) {
  test::TempDir dir;
  const RunResult result = RunPayfile(dir, {"demo", "files", "--now", "2024-06-20T09:30:15"});
  ASSERT_EQ(0, result.status) << result.err;
  std::istringstream lines(result.out);
  for (const std::string name : {"salaries.dta", "salaries.ezag", "salaries-ch.xml", "salaries-generic.xml"}) {
    SCOPED_TRACE(name);
    const std::string path = dir.Path("files/" + name);
    std::string line;
    std::getline(lines, line);
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ("files/" + name + ": " + std::to_string(std::filesystem::file_size(path)) + " bytes, 12 payments", line);
  }
  // DTA: 7 TA 836, 2 TA 827 and 3 TA 826 records and the total; EZAG: header, 12 payments, total.
  EXPECT_EQ((7u * 5 + 2u * 4 + 3u * 3 + 1) * 128, std::filesystem::file_size(dir.Path("files/salaries.dta")));
  EXPECT_EQ(14u * 701, std::filesystem::file_size(dir.Path("files/salaries.ezag")));
}

TEST_F(PayfileCommands, AnswersEachCommandLineWithItsStatusAndText) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* text;  // part of standard output, or of standard error for status 2
  } cases[] = {
      {{"--help"}, 0, "Usage: payfile"},
      {{"write", "--help"}, 0, "--period"},
      {{"--version"}, 0, "payfile "},
      {{"check-iban", " ch56 0483 5012 3456 7800 9 ", "de89 3704 0044 0532 0130 00", "LI9708800000000000001"},
       0,
       "CH5604835012345678009\nDE89370400440532013000\nLI9708800000000000001\n"},
      // One check digit off; remainder 1 but 20 characters; dashes; empty; a post account; then a valid one.
      {{"check-iban", "CH9300762011623852958", "CH040070011000000000", "CH93-0076-2011-6238-5295-7", "", "01-162-8",
        "CH9300762011623852957"},
       1,
       "invalid\ninvalid\ninvalid\ninvalid\ninvalid\nCH9300762011623852957\n"},
      {{}, 2, "A command is required"},
      {{"write", "batch.json", "--out", "x.dta"}, 2, "--type is required"},
      {{"write", "batch.json", "--type", "pdf", "--out", "x.dta"}, 2, "pdf"},
      {{"write", "batch.json", "--type", "dta", "--out", "x.dta", "--now", "2024-06-31T10:00:00"},
       2,
       "\"2024-06-31T10:00:00\" has no day 31 in June 2024"},
      {{"write", "batch.json", "--type", "dta", "--out", "x.dta", "--now", "2024-06-20"}, 2, "is not of the form"},
      {{"write", "missing.json", "--type", "dta", "--out", "x.dta"}, 2, "missing.json: cannot be read"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    test::TempDir dir;
    test::WriteWholeFile(dir.Path("batch.json"), R"({"payments": [{"PayType": 9}]})");
    const RunResult result = RunPayfile(dir, c.args);
    EXPECT_EQ(c.status, result.status);
    const std::string& shown = c.status == 2 ? result.err : result.out;
    EXPECT_NE(std::string::npos, shown.find(c.text)) << shown;
    EXPECT_FALSE(ReadWholeFile(dir.Path("x.dta")));
  }
}

}  // namespace
}  // namespace ordexa::payfile_test
