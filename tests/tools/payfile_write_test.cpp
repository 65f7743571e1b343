// End-to-end tests of `payfile write`: whole files against the expected files, every class
// of refused batch, warnings and failed writes, each as a person would meet them, and the
// 2019 writer's findings line by line, refusing before anything is written.
#include <gtest/gtest.h>
#include <simdjson.h>

#include <algorithm>
#include <stdexcept>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/tools/payfile_run.h"

namespace ordexa::payfile_test {
namespace {

using PayfileWrite = PayfileTest;

// The table of refused batches (data/refused_batches.json, shared with the schema test):
// each mistake the reader refuses as the exact bytes of a batch file ("batch" as written,
// or "text", whose characters up to U+00FF are single bytes with "latin1") and the start
// of its message after "batch.json: ".
std::vector<std::pair<std::string, std::string>> RefusedBatches() {
  namespace ondemand = simdjson::ondemand;
  const simdjson::padded_string json = simdjson::padded_string::load(DataPath("refused_batches.json")).value();
  ondemand::parser parser;
  ondemand::document document = parser.iterate(json).value();
  std::vector<std::pair<std::string, std::string>> rows;
  // The array is held by name: a range over a temporary result would outlive it.
  ondemand::array cases = document["cases"].get_array().value();
  for (auto element : cases) {
    std::string file, message;
    bool latin1 = false;
    ondemand::object fields = element.get_object().value();
    for (auto field : fields) {
      const std::string_view key = field.unescaped_key().value();
      ondemand::value value = field.value().value();
      if (key == "batch") {
        file = value.type().value() == ondemand::json_type::array ? value.get_array().value().raw_json().value()
                                                                  : value.get_object().value().raw_json().value();
      } else if (key == "text" || key == "message") {
        (key == "text" ? file : message) = value.get_string().value();
      } else if (key == "latin1") {
        latin1 = value.get_bool().value();
      }
    }
    std::string bytes;  // with "latin1", each two-byte UTF-8 sequence becomes the one byte of its character
    for (std::size_t i = 0; i < file.size(); ++i) {
      const auto lead = static_cast<unsigned char>(file[i]);
      const bool pair = latin1 && lead >= 0xC0 && i + 1 < file.size();
      bytes += pair ? static_cast<char>(((lead & 0x1F) << 6) | (static_cast<unsigned char>(file[++i]) & 0x3F)) : file[i];
    }
    rows.emplace_back(bytes, message);
  }
  if (rows.empty()) throw std::runtime_error("no refused batches");
  return rows;
}

constexpr char kNow[] = "2024-06-20T09:30:15";

// `payfile write batch.json --type <type> --out out.file` with the clock fixed.
RunResult WriteBatch(const test::TempDir& dir, const std::string& batch, const char* type) {
  test::WriteWholeFile(dir.Path("batch.json"), batch);
  return RunPayfile(dir, {"write", "batch.json", "--type", type, "--out", "out.file", "--now", kNow});
}

TEST_F(PayfileWrite, WritesEveryPaymentKindExactlyAsTheExpectedFiles) {
  const struct {
    std::vector<std::string> options;
    const char* expected_file;
    const char* byte_order_mark = "";  // read as if it were not there
  } cases[] = {
      {{"--type", "dta"}, "every_kind.dta"}, {{"--type", "ezag"}, "every_kind.ezag", "\xEF\xBB\xBF"},
      {{"--type", "iso", "--ch"}, "every_kind-ch.xml"}, {{"--type", "iso"}, "every_kind-generic.xml"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected_file);
    test::TempDir dir;
    std::vector<std::string> args = {"write", "-", "--out", "out.file", "--period", "2023-03", "--now", kNow};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const RunResult result =
        RunPayfile(dir, args, c.byte_order_mark + ReadWholeFile(DataPath("every_kind.json")).value_or(""));
    EXPECT_EQ(0, result.status);
    // Warnings only (the batch holds every edge a format has), no failure.
    EXPECT_EQ(std::string::npos, result.err.find("payfile: ")) << result.err;
    const std::string written = ReadWholeFile(dir.Path("out.file")).value_or("");
    EXPECT_TRUE(SameBytes(ReadWholeFile(DataPath(c.expected_file)).value_or("?"), written));
    EXPECT_FALSE(std::filesystem::exists(dir.Path("out.file.tmp")));  // the ISO writer's temporary file
  }
}

// A batch is refused before its format matters: the formats take the rows in turn.
TEST_F(PayfileWrite, RefusesEveryMistakeOfTheTableForEveryFormatAndWritesNothing) {
  const char* const types[] = {"dta", "ezag", "iso", "iso2019"};
  std::size_t row = 0;
  for (const auto& [file, message] : RefusedBatches()) {
    const char* type = types[row++ % std::size(types)];
    SCOPED_TRACE(std::string(type) + " " + file);
    test::TempDir dir;
    const RunResult result = WriteBatch(dir, file, type);
    EXPECT_EQ(2, result.status);
    EXPECT_EQ(0u, result.err.rfind("batch.json: " + message, 0)) << result.err;
    EXPECT_EQ(1, std::count(result.err.begin(), result.err.end(), '\n')) << result.err;
    EXPECT_FALSE(ReadWholeFile(dir.Path("out.file")));
  }
}

TEST_F(PayfileWrite, SaysWhyNoFileIsWrittenTheSameWayForEveryFormat) {
  const char kOne[] = R"({"payments": [{"PayType": 5, "Amount": "1", "BankDst": {"Account": "01-162-8"}}]})";
  const char kCannotCreate[] =
      "payfile: the component reports: Ein Fehler beim erstellen der folgenden Datei ist aufgetreten. Status = "
      "0x80070003 no-such-folder/out.file";
  const char kMissingFolder[] = "payfile: cannot write no-such-folder/out.file: the folder \"no-such-folder\" does not exist\n";
  const struct {
    const char* type;
    const char* out;
    std::string message;  // the end of standard error
    const char* left_behind = nullptr;
  } cases[] = {
      // DTA and EZAG files are written as NAME.tmp first, which the component names.
      {"dta", "no-such-folder/out.file", std::string(kMissingFolder) + kCannotCreate + ".tmp\n"},
      // The ISO writer's own error number is passed on as it is, whatever system gave it.
      {"iso", "no-such-folder/out.file", std::string(kMissingFolder) + "payfile: the component reports: error number "},
      {"dta", "folder", "payfile: cannot write folder: it is a folder\n"},
      {"iso", "\xC5\x81\xC3\xB3" "d\xC5\xBA.xml",
       "payfile: cannot write \xC5\x81\xC3\xB3" "d\xC5\xBA.xml: \"\xC5\x81\" in the name is outside code page 1252, "
       "the component's character set for file names: choose a name without it\n"},
      {"iso", "blocked.xml", "payfile: cannot write blocked.xml: its temporary file \"blocked.xml.tmp\" is a folder\n",
       "blocked.xml.tmp"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type + std::string(" ") + c.out);
    test::TempDir dir;
    std::filesystem::create_directory(dir.Path("folder"));
    std::filesystem::create_directory(dir.Path("blocked.xml.tmp"));
    test::WriteWholeFile(dir.Path("batch.json"), kOne);
    const RunResult result =
        RunPayfile(dir, {"write", "batch.json", "--type", c.type, "--out", c.out, "--period", "2024-06"});
    EXPECT_EQ(1, result.status);
    const std::size_t failure = result.err.find("payfile: ");
    ASSERT_NE(std::string::npos, failure) << result.err;
    EXPECT_EQ(0u, result.err.substr(failure).rfind(c.message, 0)) << result.err;
    // Nothing the writer made stays: no file and no temporary file beside the folders of the test.
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
      entries.push_back(entry.path().filename().string());
    }
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ((std::vector<std::string>{".stderr", ".stdin", ".stdout", "batch.json", "blocked.xml.tmp", "folder"}),
              entries);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path("folder")));
  }
}

TEST_F(PayfileWrite, WritesToStandardOutputAndNeverOverItsOwnBatch) {
  // A salary every file type takes, the 2019 one included.
  const std::string batch = R"({"settings": {"Sender": {"Name1": "Muster AG", "City": "8000 Z\u00fcrich"}},
    "payments": [{"PayType": "payIban", "Date": "2024-06-25", "Amount": "5230.40", "Reason": "Lohn Juni",
      "BankSrc": {"Account": "CH9300762011623852957"}, "BankDst": {"Account": "CH5604835012345678009"},
      "Receiver": {"Name1": "Anna M\u00fcller", "Street": "Seeweg 2", "City": "8002 Z\u00fcrich"}}]})";
  for (const char* type : {"dta", "ezag", "iso", "iso2019"}) {
    SCOPED_TRACE(type);
    test::TempDir dir;
    test::WriteWholeFile(dir.Path("batch.json"), batch);
    const std::vector<std::string> write = {"write", "batch.json", "--type", type, "--period", "2023-03", "--now", kNow};
    std::vector<std::string> to_file = write, to_output = write;
    to_file.insert(to_file.end(), {"--out", "out.file"});
    to_output.insert(to_output.end(), {"--out", "-"});
    const RunResult file = RunPayfile(dir, to_file);
    const RunResult output = RunPayfile(dir, to_output);
    EXPECT_EQ(file.status, output.status);
    EXPECT_TRUE(SameBytes(ReadWholeFile(dir.Path("out.file")).value_or("?"), output.out));

    // The batch under its own name, another spelling of it, or a second link to it.
    std::filesystem::create_hard_link(dir.Path("batch.json"), dir.Path("link.json"));
    for (const char* out : {"batch.json", "./batch.json", "link.json"}) {
      std::vector<std::string> over = write;
      over.insert(over.end(), {"--out", out});
      const RunResult refused = RunPayfile(dir, over);
      EXPECT_EQ(2, refused.status) << out;
      EXPECT_NE(std::string::npos, refused.err.find("is the batch file itself")) << refused.err;
      EXPECT_EQ(batch, ReadWholeFile(dir.Path("batch.json")));
    }
  }
}

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

// The check pass runs beside the writer (the ISO writer upper-cases the sender's name in
// the batch meanwhile): its warnings are those of `payfile check`, line for line, each
// repeat on its own line; then the refusal to write, which counts them, and with --strict
// the warnings count as well. Nothing is written in the place of last month's file then.
TEST_F(PayfileWrite, WarnsAndRefusesAsTheCheckCommandDoes) {
  const std::string every_kind = ReadWholeFile(DataPath("every_kind.json")).value_or("");
  const std::string long_sender =
      R"({"settings": {"Sender": {"Name1": ")" + std::string(80, 'x') + R"( müller"}},
          "payments": [{"PayType": "payIban", "Amount": "-1", "BankDst": {"Account": "CH5604835012345678009"}}]})";
  const struct {
    const std::string batch;
    std::vector<std::string> options;  // after the batch; --period 2023-03 and the fixed clock unless given
    int refusals = 0;
  } rows[] = {
      {every_kind, {"--type", "dta"}}, {every_kind, {"--type", "ezag"}}, {every_kind, {"--type", "iso", "--ch"}},
      {every_kind, {"--type", "iso"}}, {long_sender, {"--type", "dta"}}, {long_sender, {"--type", "ezag"}},
      {long_sender, {"--type", "iso", "--ch"}}, {long_sender, {"--type", "iso"}},
      {kClean, {"--type", "iso2019", "--ch", "--period", "2026-12", "--now", "2026-12-24T08:00:00"}},
      {kRefused, {"--type", "iso2019", "--period", "2026-12", "--now", "2026-12-20T08:00:00"}, 3},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.options) + " " + row.batch.substr(0, 40));
    test::TempDir dir;
    test::WriteWholeFile(dir.Path("batch.json"), row.batch);
    std::vector<std::string> check = {"check", "batch.json"};
    check.insert(check.end(), row.options.begin(), row.options.end());
    if (std::count(check.begin(), check.end(), "--now") == 0) {
      check.insert(check.end(), {"--period", "2023-03", "--now", kNow});
    }
    std::vector<std::string> write = check;
    write[0] = "write";
    write.insert(write.end(), {"--out", "out.file"});
    const RunResult checked = RunPayfile(dir, check);
    const std::size_t summary = checked.out.rfind("batch.json: ", checked.out.size() - 2);
    ASSERT_NE(std::string::npos, summary);
    const std::string warning_lines = checked.out.substr(0, summary);
    EXPECT_FALSE(warning_lines.empty());
    const auto count = std::count(warning_lines.begin(), warning_lines.end(), '\n');
    const std::string refused =
        "payfile: " + std::to_string(row.refusals) + " refusals, so out.file is not written\n";
    for (const bool strict : {false, true}) {
      test::WriteWholeFile(dir.Path("out.file"), "the file of last month");
      if (strict) write.push_back("--strict");
      const RunResult written = RunPayfile(dir, write);
      EXPECT_EQ(row.refusals ? 1 : strict ? 2 : 0, written.status);
      EXPECT_EQ(warning_lines + (row.refusals ? refused
                                 : strict     ? "payfile: --strict: " + std::to_string(count) + " warning" +
                                                (count == 1 ? "" : "s") + ", so out.file is not written\n"
                                              : ""),
                written.err);
      EXPECT_EQ(row.refusals || strict, ReadWholeFile(dir.Path("out.file")) == "the file of last month");
      EXPECT_FALSE(ReadWholeFile(dir.Path("out.file.tmp")));
    }
  }
}

// `payfile check` alone: each finding on its own line at its place (a repeat counted on
// its first line), refusals said so, the summary, its status, and --now fixing the day of writing
// the dates are compared with.
TEST_F(PayfileWrite, CheckTellsEachFindingOnItsLineAtItsPlace) {
  const char kPostal[] =
      R"({"payments": [{"PayType": "payRedPost", "Amount": "850", "Date": "2024-06-25",
          "BankSrc": {"ID": "778", "Account": "CH0400778010123456789"}, "BankDst": {"Account": "01-162-8"},
          "Receiver": {"Name1": "Betreibungsamt", "City": "6002 Luzern"}}]})";
  const struct {
    const char* batch;
    std::vector<std::string> options;
    std::vector<std::string> places;  // of the finding lines, in order
    std::string summary;
    std::string first_end = "";  // of the first finding line
  } cases[] = {
      {kPostal, {"--type", "dta", "--now", "2024-06-20T09:00:00"}, {}, "1 payment, no warnings for DTA"},
      {R"({"payments": [{"PayType": "payForeign"}, {"PayType": "payForeign"}]})", {"--type", "DTA"},
       {"payments[0].PayType"}, "2 payments, 1 warning for DTA", "(also in 1 more payment)"},
      {kClean, {"--type", "iso2019", "--ch", "--now", "2026-12-23T23:59:59"}, {},
       "1 payment, no warnings for ISO 2019 (Swiss)"},
      {kClean, {"--type", "iso2019", "--ch", "--now", "2026-12-24T00:00:00"}, {"payments[0].Date"},
       "1 payment, 1 warning for ISO 2019 (Swiss)"},
      {kRefused, {"--type", "iso2019", "--now", "2026-12-20T08:00:00"},
       {"settings.Sender.Name1", "payments[0].BankDst.Account", "payments[1].BankDst.Account"},
       "3 payments, 3 warnings (3 refusals) for ISO 2019 (generic)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.options));
    test::TempDir dir;
    test::WriteWholeFile(dir.Path("batch.json"), c.batch);
    std::vector<std::string> args = {"check", "batch.json", "--period", "2026-12"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const RunResult result = RunPayfile(dir, args);
    EXPECT_EQ(c.places.empty() ? 0 : 1, result.status) << result.err;
    EXPECT_EQ("", result.err);
    std::vector<std::string> lines;
    std::istringstream stream(result.out);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    ASSERT_EQ(c.places.size() + 1, lines.size()) << result.out;
    EXPECT_EQ("batch.json: " + c.summary, lines.back());
    EXPECT_TRUE(lines.front().ends_with(c.first_end)) << lines.front();
    for (std::size_t i = 0; i < c.places.size(); ++i) {
      EXPECT_EQ(0u, lines[i].rfind("batch.json: " + c.places[i] + ": ", 0)) << lines[i];
      EXPECT_EQ(c.batch == kRefused, lines[i].ends_with("; the 2019 ISO writer refuses the batch")) << lines[i];
    }
  }
}

}  // namespace
}  // namespace ordexa::payfile_test
