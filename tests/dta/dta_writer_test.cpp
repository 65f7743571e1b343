// Tests of the DTA file: record choice and order, entry sequence numbers, the TA 890
// total record, a whole file, and what stays on disk when creating or writing fails.
#include "dta/dta_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <utility>

#include "model/failure/failure.h"
#include "platform/clock.h"
#include "tests/dta/segments.h"

namespace ordexa {
namespace {

using dta_test::B;
using dta_test::Field;
using dta_test::Left;
using dta_test::SamplePayment;
using dta_test::SampleSettings;
using dta_test::Segments;

// Makes Create fail, or every Write from the `fail_from_write`-th call on (a full disk
// stays full), with a chosen Win32 code; otherwise the real file system.
class FailingFileSystem : public FileSystem {
 public:
  std::uint32_t create_error = 0;
  int fail_from_write = 0;
  std::uint32_t write_error = ERROR_DISK_FULL;

  FileHandle Create(std::string_view name, FileStatus& status) const override {
    if (create_error == 0) return FileSystem::Create(name, status);
    status.error = create_error;
    return kInvalidFile;
  }
  FileStatus Write(FileHandle file, const char* data, std::size_t size) const override {
    if (fail_from_write != 0 && ++writes_ >= fail_from_write) return FileStatus{write_error};
    written_ += size;
    return FileSystem::Write(file, data, size);
  }
  std::size_t written() const { return written_; }

 private:
  mutable int writes_ = 0;
  mutable std::size_t written_ = 0;
};

class DtaWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("ordexa_dta_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Path(const char* name = "pay.dta") const { return (dir_ / name).string(); }

  std::string Write(const PaymentList& payments, const PaySettingRecord& settings = SampleSettings()) {
    WriteDtaFile(settings, payments, Path());
    return ReadFile();
  }

  std::string ReadFile() const {
    std::ifstream in(Path(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  static PaymentList Batch(std::initializer_list<std::pair<std::int32_t, std::int64_t>> payments) {
    PaymentList list;
    for (const auto& [type, amount] : payments) list.push_back(SamplePayment(type, amount));
    return list;
  }

  ScopedClock clock_{FixedClock(SYSTEMTIME{.wYear = 2024, .wMonth = 4, .wDay = 2})};
  std::filesystem::path dir_;
};

TEST_F(DtaWriterTest, EmptyListGivesOnlyTheTotalRecord) {
  EXPECT_EQ("01000000" + B(12) + "00000240402" + B(7) + "AB-1200001890" + "00" + Left("0,00", 16) + B(59),
            Write(PaymentList()));
}

TEST_F(DtaWriterTest, EntrySequenceNumbersCountEveryPayment) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const struct {
    PaymentList payments;
    std::vector<std::string> records;  // transaction type and entry sequence number
    std::string total_record;          // TA 890, 44-69
  } cases[] = {
      {Batch({{payForeign, 100000}, {payESR15, 50000}}), {"826 00002"}, "00003890" "00" + Left("15,00", 16)},
      {Batch({{payIban, 1000000}, {payManual, 505000}}), {"836 00001", "827 00002"}, "00003890" "00" + Left("150,50", 16)},
      {Batch({{10, 10000}, {payPostmandat, 10000}, {-1, 10000}, {payESR17, -50000}}),
       {"827 00002", "826 00004"},
       "00005890" "00" + Left("-2,00", 16)},
      // No overflow check: the total wraps around.
      {Batch({{payForeign, kMax}, {payForeign, 1}}), {}, "00003890" "00" "-922337203685477"},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> segments = Segments(Write(c.payments));
    std::vector<std::string> records;
    for (std::size_t i = 0; i + 1 < segments.size(); ++i) {
      if (segments[i].starts_with("01")) records.push_back(Field(segments[i], 49, 3) + " " + Field(segments[i], 44, 5));
    }
    EXPECT_EQ(c.records, records);
    EXPECT_EQ(c.total_record, Field(segments.back(), 44, 26));
  }
}

TEST_F(DtaWriterTest, SegmentsPerPaymentType) {
  // TA 827 has four segments (five for trust payments), TA 826 three, TA 836 five; others none.
  const std::size_t kSegments[] = {4, 3, 3, 3, 4, 4, 5, 4, 0, 5, 0};
  for (std::int32_t type = -1; type <= 10; ++type) {
    const std::size_t expected = type >= 0 ? kSegments[type] : 0;
    EXPECT_EQ((expected + 1) * 128, Write(Batch({{type, 10000}})).size()) << type;
  }
}

TEST_F(DtaWriterTest, WholeFile) {
  PaySettingRecord settings = SampleSettings();
  settings.is_salary = true;
  PaymentList payments = Batch({{payRedPost, 2500000}, {payForeign, 100000}, {payESR16, 1234500}, {payIban, 15005000}});
  payments[2].bank_dst.account = "01-162";
  payments[2].esr = "12345";
  payments[2].receiver = {"Stadtwerke", "", "Postfach", "8000 Z\xFCrich", "", "", ""};
  PaymentRecord& iban = payments[3];
  iban.date = 0.0;
  iban.currency = "eur";
  iban.bank_dst = {"Commerzbank", "", "", "K\xF6ln", "", "de89 3704 0044 0532 0130 00", "COBADEFFXXX"};
  iban.receiver = {"Anna Schmid", "", "Hauptstr. 7", "10115 Berlin", "", "", ""};
  iban.reason = "Gehalt";

  const std::string ta827 = "240402" "8390   " "AB-12" "00001" "827" "1" "0" "SND01" "M0100010001";
  const std::string ta826 = "240402" "8390   " "AB-12" "00003" "826" "0" "0" "SND01" "M0100010003";
  const std::string ta836 = "240402" "8390   " "AB-12" "00004" "836" "1" "0" "SND01" "M0100010004";
  const std::vector<std::string> expected = {
      "01" "240320" + B(12) + "00000" + ta827 + Left("CH9300762011623852957", 24) + B(6) + "CHF" +
          Left("250,00", 12) + B(14),
      "02" + Left("M\xFCller AG", 24) + Left("Lohnb\xFCro", 24) + Left("Bahnhofstr. 1", 24) +
          Left("8001 Z\xFCrich", 24) + B(30),
      "03/C/" + Left("010023456", 27) + Left("HANS MEIER", 24) + Left("C/O ANNCHEN", 24) +
          Left("DORFSTRASSE 5", 24) + Left("3000 BERN", 24),
      "04" + Left("LOHN MARZ 2024", 112) + B(14),
      "01" "240320" + B(12) + "00000" + ta826 + "CH93 0076 2011 6238 5295" + B(6) + "CHF" + Left("123,45", 12) + B(14),
      "02" + Left("MULLER AG", 20) + Left("LOHNBURO", 20) + Left("BAHNHOFSTR. 1", 20) + Left("8001 ZURICH", 20) + B(46),
      "03/C/" "010001626" + Left("STADTWERKE", 20) + B(20) + Left("POSTFACH", 20) + Left("8000 ZURICH", 20) +
          std::string(22, '0') + "12345" + B(7),
      "01" "000000" + B(12) + "00000" + ta836 + Left("CH9300762011623852957", 24) + "240402" "EUR" +
          Left("1500,50", 15) + B(11),
      "02" + B(12) + Left("M\xFCller AG", 35) + Left("Bahnhofstr. 1", 35) + Left("8001 Z\xFCrich", 35) + B(9),
      "03" "A" + Left("COBADEFFXXX", 35) + B(35) + Left("DE89370400440532013000", 34) + B(21),
      "04" + Left("ANNA SCHMID", 35) + Left("HAUPTSTR. 7", 35) + Left("10115 BERLIN", 35) + B(21),
      "05U" + Left("GEHALT", 35) + B(70) + "2" + B(19),
      "01000000" + B(12) + "00000240402" + B(7) + "AB-1200005890" "00" + Left("1883,95", 16) + B(59),
  };
  for (const std::string& segment : expected) ASSERT_EQ(128u, segment.size()) << segment;
  WriteDtaFile(settings, payments, Path());
  EXPECT_EQ(expected, Segments(ReadFile()));
}

TEST_F(DtaWriterTest, CreateFailureRaises2001WithStatusAndName) {
  const std::string missing = (dir_ / "missing" / "pay.dta").string();
  try {
    WriteDtaFile(SampleSettings(), PaymentList(), missing);
    FAIL() << "no failure raised";
  } catch (const MPayError& error) {
    EXPECT_EQ(2001, error.id());
    EXPECT_EQ("Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x80070003\n\n" + missing,
              error.text());
  }
  FailingFileSystem denied;
  denied.create_error = ERROR_ACCESS_DENIED;
  try {
    WriteDtaFile(SampleSettings(), PaymentList(), Path(), denied);
    FAIL() << "no failure raised";
  } catch (const MPayError& error) {
    EXPECT_NE(std::string::npos, error.text().find("Status = 0x80070005\n\n" + Path()));
  }
  EXPECT_FALSE(std::filesystem::exists(Path()));
}

TEST_F(DtaWriterTest, WriteFailureRaises2002AndKeepsWhatWasWritten) {
  // 200 TA 827 records overflow the output buffer, so the file is written in pieces.
  PaymentList payments;
  for (int i = 0; i < 200; ++i) payments.push_back(SamplePayment(payManual));
  const std::string complete = Write(payments);
  for (int fail_from_write : {1, 2}) {
    FailingFileSystem disk_full;
    disk_full.fail_from_write = fail_from_write;
    try {
      WriteDtaFile(SampleSettings(), payments, Path(), disk_full);
      FAIL() << "no failure raised";
    } catch (const MPayError& error) {
      EXPECT_EQ(2002, error.id());
      EXPECT_EQ("Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x80070070", error.text());
    }
    ASSERT_TRUE(std::filesystem::exists(Path()));
    EXPECT_EQ(complete.substr(0, disk_full.written()), ReadFile()) << fail_from_write;
    EXPECT_EQ(fail_from_write == 1, disk_full.written() == 0);
  }
}

}  // namespace
}  // namespace ordexa
