// The EZAG writer: the amount field on its own, the bank record by account, refusals, and
// the currency and text edges the payfile tests' whole file does not hold.
#include "ezag/ezag_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ezag/ezag_amount.h"
#include "ezag/ezag_records.h"
#include "failure/failure.h"
#include "platform/clock.h"
#include "support/batch.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

constexpr const char* kForeignIban = "DE89 3704 0044 0532 0130 00";

std::string Blanks(std::size_t count) { return std::string(count, ' '); }
std::string Pad(std::string text, std::size_t width) { return text.append(width - text.size(), ' '); }

// The HRESULT `write` raises, or "nothing".
std::string Raised(const std::function<void()>& write) {
  char hr[11] = "nothing";
  try {
    write();
  } catch (const CAtlException& failure) {
    std::snprintf(hr, sizeof hr, "0x%08X", static_cast<unsigned>(failure.hr()));
  }
  return hr;
}

TEST(FormatEzagAmount, IntegerPartRightAlignedOnZerosThenTwoDecimals) {
  const struct {
    std::int64_t amount;  // ten-thousandths
    const char* expected;
    bool fits;
  } cases[] = {
      {12345000, "0000000123450", true}, {0, "0000000000000", true},
      {1000000, "0000000010000", true},  // a whole amount: two decimals "00"
      {-125000, "00000000-1250", true},
      {999999999999949, "9999999999999", true},        // 99999999999.9949
      {-99999999999900, "-999999999999", true},        // -9999999999.99
      {999999999999950, "1000000000000", false},       // rounds to 100000000000.00
      {-999999999999900, "-999999999999", false},      // -99999999999.99: the sign makes 12
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, FormatEzagAmount(c.amount)) << c.amount;
    EXPECT_EQ(c.fits, EzagAmountFits(c.amount)) << c.amount;
  }
}

// The writer over a batch built from plain fields.
void WriteEzagFile(const test::SettingFields& settings, const test::PaymentFieldsList& payments, std::string_view name) {
  PayBatch batch;
  test::FillBatch(batch, settings, payments);
  ordexa::WriteEzagFile(batch, name);
}

class EzagWriterTest : public testing::Test {
 protected:
  EzagWriterTest() { settings_.dta_id = "12345"; }

  test::PaymentFields& Add(std::int32_t type, std::int64_t amount = 10000) {
    test::PaymentFields& payment = payments_.emplace_back();
    payment.type = type;
    payment.amount.int64 = amount;
    payment.date = 45000.0;  // 15 March 2023
    payment.bank_src.account = "01-162-8";
    return payment;
  }

  // Writes the file and returns its records, each without its line feed.
  std::vector<std::string> Records() {
    WriteEzagFile(settings_, payments_, path_);
    std::istringstream lines(test::ReadWholeFile(path_).value_or(""));
    std::vector<std::string> records;
    for (std::string line; std::getline(lines, line);) records.push_back(line);
    return records;
  }

  test::TempDir dir_;
  ScopedClock clock_{FixedClock(SYSTEMTIME{2024, 1, 1, 1, 12, 0, 0, 0})};
  test::SettingFields settings_;
  test::PaymentFieldsList payments_;
  std::string path_ = dir_.Path("pay.ezag");
};

// Salary bank payments: a valid IBAN abroad makes a type 37 record with the compact IBAN;
// every other account a type 27 record with the clearing block and the account as typed.
TEST_F(EzagWriterTest, BankRecordByAccount) {
  const struct {
    const char *bank_id, *account;
    std::string type_and_bank;  // positions 36-37, 46 (salary flag) and 71-122
  } cases[] = {
      {"700", "CH93 0076 2011 6238 5295 7", "271" "CH070070057      " + Pad("CH93 0076 2011 6238 5295 7", 35)},
      {"9000", "LI21 0881 0000 2324 013A A", "271" "CH070900024      " + Pad("LI21 0881 0000 2324 013A A", 35)},
      {"123456", "DE89 3704 0044 0532 0130 01", "271" "CH072345693      " + Pad("DE89 3704 0044 0532 0130 01", 35)},
      {"", "1-2345-6", "271" "CH" + Blanks(15) + Pad("1-2345-6", 35)},
      {"700", kForeignIban, "371" "DECOBADEFFXXX    " + Pad("DE89370400440532013000", 35)},
  };
  for (const auto& c : cases) {
    test::PaymentFields& payment = Add(payRedBank);
    payment.bank_dst = {"", "", "", "", c.bank_id, c.account, "COBADEFFXXX"};
    payment.is_salary = true;
  }
  const auto records = Records();
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string& record = records[i + 1];
    EXPECT_EQ(cases[i].type_and_bank, record.substr(35, 2) + record[45] + record.substr(70, 52));
  }
}

// An empty list, and amounts the fields cannot hold, are refused; what the file then holds.
// (File calls that fail: tests/hostile/file_seam_faults_test.cpp.)
TEST_F(EzagWriterTest, RefusalsAndWhatStaysOnDisk) {
  const struct {
    std::vector<std::int64_t> amounts;
    std::string raised, content;  // what the file holds afterwards
  } cases[] = {
      {{}, "0x80070057", ""},  // E_INVALIDARG after creating the empty file
      {{1000000000000000, -900000000000000}, "0x8002000A", "old content"},  // DISP_E_OVERFLOW: one amount
      {{600000000000000, 600000000000000}, "0x8002000A", "old content"},    // the total
      // Amounts that fit one by one but whose sum wraps around the 64-bit range to a small total.
      {std::vector<std::int64_t>(18447, 999986126400475), "0x8002000A", "old content"},
  };
  for (const auto& c : cases) {
    payments_.clear();
    for (std::int64_t amount : c.amounts) Add(payESR15, amount);
    test::WriteWholeFile(path_, "old content");
    EXPECT_EQ(c.raised, Raised([&] { WriteEzagFile(settings_, payments_, path_); }));
    EXPECT_EQ(c.content, test::ReadWholeFile(path_).value_or("no file"));
  }
}

// Beyond the payfile tests' whole file (every record type, tests/tools/data): currencies
// are written as given, so a record grows or shrinks with them, and line breaks become blanks.
TEST_F(EzagWriterTest, CurrenciesAsGivenAndTextsOnOneLine) {
  test::PaymentFields& esr = Add(payESR17, 12345000);
  esr.bank_dst.account = "01-12345-6";
  esr.esr = "210000000003139471430009017";
  esr.currency = "EURO";  // cut in the first field and the total, not in the second
  test::PaymentFields& post = Add(payRedPost, 500000);
  post.currency = "FR";
  post.bank_dst.account = "1-2345-6";
  post.receiver = {"Anna\r\nMuster", "", "Weg 1", "8000 Z\xFCrich", "", "", ""};
  post.reason = "Lohn\nM\xE4rz\n";
  const std::vector<std::string> records = Records();
  ASSERT_EQ(4u, records.size());
  EXPECT_EQ("EUR" "0000000123450" " " "EURO" "CH", records[1].substr(50, 23));
  EXPECT_EQ("FR " "0000000005000" " " "FR" "CH", records[2].substr(50, 21));
  EXPECT_EQ("97" "000003" "000" "0000" "EUR", records[3].substr(35, 18));  // the first payment's currency
  EXPECT_EQ((std::vector<std::size_t>{700, 701, 699, 700}),
            (std::vector<std::size_t>{records[0].size(), records[1].size(), records[2].size(), records[3].size()}));
  EXPECT_NE(std::string::npos, records[2].find(Pad("Anna  Muster", 35)));
  EXPECT_NE(std::string::npos, records[2].find(Pad("Lohn M\xE4rz ", 140)));
}

}  // namespace
}  // namespace ordexa
