// End-to-end tests of `payfile write`: whole files against the expected files, values as
// they reach the records, and every class of refused batch or failed write.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/payfile_run.h"

namespace ordexa::payfile_test {
namespace {

using PayfileWrite = PayfileTest;

constexpr char kNow[] = "2024-06-20T09:30:15";

// `payfile write batch.json --type <type> --out out.file` with the clock fixed.
RunResult WriteBatch(const test::TempDir& dir, const std::string& batch, const char* type) {
  test::WriteWholeFile(dir.Path("batch.json"), batch);
  return RunPayfile(dir, {"write", "batch.json", "--type", type, "--out", "out.file", "--now", kNow});
}

std::string Trimmed(std::string text) { return text.erase(text.find_last_not_of(' ') + 1); }

TEST_F(PayfileWrite, WritesEveryPaymentKindExactlyAsTheExpectedFiles) {
  const struct {
    std::vector<std::string> options;
    const char* expected_file;
  } cases[] = {
      {{"--type", "dta"}, "every_kind.dta"},
      {{"--type", "ezag"}, "every_kind.ezag"},
      {{"--type", "iso", "--ch"}, "every_kind-ch.xml"},
      {{"--type", "iso"}, "every_kind-generic.xml"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected_file);
    test::TempDir dir;
    std::vector<std::string> args = {"write", "-", "--out", "out.file", "--period", "2023-03", "--now", kNow};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const RunResult result = RunPayfile(dir, args, ReadWholeFile(DataPath("every_kind.json")).value_or(""));
    EXPECT_EQ(0, result.status);
    EXPECT_EQ("", result.err);
    const std::string written = ReadWholeFile(dir.Path("out.file")).value_or("");
    EXPECT_TRUE(SameBytes(ReadWholeFile(DataPath(c.expected_file)).value_or("?"), written));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out.file.tmp")));  // the ISO writer's temporary file
  }
}

TEST_F(PayfileWrite, ValuesReachTheRecordsExactly) {
  // One payRedPost payment: in DTA a TA 827 record of four segments, then the TA 890 total;
  // in EZAG the header record, the payment record, then the total record.
  struct Field {
    std::size_t at, size;
  };
  constexpr Field kDtaDate{2, 6}, kDtaTotal{4 * 128 + 53, 16}, kEzagReason{701 + 402, 140};
  const struct {
    const char* type;
    const char* member;  // of the payment in JSON
    Field field;
    const char* expected;
  } cases[] = {
      {"dta", R"("Amount": "1234.5")", kDtaTotal, "1234,50"},
      {"dta", R"("Amount": 1234.5)", kDtaTotal, "1234,50"},
      {"dta", R"("Amount": "-0")", kDtaTotal, "0,00"},
      {"dta", R"("Amount": "0.0049")", kDtaTotal, "0,00"},  // exact: not rounded to 0.005 on the way
      {"dta", R"("Amount": 0.00495)", kDtaTotal, "0,01"},   // a number is rounded to four decimals, half away from 0
      {"dta", R"("Amount": -0.00495)", kDtaTotal, "-0,01"},
      {"dta", R"("Amount": 0.0049499)", kDtaTotal, "0,00"},  // rounded once, on the first dropped digit
      {"dta", R"("Amount": 1.5E-2)", kDtaTotal, "0,02"},
      {"dta", R"("Amount": 12e2)", kDtaTotal, "1200,00"},
      {"dta", R"("Amount": "-922337203685477.5808")", kDtaTotal, "-922337203685477"},  // the smallest, cut to 16
      {"dta", R"("Date": 45000.75)", kDtaDate, "230315"},
      {"dta", R"("Date": "2023-03-15T23:59:59")", kDtaDate, "230315"},
      {"dta", R"("Date": "2024-02-29")", kDtaDate, "240229"},
      {"dta", R"("Date": 0)", kDtaDate, "240620"},  // never set: the fixed clock's day
      {"ezag", "\"Reason\": \"Z\xC3\xBCrich \xE2\x82\xAC\"", kEzagReason, "Z\xFCrich \x80"},  // code page 1252
      {"ezag", "\"Reason\": \"\\u0141\xC3\xB3\xC5\xBA\"", kEzagReason, "L\xF3z"},  // best fit: accents dropped
      {"ezag", "\"Reason\": \"a\xF0\x9F\x98\x80z\"", kEzagReason, "a?z"},  // one '?' for a character past U+FFFF
      {"ezag", "\"Reason\": \"\\ud83d\\ude00!\"", kEzagReason, "?!"},      // the same as an escaped surrogate pair
      {"ezag", "\"Reason\": \"vor\\u0000nach\"", kEzagReason, "vor"},      // the text ends at its first U+0000
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.member);
    test::TempDir dir;
    const RunResult result =
        WriteBatch(dir, std::string(R"({"payments": [{"PayType": "payRedPost", )") + c.member + "}]}", c.type);
    ASSERT_EQ(0, result.status) << result.err;
    const std::string file = ReadWholeFile(dir.Path("out.file")).value_or("");
    ASSERT_EQ(std::string(c.type) == "dta" ? 5u * 128u : 3u * 701u, file.size());
    EXPECT_EQ(c.expected, Trimmed(file.substr(c.field.at, c.field.size)));
  }
}

TEST_F(PayfileWrite, RefusesBadBatchesWithStatusTwoNamingThePlaceAndWritesNothing) {
  const struct {
    const char* batch;
    const char* message;  // standard error begins with it
    const char* type = "dta";
  } cases[] = {
      {R"({"payments": [{"PayType": 9, "Amount": "12,50"}]})", "payments[0].Amount: \"12,50\" is not a decimal number"},
      {R"({"payments": [{"PayType": 9, "Amount": "1.23456"}]})", "payments[0].Amount: \"1.23456\" has more than four"},
      {R"({"payments": [{"PayType": 9, "Amount": "922337203685477.5808"}]})",
       "payments[0].Amount: \"922337203685477.5808\" is out of range"},
      {R"({"payments": [{"PayType": 9, "Amount": 1e15}]})", "payments[0].Amount: 1e15 is out of range"},
      {R"({"payments": [{"PayType": 9, "Amount": true}]})",
       "payments[0].Amount: must be a decimal text or a number, not a boolean"},
      {R"({"payments": [{"PayType": 9, "Date": "2023-02-29"}]})",
       "payments[0].Date: \"2023-02-29\" has no day 29 in February 2023"},
      {R"({"payments": [{"PayType": 9, "Date": "2023-3-15"}]})", "payments[0].Date: \"2023-3-15\" is not of the form"},
      {R"({"payments": [{"PayType": 9, "Date": "2023-00-10"}]})", "payments[0].Date: \"2023-00-10\" has no month 0"},
      {R"({"payments": [{"PayType": 9, "Date": "2023-03-15T24:00:00"}]})",
       "payments[0].Date: \"2023-03-15T24:00:00\" has no time of day"},
      {R"({"payments": [{"PayType": 9, "Date": "0099-03-15"}]})", "payments[0].Date: \"0099-03-15\" has a year before"},
      {R"({"payments": [{"PayType": 9}, {"Amount": "1"}]})", "payments[1]: PayType is missing"},
      {R"({"payments": [{"PayType": "payIBAN"}]})", "payments[0].PayType: \"payIBAN\" is none of"},
      {R"({"payments": [{"PayType": 2147483648}]})", "payments[0].PayType: 2147483648 is out of the 32-bit range"},
      {R"({"payments": [{"PayType": 9.0}]})", "payments[0].PayType: 9.0 is not a whole number"},
      {R"({"settings": {"Sendr": {}}})", "settings.Sendr: unknown key"},
      {R"({"payments": [{"PayType": 9, "Receiver": {"Nme1": "x"}}]})", "payments[0].Receiver.Nme1: unknown key"},
      {R"({"settings": {"DtaID": "a", "DtaID": "b"}})", "settings.DtaID: is given twice"},
      {R"({"payments": [{"PayType": 9, "Reason": null}]})", "payments[0].Reason: must be a string, not null"},
      {R"({"payments": {}})", "payments: must be an array, not an object"},
      {R"([])", "the batch must be a JSON object, not an array"},
      {"{}\n{}", "unexpected content after the batch object at line 2"},
      {R"({"payments": [{"PayType": 9}, {"PayType": 9 "Amount": 1}]})", "payments[1]: malformed JSON"},
      {"{\"payments\": [{\"PayType\": 9, \"Reason\": \"\xFF\"}]}", "malformed JSON"},
      {"", "malformed JSON"},
      {R"({"payments": []})", "payments: an EZAG file needs at least one payment", "ezag"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.batch);
    test::TempDir dir;
    const RunResult result = WriteBatch(dir, c.batch, c.type);
    EXPECT_EQ(2, result.status);
    EXPECT_EQ(0u, result.err.rfind("batch.json: " + std::string(c.message), 0)) << result.err;
    EXPECT_FALSE(ReadWholeFile(dir.Path("out.file")));
  }
}

TEST_F(PayfileWrite, SaysWhyNoFileIsWritten) {
  const char kOne[] = R"({"payments": [{"PayType": 9, "Amount": "1"}]})";
  const char kCannotCreate[] =
      "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = "
      "0x80070003\n\nno-such-folder/out.file\n";
  const struct {
    const char* type;
    const char* batch;
    const char* out;
    int status;
    const char* message;  // all of standard error
  } cases[] = {
      {"dta", kOne, "no-such-folder/out.file", 1, kCannotCreate},
      {"ezag", kOne, "no-such-folder/out.file", 1, kCannotCreate},
      {"iso", kOne, "no-such-folder/out.file", 1,
       "payfile: no-such-folder/out.file: the file could not be opened (error number 2, 0x2)\n"},
      {"ezag", R"({"payments": [{"PayType": 9, "Amount": "100000000000"}]})", "out.file", 1,
       "payfile: out.file: writing failed with HRESULT 0x8002000A, an amount does not fit the file's amount field\n"},
      {"iso", R"({"payments": []})", "out.file", 0,
       "payfile: out.file: the batch holds no payments, so no ISO file is written\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    test::TempDir dir;
    test::WriteWholeFile(dir.Path("batch.json"), c.batch);
    const RunResult result = RunPayfile(dir, {"write", "batch.json", "--type", c.type, "--out", c.out});
    EXPECT_EQ(c.status, result.status);
    EXPECT_EQ(c.message, result.err);
    EXPECT_FALSE(ReadWholeFile(dir.Path("out.file")));
  }
}

}  // namespace
}  // namespace ordexa::payfile_test
