// Tests of `payfile inspect` through the built binary: each exit status comes with the
// output a person or a script needs. (The demo files pass: the command tests.)
#include <gtest/gtest.h>
#include <simdjson.h>

#include <string>
#include <vector>

#include "inspect/sample_files.h"
#include "tools/payfile_run.h"

namespace ordexa::inspect_test {
namespace {

using payfile_test::RunPayfile;
using PayfileInspect = payfile_test::PayfileTest;
using Outcome = payfile_test::RunResult;

// Each row: the command, its exit status, and what standard output and error hold.
TEST_F(PayfileInspect, ExitStatusMessagesAndJson) {
  test::TempDir dir;
  const std::string dta = WriteSampleFiles(RecordedPayments()).dta;
  test::WriteWholeFile(dir.Path("pay.dta"), dta);
  std::string wrong_total = dta;
  wrong_total[wrong_total.size() - 128 + 53] = '9';
  test::WriteWholeFile(dir.Path("total.dta"), wrong_total);
  test::WriteWholeFile(dir.Path("notes.txt"), "not a payment file\n");
  const std::string total_problem =
      "total.dta: record 8 (TA 890) segment 01, total amount (pos 54, 16): 92650,71 is not the sum of the records' "
      "amounts (12650,71)\n";
  const struct {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string out;  // a piece of standard output; for --problems all of it
    std::string err;  // a piece of standard error
  } cases[] = {
      {{"inspect", "pay.dta"},
       "",
       0,
       "\nrecord 1 (TA 826), offset 0\n  segment 01\n    1-2     2    segment number",
       ""},
      {{"inspect", "total.dta"}, "", 1, "\n" + total_problem + "total.dta: 8 records, 1 problem\n", ""},
      {{"inspect", "--problems", "total.dta"}, "", 1, total_problem + "total.dta: 8 records, 1 problem\n", ""},
      {{"inspect", "--problems", "pay.dta"}, "", 0, "pay.dta: 8 records, passes\n", ""},
      {{"inspect", "--problems", "-"}, wrong_total, 1, "<stdin>: record 8 (TA 890)", ""},
      {{"inspect", "missing.dta"}, "", 2, "", "payfile: missing.dta: cannot be read: No such file or directory\n"},
      {{"inspect", "notes.txt"}, "", 2, "", "payfile: notes.txt: not a DTA file"},
      {{"inspect", "pay.dta", "--schema", "missing.xsd"}, "", 2, "", "missing.xsd"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = RunPayfile(dir, c.args, c.input);
    std::string command;
    for (const std::string& arg : c.args) command += " " + arg;
    EXPECT_EQ(c.status, outcome.status) << command << "\n" << outcome.out << outcome.err;
    if (c.args[1] == "--problems" && c.input.empty()) {
      EXPECT_EQ(c.out, outcome.out) << command;
    } else {
      EXPECT_NE(std::string::npos, outcome.out.find(c.out)) << command << "\n" << outcome.out.substr(0, 300);
    }
    EXPECT_NE(std::string::npos, outcome.err.find(c.err)) << command << "\n" << outcome.err;
  }
  // The JSON, written block by block as the file is read, parses and holds every record.
  const Outcome outcome = RunPayfile(dir, {"inspect", "--json", "total.dta"});
  EXPECT_EQ(1, outcome.status);
  simdjson::dom::parser parser;
  simdjson::dom::element json;
  ASSERT_EQ(simdjson::SUCCESS, parser.parse(simdjson::padded_string(outcome.out)).get(json)) << outcome.out;
  EXPECT_EQ("DTA", std::string_view(json["format"]));
  EXPECT_EQ(8u, simdjson::dom::array(json["blocks"]).size());
  EXPECT_EQ(8, std::int64_t(json["entries"]));
  EXPECT_FALSE(bool(json["passes"]));
  const simdjson::dom::array problems = json["problems"];
  ASSERT_EQ(1u, problems.size());
  EXPECT_EQ("total amount", std::string_view(problems.at(0)["field"]));
  EXPECT_EQ(54, std::int64_t(problems.at(0)["pos"]));
}

}  // namespace
}  // namespace ordexa::inspect_test
