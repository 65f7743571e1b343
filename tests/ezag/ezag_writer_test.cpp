// The EZAG writer through whole files: fields at their positions in every record kind,
// sequence numbers and totals, the refusals and the file-system failures.
#include "ezag/ezag_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "model/failure/failure.h"
#include "platform/clock.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

constexpr DATE k15March2023 = 45000.0;
constexpr const char* kForeignIban = "DE89 3704 0044 0532 0130 00";

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Positions `first` to `last` (counted from 1, inclusive) of a record.
std::string Field(const std::string& record, std::size_t first, std::size_t last) {
  return record.substr(first - 1, last - first + 1);
}

// The failure of type `Failure` that `write` raises, if any.
template <class Failure>
std::optional<Failure> RaisedBy(const std::function<void()>& write) {
  try {
    write();
  } catch (const Failure& failure) {
    return failure;
  }
  return std::nullopt;
}

std::string Blanks(std::size_t count) { return std::string(count, ' '); }
std::string Pad(std::string text, std::size_t width) { return text.append(width - text.size(), ' '); }

class EzagWriterTest : public testing::Test {
 protected:
  EzagWriterTest() { settings_.dta_id = "12345"; }

  PaymentRecord& Add(std::int32_t type, std::int64_t amount = 10000) {
    PaymentRecord& payment = payments_.emplace_back();
    payment.type = type;
    payment.amount.int64 = amount;
    payment.date = k15March2023;
    payment.bank_src.account = "01-162-8";
    return payment;
  }

  // Writes the file and returns its records, each without its line feed.
  std::vector<std::string> Records() {
    WriteEzagFile(settings_, payments_, path_);
    const std::string bytes = ReadBytes(path_);
    EXPECT_TRUE(bytes.ends_with('\n'));
    std::vector<std::string> records;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) records.push_back(line);
    return records;
  }

  test::TempDir dir_;
  ScopedClock clock_{FixedClock(SYSTEMTIME{2024, 1, 1, 1, 12, 0, 0, 0})};
  PaySettingRecord settings_;
  PaymentList payments_;
  std::string path_ = dir_.Path("pay.ezag");
};

TEST_F(EzagWriterTest, RecordHeaders) {
  Add(payESR15);
  Add(payIban).bank_dst.account = kForeignIban;
  payments_.back().is_salary = true;
  Add(payESR16).is_salary = true;  // the salary flag belongs to types 27 and 37 only
  const auto records = Records();
  ASSERT_EQ(5u, records.size());
  EXPECT_EQ("54623031500000101000162801000162845000000000000000", Field(records[0], 1, 50));
  EXPECT_EQ("03623031500000101000162801000162845280000010000000", Field(records[1], 1, 50));
  EXPECT_EQ("03623031500000101000162801000162845370000020010000", Field(records[2], 1, 50));
  EXPECT_EQ("03623031500000101000162801000162845280000030000000", Field(records[3], 1, 50));
  for (const std::string& record : records) EXPECT_EQ(700u, record.size());
}

TEST_F(EzagWriterTest, DebitAccountAndDtaId) {
  const struct {
    const char* account;
    const char* cost_account;
    const char* dta_id;
    const char* debit;  // positions 16-33
    const char* id;     // positions 34-35
  } cases[] = {
      {"01-162-8", "30-1234-5", "1234", "010001628010001628", "34"},
      {"", "30-1234-5", "7", "300012345300012345", "07"},
      {"", "", "ABC12", "                  ", "00"},
      {"", "", "", "                  ", "00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dta_id);
    payments_.clear();
    Add(payESR15).bank_src.account = c.account;
    settings_.cost_account = c.cost_account;
    settings_.dta_id = c.dta_id;
    for (const std::string& record : Records()) {
      EXPECT_EQ(c.debit, Field(record, 16, 33));
      EXPECT_EQ(c.id, Field(record, 34, 35));
    }
  }
}

TEST_F(EzagWriterTest, SequenceNumbersCountEveryPaymentAndTotalAddsThemAll) {
  Add(payESR16, 10000);
  Add(payManual, 20000).currency = "EUR";
  Add(payRedPost, 30000);
  Add(payForeign, 40000);
  Add(payPostmandat, 50000);
  Add(42, 60000);
  const auto records = Records();
  ASSERT_EQ(4u, records.size());
  EXPECT_EQ("28000001", Field(records[1], 36, 43));
  EXPECT_EQ("22000003", Field(records[2], 36, 43));
  const std::string& total = records[3];
  EXPECT_EQ("97000007", Field(total, 36, 43));
  EXPECT_EQ("CHF" "000006" "0000000002100", Field(total, 51, 72));
  EXPECT_EQ(std::string(308, '0'), Field(total, 73, 380));
  EXPECT_EQ(Blanks(320), Field(total, 381, 700));
}

TEST_F(EzagWriterTest, BankClearingBlock) {
  const struct {
    const char* id;
    const char* block;
  } cases[] = {
      {"700", "070070057      "}, {"9000", "070900024      "}, {"123456", "072345693      "}, {"", "               "}};
  for (const auto& c : cases) Add(payRedBank).bank_dst.id = c.id;
  const auto records = Records();
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].block, Field(records[i + 1], 73, 87));
}

TEST_F(EzagWriterTest, CurrencyIsCutOnlyInItsFirstField) {
  Add(payESR15).currency = "EURO";
  Add(payESR15).currency = "FR";
  const auto records = Records();
  EXPECT_EQ("EUR0000000000100 EUROCH  ", Field(records[1], 51, 75));
  EXPECT_EQ(701u, records[1].size());
  EXPECT_EQ("FR 0000000000100 FRCH  ", Field(records[2], 51, 73));
  EXPECT_EQ(699u, records[2].size());
  EXPECT_EQ("EUR000002", Field(records[3], 51, 59));  // the total takes the first currency
}

TEST_F(EzagWriterTest, RecordKindFollowsTheIbanCountry) {
  const struct {
    const char* account;
    const char* type;
    std::string country_and_bank;  // positions 71-122
  } cases[] = {
      {"CH93 0076 2011 6238 5295 7", "27", "CH" + Blanks(15) + Pad("CH93 0076 2011 6238 5295 7", 35)},
      {"LI21 0881 0000 2324 013A A", "27", "CH" + Blanks(15) + Pad("LI21 0881 0000 2324 013A A", 35)},
      {"CH93 0076 2011 6238 5295 8", "27", "CH" + Blanks(15) + Pad("CH93 0076 2011 6238 5295 8", 35)},
      {kForeignIban, "37", "DECOBADEFFXXX    " + Pad("DE89370400440532013000", 35)},
  };
  for (const auto& c : cases) {
    payments_.clear();
    PaymentRecord& payment = Add(payRedBank);
    payment.bank_dst.account = c.account;
    payment.bank_dst.bic = "COBADEFFXXX";
    const std::string record = Records()[1];
    EXPECT_EQ(c.type, Field(record, 36, 37)) << c.account;
    EXPECT_EQ(c.country_and_bank, Field(record, 71, 122)) << c.account;
  }
}

TEST_F(EzagWriterTest, MissingFolderRaisesCreateErrorAndWritesNothing) {
  Add(payESR15);
  const std::string path = dir_.Path("missing/pay.ezag");
  const auto error = RaisedBy<MPayError>([&] { WriteEzagFile(settings_, payments_, path); });
  ASSERT_TRUE(error);
  EXPECT_EQ(2001, error->id());
  EXPECT_TRUE(error->text().ends_with("Status = 0x80070003\n\n" + path)) << error->text();
  EXPECT_FALSE(std::filesystem::exists(dir_.Path("missing")));
}

TEST_F(EzagWriterTest, EmptyListLeavesAnEmptyFile) {
  std::ofstream(path_) << "old content";
  const auto failure = RaisedBy<CAtlException>([&] { WriteEzagFile(settings_, payments_, path_); });
  ASSERT_TRUE(failure);
  EXPECT_EQ(E_INVALIDARG, failure->hr());
  EXPECT_EQ("", ReadBytes(path_));
}

TEST_F(EzagWriterTest, AmountsBeyondTheFieldAreRefusedBeforeTheFileIsTouched) {
  const std::vector<std::vector<std::int64_t>> batches = {{1000000000000000},                    // one amount
                                                          {600000000000000, 600000000000000}};  // the total
  for (const auto& amounts : batches) {
    payments_.clear();
    for (std::int64_t amount : amounts) Add(payESR15, amount);
    std::ofstream(path_) << "old content";
    const auto failure = RaisedBy<CAtlException>([&] { WriteEzagFile(settings_, payments_, path_); });
    EXPECT_EQ(DISP_E_OVERFLOW, failure.value_or(CAtlException(S_OK)).hr());
    EXPECT_EQ("old content", ReadBytes(path_));
  }
}

// Fails every write with a chosen Win32 code.
class FailingWrites : public FileSystem {
 public:
  FileStatus Write(FileHandle, const char*, std::size_t) const override { return FileStatus{ERROR_DISK_FULL}; }
};

TEST_F(EzagWriterTest, FailedWriteRaisesWriteErrorAndKeepsTheFile) {
  Add(payESR15);
  const auto error = RaisedBy<MPayError>([&] { WriteEzagFile(settings_, payments_, path_, FailingWrites()); });
  ASSERT_TRUE(error);
  EXPECT_EQ(2002, error->id());
  EXPECT_TRUE(error->text().ends_with("Status = 0x80070070")) << error->text();
  EXPECT_TRUE(std::filesystem::exists(path_));
  EXPECT_EQ("", ReadBytes(path_));  // the failed bytes are not on disk
}

TEST_F(EzagWriterTest, WholeFile) {
  PaymentRecord& esr = Add(payESR17, 12345000);
  esr.bank_dst.account = "01-12345-6";  // the participant number as stored, cut to nine
  esr.esr = "210000000003139471430009017";
  esr.reason = "not in an ESR record";
  Add(payManual, 1000000);
  PaymentRecord& post = Add(payRedPost, 500000);
  post.bank_dst.account = "1-2345-6";
  post.receiver = {"Anna\r\nMuster", "c/o Beat", "Weg 1", "8000 Z\xFCrich", "", "", ""};
  post.reason = "Lohn\nM\xE4rz\n";  // line breaks in texts are written as blanks
  PaymentRecord& iban = Add(payIban, 2500);
  iban.currency = "EUR";
  iban.is_salary = true;
  iban.bank_dst = {"", "", "", "", "", kForeignIban, "COBADEFFXXX"};
  iban.receiver = {"Max Meier", "", "Hauptstr. 5", "10115 Berlin", "", "", ""};
  iban.reason = "Spesen";

  const std::string head = "036230315000001010001628010001628" "45";
  const std::string expected =
      "546230315000001010001628010001628" "45" "00" "000000" "000" "0000" + Blanks(650) + "\n" +
      head + "28" "000001" "000" "0000" "CHF" "0000000123450" " " "CHF" "CH" "  " "01-12345-" +
      "210000000003139471430009017" + Blanks(590) + "\n" +
      head + "22" "000003" "000" "0000" "CHF" "0000000005000" " " "CHF" "CH" "010023456" + Blanks(6 + 35) +
      Pad("Anna  Muster", 35) + Pad("Weg 1", 35) + Pad("c/o Beat", 35) + Pad("8000", 10) + Pad("Z\xFCrich", 25) +
      Blanks(140) + Pad("Lohn M\xE4rz ", 140) + Blanks(158) + "\n" +
      head + "37" "000004" "001" "0000" "EUR" "0000000000025" " " "EUR" "DE" + Pad("COBADEFFXXX", 15) +
      Pad("DE89370400440532013000", 35) + "BIC: " + Pad("COBADEFFXXX", 15) + Blanks(120) + Pad("Max Meier", 35) +
      Pad("Hauptstr. 5", 35) + Blanks(35) + Pad("10115", 10) + Pad("Berlin", 25) + Pad("Spesen", 140) +
      Blanks(158) + "\n" +
      head + "97" "000005" "000" "0000" "CHF" "000004" "0000000138475" + std::string(308, '0') + Blanks(320) + "\n";
  WriteEzagFile(settings_, payments_, path_);
  EXPECT_EQ(expected, ReadBytes(path_));
}

}  // namespace
}  // namespace ordexa
