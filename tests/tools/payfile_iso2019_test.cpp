// End-to-end tests of `payfile check` and `payfile write` with --type iso2019: every
// finding of the 2019 writer on its own line at its place, refusals before anything is
// written, --strict, and --now fixing the day of writing the check compares dates with.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/payfile_run.h"

namespace ordexa::payfile_test {
namespace {

using PayfileIso2019 = PayfileTest;

// Dated 23 December 2026; every part of the address given.
constexpr char kClean[] = R"({"settings": {"Sender": {"Name1": "Muster AG"}},
  "payments": [{"PayType": "payIban", "Date": "2026-12-23", "Amount": "5230.40", "Reason": "Lohn Dezember 2026",
    "BankSrc": {"Account": "CH9300762011623852957"}, "BankDst": {"Account": "CH56 0483 5012 3456 7800 9"},
    "Receiver": {"Name1": "Anna M\u00fcller", "StreetName": "Seeweg", "BuildingNumber": "2", "PostCode": "8002",
                 "Town": "Z\u00fcrich", "Country": "CH"}}]})";

// No sender name, and the same mistyped IBAN (one check digit off) in two payments.
constexpr char kRefused[] = R"({"settings": {"Sender": {"Street": "Seeweg 1"}},
  "payments": [
    {"PayType": 9, "Date": "2026-12-23", "Amount": "10", "BankSrc": {"Account": "CH9300762011623852957"},
     "BankDst": {"Account": "CH5604835012345678008"}, "Receiver": {"Name1": "A", "City": "8002 Z\u00fcrich"}},
    {"PayType": 9, "Date": "2026-12-23", "Amount": "20", "BankSrc": {"Account": "CH9300762011623852957"},
     "BankDst": {"Account": "CH5604835012345678008"}, "Receiver": {"Name1": "B", "City": "8002 Z\u00fcrich"}},
    {"PayType": 9, "Date": "2026-12-23", "Amount": "30", "BankSrc": {"Account": "CH9300762011623852957"},
     "BankDst": {"Account": "CH5604835012345678009"}, "Receiver": {"Name1": "C", "City": "8002 Z\u00fcrich"}}]})";

constexpr char kRefusedSuffix[] = "; the 2019 ISO writer refuses the batch";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

TEST_F(PayfileIso2019, ChecksAndWritesLineByLineRefusingBeforeWriting) {
  const struct {
    const char* batch;
    std::vector<std::string> options;  // after "write" or "check" and the batch
    int status;
    std::vector<std::string> places;  // of the finding lines, in order
    std::string last_line;            // check: the summary; write: the refusal, if any
    bool written;
  } cases[] = {
      {kClean, {"check", "--ch", "--now", "2026-12-23T23:59:59"}, 0, {},
       "batch.json: 1 payment, no warnings for ISO 2019 (Swiss)", false},
      {kClean, {"check", "--ch", "--now", "2026-12-24T00:00:00"}, 1, {"payments[0].Date"},
       "batch.json: 1 payment, 1 warning for ISO 2019 (Swiss)", false},
      {kClean, {"write", "--ch", "--now", "2026-12-23T08:00:00"}, 0, {}, "", true},
      {kClean, {"write", "--ch", "--now", "2026-12-24T08:00:00"}, 0, {"payments[0].Date"}, "", true},
      {kClean, {"write", "--ch", "--now", "2026-12-24T08:00:00", "--strict"}, 2, {"payments[0].Date"},
       "payfile: --strict: 1 warning, so out.xml is not written", false},
      {kRefused, {"check", "--now", "2026-12-20T08:00:00"}, 1,
       {"settings.Sender.Name1", "payments[0].BankDst.Account", "payments[1].BankDst.Account"},
       "batch.json: 3 payments, 3 warnings (3 refusals) for ISO 2019 (generic)", false},
      {kRefused, {"write", "--now", "2026-12-20T08:00:00"}, 1,
       {"settings.Sender.Name1", "payments[0].BankDst.Account", "payments[1].BankDst.Account"},
       "payfile: 3 refusals, so out.xml is not written", false},
      {kRefused, {"write", "--now", "2026-12-20T08:00:00", "--strict"}, 1,
       {"settings.Sender.Name1", "payments[0].BankDst.Account", "payments[1].BankDst.Account"},
       "payfile: 3 refusals, so out.xml is not written", false},
  };
  for (const auto& c : cases) {
    const bool write = c.options[0] == "write";
    SCOPED_TRACE(testing::PrintToString(c.options) + (c.batch == kClean ? " clean" : " refused"));
    test::TempDir dir;
    test::WriteWholeFile(dir.Path("batch.json"), c.batch);
    test::WriteWholeFile(dir.Path("out.xml"), "the file of last month");
    std::vector<std::string> args = {c.options[0], "batch.json", "--type", "iso2019", "--period", "2026-12"};
    args.insert(args.end(), c.options.begin() + 1, c.options.end());
    if (write) args.insert(args.end(), {"--out", "out.xml"});
    const RunResult result = RunPayfile(dir, args);
    EXPECT_EQ(c.status, result.status) << result.err;

    std::vector<std::string> lines = Lines(write ? result.err : result.out);
    if (!c.last_line.empty()) {
      ASSERT_FALSE(lines.empty());
      EXPECT_EQ(c.last_line, lines.back());
      lines.pop_back();
    }
    ASSERT_EQ(c.places.size(), lines.size()) << (write ? result.err : result.out);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_EQ(0u, lines[i].rfind("batch.json: " + c.places[i] + ": ", 0)) << lines[i];
      EXPECT_EQ(c.batch == kRefused, lines[i].ends_with(kRefusedSuffix)) << lines[i];
    }
    if (write) {
      // The lines while writing are those of the check, each repeat on its own line.
      std::vector<std::string> check_args = {"check"};
      for (std::size_t i = 1; i + 2 < args.size(); ++i) {
        if (args[i] != "--strict") check_args.push_back(args[i]);
      }
      std::vector<std::string> checked = Lines(RunPayfile(dir, check_args).out);
      ASSERT_FALSE(checked.empty());
      checked.pop_back();  // the summary
      EXPECT_EQ(checked, lines);
    }
    const std::string file = ReadWholeFile(dir.Path("out.xml")).value_or("");
    if (c.written) {
      EXPECT_TRUE(file.starts_with("<?xml")) << file.substr(0, 80);
      EXPECT_NE(std::string::npos, file.find("urn:iso:std:iso:20022:tech:xsd:pain.001.001.09"));
    } else {
      EXPECT_EQ("the file of last month", file);
    }
    EXPECT_FALSE(ReadWholeFile(dir.Path("out.xml.tmp")));
  }
}

// The demo's 2019 files, byte for byte: every kind the demo batch holds (domestic, postal
// account, SEPA, QR-bill, creditor reference, other account) in both flavours.
TEST_F(PayfileIso2019, DemoFilesAreExactlyTheExpectedOnes) {
  test::TempDir dir;
  const RunResult result = RunPayfile(dir, {"demo", "out", "--now", "2026-12-20T10:30:15"});
  ASSERT_EQ(0, result.status) << result.err;
  for (const auto& [written, expected] : {std::pair{"out/salaries-2019-ch.xml", "demo-2019-ch.xml"},
                                          std::pair{"out/salaries-2019.xml", "demo-2019-generic.xml"}}) {
    SCOPED_TRACE(expected);
    EXPECT_TRUE(SameBytes(ReadWholeFile(DataPath(expected)).value_or("?"), ReadWholeFile(dir.Path(written)).value_or("")));
  }
}

}  // namespace
}  // namespace ordexa::payfile_test
