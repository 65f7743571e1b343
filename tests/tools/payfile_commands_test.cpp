// End-to-end tests of the other commands of payfile: check-iban, demo, usage errors,
// --help and --version.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/payfile_run.h"

namespace ordexa::payfile_test {
namespace {

TEST(PayfileCheckIban, PrintsTheCompactIbanOrInvalidForEachText) {
  PAYFILE_REQUIRED();
  struct Case {
    std::vector<std::string> texts;
    const char* out;
    int status;
  };
  const Case cases[] = {
      {{"CH93 0076 2011 6238 5295 7"}, "CH9300762011623852957\n", 0},
      {{" ch56 0483 5012 3456 7800 9 ", "de89 3704 0044 0532 0130 00", "LI9708800000000000001"},
       "CH5604835012345678009\nDE89370400440532013000\nLI9708800000000000001\n",
       0},
      {{"CH9300762011623852958"}, "invalid\n", 1},  // one check digit off
      {{"CH040070011000000000"}, "invalid\n", 1},   // remainder 1, but 20 characters
      {{"CH93-0076-2011-6238-5295-7"}, "invalid\n", 1},
      {{"CH9300762011623852957", "", "01-162-8"}, "CH9300762011623852957\ninvalid\ninvalid\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.out);
    test::TempDir dir;
    std::vector<std::string> args = {"check-iban"};
    args.insert(args.end(), c.texts.begin(), c.texts.end());
    const RunResult result = RunPayfile(dir, args);
    EXPECT_EQ(c.status, result.status);
    EXPECT_EQ(c.out, result.out);
  }
}

TEST(PayfileDemo, WritesFourFilesAndReportsEach) {
  PAYFILE_REQUIRED();
  test::TempDir dir;
  const RunResult result = RunPayfile(dir, {"demo", "files", "--now", "2024-06-20T09:30:15"});
  ASSERT_EQ(0, result.status) << result.err;
  const char* names[] = {"salaries.dta", "salaries.ezag", "salaries-ch.xml", "salaries-generic.xml"};
  std::istringstream lines(result.out);
  for (const char* name : names) {
    SCOPED_TRACE(name);
    const std::string path = dir.Path(std::string("files/") + name);
    ASSERT_TRUE(std::filesystem::exists(path));
    const auto size = std::filesystem::file_size(path);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ("files/" + std::string(name) + ": " + std::to_string(size) + " bytes, 12 payments", line);
  }
  // Twelve payments that every format carries: 7 TA 836, 2 TA 827 and 3 TA 826 records and
  // the total; EZAG: header, twelve payment records and the total, 701 bytes each.
  EXPECT_EQ((7u * 5 + 2u * 4 + 3u * 3 + 1) * 128, std::filesystem::file_size(dir.Path("files/salaries.dta")));
  EXPECT_EQ(14u * 701, std::filesystem::file_size(dir.Path("files/salaries.ezag")));
}

TEST(PayfileDemo, WritesIsoFilesTheSchemasAccept) {
  PAYFILE_REQUIRED();
  const std::filesystem::path schemas = std::filesystem::path(ORDEXA_SHARED_DIR) / "xsd";
  if (!std::filesystem::exists(schemas) || std::system("xmllint --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "needs xmllint and the schemas in " << schemas;
  }
  test::TempDir dir;
  ASSERT_EQ(0, RunPayfile(dir, {"demo", "files"}).status);
  const struct {
    const char* file;
    const char* schema;
  } cases[] = {{"salaries-ch.xml", "pain.001.001.03.ch.02.xsd"}, {"salaries-generic.xml", "pain.001.001.03.xsd"}};
  for (const auto& c : cases) {
    const std::string command = "xmllint --noout --schema " + ShellQuoted((schemas / c.schema).string()) + " " +
                                ShellQuoted(dir.Path(std::string("files/") + c.file)) + " 2>/dev/null";
    EXPECT_EQ(0, std::system(command.c_str())) << c.file;
  }
}

TEST(Payfile, RefusesUsageErrorsWithStatusTwo) {
  PAYFILE_REQUIRED();
  struct Case {
    std::vector<std::string> args;
    const char* message;  // part of standard error
  };
  const Case cases[] = {
      {{}, "A command is required"},
      {{"print"}, "not expected: print"},
      {{"write", "batch.json", "--out", "x.dta"}, "--type is required"},
      {{"write", "batch.json", "--type", "pdf", "--out", "x.pdf"}, "pdf"},
      {{"write", "--type", "dta", "--out", "x.dta"}, "batch is required"},
      {{"write", "batch.json", "--type", "dta", "--out", "x.dta", "--now", "2024-06-31T10:00:00"},
       "\"2024-06-31T10:00:00\" has no day 31 in June 2024"},
      {{"write", "batch.json", "--type", "dta", "--out", "x.dta", "--now", "2024-06-20"}, "is not of the form"},
      {{"write", "missing.json", "--type", "dta", "--out", "x.dta"}, "missing.json: cannot be read"},
      {{"check-iban"}, "text is required"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    test::TempDir dir;
    WriteBytes(dir.Path("batch.json"), R"({"payments": [{"PayType": 9}]})");
    const RunResult result = RunPayfile(dir, c.args);
    EXPECT_EQ(2, result.status);
    EXPECT_NE(std::string::npos, result.err.find(c.message)) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("x.dta")));
  }
}

TEST(Payfile, AnswersHelpOnEveryCommandAndVersion) {
  PAYFILE_REQUIRED();
  struct Case {
    std::vector<std::string> args;
    const char* text;  // part of standard output
  };
  const Case cases[] = {
      {{"--help"}, "Usage: payfile"},
      {{"write", "--help"}, "--period"},
      {{"check-iban", "--help"}, "Usage: payfile check-iban"},
      {{"demo", "--help"}, "demo-out"},
      {{"--version"}, "payfile "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    test::TempDir dir;
    const RunResult result = RunPayfile(dir, c.args);
    EXPECT_EQ(0, result.status);
    EXPECT_NE(std::string::npos, result.out.find(c.text)) << result.out;
  }
}

}  // namespace
}  // namespace ordexa::payfile_test
