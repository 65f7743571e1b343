// payfile check and payfile inspect agree on what a bank refuses: for each batch, check
// warns about the reference number exactly when inspect reports it in the file written
// from that batch.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/payfile_run.h"

namespace ordexa::payfile_test {
namespace {

// One ESR payment of `kind` to the participant 01-162-8 with `reference` as its ESR text.
std::string EsrBatch(const std::string& kind, const std::string& reference) {
  return R"({"settings": {"Sender": {"Name1": "Muster AG", "Street": "Seeweg 1", "City": "8001 Zuerich"},
  "DtaID": "ABC12", "DtaID_Sender": "ABC12", "CostAccount": "01-162-8", "CostCurrency": "CHF"},
 "payments": [{"PayType": ")" +
         kind + R"(", "Date": "2024-06-25", "Amount": 100, "ESR": ")" + reference + R"(",
  "BankSrc": {"ID": "700", "Account": "01-162-8"}, "BankDst": {"ID": "9000", "Account": "010001628"},
  "Receiver": {"Name1": "Anna Muster", "Street": "Seeweg 2", "City": "8002 Zuerich"}}]})";
}

TEST(CheckAndInspect, AgreeOnTheReferenceNumber) {
  if (kPayfile.empty()) GTEST_SKIP() << "payfile is not built";
  const struct {
    const char* reference;
    bool refused_dta, refused_ezag;  // for a 27-digit kind (payESR16)
  } cases[] = {
      {"210000000003139471430009017", false, false},
      {"210000000003139471430009018", true, true},
      {"12345", true, false},  // DTA pads it to 27 digits, which end in a wrong check digit
      {"", false, true},       // DTA writes 27 zeros, whose check digit holds; EZAG an empty field
      {"21 00000 00003 13947 14300 09017", true, true},  // blanks are no digits
      {"RF18539007547034", true, true},
  };
  test::TempDir dir;
  for (const auto& c : cases) {
    for (const std::string type : {"dta", "ezag"}) {
      SCOPED_TRACE(type + " \"" + c.reference + "\"");
      test::WriteWholeFile(dir.Path("batch.json"), EsrBatch("payESR16", c.reference));
      const RunResult check = RunPayfile(dir, {"check", "batch.json", "--type", type});
      ASSERT_EQ(0, RunPayfile(dir, {"write", "batch.json", "--type", type, "--out", "pay." + type}).status);
      const RunResult inspect = RunPayfile(dir, {"inspect", "--problems", "pay." + type});
      const bool checked = check.out.find("payments[0].ESR: ") != std::string::npos;
      const bool inspected = inspect.out.find("ESR reference number") != std::string::npos;
      EXPECT_EQ(type == "dta" ? c.refused_dta : c.refused_ezag, inspected) << inspect.out;
      EXPECT_EQ(inspected, checked) << check.out << inspect.out;
    }
  }
}

}  // namespace
}  // namespace ordexa::payfile_test
