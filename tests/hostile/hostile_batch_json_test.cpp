// Hostile JSON batches for payfile: deep nesting, 10 MB strings, numbers past every range,
// NaN and infinities, every extreme PayTypes and CostCode, every byte and control
// character, lone surrogates, NULs. The tool writes the file (status 0) or refuses the
// batch with a message naming the place (status 2; EZAG status 1 for an amount its field
// cannot hold); it never crashes, and what it writes keeps its shape.
#include <gtest/gtest.h>

#include <string>

#include "hostile/outcomes.h"
#include "tools/payfile_run.h"

namespace ordexa {
namespace {

using payfile_test::PayfileTest;
using payfile_test::RunPayfile;

// One payment with the accounts every format needs and `members`, by default an IBAN
// payment of 12.50.
std::string Batch(const std::string& members, const std::string& type = R"("PayType": "payIban")",
                  const std::string& amount = R"("Amount": "12.50")") {
  return R"({"settings": {"DtaID": "ABC12"}, "payments": [{)" + type + ", " + amount +
         R"(, "BankSrc": {"Account": "CH9300762011623852957"}, "BankDst": {"Account": "CH9300762011623852957"})" +
         members + "}]}";
}

class HostileBatchJson : public PayfileTest {
 protected:
  // Runs `write` for every format: status 0 with a file in shape, or the expected status
  // with a message holding `message` and no file. EZAG may refuse what the others write.
  void ExpectWrittenOrRefused(const std::string& json, int expected_status, const std::string& message = {},
                              int ezag_status = -1) {
    for (const char* type : {"dta", "ezag", "iso"}) {
      SCOPED_TRACE(type);
      const int expected = std::string(type) == "ezag" && ezag_status >= 0 ? ezag_status : expected_status;
      const test::TempDir dir;
      const auto result = RunPayfile(dir, {"write", "-", "--type", type, "--out", "out.file", "--now",
                                           "2026-12-06T10:00:00"}, json);
      EXPECT_EQ(expected, result.status) << result.err.substr(0, 500);
      EXPECT_EQ(std::string::npos, result.err.find("Sanitizer")) << result.err.substr(0, 2000);
      EXPECT_EQ(std::string::npos, result.err.find("runtime error")) << result.err.substr(0, 2000);
      const auto file = payfile_test::ReadWholeFile(dir.Path("out.file"));
      if (expected != 0) {
        EXPECT_NE(std::string::npos, result.err.find(message)) << result.err.substr(0, 500);
        EXPECT_FALSE(file.has_value());
        continue;
      }
      ASSERT_TRUE(file.has_value());
      const std::string format = type;
      if (format == "dta") {
        EXPECT_TRUE(test::IsWholeDtaSegments(*file));
      } else if (format == "ezag") {
        EXPECT_TRUE(test::IsWholeEzagRecords(*file));
      } else if (test::HasXmllint()) {
        EXPECT_TRUE(test::IsWellFormedXml(dir.Path("out.file")));
      }
    }
  }
};

TEST_F(HostileBatchJson, MalformedOrOutOfRangeBatchesAreRefused) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  const struct {
    std::string json;
    std::string message;
  } cases[] = {
      {R"({"payments": )" + deep + "}", "payments[0]: must be an object"},
      {R"({"payments": [{"PayType": "payIban", "Reason": )" + deep + "}]}", "Reason: must be a string"},
      {Batch("", R"("PayType": "payIban")", R"("Amount": NaN)"), "Amount: malformed JSON"},
      {Batch("", R"("PayType": "payIban")", R"("Amount": -Infinity)"), "Amount: -Infinity is not a number"},
      {Batch("", R"("PayType": "payIban")", R"("Amount": 1e400)"), "Amount: 1e400 is out of range"},
      {Batch("", R"("PayType": "payIban")", R"("Amount": 1e308)"), "Amount: 1e308 is out of range"},
      {Batch("", R"("PayType": "payIban")", R"("Amount": -922337203685477.5809)"), "is out of range"},
      {Batch(R"(, "Date": 1e400)"), "Date: 1e400 is out of range"},
      {Batch(R"(, "Date": "99999-01-01")"), "Date: \"99999-01-01\" is not of the form"},
      {Batch(", \"Reason\": \"tab\tand\nline\x01\""), "must be escaped"},  // raw control characters
      {Batch(R"(, "Reason": "\ud800")"), "Reason: malformed JSON"},            // a lone surrogate, escaped
      {std::string("{\"payments\": [\0]}", 17), "payments[0]: malformed JSON"},
      {std::string(10 * 1024 * 1024, ' ') + "{", "ended early"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json.substr(0, 120));
    const test::TempDir dir;
    const auto result = RunPayfile(dir, {"write", "-", "--type", "dta", "--out", "out.file"}, c.json);
    EXPECT_EQ(2, result.status);
    EXPECT_NE(std::string::npos, result.err.find(c.message)) << result.err.substr(0, 500);
    EXPECT_FALSE(payfile_test::ReadWholeFile(dir.Path("out.file")));
  }
}

TEST_F(HostileBatchJson, ExtremeButValidBatchesAreWrittenInShape) {
  std::string every_character;
  for (int code = 1; code < 0x20; ++code) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", code);
    every_character += escape;
  }
  for (int code = 0x20; code < 0x7F; ++code) {
    if (code == '"' || code == '\\') every_character += '\\';
    every_character += static_cast<char>(code);
  }
  for (int code = 0x80; code < 0x800; code += 7) {  // two-byte UTF-8, the 1252 range and beyond
    every_character += static_cast<char>(0xC0 | (code >> 6));
    every_character += static_cast<char>(0x80 | (code & 0x3F));
  }
  every_character += "\xE2\x82\xAC\xF0\x9F\x98\x80&<>]]>";
  const std::string huge(10 * 1024 * 1024, 'x');
  const std::string too_large_for_ezag[] = {
      Batch("", R"("PayType": "payIban")", R"("Amount": "922337203685477.5807")"),
      Batch("", R"("PayType": "payIban")", R"("Amount": "-922337203685477.5808")"),
  };
  for (const std::string& json : too_large_for_ezag) {
    SCOPED_TRACE(json.substr(0, 200));
    ExpectWrittenOrRefused(json, 0, "does not fit the EZAG amount field", 1);
  }
  const std::string cases[] = {
      Batch(R"(, "CostCode": -2147483648)", R"("PayType": 2147483647)"),
      Batch(R"(, "CostCode": 2147483647)", R"("PayType": -2147483648)"),
      Batch(R"(, "Date": -1e300)"),
      Batch(R"(, "Reason": ")" + every_character + R"(", "Receiver": {"Name1": ")" + every_character +
            R"(", "Street": ")" + every_character + R"(", "City": ")" + every_character + R"("}, "Currency": "EUR")"),
      Batch(R"(, "Reason": "\ud83d\ude00 and \u0000 the rest")"),
      Batch(R"(, "Reason": ")" + huge + R"(", "Receiver": {"Name1": ")" + huge + R"("})"),
  };
  for (const std::string& json : cases) {
    SCOPED_TRACE(json.substr(0, 200));
    ExpectWrittenOrRefused(json, 0);
  }
}

}  // namespace
}  // namespace ordexa
