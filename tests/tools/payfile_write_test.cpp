// End-to-end tests of `payfile write`: whole files against the expected files, amounts,
// dates and texts as they reach the file, and every class of refused batch.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/tools/payfile_run.h"

namespace ordexa::payfile_test {
namespace {

constexpr char kNow[] = "2024-06-20T09:30:15";

struct GoldenCase {
  const char* type;
  bool swiss;
  const char* expected_file;
};

TEST(PayfileWrite, WritesEveryPaymentKindExactlyAsTheExpectedFiles) {
  PAYFILE_REQUIRED();
  const GoldenCase cases[] = {
      {"dta", false, "every_kind.dta"},
      {"ezag", false, "every_kind.ezag"},
      {"iso", true, "every_kind-ch.xml"},
      {"iso", false, "every_kind-generic.xml"},
  };
  for (const GoldenCase& c : cases) {
    SCOPED_TRACE(c.expected_file);
    test::TempDir dir;
    std::vector<std::string> args = {
        "write", DataPath("every_kind.json"), "--type", c.type, "--out", "out.file", "--period", "2023-03", "--now",
        kNow};
    if (c.swiss) args.push_back("--ch");
    const RunResult result = RunPayfile(dir, args);
    EXPECT_EQ(0, result.status);
    EXPECT_EQ("", result.err);
    EXPECT_TRUE(SameBytes(ReadBytes(DataPath(c.expected_file)), ReadBytes(dir.Path("out.file"))));
    // The ISO document goes through a temporary file that must not stay behind.
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out.file.tmp")));
  }
}

TEST(PayfileWrite, ReadsTheBatchFromStandardInput) {
  PAYFILE_REQUIRED();
  test::TempDir dir;
  const RunResult result = RunPayfile(dir, {"write", "-", "--type", "dta", "--out", "out.dta", "--now", kNow},
                                      ReadBytes(DataPath("every_kind.json")));
  EXPECT_EQ(0, result.status) << result.err;
  EXPECT_TRUE(SameBytes(ReadBytes(DataPath("every_kind.dta")), ReadBytes(dir.Path("out.dta"))));
}

// A batch of one payIban payment with the given JSON members, written as DTA: its TA 836
// record (five segments) and the TA 890 total record follow one another.
std::string WriteOneDtaPayment(const std::string& members, int& status, std::string& err) {
  test::TempDir dir;
  WriteBytes(dir.Path("batch.json"), R"({"payments": [{"PayType": "payIban", )" + members + "}]}");
  const RunResult result = RunPayfile(dir, {"write", "batch.json", "--type", "dta", "--out", "out.dta", "--now", kNow});
  status = result.status;
  err = result.err;
  return ReadBytes(dir.Path("out.dta"));
}

std::string Trimmed(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

TEST(PayfileWrite, AmountsReachTheFileExactly) {
  PAYFILE_REQUIRED();
  struct Case {
    const char* amount;     // the JSON value
    const char* dta_total;  // positions 54-69 of the TA 890 record, blanks trimmed
  };
  const Case cases[] = {
      {R"("1234.5")", "1234,50"},
      {"1234.5", "1234,50"},
      {R"("-0")", "0,00"},
      {R"("0.0049")", "0,00"},  // exact: no rounding to 0.005 on the way
      {R"("0.005")", "0,01"},
      {"0.00495", "0,01"},  // a number is rounded to four decimals, half away from zero
      {"-0.00495", "-0,01"},
      {"0.0049499", "0,00"},
      {"1.5E-2", "0,02"},
      {"12e2", "1200,00"},
      {"7", "7,00"},
      {R"("99999999999.9999")", "100000000000,00"},
      {R"("-922337203685477.5808")", "-922337203685477"},  // the smallest value, cut to 16
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.amount);
    int status = -1;
    std::string err;
    const std::string file = WriteOneDtaPayment(std::string(R"("Amount": )") + c.amount, status, err);
    ASSERT_EQ(0, status) << err;
    ASSERT_EQ(6u * 128u, file.size());
    EXPECT_EQ(c.dta_total, Trimmed(file.substr(5 * 128 + 53, 16)));
  }
}

TEST(PayfileWrite, DatesReachTheFileAsLocalCalendarDays) {
  PAYFILE_REQUIRED();
  struct Case {
    const char* date;        // the JSON value
    const char* value_date;  // positions 94-99 of segment 01 of the TA 836 record
  };
  const Case cases[] = {
      {"45000.75", "230315"},
      {R"("2023-03-15")", "230315"},
      {R"("2023-03-15T23:59:59")", "230315"},
      {R"("2024-02-29")", "240229"},
      {R"("2000-01-01T00:00:00")", "000101"},
      {R"("1999-12-31")", "991231"},
      {"36526", "000101"},
      {"0", "240620"},  // a date never set is today, the fixed clock's day
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date);
    int status = -1;
    std::string err;
    const std::string file = WriteOneDtaPayment(std::string(R"("Date": )") + c.date, status, err);
    ASSERT_EQ(0, status) << err;
    ASSERT_GE(file.size(), 128u);
    EXPECT_EQ(c.value_date, file.substr(93, 6));
  }
}

TEST(PayfileWrite, TextsReachTheModelAsAnAutomationClientsText) {
  PAYFILE_REQUIRED();
  struct Case {
    const char* reason;        // the JSON string's content
    std::string_view written;  // the reason as the EZAG record holds it, code page 1252
  };
  const Case cases[] = {
      {"Z\xC3\xBCrich", "Z\xFCrich"},
      {"\\u0141\xC3\xB3"
       "d\xC5\xBA",
       "L\xF3"
       "dz"},  // best fit: L with stroke becomes L
      {"a\xF0\x9F\x98\x80"
       "b",
       "a?b"},                    // one '?' for a character beyond U+FFFF
      {"\\ud83d\\ude00!", "?!"},  // the same as an escaped surrogate pair
      {"\xE6\x97\xA5\xE6\x9C\xAC", "??"},
      {"\xE2\x82\xAC 5", "\x80 5"},
      {"vor\\u0000nach", "vor"},  // the text ends at its first U+0000
      {"Tab\\tEnde", "Tab\tEnde"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    test::TempDir dir;
    WriteBytes(dir.Path("batch.json"),
               std::string(R"({"payments": [{"PayType": "payRedPost", "Reason": ")") + c.reason + R"("}]})");
    const RunResult result =
        RunPayfile(dir, {"write", "batch.json", "--type", "ezag", "--out", "out.ezag", "--now", kNow});
    ASSERT_EQ(0, result.status) << result.err;
    const std::string file = ReadBytes(dir.Path("out.ezag"));
    ASSERT_EQ(3u * 701u, file.size());
    EXPECT_EQ(c.written, Trimmed(file.substr(701 + 402, 140)));
  }
}

TEST(PayfileWrite, RefusesBadBatchesNamingThePlaceAndWritesNothing) {
  PAYFILE_REQUIRED();
  struct Case {
    const char* batch;
    const char* message;  // standard error begins with it
    const char* type = "dta";
  };
  const std::string three_payments = R"({"PayType": 9}, {"PayType": 9}, {"PayType": 9}, )";
  const std::string with_amount_12_50 = R"({"payments": [)" + three_payments + R"({"PayType": 9, "Amount": "12,50"}]})";
  const Case cases[] = {
      {with_amount_12_50.c_str(), "batch.json: payments[3].Amount: \"12,50\" is not a decimal number"},
      {R"({"payments": [{"PayType": 9, "Amount": "1.23456"}]})",
       "batch.json: payments[0].Amount: \"1.23456\" has more than four decimals"},
      {R"({"payments": [{"PayType": 9, "Amount": "922337203685477.5808"}]})",
       "batch.json: payments[0].Amount: \"922337203685477.5808\" is out of range"},
      {R"({"payments": [{"PayType": 9, "Amount": 1e15}]})", "batch.json: payments[0].Amount: 1e15 is out of range"},
      {R"({"payments": [{"PayType": 9, "Amount": " 1"}]})", "batch.json: payments[0].Amount: \" 1\" is not a decimal"},
      {R"({"payments": [{"PayType": 9, "Amount": true}]})",
       "batch.json: payments[0].Amount: must be a decimal text or a number, not a boolean"},
      {R"({"payments": [{"PayType": 9, "Date": "2023-02-29"}]})",
       "batch.json: payments[0].Date: \"2023-02-29\" has no day 29 in February 2023"},
      {R"({"payments": [{"PayType": 9, "Date": "2023-3-15"}]})",
       "batch.json: payments[0].Date: \"2023-3-15\" is not of the form"},
      {R"({"payments": [{"PayType": 9, "Date": "2023-04-31"}]})",
       "batch.json: payments[0].Date: \"2023-04-31\" has no day 31 in April 2023"},
      {R"({"payments": [{"PayType": 9, "Date": "2023-00-10"}]})",
       "batch.json: payments[0].Date: \"2023-00-10\" has no month 0"},
      {R"({"payments": [{"PayType": 9, "Date": "2023-03-15T24:00:00"}]})",
       "batch.json: payments[0].Date: \"2023-03-15T24:00:00\" has no time of day"},
      {R"({"payments": [{"PayType": 9, "Date": "0099-03-15"}]})",
       "batch.json: payments[0].Date: \"0099-03-15\" has a year before 100"},
      {R"({"payments": [{"PayType": 9}, {"Amount": "1"}]})", "batch.json: payments[1]: PayType is missing"},
      {R"({"payments": [{"PayType": "payIBAN"}]})", "batch.json: payments[0].PayType: \"payIBAN\" is none of"},
      {R"({"payments": [{"PayType": 2147483648}]})",
       "batch.json: payments[0].PayType: 2147483648 is out of the 32-bit range"},
      {R"({"payments": [{"PayType": 9.0}]})", "batch.json: payments[0].PayType: 9.0 is not a whole number"},
      {R"({"payments": [{"PayType": 9, "CostCode": "payCostAll"}]})",
       "batch.json: payments[0].CostCode: \"payCostAll\" is none of"},
      {R"({"settings": {"Sendr": {}}})", "batch.json: settings.Sendr: unknown key"},
      {R"({"payments": [{"PayType": 9, "Receiver": {"Nme1": "x"}}]})",
       "batch.json: payments[0].Receiver.Nme1: unknown key"},
      {R"({"payment": []})", "batch.json: payment: unknown key"},
      {R"({"settings": {"DtaID": "a", "DtaID": "b"}})", "batch.json: settings.DtaID: is given twice"},
      {R"({"settings": {"IsSalary": "yes"}})", "batch.json: settings.IsSalary: must be true or false, not a string"},
      {R"({"settings": {"DtaID": 12345}})", "batch.json: settings.DtaID: must be a string, not a number"},
      {R"({"payments": [{"PayType": 9, "Reason": null}]})",
       "batch.json: payments[0].Reason: must be a string, not null"},
      {R"({"payments": [{"PayType": 9, "BankDst": "CH93"}]})",
       "batch.json: payments[0].BankDst: must be an object, not a string"},
      {R"({"payments": {}})", "batch.json: payments: must be an array, not an object"},
      {R"([])", "batch.json: the batch must be a JSON object, not an array"},
      {R"({"payments": [{"PayType": 9}, {"PayType": 9 "Amount": 1}]})", "batch.json: payments[1]: malformed JSON"},
      {R"({"payments": [{"PayType": 9})", "batch.json: payments[1]: malformed JSON"},
      {"{\"payments\": [{\"PayType\": 9, \"Reason\": \"\xFF\"}]}", "batch.json: malformed JSON"},
      {"", "batch.json: malformed JSON"},
      {R"({"payments": []})", "batch.json: payments: an EZAG file needs at least one payment", "ezag"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.batch);
    test::TempDir dir;
    WriteBytes(dir.Path("batch.json"), c.batch);
    const RunResult result = RunPayfile(dir, {"write", "batch.json", "--type", c.type, "--out", "out.file"});
    EXPECT_EQ(2, result.status);
    EXPECT_EQ(0u, result.err.rfind(c.message, 0)) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out.file")));
  }
}

TEST(PayfileWrite, ReportsAFileThatCannotBeWrittenWithTheWritersMessage) {
  PAYFILE_REQUIRED();
  struct Case {
    const char* type;
    const char* message;
  };
  const Case cases[] = {
      {"dta",
       "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = "
       "0x80070003\n\nno-such-folder/out.file\n"},
      {"ezag",
       "Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = "
       "0x80070003\n\nno-such-folder/out.file\n"},
      {"iso", "payfile: no-such-folder/out.file: the file could not be opened (error number 3, 0x3)\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    test::TempDir dir;
    const RunResult result = RunPayfile(dir, {"write", DataPath("every_kind.json"), "--type", c.type, "--out",
                                              "no-such-folder/out.file", "--now", kNow});
    EXPECT_EQ(1, result.status);
    EXPECT_EQ(c.message, result.err);
  }
}

TEST(PayfileWrite, ReportsAnEzagAmountTooLargeForItsField) {
  PAYFILE_REQUIRED();
  test::TempDir dir;
  WriteBytes(dir.Path("batch.json"), R"({"payments": [{"PayType": 9, "Amount": "100000000000"}]})");
  const RunResult result = RunPayfile(dir, {"write", "batch.json", "--type", "ezag", "--out", "out.ezag"});
  EXPECT_EQ(1, result.status);
  EXPECT_EQ(
      "payfile: out.ezag: writing failed with HRESULT 0x8002000A, an amount does not fit the file's amount field\n",
      result.err);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("out.ezag")));
}

TEST(PayfileWrite, WritesNoIsoFileForAnEmptyBatchAndSaysSo) {
  PAYFILE_REQUIRED();
  test::TempDir dir;
  const RunResult result = RunPayfile(dir, {"write", "-", "--type", "iso", "--out", "out.xml"}, R"({"payments": []})");
  EXPECT_EQ(0, result.status);
  EXPECT_EQ("payfile: out.xml: the batch holds no payments, so no ISO file is written\n", result.err);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("out.xml")));
}

}  // namespace
}  // namespace ordexa::payfile_test
