// End-to-end tests of the other command lines of payfile: demo, schema, check-iban, usage
// errors, --help and --version (check: the write tests).
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/payfile_run.h"

namespace ordexa::payfile_test {
namespace {

using PayfileCommands = PayfileTest;

// The demo reports each file it writes, its batches are templates that write its files
// again, its files pass inspection, and its 2019 files are the expected ones byte for byte:
// every kind the 2019 demo batch holds (domestic, postal account, SEPA, QR-bill, creditor
// reference, other account) in both flavours.
TEST_F(PayfileCommands, DemoWritesItsBatchesAndFilesWhichTheBatchesWriteAgain) {
  test::TempDir dir;
  const RunResult result = RunPayfile(dir, {"demo", "files", "--now", "2026-12-20T10:30:15"});
  ASSERT_EQ(0, result.status) << result.err;
  std::istringstream lines(result.out);
  const struct {
    const char* name;
    std::vector<std::string> options;  // to write it again; none for a batch
    const char* schema = "";           // that `payfile inspect` validates it against
    const char* expected = nullptr;    // the expected file in tests/tools/data
  } files[] = {
      {"batch.json", {}}, {"salaries.dta", {"--type", "dta"}}, {"salaries.ezag", {"--type", "ezag"}},
      {"salaries-ch.xml", {"--type", "iso", "--ch", "--period", "2024-06"}, "pain.001.001.03.ch.02.xsd"},
      {"salaries-generic.xml", {"--type", "iso", "--period", "2024-06"}, "pain.001.001.03.xsd"},
      {"batch-2019.json", {}},
      // --strict: the 2019 demo batch gives the 2019 writer nothing to refuse, cut or note.
      {"salaries-2019-ch.xml", {"--type", "iso2019", "--ch", "--period", "2026-12", "--strict"},
       "pain.001.001.09.ch.03.xsd", "demo-2019-ch.xml"},
      {"salaries-2019.xml", {"--type", "iso2019", "--period", "2026-12", "--strict"}, "pain.001.001.09.xsd",
       "demo-2019-generic.xml"},
  };
  const std::string xsd = std::string(ORDEXA_SHARED_DIR) + "/xsd/";
  const bool schemas = ReadWholeFile(xsd + "pain.001.001.03.xsd").has_value();
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    const std::string path = dir.Path(std::string("files/") + file.name);
    std::string line;
    std::getline(lines, line);
    ASSERT_TRUE(std::filesystem::exists(path));
    const bool batch = file.options.empty();
    EXPECT_EQ(std::string("files/") + file.name + ": " +
                  (batch ? "the batch" : std::to_string(std::filesystem::file_size(path)) + " bytes") + ", 12 payments",
              line);
    if (batch) continue;
    const std::string written = ReadWholeFile(path).value_or("");
    EXPECT_TRUE(SameBytes(file.expected ? ReadWholeFile(DataPath(file.expected)).value_or("?") : written, written));
    std::vector<std::string> args = {"write", file.options[1] == "iso2019" ? "files/batch-2019.json" : "files/batch.json",
                                     "--out", "again", "--now", "2026-12-20T10:30:15"};
    args.insert(args.end(), file.options.begin(), file.options.end());
    const RunResult again = RunPayfile(dir, args);
    EXPECT_EQ(0, again.status) << again.err;
    EXPECT_TRUE(SameBytes(written, ReadWholeFile(dir.Path("again")).value_or("")));
    // Inspecting it finds nothing, its schema included where there is one.
    std::vector<std::string> inspect = {"inspect", "--problems", path};
    if (schemas && *file.schema != '\0') inspect.insert(inspect.end(), {"--schema", xsd + file.schema});
    const RunResult inspected = RunPayfile(dir, inspect);
    EXPECT_EQ(0, inspected.status) << inspected.out << inspected.err;
    EXPECT_TRUE(inspected.out.ends_with(", passes\n")) << inspected.out;
  }
  // DTA: 7 TA 836, 2 TA 827 and 3 TA 826 records and the total; EZAG: header, 12 payments, total.
  EXPECT_EQ((7u * 5 + 2u * 4 + 3u * 3 + 1) * 128, std::filesystem::file_size(dir.Path("files/salaries.dta")));
  EXPECT_EQ(14u * 701, std::filesystem::file_size(dir.Path("files/salaries.ezag")));
}

TEST_F(PayfileCommands, SchemaPrintsTheSchemaFileOfTheRepository) {
  test::TempDir dir;
  const RunResult result = RunPayfile(dir, {"schema"});
  EXPECT_EQ(0, result.status);
  const std::string schema_file =
      (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "tools/payfile/batch.schema.json")
          .string();
  EXPECT_TRUE(SameBytes(ReadWholeFile(schema_file).value_or("?"), result.out));
}

TEST_F(PayfileCommands, AnswersEachCommandLineWithItsStatusAndText) {
  const struct {
    std::vector<std::string> args;
    int status;
    const char* text;  // part of standard output, or of standard error for status 2
  } cases[] = {
      {{"--help"}, 0, "Usage: payfile"}, {{"write", "--help"}, 0, "an existing file is replaced"},
      {{"check", "--help"}, 0, "Exit status 0 without warnings, 1 with warnings"}, {{"--version"}, 0, "payfile "},
      {{"check-iban", " ch56 0483 5012 3456 7800 9 ", "de89 3704 0044 0532 0130 00", "LI9708800000000000001"},
       0,
       "CH5604835012345678009\nDE89370400440532013000\nLI9708800000000000001\n"},
      // One check digit off; check digits off to remainder 0; remainder 1 but 20 characters; dashes;
      // empty; a post account; an unknown country; no country; then a valid one.
      {{"check-iban", "CH9300762011623852958", "CH9200762011623852957", "CH040070011000000000",
        "CH93-0076-2011-6238-5295-7", "", "01-162-8", "QQ9300762011623852957", "9300762011623852957",
        "CH9300762011623852957"},
       1,
       "invalid: its check digits 93 do not match the rest\n"
       "invalid: its check digits 92 do not match the rest\n"
       "invalid: 20 characters; an IBAN of CH has 21\n"
       "invalid: \"-\" is no IBAN character (letters, digits and blanks only)\n"
       "invalid: empty\n"
       "invalid: \"-\" is no IBAN character (letters, digits and blanks only)\n"
       "invalid: QQ is no country of the IBAN registry\n"
       "invalid: an IBAN starts with a country code and two check digits, such as CH93\n"
       "CH9300762011623852957\n"},
      {{}, 2, "A command is required"}, {{"write", "batch.json", "--out", "x.dta"}, 2, "--type is required"},
      {{"write", "batch.json", "--type", "pdf", "--out", "x.dta"}, 2, "pdf"},
      {{"write", "batch.json", "--type", "dta", "--out", "x.dta", "--now", "2024-06-31T10:00:00"},
       2,
       "\"2024-06-31T10:00:00\" has no day 31 in June 2024"},
      {{"write", "missing.json", "--type", "dta", "--out", "x.dta"}, 2, "missing.json: cannot be read"},
      {{"write", ".", "--type", "dta", "--out", "x.dta"}, 2, ".: cannot be read: Is a directory"},
      {{"check", "batch.json", "--type", "iso", "--strict"}, 2, "--strict"},
      {{"check", "batch.json", "--type", "iso2019", "--now", "2026-02-30T10:00:00"}, 2, "has no day 30 in February"},
      {{"inspect", "."}, 2, ".: cannot be read: it is a folder"},
      {{"check", "utf16.json", "--type", "dta"}, 2, "utf16.json: the file is UTF-16 text; batch files are UTF-8: save it"},
      {{"check", "utf16le.json", "--type", "dta"}, 2, "utf16le.json: the file is UTF-16 text"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    test::TempDir dir;
    test::WriteWholeFile(dir.Path("batch.json"), R"({"payments": [{"PayType": 9}]})");
    // The same batch as Windows Notepad saves "Unicode": with and without its byte-order mark.
    std::string utf16;
    for (const char c : std::string(R"({"payments": [{"PayType": 9}]})")) utf16 += std::string{c, '\0'};
    test::WriteWholeFile(dir.Path("utf16.json"), "\xFF\xFE" + utf16);
    test::WriteWholeFile(dir.Path("utf16le.json"), utf16);
    const RunResult result = RunPayfile(dir, c.args);
    EXPECT_EQ(c.status, result.status);
    const std::string& shown = c.status == 2 ? result.err : result.out;
    EXPECT_NE(std::string::npos, shown.find(c.text)) << shown;
    EXPECT_FALSE(ReadWholeFile(dir.Path("x.dta")));
  }
}

}  // namespace
}  // namespace ordexa::payfile_test
